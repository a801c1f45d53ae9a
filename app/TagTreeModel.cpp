#include "TagTreeModel.h"

namespace zv {

void TTagTreeModel::SetRoot(THtmlRoot* Root)
{
    beginResetModel();
    FRoot = Root;
    Lists.clear();
    Rows.clear();
    endResetModel();
}

THtmlNode* TTagTreeModel::NodeOf(const QModelIndex& Index) const
{
    return Index.isValid() ? static_cast<THtmlNode*>(Index.internalPointer()) : nullptr;
}

QString TTagTreeModel::Caption(const THtmlNode* Node)
{
    const std::string_view Name = TagNameFromId(Node->Kind());
    QString Text = QString::fromLatin1(Name.data(), qsizetype(Name.size()));
    if (!Text.isEmpty() && !Text.startsWith('<')) Text = '<' + Text + '>';
    return Text;
}

const std::vector<THtmlNode*>& TTagTreeModel::Children(const THtmlNode* Node) const
{
    auto Found = Lists.find(Node);
    if (Found != Lists.end()) return Found->second;
    std::vector<THtmlNode*>& List = Lists[Node];
    List.reserve(size_t(Node->Count()));
    for (THtmlNode* Child = Node->FirstNode(); Child; Child = Child->NextNode()) {
        Rows[Child] = int(List.size());
        List.push_back(Child);
    }
    return List;
}

int TTagTreeModel::RowOf(const THtmlNode* Node) const
{
    if (Node == FRoot || !Node->ParentNode()) return 0;
    auto Found = Rows.find(Node);
    if (Found != Rows.end()) return Found->second;
    Children(Node->ParentNode());
    return Rows[Node];
}

QModelIndex TTagTreeModel::index(int Row, int Column, const QModelIndex& Parent) const
{
    if (!FRoot || Column != 0 || Row < 0) return {};
    if (!Parent.isValid())
        return Row == 0 ? createIndex(0, 0, static_cast<THtmlNode*>(FRoot)) : QModelIndex();
    const std::vector<THtmlNode*>& List = Children(NodeOf(Parent));
    if (size_t(Row) >= List.size()) return {};
    return createIndex(Row, 0, List[size_t(Row)]);
}

QModelIndex TTagTreeModel::IndexOf(THtmlNode* Node) const
{
    if (!Node) return {};
    return createIndex(RowOf(Node), 0, Node);
}

QModelIndex TTagTreeModel::parent(const QModelIndex& Child) const
{
    const THtmlNode* Node = NodeOf(Child);
    if (!Node || Node == FRoot) return {};
    THtmlNode* Parent = Node->ParentNode();
    return Parent ? createIndex(RowOf(Parent), 0, Parent) : QModelIndex();
}

int TTagTreeModel::rowCount(const QModelIndex& Parent) const
{
    if (!FRoot) return 0;
    if (!Parent.isValid()) return 1;
    return NodeOf(Parent)->Count();
}

bool TTagTreeModel::hasChildren(const QModelIndex& Parent) const
{
    if (!FRoot) return false;
    return !Parent.isValid() || NodeOf(Parent)->First();
}

QVariant TTagTreeModel::data(const QModelIndex& Index, int Role) const
{
    if (Role != Qt::DisplayRole || !Index.isValid()) return {};
    return Caption(NodeOf(Index));
}

}  // namespace zv
