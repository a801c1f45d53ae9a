#include <gtest/gtest.h>

#include "FilterTestUtils.h"
#include "HtmlFilter.h"
#include "support/TempFiles.h"

using namespace zv;
using zv::test::Dump;
using zv::test::U8;

namespace {

// The element of the tree that carries the design id of Index, as text.
std::string Design(const THtmlFilter& Filter, int Index)
{
    const WideString Id = u"dsgn_:::_" + IntToWide(Index);
    THtmlRoot* Root = Filter.Root();
    for (TLinkNode* N = Root->NextInTree(nullptr); N; N = Root->NextInTree(N))
        if (auto* Tag = dynamic_cast<const THtmlTag*>(N); Tag && Tag->GetAttribute(attrId) == Id)
            return Dump(Tag);
    return "(none)";
}

std::string Stored(const THtmlFilter& Filter, int Index)
{
    return Filter.Object(Index) ? Dump(Filter.Object(Index)) : "(none)";
}

std::string Placeholder(int Index, const std::string& Picture)
{
    return "<img id=dsgn_:::_" + std::to_string(Index) + " src=edit:" + Picture +
           ".gif onResize=cancelEvent()>";
}

const std::string Report = " onResizeEnd=external.Report(this);";

}  // namespace

TEST(HtmlFilterDesign, EveryKindOfDesignElement)
{
    THtmlFilter F;
    F.Generator = "Zandovell v1.00";
    TMemoryStream Page;
    const std::string Bytes = test::ReadAll(ZV_TEST_DATA "/placeholders/kinds.html");
    Page.WriteBuffer(Bytes.data(), static_cast<int64_t>(Bytes.size()));
    Page.SetPosition(0);
    F.LoadFromStream(Page);
    // Ids are dense from 0 in document order, whatever the kind and wherever it stands.
    ASSERT_EQ(F.ObjectCount(), 30);
    // A page without a DOCTYPE gains none.
    EXPECT_EQ(F.Root()->FindChild(tagDocType, false), nullptr);
    EXPECT_EQ(Dump(F.Root()->FirstNode()), Placeholder(0, "comment"));

    const std::tuple<int, const char*, const char*> Placeholders[] = {
        {0, "comment", "<!-- top -->"},
        {1, "scriptfile", "<script src=a.js>\n</script>"},
        {3, "comment", "<!-- c -->"},
        {4, "php", "<? php ?>"},
        {5, "asp", "<% asp %>"},
        {6, "unknown", "<blink>"},
        {7, "script", "<script>\n<!-- var a; -->\n</script>"},
        {8, "scriptfile", "<script src=b.js>\n</script>"},
        {9, "map", "<map name=m><area href=x></map>"},
        {10, "map", "<map>"},
        {11, "embed", "<embed src=e.swf>"},
        {12, "isindex", "<isindex>"},
        {13, "basefont", "<basefont size=3>"},
        {14, "noscript", "<noscript>ns</noscript>"},
        {15, "bgsound", "<bgsound src=s>"},
        {16, "hidden", "<input type=HIDDEN name=h>"},
        {17, "anchor", "<a name=n1>"},
    };
    for (const auto& [Index, Picture, Source] : Placeholders) {
        EXPECT_EQ(Design(F, Index), Placeholder(Index, Picture));
        EXPECT_EQ(Stored(F, Index), Source);
        EXPECT_EQ(F.Object(Index)->Parent(), nullptr);
    }
    EXPECT_EQ(F.Object(6)->Kind(), tagUnknown);
    const std::string Body = Dump(F.Root()->FindFirstOfKind(tagBody));
    EXPECT_NE(Body.find("<a href=l.html>link</a>"), std::string::npos);  // a link stays live
    // so does the text of a named anchor, behind its picture
    EXPECT_NE(Body.find("<a name=n1>" + Placeholder(17, "anchor") + "mark</a>"), std::string::npos) << Body;
    EXPECT_EQ(Body.find("<param"), std::string::npos);  // an object's children live only in
    EXPECT_EQ(Body.find("<embed"), std::string::npos);  // its stored copy

    // Objects show at their own size over their class's picture; the copy keeps everything.
    EXPECT_EQ(Design(F, 18), "<img id=dsgn_:::_18 class=dsgn_flash src=edit:trans.gif width=10"
                             " height=20 align=left" + Report + ">");
    EXPECT_EQ(Stored(F, 18), "<object classid=clsid:D27CDB6E-AE6D-11cf-96B8-444553540000 width=10"
                             " height=20 align=left id=o><param name=movie value=m.swf>"
                             "<embed src=m.swf> </object>");
    EXPECT_NE(Design(F, 19).find("class=dsgn_applet"), std::string::npos);
    EXPECT_EQ(Stored(F, 20), "<marquee width=50>run</marquee>");

    // Images stay live with design id, class and src; the stored node keeps what they lost.
    EXPECT_EQ(Design(F, 21), "<img alt=a width=3 id=dsgn_:::_21 class=dsgn_remote"
                             " src=edit:trans.gif" + Report + ">");
    EXPECT_EQ(Stored(F, 21), "<img class=pic src=http://x/a.gif width=3>");
    EXPECT_EQ(Design(F, 22), "<img alt=b id=dsgn_:::_22 class=dsgn_broken src=edit:trans.gif" +
                                 Report + ">");
    EXPECT_EQ(Design(F, 23), "<img value=v id=dsgn_:::_23 class=dsgn_absolute src=edit:trans.gif" +
                                 Report + ">");
    EXPECT_EQ(Stored(F, 23), "<input type=image name=go src=/abs.gif>");

    // Tables keep their rows; those without a visible border get the layout outline.
    EXPECT_EQ(Design(F, 24), "<table border=1 id=dsgn_:::_24" + Report + "><tr><td>" +
                                 Design(F, 25) + " </td></tr></table>");
    EXPECT_EQ(Stored(F, 24), "<table class=c style=s>");
    EXPECT_TRUE(Design(F, 26).starts_with("<table border=0 id=dsgn_:::_26 class=dsgn_layout" +
                                          Report + ">"));
    EXPECT_TRUE(Design(F, 27).starts_with("<table id=dsgn_:::_27 class=dsgn_layout" + Report));

    // The body shows its page attributes only; all of them stay in the stored body.
    EXPECT_TRUE(Design(F, 2).starts_with(
        "<body id=dsgn_:::_2 contentEditable=TRUE bgcolor=#fff text=black><img"));
    EXPECT_EQ(Stored(F, 2), "<body bgcolor=#fff onLoad=init() class=page text=black>");

    // The head: our generator, the page declared 8-bit, the style sheet as written.
    EXPECT_EQ(Dump(F.Root()->FindFirstOfKind(tagHead)),
              "<head><title>T</title><meta name=GENERATOR content=Zandovell v1.00>"
              "<meta http-equiv=content-type content=text/html; charset=ISO-8859-1>"
              "<meta charset=ISO-8859-1>" + Placeholder(1, "scriptfile") +
                  "<style>\n<!-- p {} -->\n</style></head>");

    TWideStringList Maps;
    F.GetMapNames(Maps);
    EXPECT_EQ(U8(Maps.GetTextStr()), "#m\r\n");
    EXPECT_EQ(U8(F.NewAppletObject().Id), "dsgn_:::_30");  // builders go on counting

    // A document taken in place: its ids follow the stored nodes, which all stay for the
    // elements of the document before; the maps are those of the tree in place.
    THtmlFilter Next;
    Next.LoadFromString(u"<html><body><map name=n></map><p>x</p></body></html>", F.ObjectCount());
    std::unique_ptr<THtmlRoot> Before = F.TakeDocument(Next);
    EXPECT_EQ(Next.Root(), nullptr);
    EXPECT_EQ(Next.ObjectCount(), 0);
    ASSERT_EQ(F.ObjectCount(), 33);
    EXPECT_EQ(Design(F, 31), "<body id=dsgn_:::_31 contentEditable=TRUE>" + Placeholder(32, "map") + "<p>x</p></body>");
    EXPECT_EQ(Stored(F, 32), "<map name=n>");
    EXPECT_EQ(Stored(F, 2), "<body bgcolor=#fff onLoad=init() class=page text=black>");
    F.GetMapNames(Maps);
    EXPECT_EQ(U8(Maps.GetTextStr()), "#n\r\n");
    // and the tree before put back
    Before = F.SwapTree(std::move(Before));
    F.GetMapNames(Maps);
    EXPECT_EQ(U8(Maps.GetTextStr()), "#m\r\n");
    EXPECT_EQ(Design(F, 2).substr(0, 40), "<body id=dsgn_:::_2 contentEditable=TRUE");
}

