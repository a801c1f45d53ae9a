#pragma once
// The body of the design document as the page receives it: a JSON tree rather than HTML, so
// that the engine's parser cannot rearrange it, with each text and attribute value both as
// shown and as spelled in the document.
//
//   element   ["tag", [[name, value] or [name, value, spelling], ...], [children ...]]
//   text      "text" (spelled as shown) or [0, text, spelling]
//   comment   [1, data, spelling]
//   other     [2, spelling]      server blocks and unknown tags, shown as their text

#include "HtmlNodes.h"
#include "WideText.h"

namespace zv {

// Character references decoded ("&amp;" "&#38;" "&#x26;"; numeric ones also without ";"),
// line ends made LF. Unknown references stay as written.
WideString DecodeDocumentText(WideStringView Text);

// The JSON tree of Body (its attributes and children).
WideString DesignTreeJson(const THtmlTag& Body);

}  // namespace zv
