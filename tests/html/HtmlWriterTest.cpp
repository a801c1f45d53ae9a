#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "HtmlConv.h"
#include "HtmlParser.h"
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
    return U8(WideStringView(reinterpret_cast<const char16_t*>(Stream.Memory()), static_cast<size_t>(Stream.Size()) / 2));
}

std::string Html(THtmlNode* Node) { return U8(NodeToHtml(Node)); }

// A stream that only collects what is written: not a memory stream, so nothing is sized for it.
class TSinkStream : public TStream {
public:
    int64_t Read(void*, int64_t) override { return 0; }
    int64_t Write(const void* Buffer, int64_t Count) override
    {
        Bytes.append(static_cast<const char*>(Buffer), static_cast<size_t>(Count));
        return Count;
    }
    int64_t Seek(int64_t, TSeekOrigin) override { return static_cast<int64_t>(Bytes.size()); }
    void SetSize(int64_t) override {}

    std::string Bytes;
};

}  // namespace

TEST(HtmlWriter, DocumentLayout)
{
    std::unique_ptr<THtmlRoot> R(Root({El(tagHtml, {El(tagHead, {El(tagTitle, {Tx(u"T")})}),
                                                    El(tagBody, {El(tagP, {Tx(u"Hello "), El(tagB, {Tx(u"world")})})})})}));
    const std::string Expected = Lines({u"<html>", u"  <head>", u"    <title>T</title>", u"  </head>", u"  <body>",
                                        u"    <p>Hello <b>world</b></p>", u"  </body>", u"</html>"});
    EXPECT_EQ(Doc(R.get()), Expected);
    EXPECT_EQ(Doc(R.get()), Expected);
    EXPECT_EQ(Html(R->FirstNode()), Expected);

    // A cell alone has no leading line break; an inline element alone no trailing one.
    std::unique_ptr<THtmlTag> Td(El(tagTd, {Tx(u" cell "), El(tagI, {Tx(u"x")})}));
    EXPECT_EQ(Html(Td.get()), "<td>cell <i>x</i></td>\r\n");
    std::unique_ptr<THtmlTag> B(El(tagB, {Tx(u"bold")}));
    EXPECT_EQ(Html(B.get()), "<b>bold</b>");
    TMemoryStream Stream;
    EXPECT_FALSE(WriteDocument(Stream, nullptr));
}

TEST(HtmlWriter, DocTypeLinesAndTopLevelNodes)
{
    const char* Expected[3] = {
        "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\"\r\n \"http://www.w3.org/TR/html4/loose.dtd\">",
        "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01//EN\"\r\n \"http://www.w3.org/TR/html4/strict.dtd\">",
        "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Frameset//EN\"\r\n \"http://www.w3.org/TR/html4/frameset.dtd\">"};
    for (int Kind = 0; Kind < 3; ++Kind) {
        auto* DocType = new THtmlDocType;
        DocType->DocKind = static_cast<THtmlDocKind>(Kind);
        std::unique_ptr<THtmlRoot> R(Root({DocType, El(tagHtml, {El(tagBody, {Tx(u"x")})})}));
        EXPECT_EQ(Doc(R.get()), std::string(Expected[Kind]) + "\r\n<html>\r\n  <body>\r\n    x\r\n  </body>\r\n</html>\r\n");
    }

    // Whatever stands at the top level is written in order, except text of blanks only.
    std::unique_ptr<THtmlRoot> R(Root({
        Tx(u"<!-- first -->", tagComment), El(tagScript, {Tx(u"var a = 1;", tagRawText)}), Tx(u" \r\n\t"),
        El(tagHtml, {El(tagBody)}), Tx(u"<?php echo 1; ?>", tagPhp), Tx(u"<% x %>", tagAsp),
        Tx(u"</blink>", tagUnknown), Tx(u"  trailing   words \u00e9 "), El(tagImg, {{attrSrc, u"a.gif"}}),
        Tx(u"<!-- last -->", tagComment),
    }));
    EXPECT_EQ(Doc(R.get()), Lines({u"<!-- first -->", u"<script>var a = 1;</script>", u"<html>", u"  <body></body>",
                                   u"</html>", u"<?php echo 1; ?>", u"<% x %>", u"</blink>", u"trailing words &eacute;",
                                   u"<img src=\"a.gif\">", u"<!-- last -->"}));
    std::unique_ptr<THtmlRoot> Blank(Root({Tx(u"  \r\n")}));
    EXPECT_EQ(Doc(Blank.get()), "");
}

