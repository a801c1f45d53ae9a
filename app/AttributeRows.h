#pragma once
// The row model of a property inspector for HTML elements: attribute rows (name, value,
// editing kind, description, pick list) grouped under category rows, with the captions of the
// inspected tag. The rows stand ready for an attribute panel; nothing paints them yet.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "HTMLAttributes.h"
#include "HTMLColors.h"

namespace zv {

class TInspector;

// Editing kinds of a row.
enum TInspectorKind : uint8_t { ikText = 0, ikPickList = 1, ikColor = 2, ikCheck = 4 };

constexpr TColor InspectorDeprecatedColor = 0x808080;

class TInspectorItem {
public:
    explicit TInspectorItem(TInspector* Owner) : Owner(Owner) {}

    TInspector* Owner;
    bool IsCategory = false;
    bool Expanded = false;
    bool Visible = true;
    TColor ValueColor = clBlack;
    uint8_t Kind = ikText;
    std::vector<std::string> PickList;
    TColor ColorValue = clNone;
    THtmlAttrId AttrId = attrUnknown;
    std::string Description;

    const std::string& Name() const { return FName; }
    void SetName(const std::string& Name);
    TColor NameColor() const { return FNameColor; }
    void SetNameColor(TColor Color);
    const std::string& Value() const { return FValue; }
    void SetValue(const std::string& Value);
    bool BoolValue() const { return FBoolValue; }
    void SetBoolValue(bool Value);
    // Fills PickList from comma-separated text.
    void SetPickListText(const std::string& CommaText);

private:
    void Changed();

    std::string FName;
    TColor FNameColor = clBlack;
    std::string FValue;
    bool FBoolValue = false;
};

class TInspector {
public:
    std::vector<std::unique_ptr<TInspectorItem>> Items;
    std::string LongTitle, ShortTitle;
    bool Updating = false;
    // The inspected element's attribute by name; empty when no element is attached.
    std::function<std::string(const std::string&)> ElementAttribute;
    // A visible property of a row changed outside an update (the row needs repainting).
    std::function<void(TInspectorItem*)> OnItemChanged;

    void SetCaptions(const std::string& Long, const std::string& Short);
    // A row for the attribute, its value read from the attached element if any.
    TInspectorItem* AddAttribute(THtmlAttrId AttrId, TColor NameColor, const std::string& Description,
                                 const std::string& PickList, uint8_t Kind);
    TInspectorItem* AddCategory(const std::string& Caption);
    void Clear() { Items.clear(); }
};

TInspectorItem* AddInspectorItem(TInspector& Inspector);
TInspectorItem* AddInspectorCategory(TInspector& Inspector, const std::string& Caption, bool Collapsed);

}  // namespace zv
