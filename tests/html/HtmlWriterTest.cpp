#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "HtmlUtils.h"
#include "HtmlWriter.h"
#include "Streams.h"
#include "TreeBuilder.h"

using namespace zv;
using namespace zv::test;

namespace {

std::string Doc(THtmlRoot* Root)
{
    TMemoryStream Stream;
    EXPECT_TRUE(WriteDocument(Stream, Root));
    return U8(WideStringView(reinterpret_cast<const char16_t*>(Stream.Memory()),
                             static_cast<size_t>(Stream.Size()) / 2));
}

std::string Html(THtmlNode* Node) { return U8(NodeToHtml(Node)); }

}  // namespace

TEST(HtmlWriter, DocumentLayout)
{
    std::unique_ptr<THtmlRoot> R(Root({
        El(tagHtml, {El(tagHead, {El(tagTitle, {Tx(u"T")})}),
                     El(tagBody, {El(tagP, {Tx(u"Hello "), El(tagB, {Tx(u"world")})})})}),
    }));
    const std::string Expected = U8(Lines({u"<html>", u"  <head>", u"    <title>T</title>", u"  </head>",
                                           u"  <body>", u"    <p>Hello <b>world</b></p>", u"  </body>",
                                           u"</html>"}));
    EXPECT_EQ(Doc(R.get()), Expected);
    // Writing again gives the same text.
    EXPECT_EQ(Doc(R.get()), Expected);

    // The same through the stream writer of one node, and through NodeToHtml.
    TMemoryStream Stream;
    WriteHtml(Stream, R->First() ? static_cast<THtmlNode*>(R->FirstNode()) : nullptr);
    EXPECT_EQ(Stream.Size(), static_cast<int64_t>(Expected.size() * 2));
    EXPECT_EQ(Html(R->FirstNode()), Expected);

    // A td alone: no leading line break, CR LF at the end.
    std::unique_ptr<THtmlTag> Td(El(tagTd, {Tx(u" cell "), El(tagI, {Tx(u"x")})}));
    EXPECT_EQ(Html(Td.get()), "<td>cell <i>x</i></td>\r\n");
    // An inline element alone ends without a line break.
    std::unique_ptr<THtmlTag> B(El(tagB, {Tx(u"bold")}));
    EXPECT_EQ(Html(B.get()), "<b>bold</b>");

    EXPECT_FALSE(WriteDocument(*std::make_unique<TMemoryStream>(), nullptr));
    EXPECT_EQ(NodeToHtml(nullptr), u"");
}

TEST(HtmlWriter, DocTypeLinesAndRootNodes)
{
    const char* Expected[3][2] = {
        {"<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\"",
         " \"http://www.w3.org/TR/html4/loose.dtd\">"},
        {"<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01//EN\"", " \"http://www.w3.org/TR/html4/strict.dtd\">"},
        {"<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Frameset//EN\"",
         " \"http://www.w3.org/TR/html4/frameset.dtd\">"},
    };
    for (int Kind = 0; Kind < 3; ++Kind) {
        auto* DocType = new THtmlDocType;
        DocType->DocKind = static_cast<THtmlDocKind>(Kind);
        std::unique_ptr<THtmlRoot> R(Root({DocType, El(tagHtml, {El(tagBody, {Tx(u"x")})})}));
        EXPECT_EQ(Doc(R.get()), std::string(Expected[Kind][0]) + "\r\n" + Expected[Kind][1] +
                                    "\r\n<html>\r\n  <body>\r\n    x\r\n  </body>\r\n</html>\r\n");
    }

    // Nodes the parser leaves at the root are written in order; blank text there is not.
    std::unique_ptr<THtmlRoot> R(Root({
        Tx(u"<!-- first -->", tagComment),
        El(tagScript, {Tx(u"var a = 1;", tagRawText)}),
        Tx(u" \r\n\t"),
        El(tagHtml, {El(tagBody)}),
        Tx(u"<?php echo 1; ?>", tagPhp),
        Tx(u"<% x %>", tagAsp),
        Tx(u"</blink>", tagUnknown),
        Tx(u"  trailing   words \u00e9 "),
        El(tagImg, {{attrSrc, u"a.gif"}}),
        Tx(u"<!-- last -->", tagComment),
    }));
    EXPECT_EQ(Doc(R.get()), U8(Lines({u"<!-- first -->", u"<script>var a = 1;</script>", u"<html>",
                                      u"  <body></body>", u"</html>", u"<?php echo 1; ?>", u"<% x %>",
                                      u"</blink>", u"trailing words &eacute;", u"<img src=\"a.gif\">",
                                      u"<!-- last -->"})));

    // A root holding only blank text writes nothing.
    std::unique_ptr<THtmlRoot> Blank(Root({Tx(u"  \r\n")}));
    EXPECT_EQ(Doc(Blank.get()), "");
}

