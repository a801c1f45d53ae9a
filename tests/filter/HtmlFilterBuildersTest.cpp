#include <gtest/gtest.h>

#include "FilterTestUtils.h"
#include "HtmlFilter.h"
#include "support/TempFiles.h"

using namespace zv;
using zv::test::Dump;
using zv::test::U8;

TEST(HtmlFilterBuilders, PlaceholdersStoreTheirNodeUnderConsecutiveIds)
{
    THtmlFilter F;
    const WideString Html[] = {
        F.NewAnchorPlaceholder(u"top"),
        F.NewCommentPlaceholder(u"<!-- note -->"),
        F.NewScriptPlaceholder(u"text/javascript", u"", false),
        F.NewScriptPlaceholder(u"text/vbscript", u"<!-- x = 1 -->", true),
        F.NewScriptFilePlaceholder(u"a.js", u"text/javascript", false, u"UTF-8"),
        F.NewBgSoundPlaceholder(u"a.wav", -1, true),
        F.NewHiddenInputPlaceholder(u"n", u"v"),
    };
    const char* const Pictures[] = {"anchor", "comment", "script", "script", "scriptfile",
                                    "bgsound", "hidden"};
    // A script with text holds it in a comment; an empty setting adds no attribute (an empty
    // defer would be written, and defer the script).
    const char* const Stored[] = {
        "<a name=top>",
        "<!-- note -->",
        "<script type=text/javascript>",
        "<script type=text/vbscript defer=TRUE><!-- x = 1 --></script>",
        "<script src=a.js type=text/javascript charset=UTF-8>",
        "<bgsound src=a.wav loop=-1 autostart=TRUE>",
        "<input type=hidden name=n value=v>",
    };
    ASSERT_EQ(F.ObjectCount(), 7);
    for (int I = 0; I < 7; ++I) {
        EXPECT_EQ(U8(Html[I]), "<img id=\"dsgn_:::_" + std::to_string(I) + "\" src=\"edit:" +
                                   Pictures[I] + ".gif\" onResize=\"cancelEvent()\">");
        EXPECT_EQ(Dump(F.Object(I)), Stored[I]);
    }
    EXPECT_EQ(F.Object(1)->Kind(), tagComment);
    EXPECT_EQ(F.Root(), nullptr);  // builders never touch the tree
}

TEST(HtmlFilterBuilders, OpenPlaceholdersNameTheirDesignClass)
{
    test::TempDir Dir;
    test::WriteAll(Dir / "here.gif", "GIF89a");
    THtmlFilter F;
    F.SetBasePath(Dir.Path);

    TDesignObject Image = F.NewImageObject(u"http://x.org/a.gif");
    EXPECT_EQ(U8(Image.Html),
              "<img id=\"dsgn_:::_0\" src=\"edit:trans.gif\" class=\"dsgn_remote\" ");
    EXPECT_TRUE(Image.Id == u"dsgn_:::_0" && Image.Node == F.Object(0));
    EXPECT_EQ(Dump(Image.Node), "<img src=http://x.org/a.gif>");
    // An existing relative picture shows from its place, without a class.
    EXPECT_EQ(U8(F.NewImageObject(u"here.gif").Html),
              "<img id=\"dsgn_:::_1\" src=\"file://" + Dir.Path + "/here.gif\" ");
    TDesignObject Input = F.NewImageInputObject(u"gone.gif", u"go");
    EXPECT_EQ(U8(Input.Html),
              "<img id=\"dsgn_:::_2\" src=\"edit:trans.gif\" class=\"dsgn_broken\" ");
    EXPECT_EQ(Dump(Input.Node), "<input type=image name=go src=gone.gif>");

    const std::pair<const char16_t*, const char*> Players[] = {
        {u"CLSID:d27cdb6e-ae6d-11cf-96b8-444553540000", "dsgn_flash"},
        {u"clsid:6BF52A52-394A-11D3-B153-00C04F79FAA6", "dsgn_mplayer"},
        {u"clsid:22D6F312-B0F6-11D0-94AB-0080C74C7E95", "dsgn_mplayer"},
        {u"clsid:02BF25D5-8C17-4B23-BC80-D3488ABDDC6B", "dsgn_quicktime"},
        {u"clsid:CFCDAA03-8BE4-11cf-B84B-0020AFBBCCFA", "dsgn_real"},
        {u"clsid:00000000-0000-0000-0000-000000000000", "dsgn_activex"},
    };
    for (const auto& [ClassId, ClassName] : Players) {
        TDesignObject Object = F.NewObjectObject(ClassId);
        EXPECT_EQ(U8(Object.Html), "<img id=\"" + U8(Object.Id) + "\" src=\"edit:trans.gif\" "
                                   "onResizeEnd=\"external.Report(this);\" class=\"" +
                                       ClassName + "\" ");
        EXPECT_EQ(Dump(Object.Node), "<object classid=" + U8(ClassId) + ">");
    }
    const std::tuple<TDesignObject, const char*, const char*> Others[] = {
        {F.NewMarqueeObject(u"Hello"), "marquee", "<marquee>Hello</marquee>"},
        {F.NewMarqueeObject(u""), "marquee", "<marquee>"},
        {F.NewAppletObject(), "applet", "<applet>"},
        {F.NewActiveXObject(), "activex", "<object>"},
    };
    for (const auto& [Object, ClassName, Stored] : Others) {
        EXPECT_TRUE(U8(Object.Html).ends_with("class=\"dsgn_" + std::string(ClassName) + "\" "));
        EXPECT_EQ(Dump(Object.Node), Stored);
    }

    // Only a table without a visible border shows the layout outline.
    EXPECT_EQ(U8(F.NewTableObject(u"1").Html), "<table id=\"dsgn_:::_13\" ");
    EXPECT_EQ(U8(F.NewTableObject(u"0").Html), "<table id=\"dsgn_:::_14\" class=\"dsgn_layout\" ");
    EXPECT_EQ(U8(F.NewTableObject(u"").Html), "<table id=\"dsgn_:::_15\" class=\"dsgn_layout\" ");
    EXPECT_EQ(Dump(F.Object(15)), "<table>");
}

