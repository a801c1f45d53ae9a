#include "ToolObjApplet.h"

#include <QHeaderView>

#include "FieldState.h"
#include "HtmlFilter.h"
#include "HtmlNodes.h"
#include "ToolObjMedia.h"
#include "ui_ToolObjApplet.h"

namespace zv {

// ---------------------------------------------------------------- the parameter grid

TParamGrid::TParamGrid(QWidget* Parent) : QTableWidget(1, 2, Parent)
{
    setHorizontalHeaderLabels({tr("Param Name"), tr("Param Value")});
    horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    verticalHeader()->hide();
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::AllEditTriggers);
}

void TParamGrid::Clear(int Rows)
{
    clearContents();
    setRowCount(Rows);
}

QString TParamGrid::Cell(int Column, int Row) const
{
    const QTableWidgetItem* Item = item(Row, Column);
    return Item ? Item->text() : QString();
}

void TParamGrid::SetCell(int Column, int Row, const QString& Text)
{
    if (QTableWidgetItem* Item = item(Row, Column)) return Item->setText(Text);
    setItem(Row, Column, new QTableWidgetItem(Text));
}

QModelIndex TParamGrid::moveCursor(CursorAction Action, Qt::KeyboardModifiers Modifiers)
{
    const QModelIndex Current = currentIndex();
    if (Action == MoveDown && Current.isValid() && Current.row() == rowCount() - 1) {
        insertRow(rowCount());
        return model()->index(rowCount() - 1, Current.column());
    }
    return QTableWidget::moveCursor(Action, Modifiers);
}

void FillGridParams(TParamGrid& Grid, const THtmlTag* Node)
{
    Grid.Clear(0);
    for (const THtmlNode* N = Node ? Node->FirstNode() : nullptr; N; N = N->NextNode()) {
        auto* Param = dynamic_cast<const THtmlTag*>(N);
        if (!Param || Param->Kind() != tagParam) continue;
        const int Row = Grid.rowCount();
        Grid.setRowCount(Row + 1);
        Grid.SetCell(0, Row, ToQString(Param->GetAttribute(attrName)));
        Grid.SetCell(1, Row, ToQString(Param->GetAttribute(attrValue)));
    }
    if (Grid.rowCount() == 0) Grid.setRowCount(1);
}

void WriteGridParams(const TParamGrid& Grid, THtmlTag* Node)
{
    if (!Node) return;
    for (int Row = 0; Row < Grid.rowCount(); ++Row) {
        const WideString Name = Trim(ToWide(Grid.Cell(0, Row)));
        if (Name.empty()) continue;
        THtmlFilter::SetObjectParam(Node, EscapeStoredValue(Name), {},
                                    EscapeStoredValue(Trim(ToWide(Grid.Cell(1, Row)))));
    }
}

// ---------------------------------------------------------------- applets and other objects

void TGridObjectFields::Show(const THtmlTag* Node, bool Editing) const
{
    const auto Text = [Node](THtmlAttrId Id) { return Node ? ToQString(Node->GetAttribute(Id)) : QString(); };
    EditWidth->setText(Editing ? Text(attrWidth) : QStringLiteral("400"));
    EditHeight->setText(Editing ? Text(attrHeight) : QStringLiteral("300"));
    ComboAlign->setCurrentText(Text(attrAlign));
    EditTitle->setText(Text(attrTitle));
    EditAlt->setText(Text(attrAlt));
    for (const auto& [Id, Edit] : Others) Edit->setText(Text(Id));
    FillGridParams(*Grid, Node);
}

void TGridObjectFields::Place(WideString& Html, THtmlTag& Node) const
{
    PlaceValues(Html, Node,
                {{"width", attrWidth, EditWidth->text()}, {"height", attrHeight, EditHeight->text()},
                 {"align", attrAlign, ComboAlign->currentText()}, {"title", attrTitle, EditTitle->text()},
                 {"alt", attrAlt, EditAlt->text()}});
    for (const auto& [Id, Edit] : Others) SetStoredAttr(Node, Id, ToWide(Edit->text()));
    Html += u'>';
    WriteGridParams(*Grid, &Node);
}

void TGridObjectFields::Apply(const THtmlElement& Element, THtmlTag* Node) const
{
    ApplyObjectBox(Element, Node, EditWidth->text(), EditHeight->text(), ComboAlign->currentText());
    if (!Node) return;
    SetStoredAttr(*Node, attrTitle, ToWide(EditTitle->text()));
    SetStoredAttr(*Node, attrAlt, ToWide(EditAlt->text()));
    for (const auto& [Id, Edit] : Others) SetStoredAttr(*Node, Id, ToWide(Edit->text()));
    WriteGridParams(*Grid, Node);
}

// ---------------------------------------------------------------- the dialog

TFormToolObjApplet::TFormToolObjApplet(QWidget* Parent)
    : TFormTool(Parent),
      Fields{Form->EditWidth, Form->EditHeight, Form->ComboAlign, Form->EditTitle, Form->EditAlt,
             {{attrCode, Form->EditCode}, {attrCodebase, Form->EditCodebase}, {attrArchive, Form->EditArchive}},
             Form->ParamGrid}
{
    RegisterBrowseButton(Form->EditCode, Form->BtnCode, 5);
    SetNumericEdit(Form->EditWidth);
    SetNumericEdit(Form->EditHeight);
}

TFormToolObjApplet::~TFormToolObjApplet() = default;

void TFormToolObjApplet::FormShow()
{
    Fields.Show(TagOfKind(StoredNode(), tagApplet), static_cast<bool>(Element));
    Shown = DialogFieldState(this);
}

bool TFormToolObjApplet::CheckFields()
{
    if (!Form->EditCode->text().isEmpty()) return true;
    return FieldError(Form->EditCode, tr("Please specify a compiled Java Applet file first."));
}

void TFormToolObjApplet::GetHTML(WideString& S)
{
    const TDesignObject Object = Designer->Filter->NewAppletObject();
    S = Object.Html;
    Fields.Place(S, *Object.Node);
}

void TFormToolObjApplet::Apply()
{
    if (Element && DialogFieldState(this) != Shown) Fields.Apply(Element, TagOfKind(StoredNode(), tagApplet));
}

}  // namespace zv
