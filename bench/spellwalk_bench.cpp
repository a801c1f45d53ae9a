// The spell-check walk over a page of 2,000 words in 100 paragraphs, against the real engine,
// offscreen: every word known, and one word in fifty corrected. The counter "per_word" is the
// wall time of one word.
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <benchmark/benchmark.h>

#include "HtmlDesigner.h"
#include "../tests/support/EngineMain.h"

namespace {

zv::THtmlDesigner* Designer = nullptr;
constexpr int Paragraphs = 100;
constexpr int WordsPerParagraph = 20;

std::string Page()
{
    static const char* const Vocabulary[] = {"editor", "page", "table", "cell", "word", "check",
                                             "spelling", "template", "folder", "design"};
    std::string Body;
    for (int P = 0; P < Paragraphs; ++P) {
        Body += "<p>";
        for (int W = 0; W < WordsPerParagraph; ++W)
            Body += std::string(W ? " " : "") + (W == 7 ? "<b>" : "") + Vocabulary[(P + W) % 10] +
                    (W == 7 ? "</b>" : "");
        Body += ".</p>";
    }
    return "<html><head><title>Words</title></head><body>" + Body + "</body></html>";
}

// Closes the closing message of the walk as soon as it shows.
void AnswerMessages()
{
    auto* Timer = new QTimer(qApp);
    QObject::connect(Timer, &QTimer::timeout, [] {
        if (auto* Box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) Box->accept();
    });
    Timer->start(1);
}

void Walk(benchmark::State& State, bool Correcting)
{
    zv::THtmlDesigner& D = *Designer;
    int Words = 0;
    int Seen = 0;
    D.OnSpellCheck = [&](QObject*, const zv::WideString&, bool& Need) { Need = Correcting && ++Seen % 50 == 0; };
    D.OnSpellSuggest = [](QObject*, const QRect&, zv::WideString& Word, bool& Corrected, bool&) {
        Word += u"s";
        Corrected = true;
    };
    for (auto _ : State) {
        State.PauseTiming();
        D.SetHtml(zv::Utf8ToUtf16(Page()));
        State.ResumeTiming();
        Words = D.SpellCheck().Words;
    }
    State.counters["words"] = Words;
    State.counters["per_word"] =
        benchmark::Counter(Words * static_cast<double>(State.iterations()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void WalkKnownWords(benchmark::State& State) { Walk(State, false); }
BENCHMARK(WalkKnownWords)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void WalkCorrectingEveryFiftiethWord(benchmark::State& State) { Walk(State, true); }
BENCHMARK(WalkCorrectingEveryFiftiethWord)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace

int main(int argc, char** argv)
{
    zv::test::PrepareEngineProcess();
    QApplication App(argc, argv);
    {
        zv::THtmlDesigner View;
        View.resize(800, 600);
        View.show();
        Designer = &View;
        AnswerMessages();
        benchmark::Initialize(&argc, argv);
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
        Designer = nullptr;
    }
    return 0;
}
