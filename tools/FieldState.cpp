#include "FieldState.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTableWidget>
#include <Qsci/qsciscintilla.h>

#include "HtmlEntities.h"
#include "HtmlNodes.h"
#include "TagEditor.h"

namespace zv {

QString FieldValue(const QWidget* W)
{
    if (auto* Edit = qobject_cast<const QLineEdit*>(W)) return Edit->text();
    // an editable box chooses the item that matches its text once shown: the text counts
    if (auto* Combo = qobject_cast<const QComboBox*>(W)) return Combo->currentText();
    if (auto* Button = qobject_cast<const QAbstractButton*>(W))
        return Button->isCheckable() ? QString(Button->isChecked() ? "1" : "0") : QString();
    if (auto* Spin = qobject_cast<const QAbstractSpinBox*>(W)) return Spin->text();
    if (auto* Slider = qobject_cast<const QAbstractSlider*>(W)) return QString::number(Slider->value());
    if (auto* Table = qobject_cast<const QTableWidget*>(W)) {
        QString Cells = QString::number(Table->rowCount());
        for (int R = 0; R < Table->rowCount(); ++R)
            for (int C = 0; C < Table->columnCount(); ++C) {
                const QTableWidgetItem* Item = Table->item(R, C);
                Cells += QChar(0x1d);
                if (Item) Cells += Item->text();
            }
        return Cells;
    }
    if (auto* Editor = qobject_cast<const QsciScintilla*>(W)) return Editor->text();
    if (auto* Memo = qobject_cast<const QPlainTextEdit*>(W)) return Memo->toPlainText();
    return {};
}

std::vector<const QWidget*> NamedFields(const QWidget* Dialog)
{
    std::vector<const QWidget*> Named;
    for (const QWidget* W : Dialog->findChildren<QWidget*>())
        // the parts of a field (the edit of a combo box, the scroll bars of an editor, a cell's
        // editor) are the field's business
        if (!W->objectName().isEmpty() && !W->objectName().startsWith("qt_")) Named.push_back(W);
    return Named;
}

// ---------------------------------------------------------------- field tables

namespace {

void SetFieldValue(QWidget* W, const QString& Value)
{
    if (auto* Check = qobject_cast<QCheckBox*>(W)) return Check->setChecked(Value == "1");
    if (auto* Spin = qobject_cast<QSpinBox*>(W)) return Spin->setValue(Value.toInt());
    if (auto* Edit = qobject_cast<QLineEdit*>(W)) return Edit->setText(Value);
    if (auto* Combo = qobject_cast<QComboBox*>(W)) return Combo->setCurrentText(Value);
    if (auto* Memo = qobject_cast<QPlainTextEdit*>(W)) return Memo->setPlainText(Value);
}

// Where a field is read and written: the stored tag for stored fields of a placeholder that
// has one, else the live element.
THtmlAttrId IdOf(const TField& F) { return AttrIdFromName(std::string_view(F.Attr)); }

THtmlTag* StoredHome(const TTagEditor& Editor, const TField& F)
{
    // a Boolean without its word is a bare attribute of the live element
    const bool Bare = F.Kind == TFieldKind::Boolean && !F.On;
    return F.Home == TFieldHome::Live || Bare || IdOf(F) == attrUnknown ? nullptr : Editor.StoredTag();
}

}  // namespace

void TTagEditor::UseFields(const char* Tag, std::initializer_list<std::span<const TField>> Parts)
{
    NewTag = Tag;
    FieldTable.clear();
    for (const std::span<const TField> Part : Parts) FieldTable.insert(FieldTable.end(), Part.begin(), Part.end());
    FieldControls.clear();
    for (const TField& F : FieldTable) {
        QWidget* Control = F.Control ? findChild<QWidget*>(F.Control) : nullptr;
        FieldControls.push_back(Control);
        auto* Edit = qobject_cast<QLineEdit*>(Control);
        auto* Button = F.Button ? findChild<QAbstractButton*>(F.Button) : nullptr;
        if (!Edit) continue;
        if (F.Kind == TFieldKind::Number) SetNumericEdit(Edit);
        else if (F.Kind == TFieldKind::Length) SetLengthEdit(Edit);
        else if (F.Kind == TFieldKind::Key) SetAccessKeyEdit(Edit);
        else if (F.Kind == TFieldKind::Colour && Button) RegisterColorEdit(Edit, Button);
        else if (F.Kind == TFieldKind::Url && Button) RegisterBrowseButton(Edit, Button, F.Browse);
    }
}

void TTagEditor::ShowFields()
{
    ShownFields.clear();
    for (size_t K = 0; K < FieldTable.size(); ++K) {
        const TField& F = FieldTable[K];
        QString Value;
        if (!Element) {
            Value = QString::fromLatin1(F.New ? F.New : "");
        } else {
            const THtmlTag* Stored = StoredHome(*this, F);
            std::optional<WideString> Written;
            if (Stored && Stored->HasAttribute(IdOf(F))) Written = GetStoredAttr(*Stored, IdOf(F));
            // a value kept on both that the stored node lacks shows as the element has it
            else if (!Stored || F.Home == TFieldHome::Both) Written = Element.getAttribute(std::string(F.Attr));
            if (F.Kind != TFieldKind::Boolean) Value = Written ? ToQString(*Written) : QString();
            else if (F.On) Value = Written && *Written == F.On ? "1" : "0";
            else Value = Written ? "1" : "0";
            // a spin box shows its new-element value for what is no number
            if (qobject_cast<QSpinBox*>(FieldControls[K]) && F.New) {
                bool Number = false;
                Value.toInt(&Number);
                if (!Number) Value = QString::fromLatin1(F.New);
            }
        }
        if (FieldControls[K]) SetFieldValue(FieldControls[K], Value);
        ShownFields.push_back(FieldControls[K] ? FieldValue(FieldControls[K]) : QString());
    }
}

void TTagEditor::AddFieldsHtml(WideString& Html, THtmlTag* Node) const
{
    WideString Words;
    for (size_t K = 0; K < FieldTable.size(); ++K) {
        const TField& F = FieldTable[K];
        // a field without a control: an attribute every new element gets
        if (!F.Control && F.New) AddAttr(Html, F.Attr, Latin1ToUtf16(F.New));
        if (!FieldControls[K]) continue;
        const QString Value = FieldValue(FieldControls[K]);
        const bool Stored = Node && F.Home != TFieldHome::Live && IdOf(F) != attrUnknown;
        const bool Live = F.Home != TFieldHome::Stored;
        if (F.Kind == TFieldKind::Boolean) {
            if (Value != "1") continue;
            if (Stored && F.On) Node->SetAttribute(IdOf(F), F.On);
            else if (Live) Words += u' ' + Latin1ToUtf16(F.Attr);
            continue;
        }
        if (Stored) SetStoredAttr(*Node, IdOf(F), Trim(ToWide(Value)));
        if (Live) AddAttr(Html, F.Attr, ToWide(Value));
    }
    Html += Words;
}

bool TTagEditor::ApplyFields()
{
    if (!Element) return false;
    bool Wrote = false;
    for (size_t K = 0; K < FieldTable.size(); ++K) {
        const TField& F = FieldTable[K];
        if (!FieldControls[K] || K >= ShownFields.size() || FieldValue(FieldControls[K]) == ShownFields[K]) continue;
        Wrote = true;
        const QString Shows = FieldValue(FieldControls[K]);
        THtmlTag* Stored = StoredHome(*this, F);
        WideString Value = ToWide(Shows);
        if (F.Kind == TFieldKind::Boolean) {
            const bool On = Shows == "1";
            if (Stored || F.On) {
                Value = On ? WideString(F.On ? F.On : u"") : WideString();
            } else {
                Element.setProperty(F.Property ? std::string(F.Property) : std::string(F.Attr), On);
                continue;
            }
        }
        if (Stored) SetStoredAttr(*Stored, IdOf(F), Value);
        if (!Stored || F.Home == TFieldHome::Both)
            SetAttr(Element, std::string(F.Attr), Value);
    }
    return Wrote;
}

bool TTagEditor::FieldChanged(const QWidget* Field) const
{
    for (size_t K = 0; K < FieldControls.size() && K < ShownFields.size(); ++K)
        if (FieldControls[K] == Field) return ShownFields[K] != FieldValue(Field);
    const auto Shown = ShownValues.find(Field->objectName());
    return Shown == ShownValues.end() || *Shown != FieldValue(Field);
}

bool TTagEditor::DialogChanged() const
{
    if (ShownValues.isEmpty()) return true;
    for (const QWidget* W : NamedFields(this))
        if (FieldChanged(W)) return true;
    return false;
}

void TTagEditor::RememberShownValues()
{
    ShownValues.clear();
    for (const QWidget* W : NamedFields(this)) ShownValues.insert(W->objectName(), FieldValue(W));
}

bool TTagEditor::RequiredField(QWidget* Field, const QString& Message)
{
    if (!FieldValue(Field).isEmpty() || (Element && !FieldChanged(Field))) return true;
    return FieldError(Field, Message);
}

}  // namespace zv
