// Big pages opened in the main window against the real engine, offscreen: generated pages of
// 5, 20 and 50 MB and a page with a 200,000-cell table. For each, the time from the open until
// the page is laid out, and the longest time the event loop was blocked (the worst lateness of
// a 10 ms timer) while opening and in the 3 s after it. Pages to run can be named on the
// command line ("5", "20", "50", "table"); all run without. Each page opened is then edited
// (an attribute of the body, then text typed halfway down) and saved, against the design
// filter's save of the same page alone.
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
    const std::vector<TPage> Pages = {
        {"5", [] { return zv::bench::LargePageText(5'000'000); }},
        {"20", [] { return zv::bench::LargePageText(20'000'000); }},
        {"50", [] { return zv::bench::LargePageText(50'000'000); }},
        {"table", [] { return zv::bench::TablePageText(20'000, 10); }},
    };
    std::vector<std::string> Chosen(argv + 1, argv + argc);

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
            Window.Designer->SaveToFile((Name + ".saved.html").toStdString());
            const qint64 Saved = Clock.elapsed();
            Clock.start();
            zv::SaveFileAtomically((Name + ".filter.html").toStdString(),
                                   [&](zv::TStream& File) { Window.Designer->Filter->SaveToStream(File); });
            const qint64 Filtered = Clock.elapsed();
            std::printf("       edited and saved %.2f s, the filter's save alone %.2f s, ratio %.2f\n",
                        Saved / 1000.0, Filtered / 1000.0, Filtered ? double(Saved) / Filtered : 0.0);
            // text typed into an element halfway down the page
            bool Typed = false;
            Window.Designer->page()->runJavaScript(
                QStringLiteral("(function () { const all = document.body.getElementsByTagName('*');"
                               " const el = all[all.length >> 1]; el.insertBefore(document.createTextNode('typed'), el.firstChild);"
                               " return document.body.offsetHeight; })()"),
                QWebEngineScript::ApplicationWorld, [&](const QVariant&) { Typed = true; });
            RunFor(10000, [&] { return Typed; });
            // the engine paints the change before the user saves
            RunFor(3000);
            Clock.start();
            Window.Designer->SaveToFile((Name + ".typed.html").toStdString());
            const qint64 TypedSave = Clock.elapsed();
            std::printf("       typed and saved %.3f s, ratio %.2f\n", TypedSave / 1000.0,
                        Filtered ? double(TypedSave) / Filtered : 0.0);
        }
        std::fflush(stdout);
    }
    Window.FileManager->SetModified(false);
    return 0;
}
