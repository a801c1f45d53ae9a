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
        Slots.assign(Size, TSlot{});
        for (int I = 0; I < Count; ++I) {
            const std::string& Key = Keys[static_cast<size_t>(I)];
            uint32_t Hash = Seed;
            for (char C : Key)
                Hash = Step(Hash, C);
            if (Probe(Hash, Key.data(), Key.size()) >= 0)
                continue;
            size_t At = Hash & Mask;
            while (Slots[At].Id >= 0)
                At = (At + 1) & Mask;
            Slots[At] = {I, Hash, static_cast<uint32_t>(Key.size()), Key.data()};
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

    // A key with its hash and length, which rule out most others without a look at the text.
    struct TSlot {
        int Id = -1;
        uint32_t Hash = 0;
        uint32_t Length = 0;
        const char* Key = nullptr;
    };

    // FNV-1a, one character at a time.
    static uint32_t Step(uint32_t Hash, char C) { return (Hash ^ static_cast<unsigned char>(C)) * 16777619u; }

    // The id of the key of Length characters at Key, or -1.
    int Probe(uint32_t Hash, const char* Key, size_t Length) const
    {
        for (size_t At = Hash & Mask;; At = (At + 1) & Mask) {
            const TSlot& Slot = Slots[At];
            if (Slot.Id < 0)
                return -1;
            if (Slot.Hash == Hash && Slot.Length == Length && Same(Key, Slot.Key, Length))
                return Slot.Id;
        }
    }

    // Names are short: a loop beats a call to memcmp.
    static bool Same(const char* A, const char* B, size_t Length)
    {
        for (size_t I = 0; I < Length; ++I)
            if (A[I] != B[I])
                return false;
        return true;
    }

    std::vector<std::string> Keys;
    std::vector<TSlot> Slots;
    size_t Mask = 0;
    size_t MaxLength = 0;
};

}  // namespace zv
