#pragma once
// The applet tool: class or archive, size, alignment, title, alternate text, class libraries
// and named parameters of an APPLET, shown in the design view as a placeholder. The parameter
// grid and its writer serve the ActiveX tool too.

#include <QTableWidget>
#include <utility>
#include <vector>

#include "ToolManager.h"

namespace Ui {
class FormToolObjApplet;
}

class QComboBox;

namespace zv {

// Two titled columns, "Param Name" and "Param Value", one parameter a row; moving down from
// the last row adds a row.
class TParamGrid : public QTableWidget {
    Q_OBJECT
public:
    explicit TParamGrid(QWidget* Parent = nullptr);
    // Empties every cell and leaves Rows rows.
    void Clear(int Rows);
    QString Cell(int Column, int Row) const;
    void SetCell(int Column, int Row, const QString& Text);

protected:
    QModelIndex moveCursor(CursorAction Action, Qt::KeyboardModifiers Modifiers) override;
};

// One row per PARAM child of Node (nullptr: none), in document order; at least one row.
void FillGridParams(TParamGrid& Grid, const THtmlTag* Node);
// Each row with a name sets the first PARAM of that name (ignoring case), or appends one; an
// empty value removes it. Rows without a name and PARAMs named in no row stay as they are.
void WriteGridParams(const TParamGrid& Grid, THtmlTag* Node);

// The fields of the applet and ActiveX dialogs: width, height, alignment, title, alternate
// text (on the placeholder too), Others (on the stored node only) and the parameter grid.
struct TGridObjectFields {
    QLineEdit* EditWidth;
    QLineEdit* EditHeight;
    QComboBox* ComboAlign;
    QLineEdit* EditTitle;
    QLineEdit* EditAlt;
    std::vector<std::pair<THtmlAttrId, QLineEdit*>> Others;
    TParamGrid* Grid;

    // From the stored node while editing (Node nullptr: empty), else the defaults of a new one.
    void Show(const THtmlTag* Node, bool Editing) const;
    // A new object: the rest of its placeholder into Html, which is closed, and its stored node.
    void Place(WideString& Html, THtmlTag& Node) const;
    // An edited object: its placeholder's box, and its stored node when there is one.
    void Apply(const THtmlElement& Element, THtmlTag* Node) const;
};

class TFormToolObjApplet : public TFormTool<Ui::FormToolObjApplet> {
    Q_OBJECT
public:
    explicit TFormToolObjApplet(QWidget* Parent = nullptr);
    ~TFormToolObjApplet() override;

    void FormShow() override;
    bool CheckFields() override;
    void GetHTML(WideString& S) override;
    void Apply() override;

private:
    TGridObjectFields Fields;
    QString Shown;
};

class TToolObjApplet : public TToolItem {
public:
    TToolObjApplet() : TToolItem("IMG", "Insert Java Applet", 32, true, true) {}
    bool CanEdit(const THtmlElement& Element) override { return StoredKindIs(Element, tagApplet); }
    TTagEditor* GetEditor() override { return SharedEditor<TFormToolObjApplet>(); }
};

}  // namespace zv