TEST(HtmlWriter, WrapsRunningText)
{
    WideString Words;
    for (int I = 0; I < 200; ++I)
        Words += (I ? u" " : u"") + WideString(u"w") + WideString(4, static_cast<char16_t>(u'a' + I % 26));
    std::unique_ptr<THtmlTag> Body(El(tagBody, {El(tagP, {Tx(Words)})}));
    const std::vector<WideString> Out = SplitLines(NodeToHtml(Body.get()));
    ASSERT_GE(Out.size(), 5u);
    EXPECT_EQ(Out.front(), u"  <body>");
    EXPECT_EQ(Out.back(), u"  </body>");
    const std::vector<WideString> Para(Out.begin() + 1, Out.end() - 1);
    ASSERT_EQ(Para.size(), 15u);  // 1199 characters, 80 to a line
    WideString Joined;
    for (size_t I = 0; I < Para.size(); ++I) {
        const WideString& Line = Para[I];
        ASSERT_EQ(Line.substr(0, 4), u"    ") << I;
        ASSERT_NE(Line[4], u' ') << I;
        const size_t Content = Line.size() - 4;
        if (I + 1 < Para.size()) {
            // At least 79 units, and the last word is the one that reached 79.
            EXPECT_GE(Content, 79u) << I;
            EXPECT_LT(Content - 5, 79u) << I;
            EXPECT_NE(Line.back(), u' ') << I;
        }
        Joined += (I ? u" " : u"") + Line.substr(4);
    }
    EXPECT_EQ(Joined, u"<p>" + Words + u"</p>");
    // The first line: "<p>" and 15 words of five letters with their blanks make 92 > 79;
    // 13 words reach 3 + 13 * 6 - 1 = 80.
    EXPECT_EQ(Para[0].size(), 4u + 80u);

    // A long word is never split; the blank before it breaks the line.
    const WideString Long(100, u'x');
    std::unique_ptr<THtmlTag> P(El(tagP, {Tx(u"short " + Long + u" end")}));
    EXPECT_EQ(U8(NodeToHtml(P.get())), "<p>short " + U8(Long) + "\r\nend</p>\r\n");

    // Tags count in the column; text after a break is indented like the first line.
    std::unique_ptr<THtmlTag> Div(El(tagDiv, {El(tagA, {{attrHref, WideString(70, u'h')}}, {Tx(u"link")}),
                                             Tx(u" next words")}));
    EXPECT_EQ(U8(NodeToHtml(Div.get())),
              "<div>\r\n  <a href=\"" + std::string(70, 'h') + "\">link</a>\r\n  next words\r\n</div>\r\n");
}

