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

// The first line where two texts differ, or empty.
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

bool HasControl(WideStringView Text)
{
    return std::any_of(Text.begin(), Text.end(),
                       [](char16_t C) { return (C < 0x20 && C != u'\r' && C != u'\n' && C != u'\t') || C == 0x7F; });
}

// Parsed, written, parsed and written again, Source gives the same text both times; answers
// the second tree, and the first text in Out.
std::unique_ptr<THtmlRoot> FixedPoint(WideStringView Source, WideString& Out)
{
    Out = Written(ParseHtml(Source).get());
    std::unique_ptr<THtmlRoot> Second = ParseHtml(Out);
    EXPECT_EQ(FirstDifference(Out, Written(Second.get())), "") << U8(Source.substr(0, 200));
    EXPECT_FALSE(HasControl(Out));
    return Second;
}

// The body's plain text without blanks: the writer may move blanks where blocks meet, never
// change the words.
WideString BodyText(THtmlRoot* Root)
{
    const THtmlNode* Body = Root->FindChild(tagBody, true);
    WideString Text = Body ? GetPlainText(Body, false) : WideString();
    std::erase_if(Text, [](char16_t C) { return C <= u' '; });
    return Text;
}

}  // namespace

TEST(RoundTrip, CorpusPagesReachAFixedPoint)
{
    std::vector<std::filesystem::path> Pages;
    for (const auto& Entry : std::filesystem::directory_iterator(std::string(ZV_SOURCE_DIR) + "/bench/data/corpus"))
        if (Entry.path().extension() == ".html")
            Pages.push_back(Entry.path());
    ASSERT_GE(Pages.size(), 10u);
    for (const auto& Page : Pages) {
        SCOPED_TRACE(Page.filename().string());
        TMemoryStream Bytes, Text;
        Bytes.LoadFromFile(Page.string());
        LoadText(Bytes, Text);
        const WideString Source(reinterpret_cast<const char16_t*>(Text.Memory()), static_cast<size_t>(Text.Size()) / 2);
        const WideString Before = BodyText(ParseHtml(Source).get());
        WideString Out;
        std::unique_ptr<THtmlRoot> Back = FixedPoint(Source, Out);
        EXPECT_FALSE(Before.empty());
        EXPECT_EQ(BodyText(Back.get()), Before);
    }
}

TEST(RoundTrip, VerbatimContentAttributesAndTopLevelNodes)
{
    const WideString Script = u"\n  if (a<b && c) { s = \"&amp; </p>\"; }\n\t// done  \n";
    WideString Out;
    std::unique_ptr<THtmlRoot> Back = FixedPoint(
        u"<script>var early = 1;</script><html><body><p>a<script>" + Script +
            u"</script>b<button onclick='alert(\"x\")' title=\"it's\">x</button></p></body></html><!-- after -->",
        Out);
    auto* P = static_cast<const THtmlTag*>(Back->FindChild(tagP, true));
    EXPECT_EQ(static_cast<const THtmlText*>(P->FindChild(tagScript, false)->First())->Text, Script);
    auto* Button = static_cast<const THtmlTag*>(Back->FindChild(tagButton, true));
    EXPECT_EQ(Button->GetAttribute(attrOnClick), u"alert(\"x\")");
    EXPECT_EQ(Button->GetAttribute(attrTitle), u"it's");
    std::vector<THtmlTagId> Top;
    for (const TLinkNode* N = Back->First(); N; N = N->Next())
        Top.push_back(static_cast<const THtmlNode*>(N)->Kind());
    EXPECT_EQ(Top, (std::vector<THtmlTagId>{tagScript, tagHtml, tagComment}));

    // Quotes of both kinds; blanks and empty blocks that reading back would lose.
    for (const char16_t* Source :
         {u"<object><param name=a value='say \"it&apos;s\"' x=\"1'2\"></object>",
          u"<dl><dt>x</dt><dt><span class=term>\n  <code>-o</code></span></dt></dl>",
          u"<p>takes place.</p><p>\n</p><pre>\n  code\n</pre><div><p></p></div><h1><</b></s>\t<a>x</a>"
          u"<table><tr><td><select>x<h1> <i>y</i></h1></select></td></tr></table></h1>"})
        FixedPoint(Source, Out);
}

TEST(RoundTrip, TagSoupReachesAFixedPoint)
{
    // Random runs of markup pieces. Pre and textarea are left out: the parser's reading of a
    // textarea closed inside pre cannot be rebuilt from any text.
    static const char16_t* const Pieces[] = {
        u"<p>", u"</p>", u"<div>", u"</div>", u"<b>", u"</b>", u" ", u"\n", u"word", u"x", u"<br>", u"<hr>",
        u"<table>", u"<tr>", u"<td>", u"</td>", u"</table>", u"<ul>", u"<li>", u"</ul>", u"<script>", u"</script>",
        u"var a;", u"<!-- c -->", u"<style>", u"<span>", u"</span>", u"<a href=x>", u"</a>", u"<h1>", u"</h1>",
        u"&amp;", u"\u00e9", u"<dl>", u"<dt>", u"<dd>", u"<select>", u"<option>", u"</select>", u"<blink>",
        u"<html>", u"<head>", u"<title>", u"<body>", u"</body>", u"<center>", u"<form>", u"<input checked>",
        u"<img src=a>", u"<?php x ?>", u"<frameset>", u"<noscript>", u"<object>", u"<param name=a value=b>",
        u"\t", u"<", u">", u"<!DOCTYPE html>", u"<del>", u"<address>", u"<blockquote>", u"</blockquote>"};
    uint32_t Seed = 12345;
    auto Random = [&Seed](uint32_t Range) { return ((Seed = Seed * 1103515245u + 12345u) >> 8) % Range; };
    int Checked = 0;
    for (int Case = 0; Case < 3000; ++Case) {
        WideString Source, Out;
        for (uint32_t I = 0, N = 1 + Random(40); I < N; ++I)
            Source += Pieces[Random(std::size(Pieces))];
        // Where the parser nested an element in one of its own kind that it closes implicitly
        // (li in li and the like), no text can rebuild the tree.
        const std::unique_ptr<THtmlRoot> First = ParseHtml(Source);
        bool Rebuildable = true;
        for (const TLinkNode* N = First->NextInTree(nullptr); N && Rebuildable; N = First->NextInTree(N)) {
            const THtmlTagId K = static_cast<const THtmlNode*>(N)->Kind(), P = static_cast<const THtmlNode*>(N->Parent())->Kind();
            Rebuildable = !((K == P && (K == tagLi || K == tagDd || K == tagDt || K == tagOption || K == tagTd || K == tagTr)) ||
                            ((K == tagP || K == tagDiv) && P == tagP));
        }
        if (!Rebuildable)
            continue;
        ++Checked;
        FixedPoint(Source, Out);
        if (HasFailure())
            break;
    }
    EXPECT_GT(Checked, 2000);
}
