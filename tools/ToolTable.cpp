#include "ToolTable.h"

#include "HtmlEntities.h"
#include "HtmlFilter.h"
#include "HtmlNodes.h"
#include "PickUrls.h"
#include "ToolFields.h"
#include "ui_ToolTable.h"

namespace zv {

namespace {

int CountOr4(const QString& Text)
{
    bool Ok = false;
    const int N = Text.trimmed().toInt(&Ok);
    return Ok ? N : 4;
}

const TField Fields[] = {
    {"EditWidth", "width", TFieldKind::Length, TFieldHome::Both, "100%"},
    {"EditHeight", "height", TFieldKind::Length, TFieldHome::Both},
    {"ComboAlign", "align", TFieldKind::Text, TFieldHome::Both},
    {"EditPadding", "cellpadding", TFieldKind::Number},
    {"EditSpacing", "cellspacing", TFieldKind::Number},
    {"EditSummary", "summary"},
    {"EditBgColor", "bgcolor", TFieldKind::Colour, TFieldHome::Live, nullptr, nullptr, nullptr, "BtnBgColor"},
    {"EditBackground", "background", TFieldKind::Url, TFieldHome::Live, nullptr, nullptr, nullptr, "BtnBackground", ukPicture},
    {"ComboFrame", "frame"},
    {"EditBorder", "border", TFieldKind::Number, TFieldHome::Both, "1"},
    {"ComboInner", "rules"},
    {"EditBorderColor", "bordercolor", TFieldKind::Colour, TFieldHome::Live, nullptr, nullptr, nullptr, "BtnBorderColor"},
    {"EditBorderLight", "bordercolorlight", TFieldKind::Colour, TFieldHome::Live, nullptr, nullptr, nullptr, "BtnBorderLight"},
    {"EditBorderDark", "bordercolordark", TFieldKind::Colour, TFieldHome::Live, nullptr, nullptr, nullptr, "BtnBorderDark"},
};

}  // namespace

TFormToolTable::TFormToolTable(QWidget* Parent) : TFormTool(Parent)
{
    UseFields("table", {Fields});
    SetNumericEdit(Form->EditCols);
    SetNumericEdit(Form->EditRows);
}

TFormToolTable::~TFormToolTable() = default;

void TFormToolTable::FormShow()
{
    Editing = static_cast<bool>(Element);
    ShowFields();
    if (Editing) {
        const THtmlTable Table = Element.asTable();
        Form->EditCols->setText(QString::number(Table ? Table.cols() : 0));
        Form->EditRows->setText(QString::number(Table ? Table.rows().size() : 0));
    } else {
        Form->EditCols->setText("4");
        Form->EditRows->setText("4");
    }
    for (QWidget* W : {static_cast<QWidget*>(Form->EditCols), static_cast<QWidget*>(Form->LabelEditCols),
                       static_cast<QWidget*>(Form->EditRows), static_cast<QWidget*>(Form->LabelEditRows)})
        W->setVisible(!Editing);
    UpdateColorEdits();
}

void TFormToolTable::GetHTML(WideString& S)
{
    // a new table without a width gets 80%, on the stored node too
    if (Form->EditWidth->text().trimmed().isEmpty()) Form->EditWidth->setText("80%");
    const TDesignObject Table =
        Designer->Filter->NewTableObject(StoredValue(Form->EditBorder->text().trimmed()));
    S = OpenedHtml(Table);
    AddFieldsHtml(S, Table.Node);
    S += u">\r\n";
    const int Rows = CountOr4(Form->EditRows->text()), Cols = CountOr4(Form->EditCols->text());
    for (int R = 0; R < Rows; ++R) {
        S += u"  <tr>";
        for (int C = 0; C < Cols; ++C) S += u"<td></td>";
        S += u"</tr>\r\n";
    }
    S += u"</table>";
}

bool TFormToolTable::CheckFields()
{
    // a mistyped count would build a table the view takes minutes to show, or more memory
    // than there is
    const int64_t Rows = std::max(0, CountOr4(Form->EditRows->text())), Cols = std::max(0, CountOr4(Form->EditCols->text()));
    if (!Editing && Rows * Cols > MaxCells)
        return FieldError(Form->EditRows, tr("Please specify fewer rows or columns: a new table can have at most %1 cells.")
                                              .arg(MaxCells));
    return true;
}

void TFormToolTable::Apply()
{
    if (!Element) return;
    const bool Border = FieldChanged(Form->EditBorder);
    if (ApplyFields()) Element.removeAttribute("style");
    // a table without a border shows its cells' edges in the view
    if (Border) {
        const QString Width = Form->EditBorder->text();
        SetAttr(Element, "class", Width.isEmpty() || Width == "0" ? u"dsgn_layout" : u"");
    }
}

}  // namespace zv
