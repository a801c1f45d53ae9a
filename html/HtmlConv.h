#pragma once
// Document text in and out of files: finds the character set a file declares and converts
// its bytes to UTF-16LE; saving writes one byte per character.
//
// Failures raise zv::Exception with one of the messages "internal error" (no converter for
// the declared name, or a name that is refused), "incomplete character or shift sequence",
// "cannot convert" or "unknown error"; Dest keeps what was written before.

#include <string>

#include "Streams.h"

namespace zv {

// The character-set name that the bytes from the stream's position declare: a byte-order
// mark ("UTF-8", "UTF-16LE", "UTF-16BE"), else the last XML declaration or META before the
// body start tag, else "ISO-8859-1". Leaves the stream where the scan stopped.
std::string DetectCharset(TStream& Stream);

// Writes the UTF-16LE text of the whole of Source (without byte-order mark) into Dest and
// sets Dest's position to 0. Invalid byte sequences are dropped. Answers false when the text
// is known to hold no U+0000 (which spares the parser its search).
bool LoadText(TStream& Source, TStream& Dest);

// Text that is no page: nothing but U+0000 and blanks, or what another kind of file (a
// picture, an archive, a program) holds.
class ENotAPage : public Exception { using Exception::Exception; };

// Raises ENotAPage for Count code units of text as LoadText gives it that hold nothing but
// U+0000 and blanks (and at least one U+0000), or whose first 1024 hold more than one in 32
// that is U+0000 or a control character that text has no use for. The text is judged once
// decoded, so a page in a set of two bytes a character passes.
void CheckPageText(const char16_t* Units, size_t Count);

// Reads UTF-16LE code units from Source's position to its end and writes one byte per
// character up to U+00FF; any other character becomes a numeric reference "&#x...;".
void SaveText(TStream& Source, TStream& Dest);

// What SaveText writes for Count code units, into Out (room for MaxLatin1Bytes a unit), for
// text that comes in pieces: PendingHigh carries a high surrogate from one piece to the next
// (at the end, one left over is written as "&#xFFFD;"). Wide is set when a character above
// U+00FF comes. Answers the bytes written.
constexpr size_t MaxLatin1Bytes = 10;
size_t EncodeLatin1(const char16_t* Units, size_t Count, char* Out, char16_t& PendingHigh, bool& Wide);

// Reads UTF-16LE code units from Source's position to its end and writes them as UTF-8
// (without byte-order mark; a lone surrogate becomes U+FFFD).
void SaveTextUtf8(TStream& Source, TStream& Dest);

}  // namespace zv
