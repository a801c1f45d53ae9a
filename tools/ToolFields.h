#pragma once
// What the element dialogs share beyond the framework: fields kept on both the stored node
// and the live element, Boolean properties, and text that goes into a stored node.

#include "ToolManager.h"

namespace zv {

struct TDesignObject;

// A field shown from the stored node (references as written): the stored attribute takes it
// as written, the live element its characters. Without a stored node, the live element
// alone takes it as shown.
void SetStoredAndLive(TTagEditor& Editor, THtmlAttrId Id, const WideString& Value);
// A field shown from the live element and mirrored on the stored node: the stored node takes
// it only when the live value changes.
void SetLiveAndStored(TTagEditor& Editor, THtmlAttrId Id, const WideString& Value);
// Sets a Boolean DOM property (disabled, readOnly, multiple, isMap, noWrap ...) only when it
// differs, so an unchanged dialog writes nothing.
void SetBoolProperty(const THtmlElement& Element, const char* Name, bool Value);
// Text for a stored text node, whose references stay as written: only '<' becomes "&lt;".
WideString EscapeStoredText(WideStringView Text);
// The opening tag a filter builder gave a new design object, without its last blank, for
// more attributes to follow.
WideString OpenedHtml(const TDesignObject& Object);
// The dialog's memo text with LF line ends as CR LF.
WideString MemoLines(const QString& Text);

}  // namespace zv
