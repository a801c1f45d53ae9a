#include "ToolFields.h"

#include "DesignTree.h"
#include "HtmlFilter.h"
#include "HtmlNodes.h"

namespace zv {

void SetStoredAndLive(TTagEditor& Editor, THtmlAttrId Id, const WideString& Value)
{
    const std::string Name(AttrNameFromId(Id));
    if (auto* Tag = dynamic_cast<THtmlTag*>(Editor.StoredNode())) {
        SetStoredAttr(*Tag, Id, Value);
        if (Editor.Element) SetAttr(Editor.Element, Name, DecodeDocumentText(Value));
    } else if (Editor.Element) {
        SetAttr(Editor.Element, Name, Value);
    }
}

void SetLiveAndStored(TTagEditor& Editor, THtmlAttrId Id, const WideString& Value)
{
    if (!Editor.Element) return;
    const std::string Name(AttrNameFromId(Id));
    if (GetAttr(Editor.Element, Name) == Value) return;
    SetAttr(Editor.Element, Name, Value);
    if (auto* Tag = dynamic_cast<THtmlTag*>(Editor.StoredNode())) SetStoredAttr(*Tag, Id, Value);
}

void SetBoolProperty(const THtmlElement& Element, const char* Name, bool Value)
{
    if (Element.getProperty(Name).toBool() != Value) Element.setProperty(Name, Value);
}

WideString EscapeStoredText(WideStringView Text)
{
    WideString Out;
    Out.reserve(Text.size());
    for (const char16_t C : Text) {
        if (C == u'<') Out += u"&lt;";
        else Out += C;
    }
    return Out;
}

WideString OpenedHtml(const TDesignObject& Object)
{
    WideString S = Object.Html;
    if (!S.empty() && S.back() == u' ') S.pop_back();
    return S;
}

WideString MemoLines(const QString& Text)
{
    QString S = Text;
    S.replace("\n", "\r\n");
    return ToWide(S);
}

}  // namespace zv
