#pragma once
// The tag tools' framework: one tool (TToolItem), the base of every tool dialog (TTagEditor),
// and the Objects palette that lays the tools out as buttons and runs them (TToolManager).
// Every change a tool makes to the page goes through the design view as one undo group;
// elements shown as placeholders are edited through their stored source node.

#include <QDialog>
#include <QPixmap>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <functional>
#include <QHash>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "FieldState.h"
#include "HTMLAttributes.h"
#include "HTMLColors.h"
#include "HTMLTags.h"
#include "HtmlDesigner.h"
#include "HtmlElements.h"
#include "HtmlInplace.h"
#include "ImageList.h"
#include "WideText.h"

class QAbstractButton;
class QDialogButtonBox;
class QLineEdit;
class QPainter;

namespace zv {

class THtmlNode;
class THtmlTag;
class TTagEditor;

// What the tools need of the main window, which fills it in at start-up.
struct TToolHost {
    // Offers to save an unnamed document; true when the document has a file name afterwards.
    // Unset: true when FileName is not empty.
    std::function<bool()> EnsureSaved;
    // The document's file name (UTF-8), the base of relative URLs; empty while unnamed.
    // Unset: empty.
    std::function<std::string()> FileName;
};
TToolHost& ToolHost();
bool EnsureSaved();
std::string DocumentFileName();

// ---------------------------------------------------------------- text at the Qt boundary

inline WideString ToWide(const QString& Text) { return Text.toStdU16String(); }
inline QString ToQString(WideStringView Text)
{
    return QString(reinterpret_cast<const QChar*>(Text.data()), static_cast<qsizetype>(Text.size()));
}

// ---------------------------------------------------------------- attributes

// An empty Value removes the attribute; a value equal to the present one changes nothing, so
// an unchanged dialog leaves the page as it was. A failed engine call raises.
void SetAttr(const THtmlElement& Element, const std::string& Name, const WideString& Value);
// The attribute as the page holds it; '' when absent.
void GetAttr(const THtmlElement& Element, const std::string& Name, WideString& Value);
WideString GetAttr(const THtmlElement& Element, const std::string& Name);

// Appends ` Name="Value"` to the HTML of a new element when Value, trimmed, is not empty; the
// value is escaped for markup.
void AddAttr(WideString& Html, const char* Name, WideStringView Value);
inline void AddAttr(WideString& Html, const char* Name, const QString& Value)
{
    AddAttr(Html, Name, ToWide(Value));
}
// A field's text for a stored source node, whose values keep their references as written:
// only '"' becomes "&quot;".
WideString EscapeStoredValue(WideStringView Value);
// Writes a field into a stored node: empty removes the attribute, the present value changes
// nothing, anything else goes in as EscapeStoredValue.
void SetStoredAttr(THtmlTag& Node, THtmlAttrId Id, WideStringView Value);
// Node as a tag of Kind; nullptr when it is none.
THtmlTag* TagOfKind(THtmlNode* Node, THtmlTagId Kind);

// ---------------------------------------------------------------- colour fields

// White where 0.3 * blue + 0.59 * green + 0.11 * red of the raw value is at most 127.5, else
// black: the colour popups' rule.
inline TColor ColorEditTextColor(TColor Color) { return ContrastTextColor(Color); }
// Paints a colour field in the colour its text names (the window colours when empty).
void PaintColorEdit(QLineEdit* Edit);

// ---------------------------------------------------------------- placing a dialog

// Top-left corner of a dialog of Size for the reference rectangle R (screen coordinates):
// beside R when R lies in the design view's Bounds (an element), else aligned with R (a
// palette button); kept inside Bounds shrunk by 10 pixels.
QPoint PlaceEditor(const QRect& R, const QSize& Size, const QRect& Bounds, const QSize& Screen);

// Between BeginAction and EndAction, also when the change raises.
class TActionScope {
public:
    TActionScope(THtmlDesigner& Designer, const std::string& Name) : Designer(Designer)
    {
        Designer.BeginAction(Name);
    }
    ~TActionScope() { Designer.EndAction(); }
    TActionScope(const TActionScope&) = delete;
    TActionScope& operator=(const TActionScope&) = delete;

private:
    THtmlDesigner& Designer;
};

// ---------------------------------------------------------------- tools

class TToolItem {
public:
    TToolItem() = default;
    TToolItem(std::string TagName, std::string Hint, int ImageIndex, bool EditInPlace,
              bool NeedsSavedDocument)
        : TagName(std::move(TagName)), Hint(std::move(Hint)), ImageIndex(ImageIndex),
          EditInPlace(EditInPlace), NeedsSavedDocument(NeedsSavedDocument)
    {
    }
    virtual ~TToolItem() = default;