TEST(HtmlWriter, WrapsRunningText)
{
    WideString Words;
    for (int I = 0; I < 200; ++I)
        Words += (I ? u" w" : u"w") + WideString(4, static_cast<char16_t>(u'a' + I % 26));
    std::unique_ptr<THtmlTag> Body(El(tagBody, {El(tagP, {Tx(Words)})}));
    const std::vector<WideString> Out = SplitLines(NodeToHtml(Body.get()));
    ASSERT_EQ(Out.size(), 17u);  // "<p>", the words and "</p>": 1206 units, about 80 to a line
    WideString Joined;
    for (size_t I = 1; I + 1 < Out.size(); ++I) {
        ASSERT_EQ(Out[I].substr(0, 4), u"    ");
        ASSERT_NE(Out[I][4], u' ');
        // Every line but the last ends with the word that took it to 79 units or more.
        if (I + 2 < Out.size()) {
            EXPECT_TRUE(Out[I].size() - 4 >= 79 && Out[I].size() - 4 - 6 < 79) << I;
        }
        Joined += (I > 1 ? u" " : u"") + Out[I].substr(4);
    }
    EXPECT_EQ(Joined, u"<p>" + Words + u"</p>");

    // A blank breaks the line once 79 units stand on it, not before.
    std::unique_ptr<THtmlTag> P79(El(tagP, {Tx(WideString(76, u'a') + u" b")}));
    EXPECT_EQ(Html(P79.get()), "<p>" + std::string(76, 'a') + "\r\nb</p>\r\n");
    std::unique_ptr<THtmlTag> P78(El(tagP, {Tx(WideString(75, u'a') + u" b")}));
    EXPECT_EQ(Html(P78.get()), "<p>" + std::string(75, 'a') + " b</p>\r\n");
    // A long word stays whole; tags count in the column; each line is indented alike.
    std::unique_ptr<THtmlTag> P(El(tagP, {Tx(u"short " + WideString(100, u'x') + u" end")}));
    EXPECT_EQ(Html(P.get()), "<p>short " + std::string(100, 'x') + "\r\nend</p>\r\n");
    std::unique_ptr<THtmlTag> Div(El(tagDiv, {El(tagA, {{attrHref, WideString(70, u'h')}}, {Tx(u"link")}), Tx(u" next")}));
    EXPECT_EQ(Html(Div.get()), "<div>\r\n  <a href=\"" + std::string(70, 'h') + "\">link</a>\r\n  next\r\n</div>\r\n");
}

TEST(HtmlWriter, LineBreaksCommentsAndEntities)
{
    std::unique_ptr<THtmlTag> Body(El(tagBody, {
        Tx(u"a"), El(tagBr), Tx(u"b"),
        El(tagP, {Tx(u"a"), El(tagBr), Tx(u"b"), El(tagHr), Tx(u"c "), Tx(u"<!-- c -->", tagComment), Tx(u" d")}),
        El(tagScript, {Tx(u"<!--\r\n  var a;\r\n-->", tagComment)}),
        El(tagStyle, {Tx(u"<!-- p {} -->", tagComment)}),
        El(tagP, {{attrTitle, u"caf\u00e9"}}, {Tx(u"caf\u00e9 \u20ac \U0001F600 &amp; \u0080")}),
        Tx(u"<!-- \u00e9 -->", tagComment),
        // Cells hold one-line elements on lines of their own, without doubled indentation.
        El(tagTr, {El(tagTd, {Tx(u" "), El(tagP, {Tx(u"a")}), Tx(u" "), El(tagP, {Tx(u"b")}), Tx(u" ")})}),
    }));
    EXPECT_EQ(Html(Body.get()),
              Lines({u"  <body>", u"    a<br>b", u"    <p>a<br>", u"    b", u"    <hr>", u"    c <!-- c -->d</p>",
                     u"    <script>", u"<!--\r\n  var a;\r\n-->", u"    </script>", u"    <style>", u"<!-- p {} -->",
                     u"    </style>", u"    <p title=\"caf\u00e9\">caf&eacute; &euro; &#x1F600; &amp; &#x0080;</p>",
                     u"    <!-- \u00e9 -->", u"    <tr>", u"      <td>", u"      <p>a</p>", u"      <p>b</p>",
                     u"      </td>", u"    </tr>", u"  </body>"}));
}

