#include "HTMLTags.h"

#include "NameTable.h"

namespace zv {

namespace {

struct TTagInfo {
    const char* Name;
    bool Container;
    bool HoldsText;
    bool Inline;
    bool IndentsChildren;
};

// Order is the id order.
const TTagInfo HtmlTags[HtmlTagCount] = {
    {"!DOCTYPE", false, false, false, false},
    {"a", true, true, true, false},
    {"abbr", true, true, true, false},
    {"acronym", true, true, true, false},
    {"address", true, true, false, false},
    {"applet", true, true, false, true},
    {"area", false, false, false, false},
    {"b", true, true, true, false},
    {"base", false, false, false, false},
    {"basefont", false, false, true, false},
    {"bdo", true, true, true, false},
    {"bgsound", false, false, false, false},
    {"big", true, true, true, false},
    {"blockquote", true, true, false, true},
    {"body", true, true, false, true},
    {"br", false, false, true, false},
    {"button", true, true, false, false},
    {"caption", true, true, false, false},
    {"center", true, true, false, true},
    {"cite", true, true, true, false},
    {"code", true, true, true, false},
    {"col", false, false, false, false},
    {"colgroup", true, false, false, true},
    {"dd", true, true, false, true},
    {"del", true, true, false, false},
    {"dfn", true, true, true, false},
    {"dir", true, false, false, true},
    {"div", true, true, false, true},
    {"dl", true, false, false, true},
    {"dt", true, true, false, true},
    {"em", true, true, true, false},
    {"embed", false, false, false, false},
    {"fieldset", true, true, false, true},
    {"font", true, true, true, false},
    {"form", true, true, false, true},
    {"frame", false, false, false, false},
    {"frameset", true, false, false, true},
    {"h1", true, true, false, false},
    {"h2", true, true, false, false},
    {"h3", true, true, false, false},
    {"h4", true, true, false, false},
    {"h5", true, true, false, false},
    {"h6", true, true, false, false},
    {"head", true, false, false, true},
    {"hr", false, false, true, false},
    {"html", true, false, false, true},
    {"i", true, true, true, false},
    {"iframe", true, true, false, true},
    {"img", false, false, true, false},
    {"input", false, false, true, false},
    {"ins", true, true, false, false},
    {"isindex", false, false, false, false},
    {"kbd", true, true, true, false},
    {"label", true, true, true, false},
    {"legend", true, true, false, false},
    {"li", true, true, false, false},
    {"link", false, false, false, false},
    {"map", true, false, false, true},
    {"marquee", true, true, false, true},
    {"menu", true, false, false, true},
    {"meta", false, false, false, false},
    {"noframes", true, true, false, true},
    {"noscript", true, true, false, true},
    {"object", true, true, false, true},
    {"ol", true, false, false, true},
    {"optgroup", true, false, false, true},
    {"option", true, true, false, false},
    {"p", true, true, false, false},
    {"param", false, false, false, false},
    {"pre", true, true, false, false},
    {"q", true, true, true, false},
    {"s", true, true, true, false},
    {"samp", true, true, true, false},
    {"script", true, false, false, true},
    {"select", true, false, false, true},
    {"small", true, true, true, false},
    {"span", true, true, true, false},
    {"strike", true, true, true, false},
    {"strong", true, true, true, false},
    {"style", true, false, false, false},
    {"sub", true, true, true, false},
    {"sup", true, true, true, false},
    {"table", true, false, false, true},
    {"tbody", true, false, false, true},
    {"td", true, true, false, false},
    {"textarea", true, true, true, false},
    {"tfoot", true, false, false, true},
    {"th", true, true, false, false},
    {"thead", true, false, false, true},
    {"title", true, true, false, false},
    {"tr", true, false, false, true},
    {"tt", true, true, true, false},
    {"u", true, true, true, false},
    {"ul", true, false, false, true},
    {"var", true, true, true, false},
};

// Looks up a name that may start with "/" (closing tag); the rest is looked up as it is.
template <class TView>
THtmlTagId LookupTag(TView Name)
{
    if (!Name.empty() && Name[0] == '/')
        return TagNameTable().Find(Name.substr(1)) + tagClosingOffset;
    return TagNameTable().Find(Name);
}

const TTagInfo* Info(THtmlTagId Id)
{
    return (Id >= 0 && Id < HtmlTagCount) ? &HtmlTags[Id] : nullptr;
}

bool Flag(THtmlTagId Id, bool TTagInfo::*Field)
{
    const TTagInfo* Tag = Info(Id);
    return Tag && Tag->*Field;
}

}  // namespace

const TNameTable& TagNameTable()
{
    static const TNameTable Table = [] {
        const char* Names[HtmlTagCount];
        for (int I = 0; I < HtmlTagCount; ++I)
            Names[I] = HtmlTags[I].Name;
        return TNameTable(Names, HtmlTagCount);
    }();
    return Table;
}

THtmlTagId TagIdFromName(std::string_view Name) { return LookupTag(Name); }

THtmlTagId TagIdFromName(WideStringView Name) { return LookupTag(Name); }

std::string_view TagNameFromId(THtmlTagId Id)
{
    if (const TTagInfo* Tag = Info(Id))
        return Tag->Name;
    switch (Id) {
    case tagComment: return "<!-->";
    case tagPhp: return "<PHP>";
    case tagAsp: return "<ASP>";
    case tagText: return "<TEXT>";
    case tagRoot: return "<ROOT>";
    case tagPlaceholder: return "<PLACEHOLDER>";
    default: return "<UNKNOWN>";
    }
}

bool TagIsContainer(THtmlTagId Id) { return Flag(Id, &TTagInfo::Container); }

bool TagCanHoldText(THtmlTagId Id) { return Flag(Id, &TTagInfo::HoldsText); }

bool TagIsInline(THtmlTagId Id) { return Flag(Id, &TTagInfo::Inline); }

bool TagIndentsChildren(THtmlTagId Id) { return Flag(Id, &TTagInfo::IndentsChildren); }

bool TagShowsContent(THtmlTagId Id)
{
    switch (Id) {
    case tagApplet: case tagButton: case tagEmbed: case tagIFrame: case tagImg: case tagInput:
    case tagIsIndex: case tagObject: case tagSelect: case tagTextArea:
        return true;
    default:
        return false;
    }
}

bool TagRunsInline(THtmlTagId Id)
{
    switch (Id) {
    case tagApplet: case tagBgSound: case tagButton: case tagDel: case tagEmbed: case tagIFrame:
    case tagIns: case tagMap: case tagMarquee: case tagNoScript: case tagObject: case tagScript:
    case tagSelect: case tagStyle:
        return true;
    default:
        return false;
    }
}

}  // namespace zv