    // The button's cell in palette coordinates, right and bottom exclusive; all -1 without
    // a button.
    TRect ButtonRect{-1, -1, -1, -1};
    // The tag the tool edits (compared ignoring case); "IMG" for placeholders; empty for a
    // tool that only inserts.
    std::string TagName;
    std::string Hint;
    // Icon in the palette's images; -1 no button; -2 separator.
    int ImageIndex = 0;
    // Edits call the dialog's Apply; otherwise the element is replaced by its GetHTML.
    bool EditInPlace = false;
    // Runs only once the document has a file name.
    bool NeedsSavedDocument = false;
    THtmlDesigner* Designer = nullptr;

    virtual bool CanEdit(const THtmlElement& Element);
    // The tool's dialog, made on first use and kept; nullptr for a tool without one.
    virtual TTagEditor* GetEditor();
    // Whether the tool's element may stand inside another of its kind. One that may not (a
    // form) is edited when the selection lies in it, instead of getting a new one inside.
    virtual bool Nests() const { return true; }

    bool IsSeparator() const { return ImageIndex == -2; }

protected:
    // The stored source node behind a placeholder; nullptr when the element has none.
    THtmlNode* StoredNode(const THtmlElement& Element) const;
    // Whether the element is a placeholder whose stored node is of Kind.
    bool StoredKindIs(const THtmlElement& Element, THtmlTagId Kind) const;
};

// One dialog per class, made on first use, living until the program ends.
template <class T> T* SharedEditor()
{
    static T* Editor = new T(nullptr);
    return Editor;
}

class TTagEditor : public QDialog {
    Q_OBJECT
public:
    explicit TTagEditor(QWidget* Parent = nullptr);
    ~TTagEditor() override;

    // The element being edited; a null handle while a new one is inserted.
    THtmlElement Element;
    THtmlDesigner* Designer = nullptr;

    // Fills every field: defaults while inserting, else from Element or its stored node (the
    // field table through ShowFields, the rest by the dialog's own rules). Runs at each showing.
    virtual void FormShow() {}
    // The OK button's checks; false keeps the dialog open.
    virtual bool CheckFields() { return true; }
    // The HTML of a new element built from the fields.
    virtual void GetHTML(WideString& S);
    // Writes the fields the user changed into Element or its stored node, and no other.
    virtual void Apply();

    // The OK button: CheckFields, then the dialog is accepted. On an existing element that
    // nothing was changed in, the dialog closes unchecked.
    void OkClick();
    // Whether any control shows something else than when the dialog was shown.
    bool DialogChanged() const;
    // The stored source node behind Element; nullptr when there is none (a pasted placeholder
    // has no design id): the dialog then works on the live element.
    THtmlNode* StoredNode() const;
    // A field of a placeholder: the stored tag's attribute as written (references kept), or
    // the live element's when Element has no stored tag.
    WideString GetNodeAttr(THtmlAttrId Id) const;

    // Key filters of numeric, length ('%' too) and access-key fields.
    static void SetNumericEdit(QLineEdit* Edit);
    static void SetLengthEdit(QLineEdit* Edit);
    static void SetAccessKeyEdit(QLineEdit* Edit);

protected:
    // The dialog's field table, given once after the layout is set up, in one or more parts;
    // the key filters and the colour and browse buttons of its fields are set up from it.
    void UseFields(std::initializer_list<std::span<const TField>> Parts);
    // Reads every field of the table from Element, or its new-element value, and remembers
    // what each shows. An attribute that is there shows as written, an absent one empty.
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
    // Records what every control shows; showing the dialog does it after FormShow.
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

