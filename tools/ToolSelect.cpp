#include "ToolSelect.h"

#include <QFontMetricsF>
#include <QRegularExpression>
#include <QTextCursor>
#include <algorithm>

#include "HtmlNodes.h"
#include "HtmlParser.h"
#include "ToolFields.h"
#include "ui_ToolSelect.h"

namespace zv {

namespace {

int SelectSize(const THtmlElement& Element)
{
    return Element && Element.tagName() == "SELECT" ? Element.getProperty("size").toInt() : -1;
}

TTagEditor* EditorFor(bool Combo)
{
    auto* Editor = SharedEditor<TFormToolSelect>();
    Editor->Combo = Combo;
    return Editor;
}

// Text of the option's direct text children, on one line.
QString OptionText(const THtmlTag& Option)
{
    WideString Text;
    for (THtmlNode* N = Option.FirstNode(); N; N = N->NextNode())
        if (auto* T = dynamic_cast<THtmlText*>(N); T && T->Kind() == tagText) Text += T->Text;
    QString S = ToQString(Text);
    S.replace("\r\n", " ");
    for (const QChar C : {QChar('\r'), QChar('\n'), QChar('\t')}) S.replace(C, ' ');
    return S;
}

QString ChoiceLine(const THtmlTag& Option)
{
    QString Line = OptionText(Option) + '\t' + ToQString(Trim(Option.GetAttribute(attrValue)));
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

}  // namespace

bool TToolSelectCombo::CanEdit(const THtmlElement& Element)
{
    const int Size = SelectSize(Element);
    return Size >= 0 && Size < 2;
}

TTagEditor* TToolSelectCombo::GetEditor() { return EditorFor(true); }

bool TToolSelectList::CanEdit(const THtmlElement& Element) { return SelectSize(Element) > 1; }

TTagEditor* TToolSelectList::GetEditor() { return EditorFor(false); }

TFormToolSelect::TFormToolSelect(QWidget* Parent) : TFormTool(Parent)
{
    SetNumericEdit(Form->EditTab);
    SetAccessKeyEdit(Form->EditKey);
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
    if (Element) {
        WideString Tab;
        GetAttrNoDefault(Element, "tabindex", Tab);
        Form->EditName->setText(ToQString(GetAttr(Element, "name")));
        Form->EditTab->setText(ToQString(Tab));
        Form->EditKey->setText(ToQString(GetAttr(Element, "accesskey")));
        Form->EditLines->setText(ToQString(GetAttr(Element, "size")));
        Form->CheckDisabled->setChecked(Element.getProperty("disabled").toBool());
        Form->CheckMultiple->setChecked(Element.getProperty("multiple").toBool());
        // the engine writes a selected option as selected="", which the parser reads as absent
        QString Html = ToQString(Element.outerHTML());
        static const QRegularExpression Selected(R"((<option\b[^>]*?\s)selected="")",
                                                 QRegularExpression::CaseInsensitiveOption);
        Html.replace(Selected, "\\1selected");
        LoadChoices(ToWide(Html));
    } else {
        Form->EditName->clear();
        Form->EditTab->clear();
        Form->EditKey->clear();
        if (!Combo) Form->EditLines->setText("5");
        Form->CheckDisabled->setChecked(false);
        Form->CheckMultiple->setChecked(false);
        Form->MemoChoices->clear();
        Form->CheckGrouped->setChecked(false);
    }
    ShownChoices = Form->MemoChoices->toPlainText();
    ShownGrouped = Form->CheckGrouped->isChecked();
    ShownLines = Form->EditLines->text();
    Form->EditLines->setVisible(!Combo);
    Form->LabelEditLines->setVisible(!Combo);
    Form->CheckMultiple->setVisible(!Combo);
    setWindowTitle(Combo ? tr("  Input Combobox") : tr("  Input Listbox"));
    UpdateColorEdits();
}

bool TFormToolSelect::CheckFields()
{
    if (Form->EditName->text().isEmpty()) return FieldError(Form->EditName, tr("Please specify a name."));
    return true;
}

void TFormToolSelect::LoadChoices(WideStringView Html)
{
    Form->MemoChoices->clear();
    Form->CheckGrouped->setChecked(false);
    const std::unique_ptr<THtmlRoot> Root = ParseHtml(Html);
    const auto* Select = Root ? dynamic_cast<const THtmlTag*>(Root->FindChild(tagSelect, true)) : nullptr;
    if (!Select) return;
    QStringList Lines;
    for (THtmlNode* N = Select->FirstNode(); N; N = N->NextNode()) {
        const auto* Tag = dynamic_cast<const THtmlTag*>(N);
        if (!Tag) continue;
        if (Tag->Kind() == tagOptGroup) {
            Form->CheckGrouped->setChecked(true);
            Lines << ToQString(Trim(Tag->GetAttribute(attrLabel)));
            for (THtmlNode* O = Tag->FirstNode(); O; O = O->NextNode())
                if (const auto* Option = dynamic_cast<const THtmlTag*>(O); Option && Option->Kind() == tagOption)
                    Lines << '\t' + ChoiceLine(*Option);
        } else if (Tag->Kind() == tagOption) {
            Lines << ChoiceLine(*Tag);
        }
    }
    Form->MemoChoices->setPlainText(Lines.join('\n'));
}

WideString TFormToolSelect::OptionHtml(WideStringView Text, WideStringView Value, bool Selected)
{
    WideString S = u"<option";
    if (!Value.empty()) S += u" value=\"" + EscapeStoredValue(Value) + u'"';
    if (Selected) S += u" selected";
    S += u'>';
    S += EscapeStoredText(Text);
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
    for (const QString& Line : MemoLineList(Memo)) {
        const QStringList Fields = Line.split('\t');
        const QString First = Fields[0].trimmed();
        if (!Grouped || First.isEmpty()) {
            const TChoice C = ReadChoice(Fields, Grouped ? 1 : 0);
            S += Grouped ? u"\r\n    " : u"\r\n  ";
            S += OptionHtml(C.Text, C.Value, C.Selected);
        } else if (Fields.size() == 1) {
            Close();
            Open = true;
            S += u"\r\n  <optgroup label=\"" + EscapeStoredValue(ToWide(First)) + u"\">";
        } else {
            // a choice outside any group
            Close();
            const TChoice C = ReadChoice(Fields, 0);
            S += u"\r\n  " + OptionHtml(C.Text, C.Value, C.Selected);
        }
    }
    Close();
    return S;
}

void TFormToolSelect::GetHTML(WideString& S)
{
    S = u"<select";
    AddAttr(S, "name", Form->EditName->text());
    AddAttr(S, "tabindex", Form->EditTab->text());
    AddAttr(S, "accesskey", Form->EditKey->text());
    if (Form->CheckDisabled->isChecked()) S += u" disabled";
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
    SetAttr(Element, "name", ToWide(Form->EditName->text()));
    SetAttr(Element, "tabindex", ToWide(Form->EditTab->text()));
    SetAttr(Element, "accesskey", ToWide(Form->EditKey->text()));
    SetBoolProperty(Element, "disabled", Form->CheckDisabled->isChecked());
    if (!Combo) {
        if (Form->EditLines->text() != ShownLines)
            SetAttr(Element, "size", ToWide(QString::number(std::max(2, Form->EditLines->text().trimmed().toInt()))));
        SetBoolProperty(Element, "multiple", Form->CheckMultiple->isChecked());
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
