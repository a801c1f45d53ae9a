#pragma once
// The page properties tool: the title, metas, links and base of the document's head, and the
// colours, background picture and margins of its body. It works on the document tree; the
// body's attributes are mirrored onto the design page.

#include "ToolManager.h"

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
    // OK: the fields go into the document (WritePage) before the dialog closes.
    void accept() override;
    // The head gets the title, the refresh, generator, author, description, keywords and
    // robots metas, the author's e-mail link, one link per relation and the base, in that
    // order; an element whose field did not change stays as it is, one whose field was emptied
    // goes, and everything else in the head keeps its place and attributes. The body's ten page
    // attributes go to the tree, its stored node and the design page (one undo group).
    void WritePage();

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
    void WriteBody();

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

// The page properties dialog, made on first use.
TFormToolBody* EnsureFormToolBody();

// Runs the page properties dialog over the designer's document; true when it was closed with
// OK (the document is then changed). The main window's Page Properties command.
bool ShowPageProperties(THtmlDesigner* Designer);

class TToolBody : public TToolItem {
public:
    TToolBody() : TToolItem("Body", "Body", -1, true, false) {}
    bool CanEdit(const THtmlElement&) override { return true; }
    TTagEditor* GetEditor() override;
};

}  // namespace zv
