#pragma once
// A fixed table of ASCII names looked up by hash without regard to ASCII letter case.

#include <string>
#include <type_traits>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "WideText.h"

namespace zv {

class TNameTable {
public:
    // Names[I] gets the id I.
    TNameTable(const char* const* Names, int Count)
    {
        Keys.reserve(static_cast<size_t>(Count));
        for (int I = 0; I < Count; ++I) {
            Keys.push_back(AsciiLowerCase(std::string_view(Names[I])));
            if (Keys.back().size() > MaxLength)
                MaxLength = Keys.back().size();
        }
        for (int I = 0; I < Count; ++I)
            Ids.emplace(Keys[static_cast<size_t>(I)], I);
    }

    // The id of Name, or -1. Characters outside ASCII never match.
    template <class TView>
    int Find(TView Name) const
    {
        if (Name.size() > MaxLength)
            return -1;
        using TUnit = std::make_unsigned_t<typename TView::value_type>;
        char Folded[64];
        for (size_t I = 0; I < Name.size(); ++I) {
            const auto C = static_cast<char16_t>(static_cast<TUnit>(Name[I]));
            if (C >= 0x80)
                return -1;
            Folded[I] = static_cast<char>(AsciiLower(C));
        }
        const auto It = Ids.find(std::string_view(Folded, Name.size()));
        return It == Ids.end() ? -1 : It->second;
    }

private:
    std::vector<std::string> Keys;
    std::unordered_map<std::string_view, int> Ids;
    size_t MaxLength = 0;
};

}  // namespace zv
