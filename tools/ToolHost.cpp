#include "ToolHost.h"

#include "HtmlEntities.h"
#include "HtmlNodes.h"

namespace zv {

// ---------------------------------------------------------------- attributes

void SetAttr(const THtmlElement& Element, const std::string& Name, const WideString& Value)
{
    const std::optional<WideString> Present = Element.getAttribute(Name);
    if (Value.empty()) {
        if (Present) Element.removeAttribute(Name);
    } else if (Present != Value) {
        Element.setAttribute(Name, Value);
    }
}

void GetAttr(const THtmlElement& Element, const std::string& Name, WideString& Value)
{
    Value = Element.getAttribute(Name).value_or(WideString());
}

WideString GetAttr(const THtmlElement& Element, const std::string& Name)
{
    WideString Value;
    GetAttr(Element, Name, Value);
    return Value;
}

void AddAttr(WideString& Html, const char* Name, WideStringView Value)
{
    const WideString Trimmed = Trim(Value);
    if (Trimmed.empty()) return;
    Html += u' ';
    Html += Latin1ToUtf16(Name);
    Html += u"=\"";
    Html += EscapeHtmlValue(Trimmed);
    Html += u'"';
}

WideString GetStoredAttr(const THtmlTag& Node, THtmlAttrId Id)
{
    return MarkupToField(Node.AttributeValue(Id), TMarkupPlace::Value);
}

WideString StoredValue(const QString& Field) { return FieldToMarkup(ToWide(Field), TMarkupPlace::Value); }

void SetStoredAttr(THtmlTag& Node, THtmlAttrId Id, WideStringView Value)
{
    if (Value.empty()) {
        if (Node.HasAttribute(Id)) Node.DeleteAttribute(Id);
    } else if (WideString Markup = FieldToMarkup(Value, TMarkupPlace::Value);
               !Node.HasAttribute(Id) || Node.AttributeValue(Id) != Markup) {
        Node.SetAttribute(Id, Markup);
    }
}

THtmlTag* TagOfKind(THtmlNode* Node, THtmlTagId Kind)
{
    auto* Tag = dynamic_cast<THtmlTag*>(Node);
    return Tag && Tag->Kind() == Kind ? Tag : nullptr;
}

// ---------------------------------------------------------------- stored nodes

THtmlNode* StoredNode(const THtmlDesigner* Designer, const THtmlElement& Element)
{
    return Designer ? Designer->StoredNode(Element) : nullptr;
}

}  // namespace zv
