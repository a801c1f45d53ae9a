#pragma once
// Template files (".tpl"): a header, a JPEG preview, the template page with its "{CONTENT}"
// mark, then the files the page uses as (marker 1, relative name, data) entries. The preview
// stays encoded here; the template chooser decodes it.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "Exceptions.h"

namespace zv {

class TFileStream;

// Size of the preview pictures as the template chooser shows them.
constexpr int TemplatePreviewWidth = 150;
constexpr int TemplatePreviewHeight = 112;

// A template that is damaged or cannot be applied; the message is meant for the user.
class ETemplateError : public Exception { using Exception::Exception; };

class TTemplateReader {
public:
    explicit TTemplateReader(std::string FileName) : FileName(std::move(FileName)) {}

    // Checks the whole file and reads the preview and the page text. A damaged file raises
    // ETemplateError and leaves both unchanged; a missing file raises EFOpenError.
    void ReadHeader();

    // Writes the template's files into Folder, replacing files of the same names. The whole
    // file is checked first: nothing is written when it is damaged, when an entry would land
    // outside Folder, or when it would replace ProtectedFile (the open document).
    void ExtractTo(const std::string& Folder, const std::string& ProtectedFile = {});

    std::string FileName;  // full path of the template file
    std::string PageText;  // the template page's HTML, as stored (UTF-8 in our templates)
    std::vector<uint8_t> Preview;  // the JPEG bytes as stored

private:
    struct TEntry {
        std::filesystem::path Name;  // relative, made of plain parts only
        int64_t Offset = 0;
        int64_t Size = 0;
    };
    struct TContents {
        std::vector<uint8_t> Preview;
        std::string PageText;
        std::vector<TEntry> Entries;
    };

    void Scan(TFileStream& File, bool WithPreview, TContents& Contents) const;
    // The target of every entry, checked to stay inside Folder and off ProtectedFile.
    void Resolve(const std::vector<TEntry>& Entries, const std::string& Folder,
                 const std::string& ProtectedFile, std::vector<std::filesystem::path>& Targets) const;
    [[noreturn]] void Invalid() const;
};

// Splits a stored entry name at "\" and "/" into a relative path; an empty path when the name
// is absolute or has an empty, "." or ".." part.
std::filesystem::path TemplateEntryPath(const std::string& Name);

}  // namespace zv
