// The main window's views: entering and leaving them, and the Tag Tree view with its
// attribute grid and text box.
#include <QApplication>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QStackedWidget>
#include <QTabBar>
#include <QTableWidget>
#include <QTreeView>
#include <QVBoxLayout>
#include <Qsci/qsciscintilla.h>
#include <algorithm>

#include "HTMLAttributes.h"
#include "HtmlWriter.h"
#include "Streams.h"
#include "TagTreeModel.h"
#include "UnitFind.h"
#include "UnitMain.h"
#include "ui_UnitMain.h"

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

void TFormMain::CreateTagTree()
{
    PanelTag = new QSplitter(Qt::Horizontal, FForm->ViewStack);
    PanelTag->setObjectName(QStringLiteral("PanelTag"));
    TreeTag = new QTreeView(PanelTag);
    TreeTag->setObjectName(QStringLiteral("TreeTag"));
    TreeTag->setHeaderHidden(true);
    TreeTag->setUniformRowHeights(true);
    TreeTag->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TreeModel = new TTagTreeModel(this);
    TreeTag->setModel(TreeModel);
    connect(TreeTag->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] {
        if (!RebuildingTree) Guard([this] { ShowNodeProperties(); });
    });

    PanelTagRight = new QWidget(PanelTag);
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
    PanelTag->addWidget(TreeTag);
    PanelTag->addWidget(PanelTagRight);
    PanelTag->setStretchFactor(0, 1);
    PanelTag->setStretchFactor(1, 0);
    PanelTag->setSizes({400, 200});
    FForm->ViewStack->addWidget(PanelTag);
    connect(GridAttr, &QTableWidget::itemChanged, this, &TFormMain::GridChanged);
    connect(MemoAttr, &QPlainTextEdit::textChanged, this, [this] {
        if (RebuildingTree || !EditedNode) return;
        ViewModified = true;
        SetModified();
    });
}

// ---------------------------------------------------------------- views

void TFormMain::SelectView(int Tab)
{
    if (FForm->TabControl1->currentIndex() == Tab) return;
    FForm->TabControl1->setCurrentIndex(Tab);
}

void TFormMain::TabChanged(int Index)
{
    if (Index == CurrentView) return;
    PreviousView = CurrentView;
    try {
        CommitView(PreviousView);
    } catch (const std::exception& Error) {
        // the edits stay where they were typed
        Dialogs->ShowError(Error.what());
        const QSignalBlocker Block(FForm->TabControl1);
        FForm->TabControl1->setCurrentIndex(PreviousView);
        return;
    }
    CurrentView = Index;
    Guard([&] { EnterView(Index); });
    ShowView();
    UpdateControls();
}

void TFormMain::EnterView(int View)
{
    if (View == CodeTab) {
        FillSourceEditor();
    } else if (View == TreeTab) {
        // nothing may point into the old tree once it goes
        RebuildingTree = true;
        EditedNode = nullptr;
        TreeModel->SetRoot(nullptr);
        TreeRoot.reset();
        try {
            TreeRoot = Designer->GetSourceTree();
            FillTagTree();
        } catch (...) {
            RebuildingTree = false;
            throw;
        }
        RebuildingTree = false;
        ViewModified = false;
    }
}

void TFormMain::FillSourceEditor()
{
    const QString Text = QString::fromStdU16String(Designer->GetHtml());
    LoadingSource = true;
    // an editor that still holds this text keeps it, with its caret and scroll place
    if (SourceEditor->isModified() || Text != ShownSource) {
        // the same document comes back rewritten: the caret and the scroll place stay on their
        // lines; another document starts at its top
        int Line = 0, Index = 0;
        const int Top = ShownSource.isEmpty() ? 0 : SourceEditor->firstVisibleLine();
        if (!ShownSource.isEmpty()) SourceEditor->getCursorPosition(&Line, &Index);
        SourceEditor->setText(Text);
        ShownSource = Text;
        Line = std::min(Line, SourceEditor->lines() - 1);
        SourceEditor->setCursorPosition(Line, std::min(Index, SourceEditor->lineLength(Line)));
        SourceEditor->setFirstVisibleLine(Top);
    }
    SourceEditor->SendScintilla(QsciScintilla::SCI_EMPTYUNDOBUFFER);
    SourceEditor->setModified(false);
    LoadingSource = false;
    ViewModified = false;
}

