#pragma once
// A fixed table of ASCII names looked up by hash without regard to ASCII letter case.

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "WideText.h"

namespace zv {

class TNameTable {
public:
    // Names[I] gets the id I (a repeated name keeps its first id).
    TNameTable(const char* const* Names, int Count)
    {
        Keys.reserve(static_cast<size_t>(Count));
        for (int I = 0; I < Count; ++I) {
            Keys.push_back(AsciiLowerCase(std::string_view(Names[I])));
            if (Keys.back().size() > MaxLength)
                MaxLength = Keys.back().size();
        }
        // Open addressing in a table at most a quarter full.
        size_t Size = 16;
        while (Size < 4 * static_cast<size_t>(Count))
            Size *= 2;
        Mask = Size - 1;
        Slots.assign(Size, -1);
        for (int I = 0; I < Count; ++I) {
            const std::string& Key = Keys[static_cast<size_t>(I)];
            uint32_t Hash = Seed;
            for (char C : Key)
                Hash = Step(Hash, C);
            size_t At = Hash & Mask;
            while (Slots[At] >= 0 && Keys[static_cast<size_t>(Slots[At])] != Key)
                At = (At + 1) & Mask;
            if (Slots[At] < 0)
                Slots[At] = I;
        }
    }

    // The id of Name, or -1. Characters outside ASCII never match.
    template <class TView>
    int Find(TView Name) const
    {
        if (Name.size() > MaxLength || Name.size() > MaxKey)
            return -1;
        using TUnit = std::make_unsigned_t<typename TView::value_type>;
        char Folded[MaxKey];
        uint32_t Hash = Seed;
        for (size_t I = 0; I < Name.size(); ++I) {
            const auto C = static_cast<char16_t>(static_cast<TUnit>(Name[I]));
            if (C >= 0x80)
                return -1;
            Folded[I] = static_cast<char>(AsciiLower(C));
            Hash = Step(Hash, Folded[I]);
        }
        return Probe(Hash, Folded, Name.size());
    }

private:
    static constexpr size_t MaxKey = 64;
    static constexpr uint32_t Seed = 2166136261u;

    // FNV-1a, one character at a time.
    static uint32_t Step(uint32_t Hash, char C) { return (Hash ^ static_cast<unsigned char>(C)) * 16777619u; }

    // The id of the key of Length characters at Key, or -1.
    int Probe(uint32_t Hash, const char* Key, size_t Length) const
    {
        for (size_t At = Hash & Mask;; At = (At + 1) & Mask) {
            const int Id = Slots[At];
            if (Id < 0)
                return -1;
            const std::string& Known = Keys[static_cast<size_t>(Id)];
            if (Known.size() == Length && std::memcmp(Known.data(), Key, Length) == 0)
                return Id;
        }
    }

    std::vector<std::string> Keys;
    std::vector<int> Slots;
    size_t Mask = 0;
    size_t MaxLength = 0;
};

}  // namespace zv