TEST(HtmlFilterBuilders, IdsAndImageSources)
{
    EXPECT_EQ(THtmlFilter::IndexOfId(u"dsgn_:::_12"), 12);
    for (const char16_t* Bad : {u"DSGN_:::_12", u"dsgn_:::_ab", u"dsgn_:::_", u"dsgn_:::_-1",
                                u"dsgn_:::_12x", u"dsgn_:::_99999999999", u""})
        EXPECT_EQ(THtmlFilter::IndexOfId(Bad), -1) << U8(Bad);

    test::TempDir Dir;
    std::filesystem::create_directory(Dir / "img");
    test::WriteAll(Dir / "img/a b.gif", "GIF89a");
    THtmlFilter F;
    F.SetBasePath(Dir.Path + "/");
    EXPECT_EQ(F.BasePath(), Dir.Path + "/");
    WideString ClassName, Src;
    const auto Classify = [&](WideStringView Source) {
        F.ClassifyImageSrc(Source, ClassName, Src);
        return U8(ClassName) + " " + U8(Src);
    };
    EXPECT_EQ(Classify(u"HTTP://x.org/a.gif"), "dsgn_remote edit:trans.gif");
    EXPECT_EQ(Classify(u"File:///tmp/a.gif"), "dsgn_absolute edit:trans.gif");
    EXPECT_EQ(Classify(u"/tmp/a.gif"), "dsgn_absolute edit:trans.gif");
    // changed: a secure web address is as remote as a plain one
    EXPECT_EQ(Classify(u"https://x.org/a.gif"), "dsgn_remote edit:trans.gif");
    // Any other scheme counts as a relative path, which leads to no file.
    EXPECT_EQ(Classify(u"ftp://x.org/a.gif"), "dsgn_broken edit:trans.gif");
    EXPECT_EQ(Classify(u"img/a b.gif"), " file://" + Dir.Path + "/img/a%20b.gif");
    // the file of a relative URL: escapes and references decoded, query and fragment left out
    for (const char16_t* Url : {u"img/a%20b.gif", u"img%2Fa b.gif?v=2", u"img/a&#32;b.gif#top"})
        EXPECT_EQ(Classify(Url), " file://" + Dir.Path + "/img/a%20b.gif") << U8(Url);
    test::WriteAll(Dir / "a&b.gif", "GIF89a");
    EXPECT_EQ(Classify(u"a&amp;b.gif"), " file://" + Dir.Path + "/a%26b.gif");
    EXPECT_EQ(Classify(u"a%2"), "dsgn_broken edit:trans.gif");
    EXPECT_EQ(Classify(u"img"), "dsgn_broken edit:trans.gif");  // a folder is no picture
    F.SetBasePath("");  // a page without a folder reaches no picture
    EXPECT_EQ(Classify(u"img/a b.gif"), "dsgn_broken edit:trans.gif");

    // The image tools change the stored node and get the new design source back.
    TDesignObject Image = F.NewImageObject(u"old.gif");
    EXPECT_EQ(F.FindObject(Image.Id), Image.Node);
    EXPECT_EQ(F.FindObject(u"dsgn_:::_1"), nullptr);
    F.SetImageSrc(Image.Id, u"http://x.org/new.gif", Src, ClassName);
    EXPECT_EQ(U8(ClassName), "dsgn_remote");
    F.SetImageSrc(u"dsgn_:::_77", u"/a.gif", Src, ClassName);  // no stored node: classified
    EXPECT_EQ(U8(ClassName), "dsgn_absolute");
    F.SetObjectSize(Image.Id, u"10", u"20");
    EXPECT_EQ(Dump(Image.Node), "<img src=http://x.org/new.gif width=10 height=20>");
    F.SetObjectSize(Image.Id, u"", u"30");
    EXPECT_EQ(Dump(Image.Node), "<img src=http://x.org/new.gif height=30>");
}

TEST(HtmlFilterBuilders, ObjectParams)
{
    THtmlFilter F;
    THtmlTag* Object = F.NewObjectObject(u"clsid:x").Node;
    Object->SetAttribute(attrWidth, u"320");
    Object->SetAttribute(attrHeight, u"200");
    Object->SetAttribute(attrId, u"movie");
    THtmlFilter::SetObjectParam(Object, u"movie", u"", u"a.swf");
    THtmlFilter::SetObjectParam(Object, u"loop", u"true", u"TRUE");  // the default: no param
    THtmlFilter::SetObjectParam(Object, u"quality", u"high", u"low");
    THtmlFilter::SetObjectParam(Object, u"play", u"true", u"false");
    EXPECT_EQ(U8(THtmlFilter::GetObjectParam(Object, u"QUALITY")), "low");
    EXPECT_EQ(THtmlFilter::GetObjectParam(Object, u"loop"), u"");
    // A new value changes a param in place; its default or an empty value removes it.
    THtmlFilter::SetObjectParam(Object, u"Movie", u"", u"b.swf");
    THtmlFilter::SetObjectParam(Object, u"quality", u"high", u"HIGH");
    THtmlFilter::SetObjectParam(Object, u"play", u"", u"");
    THtmlFilter::SetObjectParam(Object, u"play", u"true", u"false");
    EXPECT_EQ(Dump(Object), "<object classid=clsid:x width=320 height=200 id=movie>"
                            "<param name=Movie value=b.swf><param name=play value=false></object>");
}
