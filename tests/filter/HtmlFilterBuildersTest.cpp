#include <gtest/gtest.h>

#include "HtmlFilter.h"
#include "support/TempFiles.h"

using namespace zv;

namespace {

std::string U8(WideStringView Text) { return Utf16ToUtf8(Text); }

THtmlTag* StoredTag(const THtmlFilter& Filter, int Index)
{
    return dynamic_cast<THtmlTag*>(Filter.Object(Index));
}

// The tag's attributes as " name=value" pairs in list order (unknown ones as stored).
std::string Attrs(const THtmlTag* Tag)
{
    std::string Text;
    for (int I = 0; I < Tag->GetAttributeCount(); ++I) {
        const THtmlAttrId Id = Tag->GetAttributeId(I);
        Text += " ";
        if (Id != attrUnknown)
            Text += std::string(AttrNameFromId(Id)) + "=";
        Text += U8(Tag->GetAttributeByIndex(I));
    }
    return Text;
}

std::vector<THtmlTagId> ChildKinds(const THtmlTag* Tag)
{
    std::vector<THtmlTagId> Kinds;
    for (THtmlNode* N = Tag->FirstNode(); N; N = N->NextNode())
        Kinds.push_back(N->Kind());
    return Kinds;
}

}  // namespace

TEST(HtmlFilterBuilders, CompletePlaceholdersStoreTheirNodeUnderConsecutiveIds)
{
    THtmlFilter F;
    EXPECT_EQ(U8(F.NewAnchorPlaceholder(u"top")),
              "<img id=\"dsgn_:::_0\" src=\"edit:anchor.gif\" onResize=\"cancelEvent()\">");
    EXPECT_EQ(U8(F.NewCommentPlaceholder(u"<!-- note -->")),
              "<img id=\"dsgn_:::_1\" src=\"edit:comment.gif\" onResize=\"cancelEvent()\">");
    EXPECT_EQ(U8(F.NewScriptPlaceholder(u"text/javascript", u"", false)),
              "<img id=\"dsgn_:::_2\" src=\"edit:script.gif\" onResize=\"cancelEvent()\">");
    EXPECT_EQ(U8(F.NewScriptPlaceholder(u"text/vbscript", u"<!-- x = 1 -->", true)),
              "<img id=\"dsgn_:::_3\" src=\"edit:script.gif\" onResize=\"cancelEvent()\">");
    EXPECT_EQ(U8(F.NewScriptFilePlaceholder(u"a.js", u"text/javascript", false, u"UTF-8")),
              "<img id=\"dsgn_:::_4\" src=\"edit:scriptfile.gif\" onResize=\"cancelEvent()\">");
    EXPECT_EQ(U8(F.NewBgSoundPlaceholder(u"a.wav", -1, true)),
              "<img id=\"dsgn_:::_5\" src=\"edit:bgsound.gif\" onResize=\"cancelEvent()\">");
    EXPECT_EQ(U8(F.NewHiddenInputPlaceholder(u"n", u"v")),
              "<img id=\"dsgn_:::_6\" src=\"edit:hidden.gif\" onResize=\"cancelEvent()\">");
    ASSERT_EQ(F.ObjectCount(), 7);
    EXPECT_EQ(F.Root(), nullptr);  // builders never touch the tree

    EXPECT_EQ(StoredTag(F, 0)->Kind(), tagA);
    EXPECT_EQ(Attrs(StoredTag(F, 0)), " name=top");
    auto* Comment = dynamic_cast<THtmlText*>(F.Object(1));
    ASSERT_NE(Comment, nullptr);
    EXPECT_EQ(Comment->Kind(), tagComment);
    EXPECT_EQ(U8(Comment->Text), "<!-- note -->");

    // A script without text has no child; one with text holds it in a comment.
    EXPECT_EQ(StoredTag(F, 2)->Count(), 0);
    EXPECT_EQ(StoredTag(F, 2)->GetAttribute(attrDefer), u"");
    EXPECT_EQ(ChildKinds(StoredTag(F, 3)), std::vector<THtmlTagId>{tagComment});
    EXPECT_EQ(U8(static_cast<THtmlText*>(StoredTag(F, 3)->FirstNode())->Text), "<!-- x = 1 -->");
    EXPECT_EQ(StoredTag(F, 3)->GetAttribute(attrDefer), u"TRUE");

    EXPECT_EQ(StoredTag(F, 4)->Kind(), tagScript);
    EXPECT_EQ(Attrs(StoredTag(F, 4)), " src=a.js type=text/javascript charset=UTF-8 defer=");
    EXPECT_EQ(StoredTag(F, 4)->Count(), 0);
    EXPECT_EQ(Attrs(StoredTag(F, 5)), " src=a.wav loop=-1 autostart=TRUE");
    EXPECT_EQ(StoredTag(F, 6)->Kind(), tagInput);
    EXPECT_EQ(Attrs(StoredTag(F, 6)), " type=hidden name=n value=v");

    // Each stored node is found again through its id.
    EXPECT_EQ(F.FindObject(u"dsgn_:::_4"), F.Object(4));
}

