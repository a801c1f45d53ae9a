#pragma once
// A small English dictionary: a prefix-compressed word list in hash buckets, a known-word
// test and edit-distance suggestions. Words are 8-bit text (UTF-8 here); letter case is folded
// for ASCII letters only.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zv {

class TSpellChecker {
public:
    struct TEntry {
        std::string Word;
        int Length = 0;  // the word's length in bytes
    };
    using TBucket = std::vector<TEntry>;

    struct TSuggestion {
        std::string Word;
        int Distance = 0;
        bool Swapped = false;  // the distance counts a swap of neighbouring letters
    };

    // Words longer than this get no suggestions.
    static constexpr int MaxWordLength = 50;
    static constexpr int NoDistance = 2147483647;

    TSpellChecker();

    void Clear();
    int HashWord(std::string_view Word) const;

    // Adds every word of the list (one per line, each led by a digit: how many characters it
    // shares with the word before). Raises EFOpenError when the file cannot be opened.
    void LoadFromFile(const std::string& FileName);
    // The same from the list's text.
    void LoadFromText(std::string_view Text);

    static bool HasNoLetters(std::string_view Word);
    bool IsKnownWord(std::string_view Word) const;
    // Insertions, deletions, substitutions and swaps of two neighbouring letters, one edit
    // each; NoDistance for words longer than MaxWordLength.
    int EditDistance(std::string_view A, std::string_view B) const;
    // Fills Suggestions with the words within distance 2, nearest first; of equal distance,
    // those reached by a swap first.
    void Suggest(std::string_view Word);

    std::array<uint8_t, 256> FoldTable;
    std::array<std::unique_ptr<TBucket>, 256> Buckets;
    std::vector<TSuggestion> Suggestions;

private:
    void AddWord(std::string Word);
    int Distance(std::string_view A, std::string_view B, bool Swaps) const;
};

}  // namespace zv
