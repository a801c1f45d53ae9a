#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "HtmlParser.h"
#include "HtmlWriter.h"

using namespace zv;

namespace {

// The tree as compact text: elements by name with [attributes] and (children), texts quoted
// with a kind letter before the quote (none for plain text), DOCTYPE with its kind.
std::string Dump(const TLinkNode* Node);

std::string DumpChildren(const TLinkNode* Node)
{
    std::string Out;
    for (const TLinkNode* C = Node->First(); C; C = C->Next())
        Out += (Out.empty() ? "" : ",") + Dump(C);
    return Out;
}

std::string Dump(const TLinkNode* Node)
{
    if (auto* DocType = dynamic_cast<const THtmlDocType*>(Node))
        return "!DOCTYPE" + std::to_string(DocType->DocKind) +
               (DocType->Text.empty() ? "" : "\"" + Utf16ToUtf8(DocType->Text) + "\"");
    if (auto* Text = dynamic_cast<const THtmlText*>(Node)) {
        // Kinds -1 (unknown tag) down to -8 (raw content); plain text has no letter.
        const int Kind = std::clamp(-Text->Kind(), 1, 8);
        const std::string Mark = Kind == -tagText ? "" : std::string(1, "UCPA...R"[Kind - 1]);
        return Mark + "\"" + Utf16ToUtf8(Text->Text) + "\"";
    }
    auto* Tag = dynamic_cast<const THtmlTag*>(Node);
    if (!Tag)
        return "?";
    std::string Out(TagNameFromId(Tag->Kind()));
    if (Tag->GetAttributeCount() > 0) {
        Out += "[";
        for (int I = 0; I < Tag->GetAttributeCount(); ++I) {
            const THtmlAttrId Id = Tag->GetAttributeId(I);
            Out += I ? " " : "";
            if (Id >= 0)
                Out += std::string(AttrNameFromId(Id)) + "=";
            Out += Utf16ToUtf8(Tag->GetAttributeByIndex(I));
        }
        Out += "]";
    }
    if (Node->First())
        Out += "(" + DumpChildren(Node) + ")";
    return Out;
}

std::string Parsed(std::string_view Utf8)
{
    return DumpChildren(ParseHtml(Utf8ToUtf16(Utf8)).get());
}

// The message of the exception that parsing raises, or "" when it succeeds.
std::string ParseError(std::string_view Utf8)
{
    try {
        ParseHtml(Utf8ToUtf16(Utf8));
    } catch (const Exception& E) {
        return E.Message();
    }
    return "";
}

}  // namespace

TEST(HtmlParser, PlacesElementsIntoTheFrame)
{
    EXPECT_EQ(Parsed(""), "");
    EXPECT_EQ(Parsed("hello"), "html(body(\"hello\"))");
    EXPECT_EQ(Parsed("<html>a"), "html(body(\"a\"))");
    EXPECT_EQ(Parsed("<title>T</title><p>x"), "html(head(title(\"T\")),body(p(\"x\")))");
    // A head made after the body still comes first; text straight in head is dropped while
    // there is no body, and goes back to the body once there is one.
    EXPECT_EQ(Parsed("<head>junk<title>T</title>"), "html(head(title(\"T\")))");
    EXPECT_EQ(Parsed("<body><p>x</p><head>more<title>T</title>"),
              "html(head(title(\"T\")),body(p(\"x\"),\"more\"))");
    EXPECT_EQ(Parsed("<body><style>p{}</style>Hello<b>x</b>"),
              "html(head(style(R\"p{}\")),body(\"Hello\",b(\"x\")))");
    // Before any frame tag, scripts, comments and framesets stay on the root.
    EXPECT_EQ(Parsed("<script>var a=1;</script>hi"),
              "script(R\"var a=1;\"),html(body(\"hi\"))");
    EXPECT_EQ(Parsed("<!-- c --><html><p>x"), "C\"<!-- c -->\",html(body(p(\"x\")))");
    EXPECT_EQ(Parsed("<frameset cols=50%,*><frame src=a></frameset>"),
              "frameset[cols=50%,*](frame[src=a])");
    EXPECT_EQ(Parsed("<body>x<frameset><frame>"), "html(body(\"x\"),frameset(frame))");
    // Blanks between the sections make no body, which would hide the frames in a browser; a
    // body inside noframes stays there.
    EXPECT_EQ(Parsed("<html><head><title>T</title></head>\n<frameset><frame>\n<noframes>\n"
                     "<body><p>x</p></body></noframes></frameset>\n</html>\n"),
              "html(head(title(\"T\")),frameset(frame,noframes(body(p(\"x\")))))");
    // A second body tag adds to the first: new values replace, the order stays.
    EXPECT_EQ(Parsed("<body bgcolor=red>x<body text=blue bgcolor=white>y"),
              "html(body[bgcolor=white text=blue](\"x\",\"y\"))");
}

