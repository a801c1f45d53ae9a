#pragma once
// The applet tool: class or archive, size, alignment, title, alternate text, class libraries
// and named parameters of an APPLET, shown in the design view as a placeholder. The parameter
// grid and its writer serve the ActiveX tool too.

#include <QTableWidget>

#include "HtmlFilter.h"
#include "ToolObjMedia.h"

namespace Ui {
class FormToolObjApplet;
}

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

// The title and alternate text of an applet or ActiveX object, on its placeholder too.
extern const std::span<const TField> ObjectTexts;

// The applet and ActiveX dialogs: a table of fields (the object's box and texts, then Own)
// on the stored node of Kind, and its parameter grid, named ParamGrid in the layout.
template <class TUi> class TFormGridObject : public TFormTool<TUi> {
public:
    TFormGridObject(QWidget* Parent, THtmlTagId Kind, std::span<const TField> Own)
        : TFormTool<TUi>(Parent), Grid(this->template findChild<TParamGrid*>("ParamGrid")), Kind(Kind)
    {
        this->UseFields(Kind == tagApplet ? "applet" : "object", {ObjectBox, ObjectTexts, Own});
    }

    void FormShow() override
    {
        this->ShowFields();
        FillGridParams(*Grid, Node());
    }
    void GetHTML(WideString& S) override
    {
        const TDesignObject Object = NewObject();
        S = Object.Html;
        this->AddFieldsHtml(S, Object.Node);
        S += u'>';
        WriteGridParams(*Grid, Object.Node);
    }
    void Apply() override
    {
        if (!this->Element || !this->DialogChanged()) return;
        this->ApplyFields();
        SetAttr(this->Element, "style", WideString());
        if (this->FieldChanged(Grid)) WriteGridParams(*Grid, Node());
    }

protected:
    // A new object of the kind, from the filter.
    virtual TDesignObject NewObject() = 0;

private:
    THtmlTag* Node() const { return TagOfKind(StoredNode(this->Designer, this->Element), Kind); }
    TParamGrid* Grid;
    THtmlTagId Kind;
};

class TFormToolObjApplet : public TFormGridObject<Ui::FormToolObjApplet> {
    Q_OBJECT
public:
    explicit TFormToolObjApplet(QWidget* Parent = nullptr);
    ~TFormToolObjApplet() override;

    bool CheckFields() override;

protected:
    TDesignObject NewObject() override;
};

class TToolObjApplet : public TToolItem {
public:
    TToolObjApplet() : TToolItem("IMG", "Insert Java Applet", 32, true, true) {}
    bool CanEdit(const THtmlElement& Element) override { return StoredKindIs(Element, tagApplet); }
    std::unique_ptr<TTagEditor> NewEditor() override { return std::make_unique<TFormToolObjApplet>(); }
};

}  // namespace zv
