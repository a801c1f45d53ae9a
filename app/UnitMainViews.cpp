// The main window's views: entering and leaving them.
#include <QStackedWidget>
#include <QTabBar>
#include <Qsci/qsciscintilla.h>
#include <algorithm>

#include "TagTreeView.h"
#include "UnitFind.h"
#include "UnitMain.h"
#include "ui_UnitMain.h"

namespace zv {

void TFormMain::CreateTagTree()
{
    TagTree = new TTagTreeView(FForm->ViewStack);
    FForm->ViewStack->addWidget(TagTree);
    TagTree->OnEdited = [this] {
        ViewModified = true;
        SetModified();
    };
    TagTree->OnError = [this](const std::string& Text) { Dialogs->ShowError(Text); };
}

void TFormMain::SelectView(int Tab)
{
    if (FForm->TabControl1->currentIndex() == Tab) return;
    FForm->TabControl1->setCurrentIndex(Tab);
}

void TFormMain::TabChanged(int Index)
{
    if (Index == CurrentView) return;
    const int PreviousView = CurrentView;
    try {
        CommitView(PreviousView);
    } catch (const std::exception& Error) {
        // the edits stay where they were typed; a load the user stopped needs no message
        if (!dynamic_cast<const ELoadCanceled*>(&Error)) Dialogs->ShowError(Error.what());
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
        TagTree->Rebuild([this] { return Designer->GetSourceTree(); });
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
                     : CurrentView == TreeTab ? static_cast<QWidget*>(TagTree)
                                              : static_cast<QWidget*>(Designer);
    FForm->ViewStack->setCurrentWidget(Shown);
    // a find dialog searches the view it was opened in: it goes with that view
    if (SourceFind && CurrentView != CodeTab) SourceFind->hide();
    if (CurrentView != DesignerTab)
        if (auto* Find = Designer->findChild<TFormFind*>(QString(), Qt::FindDirectChildrenOnly)) Find->hide();
    if (CurrentView == TreeTab) {
        TagTree->Reset();
    } else {
        Shown->setFocus();
    }
}

void TFormMain::CommitView(int View)
{
    // a cell still being typed counts as typed
    if (View == TreeTab) TagTree->CommitEditor();
    if (!ViewModified) return;
    // the text goes to the page as one step of its undo history; text typed and taken back
    // since the page last took the view's text changes nothing
    if (View == CodeTab) {
        const QString Text = SourceEditor->text();
        if (Text == ShownSource) return;
        Designer->ReplacePage("HTML Code", Text.toStdU16String());
        ShownSource = Text;
    } else if (View == TreeTab && TagTree->Root()) {
        Designer->ReplacePage("Tag Tree", TagTree->Html());
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

}  // namespace zv