TEST(HtmlParser, ClosesElementsImplicitly)
{
    EXPECT_EQ(Parsed("<p>a<p>b"), "html(body(p(\"a\"),p(\"b\")))");
    EXPECT_EQ(Parsed("<ul><li>a<li>b</ul>"), "html(body(ul(li(\"a\"),li(\"b\"))))");
    // A p is closed by a p or a div; divs nest.
    EXPECT_EQ(Parsed("<div>a<p>b<div>c<div>d"),
              "html(body(div(\"a\",p(\"b\"),div(\"c\",div(\"d\")))))");
    // Cells and rows without their end tags are siblings, as in browsers; a nested table
    // keeps its own cells.
    EXPECT_EQ(Parsed("<table><tr><td>a<td>b<tr><td>c</table>"),
              "html(body(table(tr(td(\"a\"),td(\"b\")),tr(td(\"c\")))))");
    EXPECT_EQ(Parsed("<table><tr><th>a<td><p>b<tr><th>c<td>d</table>"),
              "html(body(table(tr(th(\"a\"),td(p(\"b\"))),tr(th(\"c\"),td(\"d\")))))");
    EXPECT_EQ(Parsed("<table><tr><td>a<table><tr><td>b</table>c<td>d</table>"),
              "html(body(table(tr(td(\"a\",table(tr(td(\"b\"))),\"c\"),td(\"d\")))))");
    EXPECT_EQ(Parsed("<dl><dt>a<dd>b<dt>c<dd>d</dl>"), "html(body(dl(dt(\"a\"),dd(\"b\"),dt(\"c\"),dd(\"d\"))))");
    // Blocks stay inside inline elements, as browsers keep them.
    EXPECT_EQ(Parsed("<b>bold<div>x</div>"), "html(body(b(\"bold\",div(\"x\"))))");
    EXPECT_EQ(Parsed("<i><b>x</b>y<p>z"), "html(body(i(b(\"x\"),\"y\",p(\"z\"))))");
    EXPECT_EQ(Parsed("<a>x<img src=i.gif>y"), "html(body(a(\"x\",img[src=i.gif],\"y\")))");
    EXPECT_EQ(Parsed("<a href=x><h2>Title</h2></a>"),
              "html(body(a[href=x](h2(\"Title\"))))");
    // The implicit closes look through inline elements: siblings, as the written text reads.
    EXPECT_EQ(Parsed("<ul><li><b>x<li>y"), "html(body(ul(li(b(\"x\")),li(\"y\"))))");
    EXPECT_EQ(Parsed("<p><b><i>a<p>b"), "html(body(p(b(i(\"a\"))),p(\"b\")))");
    EXPECT_EQ(Parsed("<p><span>a<div>b"), "html(body(p(span(\"a\")),div(\"b\")))");
    // A paragraph is closed by the blocks browsers close it for, but not from inside a cell.
    EXPECT_EQ(Parsed("<p>a<pre>b</pre>c<p>d<ul><li>e</ul><p><i>f<h2>g</h2>"),
              "html(body(p(\"a\"),pre(\"b\"),\"c\",p(\"d\"),ul(li(\"e\")),p(i(\"f\")),h2(\"g\")))");
    EXPECT_EQ(Parsed("<p>a<table><tr><td><div>b</div></td></tr></table>"),
              "html(body(p(\"a\",table(tr(td(div(\"b\")))))))");
    EXPECT_EQ(Parsed("<table><tr><td><b>a<td>b"), "html(body(table(tr(td(b(\"a\")),td(\"b\")))))");
    EXPECT_EQ(Parsed("<select><option><b>a<option>b"),
              "html(body(select(option(b(\"a\")),option(\"b\"))))");
    // "</br>" is a line break.
    EXPECT_EQ(Parsed("a</br>b</BR >c"), "html(body(\"a\",br,\"b\",br,\"c\"))");
}

