#include "ToolObjMedia.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>

#include "FieldState.h"
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

void PlaceValues(WideString& Html, THtmlTag& Node, std::initializer_list<TPlacedValue> Values)
{
    for (const TPlacedValue& V : Values) {
        AddAttr(Html, V.Name, V.Value);
        SetStoredAttr(Node, V.Id, ToWide(V.Value));
    }
}

void ApplyObjectBox(const THtmlElement& Element, THtmlTag* Node, const QString& Width,
                    const QString& Height, const QString& Align)
{
    SetAttr(Element, "width", ToWide(Width));
    SetAttr(Element, "height", ToWide(Height));
    SetAttr(Element, "style", WideString());
    SetAttr(Element, "align", ToWide(Align));
    if (!Node) return;
    SetStoredAttr(*Node, attrWidth, ToWide(Width));
    SetStoredAttr(*Node, attrHeight, ToWide(Height));
    SetStoredAttr(*Node, attrAlign, ToWide(Align));
}

bool TToolObjMedia::CanEdit(const THtmlElement& Element) { return IsObjectOf(StoredNode(Element), Player); }

TFormToolObjMedia::TFormToolObjMedia(QWidget* Parent, const TMediaPlayer& Player)
    : TTagEditor(Parent), Player(Player)
{
}

void TFormToolObjMedia::Setup(QDialogButtonBox* Buttons)
{
    SetupButtons(Buttons);
    EditMovie = findChild<QLineEdit*>("EditMovie");
    EditWidth = findChild<QLineEdit*>("EditWidth");
    EditHeight = findChild<QLineEdit*>("EditHeight");
    ComboAlign = findChild<QComboBox*>("ComboAlign");
    EditLoading = findChild<QLineEdit*>("EditLoading");
    SetNumericEdit(EditWidth);
    SetNumericEdit(EditHeight);
    using TPair = std::pair<const char*, const char*>;
    for (const auto& [Track, Label] : {TPair{"TrackVolume", "LabelVolume"}, TPair{"TrackBalance", "LabelBalance"}}) {
        auto* Slider = findChild<QSlider*>(Track);
        auto* Shows = findChild<QLabel*>(Label);
        if (Slider && Shows)
            connect(Slider, &QSlider::valueChanged, Shows, [Shows](int Value) { Shows->setNum(Value); });
    }
}

QWidget* TFormToolObjMedia::FieldOf(const TMediaParam& Param) const { return findChild<QWidget*>(Param.Field); }

THtmlTag* TFormToolObjMedia::StoredObject() const { return TagOfKind(StoredNode(), tagObject); }

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
    EditWidth->setText(Editing ? ToQString(GetNodeAttr(attrWidth)) : QStringLiteral("400"));
    EditHeight->setText(Editing ? ToQString(GetNodeAttr(attrHeight)) : QStringLiteral("300"));
    ComboAlign->setCurrentText(Editing ? ToQString(GetNodeAttr(attrAlign)) : QString());
    EditLoading->setText(Editing && Node ? ToQString(Node->GetAttribute(attrStandby)) : QString());
    for (const TMediaParam& Param : Player.Params)
        ShowParam(Param, THtmlFilter::GetObjectParam(Node, Latin1ToUtf16(Param.Name)), Editing);
    UpdateColorEdits();
    Shown = DialogFieldState(this);
}

bool TFormToolObjMedia::CheckFields()
{
    if (!EditMovie->text().isEmpty()) return true;
    if (Player.Instead && !findChild<QLineEdit*>(Player.Instead)->text().isEmpty()) return true;
    return FieldError(EditMovie, tr(Player.Required));
}

void TFormToolObjMedia::WriteParams(THtmlTag* Node)
{
    if (!Node) return;
    if (Player.CodeBase) SetStoredAttr(*Node, attrCodebase, Player.CodeBase);
    for (const TMediaParam& Param : Player.Params)
        THtmlFilter::SetObjectParam(Node, Latin1ToUtf16(Param.Name),
                                    Wide(Param.Default),
                                    EscapeStoredValue(ParamValue(Param)));
    THtmlTag* Embed = THtmlFilter::RebuildEmbed(Node);
    if (Player.EmbedType) Embed->SetUnknownAttribute(u"type", Player.EmbedType);
    if (Player.PluginsPage) Embed->SetUnknownAttribute(u"pluginspage", Player.PluginsPage);
}

void TFormToolObjMedia::GetHTML(WideString& S)
{
    const TDesignObject Object = Designer->Filter->NewObjectObject(Player.ClassIds.front());
    S = Object.Html;
    PlaceValues(S, *Object.Node,
                {{"width", attrWidth, EditWidth->text()}, {"height", attrHeight, EditHeight->text()},
                 {"align", attrAlign, ComboAlign->currentText()}});
    SetStoredAttr(*Object.Node, attrStandby, ToWide(EditLoading->text()));
    S += u'>';
    WriteParams(Object.Node);
}

void TFormToolObjMedia::Apply()
{
    if (!Element || DialogFieldState(this) == Shown) return;
    THtmlTag* Node = StoredObject();
    ApplyObjectBox(Element, Node, EditWidth->text(), EditHeight->text(), ComboAlign->currentText());
    if (!Node) return;
    SetStoredAttr(*Node, attrStandby, ToWide(EditLoading->text()));
    WriteParams(Node);
}

}  // namespace zv
