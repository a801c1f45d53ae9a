#pragma once
// What a dialog's fields show, as one text. A dialog records it at the end of FormShow and
// compares in Apply, so an OK that changed nothing writes nothing.

#include <QString>

class QWidget;

namespace zv {

// Every named line edit, combo box, check box, spin box, slider, table and source editor below
// Dialog, by object name and value.
QString DialogFieldState(const QWidget* Dialog);

}  // namespace zv
