#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "HtmlUtils.h"
#include "TreeBuilder.h"

using namespace zv;
using namespace zv::test;

namespace {

// Every token as "kind:text".
std::vector<std::string> Tokens(TWordBreaker& Breaker, WideStringView Text)
{
    Breaker.SetText(Text);
    std::vector<std::string> Out;
    while (Breaker.Next())
        Out.push_back(std::to_string(Breaker.TokenKind()) + ":" + U8(Breaker.Token()));
    return Out;
}

using V = std::vector<std::string>;

}  // namespace

TEST(WordBreaker, EncodeAndDecode)
{
    TWordBreaker Enc(bmEncode);
    EXPECT_EQ(Tokens(Enc, u"caf\u00e9 ok"), (V{"1:caf&eacute;", "0: ", "1:ok"}));
    // "&" passes unchanged; a pair of surrogates is one character; 128..159 have no name.
    EXPECT_EQ(Tokens(Enc, u"a&b \U0001F600\u0085\u20ac"), (V{"1:a&b", "0: ", "1:&#x1F600;&#x0085;&euro;"}));
    EXPECT_EQ(Enc.Length(), 8);
    EXPECT_EQ(Enc.Position(), 9);
    EXPECT_FALSE(Enc.Next());

    TWordBreaker Dec(bmDecode);
    EXPECT_EQ(Tokens(Dec, u"a&amp;b &zz; x&amp"), (V{"1:a&b", "0: ", "1:&zz;", "0: ", "1:x&amp"}));
    EXPECT_EQ(Tokens(Dec, u"&#228;&#x1F600;&auml &lt;"), (V{"1:\u00e4\U0001F600&auml", "0: ", "1:<"}));
    // An unfinished reference does not swallow the next one.
    EXPECT_EQ(Tokens(Dec, u"AT&T&nbsp;Labs &&amp;"), (V{"1:AT&T\u00a0Labs", "0: ", "1:&&"}));
    // In encode mode references are not decoded, in decode mode characters not encoded.
    EXPECT_EQ(Tokens(Enc, u"&amp;"), (V{"1:&amp;"}));
    EXPECT_EQ(Tokens(Dec, u"\u00e9"), (V{"1:\u00e9"}));
    EXPECT_EQ(Tokens(Dec, u""), V{});
}

TEST(WordBreaker, Blanks)
{
    TWordBreaker B(bmDecode);
    // Defaults: each tab its own blank, line breaks with the blanks after them one blank.
    EXPECT_EQ(Tokens(B, u"a\t\tb"), (V{"1:a", "0: ", "0: ", "1:b"}));
    EXPECT_EQ(Tokens(B, u"a\r\n b"), (V{"1:a", "0: ", "1:b"}));
    EXPECT_EQ(Tokens(B, u"a   \n\tb"), (V{"1:a", "0: ", "0: ", "1:b"}));
    EXPECT_EQ(Tokens(B, u" \r\n"), (V{"0: ", "0: "}));

    B.LineBreaks = true;
    B.CollapseBlanks = false;
    EXPECT_EQ(Tokens(B, u"a\r\nb"), (V{"1:a", "2:\r\n", "1:b"}));
    EXPECT_EQ(Tokens(B, u"a  b"), (V{"1:a", "0:  ", "1:b"}));
    EXPECT_EQ(Tokens(B, u"a\n\r\r\n\t\t b"), (V{"1:a", "2:\n", "2:\r", "2:\r\n", "3:\t", "3:\t", "0: ", "1:b"}));

    // Line breaks kept, blanks collapsed.
    B.CollapseBlanks = true;
    EXPECT_EQ(Tokens(B, u"a \t\nb"), (V{"1:a", "0: ", "0: ", "2:\n", "1:b"}));
    // Blanks kept, line breaks as one blank with the blanks after them.
    B.LineBreaks = false;
    B.CollapseBlanks = false;
    EXPECT_EQ(Tokens(B, u"a\r\n  b\t"), (V{"1:a", "0: ", "1:b", "3:\t"}));
}