TEST(HtmlFilterBuilders, OpenPlaceholdersNameTheirDesignClass)
{
    test::TempDir Dir;
    test::WriteAll(Dir / "here.gif", "GIF89a");
    THtmlFilter F;
    F.SetBasePath(Dir.Path);
    EXPECT_EQ(F.BasePath(), Dir.Path + "/");

    TDesignObject Remote = F.NewImageObject(u"http://x.org/a.gif");
    EXPECT_EQ(U8(Remote.Id), "dsgn_:::_0");
    EXPECT_EQ(U8(Remote.Html),
              "<img id=\"dsgn_:::_0\" src=\"edit:trans.gif\" class=\"dsgn_remote\" ");
    EXPECT_EQ(Remote.Node, F.Object(0));
    EXPECT_EQ(Attrs(Remote.Node), " src=http://x.org/a.gif");

    // An existing relative picture shows from its place, without a class.
    TDesignObject Here = F.NewImageObject(u"here.gif");
    EXPECT_EQ(U8(Here.Html), "<img id=\"dsgn_:::_1\" src=\"file://" + Dir.Path + "/here.gif\" ");

    TDesignObject Input = F.NewImageInputObject(u"missing.gif", u"go");
    EXPECT_EQ(U8(Input.Html),
              "<img id=\"dsgn_:::_2\" src=\"edit:trans.gif\" class=\"dsgn_broken\" ");
    EXPECT_EQ(Input.Node->Kind(), tagInput);
    EXPECT_EQ(Attrs(Input.Node), " type=image name=go src=missing.gif");

    struct {
        const char16_t* ClassId;
        const char* ClassName;
    } const Players[] = {
        {u"CLSID:d27cdb6e-ae6d-11cf-96b8-444553540000", "dsgn_flash"},
        {u"clsid:6BF52A52-394A-11D3-B153-00C04F79FAA6", "dsgn_mplayer"},
        {u"clsid:22D6F312-B0F6-11D0-94AB-0080C74C7E95", "dsgn_mplayer"},
        {u"clsid:02BF25D5-8C17-4B23-BC80-D3488ABDDC6B", "dsgn_quicktime"},
        {u"clsid:CFCDAA03-8BE4-11cf-B84B-0020AFBBCCFA", "dsgn_real"},
        {u"clsid:00000000-0000-0000-0000-000000000000", "dsgn_activex"},
        {u"", "dsgn_activex"},
    };
    for (const auto& P : Players) {
        TDesignObject Object = F.NewObjectObject(P.ClassId);
        EXPECT_EQ(U8(Object.Html), "<img id=\"" + U8(Object.Id) +
                                       "\" src=\"edit:trans.gif\" onResizeEnd=\"external.Report("
                                       "this);\" class=\"" + P.ClassName + "\" ");
        EXPECT_EQ(Object.Node->Kind(), tagObject);
        EXPECT_EQ(Object.Node->GetAttribute(attrClassid), P.ClassId);
    }

    TDesignObject Marquee = F.NewMarqueeObject(u"Hello");
    EXPECT_NE(U8(Marquee.Html).find("class=\"dsgn_marquee\" "), std::string::npos);
    EXPECT_EQ(ChildKinds(Marquee.Node), std::vector<THtmlTagId>{tagText});
    EXPECT_EQ(F.NewMarqueeObject(u"").Node->Count(), 0);
    TDesignObject Applet = F.NewAppletObject();
    EXPECT_EQ(Applet.Node->Kind(), tagApplet);
    EXPECT_EQ(Applet.Node->GetAttributeCount(), 0);
    EXPECT_TRUE(U8(Applet.Html).ends_with("class=\"dsgn_applet\" "));
    TDesignObject ActiveX = F.NewActiveXObject();
    EXPECT_EQ(ActiveX.Node->Kind(), tagObject);
    EXPECT_TRUE(U8(ActiveX.Html).ends_with("class=\"dsgn_activex\" "));

    // A table without a visible border shows the layout outline.
    EXPECT_EQ(U8(F.NewTableObject(u"1").Html), "<table id=\"dsgn_:::_14\" ");
    EXPECT_EQ(U8(F.NewTableObject(u"0").Html), "<table id=\"dsgn_:::_15\" class=\"dsgn_layout\" ");
    TDesignObject Table = F.NewTableObject(u"");
    EXPECT_EQ(U8(Table.Html), "<table id=\"dsgn_:::_16\" class=\"dsgn_layout\" ");
    EXPECT_EQ(Table.Node->Kind(), tagTable);
    EXPECT_EQ(F.ObjectCount(), 17);
}

