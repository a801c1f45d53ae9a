// The spell-check walk over a real page (corrections in place, placeholders skipped, one undo
// group per correction, cancel, an end), and applying a template to the selection.
#include <QMessageBox>
#include <QUrl>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <set>

#include "DesignerHost.h"
#include "HtmlFilter.h"

using namespace zv;
using zv::test::TDesignerHost;
using zv::test::WhenModal;

namespace {

// A dictionary of a few words, and the corrections a user would type.
struct TSpeller {
    std::set<std::u16string> Known{u"This", u"is", u"sample", u"page", u"Another", u"paragraph",
                                   u"with", u"the", u"end"};
    std::map<std::u16string, std::u16string> Fixes{
        {u"Thiss", u"This"}, {u"smple", u"sample"}, {u"Anothr", u"Another"}, {u"paragraf", u"paragraph"}};
    std::vector<std::u16string> Checked, Suggested;
    std::vector<QRect> Rects;
    int CancelAt = -1;  // the number of the suggestion that cancels

    void Attach(THtmlDesigner& D)
    {
        D.OnSpellCheck = [this](QObject*, const WideString& Word, bool& Need) {
            Checked.push_back(Word);
            Need = !Known.contains(Word);
        };
        D.OnSpellSuggest = [this](QObject*, const QRect& Rc, WideString& Word, bool& Corrected,
                                  bool& Canceled) {
            Suggested.push_back(Word);
            Rects.push_back(Rc);
            if (static_cast<int>(Suggested.size()) == CancelAt) {
                Canceled = true;
                return;
            }
            if (const auto Fix = Fixes.find(Word); Fix != Fixes.end()) {
                Word = Fix->second;
                Corrected = true;
            }
        };
    }
};

// Runs the check, answering its closing message; the message's text goes to Message.
TSpellCheckCounts Check(THtmlDesigner& D, QString& Message)
{
    Message.clear();
    WhenModal([&](QWidget* W) {
        if (auto* Box = qobject_cast<QMessageBox*>(W)) Message = Box->text();
    });
    return D.SpellCheck();
}

// The text with every run of blanks made one space.
std::string Collapsed(const WideString& Text)
{
    return QString::fromStdU16String(Text).simplified().toStdString();
}

void SelectContents(TDesignerHost& H, const QString& Selector)
{
    H.Eval("(function(){ const r = document.createRange();"
           " r.selectNodeContents(document.querySelector('" + Selector + "'));"
           " const s = getSelection(); s.removeAllRanges(); s.addRange(r); })()");
}

}  // namespace

TEST(SpellCheck, WalksThePageCorrectingWordsInPlace)
{
    TDesignerHost& H = TDesignerHost::Get();
    THtmlDesigner& D = H.Designer();
    ASSERT_TRUE(H.LoadBody("<p id=\"a\">Thiss is a smple page.</p>"
                           "<!-- mispelt wrods in a coment --><script>var wrng = 1;</script>"
                           "<p id=\"b\">Anothr <b>paragraf</b> with a I x, zork the end</p>"));
    const QString Original = H.BodyHtml();
    TSpeller S;
    QString Message;

    // without both handlers nothing happens
    D.OnSpellCheck = {};
    D.OnSpellSuggest = {};
    EXPECT_EQ(D.SpellCheck(), TSpellCheckCounts{});

    S.Attach(D);
    const TSpellCheckCounts Counts = Check(D, Message);
    // every word is counted; one-letter words and the placeholders' text are never checked
    const std::vector<std::u16string> Words{u"Thiss", u"is",   u"smple", u"page", u"Anothr",
                                            u"paragraf", u"with", u"zork", u"the", u"end"};
    EXPECT_EQ(S.Checked, Words);
    EXPECT_EQ(S.Suggested, (std::vector<std::u16string>{u"Thiss", u"smple", u"Anothr", u"paragraf", u"zork"}));
    EXPECT_EQ(Counts, (TSpellCheckCounts{14, 5, 4}));
    EXPECT_EQ(Message, "Spell checking completed.\n14 words found.\n5 mispelled words found.\n"
                       "4 words corrected.");
    EXPECT_EQ(H.Eval("document.getElementById('a').textContent").toString(), "This is a sample page.");
    EXPECT_EQ(H.Eval("document.getElementById('b').innerHTML").toString(),
              "Another <b>paragraph</b> with a I x, zork the end");
    // the suggestion prompt learns where the word is in the view
    const QRect First = S.Rects.front();
    EXPECT_GT(First.width(), 10);
    EXPECT_GT(First.height(), 5);
    EXPECT_TRUE(QRect(0, 0, D.width(), D.height()).contains(First));
    // the document read back has the corrections and its placeholders' content as it was
    const std::string Source = Utf16ToUtf8(D.GetHtml());
    EXPECT_NE(Source.find("This is a sample page."), std::string::npos);
    EXPECT_NE(Source.find("<!-- mispelt wrods in a coment -->"), std::string::npos);
    EXPECT_NE(Source.find("var wrng = 1;"), std::string::npos);

    // one undo group per correction, undone one at a time
    ASSERT_TRUE(D.CanUndo());
    EXPECT_EQ(D.UndoList().size(), 4u);
    D.Undo();
    EXPECT_EQ(H.Eval("document.getElementById('b').innerHTML").toString(),
              "Another <b>paragraf</b> with a I x, zork the end");
    EXPECT_EQ(H.Eval("document.getElementById('a').textContent").toString(), "This is a sample page.");
    while (D.CanUndo()) D.Undo();
    EXPECT_EQ(H.BodyHtml(), Original);

    // a cancel at the second misspelled word ends the walk with the counts so far
    S = TSpeller();
    S.CancelAt = 2;
    S.Attach(D);
    EXPECT_EQ(Check(D, Message), (TSpellCheckCounts{4, 2, 1}));
    EXPECT_EQ(Message, "Spell checking completed.\n4 words found.\n2 mispelled words found.\n"
                       "1 words corrected.");
    EXPECT_EQ(H.Eval("document.getElementById('a').textContent").toString(), "This is a smple page.");
}