TEST(HtmlWriter, Attributes)
{
    auto* Input = El(tagInput, {{attrType, u"checkbox"}, {attrChecked, u"TRUE"}, {attrValue, u"TRUE"}, {attrName, u""}});
    auto* Param = El(tagParam, {{attrName, u"autostart"}, {attrValue, u"TRUE"}});
    auto* Td = El(tagTd, {{attrNowrap, u"TRUE"}, {attrWidth, u"TRUE"}});
    auto* Object = El(tagObject, {{attrClassid, u"x"}});
    Object->SetUnknownAttribute(u"codebase2", u"y");
    Object->SetUnknownAttribute(u"flag", u"");
    Object->SetUnknownAttribute(u"q", u"say \"hi\"");
    auto* Button = El(tagButton, {{attrOnClick, u"alert(\"x\")"}, {attrTitle, u"it's \"both\""}, {attrAlt, u"it's"}});
    std::unique_ptr<THtmlTag> Form(El(tagForm, {Input, Param, Td, Object, Button}));
    EXPECT_EQ(Html(Form.get()),
              Lines({u"<form>", u"  <input type=\"checkbox\" checked value=\"TRUE\">",
                     u"  <param name=\"autostart\" value=\"TRUE\">", u"  <td nowrap width=\"TRUE\"></td>",
                     // Touching, the object and the button stay in one line.
                     u"  <object classid=\"x\" codebase2=\"y\" flag q='say \"hi\"'></object>"
                     u"<button onClick='alert(\"x\")' title=\"it's &quot;both&quot;\" alt=\"it's\"></button>",
                     u"</form>"}));
    EXPECT_EQ(Input->GetAttribute(attrChecked), u"TRUE");

    // A server block begun in a value and not ended there gets its "<" as a reference, so that
    // read again it cannot take in the text after the tag up to a later end.
    std::unique_ptr<THtmlRoot> Page = ParseHtml(u"<p>x</p>");
    auto* P = static_cast<THtmlTag*>(Page->EnsureBody()->FirstNode());
    P->SetAttribute(attrTitle, u"a<?b <?= $c ?> <%d");
    P->AddLast(new THtmlText(tagText, u"\"e %>\""));
    const WideString Once = NodeToHtml(Page.get());
    EXPECT_NE(Once.find(u"title=\"a<?b <?= $c ?> &lt;%d\">"), WideString::npos) << U8(Once);
    EXPECT_EQ(NodeToHtml(ParseHtml(Once).get()), Once);
}