TEST(HtmlFilterBuilders, IdsAndImageSources)
{
    EXPECT_EQ(THtmlFilter::IndexOfId(u"dsgn_:::_12"), 12);
    EXPECT_EQ(THtmlFilter::IndexOfId(u"dsgn_:::_0"), 0);
    EXPECT_EQ(THtmlFilter::IndexOfId(u"DSGN_:::_12"), -1);
    EXPECT_EQ(THtmlFilter::IndexOfId(u"dsgn_:::_ab"), -1);
    EXPECT_EQ(THtmlFilter::IndexOfId(u"dsgn_:::_"), -1);
    EXPECT_EQ(THtmlFilter::IndexOfId(u"dsgn_:::_-1"), -1);
    EXPECT_EQ(THtmlFilter::IndexOfId(u"dsgn_:::_12x"), -1);
    EXPECT_EQ(THtmlFilter::IndexOfId(u"dsgn_:::_99999999999"), -1);
    EXPECT_EQ(THtmlFilter::IndexOfId(u"x"), -1);

    THtmlFilter F;
    F.NewAppletObject();
    EXPECT_NE(F.FindObject(u"dsgn_:::_0"), nullptr);
    EXPECT_EQ(F.FindObject(u"dsgn_:::_1"), nullptr);
    EXPECT_EQ(F.FindObject(u""), nullptr);

    test::TempDir Dir;
    std::filesystem::create_directory(Dir / "img");
    test::WriteAll(Dir / "img/a b.gif", "GIF89a");
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
    // Any other scheme counts as a relative path, which leads to no file.
    EXPECT_EQ(Classify(u"https://x.org/a.gif"), "dsgn_broken edit:trans.gif");
    EXPECT_EQ(Classify(u"img/a b.gif"), " file://" + Dir.Path + "/img/a%20b.gif");
    EXPECT_EQ(Classify(u"img"), "dsgn_broken edit:trans.gif");  // a folder is no picture
    EXPECT_EQ(Classify(u""), "dsgn_broken edit:trans.gif");
    F.SetBasePath("");
    EXPECT_EQ(Classify(u"img/a b.gif"), "dsgn_broken edit:trans.gif");

    // The image tools change the stored source and get the new design source back.
    TDesignObject Image = F.NewImageObject(u"old.gif");
    F.SetImageSrc(Image.Id, u"http://x.org/new.gif", Src, ClassName);
    EXPECT_EQ(Image.Node->GetAttribute(attrSrc), u"http://x.org/new.gif");
    EXPECT_EQ(U8(ClassName), "dsgn_remote");
    F.SetImageSrc(u"dsgn_:::_77", u"/a.gif", Src, ClassName);  // no stored node: only classified
    EXPECT_EQ(U8(ClassName), "dsgn_absolute");

    F.SetObjectSize(Image.Id, u"10", u"20");
    EXPECT_EQ(Attrs(Image.Node), " src=http://x.org/new.gif width=10 height=20");
    F.SetObjectSize(Image.Id, u"", u"30");
    EXPECT_EQ(Attrs(Image.Node), " src=http://x.org/new.gif height=30");
    F.SetObjectSize(u"nothing", u"1", u"2");
}