TEST(SpellCheck, EndsWhateverTheCorrections)
{
    TDesignerHost& H = TDesignerHost::Get();
    THtmlDesigner& D = H.Designer();
    QString Message;

    // a correction that brings the wrong word back is not checked again; the last word of
    // the page, corrected, ends the walk
    ASSERT_TRUE(H.LoadBody("<p>teh cat teh</p><p>b c d</p><p>zz</p>"));
    TSpeller S;
    S.Known = {u"the", u"cat"};
    S.Fixes = {{u"teh", u"the teh"}, {u"zz", u"zz zz"}};
    S.Attach(D);
    EXPECT_EQ(Check(D, Message), (TSpellCheckCounts{7, 3, 3}));
    EXPECT_EQ(S.Suggested, (std::vector<std::u16string>{u"teh", u"teh", u"zz"}));
    EXPECT_EQ(H.Eval("document.body.textContent").toString(), "the teh cat the tehb c dzz zz");

    // one-letter words only: all counted, none checked
    ASSERT_TRUE(H.LoadBody("<p>a b c</p>"));
    S = TSpeller();
    S.Attach(D);
    EXPECT_EQ(Check(D, Message), (TSpellCheckCounts{3, 0, 0}));
    EXPECT_TRUE(S.Checked.empty());

    // a body without words (or without anything) has none to check, and says so
    for (const char* Body : {"<p>... -- !</p>", ""}) {
        ASSERT_TRUE(H.LoadBody(Body));
        S = TSpeller();
        S.Attach(D);
        EXPECT_EQ(Check(D, Message), TSpellCheckCounts{}) << Body;
        EXPECT_TRUE(S.Checked.empty());
        EXPECT_TRUE(Message.startsWith("Spell checking completed.\n0 words found.")) << Body;
    }
}

