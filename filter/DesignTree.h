#pragma once
// The body of the design document as the page receives it: not as HTML, which the engine's
// parser would rearrange (implied row groups, paragraphs closed by blocks, a line break
// dropped after pre), but as XML, which keeps the tree as it is, together with the spelling
// of every text and attribute value that the page would write otherwise ("&#187;" for "»").
//
//   [body attributes, xml, text spellings, attribute spellings, names]
//
//   body attributes      [[name, value] or [name, value, spelling], ...]
//   xml                  the children of the body inside <div xmlns="...xhtml">; a text that
//                        has a spelling follows <?zv n?> (n: its place in text spellings), an
//                        empty <?zv?> keeps two texts apart; an element whose attributes have
//                        spellings carries zv-spelling="n"; an attribute whose name is no XML
//                        name ("@click", "x:y") stands here as zv-odd-k="" (k: its place in
//                        the element's spellings) and is made from its spelling; one that
//                        the page's parser would split ("<?= $sel ?>") and the document's own
//                        attributes named "zv-..." are kept whole there, as raw pieces;
//                        an element with two or more attributes carries zv-ordered=""
//   text spellings       [spelling, ...]
//   attribute spellings  [[name, spelling, name, spelling, ...], ...]
//   names                [name, ...]: each element and attribute name of the xml once, so
//                        that the page looks only for what is there

#include "HtmlEntities.h"
#include "HtmlNodes.h"
#include "WideText.h"

namespace zv {

// The body (its attributes and children) for the page, as above.
WideString DesignBodyJson(const THtmlTag& Body);

}  // namespace zv