TEST(HtmlWriter, BreaksAndRulesAndComments)
{
    std::unique_ptr<THtmlTag> P(El(tagP, {Tx(u"a"), El(tagBr), Tx(u"b")}));
    EXPECT_EQ(Html(P.get()), "<p>a<br>\r\nb</p>\r\n");

    std::unique_ptr<THtmlTag> Body(El(tagBody, {Tx(u"a"), El(tagBr), Tx(u"b"),
                                               El(tagP, {Tx(u"x"), El(tagHr), Tx(u"y")})}));
    EXPECT_EQ(Html(Body.get()), U8(Lines({u"  <body>", u"    a<br>b", u"    <p>x", u"    <hr>", u"    y</p>",
                                          u"  </body>"})));

    // A comment inside a paragraph ends its line; inside script and style it starts the line
    // after the start tag, unindented.
    std::unique_ptr<THtmlTag> Div(El(tagDiv, {
        El(tagP, {Tx(u"a "), Tx(u"<!-- c -->", tagComment), Tx(u" b")}),
        El(tagScript, {Tx(u"<!--\r\n  var a;\r\n-->", tagComment)}),
        El(tagStyle, {Tx(u"<!-- p {} -->", tagComment)}),
    }));
    EXPECT_EQ(Html(Div.get()), U8(Lines({u"<div>", u"  <p>a <!-- c -->", u"  b</p>", u"  <script>",
                                         u"<!--\r\n  var a;\r\n-->", u"  </script>", u"  <style>",
                                         u"<!-- p {} -->", u"  </style>", u"</div>"})));

    // Elements of one line inside a cell each get a line of their own, without doubled
    // indentation or blank-only lines for the blanks between them.
    std::unique_ptr<THtmlTag> Tr(El(tagTr, {El(tagTd, {Tx(u" "), El(tagP, {Tx(u"a")}), Tx(u" "),
                                                      El(tagP, {Tx(u"b")}), Tx(u" ")})}));
    EXPECT_EQ(Html(Tr.get()), U8(Lines({u"<tr>", u"  <td>", u"  <p>a</p>", u"  <p>b</p>", u"  </td>", u"</tr>"})));
}

TEST(HtmlWriter, EntitiesOnlyInRunningText)
{
    std::unique_ptr<THtmlTag> Div(El(tagDiv, {
        El(tagP, {{attrTitle, u"caf\u00e9"}}, {Tx(u"caf\u00e9 \u20ac \U0001F600 &amp; \u0080")}),
        Tx(u"<!-- \u00e9 -->", tagComment),
        El(tagPre, {Tx(u"  \u00e9\r\n   x  ")}),
    }));
    EXPECT_EQ(Html(Div.get()), U8(Lines({u"<div>", u"  <p title=\"caf\u00e9\">caf&eacute; &euro; &#x1F600; &amp; &#x0080;</p>",
                                         u"  <!-- \u00e9 -->", u"  <pre>  \u00e9\r\n   x  </pre>", u"</div>"})));
}

TEST(HtmlWriter, Attributes)
{
    auto* Input = El(tagInput, {{attrType, u"checkbox"}, {attrChecked, u"TRUE"}, {attrDisabled, u"TRUE"},
                                {attrValue, u"TRUE"}, {attrName, u""}});
    auto* Param = El(tagParam, {{attrName, u"autostart"}, {attrValue, u"TRUE"}});
    auto* Table = El(tagTable, {{attrBorder, u"TRUE"}}, {El(tagTr, {El(tagTd, {{attrNowrap, u"TRUE"}})})});
    auto* Object = El(tagObject, {{attrClassid, u"x"}});
    Object->SetUnknownAttribute(u"codebase2", u"y");
    Object->SetUnknownAttribute(u"flag", u"");
    Object->SetUnknownAttribute(u"q", u"say \"hi\"");
    auto* Button = El(tagButton, {{attrOnClick, u"alert(\"x\")"}, {attrTitle, u"it's \"both\""},
                                 {attrAlt, u"it's"}});
    std::unique_ptr<THtmlTag> Form(El(tagForm, {Input, Param, Table, Object, Button}));
    EXPECT_EQ(Html(Form.get()),
              U8(Lines({u"<form>", u"  <input type=\"checkbox\" checked disabled value=\"TRUE\">",
                        u"  <param name=\"autostart\" value=\"TRUE\">", u"  <table border=\"TRUE\">",
                        u"    <tr>", u"      <td nowrap></td>", u"    </tr>", u"  </table>",
                        u"  <object classid=\"x\" codebase2=\"y\" flag q='say \"hi\"'></object>",
                        u"  <button onClick='alert(\"x\")' title=\"it's &quot;both&quot;\" alt=\"it's\"></button>",
                        u"</form>"})));
    // The in-memory marker stays.
    EXPECT_EQ(Input->GetAttribute(attrChecked), u"TRUE");
    EXPECT_EQ(Param->GetAttribute(attrValue), u"TRUE");
}

