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


// The text of the tree in runs that blocks and line breaks separate, each with its blanks
// collapsed and trimmed at its ends: within a run, characters that touched still touch and
// a blank stays a blank. Markup shown in the line (inline elements, scripts, comments) does
// not end a run.
std::vector<WideString> TextRuns(const THtmlRoot* Root)
{
    std::vector<WideString> Runs(1);
    auto Split = [&Runs] {
        if (!Runs.back().empty())
            Runs.emplace_back();
    };
    std::vector<const TLinkNode*> Stack{Root->First()};
    while (!Stack.empty()) {
        const TLinkNode* N = Stack.back();
        if (!N) {
            Stack.pop_back();
            if (Stack.empty())
                break;
            const auto* Closed = static_cast<const THtmlNode*>(Stack.back());
            if (!TagIsInline(Closed->Kind()) && !TagRunsInline(Closed->Kind()))
                Split();
            Stack.back() = Stack.back()->Next();
            continue;
        }
        const auto* Node = static_cast<const THtmlNode*>(N);
        const THtmlTagId K = Node->Kind();
        if (const auto* Text = dynamic_cast<const THtmlText*>(Node)) {
            TWordBreaker Words(bmDecode);
            Words.SetText(K == tagText ? WideStringView(Text->Text) : WideStringView());
            while (Words.Next()) {
                if (Words.TokenKind() == tkWord)
                    Runs.back() += Words.TokenView();
                else if (!Runs.back().empty() && Runs.back().back() != u' ')
                    Runs.back() += u' ';
            }
            Stack.back() = N->Next();
            continue;
        }
        if ((!TagIsInline(K) && !TagRunsInline(K)) || K == tagBr || K == tagHr)
            Split();
        if (N->First() && K != tagPre && K != tagTextArea) {
            Stack.push_back(N->First());
            continue;
        }
        Stack.back() = N->Next();
    }
    for (WideString& Run : Runs)
        while (!Run.empty() && Run.back() == u' ')
            Run.pop_back();
    std::erase(Runs, WideString());
    return Runs;
}

