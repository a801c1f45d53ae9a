#pragma once
// The HTML parser: turns HTML text into a document tree. It is lenient: it never rejects a
// document for bad nesting, places elements into an implied html/head/body frame, closes
// elements implicitly as browsers do, drops what it cannot place, and keeps comments,
// server-script blocks and the content of script and style elements verbatim. Attributes are
// kept as written, those outside the table and empty values too; empty elements stay.

#include <memory>

#include "HtmlNodes.h"
#include "Streams.h"

namespace zv {

// Parses the UTF-16LE code units from the stream's position to its end (an odd last byte is
// ignored, a U+0000 is dropped) into a new tree owned by the caller. Raises Exception with
// the message "Unterminated Comment" when the input ends inside "<!--", and "Unterminated
// Script" when it ends inside a "<?" or "<%" block; no tree is returned then. MayHoldNul false
// (as LoadText can answer) spares the search for U+0000.
std::unique_ptr<THtmlRoot> ParseHtml(TStream& Stream, bool MayHoldNul = true);

// The same, taking the text over: its memory is given back as the parse passes it, and the
// stream is left empty.
std::unique_ptr<THtmlRoot> ParseHtml(TMemoryStream&& Stream, bool MayHoldNul = true);

// The same for text in memory.
std::unique_ptr<THtmlRoot> ParseHtml(WideStringView Text);

}  // namespace zv