void TFormMain::SourceChanged()
{
    if (LoadingSource) return;
    ViewModified = true;
    UpdateControls();
    SetModified();
}

void TFormMain::ShowView()
{
    CurrentView = FForm->TabControl1->currentIndex();
    QWidget* Shown = CurrentView == CodeTab   ? static_cast<QWidget*>(SourceEditor)
                     : CurrentView == TreeTab ? static_cast<QWidget*>(PanelTag)
                                              : static_cast<QWidget*>(Designer);
    FForm->ViewStack->setCurrentWidget(Shown);
    // a find dialog searches the view it was opened in: it goes with that view
    if (SourceFind && CurrentView != CodeTab) SourceFind->hide();
    if (CurrentView != DesignerTab)
        if (auto* Find = Designer->findChild<TFormFind*>(QString(), Qt::FindDirectChildrenOnly)) Find->hide();
    if (CurrentView == TreeTab) {
        MemoAttr->hide();
        GridAttr->hide();
        EditedNode = nullptr;
        TreeTag->setFocus();
    } else {
        Shown->setFocus();
    }
}

void TFormMain::CommitView(int View)
{
    // a cell still being typed counts as typed
    if (View == TreeTab) static_cast<TAttributeGrid*>(GridAttr)->CommitEditor();
    if (!ViewModified) return;
    if (View == CodeTab) {
        Designer->SetHtml(SourceEditor->text().toStdU16String());
    } else if (View == TreeTab && TreeRoot) {
        // the node being edited stays attached: the view may go on editing it
        THtmlNode* Keep = EditedNode;
        CommitNodeEdit();
        EditedNode = Keep;
        TMemoryStream Stream;
        WriteDocument(Stream, TreeRoot.get());
        Designer->SetHtml(WideString(reinterpret_cast<const char16_t*>(Stream.Memory()),
                                     size_t(Stream.Size() / 2)));
    }
}

void TFormMain::PushPendingEdits()
{
    if (CurrentView == DesignerTab) return;
    CommitView(CurrentView);
    ViewModified = false;
}

void TFormMain::RefreshView()
{
    if (CurrentView == DesignerTab) return;
    EnterView(CurrentView);
    ShowView();
}

void TFormMain::FillTagTree()
{
    TreeModel->SetRoot(TreeRoot.get());
    const QModelIndex First = TreeModel->index(0, 0);
    if (First.isValid()) {
        TreeTag->expand(First);
        for (int Row = 0, Rows = TreeModel->rowCount(First); Row < Rows; ++Row)
            TreeTag->expand(TreeModel->index(Row, 0, First));
    }
    TreeTag->setCurrentIndex(First);
    ShowNodeProperties();
}

void TFormMain::ShowNodeProperties()
{
    CommitNodeEdit();
    THtmlNode* Node = TreeModel->NodeOf(TreeTag->currentIndex());
    if (!Node) return;
    const bool Was = RebuildingTree;
    RebuildingTree = true;  // the fields are filled, not edited
    if (Node->Kind() == tagText) {
        GridAttr->hide();
        MemoAttr->show();
        MemoAttr->setPlainText(QString::fromStdU16String(static_cast<THtmlText*>(Node)->Text.Str()));
        EditedNode = Node;
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
        EditedNode = Node;
    } else {
        MemoAttr->hide();
        GridAttr->hide();
    }
    RebuildingTree = Was;
}

void TFormMain::GridChanged()
{
    if (RebuildingTree || !EditedNode) return;
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
    ViewModified = true;
    SetModified();
}

void TFormMain::CommitNodeEdit()
{
    if (!EditedNode) return;
    static_cast<TAttributeGrid*>(GridAttr)->CommitEditor();
    if (EditedNode->Kind() == tagText) {
        static_cast<THtmlText*>(EditedNode)->Text = MemoAttr->toPlainText().toStdU16String();
    } else if (auto* Tag = dynamic_cast<THtmlTag*>(EditedNode)) {
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
    EditedNode = nullptr;
}

}  // namespace zv