    void showEvent(QShowEvent* Event) override;

private:
    // Offers the colour popup under Button for the colour field Edit.
    void ColorButtonClick(QLineEdit* Edit, QAbstractButton* Button);
    // Shared by the dialog's colour buttons; made at the first click.
    TColorPopupDialog* ColorPopup = nullptr;
    struct TLinkedEdit {
        QLineEdit* Edit;
        bool Color;
    };
    std::vector<TLinkedEdit> LinkedEdits;
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

// The Objects palette.
class TToolManager : public QWidget {
    Q_OBJECT
public:
    explicit TToolManager(QWidget* Parent = nullptr);
    ~TToolManager() override;

    template <class T> T* AddTool() { return static_cast<T*>(AddTool(std::make_unique<T>())); }
    TToolItem* AddTool(std::unique_ptr<TToolItem> Tool);
    void AddSeparator();
    void Clear();
    void BeginUpdate();
    void EndUpdate();
    // The icons, all of one size.
    void SetImages(std::vector<QPixmap> Images);
    void SetImages(const TImageList& List) { SetImages(std::vector<QPixmap>(List.Images.begin(), List.Images.end())); }
    THtmlDesigner* Designer() const { return FDesigner; }
    void SetDesigner(THtmlDesigner* Designer);

    // Runs a tool as its button does: edits the selected element when the tool takes it,
    // else inserts its new element at the caret or the selection, or in front of an element
    // selected whole.
    void Execute(TToolItem* Tool);
    // Runs the first tool of class T (subclasses too); nothing when there is none.
    template <class T> void ExecuteTool()
    {
        for (const auto& Tool : Tools)
            if (dynamic_cast<T*>(Tool.get())) return Execute(Tool.get());
    }
    // Opens the dialog of the first tool that takes Element; a link goes to the design view's
    // hyperlink command.
    void EditElement(const THtmlElement& Element);

    // Fired after every change a tool made to the document.
    std::function<void(QObject* Sender)> OnChange;

    // Every tool and separator in palette order.
    const std::vector<std::unique_ptr<TToolItem>>& AllTools() const { return Tools; }
    // The tools that edit elements, in the order they are asked.
    const std::vector<TToolItem*>& TagEditors() const { return FTagEditors; }
    int ButtonSize() const { return FButtonSize; }
    int HotIndex() const { return FHotIndex; }
    bool Pressed() const { return FPressed; }
    QPoint ImageOffset() const { return FImageOffset; }
    // Index of the button under Pos (palette coordinates); -1 for none.
    int HitTest(const QPoint& Pos) const;
    // The height the buttons take in Width pixels, margins included.
    int LayoutHeight(int Width) const;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int Width) const override { return LayoutHeight(Width); }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* Event) override;
    void resizeEvent(QResizeEvent* Event) override;
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;
    void leaveEvent(QEvent* Event) override;

private:
    enum class TButtonState { Normal, Hot, Pressed };
    // Hands every tool its cell at Width in palette order; returns the rows taken.
    int Arrange(int Width, const std::function<void(TToolItem&, const TRect&)>& Place) const;
    void Layout();
    void DrawButton(int Index, TButtonState State);
    void PaintButton(QPainter& Painter, int Index, TButtonState State) const;
    QRect ButtonScreenRect(const TToolItem* Tool) const;
    // The element the tools may change: in the page still, and not the body or the page.
    static bool IsEditable(const THtmlElement& Element);
    // The element of the tool's kind that Element lies in (itself included), when the tool
    // takes it; a null handle otherwise.
    THtmlElement EnclosingOwn(TToolItem* Tool, const THtmlElement& Element) const;
    // The edit dialog for Element; its HTML, when it gives some, replaces the element.
    void EditAndReplace(TToolItem* Tool, const THtmlElement& Element, const QRect& Reference);
    bool InsertDialog(TToolItem* Tool, WideString& Html);
    bool EditDialog(TToolItem* Tool, const THtmlElement& Element, const QRect& Reference,
                    WideString& Html);
    void Changed();

    bool FPressed = false;
    bool Updating = false;
    int FHotIndex = -1;
    QPoint FImageOffset{-1, -1};
    int FButtonSize = 30;
    THtmlDesigner* FDesigner = nullptr;
    std::vector<TToolItem*> FTagEditors;
    std::vector<std::unique_ptr<TToolItem>> Tools;
    std::vector<QPixmap> Images;
    // the states drawn over the normal palette
    std::vector<TButtonState> States;
};

}  // namespace zv
