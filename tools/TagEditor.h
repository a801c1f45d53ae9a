#pragma once
// The base of every tool dialog (TTagEditor): its field table (whose part lives in
// FieldState.cpp), its OK button, the key filters of its fields, its colour fields and where
// it opens beside the element or palette button. A dialog is made for one opening and gets
// what it works on when it opens; it collects values, and the palette writes them.

#include <QDialog>
#include <QHash>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QString>
#include <initializer_list>
#include <memory>
#include <span>
#include <vector>

#include "FieldState.h"
#include "HTMLColors.h"
#include "HtmlInplace.h"
#include "ToolHost.h"

class QAbstractButton;
class QDialogButtonBox;
class QLineEdit;

namespace zv {

// ---------------------------------------------------------------- colour fields

// White where 0.3 * blue + 0.59 * green + 0.11 * red of the raw value is at most 127.5, else
// black: the colour popups' rule.
inline TColor ColorEditTextColor(TColor Color) { return ContrastTextColor(Color); }
// Paints a colour field in the colour its text names (the window colours when empty).
void PaintColorEdit(QLineEdit* Edit);

// ---------------------------------------------------------------- placing a dialog

// Top-left corner of a dialog of Size for the reference rectangle R (screen coordinates):
// beside R when R lies in the design view's Bounds (an element), else aligned with R (a
// palette button); kept inside Bounds shrunk by 10 pixels, and inside Area, the work area of
// the screen R is on, above all.
QPoint PlaceEditor(const QRect& R, const QSize& Size, const QRect& Bounds, const QRect& Area);

// ---------------------------------------------------------------- the dialog base

class TTagEditor : public QDialog {
    Q_OBJECT
public:
    explicit TTagEditor(QWidget* Parent = nullptr);
    ~TTagEditor() override;

    // What the dialog works on, given by Open. The element being edited; a null handle while
    // a new one is inserted. Without a stored node behind it (StoredNode) the dialog works on
    // the live element.
    THtmlElement Element;
    THtmlDesigner* Designer = nullptr;
    TToolHost Host;

    // Takes what the dialog works on and fills its fields (FormShow), before it is shown.
    void Open(THtmlDesigner* Designer, const THtmlElement& Element, const TToolHost& Host = {});
    // Makes the dialog one of View's window, opened beside Reference (screen coordinates) by
    // PlaceEditor, View being the design view. Where it goes is settled when it is shown, at
    // its natural size, which its fields know only then.
    void PlaceBeside(QWidget* View, const QRect& Reference);
    // Fills every field: defaults while inserting, else from Element or its stored node. The
    // base shows the field table (ShowFields) and paints the colour fields.
    virtual void FormShow();
    // The OK button's checks; false keeps the dialog open.
    virtual bool CheckFields() { return true; }
    // The HTML of a new element built from the fields. The base writes the table's tag with
    // the table's attributes (AddFieldsHtml).
    virtual void GetHTML(WideString& S);
    // Writes the fields the user changed into Element or its stored node, and no other. The
    // base writes those of the field table (ApplyFields).
    virtual void Apply();
    // The name of the undo group the palette writes Apply in.
    virtual std::string UndoName() const { return "Edit"; }
    // The stored source tag the stored fields live in: the one behind Element's placeholder;
    // nullptr when there is none.
    virtual THtmlTag* StoredTag() const;

    // The OK button: CheckFields, then the dialog is accepted. On an existing element that
    // nothing was changed in, the dialog closes unchecked.
    void OkClick();
    // Whether any control shows something else than when the dialog was shown.
    bool DialogChanged() const;
    // A field of a placeholder: the stored tag's attribute as the page shows it (references
    // decoded), or the live element's when Element has no stored tag.
    WideString GetNodeAttr(THtmlAttrId Id) const;

    // The document's file name (UTF-8), the base of relative URLs; empty while unnamed.
    std::string FileName() const { return Host.FileName ? Host.FileName() : std::string(); }

    // Key filters of numeric, length ('%' too) and access-key fields.
    static void SetNumericEdit(QLineEdit* Edit);
    static void SetLengthEdit(QLineEdit* Edit);
    static void SetAccessKeyEdit(QLineEdit* Edit);

protected:
    // The dialog's field table, given once after the layout is set up, in one or more parts,
    // with the tag a new element gets; the key filters and the colour and browse buttons of its
    // fields are set up from it.
    void UseFields(const char* Tag, std::initializer_list<std::span<const TField>> Parts);
    // Reads every field of the table from Element, or its new-element value, and remembers
    // what each shows. An attribute that is there shows as the page shows it, an absent one
    // empty.
    void ShowFields();
    // A new element's attributes in table order: live ones appended to Html (blank ones left
    // out, Boolean words last), stored ones written into Node when one is given.
    void AddFieldsHtml(WideString& Html, THtmlTag* Node = nullptr) const;
    // Writes every field whose control differs from what ShowFields showed, and no other;
    // true when one was written.
    bool ApplyFields();
    // Whether the control shows something else than when the dialog was shown.
    bool FieldChanged(const QWidget* Field) const;
    // A required field: empty gives the error box, except on an existing element whose field
    // the user left as the page has it.
    bool RequiredField(QWidget* Field, const QString& Message);
    // Records what every control shows; Open does it after FormShow.
    void RememberShownValues();
    // The OK and Cancel buttons of the dialog's layout.
    void SetupButtons(QDialogButtonBox* Buttons);
    // Links a colour field to its button; answers the field's index among the linked edits.
    int RegisterColorEdit(QLineEdit* Edit, QAbstractButton* Button);
    // Links a file field to its browse button, which picks a file of Kind (see PickUrls.h).
    int RegisterBrowseButton(QLineEdit* Edit, QAbstractButton* Button, int Kind);
    // Repaints every colour field.
    void UpdateColorEdits();
    // Shows Message in an error box and puts the focus into Field; false, for CheckFields.
    bool FieldError(QWidget* Field, const QString& Message);

    // The field the keyboard starts in: the first of the dialog's order that takes it, on the
    // page shown, the tabs not counted.
    QWidget* FirstField() const;
    // The dialog takes its natural size and its place; the keyboard goes to the first field,
    // whether the window system activates the dialog or not.
    void showEvent(QShowEvent* Event) override;

private:
    // Offers the colour popup under Button for the colour field Edit.
    void ColorButtonClick(QLineEdit* Edit, QAbstractButton* Button);
    // Shared by the dialog's colour buttons; made at the first click.
    TColorPopupDialog* ColorPopup = nullptr;
    // where PlaceBeside opens the dialog; it is placed once
    QPointer<QWidget> PlaceView;
    QRect PlaceReference;
    bool Placed = false;
    struct TLinkedEdit {
        QLineEdit* Edit;
        bool Color;
    };
    std::vector<TLinkedEdit> LinkedEdits;
    const char* NewTag = "";
    std::vector<TField> FieldTable;
    std::vector<QWidget*> FieldControls;
    std::vector<QString> ShownFields;
    // every named control's value when the dialog was shown, by object name
    QHash<QString, QString> ShownValues;
};

// A tool dialog over the layout class TUi of its .ui file, whose button box is named Buttons.
template <class TUi> class TFormTool : public TTagEditor {
public:
    explicit TFormTool(QWidget* Parent) : TTagEditor(Parent), Form(std::make_unique<TUi>())
    {
        Form->setupUi(this);
        SetupButtons(Form->Buttons);
    }

protected:
    std::unique_ptr<TUi> Form;
};

}  // namespace zv
