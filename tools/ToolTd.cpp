#include "ToolTd.h"

#include "PickUrls.h"
#include "ToolFields.h"
#include "ui_ToolTd.h"

namespace zv {

namespace {

// The cell's attributes in the order Apply and GetHTML write them, with their fields.
struct TCellField {
    const char* Name;
    QLineEdit* Ui::FormToolTd::*Edit;
    QComboBox* Ui::FormToolTd::*Combo;
};
const TCellField CellFields[] = {
    {"width", &Ui::FormToolTd::EditWidth, nullptr},
    {"height", &Ui::FormToolTd::EditHeight, nullptr},
    {"colspan", &Ui::FormToolTd::EditColSpan, nullptr},
    {"rowspan", &Ui::FormToolTd::EditRowSpan, nullptr},
    {"align", nullptr, &Ui::FormToolTd::ComboAlign},
    {"valign", nullptr, &Ui::FormToolTd::ComboValign},
    {"bgcolor", &Ui::FormToolTd::EditBgColor, nullptr},
    {"background", &Ui::FormToolTd::EditBackground, nullptr},
    {"bordercolor", &Ui::FormToolTd::EditBorderColor, nullptr},
    {"bordercolorlight", &Ui::FormToolTd::EditBorderLight, nullptr},
    {"bordercolordark", &Ui::FormToolTd::EditBorderDark, nullptr},
};

QString FieldText(const Ui::FormToolTd& Form, const TCellField& F)
{
    return F.Edit ? (Form.*F.Edit)->text() : (Form.*F.Combo)->currentText();
}

void SetFieldText(Ui::FormToolTd& Form, const TCellField& F, const QString& Text)
{
    if (F.Edit) (Form.*F.Edit)->setText(Text);
    else (Form.*F.Combo)->setCurrentText(Text);
}

}  // namespace

TFormToolTd::TFormToolTd(QWidget* Parent) : TFormTool(Parent)
{
    SetNumericEdit(Form->EditColSpan);
    SetNumericEdit(Form->EditRowSpan);
    SetLengthEdit(Form->EditWidth);
    SetLengthEdit(Form->EditHeight);
    RegisterColorEdit(Form->EditBorderColor, Form->BtnBorderColor);
    RegisterColorEdit(Form->EditBorderLight, Form->BtnBorderLight);
    RegisterColorEdit(Form->EditBorderDark, Form->BtnBorderDark);
    RegisterColorEdit(Form->EditBgColor, Form->BtnBgColor);
    RegisterBrowseButton(Form->EditBackground, Form->BtnBackground, ukPicture);
}

TFormToolTd::~TFormToolTd() = default;

void TFormToolTd::FormShow()
{
    for (const TCellField& F : CellFields)
        SetFieldText(*Form, F, Element ? ToQString(GetAttr(Element, F.Name)) : QString());
    Form->CheckNoWrap->setChecked(Element && Element.getProperty("noWrap").toBool());
    if (Form->EditColSpan->text() == "1" && Form->EditRowSpan->text() == "1") {
        Form->EditColSpan->clear();
        Form->EditRowSpan->clear();
    }
    UpdateColorEdits();
}

void TFormToolTd::GetHTML(WideString& S)
{
    S = u"<td";
    for (const TCellField& F : CellFields) AddAttr(S, F.Name, FieldText(*Form, F));
    if (Form->CheckNoWrap->isChecked()) S += u" nowrap";
    S += u'>';
}

void TFormToolTd::Apply()
{
    if (!Element) return;
    for (const TCellField& F : CellFields) SetAttr(Element, F.Name, ToWide(FieldText(*Form, F)));
    SetBoolProperty(Element, "noWrap", Form->CheckNoWrap->isChecked());
}

}  // namespace zv
