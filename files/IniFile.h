#pragma once
// A settings file in the INI format: "[Section]" lines, "Key=Value" lines, no escaping.
// Section and key names compare without regard to ASCII letter case; names and values are
// trimmed of blanks when read. Lines that fit neither form (comments, garbage) are skipped
// when reading and kept as they are when the file is rewritten.
//
// Nothing is cached beyond the file's last known state: every read sees the file as it is
// now, and every write rewrites the file at once through a temporary file (but see
// MaxFileSize).

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "Exceptions.h"

namespace zv {

// A write that could not reach the disk.
class EIniFileException : public Exception { using Exception::Exception; };

class TIniFile {
public:
    explicit TIniFile(std::string FileName);

    const std::string& FileName() const { return Name; }

    // Reads answer Default when the file, the section or the key is missing. A key that is
    // present with an empty value reads as the empty string.
    std::string ReadString(std::string_view Section, std::string_view Key,
                           std::string_view Default) const;
    // Decimal, "$" or "0x" hexadecimal; anything else (or out of range) gives Default.
    int ReadInteger(std::string_view Section, std::string_view Key, int Default) const;
    // Read as an integer; non-zero is true.
    bool ReadBool(std::string_view Section, std::string_view Key, bool Default) const;

    // Writes raise EIniFileException when the file cannot be written; the old file is then
    // untouched. Line breaks in names and values become blanks.
    void WriteString(std::string_view Section, std::string_view Key, std::string_view Value);
    void WriteInteger(std::string_view Section, std::string_view Key, int Value);
    void WriteBool(std::string_view Section, std::string_view Key, bool Value);

    // A section exists when it holds at least one key.
    bool SectionExists(std::string_view Section) const;
    bool ValueExists(std::string_view Section, std::string_view Key) const;
    // The key names of the section in file order, each name once.
    std::vector<std::string> ReadSection(std::string_view Section) const;
    // Removes every section of that name with all its lines.
    void EraseSection(std::string_view Section);

    // A larger file is read only up to the last line end within this many bytes, and never
    // rewritten: writes then change the settings in memory only, for as long as the file
    // stays as it is.
    static constexpr int64_t MaxFileSize = 16 * 1024 * 1024;
    // True when the file is larger than MaxFileSize.
    bool TooLarge() const;

private:
    enum class TLineKind { Other, Section, Key };
    struct TLine {
        std::string Text;  // the line as stored, without its line end
        TLineKind Kind = TLineKind::Other;
        std::string Name;  // section or key name, trimmed
        std::string Value; // key value, trimmed
    };
    struct TFileState {
        bool Exists = false;
        uint64_t Device = 0, Inode = 0;
        int64_t Size = 0, ModifiedNs = 0, ChangedNs = 0;
        bool operator==(const TFileState&) const = default;
    };

    std::string Name;
    mutable std::vector<TLine> Lines;
    mutable TFileState Loaded;
    mutable bool HaveLoaded = false;
    mutable bool Unreadable = false;
    mutable bool Cut = false;  // read only in part: kept in memory

    // Reloads the lines when the file changed since it was last read.
    void Refresh() const;
    TFileState CurrentState() const;
    void Save();

    // Index of the first header line of the section, or -1.
    int64_t FindSection(std::string_view Section) const;
    // End (exclusive) of the section whose header is at Header.
    int64_t SectionEnd(int64_t Header) const;
    // Index of the first line of the key in the section, or -1.
    int64_t FindKey(int64_t Header, std::string_view Key) const;

    static TLine ParseLine(std::string Text);
};

}  // namespace zv