TEST(HtmlFilterBuilders, ObjectParamsAndEmbed)
{
    THtmlFilter F;
    THtmlTag* Object = F.NewObjectObject(u"clsid:D27CDB6E-AE6D-11cf-96B8-444553540000").Node;
    Object->SetAttribute(attrId, u"movie");
    Object->SetAttribute(attrWidth, u"320");
    Object->SetAttribute(attrHeight, u"200");

    THtmlFilter::SetObjectParam(Object, u"movie", u"", u"a.swf");
    THtmlFilter::SetObjectParam(Object, u"loop", u"true", u"TRUE");  // the default: no param
    THtmlFilter::SetObjectParam(Object, u"quality", u"high", u"low");
    THtmlFilter::SetObjectParam(Object, u"play", u"true", u"false");
    ASSERT_EQ(Object->Count(), 3);
    EXPECT_EQ(U8(THtmlFilter::GetObjectParam(Object, u"QUALITY")), "low");
    EXPECT_EQ(THtmlFilter::GetObjectParam(Object, u"loop"), u"");
    EXPECT_EQ(THtmlFilter::GetObjectParam(nullptr, u"loop"), u"");

    // A new value changes the param in place; the default or an empty value removes it.
    THtmlFilter::SetObjectParam(Object, u"Movie", u"", u"b.swf");
    EXPECT_EQ(Attrs(dynamic_cast<THtmlTag*>(Object->FirstNode())), " name=Movie value=b.swf");
    THtmlFilter::SetObjectParam(Object, u"quality", u"high", u"HIGH");
    EXPECT_EQ(THtmlFilter::GetObjectParam(Object, u"quality"), u"");
    ASSERT_EQ(Object->Count(), 2);
    THtmlFilter::SetObjectParam(Object, u"play", u"", u"");
    ASSERT_EQ(Object->Count(), 1);
    THtmlFilter::SetObjectParam(Object, u"play", u"true", u"false");

    // Embeds anywhere inside go; one new embed mirrors size, id and params, as last child.
    auto* Wrapper = new THtmlTag(tagNoScript);
    Wrapper->AddLast(new THtmlTag(tagEmbed));
    Object->AddLast(Wrapper);
    Object->AddLast(new THtmlTag(tagEmbed));
    auto* Empty = new THtmlTag(tagParam);
    Empty->SetAttribute(attrName, u"blank");
    Object->AddLast(Empty);
    THtmlTag* Embed = THtmlFilter::RebuildEmbed(Object);
    ASSERT_NE(Embed, nullptr);
    EXPECT_EQ(Object->LastNode(), Embed);
    EXPECT_EQ(Object->FindFirstOfKind(tagEmbed), Embed);
    EXPECT_EQ(Wrapper->Count(), 0);
    EXPECT_EQ(Attrs(Embed), " width=320 height=200 name=movie Movie=b.swf play=false");
    EXPECT_EQ(THtmlFilter::RebuildEmbed(Object), Object->LastNode());
    EXPECT_EQ(ChildKinds(Object),
              (std::vector<THtmlTagId>{tagParam, tagParam, tagNoScript, tagParam, tagEmbed}));
    EXPECT_EQ(THtmlFilter::RebuildEmbed(nullptr), nullptr);
}
