#include "ToolMarquee.h"

#include "HtmlFilter.h"
#include "HtmlNodes.h"
#include "ToolFields.h"
#include "ui_ToolMarquee.h"

namespace zv {

namespace {

// The settings kept on the stored node alone, with their fields.
struct TMarqueeField {
    THtmlAttrId Id;
    QLineEdit* Ui::FormToolMarquee::*Edit;
    QComboBox* Ui::FormToolMarquee::*Combo;
};
const TMarqueeField StoredFields[] = {
    {attrBehavior, nullptr, &Ui::FormToolMarquee::ComboBehavior},
    {attrDirection, nullptr, &Ui::FormToolMarquee::ComboDirection},
    {attrBgcolor, &Ui::FormToolMarquee::EditBgColor, nullptr},
    {attrScrollamount, &Ui::FormToolMarquee::EditScrollAmount, nullptr},
    {attrScrolldelay, &Ui::FormToolMarquee::EditScrollDelay, nullptr},
    {attrHspace, &Ui::FormToolMarquee::EditHSpace, nullptr},
    {attrVspace, &Ui::FormToolMarquee::EditVSpace, nullptr},
};

QString FieldText(const Ui::FormToolMarquee& Form, const TMarqueeField& F)
{
    return F.Edit ? (Form.*F.Edit)->text() : (Form.*F.Combo)->currentText();
}

void SetFieldText(Ui::FormToolMarquee& Form, const TMarqueeField& F, const QString& Text)
{
    if (F.Edit) (Form.*F.Edit)->setText(Text);
    else (Form.*F.Combo)->setCurrentText(Text);
}

THtmlText* FirstText(THtmlNode* Node)
{
    auto* Tag = dynamic_cast<THtmlTag*>(Node);
    return Tag ? dynamic_cast<THtmlText*>(Tag->FindChild(tagText, false)) : nullptr;
}

}  // namespace

TFormToolMarquee::TFormToolMarquee(QWidget* Parent) : TFormTool(Parent)
{
    RegisterColorEdit(Form->EditBgColor, Form->BtnBgColor);
    for (QLineEdit* Edit : {Form->EditScrollAmount, Form->EditScrollDelay, Form->EditWidth, Form->EditHeight,
                            Form->EditHSpace, Form->EditVSpace})
        SetNumericEdit(Edit);
}

TFormToolMarquee::~TFormToolMarquee() = default;

void TFormToolMarquee::FormShow()
{
    for (const TMarqueeField& F : StoredFields) SetFieldText(*Form, F, Element ? ToQString(GetNodeAttr(F.Id)) : QString());
    Form->CheckLoop->setChecked(Element && GetNodeAttr(attrLoop) == u"YES");
    Form->ComboAlign->setCurrentText(Element ? ToQString(GetAttr(Element, "align")) : QString());
    Form->EditWidth->setText(Element ? ToQString(GetNodeAttr(attrWidth)) : QString("100%"));
    Form->EditHeight->setText(Element ? ToQString(GetNodeAttr(attrHeight)) : QString("30"));
    const THtmlText* Text = Element ? FirstText(StoredNode()) : nullptr;
    Form->MemoText->setPlainText(Text ? ToQString(Text->Text) : QString());
    Shown = Form->MemoText->toPlainText();
    UpdateColorEdits();
}

bool TFormToolMarquee::CheckFields()
{
    if (Form->MemoText->toPlainText().trimmed().isEmpty())
        return FieldError(Form->MemoText, tr("Please specify a text first."));
    return true;
}

void TFormToolMarquee::GetHTML(WideString& S)
{
    const TDesignObject Marquee =
        Designer->Filter->NewMarqueeObject(EscapeStoredText(ToWide(Form->MemoText->toPlainText())));
    S = Marquee.Html;
    if (!S.empty() && S.back() == u' ') S.pop_back();
    AddAttr(S, "width", Form->EditWidth->text());
    AddAttr(S, "height", Form->EditHeight->text());
    AddAttr(S, "align", Form->ComboAlign->currentText());
    S += u'>';
    // the saved marquee takes its size and alignment from the stored node
    for (const TMarqueeField& F : StoredFields) SetStoredAttr(*Marquee.Node, F.Id, ToWide(FieldText(*Form, F).trimmed()));
    if (Form->CheckLoop->isChecked()) Marquee.Node->SetAttribute(attrLoop, u"YES");
    SetStoredAttr(*Marquee.Node, attrWidth, ToWide(Form->EditWidth->text().trimmed()));
    SetStoredAttr(*Marquee.Node, attrHeight, ToWide(Form->EditHeight->text().trimmed()));
    SetStoredAttr(*Marquee.Node, attrAlign, ToWide(Form->ComboAlign->currentText().trimmed()));
}

void TFormToolMarquee::Apply()
{
    if (!Element) return;
    for (const TMarqueeField& F : StoredFields) SetNodeAttr(F.Id, ToWide(FieldText(*Form, F)));
    if (Form->CheckLoop->isChecked()) SetNodeAttr(attrLoop, u"YES");
    else SetNodeAttr(attrLoop, u"");
    SetStoredAndLive(*this, attrWidth, ToWide(Form->EditWidth->text()));
    SetStoredAndLive(*this, attrHeight, ToWide(Form->EditHeight->text()));
    Element.removeAttribute("style");
    SetLiveAndStored(*this, attrAlign, ToWide(Form->ComboAlign->currentText()));
    if (Form->MemoText->toPlainText() == Shown) return;
    auto* Node = dynamic_cast<THtmlTag*>(StoredNode());
    if (!Node) return;
    THtmlText* Text = FirstText(Node);
    if (!Text) {
        Text = new THtmlText(tagText);
        Node->AddLast(Text);
    }
    Text->Text = EscapeStoredText(MemoLines(Form->MemoText->toPlainText()));
}

}  // namespace zv
