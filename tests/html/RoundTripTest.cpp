#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "HtmlConv.h"
#include "HtmlParser.h"
#include "HtmlUtils.h"
#include "HtmlWriter.h"
#include "Streams.h"
#include "TreeBuilder.h"

using namespace zv;
using namespace zv::test;

namespace {

WideString Written(THtmlRoot* Root)
{
    TMemoryStream Out;
    EXPECT_TRUE(WriteDocument(Out, Root));
    return WideString(reinterpret_cast<const char16_t*>(Out.Memory()), static_cast<size_t>(Out.Size()) / 2);
}

// The plain text of the document's body, without blanks: the writer may move blanks where
// blocks meet, never change the words.
WideString BodyText(THtmlRoot* Root)
{
    const THtmlNode* Body = Root->FindChild(tagBody, true);
    WideString Text = Body ? GetPlainText(Body, false) : WideString();
    std::erase_if(Text, [](char16_t C) { return C <= u' '; });
    return Text;
}

// The position and code of the first control character other than CR, LF and TAB.
std::string FirstControl(WideStringView Text)
{
    for (size_t I = 0; I < Text.size(); ++I)
        if ((Text[I] < 0x20 && Text[I] != u'\r' && Text[I] != u'\n' && Text[I] != u'\t') || Text[I] == 0x7F)
            return "U+" + std::to_string(Text[I]) + " at " + std::to_string(I);
    return "";
}

// The first line where two texts differ, with its neighbours.
std::string FirstDifference(WideStringView A, WideStringView B)
{
    const std::vector<WideString> La = SplitLines(A), Lb = SplitLines(B);
    for (size_t I = 0; I < std::max(La.size(), Lb.size()); ++I) {
        const WideString X = I < La.size() ? La[I] : u"<none>", Y = I < Lb.size() ? Lb[I] : u"<none>";
        if (X != Y)
            return "line " + std::to_string(I + 1) + ":\n  " + U8(X) + "\n  " + U8(Y);
    }
    return "";
}

}  // namespace

TEST(RoundTrip, CorpusPagesReachAFixedPoint)
{
    const std::filesystem::path Corpus = std::filesystem::path(ZV_SOURCE_DIR) / "bench/data/corpus";
    std::vector<std::filesystem::path> Pages;
    for (const auto& Entry : std::filesystem::directory_iterator(Corpus))
        if (Entry.path().extension() == ".html")
            Pages.push_back(Entry.path());
    std::sort(Pages.begin(), Pages.end());
    ASSERT_GE(Pages.size(), 10u);

    for (const auto& Page : Pages) {
        SCOPED_TRACE(Page.filename().string());
        TMemoryStream Bytes, Text;
        Bytes.LoadFromFile(Page.string());
        LoadText(Bytes, Text);
        std::unique_ptr<THtmlRoot> First = ParseHtml(Text);
        const WideString Before = BodyText(First.get());
        const WideString Out1 = Written(First.get());

        std::unique_ptr<THtmlRoot> Second = ParseHtml(Out1);
        const WideString Out2 = Written(Second.get());
        EXPECT_EQ(Out1.size(), Out2.size());
        EXPECT_EQ(FirstDifference(Out1, Out2), "");
        EXPECT_EQ(BodyText(Second.get()), Before);
        EXPECT_FALSE(Before.empty());
        EXPECT_EQ(FirstControl(Out1), "");
    }
}

namespace {

// Written once and read back, the text must write the same again; answers the first tree.
std::unique_ptr<THtmlRoot> FixedPoint(WideStringView Source, WideString* Out = nullptr)
{
    std::unique_ptr<THtmlRoot> First = ParseHtml(Source);
    const WideString Out1 = Written(First.get());
    std::unique_ptr<THtmlRoot> Second = ParseHtml(Out1);
    EXPECT_EQ(FirstDifference(Out1, Written(Second.get())), "") << U8(Source);
    if (Out)
        *Out = Out1;
    return Second;
}

const THtmlText* TextOf(const THtmlTag* Root, THtmlTagId Parent)
{
    const THtmlNode* P = Root->FindChild(Parent, true);
    return P ? dynamic_cast<const THtmlText*>(P->First()) : nullptr;
}

// Several direct children of one kind the parser closes implicitly (li in li and the like):
// the written text cannot rebuild such a tree, whatever the writer does.
bool NestsImplicitlyClosed(const THtmlRoot* Root)
{
    for (const TLinkNode* N = Root->NextInTree(nullptr); N; N = Root->NextInTree(N)) {
        auto* H = dynamic_cast<const THtmlNode*>(N);
        auto* P = dynamic_cast<const THtmlNode*>(N->Parent());
        if (!H || !P)
            continue;
        const THtmlTagId K = H->Kind();
        if ((K == P->Kind() && (K == tagLi || K == tagDd || K == tagDt || K == tagOption || K == tagTd ||
                                K == tagTh || K == tagTr || K == tagTBody || K == tagTHead || K == tagTFoot ||
                                K == tagColGroup)) ||
            ((K == tagP || K == tagDiv) && P->Kind() == tagP))
            return true;
    }
    return false;
}

}  // namespace

