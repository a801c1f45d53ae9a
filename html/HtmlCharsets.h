#pragma once
// Character sets a script element can name: a display name for people ("Western European
// (ISO)") and the code name written in HTML ("iso-8859-1"), in two parallel tables.

#include <string>
#include <string_view>

namespace zv {

constexpr int CharsetCount = 119;
extern const char* const CharsetDisplayNames[CharsetCount];
extern const char* const CharsetCodeNames[CharsetCount];

// Lookups of the first row whose name equals the text without regard to ASCII case; an
// unknown or empty name gives the empty string.
std::string CodeFromDisplay(std::string_view DisplayName);
std::string DisplayFromCode(std::string_view CodeName);

}  // namespace zv