TEST(ApplyTemplate, WrapsTheSelectionAndWritesTheFilesIntoTheDocumentsFolder)
{
    namespace fs = std::filesystem;
    TDesignerHost& H = TDesignerHost::Get();
    THtmlDesigner& D = H.Designer();
    const std::string Doc = H.Folder() / "page.htm";
    H.LoadFile("page.htm", "<html><head><title>Old</title></head><body bgcolor=\"#ffffff\">"
                           "<table id=\"t\"><tr><td id=\"c1\">cell one</td><td>cell two</td></tr></table>"
                           "<p id=\"p\">Hello <b>bold</b> &amp; <!-- note --> world</p></body></html>");
    struct TCall {
        std::string File, Folder, Protected;
    };
    std::vector<TCall> Calls;
    bool Damaged = false;
    D.OnLoadTemplate = [&](const std::string& File, const std::string& Folder,
                           const std::string& Protected) -> std::string {
        Calls.push_back({File, Folder, Protected});
        if (Damaged) throw Exception("Invalid Zandovell Template file: \"" + File + "\"");
        fs::create_directories(fs::path(Folder) / "images");
        test::WriteAll((fs::path(Folder) / "tpl.css").string(), "p { color: red }");
        test::WriteAll((fs::path(Folder) / "images" / "t.gif").string(), "GIF89a");
        return "<html><head><title>Tpl \xce\xa9</title><link rel=\"stylesheet\" href=\"tpl.css\">"
               "</head><body><div class=\"frame\">{CONTENT}</div><p>again: {CONTENT}</p>"
               "<img src=\"images/t.gif\"></body></html>";
    };

    // an element selected as a whole: nothing written, nothing changed
    const QString Before = H.BodyHtml();
    ASSERT_TRUE(H.Click(H.Centre("img")));
    ASSERT_TRUE(test::WaitFor([&] { return D.GetSelectionKind() == 1; }));
    ASSERT_EQ(D.Document().selection().type(), "Control");
    EXPECT_THROW(D.ApplyTemplate("/templates/one.tpl"), Exception);
    EXPECT_TRUE(Calls.empty());
    EXPECT_FALSE(fs::exists(H.Folder() / "tpl.css"));

    // a damaged template: the page and its document stay as they were
    SelectContents(H, "#p");
    Damaged = true;
    EXPECT_THROW(D.ApplyTemplate("/templates/bad.tpl"), Exception);
    EXPECT_EQ(H.BodyHtml(), Before);
    const std::string Unchanged = Utf16ToUtf8(D.GetHtml());
    EXPECT_NE(Unchanged.find("<title>Old</title>"), std::string::npos);
    EXPECT_NE(Unchanged.find("cell one"), std::string::npos);

    // the paragraph's content (its comment placeholder back in source) goes in place of each mark
    Damaged = false;
    Calls.clear();
    SelectContents(H, "#p");
    D.ApplyTemplate("/templates/one.tpl");
    ASSERT_EQ(Calls.size(), 1u);
    EXPECT_EQ(Calls[0].File, "/templates/one.tpl");
    EXPECT_EQ(fs::path(Calls[0].Folder).lexically_normal(), fs::path(H.Folder().Path + "/").lexically_normal());
    EXPECT_EQ(Calls[0].Protected, Doc);
    EXPECT_TRUE(fs::exists(H.Folder() / "tpl.css"));
    EXPECT_TRUE(fs::exists(H.Folder() / "images/t.gif"));
    const std::string Source = Collapsed(D.GetHtml());
    EXPECT_NE(Source.find("Tpl &Omega;"), std::string::npos) << Source;
    EXPECT_EQ(Source.find("Old"), std::string::npos);
    EXPECT_EQ(Source.find("cell one"), std::string::npos);
    // the blank before the comment is the one the text shows; none comes after it
    EXPECT_NE(Source.find("<div class=\"frame\"> Hello <b>bold</b> &amp; <!-- note -->world </div>"),
              std::string::npos)
        << Source;
    EXPECT_NE(Source.find("again: Hello <b>bold</b> &amp; <!-- note -->world"), std::string::npos);
    // one undo group brings the page back, redo the template's page again
    ASSERT_TRUE(D.CanUndo());
    D.Undo();
    EXPECT_NE(Collapsed(D.GetHtml()).find("Old"), std::string::npos);
    EXPECT_FALSE(D.CanUndo());
    D.Redo();
    EXPECT_EQ(Collapsed(D.GetHtml()), Source);
    EXPECT_EQ(D.FileName(), Doc);
    // the template's picture shows from the document's folder
    EXPECT_EQ(H.Eval("document.images[document.images.length - 1].src").toString(),
              QUrl::fromLocalFile(QString::fromStdString(H.Folder() / "images/t.gif")).toString());

    // a selection inside a table cell gives the cell's content, not the cell
    H.LoadFile("page.htm", "<html><body><table><tr><td id=\"c1\">cell one</td></tr></table></body></html>");
    SelectContents(H, "#c1");
    D.ApplyTemplate("/templates/one.tpl");
    const std::string Cell = Collapsed(D.GetHtml());
    EXPECT_NE(Cell.find("<div class=\"frame\"> cell one </div>"), std::string::npos) << Cell;
    EXPECT_EQ(Cell.find("<td"), std::string::npos);

    // a document without a folder gets no files
    D.NewDocument();
    Calls.clear();
    EXPECT_THROW(D.ApplyTemplate("/templates/one.tpl"), Exception);
    EXPECT_TRUE(Calls.empty());
    D.OnLoadTemplate = {};
}