TEST(TreeHelpers, PlainText)
{
    std::unique_ptr<THtmlTag> Body(El(tagBody, {El(tagP, {Tx(u"One")}), El(tagP, {Tx(u"Two")})}));
    EXPECT_EQ(GetPlainText(Body.get(), false), u"One\r\n\r\nTwo");

    std::unique_ptr<THtmlTag> P(El(tagP, {Tx(u"a"), El(tagBr), Tx(u"b")}));
    EXPECT_EQ(GetPlainText(P.get(), false), u"a\r\nb");
    std::unique_ptr<THtmlTag> Empty(El(tagP));
    EXPECT_EQ(GetPlainText(Empty.get(), false), u"");
    EXPECT_EQ(GetPlainText(nullptr, false), u"");

    // Inline elements add nothing; comments, scripts and unknown tags break like blocks but
    // give no text; references are decoded; leading and trailing blanks go.
    std::unique_ptr<THtmlTag> Div(El(tagDiv, {
        Tx(u"  x\t\t&lt;y&gt;  "), El(tagB, {Tx(u"bold")}), Tx(u"<!-- c -->", tagComment),
        El(tagScript, {Tx(u"var s = 'no';", tagRawText)}), Tx(u"after"), El(tagHr),
        El(tagUl, {El(tagLi, {Tx(u"caf&eacute;\r\n  ok ")})}),
    }));
    EXPECT_EQ(GetPlainText(Div.get(), false), u"x  <y> bold\r\n\r\nafter\r\n\r\n\r\ncaf\u00e9 ok");
    EXPECT_EQ(GetPlainText(Div.get(), true), u"x\t\t<y>  bold\r\n\r\nafter\r\n\r\n\r\ncaf\u00e9\r\n  ok");
}

TEST(TreeHelpers, StripOuterTag)
{
    EXPECT_EQ(StripOuterTag(u"<div class=a> x </div>"), u" x ");
    EXPECT_EQ(StripOuterTag(u"  plain text \r\n"), u"plain text");
    EXPECT_EQ(StripOuterTag(u"<br>"), u"");
    EXPECT_EQ(StripOuterTag(u"<p>a<b>c</b>"), u"a<b>c");
    EXPECT_EQ(StripOuterTag(u"<p>open"), u"open");
    EXPECT_EQ(StripOuterTag(u"<p unterminated"), u"<p unterminated");
    EXPECT_EQ(StripOuterTag(u"<p>a>"), u"a>");
    EXPECT_EQ(StripOuterTag(u""), u"");
}

TEST(TreeHelpers, FindNodeByPath)
{
    auto Cell = [](const char16_t* Text) { return El(tagTd, {Tx(Text)}); };
    THtmlTag* Target = Cell(u"target");
    std::unique_ptr<THtmlRoot> R(Root({El(tagHtml, {El(tagBody, {
        El(tagP),
        El(tagTable, {El(tagTr, {Cell(u"a")})}),
        El(tagDiv, {El(tagTable)}),
        El(tagTable, {El(tagTr, {Cell(u"b"), Cell(u"c"), Target}), El(tagTr)}),
    })})}));
    EXPECT_EQ(FindNodeByPath(R.get(), u"body.table[1].tr[0].td[2]"), Target);
    EXPECT_EQ(FindNodeByPath(R.get(), u"body.table [ 1 ] .tr.td[ 2 ]"), Target);
    // A missing or odd index counts as 0; the first step is a name alone.
    THtmlNode* FirstCell = FindNodeByPath(R.get(), u"body.table[0].tr[0].td[0]");
    ASSERT_NE(FirstCell, nullptr);
    EXPECT_EQ(FindNodeByPath(R.get(), u"body.table[x].tr[].td"), FirstCell);
    EXPECT_EQ(FindNodeByPath(R.get(), u"body.table[99999999999999999999].tr[1x].td[+0]"), FirstCell);
    EXPECT_NE(FindNodeByPath(R.get(), u"body.table.tr.td"), nullptr);
    EXPECT_EQ(FindNodeByPath(R.get(), u"html"), R->FirstNode());
    EXPECT_EQ(FindNodeByPath(R.get(), u"table"), R->FindChild(tagTable, true));

    for (const char16_t* Bad : {u"body.table[5]", u"table[1]", u"", u"body..table", u"body.", u"blink",
                                u"body.blink[0]", u"body.table[-1]", u"body.p.td", u"frameset",
                                u" body.table", u"body.table[1].tr[1].td"})
        EXPECT_EQ(FindNodeByPath(R.get(), Bad), nullptr) << U8(Bad);
    EXPECT_EQ(FindNodeByPath(nullptr, u"body"), nullptr);
}
