#include "ToolComment.h"

#include "HtmlFilter.h"
#include "HtmlNodes.h"
#include "ui_ToolComment.h"

namespace zv {

WideString StripComment(WideStringView Text)
{
    WideString S = Trim(Text);
    if (S.starts_with(u"<!--")) S.erase(0, 4);
    if (S.ends_with(u"-->")) S.erase(S.size() - 3);
    return S;
}

TFormToolComment::TFormToolComment(QWidget* Parent) : TFormTool(Parent)
{
}

TFormToolComment::~TFormToolComment() = default;

void TFormToolComment::FormShow()
{
    Form->MemoComment->clear();
    if (auto* Node = dynamic_cast<THtmlText*>(StoredNode(Designer, Element)); Node && Node->Kind() == tagComment)
        Form->MemoComment->setPlainText(ToQString(Node->Text));
    Shown = Form->MemoComment->toPlainText();
}

bool TFormToolComment::CheckFields()
{
    if (Form->MemoComment->toPlainText().isEmpty()) return false;
    // "--" may end a comment early (it does for older readers, and "-->" or "--!>" for all)
    if (StripComment(ToWide(Form->MemoComment->toPlainText())).find(u"--") != WideString::npos)
        return FieldError(Form->MemoComment, tr("A comment cannot hold \"--\"."));
    return true;
}

WideString TFormToolComment::CommentText() const
{
    QString Text = ToQString(StripComment(ToWide(Form->MemoComment->toPlainText())));
    Text.replace("\n", "\r\n");
    // "<!-->" and "<!--->" would close at once, a "-" before "-->" would make "--" of it
    if (Text.startsWith('>') || Text.startsWith("->")) Text.prepend(' ');
    if (Text.endsWith('-')) Text.append(' ');
    return u"<!--" + ToWide(Text) + u"-->";
}

void TFormToolComment::GetHTML(WideString& S) { S = Designer->Filter->NewCommentPlaceholder(CommentText()); }

void TFormToolComment::Apply()
{
    // the memo shows line ends as LF: an unchanged text keeps the node's own
    if (Form->MemoComment->toPlainText() == Shown) return;
    if (auto* Node = dynamic_cast<THtmlText*>(StoredNode(Designer, Element)); Node && Node->Kind() == tagComment)
        Node->Text = CommentText();
}

}  // namespace zv
