#include "ToolObjMedia.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>

#include "FieldState.h"
#include "HtmlEntities.h"
#include "HtmlFilter.h"
#include "HtmlNodes.h"

namespace zv {

bool ParamToBool(WideStringView Value, bool Default)
{
    if (SameTextAscii(Value, u"false")) return false;
    if (SameTextAscii(Value, u"true")) return true;
    return Default;
}

namespace {

bool IsObjectOf(THtmlNode* Node, const TMediaPlayer& Player)
{
    const THtmlTag* Tag = TagOfKind(Node, tagObject);
    if (!Tag) return false;
    for (const char16_t* Id : Player.ClassIds)
        if (SameTextAscii(Tag->AttributeValue(attrClassid), Id)) return true;
    return false;
}

WideString Wide(const char* Text) { return Text ? Latin1ToUtf16(Text) : WideString(); }

int ToInt(WideStringView Text, int Default)
{
    bool Ok = false;
    const int Value = ToQString(Text).toInt(&Ok, 10);
    return Ok ? Value : Default;
}

}  // namespace

namespace {

const TField BoxFields[] = {
    {"EditWidth", "width", TFieldKind::Number, TFieldHome::Both, "400"},
    {"EditHeight", "height", TFieldKind::Number, TFieldHome::Both, "300"},
    {"ComboAlign", "align", TFieldKind::Text, TFieldHome::Both},
};
const TField MediaFields[] = {{"EditLoading", "standby", TFieldKind::Text, TFieldHome::Stored}};

// The PARAM that keeps a setting of Node, in the page's spelling when Node has it.
WideString ParamName(const THtmlTag* Node, const TMediaParam& Param)
{
    WideString Name = Latin1ToUtf16(Param.Name);
    if (Param.Alias && THtmlFilter::GetObjectParam(Node, Name).empty() &&
        !THtmlFilter::GetObjectParam(Node, Latin1ToUtf16(Param.Alias)).empty())
        Name = Latin1ToUtf16(Param.Alias);
    const THtmlTag* Written = THtmlFilter::FindObjectParam(Node, Name);
    return Written ? Written->GetAttribute(attrName) : Name;
}

// The index of the attribute Name of Tag outside the attribute table; -1 when it has none.
int UnknownAttribute(const THtmlTag& Tag, WideStringView Name)
{
    for (int K = 0; K < Tag.GetAttributeCount(); ++K) {
        const WideStringView Text = Tag.AttributeText(K);
        if (Tag.GetAttributeId(K) == attrUnknown && SameTextAscii(Text.substr(0, UnknownNameEnd(Text)), Name)) return K;
    }
    return -1;
}

bool HasNamedAttribute(const THtmlTag& Tag, WideStringView Name)
{
    const THtmlAttrId Id = AttrIdFromName(Name);
    return Id != attrUnknown ? Tag.HasAttribute(Id) : UnknownAttribute(Tag, Name) >= 0;
}

// Sets the attribute Name of Tag, in the spelling Tag has; empty removes it.
void SetNamedAttribute(THtmlTag& Tag, WideStringView Name, WideStringView Value)
{
    if (const THtmlAttrId Id = AttrIdFromName(Name); Id != attrUnknown) return Tag.SetAttribute(Id, Value);
    const int K = UnknownAttribute(Tag, Name);
    const WideString Spelling(K >= 0 ? Tag.AttributeText(K).substr(0, Name.size()) : Name);
    // one written without a value is set anew
    if (K >= 0 && (Value.empty() || Tag.AttributeText(K).size() == Name.size())) Tag.Attributes()->Delete(K);
    if (!Value.empty()) Tag.SetUnknownAttribute(Spelling, Value);
}

// The EMBED twin of Node as its last child: the first one the page has, with what it
// carries, or a new one. Any other EMBED goes.
THtmlTag* LastEmbed(THtmlTag& Node)
{
    auto* Embed = static_cast<THtmlTag*>(Node.FindFirstOfKind(tagEmbed));
    if (!Embed) Embed = new THtmlTag(tagEmbed);
    Node.AddLast(Embed);
    while (THtmlNode* Other = Node.FindFirstOfKind(tagEmbed)) {
        if (Other == Embed) break;
        delete Other;
    }
    return Embed;
}

}  // namespace

const std::span<const TField> ObjectBox{BoxFields};

bool TToolObjMedia::CanEdit(const THtmlElement& Element) { return IsObjectOf(StoredNode(Designer, Element), Player); }

TFormToolObjMedia::TFormToolObjMedia(QWidget* Parent, const TMediaPlayer& Player)
    : TTagEditor(Parent), Player(Player)
{
}

void TFormToolObjMedia::Setup(QDialogButtonBox* Buttons)
{
    SetupButtons(Buttons);
    UseFields("object", {ObjectBox, MediaFields});
    EditMovie = findChild<QLineEdit*>("EditMovie");
    using TPair = std::pair<const char*, const char*>;
    for (const auto& [Track, Label] : {TPair{"TrackVolume", "LabelVolume"}, TPair{"TrackBalance", "LabelBalance"}}) {
        auto* Slider = findChild<QSlider*>(Track);
        auto* Shows = findChild<QLabel*>(Label);
        if (Slider && Shows)
            connect(Slider, &QSlider::valueChanged, Shows, [Shows](int Value) { Shows->setNum(Value); });
    }
}

QWidget* TFormToolObjMedia::FieldOf(const TMediaParam& Param) const { return findChild<QWidget*>(Param.Field); }

THtmlTag* TFormToolObjMedia::StoredObject() const { return TagOfKind(StoredNode(Designer, Element), tagObject); }

void TFormToolObjMedia::ShowParam(const TMediaParam& Param, const WideString& Value, bool Editing)
{
    QWidget* Field = FieldOf(Param);
    const WideString Text = Editing ? Value : Wide(Param.NewValue);
    if (auto* Check = qobject_cast<QCheckBox*>(Field)) {
        const bool Default = SameTextAscii(Wide(Param.Default), u"true");
        Check->setChecked(ParamToBool(Text, Editing ? Default : false));
    } else if (auto* Slider = qobject_cast<QSlider*>(Field)) {
        Slider->setValue(ToInt(Text, ToInt(Wide(Param.Default), 0)));
    } else if (auto* Edit = qobject_cast<QLineEdit*>(Field)) {
        Edit->setText(ToQString(Text));
    } else if (auto* Combo = qobject_cast<QComboBox*>(Field)) {
        Combo->setCurrentIndex(-1);
        Combo->setCurrentText(ToQString(Text));
    }
}

WideString TFormToolObjMedia::ParamValue(const TMediaParam& Param) const
{
    QWidget* Field = FieldOf(Param);
    if (auto* Check = qobject_cast<QCheckBox*>(Field)) return BoolWords(Check->isChecked());
    if (auto* Slider = qobject_cast<QSlider*>(Field)) return IntToWide(Slider->value());
    if (auto* Edit = qobject_cast<QLineEdit*>(Field)) return ToWide(Edit->text());
    if (auto* Combo = qobject_cast<QComboBox*>(Field)) return ToWide(Combo->currentText());
    return {};
}

void TFormToolObjMedia::FormShow()
{
    const bool Editing = static_cast<bool>(Element);
    const THtmlTag* Node = Editing ? StoredObject() : nullptr;
    ShowFields();
    for (const TMediaParam& Param : Player.Params) {
        const WideString Written = THtmlFilter::GetObjectParam(Node, ParamName(Node, Param));
        ShowParam(Param, MarkupToField(Written, TMarkupPlace::Value), Editing);
    }
    UpdateColorEdits();
}

bool TFormToolObjMedia::CheckFields()
{
    if (Player.Instead && !findChild<QLineEdit*>(Player.Instead)->text().isEmpty()) return true;
    return RequiredField(EditMovie, tr(Player.Required));
}

void TFormToolObjMedia::WriteParams(THtmlTag* Node)
{
    if (!Node) return;
    // a codebase the page gives (a later version of the player) stays
    if (Player.CodeBase && !Node->HasAttribute(attrCodebase)) Node->SetAttribute(attrCodebase, Player.CodeBase);
    // the movie is the EMBED's src
    const auto EmbedName = [&](const WideString& Name) {
        return SameTextAscii(Name, ParamName(Node, Player.Params.front())) ? WideString(u"src") : Name;
    };
    std::vector<WideString> Gone;
    for (const TMediaParam& Param : Player.Params) {
        const WideString Name = ParamName(Node, Param);
        const bool Had = THtmlFilter::FindObjectParam(Node, Name);
        // a PARAM of a setting left as shown stays as the page writes it, even at the default
        const QWidget* Field = FieldOf(Param);
        if (Element && Had && Field && !FieldChanged(Field)) continue;
        const WideString Value = FieldToMarkup(ParamValue(Param), TMarkupPlace::Value);
        THtmlFilter::SetObjectParam(Node, Name, Wide(Param.Default), Value);
        if (Had && !THtmlFilter::FindObjectParam(Node, Name)) Gone.push_back(EmbedName(Name));
    }
    // the EMBED mirrors the object's size, id and PARAMs and keeps the rest it carries
    THtmlTag* Embed = LastEmbed(*Node);
    Embed->SetAttribute(attrWidth, Node->GetAttribute(attrWidth));
    Embed->SetAttribute(attrHeight, Node->GetAttribute(attrHeight));
    if (Node->HasAttribute(attrId)) Embed->SetAttribute(attrName, Node->GetAttribute(attrId));
    for (const WideString& Name : Gone) SetNamedAttribute(*Embed, Name, {});
    for (THtmlNode* N = Node->FirstNode(); N; N = N->NextNode()) {
        const THtmlTag* Param = TagOfKind(N, tagParam);
        const WideString Name = Param ? Param->GetAttribute(attrName) : WideString();
        if (!Name.empty() && Param->HasAttribute(attrValue) && !Param->AttributeValue(attrValue).empty())
            SetNamedAttribute(*Embed, EmbedName(Name), Param->AttributeValue(attrValue));
    }
    // a type and download page the page gives stay
    using TPair = std::pair<const char16_t*, const char16_t*>;
    for (const auto& [Name, Value] : {TPair{u"type", Player.EmbedType}, TPair{u"pluginspage", Player.PluginsPage}})
        if (Value && !HasNamedAttribute(*Embed, Name)) SetNamedAttribute(*Embed, Name, Value);
}

void TFormToolObjMedia::GetHTML(WideString& S)
{
    const TDesignObject Object = Designer->Filter->NewObjectObject(Player.ClassIds.front());
    S = Object.Html;
    AddFieldsHtml(S, Object.Node);
    S += u'>';
    WriteParams(Object.Node);
}

void TFormToolObjMedia::Apply()
{
    // the PARAMs are written together, in their own spelling, with the EMBED after them
    if (!Element || !DialogChanged()) return;
    ApplyFields();
    SetAttr(Element, "style", WideString());
    WriteParams(StoredObject());
}

}  // namespace zv
