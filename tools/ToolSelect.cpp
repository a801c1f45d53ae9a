#include "ToolSelect.h"

#include <QFontMetricsF>
#include <QRegularExpression>
#include <QTextCursor>
#include <algorithm>

#include "HtmlEntities.h"
#include "HtmlNodes.h"
#include "HtmlParser.h"
#include "HtmlWriter.h"
#include "ToolFields.h"
#include "ToolForm.h"
#include "ui_ToolSelect.h"

namespace zv {

namespace {

int SelectSize(const THtmlElement& Element)
{
    return Element && Element.tagName() == "SELECT" ? Element.getProperty("size").toInt() : -1;
}

// Text of the option's direct text children, on one line.
QString OptionText(const THtmlTag& Option)
{
    WideString Text;
    for (THtmlNode* N = Option.FirstNode(); N; N = N->NextNode())
        if (auto* T = dynamic_cast<THtmlText*>(N); T && T->Kind() == tagText) Text += T->Text;
    QString S = ToQString(MarkupToField(Text, TMarkupPlace::Text));
    S.replace("\r\n", " ");
    for (const QChar C : {QChar('\r'), QChar('\n'), QChar('\t')}) S.replace(C, ' ');
    return S;
}

QString ChoiceLine(const THtmlTag& Option)
{
    QString Line = OptionText(Option) + '\t' + ToQString(Trim(GetStoredAttr(Option, attrValue)));
    if (Option.HasAttribute(attrSelected)) Line += "\tselected";
    return Line;
}

struct TChoice {
    WideString Text, Value;
    bool Selected = false;
};

// A choice from the fields of a line (from First on): empty fields are dropped, except that
// a "selected" after two or more TABs stands with no value before it.
TChoice ReadChoice(const QStringList& Fields, int First)
{
    std::vector<std::pair<int, QString>> Given;
    for (int K = First; K < Fields.size(); ++K)
        if (const QString F = Fields[K].trimmed(); !F.isEmpty()) Given.emplace_back(K, F);
    TChoice C;
    const auto Selected = [](const QString& F) { return F.compare("selected", Qt::CaseInsensitive) == 0; };
    if (Given.size() == 2 && Selected(Given[1].second) && Given[1].first - Given[0].first >= 2) {
        C.Text = ToWide(Given[0].second);
        C.Selected = true;
        return C;
    }
    if (Given.size() > 0) C.Text = ToWide(Given[0].second);
    if (Given.size() > 1) C.Value = ToWide(Given[1].second);
    if (Given.size() > 2) C.Selected = Selected(Given[2].second);
    return C;
}

// The memo's lines; a line break at the very end opens no line.
QStringList MemoLineList(QString Text)
{
    Text.replace("\r\n", "\n");
    QStringList Lines = Text.split('\n');
    if (!Lines.isEmpty() && Lines.back().isEmpty()) Lines.removeLast();
    return Lines;
}

// Whether a memo line opens a group: grouped, text and no TAB.
bool IsGroupLine(const QString& Line, bool Grouped)
{
    return Grouped && !Line.contains('\t') && !Line.trimmed().isEmpty();
}

// The attributes of Node but Left, as they go after the tag name: "" or " a=\"b\" c".
WideString OtherAttributes(const THtmlTag& Node, std::initializer_list<THtmlAttrId> Left)
{
    THtmlTag Copy(Node.Kind());
    Copy.AssignAttributes(&Node);
    for (const THtmlAttrId Id : Left) Copy.DeleteAttribute(Id);
    // the writer gives "<name attributes></name>"
    const WideString Html = Trim(NodeToHtml(&Copy));
    const WideString Name = Latin1ToUtf16(TagNameFromId(Node.Kind()));
    const size_t Start = 1 + Name.size(), End = Html.size() - (Name.size() + 4);
    return End > Start && Html.size() > Name.size() + 4 ? Html.substr(Start, End - Start) : WideString();
}

}  // namespace

bool TToolSelectCombo::CanEdit(const THtmlElement& Element)
{
    const int Size = SelectSize(Element);
    return Size >= 0 && Size < 2;
}

bool TToolSelectList::CanEdit(const THtmlElement& Element) { return SelectSize(Element) > 1; }

namespace {

// the list's size and choices have rules of their own
const TField Fields[] = {
    {"EditName", "name"},
};

}  // namespace

TFormToolSelect::TFormToolSelect(bool Combo, QWidget* Parent) : TFormTool(Parent), Combo(Combo)
{
    UseFields("select", {Fields, ControlFields});
    SetNumericEdit(Form->EditLines);
    Form->RichEdit1->setVisible(false);
    // a TAB as wide as eight characters of the memo's font
    const qreal Tab = QFontMetricsF(Form->MemoChoices->font()).horizontalAdvance(' ') * 8;
    Form->MemoChoices->setTabStopDistance(Tab);
    Form->RichEdit1->setTabStopDistance(Tab);
    connect(Form->Button3, &QPushButton::clicked, this, &TFormToolSelect::ToggleHelp);
}

TFormToolSelect::~TFormToolSelect() = default;

void TFormToolSelect::FormShow()
{
    ShowFields();
    if (Element) {
        Form->EditLines->setText(ToQString(GetAttr(Element, "size")));
        Form->CheckMultiple->setChecked(Element.getAttribute("multiple").has_value());
        // the engine writes selected and disabled as selected="" and disabled="": back to the
        // words they were written as
        QString Html = ToQString(Element.outerHTML());
        static const QRegularExpression Flag(R"((<(?:option|optgroup)\b[^>]*?\s(?:selected|disabled))="")",
                                             QRegularExpression::CaseInsensitiveOption);
        for (QString Before; Before != Html;) {
            Before = Html;
            Html.replace(Flag, "\\1");
        }
        LoadChoices(ToWide(Html));
    } else {
        if (!Combo) Form->EditLines->setText("5");
        Form->CheckMultiple->setChecked(false);
        Form->MemoChoices->clear();
        Form->CheckGrouped->setChecked(false);
        ShownTree.reset();
        ShownNodes.clear();
    }
    ShownChoices = Form->MemoChoices->toPlainText();
    ShownGrouped = Form->CheckGrouped->isChecked();
    ShownLines = Form->EditLines->text();
    ShownMultiple = Form->CheckMultiple->isChecked();
    Form->EditLines->setVisible(!Combo);
    Form->LabelEditLines->setVisible(!Combo);
    Form->CheckMultiple->setVisible(!Combo);
    setWindowTitle(Combo ? tr("  Input Combobox") : tr("  Input Listbox"));
    UpdateColorEdits();
}

bool TFormToolSelect::CheckFields()
{
    return RequiredField(Form->EditName, tr("Please specify a name."));
}

void TFormToolSelect::LoadChoices(WideStringView Html)
{
    Form->MemoChoices->clear();
    Form->CheckGrouped->setChecked(false);
    ShownNodes.clear();
    ShownTree = ParseHtml(Html);
    auto* Select = ShownTree ? dynamic_cast<THtmlTag*>(ShownTree->FindChild(tagSelect, true)) : nullptr;
    if (!Select) return;
    QStringList Lines;
    for (THtmlNode* N = Select->FirstNode(); N; N = N->NextNode()) {
        auto* Tag = dynamic_cast<THtmlTag*>(N);
        if (!Tag) continue;
        if (Tag->Kind() == tagOptGroup) {
            Form->CheckGrouped->setChecked(true);
            QString Label = ToQString(Trim(GetStoredAttr(*Tag, attrLabel)));
            for (const QChar C : {QChar('\r'), QChar('\n'), QChar('\t')}) Label.replace(C, ' ');
            Lines << Label;
            ShownNodes.push_back(Tag);
            for (THtmlNode* O = Tag->FirstNode(); O; O = O->NextNode())
                if (auto* Option = dynamic_cast<THtmlTag*>(O); Option && Option->Kind() == tagOption) {
                    Lines << '\t' + ChoiceLine(*Option);
                    ShownNodes.push_back(Option);
                }
        } else if (Tag->Kind() == tagOption) {
            Lines << ChoiceLine(*Tag);
            ShownNodes.push_back(Tag);
        }
    }
    ShownChoiceLines = Lines;
    Form->MemoChoices->setPlainText(Lines.join('\n'));
}

std::vector<int> TFormToolSelect::PairWithShownLines(const QStringList& Lines, bool Grouped) const
{
    std::vector<int> Pair(Lines.size(), -1);
    const QStringList& Old = ShownChoiceLines;
    if (!Element || Old.size() != static_cast<qsizetype>(ShownNodes.size())) return Pair;
    // equal lines in order (the longest common run of lines), then, between two of them, the
    // changed lines in order with the shown lines of their kind
    const int N = static_cast<int>(Old.size()), M = static_cast<int>(Lines.size());
    int Head = 0;
    while (Head < N && Head < M && Old[Head] == Lines[Head]) Pair[Head] = Head, ++Head;
    int Tail = 0;
    while (Tail < N - Head && Tail < M - Head && Old[N - 1 - Tail] == Lines[M - 1 - Tail]) {
        Pair[M - 1 - Tail] = N - 1 - Tail;
        ++Tail;
    }
    const int OldMid = N - Head - Tail, NewMid = M - Head - Tail;
    std::vector<std::pair<int, int>> Equal;   // (old, new) in the middle, in order
    if (static_cast<int64_t>(OldMid) * NewMid <= 1000000) {
        std::vector<std::vector<int>> L(OldMid + 1, std::vector<int>(NewMid + 1, 0));
        for (int I = OldMid - 1; I >= 0; --I)
            for (int J = NewMid - 1; J >= 0; --J)
                L[I][J] = Old[Head + I] == Lines[Head + J] ? L[I + 1][J + 1] + 1 : std::max(L[I + 1][J], L[I][J + 1]);
        for (int I = 0, J = 0; I < OldMid && J < NewMid;) {
            if (Old[Head + I] == Lines[Head + J]) Equal.emplace_back(Head + I++, Head + J++);
            else if (L[I + 1][J] >= L[I][J + 1]) ++I;
            else ++J;
        }
    }
    Equal.emplace_back(N - Tail, M - Tail);
    int FromOld = Head, FromNew = Head;
    for (const auto& [O, J] : Equal) {
        for (int A = FromOld, B = FromNew; A < O && B < J; ++A, ++B)
            if ((ShownNodes[A]->Kind() == tagOptGroup) == IsGroupLine(Lines[B], Grouped)) Pair[B] = A;
        if (J < M - Tail) Pair[J] = O;
        FromOld = O + 1;
        FromNew = J + 1;
    }
    // a group line stands only for a group (grouping may have been turned off)
    for (int K = 0; K < M; ++K)
        if (Pair[K] >= 0 && (ShownNodes[Pair[K]]->Kind() == tagOptGroup) != IsGroupLine(Lines[K], Grouped)) Pair[K] = -1;
    return Pair;
}

WideString TFormToolSelect::ShownNodeHtml(int Shown, const QString& Line, bool Group) const
{
    const THtmlTag& Node = *ShownNodes[Shown];
    if (Group) {
        return u"<optgroup label=\"" + StoredValue(Line.trimmed()) + u'"' +
               OtherAttributes(Node, {attrLabel}) + u'>';
    }
    if (Line == ShownChoiceLines[Shown]) return Trim(NodeToHtml(const_cast<THtmlTag*>(&Node)));
    const QStringList Fields = Line.split('\t');
    const bool Grouped = Line.startsWith('\t') && Form->CheckGrouped->isChecked();
    const TChoice C = ReadChoice(Fields, Grouped ? 1 : 0);
    WideString S = u"<option";
    // an empty value given in the page stays: the choice then sends nothing, not its text
    if (!C.Value.empty() || (Node.HasAttribute(attrValue) && Node.AttributeValue(attrValue).empty()))
        S += u" value=\"" + FieldToMarkup(C.Value, TMarkupPlace::Value) + u'"';
    S += OtherAttributes(Node, {attrValue, attrSelected});
    if (C.Selected) S += u" selected";
    return S + u'>' + FieldToMarkup(C.Text, TMarkupPlace::Text) + u"</option>";
}

WideString TFormToolSelect::OptionHtml(WideStringView Text, WideStringView Value, bool Selected)
{
    WideString S = u"<option";
    if (!Value.empty()) S += u" value=\"" + FieldToMarkup(Value, TMarkupPlace::Value) + u'"';
    if (Selected) S += u" selected";
    S += u'>';
    S += FieldToMarkup(Text, TMarkupPlace::Text);
    S += u"</option>";
    return S;
}

WideString TFormToolSelect::BuildOptions() const
{
    const QString Memo = Form->MemoChoices->toPlainText();
    if (Memo.trimmed().isEmpty()) return {};
    const bool Grouped = Form->CheckGrouped->isChecked();
    WideString S;
    bool Open = false;
    const auto Close = [&] {
        if (Open) S += u"\r\n  </optgroup>";
        Open = false;
    };
    // a line that stands for a shown option or group keeps what the memo does not show
    const QStringList Lines = MemoLineList(Memo);
    const std::vector<int> Pair = PairWithShownLines(Lines, Grouped);
    for (int K = 0; K < Lines.size(); ++K) {
        const QString& Line = Lines[K];
        const QStringList Fields = Line.split('\t');
        const QString First = Fields[0].trimmed();
        const auto Option = [&](int From) {
            if (Pair[K] >= 0) return ShownNodeHtml(Pair[K], Line, false);
            const TChoice C = ReadChoice(Fields, From);
            return OptionHtml(C.Text, C.Value, C.Selected);
        };
        if (!Grouped || First.isEmpty()) {
            S += Grouped ? u"\r\n    " : u"\r\n  ";
            S += Option(Grouped ? 1 : 0);
        } else if (Fields.size() == 1) {
            Close();
            Open = true;
            S += u"\r\n  ";
            S += Pair[K] >= 0 ? ShownNodeHtml(Pair[K], First, true)
                              : u"<optgroup label=\"" + StoredValue(First) + u"\">";
        } else {
            // a choice outside any group
            Close();
            S += u"\r\n  " + Option(0);
        }
    }
    Close();
    return S;
}

void TFormToolSelect::GetHTML(WideString& S)
{
    S = u"<select";
    AddFieldsHtml(S);
    if (!Combo) {
        S += u" size=\"" + ToWide(QString::number(std::max(2, Form->EditLines->text().trimmed().toInt()))) + u'"';
        if (Form->CheckMultiple->isChecked()) S += u" multiple";
    }
    S += u">\r\n";
    S += BuildOptions();
    S += u"\r\n</select>";
}

void TFormToolSelect::Apply()
{
    if (!Element) return;
    ApplyFields();
    if (!Combo) {
        if (Form->EditLines->text() != ShownLines)
            SetAttr(Element, "size", ToWide(QString::number(std::max(2, Form->EditLines->text().trimmed().toInt()))));
        if (Form->CheckMultiple->isChecked() != ShownMultiple)
            Element.setProperty("multiple", Form->CheckMultiple->isChecked());
    }
    if (Form->MemoChoices->toPlainText() != ShownChoices || Form->CheckGrouped->isChecked() != ShownGrouped)
        Element.setInnerHTML(BuildOptions() + u"\r\n");
}

void TFormToolSelect::ToggleHelp()
{
    const bool ShowHelp = Form->Button3->property("helpShown").toBool() == false;
    Form->Button3->setProperty("helpShown", ShowHelp);
    Form->MemoChoices->setVisible(!ShowHelp);
    Form->RichEdit1->setVisible(ShowHelp);
    Form->Button3->setText(ShowHelp ? tr("Hide Help") : tr("Show Help"));
    if (!ShowHelp) return;
    enum { Note, Syntax, Sample };
    const std::pair<int, QString> Lines[] = {
        {Note, "Use one or more TAB to separate choice, value and selection state."},
        {Note, ""},
        {Syntax, "CHOICE <TAB> VALUE <TAB> SELECTED"},
        {Note, ""},
        {Sample, "Choice 1\tValue 1\tselected"},
        {Sample, "Choice 2\tValue 2"},
        {Sample, "Choice 3\tValue 3"},
        {Note, ""},
        {Note, "or if it's grouped:"},
        {Note, ""},
        {Syntax, "GROUP"},
        {Syntax, "<TAB> CHOICE <TAB> VALUE <TAB> SELECTED"},
        {Note, ""},
        {Sample, "Group 1"},
        {Sample, "\tChoice 1\tValue 1\tselected"},
        {Sample, "\tChoice 2\tValue 2"},
        {Sample, "\tChoice 3\tValue 3"},
        {Sample, "Group 2"},
        {Sample, "\tChoice 4\tValue 4"},
        {Sample, "\tChoice 5\tValue 5"},
    };
    Form->RichEdit1->clear();
    QTextCursor Cursor(Form->RichEdit1->document());
    bool FirstLine = true;
    for (const auto& [Kind, Text] : Lines) {
        if (!FirstLine) Cursor.insertBlock();
        FirstLine = false;
        if (Text.isEmpty()) continue;
        QTextCharFormat Format;
        Format.setFontFamilies({Kind == Note ? "Arial" : "Lucida Console", Kind == Note ? "Sans Serif" : "Monospace"});
        Format.setForeground(Kind == Note ? QColor(Qt::black) : Kind == Syntax ? QColor(0xFF, 0, 0) : QColor(0, 0x80, 0));
        Cursor.insertText(Text, Format);
    }
}

}  // namespace zv
