#include <gtest/gtest.h>

#include <string>

#include "HTMLAttributes.h"
#include "HTMLTags.h"

using namespace zv;

namespace {

// Reference: name and the flags container, holds text, inline, indents children, in id order.
struct TTagRow {
    const char* Name;
    const char* Flags;
};
const TTagRow ExpectedTags[] = {
    {"!DOCTYPE", "0000"}, {"a", "1110"}, {"abbr", "1110"}, {"acronym", "1110"}, {"address", "1100"},
    {"applet", "1101"}, {"area", "0000"}, {"b", "1110"}, {"base", "0000"}, {"basefont", "0010"},
    {"bdo", "1110"}, {"bgsound", "0000"}, {"big", "1110"}, {"blockquote", "1101"}, {"body", "1101"},
    {"br", "0010"}, {"button", "1100"}, {"caption", "1100"}, {"center", "1101"}, {"cite", "1110"},
    {"code", "1110"}, {"col", "0000"}, {"colgroup", "1001"}, {"dd", "1101"}, {"del", "1100"},
    {"dfn", "1110"}, {"dir", "1001"}, {"div", "1101"}, {"dl", "1001"}, {"dt", "1101"},
    {"em", "1110"}, {"embed", "0000"}, {"fieldset", "1101"}, {"font", "1110"}, {"form", "1101"},
    {"frame", "0000"}, {"frameset", "1001"}, {"h1", "1100"}, {"h2", "1100"}, {"h3", "1100"},
    {"h4", "1100"}, {"h5", "1100"}, {"h6", "1100"}, {"head", "1001"}, {"hr", "0010"},
    {"html", "1001"}, {"i", "1110"}, {"iframe", "1101"}, {"img", "0010"}, {"input", "0010"},
    {"ins", "1100"}, {"isindex", "0000"}, {"kbd", "1110"}, {"label", "1110"}, {"legend", "1100"},
    {"li", "1100"}, {"link", "0000"}, {"map", "1001"}, {"marquee", "1101"}, {"menu", "1001"},
    {"meta", "0000"}, {"noframes", "1101"}, {"noscript", "1101"}, {"object", "1101"},
    {"ol", "1001"}, {"optgroup", "1001"}, {"option", "1100"}, {"p", "1100"}, {"param", "0000"},
    {"pre", "1100"}, {"q", "1110"}, {"s", "1110"}, {"samp", "1110"}, {"script", "1001"},
    {"select", "1001"}, {"small", "1110"}, {"span", "1110"}, {"strike", "1110"}, {"strong", "1110"},
    {"style", "1000"}, {"sub", "1110"}, {"sup", "1110"}, {"table", "1001"}, {"tbody", "1001"},
    {"td", "1100"}, {"textarea", "1110"}, {"tfoot", "1001"}, {"th", "1100"}, {"thead", "1001"},
    {"title", "1100"}, {"tr", "1001"}, {"tt", "1110"}, {"u", "1110"}, {"ul", "1001"},
    {"var", "1110"},
};

const char* const ExpectedAttrs[] = {
    "abbr", "accept", "accept-charset", "accesskey", "action", "align", "alink", "alt", "archive",
    "autostart", "axis", "background", "behavior", "bgcolor", "border", "bottommargin",
    "cellpadding", "cellspacing", "char", "charoff", "charset", "checked", "cite", "class",
    "classid", "clear", "code", "codebase", "codetype", "color", "cols", "colspan", "compact",
    "content", "contentEditable", "coords", "data", "datetime", "declare", "defer", "dir",
    "direction", "disabled", "enctype", "face", "for", "frame", "frameborder", "headers", "height",
    "href", "hreflang", "hspace", "http-equiv", "id", "ismap", "label", "lang", "language",
    "leftmargin", "link", "longdesc", "loop", "marginheight", "marginwidth", "maxlength", "media",
    "method", "multiple", "name", "nohref", "noresize", "noshade", "nowrap", "object", "onActivate",
    "onAfterUpdate", "onBeforeActivate", "onBeforeCopy", "onBeforeCut", "onBeforeDeactivate",
    "onBeforeEditFocus", "onBeforePaste", "onBeforeUpdate", "onBlur", "onCellChange", "onChange",
    "onClick", "onContextMenu", "onControlSelect", "onCopy", "onCut", "onDataAvailable",
    "onDataSetChanged", "onDataSetComplete", "onDblClick", "onDeactivate", "onDrag", "onDragEnd",
    "onDragEnter", "onDragLeave", "onDragOver", "onDragStart", "onDrop", "onErrorUpdate",
    "onFilterChange", "onFocus", "onFocusIn", "onFocusOut", "onHelp", "onKeyDown", "onKeyPress",
    "onKeyUp", "onLayoutComplete", "onLoad", "onLoseCapture", "onMouseDown", "onMouseEnter",
    "onMouseLeave", "onMouseMove", "onMouseOut", "onMouseOver", "onMouseUp", "onMouseWheel",
    "onMove", "onMoveEnd", "onMoveStart", "onPage", "onPaste", "onPropertyChange",
    "onReadyStateChange", "onReset", "onResize", "onResizeEnd", "onResizeStart", "onRowEnter",
    "onRowExit", "onRowsDelete", "onRowsInserted", "onScroll", "onSelect", "onSelectStart",
    "onSubmit", "onUnload", "profile", "prompt", "readonly", "rel", "rev", "rightmargin", "rows",
    "rowspan", "rules", "scheme", "scope", "scrollamount", "scrolldelay", "scrolling", "selected",
    "shape", "size", "span", "src", "standby", "start", "style", "summary", "tabindex", "target",
    "text", "title", "topmargin", "type", "usemap", "valign", "value", "valuetype", "version",
    "vlink", "vspace", "width", "wrap",
};

std::string Upper(std::string S)
{
    for (char& C : S)
        if (C >= 'a' && C <= 'z')
            C = static_cast<char>(C - 32);
    return S;
}

WideString Wide(const std::string& S) { return Latin1ToUtf16(S); }

}  // namespace

