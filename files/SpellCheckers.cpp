#include "SpellCheckers.h"

#include <algorithm>
#include <cstdlib>

#include "Streams.h"
#include "WideText.h"

namespace zv {

TSpellChecker::TSpellChecker()
{
    for (int i = 0; i < 256; ++i)
        FoldTable[i] = static_cast<uint8_t>(i >= 'a' && i <= 'z' ? i - 32 : i);
}

void TSpellChecker::Clear()
{
    for (auto& bucket : Buckets)
        bucket.reset();
}

int TSpellChecker::HashWord(std::string_view Word) const
{
    unsigned sum = 0;
    for (unsigned char c : Word)
        sum += FoldTable[c];
    return static_cast<int>(sum % 255);
}

void TSpellChecker::AddWord(std::string Word)
{
    auto& bucket = Buckets[HashWord(Word)];
    if (!bucket)
        bucket = std::make_unique<TBucket>();
    const int length = static_cast<int>(Word.size());
    bucket->push_back({std::move(Word), length});
}

void TSpellChecker::LoadFromFile(const std::string& FileName)
{
    TMemoryStream file;
    file.LoadFromFile(FileName);
    LoadFromText(std::string_view(reinterpret_cast<const char*>(file.Memory()), file.Bytes().size()));
}

void TSpellChecker::LoadFromText(std::string_view Text)
{
    std::string previous;
    size_t pos = 0;
    while (pos < Text.size()) {
        size_t end = Text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos)
            end = Text.size();
        const std::string_view line = Text.substr(pos, end - pos);
        pos = end + (Text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
        if (line.empty())
            continue;
        const size_t shared = line[0] >= '0' && line[0] <= '9' ? static_cast<size_t>(line[0] - '0') : 0;
        std::string word;
        // A damaged list may claim more shared characters than the previous word has.
        if (!previous.empty() && shared >= 1)
            word = previous.substr(0, std::min(shared, previous.size()));
        word.append(line.substr(1));
        previous = word;
        // A line of a digit alone holds no word; it would come back as an empty suggestion.
        if (word.empty())
            continue;
        // A word that is no UTF-8 comes from a list in a one-byte set: its bytes are Latin-1.
        if (!IsWellFormedUtf8(word))
            word = Utf16ToUtf8(Latin1ToUtf16(word));
        AddWord(std::move(word));
    }
}

bool TSpellChecker::HasNoLetters(std::string_view Word)
{
    return std::none_of(Word.begin(), Word.end(),
                        [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); });
}

bool TSpellChecker::IsKnownWord(std::string_view Word) const
{
    if (HasNoLetters(Word))
        return true;
    const auto& bucket = Buckets[HashWord(Word)];
    if (!bucket)
        return false;
    const int length = static_cast<int>(Word.size());
    return std::any_of(bucket->begin(), bucket->end(), [&](const TEntry& entry) {
        if (entry.Length != length)
            return false;
        for (int i = 0; i < length; ++i)
            if (FoldTable[static_cast<uint8_t>(entry.Word[i])] != FoldTable[static_cast<uint8_t>(Word[i])])
                return false;
        return true;
    });
}

int TSpellChecker::EditDistance(std::string_view A, std::string_view B) const
{
    return Distance(A, B, true);
}

int TSpellChecker::Distance(std::string_view A, std::string_view B, bool Swaps) const
{
    if (A.empty())
        return static_cast<int>(B.size());
    if (B.empty())
        return static_cast<int>(A.size());
    if (A.size() > MaxWordLength || B.size() > MaxWordLength)
        return NoDistance;
    // Levenshtein distance in which two neighbouring letters written the other way round
    // also count as one edit: "teh" is one slip away from "the", not two.
    int twoAbove[MaxWordLength + 1];
    int above[MaxWordLength + 1];
    int row[MaxWordLength + 1];
    const int n = static_cast<int>(B.size());
    for (int j = 0; j <= n; ++j)
        above[j] = j;
    uint8_t previous = 0;
    for (size_t i = 0; i < A.size(); ++i) {
        row[0] = above[0] + 1;
        const uint8_t fa = FoldTable[static_cast<uint8_t>(A[i])];
        for (int j = 1; j <= n; ++j) {
            const uint8_t fb = FoldTable[static_cast<uint8_t>(B[j - 1])];
            const int diagonal = above[j - 1] + (fa != fb ? 1 : 0);
            row[j] = std::min({diagonal, above[j] + 1, row[j - 1] + 1});
            if (Swaps && i > 0 && j > 1 && fa == FoldTable[static_cast<uint8_t>(B[j - 2])] && previous == fb &&
                fa != fb)
                row[j] = std::min(row[j], twoAbove[j - 2] + 1);
        }
        std::copy(above, above + n + 1, twoAbove);
        std::copy(row, row + n + 1, above);
        previous = fa;
    }
    return above[n];
}

void TSpellChecker::Suggest(std::string_view Word)
{
    Suggestions.clear();
    const int length = static_cast<int>(Word.size());
    for (const auto& bucket : Buckets) {
        if (!bucket)
            continue;
        for (const TEntry& entry : *bucket) {
            if (std::abs(entry.Length - length) >= 3)
                continue;
            const int d = EditDistance(Word, entry.Word);
            // a word that needs a swap of neighbouring letters goes before the others of
            // its distance: that is the commonest slip of the keyboard
            if (d < 3)
                Suggestions.push_back({entry.Word, d, d < Distance(Word, entry.Word, false)});
        }
    }
    std::stable_sort(Suggestions.begin(), Suggestions.end(), [](const TSuggestion& A, const TSuggestion& B) {
        return A.Distance != B.Distance ? A.Distance < B.Distance : A.Swapped && !B.Swapped;
    });
}

}  // namespace zv
