// Arbitrary bytes as a word list: every line is taken or skipped, lookups and suggestions
// stay in bounds, and suggestions come nearest first.

#include <algorithm>
#include <string_view>

#include "FuzzFiles.h"
#include "SpellCheckers.h"

using namespace zv;
using zv::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    const std::string_view text(reinterpret_cast<const char*>(Data), Size);
    TSpellChecker checker;
    checker.LoadFromText(text);

    // the words of the first lines, as they were stored, are known
    size_t words = 0;
    for (const auto& bucket : checker.Buckets)
        if (bucket)
            for (const auto& entry : *bucket) {
                Require(entry.Length == static_cast<int>(entry.Word.size()));
                if (++words <= 8)
                    Require(checker.IsKnownWord(entry.Word));
            }
    Require(!checker.Buckets[255]);

    const std::string_view probe = text.substr(0, std::min<size_t>(text.find('\n'), 24));
    checker.IsKnownWord(probe);
    checker.Suggest(probe);
    for (size_t i = 0; i < checker.Suggestions.size(); ++i) {
        const auto& s = checker.Suggestions[i];
        Require(s.Distance >= 0 && s.Distance < 3);
        Require(s.Distance == checker.EditDistance(probe, s.Word));
        Require(i == 0 || checker.Suggestions[i - 1].Distance <= s.Distance);
    }
    return 0;
}