TEST(HtmlParser, ClosingAndUnknownTags)
{
    EXPECT_EQ(Parsed("<p>a</b>c"), "html(body(p(\"a\",\"c\")))");
    EXPECT_EQ(Parsed("<div><span>a<b>b</div>c"), "html(body(div(span(\"a\",b(\"b\"))),\"c\"))");
    EXPECT_EQ(Parsed("<p>a</p></p  junk>b"), "html(body(p(\"a\"),p,\"b\"))");
    EXPECT_EQ(Parsed("<body><blink>hi</blink>"),
              "html(body(U\"<blink>\",\"hi\",U\"</blink>\"))");
    // Unknown tags do not move the parser into the body; a cut-off one gets its ">".
    EXPECT_EQ(Parsed("<x"), "U\"<x>\"");
    EXPECT_EQ(Parsed("<!x y><!-x><!><//>"), "U\"<!x y>\",U\"<!-x>\",U\"<!>\",U\"<//>\"");
    // A closing pre ends verbatim text even when no pre is open there.
    EXPECT_EQ(Parsed("<pre> a  b</pre> c  d"), "html(body(pre(\" a  b\"),\"c d\"))");
}

TEST(HtmlParser, TextRules)
{
    EXPECT_EQ(Parsed("a < b"), "html(body(\"a &lt; b\"))");
    EXPECT_EQ(Parsed("a<>b"), "html(body(\"a&lt;&gt;b\"))");
    EXPECT_EQ(Parsed("a > b &amp; c"), "html(body(\"a > b &amp; c\"))");
    EXPECT_EQ(Parsed("a<<b>x</b>"), "html(body(\"a&lt;\",b(\"x\")))");
    EXPECT_EQ(Parsed("a <"), "html(body(\"a &lt;\"))");
    EXPECT_EQ(Parsed("a\r\n\t b  "), "html(body(\"a b \"))");
    EXPECT_EQ(Parsed("x <b> y</b>"), "html(body(\"x \",b(\"y\")))");
    EXPECT_EQ(Parsed("a<br> b"), "html(body(\"a\",br,\"b\"))");
    EXPECT_EQ(Parsed("<pre>a   b\r\n c</pre>"), "html(body(pre(\"a   b\r\n c\")))");
    // a textarea holds text as written, markup and all
    EXPECT_EQ(Parsed("<textarea> x  < y </b><b>&lt;</textarea >z"),
              "html(body(textarea(\" x  < y </b><b>&lt;\"),\"z\"))");
    // Text where text cannot stand is dropped.
    EXPECT_EQ(Parsed("<table>x<tr><td>y</td></tr></table>"), "html(body(table(tr(td(\"y\")))))");
}

TEST(HtmlParser, ABlankAfterAnElementThatShowsIsKept)
{
    EXPECT_EQ(Parsed("a <img src=x> b"), "html(body(\"a \",img[src=x],\" b\"))");
    EXPECT_EQ(Parsed("a <input> <embed>\n b"), "html(body(\"a \",input,\" \",embed,\" b\"))");
    EXPECT_EQ(Parsed("<td><img>\n</td>"), "html(body(td(img,\" \")))");
    // A container ends the run when it is closed; the blanks inside it are read as before.
    EXPECT_EQ(Parsed("a <object> <param name=p> </object> b"),
              "html(body(\"a \",object(param[name=p]),\" b\"))");
    EXPECT_EQ(Parsed("a <textarea>t</textarea> b <select><option>x </select> c"),
              "html(body(\"a \",textarea(\"t\"),\" b \",select(option(\"x \")),\" c\"))");
    EXPECT_EQ(Parsed("a <button> x</button>"), "html(body(\"a \",button(\"x\")))");
    // Elements that show nothing of their own, br and hr keep the run going.
    EXPECT_EQ(Parsed("a <a name=n></a> b <basefont size=3> c <!-- d --> e <span></span> f"),
              "html(body(\"a \",a[name=n],\"b \",basefont[size=3],\"c \",C\"<!-- d -->\",\"e \",span,\"f\"))");
    EXPECT_EQ(Parsed("<img> <br> a<hr> b"), "html(body(img,\" \",br,\"a\",hr,\"b\"))");
}

