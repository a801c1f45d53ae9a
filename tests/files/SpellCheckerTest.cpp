#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "SpellCheckers.h"
#include "Streams.h"
#include "WideText.h"

using namespace zv;

namespace {

std::vector<std::string> AllWords(const TSpellChecker& Checker)
{
    std::vector<std::string> words;
    for (const auto& bucket : Checker.Buckets) {
        if (bucket)
            for (const auto& entry : *bucket)
                words.push_back(entry.Word);
    }
    std::sort(words.begin(), words.end());
    return words;
}

bool Suggests(const TSpellChecker& Checker, const std::string& Word)
{
    return std::any_of(Checker.Suggestions.begin(), Checker.Suggestions.end(),
                       [&](const auto& s) { return s.Word == Word; });
}

std::string EnglishText()
{
    TMemoryStream file;
    file.LoadFromFile(ZV_SOURCE_DIR "/data/english.wrd");
    return std::string(reinterpret_cast<const char*>(file.Memory()), file.Bytes().size());
}

}  // namespace

TEST(SpellChecker, LoadsThePrefixCompressedList)
{
    TSpellChecker checker;
    checker.LoadFromText("0apple\n3ly\n\n2e\r\n1ntelope\r0\nxpear\n");
    EXPECT_EQ(AllWords(checker), (std::vector<std::string>{"antelope", "ape", "apple", "apply", "pear"}));
    for (const auto& bucket : checker.Buckets) {
        for (const auto& entry : bucket ? *bucket : TSpellChecker::TBucket())
            EXPECT_EQ(entry.Length, static_cast<int>(entry.Word.size()));
    }
    EXPECT_FALSE(checker.Buckets[255]);
    EXPECT_EQ(checker.HashWord(""), 0);
    EXPECT_EQ(checker.HashWord("apple"), checker.HashWord("APPLE"));

    for (const char* word : {"apple", "Apple", "APPLE", "aPpLy", "ape", "123", "--", "3.14!", ""})
        EXPECT_TRUE(checker.IsKnownWord(word)) << word;
    for (const char* word : {"appel", "apples", "app", "4pple", "xpear"})
        EXPECT_FALSE(checker.IsKnownWord(word)) << word;

    // Loading adds to what is there; Clear empties.
    checker.LoadFromText("0zebra\n");
    EXPECT_TRUE(checker.IsKnownWord("apple"));
    EXPECT_TRUE(checker.IsKnownWord("Zebra"));
    checker.Clear();
    EXPECT_FALSE(checker.IsKnownWord("apple"));
    EXPECT_THROW(checker.LoadFromFile("/nonexistent/english.wrd"), EFOpenError);
}

TEST(SpellChecker, SurvivesDamagedLists)
{
    const std::string text = EnglishText();

    // Cut in the middle of a line: everything before the cut is still there.
    TSpellChecker truncated;
    truncated.LoadFromText(std::string_view(text).substr(0, text.size() / 2 + 3));
    EXPECT_TRUE(truncated.IsKnownWord("apple"));
    EXPECT_FALSE(truncated.IsKnownWord("zebra"));

    // Shared counts beyond the previous word, digits alone, control bytes and high bytes.
    TSpellChecker damaged;
    std::string garbage = "9abc\n9x\n0\n9\n";
    for (int i = 0; i < 4096; ++i)
        garbage += static_cast<char>((i * 7919 + 13) % 256);
    damaged.LoadFromText(garbage);
    EXPECT_TRUE(damaged.IsKnownWord("abc"));
    EXPECT_TRUE(damaged.IsKnownWord("abcx"));
    damaged.Suggest("abd");
    EXPECT_TRUE(Suggests(damaged, "abc"));
    // A list saved in a one-byte set: its words are found as the page spells them, and
    // every suggestion is UTF-8.
    TSpellChecker latin1;
    latin1.LoadFromText("0caf\xE9\r\n3\xE9s\r\n0na\xC3\xAFve\r\n");
    EXPECT_TRUE(latin1.IsKnownWord("caf\xC3\xA9"));
    EXPECT_TRUE(latin1.IsKnownWord("caf\xC3\xA9s"));
    EXPECT_TRUE(latin1.IsKnownWord("na\xC3\xAFve"));
    damaged.Suggest("abcd");
    latin1.Suggest("cafe");
    for (const TSpellChecker* Checker : {&damaged, &latin1})
        for (const auto& Suggestion : Checker->Suggestions)
            EXPECT_TRUE(IsWellFormedUtf8(Suggestion.Word)) << Suggestion.Word;
    EXPECT_TRUE(Suggests(latin1, "caf\xC3\xA9"));
}

