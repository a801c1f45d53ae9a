// Loading, saving and new documents; what is selected; the tag glyphs.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/resource.h>

#include "DesignerHost.h"
#include "HtmlFilter.h"

using namespace zv;
using zv::test::TDesignerHost;

namespace {

// The glyph each glyph-carrying element shows before and after itself.
QString Glyphs(TDesignerHost& H)
{
    return H.Eval("[...document.body.querySelectorAll('p, h1, div, br, pre')].map(e => ["
                  " getComputedStyle(e, '::before').content, getComputedStyle(e, '::before').width,"
                  " getComputedStyle(e, '::before').backgroundImage.length > 30,"
                  " getComputedStyle(e, '::after').content].join(' ')).join('|')")
        .toString();
}

}  // namespace

TEST(DesignerDocument, SelectionKindsAndSelectedTags)
{
    TDesignerHost& H = TDesignerHost::Get();
    THtmlDesigner& D = H.Designer();
    std::filesystem::create_directories(H.Folder() / "pics");
    test::WriteAll(H.Folder() / "pics/pic.gif", test::ReadAll(ZV_SOURCE_DIR "/resources/pictures/edit/FLASH.png"));
    H.LoadFile("select.html",
               "<html><body><p id=\"p\">some text here</p><h2 id=\"h\">heading</h2>"
               "<p><script>var x;</script> <img src=\"pics/pic.gif\"> <!-- note --></p></body></html>");
    EXPECT_EQ(D.GetSelectionKind(), 0);
    EXPECT_EQ(D.GetSelectedTagName(), "");

    // a caret: the tag of the element clicked last
    ASSERT_TRUE(H.Click(H.Centre("#h")));
    EXPECT_EQ(D.GetSelectionKind(), 1);
    EXPECT_EQ(D.GetSelectedTagName(), "H2");
    H.SelectText("#p", 0, 4);
    EXPECT_EQ(D.GetSelectionKind(), 2);
    EXPECT_EQ(D.GetSelectedTagName(), "Text");

    // placeholders show the element they stand for
    ASSERT_TRUE(H.Click(H.Centre("img[src=\"edit:script.gif\"]")));
    EXPECT_EQ(D.Document().selection().type(), "Control");
    EXPECT_EQ(D.GetSelectionKind(), 1);
    EXPECT_EQ(D.GetSelectedTagName(), "SCRIPT");
    EXPECT_EQ(D.GetState().SelectedTagName, "SCRIPT");
    ASSERT_TRUE(H.Click(H.Centre("img[src^=\"file:\"]")));
    EXPECT_EQ(D.GetSelectedTagName(), "IMG");
    ASSERT_TRUE(H.Click(H.Centre("img[src=\"edit:comment.gif\"]")));
    EXPECT_EQ(D.GetSelectedTagName(), "<!-->");
    EXPECT_EQ(D.GetState().SelectionKind, 1);
}

TEST(DesignerDocument, TagGlyphsOnAndOff)
{
    TDesignerHost& H = TDesignerHost::Get();
    THtmlDesigner& D = H.Designer();
    D.SetShowTagGlyphs(false);
    ASSERT_TRUE(H.LoadBody("<p>para</p><h1>head</h1><div>block<br>line</div><pre>code</pre>"));
    const QString Off = Glyphs(H);
    const QString Markup = H.BodyHtml();
    D.SetShowTagGlyphs(true);
    const QString On = Glyphs(H);
    EXPECT_NE(On, Off);
    EXPECT_TRUE(On.startsWith("\"\" 20px true \"\"|\"\" 26px true \"\"")) << On.toStdString();
    EXPECT_TRUE(On.contains("\"\" 14px true none")) << On.toStdString();   // br: opening only
    EXPECT_EQ(H.BodyHtml(), Markup);
    EXPECT_FALSE(D.CanUndo());

    D.SetShowTagGlyphs(true);
    EXPECT_EQ(Glyphs(H), On);
    for (int K = 0; K < 2; ++K) {
        D.SetShowTagGlyphs(false);
        EXPECT_EQ(Glyphs(H), Off);
        D.SetShowTagGlyphs(true);
        EXPECT_EQ(Glyphs(H), On);
    }
    // the setting holds for the next document
    ASSERT_TRUE(H.LoadBody("<p>para</p><h1>head</h1><div>block<br>line</div><pre>code</pre>"));
    EXPECT_EQ(Glyphs(H), On);
    D.SetShowTagGlyphs(false);
    EXPECT_EQ(Glyphs(H), Off);
}