TEST(HtmlParser, CommentsAndServerBlocks)
{
    EXPECT_EQ(Parsed("<!-- x --->"), "C\"<!-- x --->\"");
    EXPECT_EQ(Parsed("<p>a<!-- -- - -->b"), "html(body(p(\"a\",C\"<!-- -- - -->\",\"b\")))");
    // A comment goes where the parser stands, even where text may not.
    EXPECT_EQ(Parsed("<table><!-- c --></table>"), "html(body(table(C\"<!-- c -->\")))");
    EXPECT_EQ(Parsed("<? echo 1; ?>"), "P\"<? echo 1; ?>\"");
    EXPECT_EQ(Parsed("<p><% x %>"), "html(body(p(A\"<% x %>\")))");
    EXPECT_EQ(Parsed("<? $a ?" "?>after"), "P\"<? $a ?" "?>\",html(body(\"after\"))");

    // A quote inside a server block in a quoted value does not end the value.
    EXPECT_EQ(Parsed("<input value=\"<%= Request(\"q\") %>\" name='<?= $a['k'] ?>' title=\"<% x\">y"),
              "html(body(input[value=<%= Request(\"q\") %> name=<?= $a['k'] ?> title=<% x],\"y\"))");

    // A server block among the attributes is one name, "=" and quotes and all; one in an
    // unquoted value belongs to the value. They are written back as they stood.
    EXPECT_EQ(Parsed("<body <?php body_class(); ?> <?php x(); ?>><option <?= $a == 1 ? 'selected' : '' ?> value=<?= $v ?>>y"),
              "html(body[<?php body_class(); ?>= <?php x(); ?>=](option[<?= $a == 1 ? 'selected' : '' ?>= value=<?= $v ?>](\"y\")))");
    EXPECT_EQ(NodeToHtml(ParseHtml(u"<p <?= $a == 1 ? 'x' : '' ?> title=\"<% f(\"q\") %>\">t</p>").get()),
              u"<html>\r\n  <body>\r\n    <p <?= $a == 1 ? 'x' : '' ?> title='<% f(\"q\") %>'>t</p>\r\n  </body>\r\n</html>\r\n");
    // What a server block writes shows, so the blank after it stays; an svg or math element
    // is kept whole, as written, and a title in it is no page title.
    EXPECT_EQ(NodeToHtml(ParseHtml(u"<title>P</title><p>Hi <?= $n ?> items <svg><title>C</title><svg><rect/></svg></SVG> "
                                   u"and <math><mi>x</mi></math> end</p>").get()),
              u"<html>\r\n  <head>\r\n    <title>P</title>\r\n  </head>\r\n  <body>\r\n    <p>Hi <?= $n ?> items "
              u"<svg><title>C</title><svg><rect/></svg></SVG> and <math><mi>x</mi></math>\r\n    end</p>\r\n  </body>\r\n"
              u"</html>\r\n");
    // a block that makes an attribute's name keeps the value written after it
    EXPECT_EQ(NodeToHtml(ParseHtml(u"<p <?= $name ?>=\"1\" <?php x(); ?> = 'v w'>t</p>").get()),
              u"<html>\r\n  <body>\r\n    <p <?= $name ?>=\"1\" <?php x(); ?>=\"v w\">t</p>\r\n  </body>\r\n</html>\r\n");
    // A block begun among the attributes and never ended is no block: it is left out, so it
    // cannot be written back as one that swallows the tag's end.
    EXPECT_EQ(Parsed("<s <%% a>x"), "html(body(s[a=](\"x\")))");
    // an unended block in a value does not run on to a "%>" further down the page
    EXPECT_EQ(Parsed("<p title=\"a<%b\">x %> y <i class=\"z\">q</i>"),
              "html(body(p[title=a<%b](\"x %> y \",i[class=z](\"q\"))))");
    EXPECT_EQ(Parsed("<s <?x"), "html(body(s))");

    EXPECT_EQ(ParseError("<!-- x --"), "Unterminated Comment");
    EXPECT_EQ(ParseError("<!-->"), "Unterminated Comment");
    EXPECT_EQ(ParseError("<? echo 1;"), "Unterminated Script");
    EXPECT_EQ(ParseError("<% x %"), "Unterminated Script");
    EXPECT_EQ(ParseError("<!-- a --><? b ?><% c %>"), "");
}