TEST(HtmlWriter, TrimsOneLineElementsInTheTree)
{
    auto* First = Tx(u"  lead");
    auto* Last = Tx(u"tail \r\n");
    auto* Middle = Tx(u" mid ");
    std::unique_ptr<THtmlTag> Li(El(tagLi, {First, El(tagB, {Middle}), El(tagI, {Last})}));
    EXPECT_EQ(Html(Li.get()), "<li>lead<b> mid </b><i>tail</i></li>\r\n");
    EXPECT_EQ(First->Text, u"lead");
    EXPECT_EQ(Middle->Text, u" mid ");
    EXPECT_EQ(Last->Text, u"tail");
    // The trimmed tree writes the same again.
    EXPECT_EQ(Html(Li.get()), "<li>lead<b> mid </b><i>tail</i></li>\r\n");

    // Cells nested in a cell: each trims its own texts.
    auto* Inner = Tx(u"  in  ");
    auto* After = Tx(u"  after  ");
    std::unique_ptr<THtmlTag> Td(El(tagTd, {El(tagTable, {El(tagTr, {El(tagTd, {Inner})})}), After}));
    EXPECT_EQ(Html(Td.get()), U8(Lines({u"<td>", u"<table>", u"  <tr>", u"    <td>in</td>", u"  </tr>",
                                        u"</table>", u"after</td>"})));
    EXPECT_EQ(Inner->Text, u"in");
    EXPECT_EQ(After->Text, u"  after");
}

TEST(HtmlWriter, PreformattedContentIsKeptAtAnyDepth)
{
    auto* Deep = Tx(u"a   b\r\n  c  ");
    auto* Lead = Tx(u"   indented");
    std::unique_ptr<THtmlTag> Div(El(tagDiv, {
        El(tagPre, {El(tagB, {Deep}), El(tagBr), El(tagHr), Tx(u"<!-- c -->", tagComment),
                    El(tagP, {Tx(u" p ")}), Tx(u" \u00e9 ")}),
        El(tagPre, {Lead}),
        El(tagP, {El(tagTextArea, {Tx(u"  one\r\n  two  ")}), Tx(u" after ")}),
    }));
    const std::string Expected =
        U8(Lines({u"<div>", u"  <pre><b>a   b\r\n  c  </b><br><hr><!-- c --><p> p </p> \u00e9 </pre>",
                  u"  <pre>   indented</pre>", u"  <p><textarea>  one\r\n  two  </textarea>after</p>", u"</div>"}));
    EXPECT_EQ(Html(Div.get()), Expected);
    EXPECT_EQ(Deep->Text, u"a   b\r\n  c  ");
    EXPECT_EQ(Lead->Text, u"   indented");
    EXPECT_EQ(Html(Div.get()), Expected);
}

TEST(HtmlWriter, RawScriptAndStyleTextIsWrittenExactly)
{
    const WideString Code = u"\n  if (a < b && c) {\r\n\tx = \"\u00e9\";   }\n";
    std::unique_ptr<THtmlTag> Html_(El(tagHtml, {
        El(tagHead, {El(tagStyle, {{attrType, u"text/css"}}, {Tx(u" p { color: red } ", tagRawText)}),
                     El(tagScript, {{attrSrc, u"x.js"}})}),
        El(tagBody, {El(tagP, {Tx(u"a"), El(tagScript, {Tx(Code, tagRawText)}), Tx(u"b")})}),
    }));
    EXPECT_EQ(Html(Html_.get()),
              U8(Lines({u"<html>", u"  <head>", u"    <style type=\"text/css\"> p { color: red } </style>",
                        u"    <script src=\"x.js\"></script>", u"  </head>", u"  <body>", u"    <p>a",
                        (u"    <script>" + Code + u"</script>").c_str(), u"    b</p>", u"  </body>",
                        u"</html>"})));
}

