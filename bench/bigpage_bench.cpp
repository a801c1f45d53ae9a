// Big pages opened in the main window against the real engine, offscreen: generated pages of
// 5, 20 and 50 MB, a page with a 200,000-cell table and a page whose one paragraph has
// 1,000,000 attributes. For each, the time from the open until the page is laid out, and the
// longest time the event loop was blocked (the worst lateness of a 10 ms timer) while opening
// and in the 3 s after it. Pages to run can be named on the command line ("5", "20", "50",
// "table", "attrs"; "attrsN" for a paragraph of N attributes); all but "attrsN" run without.
// Each page opened is then edited (an attribute of the body, text typed halfway down, a
// paragraph added to the body) and saved, with the longest block of the event loop while
// saving, against the design filter's save of the same page alone.
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "FileManagers.h"
#include "HtmlFilter.h"
#include "Streams.h"
#include "IniUtils.h"
#include "UnitMain.h"
#include "../tests/support/EngineMain.h"
#include "LargePage.h"

namespace {

// The worst lateness of a 10 ms timer since the last Reset.
class TLatenessProbe {
public:
    TLatenessProbe()
    {
        Timer.setInterval(10);
        QObject::connect(&Timer, &QTimer::timeout, [this] { Tick(); });
        Reset();
        Timer.start();
    }
    void Reset()
    {
        Worst = 0;
        Clock.start();
    }
    // a tick that comes late by the time the loop was blocked
    void Tick()
    {
        Worst = std::max(Worst, Clock.elapsed() - 10);
        Clock.start();
    }
    qint64 WorstMs()
    {
        Tick();
        return Worst;
    }

private:
    QTimer Timer;
    QElapsedTimer Clock;
    qint64 Worst = 0;
};

void RunFor(int Ms, const std::function<bool()>& Done = [] { return false; })
{
    QElapsedTimer Clock;
    Clock.start();
    while (!Done() && Clock.elapsed() < Ms) {
        QEventLoop Loop;
        QTimer::singleShot(5, &Loop, &QEventLoop::quit);
        Loop.exec();
    }
}

// Collects the errors the window would show instead of showing them.
struct TQuietUi : zv::IMainWindowUi {
    std::vector<std::string> Errors;
    bool ExecuteOpenDialog(const std::string&, std::string&) override { return false; }
    bool ExecuteSaveDialog(const std::string&, std::string&) override { return false; }
    zv::TSaveAnswer AskSave(const std::string&) override { return zv::TSaveAnswer::No; }
    zv::TSaveAnswer AskInformation(const std::string&) override { return zv::TSaveAnswer::No; }
    void ShowError(const std::string& Text) override { Errors.push_back(Text); }
};

}  // namespace