TEST(HtmlParser, Attributes)
{
    EXPECT_EQ(Parsed("<input checked>"), "html(body(input[checked=TRUE]))");
    // Empty values and attributes outside the table are kept on every element; a bare
    // attribute that is not a boolean one has an empty value.
    EXPECT_EQ(Parsed("<img alt=\"\" src=''>"), "html(body(img[alt= src=]))");
    EXPECT_EQ(Parsed("<a href name>x"), "html(body(a[href= name=](\"x\")))");
    EXPECT_EQ(Parsed("<IMG SRC=a.gif>"), "html(body(img[src=a.gif]))");
    EXPECT_EQ(Parsed("<div data-x=1>x"), "html(body(div[data-x=1](\"x\")))");
    EXPECT_EQ(Parsed("<input placeholder=Name role=search aria-label=\"\" @click=go :href=u x:y>"),
              "html(body(input[placeholder=Name role=search aria-label= @click=go :href=u x:y=]))");
    EXPECT_EQ(Parsed("<object classid=x codebase2=y>"),
              "html(body(object[classid=x codebase2=y]))");
    // Quoting, blanks around "=", repeats (first place, last value), values as written.
    EXPECT_EQ(Parsed("<p class=a id='b c' title=\"d 'e'\" CLASS=f>x"),
              "html(body(p[class=f id=b c title=d 'e'](\"x\")))");
    EXPECT_EQ(Parsed("<p align = center\ttitle=>x"), "html(body(p[align=center title=](\"x\")))");
    EXPECT_EQ(Parsed("<a href=\"x&amp;y\" onclick='f(\"1\")'>t"),
              "html(body(a[href=x&amp;y onClick=f(\"1\")](\"t\")))");
    EXPECT_EQ(Parsed("<br/><br clear=all/><p =x>y"), "html(body(br,br[clear=all/],p(\"y\")))");
    // Unknown names on an object: one entry per name, spelled as last written.
    EXPECT_EQ(Parsed("<object A=1 b a='2'>"), "html(body(object[a=2 b=]))");
    // A tag cut off by the end keeps what was read.
    EXPECT_EQ(Parsed("<span class=\"open>x"), "html(body(span[class=open>x]))");
}

TEST(HtmlParser, DocTypes)
{
    EXPECT_EQ(Parsed("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01//EN\" "
                     "\"http://www.w3.org/TR/html4/strict.dtd\">"),
              "!DOCTYPE1");
    EXPECT_EQ(Parsed("<!doctype html public \"-//W3C//DTD HTML 4.01 Frameset//EN\" "
                     "\"http://www.w3.org/TR/html4/frameset.dtd\">"),
              "!DOCTYPE2");
    EXPECT_EQ(Parsed("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01//EN\">"), "!DOCTYPE1");
    // Without its DTD's address a transitional or frameset one puts the browser into another
    // mode than the canonical line would.
    EXPECT_EQ(Parsed("<!doctype html public \"-//W3C//DTD HTML 4.01 Frameset//EN\">"),
              "!DOCTYPE2\"<!doctype html public \"-//W3C//DTD HTML 4.01 Frameset//EN\">\"");
    // Any DOCTYPE but those of HTML 4.01 is kept as written.
    EXPECT_EQ(Parsed("<!DOCTYPE html>"), "!DOCTYPE0\"<!DOCTYPE html>\"");
    EXPECT_EQ(Parsed("<!doctype html SYSTEM \"about:legacy-compat\">"),
              "!DOCTYPE0\"<!doctype html SYSTEM \"about:legacy-compat\">\"");
    EXPECT_EQ(Parsed("<!DOCTYPE x Frameset sTrIcT>"), "!DOCTYPE1\"<!DOCTYPE x Frameset sTrIcT>\"");
    EXPECT_EQ(Parsed("<!-- a --><!DOCTYPE x"), "C\"<!-- a -->\",!DOCTYPE0\"<!DOCTYPE x>\"");
    EXPECT_EQ(Parsed("<!-- a --><html><!DOCTYPE html public \"-//W3C//DTD HTML 4.01 frameset//EN\" "
                     "\"frameset.dtd\"><body>x"),
              "!DOCTYPE2,C\"<!-- a -->\",html(body(\"x\"))");
}

