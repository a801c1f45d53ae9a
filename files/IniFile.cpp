#include "IniFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <unordered_set>
#include <utility>

#include "Streams.h"
#include "WideText.h"

namespace zv {

namespace {

// Blanks around INI names and values (line ends never reach here).
bool IsLineBlank(char C)
{
    return C == ' ' || C == '\t' || C == '\v' || C == '\f';
}

std::string_view TrimBlanks(std::string_view S)
{
    while (!S.empty() && IsLineBlank(S.front()))
        S.remove_prefix(1);
    while (!S.empty() && IsLineBlank(S.back()))
        S.remove_suffix(1);
    return S;
}

char LowerAscii(char C)
{
    return (C >= 'A' && C <= 'Z') ? static_cast<char>(C + 32) : C;
}

bool SameName(std::string_view A, std::string_view B)
{
    A = TrimBlanks(A);
    B = TrimBlanks(B);
    if (A.size() != B.size())
        return false;
    for (size_t i = 0; i < A.size(); ++i)
        if (LowerAscii(A[i]) != LowerAscii(B[i]))
            return false;
    return true;
}

// A line break inside a name or value would start a new line in the file.
std::string OneLine(std::string_view S)
{
    std::string out(S);
    for (char& c : out)
        if (c == '\r' || c == '\n')
            c = ' ';
    return out;
}

// Decimal with an optional sign, or "$" / "0x" followed by up to eight hexadecimal digits
// (taken as the 32 bits of the result).
bool ParseInteger(std::string_view S, int& Result)
{
    S = TrimBlanks(S);
    size_t hexPrefix = 0;
    if (S.size() > 2 && S[0] == '0' && (S[1] == 'x' || S[1] == 'X'))
        hexPrefix = 2;
    else if (!S.empty() && S.front() == '$')
        hexPrefix = 1;
    if (hexPrefix > 0) {
        S.remove_prefix(hexPrefix);
        if (S.empty() || S.size() > 8)
            return false;
        uint32_t v = 0;
        for (char c : S) {
            const int d = HexDigit(c);
            if (d < 0)
                return false;
            v = v * 16 + static_cast<uint32_t>(d);
        }
        Result = static_cast<int>(static_cast<int32_t>(v));
        return true;
    }
    bool negative = false;
    if (!S.empty() && (S.front() == '-' || S.front() == '+')) {
        negative = S.front() == '-';
        S.remove_prefix(1);
    }
    if (S.empty())
        return false;
    int64_t v = 0;
    for (char c : S) {
        if (c < '0' || c > '9')
            return false;
        v = v * 10 + (c - '0');
        if (v > static_cast<int64_t>(INT_MAX) + 1)
            return false;
    }
    if (negative)
        v = -v;
    if (v > INT_MAX || v < INT_MIN)
        return false;
    Result = static_cast<int>(v);
    return true;
}

}  // namespace

TIniFile::TIniFile(std::string FileName) : Name(std::move(FileName)) {}

TIniFile::TLine TIniFile::ParseLine(std::string Text)
{
    TLine line;
    const std::string_view s = TrimBlanks(Text);
    if (!s.empty() && s.front() == '[') {
        const size_t close = s.rfind(']');
        if (close != std::string_view::npos) {
            line.Kind = TLineKind::Section;
            line.Name = TrimBlanks(s.substr(1, close - 1));
        }
    } else if (!s.empty() && s.front() != ';') {
        const size_t eq = s.find('=');
        if (eq != std::string_view::npos && eq > 0) {
            line.Kind = TLineKind::Key;
            line.Name = TrimBlanks(s.substr(0, eq));
            line.Value = TrimBlanks(s.substr(eq + 1));
        }
    }
    line.Text = std::move(Text);
    return line;
}

TIniFile::TFileState TIniFile::CurrentState() const
{
    TFileState state;
    struct stat st {};
    if (::stat(Name.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return state;
    state.Exists = true;
    state.Device = st.st_dev;
    state.Inode = st.st_ino;
    state.Size = st.st_size;
    state.ModifiedNs = int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    state.ChangedNs = int64_t(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    return state;
}

void TIniFile::Refresh() const
{
    const TFileState state = CurrentState();
    if (HaveLoaded && state == Loaded)
        return;
    Lines.clear();
    Loaded = state;
    HaveLoaded = true;
    Unreadable = false;
    Cut = false;
    if (!state.Exists)
        return;

    std::string bytes;
    const int fd = ::open(Name.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        Unreadable = true;  // every key reads as missing; writes would lose the file
        return;
    }
    char buffer[65536];
    while (static_cast<int64_t>(bytes.size()) <= MaxFileSize) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            Unreadable = true;
        if (n <= 0)
            break;
        bytes.append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);
    if (static_cast<int64_t>(bytes.size()) > MaxFileSize) {
        // the line the limit cuts is not read
        Cut = true;
        bytes.resize(static_cast<size_t>(MaxFileSize));
        const size_t end = bytes.find_last_of("\r\n");
        bytes.resize(end == std::string::npos ? 0 : end + 1);
    }

    size_t pos = 0;
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0)
        pos = 3;
    // CR LF, LF and a lone CR all end a line.
    while (pos < bytes.size()) {
        const size_t end = bytes.find_first_of("\r\n", pos);
        if (end == std::string::npos) {
            Lines.push_back(ParseLine(bytes.substr(pos)));
            break;
        }
        Lines.push_back(ParseLine(bytes.substr(pos, end - pos)));
        pos = end + 1;
        if (bytes[end] == '\r' && pos < bytes.size() && bytes[pos] == '\n')
            ++pos;
    }
}

bool TIniFile::TooLarge() const
{
    Refresh();
    return Cut;
}

void TIniFile::Save()
{
    if (Cut)
        return;  // what was not read would be lost
    if (Unreadable)
        throw EIniFileException("Unable to write to " + Name + ". The file cannot be read.");
    std::string bytes;
    for (const TLine& line : Lines) {
        bytes += line.Text;
        bytes += '\n';
    }
    try {
        SaveFileAtomically(Name, bytes.data(), static_cast<int64_t>(bytes.size()));
    } catch (const Exception& e) {
        HaveLoaded = false;  // the lines no longer match the file
        throw EIniFileException("Unable to write to " + Name + ". " + e.Message());
    }
    Loaded = CurrentState();
}

int64_t TIniFile::FindSection(std::string_view Section) const
{
    for (size_t i = 0; i < Lines.size(); ++i)
        if (Lines[i].Kind == TLineKind::Section && SameName(Lines[i].Name, Section))
            return static_cast<int64_t>(i);
    return -1;
}

int64_t TIniFile::SectionEnd(int64_t Header) const
{
    int64_t i = Header + 1;
    while (i < static_cast<int64_t>(Lines.size()) && Lines[i].Kind != TLineKind::Section)
        ++i;
    return i;
}

int64_t TIniFile::FindKey(int64_t Header, std::string_view Key) const
{
    if (Header < 0)
        return -1;
    const int64_t end = SectionEnd(Header);
    for (int64_t i = Header + 1; i < end; ++i)
        if (Lines[i].Kind == TLineKind::Key && SameName(Lines[i].Name, Key))
            return i;
    return -1;
}

std::string TIniFile::ReadString(std::string_view Section, std::string_view Key,
                                 std::string_view Default) const
{
    Refresh();
    const int64_t i = FindKey(FindSection(Section), Key);
    return i < 0 ? std::string(Default) : Lines[i].Value;
}

int TIniFile::ReadInteger(std::string_view Section, std::string_view Key, int Default) const
{
    Refresh();
    const int64_t i = FindKey(FindSection(Section), Key);
    int value = Default;
    if (i < 0 || !ParseInteger(Lines[i].Value, value))
        return Default;
    return value;
}

bool TIniFile::ReadBool(std::string_view Section, std::string_view Key, bool Default) const
{
    return ReadInteger(Section, Key, Default ? 1 : 0) != 0;
}

void TIniFile::WriteString(std::string_view Section, std::string_view Key,
                           std::string_view Value)
{
    Refresh();
    const std::string section = OneLine(TrimBlanks(Section));
    const std::string key = OneLine(TrimBlanks(Key));
    TLine line = ParseLine(key + "=" + OneLine(Value));

    const int64_t header = FindSection(section);
    const int64_t existing = FindKey(header, key);
    if (existing >= 0) {
        Lines[existing] = std::move(line);
    } else if (header >= 0) {
        // After the section's last key, so trailing blank lines stay between sections.
        int64_t at = header + 1;
        const int64_t end = SectionEnd(header);
        for (int64_t i = header + 1; i < end; ++i)
            if (Lines[i].Kind == TLineKind::Key)
                at = i + 1;
        Lines.insert(Lines.begin() + at, std::move(line));
    } else {
        if (!Lines.empty() && !TrimBlanks(Lines.back().Text).empty())
            Lines.push_back(ParseLine(""));
        Lines.push_back(ParseLine("[" + section + "]"));
        Lines.push_back(std::move(line));
    }
    Save();
}

void TIniFile::WriteInteger(std::string_view Section, std::string_view Key, int Value)
{
    WriteString(Section, Key, std::to_string(Value));
}

void TIniFile::WriteBool(std::string_view Section, std::string_view Key, bool Value)
{
    WriteString(Section, Key, Value ? "1" : "0");
}

bool TIniFile::SectionExists(std::string_view Section) const
{
    return !ReadSection(Section).empty();
}

bool TIniFile::ValueExists(std::string_view Section, std::string_view Key) const
{
    Refresh();
    return FindKey(FindSection(Section), Key) >= 0;
}

std::vector<std::string> TIniFile::ReadSection(std::string_view Section) const
{
    Refresh();
    std::vector<std::string> keys;
    const int64_t header = FindSection(Section);
    if (header < 0)
        return keys;
    const int64_t end = SectionEnd(header);
    std::unordered_set<std::string> seen;
    for (int64_t i = header + 1; i < end; ++i) {
        if (Lines[i].Kind != TLineKind::Key)
            continue;
        std::string folded = Lines[i].Name;
        for (char& c : folded)
            c = LowerAscii(c);
        if (seen.insert(std::move(folded)).second)
            keys.push_back(Lines[i].Name);
    }
    return keys;
}

void TIniFile::EraseSection(std::string_view Section)
{
    Refresh();
    bool erased = false;
    for (int64_t header = FindSection(Section); header >= 0; header = FindSection(Section)) {
        Lines.erase(Lines.begin() + header, Lines.begin() + SectionEnd(header));
        erased = true;
    }
    if (erased)
        Save();
}

}  // namespace zv
