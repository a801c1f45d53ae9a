#pragma once
// One tag tool (TToolItem): the tag it edits, its palette button, whether it takes an element,
// and a new dialog for each opening. The palette that runs the tools is ToolManager.h.

#include <memory>
#include <string>

#include "HtmlDesigner.h"
#include "HtmlElements.h"
#include "TagEditor.h"

namespace zv {

// The markers a TToolItem's ImageIndex holds instead of an icon.
enum : int { iiNoButton = -1, iiSeparator = -2 };

class TToolItem {
public:
    TToolItem() = default;
    TToolItem(std::string TagName, std::string Hint, int ImageIndex, bool EditInPlace,
              bool NeedsSavedDocument)
        : TagName(std::move(TagName)), Hint(std::move(Hint)), ImageIndex(ImageIndex),
          EditInPlace(EditInPlace), NeedsSavedDocument(NeedsSavedDocument)
    {
    }
    virtual ~TToolItem() = default;

    // The button's cell in palette coordinates, right and bottom exclusive; all -1 without
    // a button.
    TRect ButtonRect{-1, -1, -1, -1};
    // The tag the tool edits (compared ignoring case); "IMG" for placeholders; empty for a
    // tool that only inserts.
    std::string TagName;
    std::string Hint;
    // Icon in the palette's images, or iiNoButton or iiSeparator.
    int ImageIndex = 0;
    // Edits call the dialog's Apply; otherwise the element is replaced by its GetHTML.
    bool EditInPlace = false;
    // Runs only once the document has a file name.
    bool NeedsSavedDocument = false;
    THtmlDesigner* Designer = nullptr;

    virtual bool CanEdit(const THtmlElement& Element);
    // A new dialog for one opening; nullptr for a tool without one.
    virtual std::unique_ptr<TTagEditor> NewEditor();
    // Whether the tool's element may stand inside another of its kind. One that may not (a
    // form) is edited when the selection lies in it, instead of getting a new one inside.
    virtual bool Nests() const { return true; }

    bool IsSeparator() const { return ImageIndex == iiSeparator; }

protected:
    // Whether the element is a placeholder whose stored node is of Kind.
    bool StoredKindIs(const THtmlElement& Element, THtmlTagId Kind) const;
};

}  // namespace zv
