// The designer's operations on the page as a whole: the spell-check walk and applying a
// template.

#include <QMessageBox>

#include "HtmlDesigner.h"
#include "HtmlFilter.h"
#include "HtmlParser.h"
#include "HtmlUtils.h"
#include "HtmlWriter.h"

namespace zv {

namespace {

// The content of a selection as a template takes it: no enclosing body, table, row group,
// row or cell.
WideString UnwrapContent(WideString Content)
{
    static const WideStringView Containers[] = {u"<body",  u"<td",    u"<tr",    u"<th",
                                                u"<tbody", u"<thead", u"<tfoot", u"<table"};
    const auto Wrapped = [](WideStringView Text) {
        for (const WideStringView Tag : Containers)
            if (Text.starts_with(Tag)) return true;
        return false;
    };
    while (!Content.empty() && Wrapped(Content)) {
        WideString Inner = Trim(StripOuterTag(Content));
        if (Inner == Content) break;  // an open tag without its ">"
        Content = std::move(Inner);
    }
    return Content;
}

std::string ReplaceAll(std::string Text, std::string_view Mark, std::string_view By)
{
    for (size_t At = Text.find(Mark); At != std::string::npos; At = Text.find(Mark, At + By.size()))
        Text.replace(At, Mark.size(), By);
    return Text;
}

}  // namespace

// ---------------------------------------------------------------- spell check

TSpellCheckCounts THtmlDesigner::SpellCheck()
{
    TSpellCheckCounts Counts;
    if (!OnSpellCheck || !OnSpellSuggest || !HasDocument()) return Counts;
    const THtmlDocument Doc = Document();
    if (!Doc.body()) return Counts;

    const TMarkupPointer BodyStart = Doc.CreateMarkupPointer();
    const TMarkupPointer BodyEnd = Doc.CreateMarkupPointer();
    const TMarkupPointer WordStart = Doc.CreateMarkupPointer();
    const TMarkupPointer WordEnd = Doc.CreateMarkupPointer();
    const THtmlTxtRange Range = Doc.createTextRange();
    Doc.MovePointersToRange(Range, BodyStart, BodyEnd);
    WordEnd.MoveToPointer(BodyStart);
    // a page without words has nothing to check (not its whole text as one word)
    bool MoreWords = WordEnd.MoveUnit(MOVEUNIT_NEXTWORDEND);
    // the first word's own start, not the body's: a correction stays in the word's element
    WordStart.MoveToPointer(WordEnd);
    WordStart.MoveUnit(MOVEUNIT_PREVWORDBEGIN);

    // every move is a round trip to the page: the loop makes four for a word it only reads
    while (MoreWords) {
        ++Counts.Words;
        Doc.MoveRangeToPointers(WordStart, WordEnd, Range);
        const WideString Text = Range.text();
        bool NeedCorrection = false;
        if (Trim(Text).size() > 1) OnSpellCheck(this, Text, NeedCorrection);
        if (NeedCorrection) {
            ++Counts.Misspelled;
            bool Corrected = false;
            bool Canceled = false;
            Range.select();
            Range.scrollIntoView(true);
            const TTextRangeMetrics M = Range.Metrics();
            WideString Word = Text;
            OnSpellSuggest(this, QRect(M.offsetLeft, M.offsetTop, M.boundingWidth, M.boundingHeight),
                           Word, Corrected, Canceled);
            if (Canceled) break;
            if (Corrected) {
                ++Counts.Corrected;
                if (Word != Text) {
                    TUndoGroup Group(*this, {});
                    Range.setText(Word);
                    Group.Close();
                    // the pointers frame the new text, so a correction of several words is
                    // not checked again
                    Doc.MovePointersToRange(Range, WordStart, WordEnd);
                    WordStart.MoveToPointer(WordEnd);
                }
            }
        }
        // from the word's start, the next word's start is the first after the word's end
        WordStart.MoveUnit(MOVEUNIT_NEXTWORDBEGIN);
        // a word end to go to lies within the body; without one the walk is over
        MoreWords = WordEnd.MoveUnit(MOVEUNIT_NEXTWORDEND);
    }

    QMessageBox::information(this, QStringLiteral("Information"),
                             QStringLiteral("Spell checking completed.\n%1 words found.\n"
                                            "%2 mispelled words found.\n%3 words corrected.")
                                 .arg(Counts.Words)
                                 .arg(Counts.Misspelled)
                                 .arg(Counts.Corrected));
    return Counts;
}

// ---------------------------------------------------------------- templates

void THtmlDesigner::ApplyTemplate(const std::string& FileName)
{
    if (!OnLoadTemplate || !HasDocument()) return;
    if (FFileName.empty() || BasePath().empty())
        throw Exception("The document has no folder yet: save it before applying a template.");
    const THtmlSelection Sel = Document().selection();
    if (Sel.type() == "Control")
        throw Exception("A template takes selected text, not an element selected as a whole.");
    const WideString Selected = Sel.type() == "None" ? WideString() : Sel.createRange().htmlText();
    const WideString Before = GetHtml();

    // the selection, mapped back to its source (placeholders become what they stand for), as
    // the body of a page; with nothing selected the whole body. The page itself stays as it
    // is until the template replaces it.
    WideString Content;
    std::string PageText;
    try {
        std::unique_ptr<THtmlRoot> Page;
        if (Trim(Selected).empty()) {
            Page = ParseHtml(Before);
        } else {
            ReadChanges = -1;  // the tree's body is the selection for now
            Filter->ReadDesign(u"<body>" + Selected + u"</body>");
            Page = ParseHtml(Filter->GetSourceText());
        }
        if (THtmlNode* Body = FindNodeByPath(Page.get(), u"html.body"))
            Content = UnwrapContent(Trim(NodeToHtml(Body)));
        PageText = OnLoadTemplate(FileName, BasePath(), FFileName);
    } catch (...) {
        ReadPage();
        throw;
    }
    TUndoGroup Group(*this, "Template");
    Group.ReplacePage(Before, Utf8ToUtf16(ReplaceAll(PageText, "{CONTENT}", Utf16ToUtf8(Content))));
}

}  // namespace zv