int main(int argc, char** argv)
{
    zv::test::PrepareEngineProcess();
    QTemporaryDir Folder;
    qputenv("XDG_CONFIG_HOME", Folder.path().toUtf8());
    zv::InitializeIniUtils();
    QApplication App(argc, argv);

    struct TPage {
        const char* Name;
        std::function<std::string()> Make;
    };
    std::vector<TPage> Pages = {
        {"5", [] { return zv::bench::LargePageText(5'000'000); }},
        {"20", [] { return zv::bench::LargePageText(20'000'000); }},
        {"50", [] { return zv::bench::LargePageText(50'000'000); }},
        {"table", [] { return zv::bench::TablePageText(20'000, 10); }},
        {"attrs", [] { return zv::bench::AttributePageText(1'000'000); }},
    };
    std::vector<std::string> Chosen(argv + 1, argv + argc);
    for (const std::string& Name : Chosen)
        if (Name.size() > 5 && Name.rfind("attrs", 0) == 0) {
            const int Count = std::atoi(Name.c_str() + 5);
            Pages.push_back({Name.c_str(), [Count] { return zv::bench::AttributePageText(Count); }});
        }

    TQuietUi Ui;
    zv::TFormMain Window;
    Window.SetUi(&Ui);
    Window.resize(1000, 700);
    Window.show();
    RunFor(30000, [&] { return Window.Designer->HasDocument(); });
    TLatenessProbe Probe;

    for (const TPage& P : Pages) {
        if (!Chosen.empty() && std::find(Chosen.begin(), Chosen.end(), P.Name) == Chosen.end())
            continue;
        const std::string Text = P.Make();
        const QByteArray Page(Text.data(), static_cast<qsizetype>(Text.size()));
        const QString Name = Folder.path() + "/" + P.Name + ".html";
        QFile Out(Name);
        if (Page.isEmpty() || !Out.open(QIODevice::WriteOnly) || Out.write(Page) != Page.size())
            return 1;
        Out.close();
        Ui.Errors.clear();
        RunFor(200);

        QElapsedTimer Clock;
        Clock.start();
        Probe.Reset();
        Window.FileManager->OpenFile(Name.toStdString());
        const qint64 Opened = Clock.elapsed();
        // laid out: the page answers a question that needs its layout
        bool LaidOut = false;
        Window.Designer->page()->runJavaScript(
            QStringLiteral("document.body ? document.body.offsetHeight : 0"),
            QWebEngineScript::ApplicationWorld, [&](const QVariant&) { LaidOut = true; });
        RunFor(120000, [&] { return LaidOut; });
        const qint64 Shown = Clock.elapsed();
        const qint64 WhileOpening = Probe.WorstMs();
        Probe.Reset();
        RunFor(3000);
        const qint64 After = Probe.WorstMs();

        const bool Ok = Ui.Errors.empty() && Window.FileManager->FileName() == Name.toStdString();
        std::printf("%-6s %6.1f MB: %s; open returned %.1f s, laid out %.1f s; event loop blocked "
                    "at most %lld ms while opening, %lld ms in the 3 s after\n",
                    P.Name, Page.size() / 1e6, Ok ? "opened" : "FAILED", Opened / 1000.0,
                    Shown / 1000.0, static_cast<long long>(WhileOpening),
                    static_cast<long long>(After));
        for (const std::string& E : Ui.Errors) std::printf("       error: %s\n", E.c_str());
        // an edited page saved from the window, against the design filter's save of it alone
        if (Ok) {
            Window.Designer->Document().body().setAttribute("title", u"edited");
            Clock.start();
            Probe.Reset();
            Window.Designer->SaveToFile((Name + ".saved.html").toStdString());
            const qint64 Saved = Clock.elapsed();
            const qint64 SaveBlocked = Probe.WorstMs();
            Clock.start();
            zv::SaveFileAtomically((Name + ".filter.html").toStdString(),
                                   [&](zv::TStream& File) { Window.Designer->Filter->SaveToStream(File); });
            const qint64 Filtered = Clock.elapsed();
            std::printf("       edited and saved %.2f s (event loop blocked at most %lld ms), the filter's "
                        "save alone %.2f s, ratio %.2f\n",
                        Saved / 1000.0, static_cast<long long>(SaveBlocked), Filtered / 1000.0,
                        Filtered ? double(Saved) / Filtered : 0.0);
            // then a change made in the page (text typed into an element halfway down, which
            // is read back alone; a paragraph added to the body, which is read back whole),
            // painted before the user saves
            const auto ChangeAndSave = [&](const char* What, const QString& Change, const char* Suffix) {
                bool Changed = false;
                Window.Designer->page()->runJavaScript(
                    QStringLiteral("(function () { %1; return document.body.offsetHeight; })()").arg(Change),
                    QWebEngineScript::ApplicationWorld, [&](const QVariant&) { Changed = true; });
                RunFor(10000, [&] { return Changed; });
                RunFor(3000);
                Clock.start();
                Probe.Reset();
                Window.Designer->SaveToFile((Name + Suffix).toStdString());
                const qint64 Took = Clock.elapsed();
                const qint64 Blocked = Probe.WorstMs();
                std::printf("       %s and saved %.3f s (event loop blocked at most %lld ms), ratio %.2f\n",
                            What, Took / 1000.0, static_cast<long long>(Blocked),
                            Filtered ? double(Took) / Filtered : 0.0);
            };
            ChangeAndSave("typed", QStringLiteral(
                "const all = document.body.getElementsByTagName('*'); const el = all[all.length >> 1];"
                " el.insertBefore(document.createTextNode('typed'), el.firstChild)"), ".typed.html");
            ChangeAndSave("added a paragraph", QStringLiteral(
                "const p = document.createElement('p'); p.textContent = 'added'; document.body.append(p)"),
                ".added.html");
        }
        std::fflush(stdout);
    }
    Window.FileManager->SetModified(false);
    return 0;
}
