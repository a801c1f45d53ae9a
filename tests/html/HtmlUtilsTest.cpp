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

TEST(WordBreaker, EntitiesBothWays)
{
    TWordBreaker Enc(bmEncode), Dec(bmDecode);
    EXPECT_EQ(Tokens(Enc, u"caf\u00e9 ok"), (V{"1:caf&eacute;", "0: ", "1:ok"}));
    // "&" passes; a surrogate pair is one character; 128..159 have no name.
    EXPECT_EQ(Tokens(Enc, u"a&amp;b \U0001F600\u0085\u20ac"), (V{"1:a&amp;b", "0: ", "1:&#x1F600;&#x0085;&euro;"}));
    EXPECT_EQ(Enc.Position(), Enc.Length() + 1);

    EXPECT_EQ(Tokens(Dec, u"a&amp;b &zz; x&amp"), (V{"1:a&b", "0: ", "1:&zz;", "0: ", "1:x&amp"}));
    EXPECT_EQ(Tokens(Dec, u"&#228;&#x1F600;&auml \u00e9&lt;"), (V{"1:\u00e4\U0001F600&auml", "0: ", "1:\u00e9<"}));
    // An unfinished reference does not swallow the next one.
    EXPECT_EQ(Tokens(Dec, u"AT&T&nbsp;Labs &&amp;"), (V{"1:AT&T\u00a0Labs", "0: ", "1:&&"}));
}

TEST(WordBreaker, Blanks)
{
    TWordBreaker B(bmDecode);
    EXPECT_EQ(Tokens(B, u"a\t\tb"), (V{"1:a", "0: ", "0: ", "1:b"}));
    EXPECT_EQ(Tokens(B, u"a\r\n b   \n\tc"), (V{"1:a", "0: ", "1:b", "0: ", "0: ", "1:c"}));
    B.LineBreaks = true;
    B.CollapseBlanks = false;
    EXPECT_EQ(Tokens(B, u"a\r\nb  c"), (V{"1:a", "2:\r\n", "1:b", "0:  ", "1:c"}));
    EXPECT_EQ(Tokens(B, u"\n\r\r\n\t\t "), (V{"2:\n", "2:\r", "2:\r\n", "3:\t", "3:\t", "0: "}));
    B.CollapseBlanks = true;
    EXPECT_EQ(Tokens(B, u"a \t\nb"), (V{"1:a", "0: ", "0: ", "2:\n", "1:b"}));
    B.LineBreaks = false;
    B.CollapseBlanks = false;
    EXPECT_EQ(Tokens(B, u"a\r\n  b\t"), (V{"1:a", "0: ", "1:b", "3:\t"}));
}

TEST(TreeHelpers, PlainTextAndStripOuterTag)
{
    std::unique_ptr<THtmlTag> Body(El(tagBody, {El(tagP, {Tx(u"One")}), El(tagP, {Tx(u"Two")})}));
    EXPECT_EQ(GetPlainText(Body.get(), false), u"One\r\n\r\nTwo");
    std::unique_ptr<THtmlTag> P(El(tagP, {Tx(u"a"), El(tagBr), Tx(u"b")}));
    EXPECT_EQ(GetPlainText(P.get(), false), u"a\r\nb");
    EXPECT_EQ(GetPlainText(std::unique_ptr<THtmlTag>(El(tagP)).get(), false), u"");

    // Inline elements add nothing; comments and scripts break like blocks but give no text.
    std::unique_ptr<THtmlTag> Div(El(tagDiv, {
        Tx(u"  x\t\t&lt;y&gt;  "), El(tagB, {Tx(u"bold")}), Tx(u"<!-- c -->", tagComment),
        El(tagScript, {Tx(u"var s;", tagRawText)}), Tx(u"after"), El(tagHr), El(tagUl, {El(tagLi, {Tx(u"caf&eacute;\r\n  ok ")})}),
    }));
    EXPECT_EQ(GetPlainText(Div.get(), false), u"x  <y> bold\r\n\r\nafter\r\n\r\n\r\ncaf\u00e9 ok");
    EXPECT_EQ(GetPlainText(Div.get(), true), u"x\t\t<y>  bold\r\n\r\nafter\r\n\r\n\r\ncaf\u00e9\r\n  ok");

    EXPECT_EQ(StripOuterTag(u"<div class=a> x </div>"), u" x ");
    EXPECT_EQ(StripOuterTag(u"  plain text \r\n"), u"plain text");
    EXPECT_EQ(StripOuterTag(u"<br>"), u"");
    EXPECT_EQ(StripOuterTag(u"<p>a<b>c</b>"), u"a<b>c");
    EXPECT_EQ(StripOuterTag(u"<p unterminated"), u"<p unterminated");
    EXPECT_EQ(StripOuterTag(u"<p>a>"), u"a>");
}

TEST(TreeHelpers, FindNodeByPath)
{
    THtmlTag* Target = El(tagTd, {Tx(u"target")});
    std::unique_ptr<THtmlRoot> R(Root({El(tagHtml, {El(tagBody, {
        El(tagP), El(tagTable, {El(tagTr, {El(tagTd)})}), El(tagDiv, {El(tagTable)}),
        El(tagTable, {El(tagTr, {El(tagTd), El(tagTd), Target}), El(tagTr)}),
    })})}));
    EXPECT_EQ(FindNodeByPath(R.get(), u"body.table[1].tr[0].td[2]"), Target);
    EXPECT_EQ(FindNodeByPath(R.get(), u"body.table [ 1 ] .tr.td[ 2 ]"), Target);
    EXPECT_EQ(FindNodeByPath(R.get(), u"table"), R->FindChild(tagTable, true));
    // A missing or odd index counts as 0.
    THtmlNode* FirstCell = FindNodeByPath(R.get(), u"body.table[0].tr[0].td[0]");
    ASSERT_NE(FirstCell, nullptr);
    EXPECT_EQ(FindNodeByPath(R.get(), u"body.table[x].tr[].td[99999999999999999999]"), FirstCell);
    for (const char16_t* Bad : {u"body.table[5]", u"table[1]", u"", u"body..table", u"body.", u"blink", u"body.blink",
                                u"body.table[-1]", u"body.p.td", u" body.table", u"body.table[1].tr[1].td"})
        EXPECT_EQ(FindNodeByPath(R.get(), Bad), nullptr) << U8(Bad);
}
