#pragma once
// The fixed table of named character entities.

namespace zv {

struct TEntityInfo {
    const char* Text;  // the whole reference, "&auml;"
    char16_t Code;
};

inline constexpr int EntityCount = 252;
extern const TEntityInfo EntityTable[EntityCount];

}  // namespace zv