TEST(HtmlWriter, TrimsTheTreeAndLeavesOutBlanksThatReadingBackWouldLose)
{
    auto* Lead = Tx(u"  lead");
    auto* Middle = Tx(u" mid ");
    auto* Last = Tx(u"tail \r\n");
    auto* Inner = Tx(u"  in  ");
    auto* After = Tx(u"  after  ");
    auto* Blank = Tx(u" ");
    std::unique_ptr<THtmlTag> Ul(El(tagUl, {
        El(tagLi, {Lead, El(tagB, {Middle}), El(tagI, {Last})}),
        El(tagLi, {El(tagTable, {El(tagTr, {El(tagTd, {Inner})})}), After}),
        El(tagLi, {Tx(u"word "), El(tagA, {Tx(u"x")}), El(tagSpan, {Blank})}),
        // Empty blocks are written as they are (they show: an empty paragraph takes room).
        El(tagP, {Tx(u" \r\n")}), El(tagDiv, {El(tagP), Tx(u"  "), El(tagCenter, {El(tagH1)})}),
        El(tagObject, {Tx(u" ")}), El(tagPre, {Tx(u" ")}), El(tagB),
        // A blank after a line start (tags between or not) or after a blank is left out.
        El(tagDl, {El(tagDt, {El(tagSpan, {Tx(u" "), El(tagCode, {Tx(u"-o")}), Tx(u" or ")})}),
                   El(tagDd, {El(tagB, {Tx(u"x ")}), Tx(u" y"), El(tagBr), El(tagI, {Tx(u" z")}), Tx(u"\t\t")})}),
    }));
    const std::string Expected =
        Lines({u"<ul>", u"  <li>lead<b> mid </b><i>tail</i></li>", u"  <li>", u"  <table>", u"    <tr>",
               u"      <td>in</td>", u"    </tr>", u"  </table>", u"  after</li>", u"  <li>word <a>x</a><span></span></li>",
               u"  <p></p>", u"  <div>", u"    <p></p>", u"    <center>", u"      <h1></h1>", u"    </center>", u"  </div>",
               u"  <object></object>", u"  <pre> </pre>", u"  <b></b>", u"  <dl>", u"    <dt>",
               u"      <span><code>-o</code> or </span>", u"    </dt>", u"    <dd>", u"      <b>x </b>y<br><i>z</i>",
               u"    </dd>", u"  </dl>", u"</ul>"});
    EXPECT_EQ(Html(Ul.get()), Expected);
    EXPECT_EQ(Html(Ul.get()), Expected);
    EXPECT_EQ(Lead->Text, u"lead");
    EXPECT_EQ(Middle->Text, u" mid ");
    EXPECT_EQ(Last->Text, u"tail");
    EXPECT_EQ(Inner->Text, u"in");
    EXPECT_EQ(After->Text, u"  after");
    EXPECT_EQ(Blank->Text, u"");
    std::unique_ptr<THtmlTag> P(El(tagP));
    EXPECT_EQ(Html(P.get()), "<p></p>\r\n");
}

TEST(HtmlWriter, WritesTheBlankAfterAnElementThatShows)
{
    std::unique_ptr<THtmlTag> Body(El(tagBody, {El(tagP, {
        Tx(u"a "), El(tagImg), Tx(u" b "), El(tagInput), Tx(u"c"), El(tagSpan), Tx(u" d "),
        El(tagTextArea, {Tx(u"t")}), Tx(u" e "), El(tagA), Tx(u" f "), El(tagBr), Tx(u" g")})}));
    // Read back, the written text gives the same tree again.
    const std::string Expected =
        Lines({u"  <body>", u"    <p>a <img> b <input>c<span></span> d <textarea>t</textarea> e <a></a>f <br>",
               u"    g</p>", u"  </body>"});
    EXPECT_EQ(Html(Body.get()), Expected);
    const std::unique_ptr<THtmlRoot> Back = ParseHtml(Utf8ToUtf16(Expected));
    EXPECT_EQ(Html(Back->FindChild(tagBody, true)), Expected);
    const THtmlNode* Img = Back->FindChild(tagImg, true);
    auto* After = Img ? dynamic_cast<const THtmlText*>(Img->Next()) : nullptr;
    ASSERT_TRUE(After);
    EXPECT_EQ(After->Text, u" b ");

    // A line's first and last texts keep the blanks that stand next to such an element.
    auto* Between = Tx(u" x ");
    auto* End = Tx(u" \r\n");
    std::unique_ptr<THtmlTag> Li(El(tagLi, {El(tagImg), Between, El(tagSpan, {Tx(u" y ")}), El(tagInput), End}));
    EXPECT_EQ(Html(Li.get()), "<li><img> x <span>y </span><input></li>\r\n");
    EXPECT_EQ(Between->Text, u" x ");
    EXPECT_EQ(End->Text, u"");
    std::unique_ptr<THtmlTag> P(El(tagP, {El(tagTextArea), Tx(u" b "), El(tagBr), Tx(u" c ")}));
    EXPECT_EQ(Html(P.get()), "<p><textarea></textarea> b <br>\r\nc</p>\r\n");
}