TEST(SpellChecker, MeasuresDistancesAndSuggests)
{
    TSpellChecker checker;
    EXPECT_EQ(checker.EditDistance("kitten", "sitting"), 3);
    EXPECT_EQ(checker.EditDistance("Receive", "rECEIVE"), 0);
    EXPECT_EQ(checker.EditDistance("recieve", "receive"), 1);  // a swap is one slip
    EXPECT_EQ(checker.EditDistance("teh", "THE"), 1);
    EXPECT_EQ(checker.EditDistance("abc", "ca"), 3);
    EXPECT_EQ(checker.EditDistance("ab", "ba"), 1);
    EXPECT_EQ(checker.EditDistance("", "abc"), 3);
    EXPECT_EQ(checker.EditDistance("abcd", ""), 4);
    const std::string fifty(50, 'a'), fiftyOne(51, 'a');
    EXPECT_EQ(checker.EditDistance(fifty, fifty + "b"), TSpellChecker::NoDistance);
    EXPECT_EQ(checker.EditDistance(fifty, std::string(50, 'b')), 50);
    EXPECT_EQ(checker.EditDistance("", fiftyOne), 51);

    checker.LoadFromText("0apple\n3ly\n2e\n0" + fiftyOne + "\n0" + fifty + "\n");
    checker.Suggest("appe");
    ASSERT_EQ(checker.Suggestions.size(), 3u);
    EXPECT_EQ(checker.Suggestions[0].Distance, 1);
    EXPECT_EQ(checker.Suggestions[1].Distance, 1);
    EXPECT_EQ(checker.Suggestions[2].Word, "apply");
    EXPECT_EQ(checker.Suggestions[2].Distance, 2);
    checker.Suggest(fiftyOne);
    EXPECT_TRUE(checker.Suggestions.empty());
    checker.Suggest(std::string(49, 'a') + "b");
    ASSERT_EQ(checker.Suggestions.size(), 1u);
    EXPECT_EQ(checker.Suggestions[0].Word, fifty);

    // The shipped list knows its words and mends common slips.
    TSpellChecker english;
    english.LoadFromText(EnglishText());
    for (const char* word : {"receive", "Separate", "definitely", "don't", "Wednesday"})
        EXPECT_TRUE(english.IsKnownWord(word)) << word;
    for (const char* word : {"recieve", "seperate", "definately", "wierd"})
        EXPECT_FALSE(english.IsKnownWord(word)) << word;
    const std::vector<std::pair<const char*, const char*>> slips = {
        {"recieve", "receive"}, {"seperate", "separate"}, {"definately", "definitely"},
        {"wierd", "weird"},     {"teh", "the"},           {"accomodate", "accommodate"}};
    for (const auto& [wrong, right] : slips) {
        english.Suggest(wrong);
        EXPECT_TRUE(Suggests(english, right)) << wrong;
        EXPECT_TRUE(std::is_sorted(english.Suggestions.begin(), english.Suggestions.end(),
                                   [](const auto& a, const auto& b) { return a.Distance < b.Distance; }));
    }
    // a swap of neighbouring letters puts the intended word first
    for (const char* wrong : {"teh", "recieve", "wierd", "freind", "beleive"}) {
        english.Suggest(wrong);
        ASSERT_FALSE(english.Suggestions.empty()) << wrong;
        EXPECT_TRUE(english.Suggestions[0].Swapped) << wrong << ": " << english.Suggestions[0].Word;
    }
    english.Suggest("teh");
    EXPECT_EQ(english.Suggestions[0].Word, "the");
    english.Suggest("recieve");
    EXPECT_EQ(english.Suggestions[0].Word, "receive");
}
