#include "TagTreeView.h"

#include <QApplication>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QTreeView>
#include <QVBoxLayout>

#include "HTMLAttributes.h"
#include "HtmlWriter.h"
#include "Streams.h"
#include "TagTreeModel.h"

namespace zv {

namespace {

// The attribute grid: a cell still open in its editor can be taken as typed.
class TAttributeGrid : public QTableWidget {
public:
    explicit TAttributeGrid(QWidget* Parent) : QTableWidget(0, 2, Parent) {}
    void CommitEditor()
    {
        QWidget* Editor = QApplication::focusWidget();
        if (state() != EditingState || !Editor || !isAncestorOf(Editor)) return;
        commitData(Editor);
        closeEditor(Editor, QAbstractItemDelegate::NoHint);
    }
};

}  // namespace

TTagTreeView::TTagTreeView(QWidget* Parent) : QSplitter(Qt::Horizontal, Parent)
{
    setObjectName(QStringLiteral("PanelTag"));
    TreeTag = new QTreeView(this);
    TreeTag->setObjectName(QStringLiteral("TreeTag"));
    TreeTag->setHeaderHidden(true);
    TreeTag->setUniformRowHeights(true);
    TreeTag->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TreeModel = new TTagTreeModel(this);
    TreeTag->setModel(TreeModel);
    connect(TreeTag->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] {
        if (Filling) return;
        try {
            ShowNodeProperties();
        } catch (const std::exception& Error) {
            if (OnError) OnError(Error.what());
        }
    });

    PanelTagRight = new QWidget(this);
    PanelTagRight->setObjectName(QStringLiteral("PanelTagRight"));
    auto* Layout = new QVBoxLayout(PanelTagRight);
    Layout->setContentsMargins(0, 0, 0, 0);
    GridAttr = new TAttributeGrid(PanelTagRight);
    GridAttr->setObjectName(QStringLiteral("GridAttr"));
    GridAttr->setHorizontalHeaderLabels({QStringLiteral("Attribute"), QStringLiteral("Value")});
    GridAttr->setColumnWidth(0, 80);
    GridAttr->horizontalHeader()->setStretchLastSection(true);
    GridAttr->verticalHeader()->setDefaultSectionSize(GridAttr->fontMetrics().height() + 6);
    Layout->addWidget(GridAttr);
    MemoAttr = new QPlainTextEdit(PanelTagRight);
    MemoAttr->setObjectName(QStringLiteral("MemoAttr"));
    MemoAttr->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    MemoAttr->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont MemoFont = MemoAttr->font();
    MemoFont.setPointSize(10);
    MemoAttr->setFont(MemoFont);
    Layout->addWidget(MemoAttr);
    GridAttr->hide();
    MemoAttr->hide();
    addWidget(TreeTag);
    addWidget(PanelTagRight);
    setStretchFactor(0, 1);
    setStretchFactor(1, 0);
    setSizes({400, 200});
    connect(GridAttr, &QTableWidget::itemChanged, this, &TTagTreeView::GridChanged);
    connect(MemoAttr, &QPlainTextEdit::textChanged, this, &TTagTreeView::FieldsChanged);
}

TTagTreeView::~TTagTreeView()
{
    // the tree view goes before the document tree it shows
    FEditedNode = nullptr;
    TreeModel->SetRoot(nullptr);
}

void TTagTreeView::FieldsChanged()
{
    if (Filling || !FEditedNode) return;
    if (OnEdited) OnEdited();
}

void TTagTreeView::Rebuild(const std::function<std::unique_ptr<THtmlRoot>()>& Source)
{
    // nothing may point into the old tree once it goes
    Filling = true;
    FEditedNode = nullptr;
    TreeModel->SetRoot(nullptr);
    FRoot.reset();
    try {
        FRoot = Source();
        FillTree();
    } catch (...) {
        Filling = false;
        throw;
    }
    Filling = false;
}

void TTagTreeView::Reset()
{
    MemoAttr->hide();
    GridAttr->hide();
    FEditedNode = nullptr;
    TreeTag->setFocus();
}

void TTagTreeView::CommitEditor() { static_cast<TAttributeGrid*>(GridAttr)->CommitEditor(); }

WideString TTagTreeView::Html()
{
    // the node being edited stays attached: the view may go on editing it
    THtmlNode* Keep = FEditedNode;
    CommitNodeEdit();
    FEditedNode = Keep;
    TMemoryStream Stream;
    WriteDocument(Stream, FRoot.get());
    return WideString(reinterpret_cast<const char16_t*>(Stream.Memory()), size_t(Stream.Size() / 2));
}