TEST(HtmlWriter, PreformattedAndRawContentIsWrittenExactly)
{
    auto* Deep = Tx(u"a   b\r\n  c  ");
    auto* Lead = Tx(u"   indented");
    const WideString Code = u"\n  if (a < b && c) {\r\n\tx = \"\u00e9\";   }\n";
    std::unique_ptr<THtmlTag> Div(El(tagDiv, {
        El(tagPre, {El(tagB, {Deep}), El(tagBr), El(tagHr), Tx(u"<!-- c -->", tagComment), El(tagP, {Tx(u" p ")}),
                    Tx(u" \u00e9 ")}),
        El(tagPre, {Lead}),
        El(tagP, {El(tagTextArea, {Tx(u"  one\r\n  two  ")}), Tx(u" after ")}),
        El(tagStyle, {{attrType, u"text/css"}}, {Tx(u" p { color: red } ", tagRawText)}),
        El(tagP, {Tx(u"a"), El(tagScript, {Tx(Code, tagRawText)}), Tx(u"b")}),
        El(tagScript, {{attrSrc, u"x.js"}}),
    }));
    const std::string Expected =
        Lines({u"<div>", u"  <pre><b>a   b\r\n  c  </b><br><hr><!-- c --><p> p </p> \u00e9 </pre>",
               u"  <pre>   indented</pre>", u"  <p><textarea>  one\r\n  two  </textarea> after</p>",
               u"  <style type=\"text/css\"> p { color: red } </style>", 
               u"  <p>a<script>" + Code + u"</script>b</p>", u"  <script src=\"x.js\"></script>", u"</div>"});
    EXPECT_EQ(Html(Div.get()), Expected);
    EXPECT_EQ(Html(Div.get()), Expected);
    EXPECT_EQ(Deep->Text, u"a   b\r\n  c  ");
    EXPECT_EQ(Lead->Text, u"   indented");
}

TEST(HtmlWriter, DeepTreesDoNotExhaustTheStack)
{
    constexpr size_t Depth = 100000;
    for (THtmlTagId Kind : {tagDiv, tagB, tagTd, tagPre}) {
        std::unique_ptr<THtmlTag> Top(El(Kind));
        THtmlTag* Cur = Top.get();
        for (size_t I = 1; I < Depth; ++I)
            Cur->AddLast(El(Kind)), Cur = static_cast<THtmlTag*>(Cur->Last());
        Cur->AddLast(Tx(u" deep "));
        const WideString Out = NodeToHtml(Top.get());
        const std::string Name(TagNameFromId(Kind));
        size_t Closes = 0;
        for (size_t At = 0; (At = Out.find(Latin1ToUtf16("</" + Name + ">"), At)) != WideString::npos; ++At)
            ++Closes;
        EXPECT_EQ(Closes, Depth) << Name;
        EXPECT_NE(Out.find(Kind == tagPre ? u"> deep <" : u"deep"), WideString::npos) << Name;
        // Indentation stops growing at some depth, so the output stays linear in the depth.
        EXPECT_LT(Out.size(), Depth * 400) << Name;
        EXPECT_LE(Out.capacity(), Out.size() + Out.size() / 16) << Name;
        EXPECT_EQ(GetPlainText(Top.get(), false), u"deep") << Name;
    }
}

