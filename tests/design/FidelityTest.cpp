// Pages that go through the design view with a small edit keep everything else as written.
#include <gtest/gtest.h>

#include "DesignerHost.h"
#include "HtmlFilter.h"
#include "Streams.h"

using namespace zv;
using zv::test::TDesignerHost;

namespace {

// The file as saved without the design view.
std::string SavedByFilter(const std::string& FileName)
{
    THtmlFilter Filter;
    Filter.Generator = "Zandovell v1.00";
    TFileStream File(FileName, TFileMode::OpenRead);
    Filter.LoadFromStream(File);
    TMemoryStream Saved;
    Filter.SaveToStream(Saved);
    return std::string(reinterpret_cast<const char*>(Saved.Memory()), Saved.Size());
}

}  // namespace

TEST(DesignerFidelity, AnEditKeepsServerBlocksTextareasAndOddCharacters)
{
    TDesignerHost& H = TDesignerHost::Get();
    THtmlDesigner& D = H.Designer();
    const std::string Page =
        "<html><head><title>T</title></head><body <?php body_class(); ?> class=\"b\">\r\n"
        "<p id=\"e\">edit here</p>\r\n"
        "<form><select><option <?= $sel ?>>One</option>"
        "<option value=\"2\" <?php echo $s2; ?> class=\"c\">Two</option></select>\r\n"
        "<textarea name=\"t\">an unmatched </b> and <b>bold</b> &lt; here</textarea></form>\r\n"
        "<div <?php post_class(); ?>>text <a href=\"x\" <?= $a ?>>link</a></div>\r\n"
        "<p><img src=\"a.gif\" <?= $size ?> <?= $attr ?>=\"on\"><input type=\"checkbox\" <?= $on ?> value=\"v\"></p>\r\n"
        "<table><tr><td <% If x Then %>class=\"a\"<% End If %>>cell</td></tr></table>\r\n"
        "<p>a <svg><title>Tip</title><rect/></svg> b <?= $n ?> c</p>\r\n"
        "<p id=\"o\">bad &#xD800; null &#0; big &#x110000; controls \x01 and \x1f end</p>\r\n"
        "</body></html>\r\n";
    H.LoadFile("fidelity.html", Page);
    const std::string Unedited = SavedByFilter(H.Folder() / "fidelity.html");
    for (const char* Kept : {"<body <?php body_class(); ?> class=\"b\">", "<option <?= $sel ?>>", "<?php echo $s2; ?> class=\"c\"", "<div <?php post_class(); ?>>",
                             "<a href=\"x\" <?= $a ?>>", "<img src=\"a.gif\" <?= $size ?> <?= $attr ?>=\"on\">",
                             "<input type=\"checkbox\" <?= $on ?> value=\"v\">",
                             "<td <% If x Then %> class=\"a\" <% End If %>>",
                             "a <svg><title>Tip</title><rect/></svg> b <?= $n ?> c", "an unmatched </b> and <b>bold</b> &lt; here",
                             "&#xD800; null &#0; big &#x110000; controls \x01 and \x1f end"})
        ASSERT_NE(Unedited.find(Kept), std::string::npos) << Kept << "\n" << Unedited;

    // the textarea's content is text in the page too
    EXPECT_EQ(H.Eval("document.querySelector('textarea').value").toString(),
              "an unmatched </b> and <b>bold</b> < here");
    EXPECT_EQ(H.Eval("document.querySelector('textarea').childElementCount").toInt(), 0);

    // numbers that are no characters show as U+FFFD, as browsers show them
    EXPECT_TRUE(H.Eval("document.querySelector('#o').textContent").toString().startsWith(
        QString::fromUtf16(u"bad \uFFFD null \uFFFD big \uFFFD controls \uFFFD")));

    H.SelectText("#e", 0, 0);
    H.Type("X");
    // an edit in a text with characters the page cannot hold
    H.SelectText("#o", 0, 0);
    H.Type("Z");
    const std::string Saved = H.Folder() / "saved.html";
    D.SaveToFile(Saved);
    std::string Expected = Unedited;
    Expected.replace(Expected.find(">edit here<"), 11, ">Xedit here<");
    Expected.replace(Expected.find(">bad &#xD800;"), 4, ">Zbad");
    EXPECT_EQ(test::ReadAll(Saved), Expected);

    // a second pass through the design view changes nothing more
    D.LoadFromFile(Saved);
    H.SelectText("#e", 0, 0);
    H.Type("Y");
    D.SaveToFile(Saved);
    Expected.replace(Expected.find(">Xedit here<"), 12, ">YXedit here<");
    EXPECT_EQ(test::ReadAll(Saved), Expected);
}

TEST(DesignerFidelity, AnOpenTheEngineFailsLeavesTheOldDocument)
{
    TDesignerHost& H = TDesignerHost::Get();
    THtmlDesigner& D = H.Designer();
    H.LoadFile("old.html", "<html><head><title>Old</title></head><body><p id=\"p\">old text</p></body></html>");
    const std::string Old = H.Folder() / "old.html";
    test::WriteAll(H.Folder() / "new.html",
                   "<html><head><title>New</title><meta name=\"x\" content=\"new head\"></head>"
                   "<body><p>new text</p></body></html>");
    H.SelectText("#p", 0, 0);
    H.Type("unsaved ");

    // the engine cannot show the new page once: the old one comes back, edit and all
    int Refused = 0;
    H.Refuse = [&](const QString& Url) { return Url == "idoc:index.html" && Refused++ == 0; };
    EXPECT_THROW(D.LoadFromFile(H.Folder() / "new.html"), EEngineError);
    EXPECT_EQ(Refused, 2);
    EXPECT_EQ(D.FileName(), Old);
    EXPECT_EQ(D.GetTitle(), u"Old");
    EXPECT_EQ(H.Eval("document.body.textContent").toString().trimmed(), "unsaved old text");
    D.SaveToFile(Old);
    std::string Saved = test::ReadAll(Old);
    EXPECT_NE(Saved.find("unsaved old text"), std::string::npos) << Saved;
    EXPECT_EQ(Saved.find("new"), std::string::npos) << Saved;

    // nor at all: the page stays empty, the old document is what saves
    H.Refuse = [](const QString& Url) { return Url == "idoc:index.html"; };
    EXPECT_THROW(D.LoadFromFile(H.Folder() / "new.html"), EEngineError);
    H.Refuse = nullptr;
    EXPECT_EQ(D.FileName(), Old);
    D.SaveToFile(Old);
    EXPECT_EQ(test::ReadAll(Old), Saved);

    // and the next open works
    H.LoadFile("new2.html", test::ReadAll(H.Folder() / "new.html"));
    EXPECT_EQ(D.GetTitle(), u"New");
    EXPECT_EQ(H.Eval("document.body.textContent").toString().trimmed(), "new text");
}
