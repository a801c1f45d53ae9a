#pragma once
// The Tag Tree view: the document's nodes as a tree, beside a grid with the chosen tag's
// attributes or a box with the chosen text. Edits go into the view's own copy of the
// document; the main window writes it back into the design view when the view is left.

#include <QSplitter>
#include <functional>
#include <memory>
#include <string>

#include "HtmlNodes.h"

class QPlainTextEdit;
class QTableWidget;
class QTreeView;

namespace zv {

class TTagTreeModel;

class TTagTreeView : public QSplitter {
    Q_OBJECT
public:
    explicit TTagTreeView(QWidget* Parent);
    ~TTagTreeView() override;

    QTreeView* TreeTag = nullptr;
    TTagTreeModel* TreeModel = nullptr;
    QTableWidget* GridAttr = nullptr;
    QPlainTextEdit* MemoAttr = nullptr;

    // The user edited a field of a node.
    std::function<void()> OnEdited;
    // Choosing a node failed; the text tells why.
    std::function<void(const std::string&)> OnError;

    // The tree shown; nil before the first fill.
    THtmlRoot* Root() const { return FRoot.get(); }
    // The node whose fields are shown for editing (a node of Root), or nil.
    THtmlNode* EditedNode() const { return FEditedNode; }

    // Drops the tree shown, then shows the one Source gives: the first levels open, the
    // first node chosen.
    void Rebuild(const std::function<std::unique_ptr<THtmlRoot>()>& Source);
    // The view as when first entered: no fields shown, no node edited, the tree focused.
    void Reset();
    void ShowNodeProperties();
    // Puts the fields shown into their node; afterwards no node is edited.
    void CommitNodeEdit();
    // Takes a cell still being typed as typed.
    void CommitEditor();
    // The tree as a document, with the fields shown in it; their node stays edited.
    WideString Html();

private:
    void FillTree();
    void GridChanged();
    void FieldsChanged();

    QWidget* PanelTagRight = nullptr;
    std::unique_ptr<THtmlRoot> FRoot;
    THtmlNode* FEditedNode = nullptr;  // not owned: a node of FRoot
    bool Filling = false;  // the fields are being filled, not edited
};

}  // namespace zv
