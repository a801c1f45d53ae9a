#pragma once
// The Tag Tree view's items: a model over a document tree, one item per node, captions
// "<tag>" for elements and the pseudo names ("<TEXT>", "<!-->") for other nodes. Children
// are listed when the view first asks for them, so a large page costs only what is shown.

#include <QAbstractItemModel>
#include <unordered_map>
#include <vector>

#include "HtmlNodes.h"

namespace zv {

class TTagTreeModel : public QAbstractItemModel {
    Q_OBJECT
public:
    using QAbstractItemModel::QAbstractItemModel;

    // Shows the tree of Root (not owned; nil for none). Every index of the previous tree is
    // gone once this returns, so the old tree may be freed after it.
    void SetRoot(THtmlRoot* Root);
    THtmlRoot* Root() const { return FRoot; }
    // The node of an item; nil for an invalid index.
    THtmlNode* NodeOf(const QModelIndex& Index) const;
    QModelIndex IndexOf(THtmlNode* Node) const;

    static QString Caption(const THtmlNode* Node);

    QModelIndex index(int Row, int Column, const QModelIndex& Parent = {}) const override;
    QModelIndex parent(const QModelIndex& Child) const override;
    int rowCount(const QModelIndex& Parent = {}) const override;
    int columnCount(const QModelIndex& Parent = {}) const override { return 1; }
    bool hasChildren(const QModelIndex& Parent = {}) const override;
    QVariant data(const QModelIndex& Index, int Role) const override;

private:
    // The children of Node in order, listed on first use; each child's row is kept too.
    const std::vector<THtmlNode*>& Children(const THtmlNode* Node) const;
    int RowOf(const THtmlNode* Node) const;

    THtmlRoot* FRoot = nullptr;
    mutable std::unordered_map<const THtmlNode*, std::vector<THtmlNode*>> Lists;
    mutable std::unordered_map<const THtmlNode*, int> Rows;
};

}  // namespace zv
