#pragma once
// The page properties tool: the title, metas, links and base of the document's head, and the
// colours, background picture and margins of its body. It works on the document tree; the
// body's attributes are mirrored onto the design page.

#include "ToolItem.h"

class QTableWidget;

namespace Ui {
class FormToolBody;
}

namespace zv {

class TFormToolBody : public TFormTool<Ui::FormToolBody> {
    Q_OBJECT
public:
    explicit TFormToolBody(QWidget* Parent = nullptr);
    ~TFormToolBody() override;

    // Fills every field from the document tree and shows the first page.
    void FormShow() override;
    // The refresh fields; a failure shows its message on the "Misc" page.
    bool CheckFields() override;
    // The head gets the title, the refresh, generator, author, description, keywords and
    // robots metas, the author's e-mail link, one link per relation and the base, in that
    // order; an element whose field did not change stays as it is, one whose field was emptied
    // goes, and everything else in the head keeps its place and attributes. The body's page
    // attributes the user changed go to the tree, its stored node and the design page.
    void Apply() override;
    std::string UndoName() const override { return "Page Properties"; }
    // The body of the document tree.
    THtmlTag* StoredTag() const override;

    // The relation list.
    QTableWidget* Relations() const;
    // Browses for the URL of the relation list's Row.
    void BrowseRelation(int Row);
    // Runs the scheme chooser over the five colour fields.
    void WebSafeClick();

private:
    // What the head's fields say, each value trimmed.
    struct THeadValues {
        WideString Title, Refresh, Author, Description, Keywords, Robots, Email, BaseHref, BaseTarget;
        std::vector<WideString> Links;
        // The base as one value: empty when it has neither href nor target.
        WideString Base() const;
    };
    THeadValues HeadValues() const;
    void UpdateEnabling();
    void ResetRelations();
    int AddRelation(const QString& Relation);
    void WriteHead();

    // The head elements the fields were read from (null where the page had none), the
    // values shown, and the tree they belong to.
    struct TShownNodes {
        THtmlTag* Title = nullptr;
        THtmlTag* Refresh = nullptr;
        THtmlTag* Author = nullptr;
        THtmlTag* Description = nullptr;
        THtmlTag* Keywords = nullptr;
        THtmlTag* Robots = nullptr;
        THtmlTag* Made = nullptr;
        THtmlTag* Base = nullptr;
        std::vector<THtmlTag*> Links;
    } Shown;
    THeadValues ShownValues;
    const void* ShownRoot = nullptr;
};

class TToolBody : public TToolItem {
public:
    TToolBody() : TToolItem("Body", "Body", -1, true, false) {}
    bool CanEdit(const THtmlElement&) override { return true; }
    std::unique_ptr<TTagEditor> NewEditor() override { return std::make_unique<TFormToolBody>(); }
};

}  // namespace zv
