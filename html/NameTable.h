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

// A name packed as TNameTable::FindPacked takes it, gathered one character at a time as a
// reader meets them.
struct TPackedName {
    uint64_t Low = 0;
    uint64_t High = 0;
    unsigned All = 0;  // every character or-ed: 0x80 and up means one is not ASCII

    // C is the name's character number At.
    void Add(size_t At, char16_t C)
    {
        All |= C;
        if (At < 8)
            Low |= uint64_t(C & 0xFF) << (At * 8);
        else if (At < 16)
            High |= uint64_t(C & 0xFF) << (At * 8 - 64);
    }
};

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
        // Open addressing in tables at most half full.
        size_t Size = 16;
        while (Size < 2 * static_cast<size_t>(Count))
            Size *= 2;
        Mask = Size - 1;
        Short.assign(Size, TShortSlot{});
        Long.assign(Size, TLongSlot{});
        for (int I = 0; I < Count; ++I) {
            const std::string& Key = Keys[static_cast<size_t>(I)];
            if (Key.size() <= ShortKey) {
                TShortSlot Slot{0, 0, I, static_cast<uint32_t>(Key.size())};
                for (size_t C = 0; C < Key.size(); ++C)
                    (C < 8 ? Slot.Low : Slot.High) |= uint64_t(static_cast<unsigned char>(Key[C])) << (C % 8 * 8);
                if (FindPacked(Slot.Low, Slot.High, Key.size()) >= 0)
                    continue;
                size_t At = ShortHash(Slot.Low, Slot.High, Key.size()) & Mask;
                while (Short[At].Id >= 0)
                    At = (At + 1) & Mask;
                Short[At] = Slot;
            } else {
                uint32_t Hash = Seed;
                for (char C : Key)
                    Hash = Step(Hash, C);
                if (Probe(Hash, Key.data(), Key.size()) >= 0)
                    continue;
                size_t At = Hash & Mask;
                while (Long[At].Id >= 0)
                    At = (At + 1) & Mask;
                Long[At] = {I, Hash, static_cast<uint32_t>(Key.size()), Key.data()};
            }
        }
    }

    // The id of Name, or -1. Characters outside ASCII never match.
    template <class TView>
    int Find(TView Name) const
    {
        if (Name.size() > MaxLength || Name.size() > MaxKey)
            return -1;
        using TUnit = std::make_unsigned_t<typename TView::value_type>;
        if (Name.size() <= ShortKey) {
            uint64_t Low = 0, High = 0;
            unsigned All = 0;  // every character or-ed: 0x80 and up means one is not ASCII
            size_t I = 0;
            for (; I < Name.size() && I < 8; ++I) {
                const unsigned C = static_cast<TUnit>(Name[I]);
                All |= C;
                Low |= uint64_t(C) << (I * 8);
            }
            for (; I < Name.size(); ++I) {
                const unsigned C = static_cast<TUnit>(Name[I]);
                All |= C;
                High |= uint64_t(C) << ((I - 8) * 8);
            }
            if (All >= 0x80)
                return -1;
            return FindPacked(Low, High, Name.size());
        }
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

    // Names of up to this many characters are compared as two words: their characters a byte
    // each (Low from the first), unused bytes zero; Fold turns them into lower case.
    static constexpr size_t ShortKey = 16;

    // The id of Name, whose characters were packed into Packed as they were read.
    int Find(const TPackedName& Packed, WideStringView Name) const
    {
        if (Name.size() > ShortKey)
            return Find(Name);
        return Packed.All < 0x80 ? FindPacked(Packed.Low, Packed.High, Name.size()) : -1;
    }

    // The id of the name packed so, of Length characters, which must all be ASCII.
    int FindPacked(uint64_t Low, uint64_t High, size_t Length) const
    {
        Low = LowerPacked(Low);
        if (High)  // (most names have eight characters or fewer)
            High = LowerPacked(High);
        for (size_t At = ShortHash(Low, High, Length) & Mask;; At = (At + 1) & Mask) {
            const TShortSlot& Slot = Short[At];
            if (Slot.Low == Low && Slot.High == High && Slot.Length == Length)
                return Slot.Id;
            if (Slot.Id < 0)
                return -1;
        }
    }

private:
    static constexpr size_t MaxKey = 64;
    static constexpr uint32_t Seed = 2166136261u;

    struct TShortSlot {
        uint64_t Low = 0;
        uint64_t High = 0;
        int Id = -1;
        uint32_t Length = 0;
    };
    // A longer key with its hash and length, which rule out most others without a look at the
    // text.
    struct TLongSlot {
        int Id = -1;
        uint32_t Hash = 0;
        uint32_t Length = 0;
        const char* Key = nullptr;
    };

    // ASCII characters packed a byte each, with A to Z turned into a to z.
    static uint64_t LowerPacked(uint64_t Bytes)
    {
        constexpr uint64_t Ones = 0x0101010101010101ull;
        const uint64_t FromA = Bytes + (0x80 - 'A') * Ones;       // high bit: 'A' or above
        const uint64_t AfterZ = Bytes + (0x80 - 'Z' - 1) * Ones;  // high bit: above 'Z'
        return Bytes | ((FromA & ~AfterZ & 0x80 * Ones) >> 2);
    }

    static uint32_t ShortHash(uint64_t Low, uint64_t High, size_t Length)
    {
        return static_cast<uint32_t>((Low * 0x9E3779B97F4A7C15ull + High + Length) >> 40);
    }

    // FNV-1a, one character at a time, for the longer keys.
    static uint32_t Step(uint32_t Hash, char C) { return (Hash ^ static_cast<unsigned char>(C)) * 16777619u; }

    // The id of the longer key of Length characters at Key, or -1.
    int Probe(uint32_t Hash, const char* Key, size_t Length) const
    {
        for (size_t At = Hash & Mask;; At = (At + 1) & Mask) {
            const TLongSlot& Slot = Long[At];
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
    std::vector<TShortSlot> Short;
    std::vector<TLongSlot> Long;
    size_t Mask = 0;
    size_t MaxLength = 0;
};

}  // namespace zv
