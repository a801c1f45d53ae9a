#pragma once
// Character entity references: "&auml;", "&#228;" and "&#xE4;" to characters and back.

#include <string>
#include <string_view>

#include "WideText.h"

namespace zv {

// The code point of an entity text (ampersand and closing semicolon included; the last
// character is not looked at for numeric references). 0 when the text is not recognised,
// also for numbers that are no Unicode scalar value (surrogates, above U+10FFFF).
// Codes above U+FFFF take a surrogate pair in UTF-16 text.
char32_t EntityToChar(std::string_view Text);

// The entity text of a code point: its name where it has one, else "&#x" with at least
// four upper-case hexadecimal digits and ";". Never empty.
std::string CharToEntity(char32_t Code);

// "&#x" with the code in at least four upper-case hexadecimal digits and ";" ("&#x1F600;").
std::string NumericEntity(char32_t Code);

// Bucket (0..99) of an entity text in the name table: the sum of its bytes with a..z
// folded to upper case, modulo 100.
int EntityNameHash(std::string_view Text);

// Text as it goes into markup: "&", "<", ">" and U+00A0 as references. The design view's
// page writes text the same way.
WideString EscapeHtmlText(WideStringView Text);
// An attribute value as it goes between double quotes: "&", "\"" and U+00A0 as references.
WideString EscapeHtmlValue(WideStringView Text);

// The reference at Text[Pos] ("&..."): its code and length, or 0 when it is none. A name of
// the Latin-1 set also counts without ";" ("&copy 2005", "&nbsp"), as browsers read it, but
// not in a value before a letter, a digit or "=" ("?a=1&copy=2").
char32_t CharacterReference(WideStringView Text, size_t Pos, size_t& Length, bool InValue);
// Character references decoded ("&amp;" "&#38;" "&#x26;"; numeric ones also without ";", and
// names of the Latin-1 set too, as browsers read them: in a Value not before a letter, a digit
// or "="), line ends made LF. A number that is no character gives U+FFFD; unknown references
// stay as written.
WideString DecodeDocumentText(WideStringView Text, bool Value = true);

// A dialog field holds text: it shows what the page shows (the markup's references decoded),
// and what is typed is written escaped, so the page shows it as typed. These two are the one
// road between a field and the markup of a stored source node; a live element's attributes
// and text already hold characters.
enum class TMarkupPlace {
    Value,   // an attribute value between double quotes
    Text,    // the text of an element
};
WideString MarkupToField(WideStringView Markup, TMarkupPlace Place);
WideString FieldToMarkup(WideStringView Field, TMarkupPlace Place);

}  // namespace zv
