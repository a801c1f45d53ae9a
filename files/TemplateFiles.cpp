#include "TemplateFiles.h"

#include <iterator>
#include <set>

#include "Streams.h"
#include "TypedStreams.h"

namespace fs = std::filesystem;

namespace zv {

namespace {

const std::string TemplateHeader = "Zandovell Template";

// True when Path lies below Folder (both already resolved).
bool IsInside(const fs::path& Path, const fs::path& Folder)
{
    const fs::path rel = Path.lexically_relative(Folder);
    return !rel.empty() && rel != "." && *rel.begin() != "..";
}

}  // namespace

fs::path TemplateEntryPath(const std::string& Name)
{
    fs::path result;
    size_t start = 0;
    while (true) {
        const size_t end = Name.find_first_of("\\/", start);
        const std::string part = Name.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (part.empty() || part == "." || part == ".." || part.find('\0') != std::string::npos)
            return {};
        // A drive letter ("C:") makes the name absolute where it was written.
        if (start == 0 && part.size() == 2 && part[1] == ':')
            return {};
        result /= part;
        if (end == std::string::npos)
            return result;
        start = end + 1;
    }
}

void TTemplateReader::Invalid() const
{
    throw ETemplateError("Invalid Zandovell Template file: \"" + FileName + "\".");
}

void TTemplateReader::Scan(TFileStream& File, bool WithPreview, TContents& Contents) const
{
    TTypedStreamAdapter in(File);
    try {
        if (in.ReadString() != TemplateHeader)
            Invalid();
        if (WithPreview) {
            TMemoryStream preview;
            in.ReadStream(preview);
            Contents.Preview = std::move(preview.Bytes());
        } else {
            in.SkipStream();
        }
        Contents.PageText = in.ReadString();
        while (in.ReadInteger() == 1) {
            TEntry entry;
            entry.Name = TemplateEntryPath(in.ReadString());
            if (entry.Name.empty())
                Invalid();
            entry.Size = in.ReadLength();
            entry.Offset = File.Position();
            File.Seek(entry.Size, TSeekOrigin::Current);
            Contents.Entries.push_back(std::move(entry));
        }
    } catch (const EReadError&) {
        Invalid();
    }
}

void TTemplateReader::ReadHeader()
{
    TFileStream file(FileName, TFileMode::OpenRead);
    TContents contents;
    Scan(file, true, contents);
    Preview = std::move(contents.Preview);
    PageText = std::move(contents.PageText);
}

void TTemplateReader::Resolve(const std::vector<TEntry>& Entries, const std::string& Folder,
                              const std::string& ProtectedFile, std::vector<fs::path>& Targets) const
{
    const fs::path folder = fs::weakly_canonical(fs::absolute(Folder));
    const fs::path document = ProtectedFile.empty() ? fs::path()
                                                    : fs::weakly_canonical(fs::absolute(ProtectedFile));
    std::set<fs::path> files, folders;
    for (const TEntry& entry : Entries) {
        const fs::path target = fs::weakly_canonical(folder / entry.Name);
        if (!IsInside(target, folder))
            Invalid();
        if (!document.empty() && target == document)
            throw ETemplateError("The template \"" + FileName + "\" would overwrite the open document \"" +
                                 ProtectedFile + "\".");
        // Every folder on the way must be (or become) a folder, and the file itself no folder.
        bool blocked = fs::is_directory(target) || folders.count(target) > 0;
        const fs::path rel = target.lexically_relative(folder);
        fs::path up = folder;
        for (auto part = rel.begin(); !blocked && std::next(part) != rel.end(); ++part) {
            up /= *part;
            blocked = files.count(up) > 0 || (fs::exists(up) && !fs::is_directory(up));
            folders.insert(up);
        }
        if (blocked)
            throw ETemplateError("The template \"" + FileName + "\" cannot write \"" + target.string() +
                                 "\": a file or folder of that name is in the way.");
        files.insert(target);
        Targets.push_back(target);
    }
}

void TTemplateReader::ExtractTo(const std::string& Folder, const std::string& ProtectedFile)
{
    if (Folder.empty())
        throw ETemplateError("The template \"" + FileName + "\" needs a folder to write its files into.");
    TFileStream file(FileName, TFileMode::OpenRead);
    TContents contents;
    Scan(file, false, contents);

    // Resolve every target before anything is written.
    std::vector<fs::path> targets;
    try {
        Resolve(contents.Entries, Folder, ProtectedFile, targets);
    } catch (const fs::filesystem_error& error) {
        throw EFCreateError(error.what());
    }

    std::vector<uint8_t> data;
    for (size_t i = 0; i < targets.size(); ++i) {
        const TEntry& entry = contents.Entries[i];
        std::error_code error;
        fs::create_directories(targets[i].parent_path(), error);
        if (error)
            throw EFCreateError("Cannot create folder \"" + targets[i].parent_path().string() + "\": " +
                                error.message());
        data.resize(static_cast<size_t>(entry.Size));
        file.SetPosition(entry.Offset);
        file.ReadBuffer(data.data(), entry.Size);
        SaveFileAtomically(targets[i].string(), data.data(), entry.Size);
    }
}

}  // namespace zv