TEST(DesignerDocument, NewDocumentTitleAndLoadsThatFail)
{
    TDesignerHost& H = TDesignerHost::Get();
    THtmlDesigner& D = H.Designer();
    H.LoadFile("titled.html", "<html><head><title>Fish &amp; Chips</title></head>"
                              "<body><p>menu</p></body></html>");
    EXPECT_EQ(D.GetTitle(), u"Fish & Chips");
    EXPECT_EQ(D.FileName(), H.Folder() / "titled.html");
    EXPECT_EQ(D.BasePath(), H.Folder().Path + "/");

    int Complete = 0;
    D.OnDocumentComplete = [&](QObject* Sender) {
        EXPECT_EQ(Sender, &D);
        ++Complete;
    };
    D.NewDocument();
    ASSERT_TRUE(test::WaitFor([&] { return Complete == 1; }));
    EXPECT_TRUE(D.FileName().empty());
    EXPECT_TRUE(D.GetTitle().empty());
    EXPECT_NE(D.GetHtml().find(u"<meta name=\"Generator\" content=\"Zandovell v1.00\">"), WideString::npos);
    EXPECT_TRUE(H.Eval("document.body.isContentEditable").toBool());

    // a file that is not there, or that does not parse, changes nothing
    H.LoadFile("kept.html", "<html><head><title>Kept</title></head><body><p>kept text</p></body></html>");
    const WideString Kept = D.GetHtml();
    EXPECT_THROW(D.LoadFromFile(H.Folder() / "missing.html"), EFOpenError);
    test::WriteAll(H.Folder() / "sub/broken.html", "");
    std::filesystem::create_directories(H.Folder() / "sub");
    test::WriteAll(H.Folder() / "sub/broken.html", "<html><body><p>x</p><!-- never closed");
    EXPECT_THROW(D.LoadFromFile(H.Folder() / "sub/broken.html"), Exception);
    EXPECT_EQ(D.FileName(), H.Folder() / "kept.html");
    EXPECT_EQ(D.BasePath(), H.Folder().Path + "/");
    EXPECT_EQ(D.GetHtml(), Kept);
    EXPECT_EQ(D.GetTitle(), u"Kept");
    Complete = 0;
    ASSERT_TRUE(test::WaitForFrames(D));
    EXPECT_EQ(Complete, 0);
    D.OnDocumentComplete = nullptr;
}

TEST(DesignerDocument, FailedSavesLeaveTheOldFile)
{
    TDesignerHost& H = TDesignerHost::Get();
    THtmlDesigner& D = H.Designer();
    H.LoadFile("save.html", "<html><body><p id=\"p\">saved once</p></body></html>");
    const std::string Name = H.Folder() / "save.html";
    D.SaveToFile(Name);
    const std::string Old = test::ReadAll(Name);
    ASSERT_NE(Old.find("saved once"), std::string::npos);

    H.SelectText("#p", 0, 0);
    D.InsertHtml(u"<b>much more text than the old file had, so that a short limit bites</b>");

    // a folder that cannot be made: the old file and the document's name stay
    test::WriteAll(H.Folder() / "plain", "a file");
    EXPECT_THROW(D.SaveToFile(H.Folder() / "plain/save.html"), EFCreateError);
    EXPECT_EQ(D.FileName(), Name);

    // a write that fails half-way (the file size limit; root ignores permissions)
    struct rlimit Limit {};
    ::getrlimit(RLIMIT_FSIZE, &Limit);
    const auto OldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit Small = Limit;
    Small.rlim_cur = 64;
    ::setrlimit(RLIMIT_FSIZE, &Small);
    bool Failed = false;
    try {
        D.SaveToFile(Name);
    } catch (const EWriteError&) {
        Failed = true;
    }
    ::setrlimit(RLIMIT_FSIZE, &Limit);
    std::signal(SIGXFSZ, OldHandler);
    EXPECT_TRUE(Failed);
    EXPECT_EQ(test::ReadAll(Name), Old);
    int Files = 0;
    for (const auto& Entry : std::filesystem::directory_iterator(H.Folder().Path))
        Files += Entry.path().filename().string().rfind("save.html", 0) == 0;
    EXPECT_EQ(Files, 1);

    // the edit is still there and saves once the disk allows it
    D.SaveToFile(Name);
    EXPECT_NE(test::ReadAll(Name).find("much more text"), std::string::npos);
}

