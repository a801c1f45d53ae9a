#pragma once
// Writes a node tree back as HTML text in the house layout: two-space indentation, blocks on
// lines of their own, paragraph-like elements on one line, running text wrapped at 80
// columns, the HTML 4.01 DOCTYPE lines (any other DOCTYPE as written), CR LF line ends. The
// output is UTF-16LE code units without a byte-order mark. Blanks may move, but none comes
// between two pieces of text that touch: comments, blocks, unknown tags and the elements
// browsers show in the line (scripts, buttons and the like) stay in the line of that text.
// Read back by the parser, the text gives a tree that writes to the same text.
//
// Writing trims the tree slightly: an element written on one line loses the leading blanks of
// its first text and the trailing blanks of its last text (never inside pre or textarea).

#include "HtmlNodes.h"
#include "Streams.h"
#include "WideText.h"

namespace zv {

// Writes every top-level node of the document in order (text at the top level that holds
// only blanks is left out). False when Root is nil.
bool WriteDocument(TStream& Stream, THtmlRoot* Root);

// The same, one byte per character as SaveText makes of the text: a character above U+00FF
// becomes a numeric reference, and Wide tells that one was written.
bool WriteDocumentLatin1(TStream& Stream, THtmlRoot* Root, bool& Wide);

// The same in UTF-8, as SaveTextUtf8 makes of the text, written as it is made.
bool WriteDocumentUtf8(TStream& Stream, THtmlRoot* Root);

// Writes one node with its subtree, starting at the beginning of a line with no indentation.
// A root is written as a document.
void WriteHtml(TStream& Stream, THtmlNode* Node);

// What WriteHtml writes for Node, as text.
WideString NodeToHtml(THtmlNode* Node);

}  // namespace zv