TEST(TagTable, EveryTagHasItsIdSpellingAndFlags)
{
    ASSERT_EQ(std::size(ExpectedTags), static_cast<size_t>(HtmlTagCount));
    for (int Id = 0; Id < HtmlTagCount; ++Id) {
        SCOPED_TRACE(Id);
        const std::string Name = ExpectedTags[Id].Name;
        const std::string Flags = ExpectedTags[Id].Flags;
        EXPECT_EQ(TagNameFromId(Id), Name);
        EXPECT_EQ(TagIdFromName(Name), Id);
        EXPECT_EQ(TagIdFromName(Upper(Name)), Id);
        EXPECT_EQ(TagIdFromName("/" + Upper(Name)), Id + 1000);
        EXPECT_EQ(TagIdFromName(Wide(Name)), Id);
        EXPECT_EQ(TagIdFromName(Wide("/" + Name)), Id + 1000);
        EXPECT_EQ(TagIsContainer(Id), Flags[0] == '1');
        EXPECT_EQ(TagCanHoldText(Id), Flags[1] == '1');
        EXPECT_EQ(TagIsInline(Id), Flags[2] == '1');
        EXPECT_EQ(TagIndentsChildren(Id), Flags[3] == '1');
    }
    EXPECT_EQ(TagIdFromName("Table"), 82);
    EXPECT_EQ(TagIdFromName("!doctype"), 0);
    EXPECT_EQ(TagIdFromName("/VAR"), 1094);
    EXPECT_EQ(tagBody, 14);
    EXPECT_EQ(tagHtml, 45);
    EXPECT_EQ(tagTextArea, 85);
    EXPECT_EQ(tagVar, 94);
}

TEST(TagTable, UnknownNamesAndPseudoIds)
{
    EXPECT_EQ(TagIdFromName("blink"), -1);
    EXPECT_EQ(TagIdFromName("/blink"), 999);
    EXPECT_EQ(TagIdFromName("//p"), 999);  // only one slash is taken
    for (std::string_view Name : std::initializer_list<std::string_view>{"", " p", "p ", "blockquotes", "\xC4", {"p\0", 2}})
        EXPECT_EQ(TagIdFromName(Name), -1) << Name;
    EXPECT_EQ(TagIdFromName(std::string(5000, 'a')), -1);
    EXPECT_EQ(TagIdFromName(u"t\u0430ble"), -1);                 // Cyrillic a
    EXPECT_EQ(TagIdFromName(WideString(1, char16_t(0x162))), -1);  // low byte is 'b'
    std::string Pseudo;
    for (int Id = -1; Id >= -8; --Id)
        Pseudo += TagNameFromId(Id);
    EXPECT_EQ(Pseudo, "<UNKNOWN><!--><PHP><ASP><TEXT><ROOT><PLACEHOLDER><UNKNOWN>");
    EXPECT_EQ(TagNameFromId(95), "<UNKNOWN>");
    EXPECT_EQ(TagNameFromId(1014), "<UNKNOWN>");
    for (int Id : {-1, -2, -3, -4, -5, -6, -7, 95, 1014}) {
        EXPECT_FALSE(TagIsContainer(Id) || TagCanHoldText(Id) || TagIsInline(Id) ||
                     TagIndentsChildren(Id))
            << Id;
    }
}

TEST(AttributeTable, EveryAttributeHasItsIdAndSpelling)
{
    ASSERT_EQ(std::size(ExpectedAttrs), static_cast<size_t>(HtmlAttrCount));
    for (int Id = 0; Id < HtmlAttrCount; ++Id) {
        SCOPED_TRACE(Id);
        const std::string Name = ExpectedAttrs[Id];
        EXPECT_EQ(AttrNameFromId(Id), Name);
        EXPECT_EQ(AttrIdFromName(Name), Id);
        EXPECT_EQ(AttrIdFromName(Upper(Name)), Id);
        EXPECT_EQ(AttrIdFromName(AsciiLowerCase(Name)), Id);
        EXPECT_EQ(AttrIdFromName(Wide(Upper(Name))), Id);
    }
    EXPECT_EQ(AttrIdFromName("onclick"), 87);
    EXPECT_EQ(AttrNameFromId(87), "onClick");
    EXPECT_EQ(AttrIdFromName("HTTP-EQUIV"), attrHttpEquiv);
    EXPECT_EQ(attrHttpEquiv, 53);
    EXPECT_EQ(attrOnClick, 87);
    EXPECT_EQ(attrWidth, 180);
    EXPECT_EQ(AttrIdFromName("data-role"), -1);
    EXPECT_EQ(AttrIdFromName(""), -1);
    EXPECT_EQ(AttrIdFromName(" src"), -1);
    EXPECT_EQ(AttrIdFromName("/src"), -1);
    EXPECT_EQ(AttrIdFromName(u"sr\u0441"), -1);
    EXPECT_EQ(AttrNameFromId(-1), "");
    EXPECT_EQ(AttrNameFromId(182), "");
}