TEST(HtmlParser, EmptyElementsStay)
{
    // Empty ones show (a paragraph's margins, a block's line break): none is removed.
    EXPECT_EQ(Parsed("<p></p><div><p></p></div>"), "html(body(p,div(p)))");
    EXPECT_EQ(Parsed("<div id=app></div><p class=spacer></p><center><blockquote></blockquote></center>"),
              "html(body(div[id=app],p[class=spacer],center(blockquote)))");
    // A "</p>" with no paragraph open is an empty one, in the body only.
    EXPECT_EQ(Parsed("<head></p></head><p><div>x</div></p>y"), "html(head,body(p,div(\"x\"),p,\"y\"))");
}

TEST(HtmlParser, ScriptAndStyleContentIsKeptVerbatim)
{
    EXPECT_EQ(Parsed("<body><script>if (a<b) { x(\"<p>\"); }</SCRIPT >after"),
              "html(body(script(R\"if (a<b) { x(\"<p>\"); }\"),\"after\"))");
    EXPECT_EQ(Parsed("<style>\r\n  p > a { color: red }\r\n</Style>"),
              "html(head(style(R\"\r\n  p > a { color: red }\r\n\")))");
    // Only a closing tag of the same name ends the content.
    EXPECT_EQ(Parsed("<body><script>w('</scripts></style>')</script/>x"),
              "html(body(script(R\"w('</scripts></style>')\"),\"x\"))");
    // Content that is one comment is kept as written too.
    EXPECT_EQ(Parsed("<head><script><!-- var a=1; --></script></head>"),
              "html(head(script(R\"<!-- var a=1; -->\")))");
    EXPECT_EQ(Parsed("<body><script>\n  <!--\n  x();\n  // -->\n</script>"),
              "html(body(script(R\"\n  <!--\n  x();\n  // -->\n\")))");
    // Code beside a comment, or a comment that does not close, is kept raw.
    EXPECT_EQ(Parsed("<body><script> a();<!-- b --></script>"),
              "html(body(script(R\" a();<!-- b -->\")))");
    EXPECT_EQ(Parsed("<body><script><!-- a --> b <!-- c --></script>"),
              "html(body(script(R\"<!-- a --> b <!-- c -->\")))");
    EXPECT_EQ(Parsed("<body><script><!-- open</script>x"),
              "html(body(script(R\"<!-- open\"),\"x\"))");
    // With no closing tag ahead the element is empty and the rest is read as markup.
    EXPECT_EQ(Parsed("<body><script src=a.js>  </script><script>if (a<b)"),
              "html(body(script[src=a.js](R\"  \"),script,\"if (a\",U\"<b)>\"))");
    EXPECT_EQ(Parsed("<head><script src=a.js /><title>T</title></head><p>x"),
              "html(head(script[src=a.js],title(\"T\")),body(p(\"x\")))");
    EXPECT_EQ(Parsed("<style>p{}<body>x"), "html(head(style),body(\"x\"))");
}

