#pragma once
// What the element dialogs share beyond the framework and its field tables: the opening of a
// new design object, and memo text as it goes into the page.

#include "ToolItem.h"

namespace zv {

struct TDesignObject;

// The opening tag a filter builder gave a new design object, without its last blank, for
// more attributes to follow.
WideString OpenedHtml(const TDesignObject& Object);
// The dialog's memo text with LF line ends as CR LF.
WideString MemoLines(const QString& Text);

}  // namespace zv
