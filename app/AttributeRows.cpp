#include "AttributeRows.h"

namespace zv {

void TInspectorItem::Changed()
{
    if (Owner && !Owner->Updating && Owner->OnItemChanged)
        Owner->OnItemChanged(this);
}

void TInspectorItem::SetName(const std::string& Name)
{
    if (Name == FName)
        return;
    FName = Name;
    Changed();
}

void TInspectorItem::SetNameColor(TColor Color)
{
    if (Color == FNameColor)
        return;
    FNameColor = Color;
    Changed();
}

void TInspectorItem::SetValue(const std::string& Value)
{
    if (Value == FValue)
        return;
    FValue = Value;
    Changed();
}

void TInspectorItem::SetBoolValue(bool Value)
{
    if (Value == FBoolValue)
        return;
    FBoolValue = Value;
    Changed();
}

void TInspectorItem::SetPickListText(const std::string& CommaText)
{
    PickList.clear();
    size_t Start = 0;
    while (!CommaText.empty()) {
        const size_t End = CommaText.find(',', Start);
        PickList.push_back(CommaText.substr(Start, End == std::string::npos ? End : End - Start));
        if (End == std::string::npos)
            break;
        Start = End + 1;
    }
}

TInspectorItem* AddInspectorItem(TInspector& Inspector)
{
    Inspector.Items.push_back(std::make_unique<TInspectorItem>(&Inspector));
    return Inspector.Items.back().get();
}

TInspectorItem* AddInspectorCategory(TInspector& Inspector, const std::string& Caption, bool Collapsed)
{
    TInspectorItem* Item = AddInspectorItem(Inspector);
    Item->IsCategory = true;
    Item->Expanded = !Collapsed;
    Item->SetName(Caption);
    return Item;
}

void TInspector::SetCaptions(const std::string& Long, const std::string& Short)
{
    LongTitle = Long;
    ShortTitle = Short;
}

TInspectorItem* TInspector::AddAttribute(THtmlAttrId AttrId, TColor NameColor, const std::string& Description,
                                         const std::string& PickList, uint8_t Kind)
{
    TInspectorItem* Item = AddInspectorItem(*this);
    Item->AttrId = AttrId;
    Item->SetName(std::string(AttrNameFromId(AttrId)));
    Item->SetNameColor(NameColor);
    if (ElementAttribute) {
        const std::string Value = ElementAttribute(Item->Name());
        if (!Value.empty()) {
            if (Kind == ikCheck)
                Item->SetBoolValue(Value != "0" && Value != "false");
            else
                Item->SetValue(Value);
        }
    }
    Item->SetPickListText(PickList);
    Item->Description = Description;
    Item->Kind = Kind;
    return Item;
}

TInspectorItem* TInspector::AddCategory(const std::string& Caption)
{
    return AddInspectorCategory(*this, Caption, true);
}

}  // namespace zv