TEST(HtmlParser, NulIsDroppedAndStreamsAreReadFromTheirPosition)
{
    using namespace std::string_view_literals;
    EXPECT_EQ(Parsed("a\0b"sv), "html(body(\"ab\"))");
    EXPECT_EQ(Parsed("<p>x</p>\0<p>y\0</p>\0"sv), "html(body(p(\"x\"),p(\"y\")))");

    const WideString Text(u"<p>x\0</p><p>y"sv);
    TMemoryStream Stream;
    Stream.WriteBuffer("??", 2);
    Stream.WriteBuffer(Text.data(), static_cast<int64_t>(Text.size() * 2));
    Stream.WriteBuffer("<", 1);  // half a code unit
    Stream.SetPosition(2);
    EXPECT_EQ(DumpChildren(ParseHtml(Stream).get()), "html(body(p(\"x\"),p(\"y\")))");
    EXPECT_EQ(Stream.Position(), Stream.Size());
    // From an odd position the code units straddle the bytes as they come.
    TMemoryStream Odd;
    Odd.WriteBuffer("?", 1);
    Odd.WriteBuffer(u"<b>z", 8);
    Odd.SetPosition(1);
    EXPECT_EQ(DumpChildren(ParseHtml(Odd).get()), "html(body(b(\"z\")))");
    EXPECT_EQ(Odd.Position(), Odd.Size());

    // A large text taken over gives the same tree as the text parsed where it lies, though its
    // memory is given back on the way; the stream is left empty.
    WideString Large(u"<html><head><title>t</title><style>p { a: b }</style></head><body>"sv);
    for (int I = 0; Large.size() < 5000000; ++I) {
        Large += u"<p class=\"c\" title='a \"b\"' data-x="sv;
        Large += Utf8ToUtf16(std::to_string(I));
        Large += u">caf\u00e9 &amp; <b>x\0y</b><!-- c < d --><?php echo '<p>'; ?><script>if (a<b) f('</p>');</script>"
                 u"<svg><g><p>in</p></g></svg><table><tr><td>"sv;
        Large += WideString(I % 50, u'z') + u"</table>\n";
    }
    TMemoryStream Taken;
    Taken.WriteBuffer("??", 2);
    Taken.WriteBuffer(Large.data(), static_cast<int64_t>(Large.size() * 2));
    Taken.SetPosition(2);
    const std::string InPlace = DumpChildren(ParseHtml(Large).get());
    EXPECT_EQ(DumpChildren(ParseHtml(std::move(Taken)).get()), InPlace);
    EXPECT_EQ(Taken.Size(), 0);
    EXPECT_EQ(InPlace.find(std::string(1, '\0')), std::string::npos);
}

TEST(HtmlParser, DeepAndWideInputs)
{
    constexpr int N = 100000;
    auto Repeat = [](std::string_view S, int Count) {
        std::string Out;
        for (int I = 0; I < Count; ++I)
            Out += S;
        return Out;
    };
    // Length of the chain of first children of that kind below Node.
    auto DepthOf = [](const TLinkNode* Node, THtmlTagId Kind) {
        int Depth = 0;
        while ((Node = Node->First()) && static_cast<const THtmlNode*>(Node)->Kind() == Kind)
            ++Depth;
        return Depth;
    };
    auto Root = ParseHtml(Utf8ToUtf16(Repeat("<div>", N) + "x" + Repeat("</span>", N)));
    EXPECT_EQ(DepthOf(Root->EnsureBody(), tagDiv), N);

    // Nested inline elements, all closed at once by a paragraph that closes the one around
    // them; many more paragraphs and items inside them cost no climb each.
    Root = ParseHtml(Utf8ToUtf16("<p>" + Repeat("<b>", N) + "x<p>y</p>"));
    EXPECT_EQ(DepthOf(Root->EnsureBody()->FirstNode(), tagB), N);
    EXPECT_EQ(Dump(Root->EnsureBody()->LastNode()), "p(\"y\")");
    Root = ParseHtml(Utf8ToUtf16("<div>" + Repeat("<b>", N) + Repeat("<li>", N)));
    EXPECT_EQ(DepthOf(Root->EnsureBody()->FirstNode(), tagB), N);

    // Many repeated and unknown attributes on one element.
    std::string Attrs = "<object";
    for (int I = 0; I < N; ++I)
        Attrs += " a" + std::to_string(I % 1000) + "=" + std::to_string(I) + " width=" +
                 std::to_string(I);
    Attrs += ">";
    Root = ParseHtml(Utf8ToUtf16(Attrs));
    auto* Object = static_cast<THtmlTag*>(Root->EnsureBody()->FirstNode());
    ASSERT_EQ(Object->GetAttributeCount(), 1001);
    EXPECT_EQ(Utf16ToUtf8(Object->GetAttributeByIndex(0)), "a0=99000");
    EXPECT_EQ(Utf16ToUtf8(Object->GetAttribute(attrWidth)), std::to_string(N - 1));
}
