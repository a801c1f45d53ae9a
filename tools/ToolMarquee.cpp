#include "ToolMarquee.h"

#include "HtmlEntities.h"
#include "HtmlFilter.h"
#include "HtmlNodes.h"
#include "ToolFields.h"
#include "ui_ToolMarquee.h"

namespace zv {

namespace {

// The scrolling settings live on the stored node alone, the size and alignment on both.
const TField Fields[] = {
    {"ComboBehavior", "behavior", TFieldKind::Text, TFieldHome::Stored},
    {"ComboDirection", "direction", TFieldKind::Text, TFieldHome::Stored},
    {"EditBgColor", "bgcolor", TFieldKind::Colour, TFieldHome::Stored, nullptr, nullptr, nullptr, "BtnBgColor"},
    {"EditScrollAmount", "scrollamount", TFieldKind::Number, TFieldHome::Stored},
    {"EditScrollDelay", "scrolldelay", TFieldKind::Number, TFieldHome::Stored},
    {"EditHSpace", "hspace", TFieldKind::Number, TFieldHome::Stored},
    {"EditVSpace", "vspace", TFieldKind::Number, TFieldHome::Stored},
    {"CheckLoop", "loop", TFieldKind::Boolean, TFieldHome::Stored, nullptr, u"YES"},
    {"EditWidth", "width", TFieldKind::Number, TFieldHome::Both, "100%"},
    {"EditHeight", "height", TFieldKind::Number, TFieldHome::Both, "30"},
    {"ComboAlign", "align", TFieldKind::Text, TFieldHome::Both},
};

THtmlText* FirstText(THtmlNode* Node)
{
    auto* Tag = dynamic_cast<THtmlTag*>(Node);
    return Tag ? dynamic_cast<THtmlText*>(Tag->FindChild(tagText, false)) : nullptr;
}

}  // namespace

TFormToolMarquee::TFormToolMarquee(QWidget* Parent) : TFormTool(Parent) { UseFields("marquee", {Fields}); }

TFormToolMarquee::~TFormToolMarquee() = default;

void TFormToolMarquee::FormShow()
{
    ShowFields();
    const THtmlText* Text = Element ? FirstText(StoredNode(Designer, Element)) : nullptr;
    Form->MemoText->setPlainText(Text ? ToQString(MarkupToField(Text->Text, TMarkupPlace::Text)) : QString());
    Shown = Form->MemoText->toPlainText();
    UpdateColorEdits();
}

bool TFormToolMarquee::CheckFields()
{
    if (!Element || FieldChanged(Form->MemoText)) {
        if (Form->MemoText->toPlainText().trimmed().isEmpty())
            return FieldError(Form->MemoText, tr("Please specify a text first."));
    }
    return true;
}

void TFormToolMarquee::GetHTML(WideString& S)
{
    const TDesignObject Marquee =
        Designer->Filter->NewMarqueeObject(FieldToMarkup(ToWide(Form->MemoText->toPlainText()), TMarkupPlace::Text));
    // the saved marquee takes its size and alignment from the stored node
    S = OpenedHtml(Marquee);
    AddFieldsHtml(S, Marquee.Node);
    S += u'>';
}

void TFormToolMarquee::Apply()
{
    if (!Element) return;
    if (ApplyFields()) Element.removeAttribute("style");
    if (Form->MemoText->toPlainText() == Shown) return;
    auto* Node = dynamic_cast<THtmlTag*>(StoredNode(Designer, Element));
    if (!Node) return;
    THtmlText* Text = FirstText(Node);
    if (!Text) {
        Text = new THtmlText(tagText);
        Node->AddLast(Text);
    }
    Text->Text = FieldToMarkup(MemoLines(Form->MemoText->toPlainText()), TMarkupPlace::Text);
}

}  // namespace zv
