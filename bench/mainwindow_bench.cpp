// The main window against the real engine, offscreen, each figure as a ratio to what it is
// built on, measured in one run (medians of several rounds):
//   start-up to the first empty document complete / a bare QWebEngineView showing an empty page
//   entering the Tag Tree view on a 1 MB page / the parse of its text
//   entering the HTML Code view on that page / the design view's GetHtml alone
// both as opened and after an edit (when the design view's body must be read back)
//   UpdateControls after a key press (one round trip to the page), in microseconds
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QKeyEvent>
#include <QTimer>
#include <QWebEngineView>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "HtmlParser.h"
#include "IniUtils.h"
#include "UnitMain.h"
#include "../tests/support/EngineMain.h"
#include "LargePage.h"

namespace {

void RunUntil(const std::function<bool()>& Done)
{
    QElapsedTimer Clock;
    Clock.start();
    while (!Done() && Clock.elapsed() < 60000) {
        QEventLoop Loop;
        QTimer::singleShot(0, &Loop, &QEventLoop::quit);
        Loop.exec();
    }
}

double Median(std::vector<double> Values)
{
    std::sort(Values.begin(), Values.end());
    return Values[Values.size() / 2];
}

double Millis(const std::function<void()>& Work)
{
    QElapsedTimer Clock;
    Clock.start();
    Work();
    return double(Clock.nsecsElapsed()) / 1e6;
}

}  // namespace

int main(int argc, char** argv)
{
    zv::test::PrepareEngineProcess();
    QTemporaryDir Folder;
    qputenv("XDG_CONFIG_HOME", Folder.path().toUtf8());
    zv::InitializeIniUtils();
    QApplication App(argc, argv);
    const int Rounds = 9;

    // the engine itself starts once per process: a first view pays for it
    {
        QWebEngineView Warm;
        bool Done = false;
        QObject::connect(&Warm, &QWebEngineView::loadFinished, [&] { Done = true; });
        Warm.show();
        Warm.setHtml(QString());
        RunUntil([&] { return Done; });
    }

    // each from the start until the document is complete; closing the window is not counted
    std::vector<double> Bare, Start, Alone;
    for (int K = 0; K < Rounds; ++K) {
        {
            QElapsedTimer Clock;
            Clock.start();
            QWebEngineView View;
            bool Done = false;
            QObject::connect(&View, &QWebEngineView::loadFinished, [&] { Done = true; });
            View.resize(780, 560);
            View.show();
            View.setHtml(QString());
            RunUntil([&] { return Done; });
            Bare.push_back(double(Clock.nsecsElapsed()) / 1e6);
        }
        // the design view by itself, for where the time goes
        {
            QElapsedTimer Clock;
            Clock.start();
            zv::THtmlDesigner View;
            bool Done = false;
            QObject::connect(&View, &zv::TWebBrowser::DocumentComplete, [&] { Done = true; });
            View.resize(780, 560);
            View.show();
            View.NewDocument();
            RunUntil([&] { return Done; });
            Alone.push_back(double(Clock.nsecsElapsed()) / 1e6);
        }
        {
            QElapsedTimer Clock;
            Clock.start();
            zv::TFormMain Window;
            bool Done = false;
            QObject::connect(Window.Designer, &zv::TWebBrowser::DocumentComplete, [&] { Done = true; });
            Window.show();
            RunUntil([&] { return Done; });
            Start.push_back(double(Clock.nsecsElapsed()) / 1e6);
            Window.FileManager->SetModified(false);
        }
    }

    const QByteArray Page = zv::bench::LargePage();
    const QString PageFile = Folder.path() + "/large.html";
    QFile Out(PageFile);
    if (Page.isEmpty() || !Out.open(QIODevice::WriteOnly) || Out.write(Page) != Page.size()) return 1;
    Out.close();

    zv::TFormMain Window;
    Window.show();
    Window.FileManager->OpenFile(PageFile.toStdString());
    RunUntil([&] { return Window.Designer->HasDocument(); });
    // each view entered on the page as opened (nothing to read back) and after an edit
    std::vector<double> Parse, GetHtml, Tree, Code, EditedGetHtml, EditedTree, EditedCode;
    int Edits = 0;
    const auto Edit = [&] {
        Window.Designer->Document().body().setAttribute("title", zv::Utf8ToUtf16(std::to_string(++Edits)));
    };
    for (int K = 0; K < Rounds; ++K) {
        zv::WideString Text;
        GetHtml.push_back(Millis([&] { Text = Window.Designer->GetHtml(); }));
        Parse.push_back(Millis([&] { zv::ParseHtml(Text); }));
        Tree.push_back(Millis([&] { Window.SelectView(zv::TreeTab); }));
        Window.SelectView(zv::DesignerTab);
        Code.push_back(Millis([&] { Window.SelectView(zv::CodeTab); }));
        Window.SelectView(zv::DesignerTab);
        Edit();
        EditedGetHtml.push_back(Millis([&] { Window.Designer->GetHtml(); }));
        Edit();
        EditedTree.push_back(Millis([&] { Window.SelectView(zv::TreeTab); }));
        Window.SelectView(zv::DesignerTab);
        Edit();
        EditedCode.push_back(Millis([&] { Window.SelectView(zv::CodeTab); }));
        Window.SelectView(zv::DesignerTab);
    }

    // a key typed into the page, then the controls brought in line
    Window.Designer->focusProxy()->setFocus();
    for (QEvent::Type Type : {QEvent::KeyPress, QEvent::KeyRelease}) {
        QKeyEvent Key(Type, Qt::Key_Right, Qt::NoModifier);
        QApplication::sendEvent(Window.Designer->focusProxy(), &Key);
    }
    RunUntil([] { return true; });
    std::vector<double> Update;
    for (int K = 0; K < 50; ++K) Update.push_back(Millis([&] { Window.UpdateControls(); }) * 1000);

    std::printf("start-up to empty document: %.1f ms, bare view %.1f ms, ratio %.2f "
                "(the design view alone %.1f ms)\n",
                Median(Start), Median(Bare), Median(Start) / Median(Bare), Median(Alone));
    const double Kb = Page.size() / 1000.0;
    std::printf("Tag Tree on %.0f kB: %.1f ms, parse %.1f ms, ratio %.2f; after an edit %.1f ms "
                "(GetHtml %.1f ms)\n",
                Kb, Median(Tree), Median(Parse), Median(Tree) / Median(Parse), Median(EditedTree),
                Median(EditedGetHtml));
    std::printf("HTML Code on %.0f kB: %.1f ms, GetHtml %.1f ms, ratio %.2f; after an edit %.1f ms, "
                "GetHtml %.1f ms, ratio %.2f\n",
                Kb, Median(Code), Median(GetHtml), Median(Code) / Median(GetHtml), Median(EditedCode),
                Median(EditedGetHtml), Median(EditedCode) / Median(EditedGetHtml));
    std::printf("UpdateControls after a key: %.0f us\n", Median(Update));
    Window.FileManager->SetModified(false);
    return 0;
}