void TTagTreeView::FillTree()
{
    TreeModel->SetRoot(FRoot.get());
    const QModelIndex First = TreeModel->index(0, 0);
    if (First.isValid()) {
        TreeTag->expand(First);
        for (int Row = 0, Rows = TreeModel->rowCount(First); Row < Rows; ++Row)
            TreeTag->expand(TreeModel->index(Row, 0, First));
    }
    TreeTag->setCurrentIndex(First);
    ShowNodeProperties();
}

void TTagTreeView::ShowNodeProperties()
{
    CommitNodeEdit();
    THtmlNode* Node = TreeModel->NodeOf(TreeTag->currentIndex());
    if (!Node) return;
    const bool Was = Filling;
    Filling = true;  // the fields are filled, not edited
    if (Node->Kind() == tagText) {
        GridAttr->hide();
        MemoAttr->show();
        MemoAttr->setPlainText(QString::fromStdU16String(static_cast<THtmlText*>(Node)->Text.Str()));
        FEditedNode = Node;
    } else if (auto* Tag = dynamic_cast<THtmlTag*>(Node)) {
        MemoAttr->hide();
        GridAttr->show();
        const int Count = Tag->GetAttributeCount();
        GridAttr->clearContents();
        GridAttr->setRowCount(Count);
        for (int K = 0; K < Count; ++K) {
            const THtmlAttrId Id = Tag->GetAttributeId(K);
            const WideString Entry = Tag->GetAttributeByIndex(K);
            QString Name, Value;
            if (Id == attrUnknown) {
                // stored as name=value
                const size_t Equals = UnknownNameEnd(Entry);
                Name = QString::fromStdU16String(Entry.substr(0, Equals));
                Value = Equals == WideString::npos ? QString() : QString::fromStdU16String(Entry.substr(Equals + 1));
            } else {
                const std::string_view N = AttrNameFromId(Id);
                Name = QString::fromLatin1(N.data(), qsizetype(N.size()));
                // a flag written without a value shows none
                if (!(IsBooleanAttribute(Id) && Entry == u"TRUE")) Value = QString::fromStdU16String(Entry);
            }
            GridAttr->setItem(K, 0, new QTableWidgetItem(Name));
            GridAttr->setItem(K, 1, new QTableWidgetItem(Value));
        }
        GridAttr->setRowCount(Count + 1);  // the row that takes a new attribute
        FEditedNode = Node;
    } else {
        MemoAttr->hide();
        GridAttr->hide();
    }
    Filling = Was;
}

void TTagTreeView::GridChanged()
{
    if (Filling || !FEditedNode) return;
    // a name typed into the last row opens a new one below it
    const int Last = GridAttr->rowCount() - 1;
    const QTableWidgetItem* Name = GridAttr->item(Last, 0);
    if (Last < 0 || (Name && !Name->text().trimmed().isEmpty()))
        // once the cell's editor has closed
        QMetaObject::invokeMethod(
            GridAttr, [Grid = GridAttr, Rows = Last + 2] {
                if (Grid->rowCount() < Rows) Grid->setRowCount(Rows);
            },
            Qt::QueuedConnection);
    if (OnEdited) OnEdited();
}

void TTagTreeView::CommitNodeEdit()
{
    if (!FEditedNode) return;
    static_cast<TAttributeGrid*>(GridAttr)->CommitEditor();
    if (FEditedNode->Kind() == tagText) {
        static_cast<THtmlText*>(FEditedNode)->Text = MemoAttr->toPlainText().toStdU16String();
    } else if (auto* Tag = dynamic_cast<THtmlTag*>(FEditedNode)) {
        Tag->ClearAttributes();
        for (int Row = 0; Row < GridAttr->rowCount(); ++Row) {
            const QTableWidgetItem* NameItem = GridAttr->item(Row, 0);
            const QTableWidgetItem* ValueItem = GridAttr->item(Row, 1);
            const QString Name = NameItem ? NameItem->text() : QString();
            if (Name.trimmed().isEmpty()) continue;
            WideString Value = ValueItem ? ValueItem->text().toStdU16String() : WideString();
            const THtmlAttrId Id = AttrIdFromName(Name.trimmed().toStdU16String());
            // a flag with no value stays set
            if (Value.empty() && IsBooleanAttribute(Id)) Value = u"TRUE";
            if (Id != attrUnknown)
                Tag->SetAttribute(Id, Value);
            else
                Tag->SetUnknownAttribute(Name.toStdU16String(), Value);
        }
    }
    FEditedNode = nullptr;
}

}  // namespace zv