TEST(HtmlWriter, OutputIsTheSameWhereverItGoes)
{
    // Pieces longer than the output buffer, many short ones, text with references, and
    // characters above U+00FF outside text.
    std::unique_ptr<THtmlRoot> R(Root({new THtmlDocType, El(tagHtml, {El(tagBody)})}));
    THtmlTag* Body = R->EnsureBody();
    Body->AddLast(Tx(u"<!--" + WideString(3000, u'c') + u"-->", tagComment));
    Body->AddLast(El(tagPre, {Tx(WideString(5000, u'p'))}));
    Body->AddLast(El(tagP, {Tx(WideString(3000, u'\u03d1'))}));
    THtmlTag* List = El(tagUl);
    Body->AddLast(List);
    for (int I = 0; I < 400; ++I)
        List->AddLast(El(tagLi, {{attrTitle, u"\u20ac" + IntToWide(I)}}, {Tx(u"item " + IntToWide(I) + u" of the list ")}));

    TMemoryStream Memory;
    ASSERT_TRUE(WriteDocument(Memory, R.get()));
    const std::string Written(reinterpret_cast<const char*>(Memory.Memory()), static_cast<size_t>(Memory.Size()));
    // Gathered and handed over in one piece: sized exactly.
    EXPECT_EQ(Memory.Bytes().capacity(), Memory.Bytes().size());

    TSinkStream Sink;
    ASSERT_TRUE(WriteDocument(Sink, R.get()));
    EXPECT_EQ(Sink.Bytes, Written);
    const WideString Text = NodeToHtml(R.get());
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(Text.data()), Text.size() * 2), Written);
    EXPECT_NE(Text.find(u"<p>&thetasym;&thetasym;"), WideString::npos);

    TMemoryStream After;
    After.WriteBuffer("ab", 2);
    WriteHtml(After, R.get());
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(After.Memory()), static_cast<size_t>(After.Size())), "ab" + Written);

    // Written one byte per character, it is what SaveText makes of the text, and it tells
    // whether a character needed a reference; written in UTF-8, what SaveTextUtf8 makes of it
    // (pairs of surrogates across the pieces it is handed on in, and lone ones too).
    THtmlTag* Split = El(tagP);
    for (int I = 0; I < 1500; ++I) {
        Split->AddLast(Tx(I % 3 ? u"ab\xD83D" : u"a\xD800", tagComment));
        Split->AddLast(Tx(I % 5 ? u"\xDE00 c" : u"\xDC00" u"b d", tagComment));
    }
    Split->AddLast(Tx(u"\xD83D", tagComment));
    THtmlRoot* Latin = Root({El(tagP, {Tx(u"caf\u00e9 au lait")})});
    for (THtmlRoot* Page : {R.get(), Latin, Root({Split})}) {
        TMemoryStream Text, Want, Bytes, WantUtf8, Utf8;
        WriteDocument(Text, Page);
        Text.SetPosition(0);
        SaveText(Text, Want);
        Text.SetPosition(0);
        SaveTextUtf8(Text, WantUtf8);
        bool Wide = false;
        ASSERT_TRUE(WriteDocumentLatin1(Bytes, Page, Wide));
        EXPECT_EQ(Bytes.Bytes(), Want.Bytes());
        EXPECT_EQ(Wide, Page != Latin);
        ASSERT_TRUE(WriteDocumentUtf8(Utf8, Page));
        EXPECT_EQ(Utf8.Bytes(), WantUtf8.Bytes());
        if (Page != R.get())
            delete Page;
    }
}

TEST(HtmlWriter, SizesItsOutputCloseToWhatItWrites)
{
    auto Repeat = [](const std::string& S, int Count) {
        std::string Out;
        for (int I = 0; I < Count; ++I)
            Out += S;
        return Out;
    };
    const std::string Words = Repeat("lorem ipsum <b>dolor</b> sit amet, ", 300);
    const std::string Pages[] = {
        "<p>" + Words + "</p>" + Repeat("<p>" + Words.substr(0, 500) + "</p>\n", 20),
        Repeat("<table border=1><tr><td align=right>a</td><td><a href='x.html'>b</a></td></tr>", 30) + Repeat("</table>", 30),
        Repeat("<div class=\"d\">", 400) + "deep text " + Repeat("</div>", 400),
        "<pre>" + Repeat("  code();\r\n", 500) + "</pre><script>" + Repeat("var a = 1;\n", 300) + "</script>",
        "<dl>" + Repeat("<dt>term<dd><a href=#a>x</a><br><a href=#b>y</a><br>", 200) + "</dl>",
        "<p>" + Repeat("line of text<br>\n", 300) + "<!-- " + Repeat("c", 3000) + " --></p>",
        "<p>" + Repeat("caf\xc3\xa9 \xe4\xb8\xad\xe6\x96\x87 \xc2\xa0 ", 500) + "</p>",
    };
    for (const std::string& Page : Pages) {
        std::unique_ptr<THtmlRoot> R = ParseHtml(Utf8ToUtf16(Page));
        TMemoryStream Stream;
        WriteDocument(Stream, R.get());
        const size_t Size = Stream.Bytes().size(), Capacity = Stream.Bytes().capacity();
        EXPECT_GE(Capacity, Size);
        EXPECT_EQ(Capacity, Size) << Page.substr(0, 60);
    }
}