TEST(RoundTrip, VerbatimContentAttributesAndTopLevelNodes)
{
    const WideString Script = u"\n  if (a<b && c) { s = \"&amp; </p>\"; }\n\t// done  \n";
    const WideString Style = u" p  {\r\n  color: red }  ";
    WideString Out;
    std::unique_ptr<THtmlRoot> Back = FixedPoint(
        u"<script>var early = 1;</script><html><head><style>" + Style + u"</style></head><body>"
        u"<p>a<script>" + Script + u"</script>b</p>"
        u"<pre><b>a   b</b>\n   c</pre><div><pre>   indented\n</pre></div>"
        u"<p><button onclick='alert(\"x\")' title=\"it's\">x</button>"
        u"<object><param name=autostart value=TRUE><param name=x value></object>"
        u"<input type=checkbox checked></p></body></html><!-- after --><?php end(); ?>",
        &Out);
    EXPECT_EQ(TextOf(Back.get(), tagStyle)->Text, Style);
    auto* P = dynamic_cast<const THtmlTag*>(Back->FindChild(tagP, true));
    EXPECT_EQ(dynamic_cast<const THtmlText*>(P->FindChild(tagScript, false)->First())->Text, Script);
    EXPECT_EQ(dynamic_cast<const THtmlText*>(Back->FindChild(tagB, true)->First())->Text, u"a   b");
    EXPECT_NE(Out.find(u"<pre><b>a   b</b>\n   c</pre>"), WideString::npos);
    EXPECT_NE(Out.find(u"<pre>   indented\n</pre>"), WideString::npos);

    auto* Button = dynamic_cast<const THtmlTag*>(Back->FindChild(tagButton, true));
    EXPECT_EQ(Button->GetAttribute(attrOnClick), u"alert(\"x\")");
    EXPECT_EQ(Button->GetAttribute(attrTitle), u"it's");
    auto* Param = dynamic_cast<const THtmlTag*>(Back->FindChild(tagParam, true));
    EXPECT_EQ(Param->GetAttribute(attrValue), u"TRUE");
    EXPECT_NE(Out.find(u"<param name=\"autostart\" value=\"TRUE\">"), WideString::npos);
    EXPECT_NE(Out.find(u"<input type=\"checkbox\" checked>"), WideString::npos);

    // What the parser leaves at the root stays there, in order.
    std::vector<THtmlTagId> Top;
    for (const TLinkNode* N = Back->First(); N; N = N->Next())
        Top.push_back(dynamic_cast<const THtmlNode*>(N)->Kind());
    EXPECT_EQ(Top, (std::vector<THtmlTagId>{tagScript, tagHtml, tagComment, tagPhp}));
    EXPECT_EQ(TextOf(Back.get(), tagScript)->Text, u"var early = 1;");

    // A value with both kinds of quote settles after one round.
    FixedPoint(u"<object><param name=a value='say \"it&apos;s\"' x=\"1'2\"></object>");
    // Blanks and empty elements that reading back would lose are not written.
    FixedPoint(u"<dl><dt>x</dt><dt><span class=term>\n  <code>-o</code></span></dt></dl>");
    FixedPoint(u"<p>takes place.</p><p>\n</p><pre>\n  code\n</pre><div><p></p></div><h1><</b></s>\t<a>x</a>"
               u"<table><tr><td><select>x<h1> <i>y</i></h1></select></td></tr></table></h1>");
}

TEST(RoundTrip, TagSoupReachesAFixedPoint)
{
    // Random sequences of markup pieces; pre and textarea are left out, since the parser's
    // reading of a textarea closed inside pre cannot be rebuilt from any text.
    static const char16_t* const Pieces[] = {
        u"<p>", u"</p>", u"<div>", u"</div>", u"<b>", u"</b>", u"<i>", u"</i>", u" ", u"  ", u"\n", u"word",
        u"x", u"<br>", u"<hr>", u"<table>", u"<tr>", u"<td>", u"</td>", u"</tr>", u"</table>", u"<ul>",
        u"<li>", u"</ul>", u"<script>", u"</script>", u"var a = 1;", u"<!-- c -->", u"<style>", u"</style>",
        u"<span>", u"</span>", u"<a href=x>", u"</a>", u"<h1>", u"</h1>", u"&amp;", u"\u00e9", u"<dl>",
        u"<dt>", u"<dd>", u"</dl>", u"<select>", u"<option>", u"</select>", u"<blink>", u"</blink>",
        u"<html>", u"<head>", u"<title>", u"</title>", u"<body>", u"</body>", u"<center>", u"</center>",
        u"<form>", u"</form>", u"<input checked>", u"<img src=a>", u"<?php x ?>", u"<font>", u"</font>",
        u"<frameset>", u"<noscript>", u"</noscript>", u"<object>", u"<param name=a value=b>", u"</object>",
        u"\t", u"<", u">", u"<!DOCTYPE html>", u"<del>", u"</del>", u"<address>", u"<blockquote>",
        u"</blockquote>"};
    constexpr size_t Count = sizeof(Pieces) / sizeof(Pieces[0]);
    uint32_t Seed = 12345;
    auto Random = [&Seed](uint32_t Range) {
        Seed = Seed * 1103515245u + 12345u;
        return (Seed >> 8) % Range;
    };
    int Checked = 0;
    for (int Case = 0; Case < 3000; ++Case) {
        WideString Source;
        for (uint32_t I = 0, N = 1 + Random(40); I < N; ++I)
            Source += Pieces[Random(Count)];
        std::unique_ptr<THtmlRoot> First = ParseHtml(Source);
        if (NestsImplicitlyClosed(First.get()))
            continue;
        ++Checked;
        const WideString Out1 = Written(First.get());
        const WideString Out2 = Written(ParseHtml(Out1).get());
        ASSERT_EQ(FirstDifference(Out1, Out2), "") << U8(Source);
        ASSERT_EQ(FirstControl(Out1), "");
    }
    EXPECT_GT(Checked, 2000);
}