TEST(DesignerDocument, DeepAndOddDocumentsLoad)
{
    TDesignerHost& H = TDesignerHost::Get();
    THtmlDesigner& D = H.Designer();
    // nesting as deep as the engine keeps shows as it is; deeper is refused, saying why, and
    // the document shown stays
    const auto Nested = [](int Levels) {
        std::string Deep = "<html><body><p>top</p>";
        for (int K = 0; K < Levels; ++K) Deep += K % 2 ? "<span x-a=\"\">" : "<div>";
        return Deep + "bottom</body></html>";
    };
    H.LoadFile("deep.html", Nested(THtmlDesigner::MaxNesting));
    EXPECT_EQ(H.Eval("(function(){ let n = 0; for (let e = document.querySelector('div'); e;"
                     " e = e.firstElementChild) n++; return n; })()").toInt(), THtmlDesigner::MaxNesting);
    test::WriteAll(H.Folder() / "deeper.html", Nested(THtmlDesigner::MaxNesting + 1));
    try {
        D.LoadFromFile(H.Folder() / "deeper.html");
        ADD_FAILURE() << "a page nested too deep loaded";
    } catch (const EEngineError& E) {
        EXPECT_EQ(std::string(E.what()), (H.Folder() / "deeper.html") +
                  ": its elements nest more than 512 levels deep, more than the design view can show.");
    }
    // so is such a text handed over from another view, and one that does not parse
    try {
        D.SetHtml(Utf8ToUtf16(Nested(THtmlDesigner::MaxNesting + 1)));
        ADD_FAILURE() << "a text nested too deep loaded";
    } catch (const EEngineError& E) {
        EXPECT_EQ(std::string(E.what()), "The page: its elements nest more than 512 levels deep, "
                                         "more than the design view can show.");
    }
    EXPECT_THROW(D.SetHtml(u"<p>\u0436 &amp;<!-- never closed"), Exception);
    EXPECT_EQ(D.FileName(), H.Folder() / "deep.html");
    EXPECT_TRUE(H.Eval("document.body.textContent").toString().endsWith("bottom"));
    EXPECT_NE(D.GetHtml().find(u"bottom"), WideString::npos);

    // as many attributes on one element as the engine takes in time show, are edited and are
    // saved in their order; one more is refused the same way
    const auto Attributed = [](int Count) {
        std::string Page = "<html><body><p>top</p><p";
        for (int K = 0; K < Count; ++K)
            Page += " a" + std::to_string(K) + (K % 3 ? "=\"" + std::to_string(K) + "\"" : "=x&amp;y");
        return Page + ">many</p></body></html>";
    };
    H.LoadFile("many.html", Attributed(THtmlDesigner::MaxAttributes));
    EXPECT_EQ(H.Eval("document.querySelectorAll('p')[1].attributes.length").toInt(), THtmlDesigner::MaxAttributes);
    H.Click(H.Centre("p:last-child"));
    H.Type("!");
    D.SaveToFile(H.Folder() / "many-saved.html");
    const std::string Saved = test::ReadAll(H.Folder() / "many-saved.html");
    const size_t First = Saved.find(" a0=\"x&amp;y\""), Last = Saved.find(" a9998=\"9998\"");
    EXPECT_TRUE(First != std::string::npos && Last != std::string::npos && First < Last) << Saved.substr(0, 300);
    EXPECT_NE(Saved.find("!"), std::string::npos);
    test::WriteAll(H.Folder() / "more.html", Attributed(THtmlDesigner::MaxAttributes + 1));
    try {
        D.LoadFromFile(H.Folder() / "more.html");
        ADD_FAILURE() << "a page with too many attributes on an element loaded";
    } catch (const EEngineError& E) {
        EXPECT_EQ(std::string(E.what()), (H.Folder() / "more.html") + ": an element of it has more "
                  "than 10000 attributes, more than the design view can show.");
    }
    EXPECT_EQ(D.FileName(), H.Folder() / "many-saved.html");
    EXPECT_EQ(H.Eval("document.querySelectorAll('p')[1].attributes.length").toInt(), THtmlDesigner::MaxAttributes);

    // quotes, backslashes and characters beyond the basic plane travel intact
    D.SetHtml(u"<html><body><p title=\"a\\b &quot;q&quot;\">tab here \U0001F600 \"quoted\" \\ end</p></body></html>");
    EXPECT_EQ(H.Eval("document.querySelector('p').title").toString(), "a\\b \"q\"");
    EXPECT_EQ(H.Eval("document.querySelector('p').textContent").toString(),
              QString::fromUtf16(u"tab here \U0001F600 \"quoted\" \\ end"));
    EXPECT_NE(D.GetHtml().find(u"title=\"a\\b &quot;q&quot;\""), WideString::npos);
    // so do characters beyond Latin-1, in values and in texts with references
    D.SetHtml(u"<html><body><p title=\"Привет — 漢字 \U0001F600\">Ελληνικά &mdash; — 漢字 &#x1F600;</p></body></html>");
    EXPECT_EQ(H.Eval("document.querySelector('p').title").toString(),
              QString::fromUtf16(u"Привет — 漢字 \U0001F600"));
    EXPECT_EQ(H.Eval("document.querySelector('p').textContent").toString(),
              QString::fromUtf16(u"Ελληνικά — — 漢字 \U0001F600"));
    EXPECT_NE(D.GetHtml().find(u"<p title=\"Привет — 漢字 \U0001F600\">"), WideString::npos);

    // a body read back whole comes in pieces of 2^20 units: a character of two units stays
    // whole at their ends, whichever of its units a piece would end on (the runs of them around
    // the first two ends start an odd number of units apart)
    const auto Filler = [](size_t Units) {
        std::string Text;
        while (Text.size() < Units) Text += "x ";
        return Text;
    };
    std::string Faces;
    for (int K = 0; K < 2000; ++K) Faces += "\U0001F600";
    H.LoadFile("pieces.html", "<html><body><p>" + Filler((1 << 20) - 2010) + "</p><p>" + Faces +
                              "</p><p>" + Filler((1 << 20) - 4016) + "</p><p>y" + Faces +
                              "</p><p id=\"end\">end</p></body></html>");
    H.Click(H.Centre("#end"));
    test::PageKey(D, Qt::Key_End);
    test::PageKey(D, Qt::Key_Return);
    H.Type("z");
    D.SaveToFile(H.Folder() / "pieces.html");
    const WideString Read = D.GetHtml();
    size_t Count = 0;
    for (size_t At = Read.find(u"&#x1F600;"); At != WideString::npos; At = Read.find(u"&#x1F600;", At + 1)) ++Count;
    EXPECT_EQ(Count, 4000u);
    EXPECT_EQ(Read.find(u"&#xFFFD;"), WideString::npos);
    EXPECT_NE(Read.find(u">z</p>"), WideString::npos);
}
