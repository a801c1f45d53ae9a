#pragma once
// Keys whose text is more than one UTF-16 unit: a character beyond U+FFFF from a keyboard
// layout or a compose sequence. The browser engine and the source editor keep only the first
// unit of a key's text (or none), so such a key goes in as an input method's commit.

class QKeyEvent;
class QObject;

namespace zv {

// Sends Key's text to Target as an input method commit when the key brings more than one
// unit of plain text; true when it did (the key is then handled).
bool CommitKeyText(QObject* Target, QKeyEvent* Key);

// Does the same for every key that reaches Widget (an event filter owned by it).
void CommitKeyTextOf(QObject* Widget);

}  // namespace zv
