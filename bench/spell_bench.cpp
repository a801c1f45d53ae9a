// Lookups and suggestions per second: the editor's spell checker and Hunspell (en_US) on the
// same words, the words of real text: the PostgreSQL and Python manuals where their Debian
// packages (postgresql-doc-*, python3-doc) are installed, else the pages of the corpus. And
// how often the first suggestion is the word meant, on a list of common misspellings
// (data/misspellings.txt) that both take as wrong.

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
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

// The HTML pages of each manual, in a fixed order; the corpus when neither is installed.
std::vector<std::vector<std::filesystem::path>> TextSources()
{
    namespace fs = std::filesystem;
    std::vector<std::vector<fs::path>> Sources;
    for (const fs::path Root : {fs::path("/usr/share/doc/postgresql-doc-15/html"), fs::path("/usr/share/doc/python3-doc/html"),
                                fs::path(ZV_BENCH_DATA "/corpus")}) {
        if (Root.filename() == "corpus" && !Sources.empty())
            break;
        std::vector<fs::path> Pages;
        std::error_code Error;
        for (fs::recursive_directory_iterator It(Root, fs::directory_options::follow_directory_symlink, Error), End;
             !Error && It != End; It.increment(Error))
            if (It->path().extension() == ".html")
                Pages.push_back(It->path());
        std::sort(Pages.begin(), Pages.end());
        if (!Pages.empty())
            Sources.push_back(std::move(Pages));
    }
    return Sources;
}

// The words of a page's text, as a reader sees them: runs of letters (with apostrophes
// inside) outside tags, scripts and styles; references count as breaks.
void AddWords(const std::string& Html, std::vector<std::string>& Words)
{
    auto Letter = [](char C) { return (C >= 'a' && C <= 'z') || (C >= 'A' && C <= 'Z'); };
    std::string Word;
    for (size_t I = 0; I < Html.size(); ++I) {
        const char C = Html[I];
        if (Letter(C) || (C == '\'' && !Word.empty() && I + 1 < Html.size() && Letter(Html[I + 1]))) {
            Word += C;
            continue;
        }
        if (!Word.empty())
            Words.push_back(std::move(Word));
        Word.clear();
        if (C == '<') {
            for (const char* Raw : {"script", "style"})
                if (Html.compare(I + 1, std::strlen(Raw), Raw) == 0) {
                    const size_t End = Html.find(std::string("</") + Raw, I);
                    I = End == std::string::npos ? Html.size() : End;
                }
            const size_t Close = Html.find('>', I);
            I = Close == std::string::npos ? Html.size() : Close;
        } else if (C == '&') {
            const size_t Semi = Html.find(';', I);
            if (Semi != std::string::npos && Semi - I < 12)
                I = Semi;
        }
    }
    if (!Word.empty())
        Words.push_back(std::move(Word));
}

// Up to this many words of running text in all (as many from each source), in the order they
// stand.
constexpr size_t SampleWords = 200000;

// The words of real text as the lookups' sample; as misspellings, words of 5 to 10 lower-case
// letters of it that both checkers know, with two inner letters swapped, that both take as
// wrong.
const TSample& Sample()
{
    static const TSample sample = [] {
        TSample s;
        const auto Sources = TextSources();
        for (const auto& Pages : Sources) {
            std::vector<std::string> Words;
            for (const auto& Page : Pages) {
                std::ifstream In(Page, std::ios::binary);
                AddWords(std::string(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>()), Words);
                if (Words.size() >= SampleWords / Sources.size())
                    break;
            }
            Words.resize(std::min(Words.size(), SampleWords / Sources.size()));
            s.Known.insert(s.Known.end(), Words.begin(), Words.end());
        }
        std::vector<std::string> distinct = s.Known;
        std::sort(distinct.begin(), distinct.end());
        distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
        for (size_t i = 0; i < distinct.size() && s.Misspelt.size() < 100; i += 37) {
            const std::string& word = distinct[i];
            if (word.size() < 5 || word.size() > 10 ||
                !std::all_of(word.begin(), word.end(), [](char c) { return c >= 'a' && c <= 'z'; }) ||
                !Checker().IsKnownWord(word) || !Reference().spell(word))
                continue;
            std::string wrong = word;
            std::swap(wrong[2], wrong[3]);
            if (wrong != word && !Checker().IsKnownWord(wrong) && !Reference().spell(wrong))
                s.Misspelt.emplace_back(wrong, word);
        }
        return s;
    }();
    return sample;
}

// "known": the share of the words the checker takes as right.
template <class TKnows> void MeasureLookups(benchmark::State& State, TKnows Knows)
{
    const auto& words = Sample().Known;
    size_t known = 0;
    for (auto _ : State) {
        known = 0;
        for (const auto& word : words)
            known += Knows(word);
    }
    State.SetItemsProcessed(State.iterations() * static_cast<int64_t>(words.size()));
    State.counters["words"] = static_cast<double>(words.size());
    State.counters["known"] = static_cast<double>(known) / static_cast<double>(words.size());
}

void Lookup_Zandovell(benchmark::State& State)
{
    MeasureLookups(State, [](const std::string& Word) { return Checker().IsKnownWord(Word); });
}

void Lookup_Hunspell(benchmark::State& State)
{
    MeasureLookups(State, [](const std::string& Word) { return Reference().spell(Word); });
}

// Lookups per second of ours over Hunspell's, the best of five passes each over the sample.
void Goal_Lookups_Zandovell_over_Hunspell(benchmark::State& State)
{
    const auto& words = Sample().Known;
    auto Best = [&](auto Knows) {
        double best = 1e30;
        for (int pass = 0; pass < 5; ++pass) {
            const auto start = std::chrono::steady_clock::now();
            size_t known = 0;
            for (const auto& word : words)
                known += Knows(word);
            benchmark::DoNotOptimize(known);
            best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        }
        return best;
    };
    double ratio = 0;
    for (auto _ : State)
        ratio = Best([](const std::string& Word) { return Reference().spell(Word); }) /
                Best([](const std::string& Word) { return Checker().IsKnownWord(Word); });
    State.counters["ratio"] = ratio;
    State.counters["goal_at_least"] = 1.0;
    State.SetLabel(ratio >= 1.0 ? "met" : "NOT MET");
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
BENCHMARK(Goal_Lookups_Zandovell_over_Hunspell)->Unit(benchmark::kMillisecond)->Iterations(1);

BENCHMARK_MAIN();
