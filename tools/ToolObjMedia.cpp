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

// The PARAM that keeps a setting of Node.
WideString ParamName(const THtmlTag* Node, const TMediaParam& Param)
{
    const WideString Name = Latin1ToUtf16(Param.Name);
    if (!Param.Alias || !Node || !THtmlFilter::GetObjectParam(Node, Name).empty()) return Name;
    const WideString Alias = Latin1ToUtf16(Param.Alias);
    return THtmlFilter::GetObjectParam(Node, Alias).empty() ? Name : Alias;
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
    for (const TMediaParam& Param : Player.Params)
        ShowParam(Param, THtmlFilter::GetObjectParam(Node, ParamName(Node, Param)), Editing);
    UpdateColorEdits();
    RememberShownValues();
}

bool TFormToolObjMedia::CheckFields()
{
    if (Player.Instead && !findChild<QLineEdit*>(Player.Instead)->text().isEmpty()) return true;
    return RequiredField(EditMovie, tr(Player.Required));
}

void TFormToolObjMedia::WriteParams(THtmlTag* Node)
{
    if (!Node) return;
    if (Player.CodeBase) SetStoredAttr(*Node, attrCodebase, Player.CodeBase);
    for (const TMediaParam& Param : Player.Params)
        THtmlFilter::SetObjectParam(Node, ParamName(Node, Param), Wide(Param.Default), EscapeStoredValue(ParamValue(Param)));
    THtmlTag* Embed = THtmlFilter::RebuildEmbed(Node);
    if (Player.EmbedType) Embed->SetUnknownAttribute(u"type", Player.EmbedType);
    if (Player.PluginsPage) Embed->SetUnknownAttribute(u"pluginspage", Player.PluginsPage);
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
