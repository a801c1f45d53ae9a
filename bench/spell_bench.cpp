// Known-word lookups and suggestions per second: the editor's spell checker and Hunspell
// (en_US) on the same sample of words; and how often the first suggestion is the word meant,
// on a list of common misspellings (data/misspellings.txt) that both take as wrong.

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <hunspell.hxx>

#include "DataFiles.h"
#include "SpellCheckers.h"
#include "Streams.h"

namespace {

struct TSample {
    std::vector<std::string> Known;
    // Each misspelling with the word it came from.
    std::vector<std::pair<std::string, std::string>> Misspelt;
};

zv::TSpellChecker& Checker()
{
    static zv::TSpellChecker checker = [] {
        zv::TSpellChecker c;
        c.LoadFromFile(zv::FindDataFile("english.wrd"));
        return c;
    }();
    return checker;
}

Hunspell& Reference()
{
    static Hunspell hunspell("/usr/share/hunspell/en_US.aff", "/usr/share/hunspell/en_US.dic");
    return hunspell;
}

// Every 97th word of the list as known words; lower-case words of 5 to 10 letters with two
// inner letters swapped as misspellings.
const TSample& Sample()
{
    static const TSample sample = [] {
        TSample s;
        std::vector<std::string> words;
        for (const auto& bucket : Checker().Buckets)
            if (bucket)
                for (const auto& entry : *bucket)
                    words.push_back(entry.Word);
        std::sort(words.begin(), words.end());
        for (size_t i = 0; i < words.size(); i += 97)
            s.Known.push_back(words[i]);
        for (size_t i = 0; i < words.size() && s.Misspelt.size() < 100; i += 211) {
            const std::string& word = words[i];
            if (word.size() < 5 || word.size() > 10 ||
                !std::all_of(word.begin(), word.end(), [](char c) { return c >= 'a' && c <= 'z'; }))
                continue;
            std::string wrong = word;
            std::swap(wrong[2], wrong[3]);
            if (wrong != word && !Checker().IsKnownWord(wrong))
                s.Misspelt.emplace_back(wrong, word);
        }
        return s;
    }();
    return sample;
}

void Lookup_Zandovell(benchmark::State& State)
{
    const auto& words = Sample().Known;
    for (auto _ : State)
        for (const auto& word : words)
            benchmark::DoNotOptimize(Checker().IsKnownWord(word));
    State.SetItemsProcessed(State.iterations() * static_cast<int64_t>(words.size()));
}

void Lookup_Hunspell(benchmark::State& State)
{
    const auto& words = Sample().Known;
    for (auto _ : State)
        for (const auto& word : words)
            benchmark::DoNotOptimize(Reference().spell(word));
    State.SetItemsProcessed(State.iterations() * static_cast<int64_t>(words.size()));
}

// "found": the share of misspellings whose original word is among the suggestions.
void Suggest_Zandovell(benchmark::State& State)
{
    const auto& words = Sample().Misspelt;
    int found = 0;
    for (auto _ : State) {
        found = 0;
        for (const auto& [wrong, right] : words) {
            Checker().Suggest(wrong);
            const auto& s = Checker().Suggestions;
            found += std::any_of(s.begin(), s.end(), [&](const auto& x) { return x.Word == right; });
        }
    }
    State.SetItemsProcessed(State.iterations() * static_cast<int64_t>(words.size()));
    State.counters["found"] = static_cast<double>(found) / static_cast<double>(words.size());
}

void Suggest_Hunspell(benchmark::State& State)
{
    const auto& words = Sample().Misspelt;
    int found = 0;
    for (auto _ : State) {
        found = 0;
        for (const auto& [wrong, right] : words) {
            const std::vector<std::string> s = Reference().suggest(wrong);
            found += std::find(s.begin(), s.end(), right) != s.end();
        }
    }
    State.SetItemsProcessed(State.iterations() * static_cast<int64_t>(words.size()));
    State.counters["found"] = static_cast<double>(found) / static_cast<double>(words.size());
}

// The slips of the list that both checkers take as wrong, with a meant word both know.
const std::vector<std::pair<std::string, std::string>>& CommonSlips()
{
    static const auto slips = [] {
        std::vector<std::pair<std::string, std::string>> list;
        std::ifstream in(ZV_BENCH_DATA "/misspellings.txt");
        std::string line;
        while (std::getline(in, line)) {
            std::istringstream fields(line);
            std::string wrong, right;
            if (line.empty() || line[0] == '#' || !(fields >> wrong >> right))
                continue;
            if (Checker().IsKnownWord(wrong) || Reference().spell(wrong) || !Checker().IsKnownWord(right) ||
                !Reference().spell(right))
                continue;
            list.emplace_back(wrong, right);
        }
        return list;
    }();
    return slips;
}

// "first": the share of slips whose first suggestion is the word meant; "found": among them.
template <class TSuggest> void MeasureSlips(benchmark::State& State, TSuggest Suggest)
{
    const auto& slips = CommonSlips();
    int first = 0, found = 0;
    for (auto _ : State) {
        first = found = 0;
        for (const auto& [wrong, right] : slips) {
            const std::vector<std::string> s = Suggest(wrong);
            first += !s.empty() && s.front() == right;
            found += std::find(s.begin(), s.end(), right) != s.end();
        }
    }
    State.SetItemsProcessed(State.iterations() * static_cast<int64_t>(slips.size()));
    State.counters["slips"] = static_cast<double>(slips.size());
    State.counters["first"] = static_cast<double>(first) / static_cast<double>(slips.size());
    State.counters["found"] = static_cast<double>(found) / static_cast<double>(slips.size());
}

void CommonSlips_Zandovell(benchmark::State& State)
{
    MeasureSlips(State, [](const std::string& Wrong) {
        Checker().Suggest(Wrong);
        std::vector<std::string> words;
        for (const auto& s : Checker().Suggestions)
            words.push_back(s.Word);
        return words;
    });
}

void CommonSlips_Hunspell(benchmark::State& State)
{
    MeasureSlips(State, [](const std::string& Wrong) { return Reference().suggest(Wrong); });
}

}  // namespace

BENCHMARK(CommonSlips_Zandovell)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(CommonSlips_Hunspell)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(Lookup_Zandovell)->Unit(benchmark::kMicrosecond);
BENCHMARK(Lookup_Hunspell)->Unit(benchmark::kMicrosecond);
BENCHMARK(Suggest_Zandovell)->Unit(benchmark::kMillisecond);
BENCHMARK(Suggest_Hunspell)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
