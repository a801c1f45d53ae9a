#include "ToolTable.h"

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

}  // namespace

TFormToolTable::TFormToolTable(QWidget* Parent) : TFormTool(Parent)
{
    RegisterBrowseButton(Form->EditBackground, Form->BtnBackground, ukPicture);
    RegisterColorEdit(Form->EditBgColor, Form->BtnBgColor);
    RegisterColorEdit(Form->EditBorderColor, Form->BtnBorderColor);
    RegisterColorEdit(Form->EditBorderLight, Form->BtnBorderLight);
    RegisterColorEdit(Form->EditBorderDark, Form->BtnBorderDark);
    for (QLineEdit* Edit : {Form->EditPadding, Form->EditSpacing, Form->EditCols, Form->EditRows, Form->EditBorder})
        SetNumericEdit(Edit);
    SetLengthEdit(Form->EditWidth);
    SetLengthEdit(Form->EditHeight);
}

TFormToolTable::~TFormToolTable() = default;

void TFormToolTable::FormShow()
{
    Editing = static_cast<bool>(Element);
    const auto Live = [this](const char* Name) { return Editing ? ToQString(GetAttr(Element, Name)) : QString(); };
    Form->ComboAlign->setCurrentText(Live("align"));
    Form->EditBackground->setText(Live("background"));
    Form->EditBgColor->setText(Live("bgcolor"));
    Form->EditSummary->setText(Live("summary"));
    Form->EditPadding->setText(Live("cellpadding"));
    Form->EditSpacing->setText(Live("cellspacing"));
    Form->EditBorderColor->setText(Live("bordercolor"));
    Form->EditBorderLight->setText(Live("bordercolorlight"));
    Form->EditBorderDark->setText(Live("bordercolordark"));
    Form->ComboFrame->setCurrentText(Live("frame"));
    Form->ComboInner->setCurrentText(Live("rules"));
    if (Editing) {
        const THtmlTable Table = Element.asTable();
        Form->EditCols->setText(QString::number(Table ? Table.cols() : 0));
        Form->EditRows->setText(QString::number(Table ? Table.rows().size() : 0));
        Form->EditWidth->setText(ToQString(GetNodeAttr(attrWidth)));
        Form->EditHeight->setText(ToQString(GetNodeAttr(attrHeight)));
        Form->EditBorder->setText(Live("border"));
    } else {
        Form->EditCols->setText("4");
        Form->EditRows->setText("4");
        Form->EditWidth->setText("100%");
        Form->EditHeight->clear();
        Form->EditBorder->setText("1");
    }
    for (QWidget* W : {static_cast<QWidget*>(Form->EditCols), static_cast<QWidget*>(Form->LabelEditCols),
                       static_cast<QWidget*>(Form->EditRows), static_cast<QWidget*>(Form->LabelEditRows)})
        W->setVisible(!Editing);
    UpdateColorEdits();
}

void TFormToolTable::GetHTML(WideString& S)
{
    const WideString Border = ToWide(Form->EditBorder->text().trimmed());
    const TDesignObject Table = Designer->Filter->NewTableObject(EscapeStoredValue(Border));
    // the stored node keeps the size the saved page gets
    const WideString Width = Form->EditWidth->text().trimmed().isEmpty() ? u"80%" : ToWide(Form->EditWidth->text().trimmed());
    const WideString Height = ToWide(Form->EditHeight->text().trimmed());
    SetStoredAttr(*Table.Node, attrWidth, Width);
    SetStoredAttr(*Table.Node, attrHeight, Height);
    S = Table.Html;
    if (!S.empty() && S.back() == u' ') S.pop_back();
    AddAttr(S, "width", Width);
    AddAttr(S, "height", Height);
    AddAttr(S, "align", Form->ComboAlign->currentText());
    AddAttr(S, "cellpadding", Form->EditPadding->text());
    AddAttr(S, "cellspacing", Form->EditSpacing->text());
    AddAttr(S, "summary", Form->EditSummary->text());
    AddAttr(S, "bgcolor", Form->EditBgColor->text());
    AddAttr(S, "background", Form->EditBackground->text());
    AddAttr(S, "frame", Form->ComboFrame->currentText());
    AddAttr(S, "border", Border);
    AddAttr(S, "rules", Form->ComboInner->currentText());
    AddAttr(S, "bordercolor", Form->EditBorderColor->text());
    AddAttr(S, "bordercolorlight", Form->EditBorderLight->text());
    AddAttr(S, "bordercolordark", Form->EditBorderDark->text());
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
    SetAttr(Element, "cellpadding", ToWide(Form->EditPadding->text()));
    SetAttr(Element, "cellspacing", ToWide(Form->EditSpacing->text()));
    SetAttr(Element, "summary", ToWide(Form->EditSummary->text()));
    SetAttr(Element, "bgcolor", ToWide(Form->EditBgColor->text()));
    SetAttr(Element, "background", ToWide(Form->EditBackground->text()));
    SetAttr(Element, "frame", ToWide(Form->ComboFrame->currentText()));
    const WideString Border = ToWide(Form->EditBorder->text());
    SetLiveAndStored(*this, attrBorder, Border);
    SetAttr(Element, "rules", ToWide(Form->ComboInner->currentText()));
    SetAttr(Element, "bordercolor", ToWide(Form->EditBorderColor->text()));
    SetAttr(Element, "bordercolorlight", ToWide(Form->EditBorderLight->text()));
    SetAttr(Element, "bordercolordark", ToWide(Form->EditBorderDark->text()));
    SetStoredAndLive(*this, attrWidth, ToWide(Form->EditWidth->text()));
    SetStoredAndLive(*this, attrHeight, ToWide(Form->EditHeight->text()));
    Element.removeAttribute("style");
    SetLiveAndStored(*this, attrAlign, ToWide(Form->ComboAlign->currentText()));
    SetAttr(Element, "class", Border.empty() || Border == u"0" ? u"dsgn_layout" : u"");
}

}  // namespace zv