TEST(HtmlFilterDesign, DocTypeGeneratorAndNewDocument)
{
    THtmlFilter F;
    F.LoadFromString(u"<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01//EN\" \"strict.dtd\">"
                     u"<html><head><meta name=generator content=x></head><body>a</body></html>");
    EXPECT_EQ(Dump(F.Root()->FirstNode()), "<!DOCTYPE 1>");  // kept, not doubled
    EXPECT_EQ(Dump(F.Root()->FirstNode()->NextNode()).substr(0, 6), "<html>");
    // Without a generator of our own the content goes.
    EXPECT_EQ(Dump(F.Root()->FindFirstOfKind(tagHead)), "<head><meta name=generator></head>");

    F.Generator = "Gen";
    F.SetBasePath("/tmp");
    F.NewDocument();
    EXPECT_EQ(Dump(F.Root()), "<!DOCTYPE 0><html><head><meta name=Generator content=Gen></head>"
                              "<body id=dsgn_:::_0 contentEditable=TRUE></html>");
    ASSERT_EQ(F.ObjectCount(), 1);
    EXPECT_EQ(Stored(F, 0), "<body>");
    F.Clear();
    EXPECT_TRUE(F.Root() == nullptr && F.ObjectCount() == 0 && F.BasePath() == "/tmp/");
}

