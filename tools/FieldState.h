#pragma once
// A dialog's fields: what each control shows as one text, and the field tables the element
// dialogs are built on. A field table names, per control, the attribute it edits, its kind and
// where the value lives; TTagEditor reads an element into the fields from it, builds a new
// element's attributes from it, and on OK writes only the fields the user changed.

#include <QString>
#include <vector>


class QWidget;

namespace zv {

// The controls of a dialog: the named ones below Dialog.
std::vector<const QWidget*> NamedFields(const QWidget* Dialog);
// What a line edit, combo box, check box, spin box, slider, table, memo or source editor
// shows, as one text; '' for any other control.
QString FieldValue(const QWidget* Field);

enum class TFieldKind {
    Text,
    Number,   // digits, '-' and '.'
    Length,   // a number or a percentage
    Key,      // one letter or digit: an access key
    Colour,   // painted in its colour; Button opens the colour popup
    Url,      // Button browses for a file of kind Browse
    Boolean,  // a check box: the attribute is there or not
};

enum class TFieldHome {
    Live,    // the design view's element
    Stored,  // the placeholder's stored source node (the live element when it has none)
    Both,    // the stored node, as written, and the live element, as characters; shown from the
             // stored node, or the element when the node lacks it
};

struct TField {
    // The object name of the line edit, combo box, check box, spin box or memo; nullptr for
    // an attribute that every new element gets as New and that no control shows.
    const char* Control;
    // The attribute's name, lower case.
    const char* Attr;
    TFieldKind Kind = TFieldKind::Text;
    TFieldHome Home = TFieldHome::Live;
    // What the field shows for a new element (a check box: "1" checked).
    const char* New = nullptr;
    // A Boolean written as a word ("YES"): checked when the attribute holds it. nullptr: a
    // bare attribute, set on the live element through its DOM property.
    const char16_t* On = nullptr;
    // A live Boolean's DOM property ("readOnly"); nullptr: the attribute's name.
    const char* Property = nullptr;
    // The colour or browse button of the field, by object name, and the browse kind.
    const char* Button = nullptr;
    int Browse = 0;
};

}  // namespace zv
