#pragma once
// What every tag tool works with besides its dialog: the main window's part (TToolHost), text
// at the Qt boundary, the attributes of live elements and of stored source nodes, and the
// stored node behind a placeholder.

#include <QString>
#include <functional>
#include <string>

#include "HTMLAttributes.h"
#include "HTMLTags.h"
#include "HtmlDesigner.h"
#include "HtmlElements.h"
#include "WideText.h"

namespace zv {

class THtmlNode;
class THtmlTag;

// What the tools need of the main window, which fills in the palette's at start-up; the
// palette hands it to each dialog when it opens.
struct TToolHost {
    // Offers to save an unnamed document; true when the document has a file name afterwards.
    // Unset: true when FileName is not empty.
    std::function<bool()> EnsureSaved;
    // The document's file name (UTF-8), the base of relative URLs; empty while unnamed.
    // Unset: empty.
    std::function<std::string()> FileName;

    // EnsureSaved, or whether FileName is not empty.
    bool Saved() const
    {
        if (EnsureSaved) return EnsureSaved();
        return FileName && !FileName().empty();
    }
};

// ---------------------------------------------------------------- text at the Qt boundary

inline WideString ToWide(const QString& Text) { return Text.toStdU16String(); }
inline QString ToQString(WideStringView Text)
{
    return QString(reinterpret_cast<const QChar*>(Text.data()), static_cast<qsizetype>(Text.size()));
}

// ---------------------------------------------------------------- attributes

// An empty Value removes the attribute; a value equal to the present one changes nothing, so
// an unchanged dialog leaves the page as it was. A failed engine call raises.
void SetAttr(const THtmlElement& Element, const std::string& Name, const WideString& Value);
// The attribute as the page holds it; '' when absent.
void GetAttr(const THtmlElement& Element, const std::string& Name, WideString& Value);
WideString GetAttr(const THtmlElement& Element, const std::string& Name);

// Appends ` Name="Value"` to the HTML of a new element when Value, trimmed, is not empty; the
// value is escaped for markup.
void AddAttr(WideString& Html, const char* Name, WideStringView Value);
inline void AddAttr(WideString& Html, const char* Name, const QString& Value)
{
    AddAttr(Html, Name, ToWide(Value));
}
// A stored node's attribute as its field shows it (MarkupToField); '' when absent.
WideString GetStoredAttr(const THtmlTag& Node, THtmlAttrId Id);
// Writes a field's text into a stored node: empty removes the attribute, the present value
// changes nothing, anything else goes in escaped (FieldToMarkup).
void SetStoredAttr(THtmlTag& Node, THtmlAttrId Id, WideStringView Value);
// A field's text as an attribute value of a stored node (FieldToMarkup).
WideString StoredValue(const QString& Field);
// Node as a tag of Kind; nullptr when it is none.
THtmlTag* TagOfKind(THtmlNode* Node, THtmlTagId Kind);

// The stored source node behind a placeholder of Designer's page; nullptr without a designer
// or an element, and when the element has none (a pasted placeholder has no design id).
THtmlNode* StoredNode(const THtmlDesigner* Designer, const THtmlElement& Element);

}  // namespace zv