TEST(HtmlFilterDesign, WithoutADocumentNothingHappens)
{
    THtmlFilter F;
    TMemoryStream Out;
    F.SaveToStream(Out);
    F.ReadDesign(u"<body>x</body>");
    EXPECT_TRUE(F.GetDesignHtml().empty() && F.GetSourceText().empty() && Out.Size() == 0);
    EXPECT_TRUE(F.Root() == nullptr && F.ObjectCount() == 0);

    // A page the parser refuses leaves the document before it untouched.
    F.LoadFromString(u"<p>kept<!-- note --></p>");
    THtmlRoot* Before = F.Root();
    EXPECT_THROW(F.LoadFromString(u"<p>x<!-- open"), Exception);
    EXPECT_THROW(F.ReadDesign(u"<body><? open"), Exception);
    EXPECT_EQ(F.Root(), Before);
    EXPECT_EQ(F.ObjectCount(), 2);
    EXPECT_NE(Dump(F.Root()).find("<p>kept" + Placeholder(1, "comment") + "</p>"),
              std::string::npos);
}

TEST(HtmlFilterDesign, EditedPageMapsBackToSource)
{
    test::TempDir Dir;
    test::WriteAll(Dir / "pic.gif", "GIF89a");
    THtmlFilter F;
    F.SetBasePath(Dir.Path);
    F.LoadFromString(u"<html><head><title>T</title></head>"
                     u"<body background=\"bg.gif\" onload=\"go()\"><p>Hi<!-- c --></p>"
                     u"<object classid=x width=1 height=2><param name=a value=b></object>"
                     u"<img class=\"own\" src=\"pic.gif\" width=4 alt=\"p\">"
                     u"<img src=\"pic.gif\" style=\"float:left\">"
                     u"<table width=9><tr><td>c</td></tr></table>"
                     u"<table border=\"2\" class=\"dsgn_layout\"><tr><td>d</td></tr></table>"
                     u"</body></html>");
    ASSERT_EQ(F.ObjectCount(), 7);
    EXPECT_EQ(Design(F, 3), "<img width=4 alt=p id=dsgn_:::_3 src=file://" + Dir.Path +
                                "/pic.gif" + Report + ">");

    // The page as the engine hands it back after editing: the object was resized (and
    // reported), the comment moved and pasted twice, text typed, the second image lost its
    // design class, a pasted image has no design id, and an id leads nowhere.
    F.SetObjectSize(u"dsgn_:::_2", u"300", u"200");
    F.ReadDesign(
        u"<body id=\"dsgn_:::_0\" contentEditable background=\"bg.gif\">"
        u"<p>Hi there</p><p><img id=\"dsgn_:::_1\" src=\"edit:comment.gif\">"
        u"<img id=\"dsgn_:::_1\" src=\"edit:comment.gif\"></p>"
        u"<img id=\"dsgn_:::_2\" class=\"dsgn_activex\" src=\"edit:trans.gif\" width=\"300\">"
        u"<img id=\"dsgn_:::_3\" alt=\"new\" src=\"file:///x/pic.gif\" width=4>"
        u"<img id=\"dsgn_:::_4\" class=\"dsgn_broken\" src=\"edit:trans.gif\">"
        u"<img src=\"pasted.gif\"><img id=\"dsgn_:::_99\" src=\"q.gif\">"
        u"<table width=9 id=\"dsgn_:::_5\" class=\"dsgn_layout\" onResizeEnd=\"x\"><tr><td>c2</td>"
        u"</tr></table><table border=\"2\" id=\"dsgn_:::_6\"><tr><td>d</td></tr></table></body>");
    const std::string Tree = Dump(F.Root());
    std::unique_ptr<THtmlRoot> Source = F.RebuildSource();
    EXPECT_EQ(Dump(Source->FindFirstOfKind(tagBody)),
              "<body background=bg.gif onLoad=go()><p>Hi there</p><p><!-- c --><!-- c --></p>"
              "<object classid=x width=300 height=200><param name=a value=b></object>"
              "<img class=own src=pic.gif width=4 alt=new><img src=pic.gif style=float:left>"
              "<img src=pasted.gif><img id=dsgn_:::_99 src=q.gif>"
              "<table width=9><tr><td>c2</td></tr></table>"
              "<table border=2 class=dsgn_layout><tr><td>d</td></tr></table></body>");
    EXPECT_EQ(Dump(Source->FindFirstOfKind(tagHead)), "<head><title>T</title></head>");
    // The tree keeps its design form and the stored nodes stay apart from it.
    EXPECT_NE(F.GetSourceText(), u"");
    EXPECT_EQ(Dump(F.Root()), Tree);
    for (int I = 0; I < F.ObjectCount(); ++I)
        EXPECT_EQ(F.Object(I)->Parent(), nullptr);

    // The page properties reach the stored body through the tree's body.
    auto* Body = dynamic_cast<THtmlTag*>(F.Root()->FindFirstOfKind(tagBody));
    Body->SetAttribute(attrBgcolor, u"red");
    Body->SetAttribute(attrBackground, u"");
    F.UpdateBodyObject();
    EXPECT_EQ(Stored(F, 0), "<body onLoad=go() bgcolor=red>");
}

TEST(HtmlFilterDesign, PageWithoutBody)
{
    THtmlFilter F;
    F.LoadFromString(u"<html><frameset cols=\"*\"><frame src=\"a.html\"></frameset></html>");
    EXPECT_TRUE(U8(F.GetDesignHtml()).ends_with(
        "</head>\r\n<body id=\"dsgn_:::_0\" contentEditable></body>\r\n</html>"));
    ASSERT_EQ(F.ObjectCount(), 1);
    // An empty body coming back adds no body to the frameset page; one with content does,
    // without the design attributes.
    F.ReadDesign(u"<body id=\"dsgn_:::_0\" contentEditable></body>");
    EXPECT_EQ(F.Root()->FindFirstOfKind(tagBody), nullptr);
    F.ReadDesign(u"<body id=\"dsgn_:::_0\" contentEditable>typed</body>");
    EXPECT_EQ(Dump(F.RebuildSource()->FindFirstOfKind(tagBody)), "<body>typed</body>");
}
