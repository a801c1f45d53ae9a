#include "FieldState.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <Qsci/qsciscintilla.h>

namespace zv {

QString DialogFieldState(const QWidget* Dialog)
{
    QString State;
    const auto Add = [&State](const QWidget* W, const QString& Value) {
        State += W->objectName();
        State += QChar(0x1f);
        State += Value;
        State += QChar(0x1e);
    };
    for (const QWidget* W : Dialog->findChildren<QWidget*>()) {
        // the parts of a field (the edit of a combo box, the scroll bars of an editor, a cell's
        // editor) are the field's business
        if (W->objectName().isEmpty() || W->objectName().startsWith("qt_")) continue;
        if (auto* Edit = qobject_cast<const QLineEdit*>(W)) {
            Add(W, Edit->text());
        } else if (auto* Combo = qobject_cast<const QComboBox*>(W)) {
            // an editable box chooses the item that matches its text once shown: the text counts
            Add(W, Combo->currentText());
        } else if (auto* Button = qobject_cast<const QAbstractButton*>(W)) {
            if (Button->isCheckable()) Add(W, Button->isChecked() ? "1" : "0");
        } else if (auto* Spin = qobject_cast<const QAbstractSpinBox*>(W)) {
            Add(W, Spin->text());
        } else if (auto* Slider = qobject_cast<const QAbstractSlider*>(W)) {
            Add(W, QString::number(Slider->value()));
        } else if (auto* Table = qobject_cast<const QTableWidget*>(W)) {
            QString Cells = QString::number(Table->rowCount());
            for (int R = 0; R < Table->rowCount(); ++R)
                for (int C = 0; C < Table->columnCount(); ++C) {
                    const QTableWidgetItem* Item = Table->item(R, C);
                    Cells += QChar(0x1d);
                    if (Item) Cells += Item->text();
                }
            Add(W, Cells);
        } else if (auto* Editor = qobject_cast<const QsciScintilla*>(W)) {
            Add(W, Editor->text());
        } else if (auto* Memo = qobject_cast<const QPlainTextEdit*>(W)) {
            Add(W, Memo->toPlainText());
        }
    }
    return State;
}

}  // namespace zv
