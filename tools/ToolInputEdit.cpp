#include "ToolInputEdit.h"

#include "ToolFields.h"
#include "ui_ToolInputEdit.h"

namespace zv {

namespace {

TTagEditor* EditorOfKind(int Kind)
{
    auto* Editor = SharedEditor<TFormToolInputEdit>();
    Editor->Kind = Kind;
    return Editor;
}

const char16_t* const KindTypes[] = {u"text", u"password", u"file"};

}  // namespace

TTagEditor* TToolInputEdit::GetEditor() { return EditorOfKind(0); }
TTagEditor* TToolInputPassword::GetEditor() { return EditorOfKind(1); }
TTagEditor* TToolInputFile::GetEditor() { return EditorOfKind(2); }

TFormToolInputEdit::TFormToolInputEdit(QWidget* Parent) : TFormTool(Parent)
{
    SetNumericEdit(Form->EditWidth);
    SetNumericEdit(Form->EditMax);
    SetNumericEdit(Form->EditTab);
    SetAccessKeyEdit(Form->EditKey);
}

TFormToolInputEdit::~TFormToolInputEdit() = default;

void TFormToolInputEdit::FormShow()
{
    WideString Max, Tab;
    if (Element) {
        GetAttrNoDefault(Element, "maxlength", Max);
        GetAttrNoDefault(Element, "tabindex", Tab);
    }
    const auto Live = [this](const char* Name) { return Element ? ToQString(GetAttr(Element, Name)) : QString(); };
    Form->EditName->setText(Live("name"));
    Form->EditValue->setText(Live("value"));
    Form->EditWidth->setText(Live("size"));
    Form->EditMax->setText(ToQString(Max));
    Form->EditTab->setText(ToQString(Tab));
    Form->EditKey->setText(Live("accesskey"));
    Form->CheckDisabled->setChecked(Element && Element.getProperty("disabled").toBool());
    Form->CheckReadOnly->setChecked(Element && Element.getProperty("readOnly").toBool());
    static const char* const Captions[] = {"  Input Text", "  Input Password", "  Input File"};
    setWindowTitle(tr(Captions[Kind >= 0 && Kind <= 2 ? Kind : 0]));
    UpdateColorEdits();
}

bool TFormToolInputEdit::CheckFields()
{
    if (Form->EditName->text().isEmpty()) return FieldError(Form->EditName, tr("Please specify a name."));
    return true;
}

void TFormToolInputEdit::GetHTML(WideString& S)
{
    S = u"<input";
    AddAttr(S, "type", WideStringView(KindTypes[Kind >= 0 && Kind <= 2 ? Kind : 0]));
    AddAttr(S, "name", Form->EditName->text());
    AddAttr(S, "value", Form->EditValue->text());
    AddAttr(S, "size", Form->EditWidth->text());
    AddAttr(S, "maxlength", Form->EditMax->text());
    AddAttr(S, "tabindex", Form->EditTab->text());
    AddAttr(S, "accesskey", Form->EditKey->text());
    if (Form->CheckDisabled->isChecked()) S += u" disabled";
    if (Form->CheckReadOnly->isChecked()) S += u" readonly";
    S += u'>';
}

void TFormToolInputEdit::Apply()
{
    if (!Element) return;
    SetAttr(Element, "name", ToWide(Form->EditName->text()));
    SetAttr(Element, "value", ToWide(Form->EditValue->text()));
    SetAttr(Element, "size", ToWide(Form->EditWidth->text()));
    SetAttr(Element, "maxlength", ToWide(Form->EditMax->text()));
    SetAttr(Element, "tabindex", ToWide(Form->EditTab->text()));
    SetAttr(Element, "accesskey", ToWide(Form->EditKey->text()));
    SetBoolProperty(Element, "disabled", Form->CheckDisabled->isChecked());
    SetBoolProperty(Element, "readOnly", Form->CheckReadOnly->isChecked());
}

}  // namespace zv
