// Every page of the corpus, opened in the design view and saved without an edit, renders in a
// plain web view exactly as the page itself did: the same picture, the same page height, every
// element in the same place.
#include <QDir>
#include <QImage>
#include <QSignalSpy>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineSettings>
#include <QWebEngineView>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "DesignerHost.h"

using namespace zv;
using zv::test::TDesignerHost;

namespace {

// A view of its own, of a fixed size, without the pages' scripts (which could make two
// renderings of one page differ).
class TPlainView {
public:
    TPlainView()
    {
        View.resize(1024, 1600);
        View.settings()->setAttribute(QWebEngineSettings::JavascriptEnabled, false);
        View.show();
    }

    struct TRendering {
        QImage Picture;
        int Height = -1;
        QString Layout;
    };

    TRendering Render(const std::string& FileName)
    {
        QSignalSpy Loaded(&View, &QWebEngineView::loadFinished);
        View.load(QUrl::fromLocalFile(QString::fromStdString(FileName)));
        if (!test::WaitFor([&] { return !Loaded.isEmpty(); }, 30000) || !Loaded.first().value(0).toBool())
            return {};
        // A blinking caret or a focus ring (a page's autofocus field, drawn once the view has
        // the focus) would make two pictures differ by chance.
        Eval("const zvNoCaret = document.createElement('style'); "
             "zvNoCaret.textContent = '* { caret-color: transparent !important; } "
             "*:focus, *:focus-visible { outline: none !important; }'; "
             "document.head.appendChild(zvNoCaret);");
        // Two frames drawn after the load, then a picture that no longer changes.
        Eval("window.zvFrames = 0; requestAnimationFrame(() => requestAnimationFrame(() => window.zvFrames = 2));");
        // An autofocus field may take the focus after the style above is in: it is blurred on
        // every look.
        if (!test::WaitFor([&] { return Eval("document.activeElement && document.activeElement.blur(), "
                                             "document.readyState === 'complete' && document.fonts.status === "
                                             "'loaded' && window.zvFrames === 2").toBool(); }, 30000))
            return {};
        TRendering Result;
        Result.Height = Eval("document.documentElement.scrollHeight").toInt();
        QImage Last;
        test::WaitFor([&] {
            QImage Now = View.grab().toImage();
            const bool Same = !Last.isNull() && Now == Last;
            Last = std::move(Now);
            return Same;
        }, 30000);
        Result.Picture = Last;
        // Where each element stands, and its size.
        Result.Layout = Eval("[...document.querySelectorAll('body *')].map(e => { const r = e.getBoundingClientRect(); "
                             "return [e.localName, r.left, r.top, r.width, r.height].join(' '); }).join('\\n')").toString();
        return Result;
    }

private:
    QVariant Eval(const QString& Script)
    {
        QVariant Result;
        bool Done = false;
        View.page()->runJavaScript(Script, QWebEngineScript::ApplicationWorld, [&](const QVariant& V) {
            Result = V;
            Done = true;
        });
        test::WaitFor([&] { return Done; }, 10000);
        return Result;
    }

    QWebEngineView View;
};

}  // namespace

TEST(DesignerRender, CorpusPagesSavedUneditedRenderAsBefore)
{
    TDesignerHost& H = TDesignerHost::Get();
    THtmlDesigner& D = H.Designer();
    TPlainView View;
    std::vector<std::filesystem::path> Pages;
    for (const auto& Entry : std::filesystem::directory_iterator(ZV_SOURCE_DIR "/bench/data/corpus"))
        if (Entry.path().extension() == ".html")
            Pages.push_back(Entry.path());
    std::sort(Pages.begin(), Pages.end());
    ASSERT_GE(Pages.size(), 20u);
    for (const auto& Page : Pages) {
        SCOPED_TRACE(Page.filename().string());
        // Both files in one folder, so that what they refer to resolves alike.
        const std::string Before = H.Folder() / "before.html", After = H.Folder() / "after.html";
        std::filesystem::copy_file(Page, Before, std::filesystem::copy_options::overwrite_existing);
        D.LoadFromFile(Before);
        D.SaveToFile(After);

        const TPlainView::TRendering Original = View.Render(Before), Saved = View.Render(After);
        ASSERT_FALSE(Original.Picture.isNull());
        ASSERT_FALSE(Saved.Picture.isNull());
        // The picture of the page's top, its height, and where every element of the whole page
        // stands at what size.
        EXPECT_EQ(Saved.Height, Original.Height);
        const bool Same = Saved.Picture == Original.Picture && Saved.Layout == Original.Layout;
        EXPECT_TRUE(Same);
        if (!Same || Saved.Height != Original.Height) {
            // Both pictures stay for the eye.
            const QString Stem = QDir::tempPath() + "/zv-render-" + QString::fromStdString(Page.stem().string());
            Original.Picture.save(Stem + "-before.png");
            Saved.Picture.save(Stem + "-after.png");
            std::filesystem::copy_file(After, (Stem + "-after.html").toStdString(), std::filesystem::copy_options::overwrite_existing);
            const QStringList A = Original.Layout.split('\n'), B = Saved.Layout.split('\n');
            for (qsizetype K = 0; K < std::min(A.size(), B.size()); ++K) {
                if (A[K] != B[K]) {
                    ADD_FAILURE() << "first moved: " << A[K].toStdString() << " / " << B[K].toStdString();
                    break;
                }
            }
        }
    }
}