TEST(HtmlWriter, DeepTreesDoNotExhaustTheStack)
{
    constexpr int Depth = 100000;
    for (THtmlTagId Kind : {tagDiv, tagB, tagTd, tagPre}) {
        std::unique_ptr<THtmlTag> Top(El(Kind));
        THtmlTag* Cur = Top.get();
        for (int I = 1; I < Depth; ++I) {
            auto* Next = El(Kind);
            Cur->AddLast(Next);
            Cur = Next;
        }
        Cur->AddLast(Tx(u" deep "));
        const WideString Out = NodeToHtml(Top.get());
        const std::string Name(TagNameFromId(Kind));
        const WideString Open = Latin1ToUtf16("<" + Name + ">"), Close = Latin1ToUtf16("</" + Name + ">");
        size_t Opens = 0, Closes = 0;
        for (size_t At = 0; (At = Out.find(Open, At)) != WideString::npos; ++At)
            ++Opens;
        for (size_t At = 0; (At = Out.find(Close, At)) != WideString::npos; ++At)
            ++Closes;
        EXPECT_EQ(Opens, size_t(Depth)) << Name;
        EXPECT_EQ(Closes, size_t(Depth)) << Name;
        EXPECT_NE(Out.find(Kind == tagPre ? u"> deep <" : u"deep"), WideString::npos) << Name;
        // Indentation stops growing somewhere, so the output stays linear in the depth.
        EXPECT_LT(Out.size(), size_t(Depth) * 400) << Name;
        EXPECT_EQ(GetPlainText(Top.get(), false), u"deep") << Name;
    }
}

TEST(HtmlWriter, LeavesOutWhatReadingBackWouldLose)
{
    // Empty paragraphs and blocks (also those holding only blanks or other such blocks) are
    // not written; a block left with nothing to write goes on one line.
    std::unique_ptr<THtmlTag> Body(El(tagBody, {
        El(tagP, {Tx(u"kept")}),
        El(tagP, {Tx(u" \r\n")}),
        El(tagDiv, {El(tagP), Tx(u"  "), El(tagCenter, {El(tagH1)})}),
        El(tagObject, {Tx(u" ")}),
        El(tagPre, {Tx(u" ")}),
        El(tagDiv, {El(tagPre)}),
        El(tagB),
    }));
    EXPECT_EQ(Html(Body.get()), U8(Lines({u"  <body>", u"    <p>kept</p>", u"    <object></object>",
                                          u"    <pre> </pre>", u"    <b></b>", u"  </body>"})));
    // The element asked for is written even when empty.
    std::unique_ptr<THtmlTag> P(El(tagP));
    EXPECT_EQ(Html(P.get()), "<p></p>\r\n");

    // A blank right after a line start, tags between or not, and a blank after a blank are
    // left out; so are blanks at the end of a line.
    std::unique_ptr<THtmlTag> Dl(El(tagDl, {
        El(tagDt, {El(tagSpan, {Tx(u" "), El(tagCode, {Tx(u"-o")}), Tx(u" or ")})}),
        El(tagDd, {El(tagB, {Tx(u"x ")}), Tx(u" y"), El(tagBr), El(tagI, {Tx(u" z")}), Tx(u"\t\t"),
                   El(tagP, {Tx(u"p")})}),
    }));
    EXPECT_EQ(Html(Dl.get()), U8(Lines({u"<dl>", u"  <dt>", u"    <span><code>-o</code> or </span>", u"  </dt>",
                                        u"  <dd>", u"    <b>x </b>y<br><i>z</i>", u"    <p>p</p>", u"  </dd>",
                                        u"</dl>"})));

    // Blank-only texts at the end of a one-line element are emptied, and the last text before
    // them loses its trailing blanks.
    auto* Word = Tx(u"word ");
    auto* Tail = Tx(u" ");
    std::unique_ptr<THtmlTag> H1(El(tagH1, {Word, El(tagA, {Tx(u"x")}), El(tagSpan, {Tail})}));
    EXPECT_EQ(Html(H1.get()), "<h1>word <a>x</a><span></span></h1>\r\n");
    EXPECT_EQ(Tail->Text, u"");
    EXPECT_EQ(Word->Text, u"word ");
}
