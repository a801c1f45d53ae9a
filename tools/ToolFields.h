#pragma once
// What the element dialogs share beyond the framework and its field tables: text that goes
// into a stored node, and the opening of a new design object.

#include "ToolManager.h"

namespace zv {

struct TDesignObject;

// Text for a stored text node, whose references stay as written: only '<' becomes "&lt;".
WideString EscapeStoredText(WideStringView Text);
// The opening tag a filter builder gave a new design object, without its last blank, for
// more attributes to follow.
WideString OpenedHtml(const TDesignObject& Object);
// The dialog's memo text with LF line ends as CR LF.
WideString MemoLines(const QString& Text);

}  // namespace zv