// Comments, server blocks and the content of scripts and styles, in document order.
std::vector<WideString> VerbatimTexts(const THtmlRoot* Root)
{
    std::vector<WideString> Texts;
    for (const TLinkNode* N = Root->NextInTree(nullptr); N; N = Root->NextInTree(N))
        if (const auto* Text = dynamic_cast<const THtmlText*>(N); Text && Text->Kind() != tagText && Text->Kind() != tagUnknown)
            Texts.emplace_back(Text->Text);
    return Texts;
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

TEST(RoundTrip, TagSoupReachesAFixedPointAndKeepsBlanksAndVerbatimText)
{
    // Random runs of markup pieces: text that touches markup, blocks inside inline elements,
    // elements of a kind nested through inline ones, pre and textarea, unclosed scripts,
    // frames and DOCTYPEs anywhere.
    static const char16_t* const Pieces[] = {
        u"<p>", u"</p>", u"<div>", u"</div>", u"<b>", u"</b>", u" ", u"\n", u"word", u"x", u"<br>", u"<hr>",
        u"<table>", u"<tr>", u"<td>", u"</td>", u"</table>", u"<ul>", u"<li>", u"</ul>", u"<script>", u"</script>",
        u"var a;", u"<!-- c -->", u"<style>", u"<span>", u"</span>", u"<a href=x>", u"</a>", u"<h1>", u"</h1>",
        u"&amp;", u"\u00e9", u"<dl>", u"<dt>", u"<dd>", u"<select>", u"<option>", u"</select>", u"<blink>",
        u"<html>", u"<head>", u"<title>", u"<body>", u"</body>", u"<center>", u"<form>", u"<input checked>",
        u"<img src=a>", u"<?php x ?>", u"<frameset>", u"<noscript>", u"<object>", u"<param name=a value=b>",
        u"\t", u"<", u">", u"<!DOCTYPE html>", u"<del>", u"<address>", u"<blockquote>", u"</blockquote>",
        u"<pre>", u"</pre>", u"<textarea>", u"</textarea>", u"</br>", u"<h2>", u"</h2>", u"</html>",
        u"<% y %>", u"<button>", u"</button>", u"<marquee>", u"</marquee>", u"<div id=app>",
        u"<p class=\"\">", u"<span data-x=1 aria-label=\"\" @click=f>", u"<script src=a.js />",
        u"s = \"\u2192\";", u"<!--\u4e2d-->", u"<style>p{}</style>", u"</td>", u"<i>", u"</i>",
        u"<noframes>", u"</noframes>", u"<frame src=a>", u"</frameset>", u"</head>", u"<meta name=a>"};
    uint32_t Seed = 12345;
    auto Random = [&Seed](uint32_t Range) { return ((Seed = Seed * 1103515245u + 12345u) >> 8) % Range; };
    for (int Case = 0; Case < 10000; ++Case) {
        WideString Source, Out;
        for (uint32_t I = 0, N = 1 + Random(40); I < N; ++I)
            Source += Pieces[Random(std::size(Pieces))];
        SCOPED_TRACE(U8(Source));
        const std::unique_ptr<THtmlRoot> First = ParseHtml(Source);
        const std::vector<WideString> Runs = TextRuns(First.get()), Raw = VerbatimTexts(First.get());
        Out = Written(First.get());
        std::unique_ptr<THtmlRoot> Second = ParseHtml(Out);
        EXPECT_EQ(FirstDifference(Out, Written(Second.get())), "");
        Second = ParseHtml(Out);
        EXPECT_EQ(TextRuns(Second.get()), Runs);
        EXPECT_EQ(VerbatimTexts(Second.get()), Raw);
        if (HasFailure())
            break;
    }
}

TEST(RoundTrip, OpenAndWriteKeepsWhatThePageShows)
{
    // Source, and a piece the written document holds (the written text read back holds it
    // too, and writing that gives the same text).
    struct TCase {
        const char16_t* Source;
        const char16_t* Written;
    };
    const TCase Cases[] = {
        // Childless elements with attributes stay; empty values and unknown names too.
        {u"<div id=\"app\"></div><div class=\"clearer\"></div><p class=\"spacer\"></p>x",
         u"<div id=\"app\"></div>\r\n    <div class=\"clearer\"></div>\r\n    <p class=\"spacer\"></p>"},
        {u"<input placeholder=\"Name\" role=search aria-label=\"Find\" data-href=\"/x\">",
         u"<input placeholder=\"Name\" role=\"search\" aria-label=\"Find\" data-href=\"/x\">"},
        {u"<a href=\"\">x</a><img alt=\"\" src=\"a.gif\"><input value=\"\">",
         u"<a href=\"\">x</a><img alt=\"\" src=\"a.gif\"><input value=\"\">"},
        {u"<b @click=\"go()\" :href=\"url\" x:y=\"1\">x</b>", u"<b @click=\"go()\" :href=\"url\" x:y=\"1\">x</b>"},
        // DOCTYPEs other than HTML 4.01 as written; those in their canonical lines.
        {u"<!DOCTYPE html>\n<p>x", u"<!DOCTYPE html>\r\n<html>"},
        {u"<!DOCTYPE html SYSTEM \"about:legacy-compat\"><p>x", u"<!DOCTYPE html SYSTEM \"about:legacy-compat\">\r\n"},
        {u"<!doctype html public \"-//W3C//DTD HTML 4.01//EN\"><p>x",
         u"<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01//EN\"\r\n \"http://www.w3.org/TR/html4/strict.dtd\">"},
        // A line break written as an end tag; a heading inside a link.
        {u"<p>a</br>b</p>", u"<p>a<br>\r\n    b</p>"},
        {u"<a href=\"x\"><h2>Title</h2></a>", u"<a href=\"x\">\r\n    <h2>Title</h2>\r\n    </a>"},
        // Nothing comes between text and what it touches.
        {u"<p>a<!--c-->b</p>", u"<p>a<!--c-->b</p>"},
        {u"a<!--c-->b<?php x ?>c<% y %>d<blink>e</blink>f", u"a<!--c-->b<?php x ?>c<% y %>d<blink>e</blink>f"},
        {u"<p>a<script>x()</script>b<button>c</button>d<marquee>e</marquee>f</p>",
         u"<p>a<script>x()</script>b<button>c</button>d<marquee>e</marquee>f</p>"},
        {u"x<script>var s = 1;</script>y", u"x<script>var s = 1;</script>y"},
        // A script with no end tag ahead is empty; the page goes on after it.
        {u"<head><script src=\"a.js\" /><title>T</title></head><p>x</p>",
         u"<script src=\"a.js\"></script>\r\n    <title>T</title>\r\n  </head>\r\n  <body>\r\n    <p>x</p>"},
        // Tag soup written so that it reads back as it was read.
        {u"<p><b><p>x", u"<p><b></b></p>\r\n    <p>x</p>"},
        {u"<ul><li><b><li>x", u"<li><b></b></li>\r\n      <li>x</li>"},
        {u"<table><tr><td><b><td>x", u"<td><b></b></td>\r\n        <td>x</td>"},
        {u"<html><body>a</body></html><title>T</title>b", u"<title>T</title>\r\n  </head>"},
        {u"<html><head></head><style>p{}</style><body>a</body>tail<p>x</p></html>more",
         u"<style>p{}</style>\r\n  </head>\r\n  <body>\r\n    atail\r\n    <p>x</p>\r\n    more"},
        {u"x<pre><pre> </pre><p> ", u"<pre><pre> </pre><p> </p></pre>"},
        // A DOCTYPE or frameset inside a noframes; a head element after the end of the head.
        {u"<noframes><!DOCTYPE html><frameset>", u"<!DOCTYPE html>\r\n<noframes>\r\n  <frameset></frameset>"},
        {u"x<html><t><noframes><frameset>", u"<noframes>\r\n    <frameset></frameset>"},
        {u"x<head></head><noframes><style>p{}</style>", u"<style>p{}</style>\r\n  </head>"},
        {u"x<head><noframes><frameset></head><h2>T", u"x\r\n    <h2>T</h2>"},
        // What a noframes holds stays there, wherever it stands.
        {u"<html><frameset></html><noframes>x<html>y", u"</html>\r\n<noframes>\r\n  x\r\n</noframes>"},
        {u"<html><frameset></html><noframes><object><head>", u"<noframes>\r\n  <object></object>\r\n</noframes>"},
        {u"<head><noframes><p>x</noframes></head>y", u"<noframes>\r\n      <p>x</p>\r\n    </noframes>"},
        // Comments in a head stand on lines of their own, and so does what follows them.
        {u"<head><!--[if IE]><link><![endif]--><!--[if lt IE 9]>\n<script></script>\n<![endif]--><style>p{}</style>",
         u"    <!--[if IE]><link><![endif]-->\r\n    <!--[if lt IE 9]>\n<script></script>\n<![endif]-->\r\n"
         u"    <style>p{}</style>\r\n  </head>"},
        // The blank between a text and a server block or a foreign tag that ends the line shows.
        {u"<h1>Welcome, <?= $name ?></h1><p>Time: <% now %></p><p>a <svg></svg></p>",
         u"<h1>Welcome, <?= $name ?></h1>\r\n    <p>Time: <% now %></p>\r\n    <p>a <svg></svg></p>"},
    };
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(U8(Case.Source));
        WideString Out;
        FixedPoint(Case.Source, Out);
        EXPECT_NE(Out.find(Case.Written), WideString::npos) << U8(Out);
    }
}
