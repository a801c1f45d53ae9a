#pragma once
// Test helpers that write the records of template files: little-endian integers, counted
// strings, and whole templates.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace zv::test {

inline std::string Int(int32_t Value)
{
    std::string out;
    for (int shift = 0; shift < 32; shift += 8)
        out += static_cast<char>((static_cast<uint32_t>(Value) >> shift) & 0xFF);
    return out;
}

inline std::string Str(const std::string& Text)
{
    return Int(static_cast<int32_t>(Text.size())) + Text;
}

using TTemplateEntries = std::vector<std::pair<std::string, std::string>>;

// A template with the preview bytes, the page and the (name, data) entries, end marker last.
inline std::string TemplateBytes(const std::string& Page, const TTemplateEntries& Entries,
                                 const std::string& Preview)
{
    std::string out = Str("Zandovell Template") + Str(Preview) + Str(Page);
    for (const auto& [name, data] : Entries)
        out += Int(1) + Str(name) + Str(data);
    return out + Int(0);
}

}  // namespace zv::test
