#include "ToolObjApplet.h"

#include <QHeaderView>

#include "HtmlEntities.h"
#include "HtmlFilter.h"
#include "HtmlNodes.h"
#include "PickUrls.h"
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
        Grid.SetCell(0, Row, ToQString(GetStoredAttr(*Param, attrName)));
        Grid.SetCell(1, Row, ToQString(GetStoredAttr(*Param, attrValue)));
    }
    if (Grid.rowCount() == 0) Grid.setRowCount(1);
}

void WriteGridParams(const TParamGrid& Grid, THtmlTag* Node)
{
    if (!Node) return;
    for (int Row = 0; Row < Grid.rowCount(); ++Row) {
        const WideString Name = Trim(ToWide(Grid.Cell(0, Row)));
        if (Name.empty()) continue;
        THtmlFilter::SetObjectParam(Node, FieldToMarkup(Name, TMarkupPlace::Value), {},
                                    FieldToMarkup(Trim(ToWide(Grid.Cell(1, Row))), TMarkupPlace::Value));
    }
}

// ---------------------------------------------------------------- applets and other objects

namespace {

const TField TextFields[] = {
    {"EditTitle", "title", TFieldKind::Text, TFieldHome::Both},
    {"EditAlt", "alt", TFieldKind::Text, TFieldHome::Both},
};
const TField AppletFields[] = {
    {"EditCode", "code", TFieldKind::Url, TFieldHome::Stored, nullptr, nullptr, nullptr, "BtnCode", ukApplet},
    {"EditCodebase", "codebase", TFieldKind::Text, TFieldHome::Stored},
    {"EditArchive", "archive", TFieldKind::Text, TFieldHome::Stored},
};

}  // namespace

const std::span<const TField> ObjectTexts{TextFields};

// ---------------------------------------------------------------- the dialog

TFormToolObjApplet::TFormToolObjApplet(QWidget* Parent) : TFormGridObject(Parent, tagApplet, AppletFields) {}

TFormToolObjApplet::~TFormToolObjApplet() = default;

bool TFormToolObjApplet::CheckFields()
{
    return RequiredField(Form->EditCode, tr("Please specify a compiled Java Applet file first."));
}

TDesignObject TFormToolObjApplet::NewObject() { return Designer->Filter->NewAppletObject(); }

}  // namespace zv
