// Random editing in the main window, the way a person edits: from a seed, clicks into text and
// on pictures, selections with Shift and the arrows, typing, Enter, Backspace, Delete, cut, copy
// and paste, the formatting buttons, the block-format box, the link and table commands, Undo
// and Redo, and visits to and edits in the HTML Code view, on pages of several kinds.
//
// After each action: the page rules hold wherever the page held them before; an action with
// nothing selected and every formatting command lose no character and no link; one Undo gives
// back the body before, one Redo the body after. Every few actions all of them are undone and
// redone; now and then the page is saved and opened again and must show the same text and
// elements.
//
// Longer runs: ZV_RANDOM_SEEDS ("1-10,17"), ZV_RANDOM_ACTIONS (per page and seed),
// ZV_RANDOM_REPORT (a file the faults are appended to), ZV_RANDOM_TIMES (each action's time).
// ZV_RANDOM_CODE_UNDO=1 checks Undo and Redo of everything across HTML Code view edits too.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRegularExpression>
#include <Qsci/qsciscintilla.h>
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <random>
#include <set>
#include <sstream>

#include "MainWindowHost.h"
#include "support/WaitFor.h"

using namespace zv;
using namespace zv::test;

namespace {

// ---------------------------------------------------------------- the pages

struct TPage {
    const char* Name;
    std::string Html;
};

std::string Wrap(const char* Title, const char* Body)
{
    return std::string("<html><head><meta charset=\"utf-8\"><title>") + Title + "</title></head><body>\n" + Body +
           "\n</body></html>\n";
}

std::string Corpus(const char* Name)
{
    return ReadAll(std::string(ZV_SOURCE_DIR) + "/bench/data/corpus/" + Name);
}

const TPage& Page(int K)
{
    static const TPage Pages[] = {
        // a manual page: tables, code, examples, definition lists
        {"manual", Corpus("time_time.html")},
        {"terms", Wrap("Terms",
                       "<h2 id=\"g\">Glossary</h2>\n"
                       "<dl class=\"glossary\">\n"
                       "<dt id=\"t1\">Alpha <a href=\"a.html\">term</a></dt><dd>Lima definition with words</dd>\n"
                       "<dt id=\"t2\">Bravo term</dt><dd><p class=\"note\">November definition</p>"
                       "<ul><li>Nested sub item</li></ul></dd>\n"
                       "<dt>Charlie term</dt><dd>Papa definition</dd><dd>Quebec second definition</dd>\n"
                       "</dl>\n"
                       "<p>Between the lists a paragraph.</p>\n"
                       "<dl><dt>Romeo single</dt><dd>Sierra definition</dd></dl>\n"
                       "<dl compact><dt><code>--option</code></dt><dd><p>Tango <em>option</em> text.</p>"
                       "<pre>option example</pre></dd></dl>\n"
                       "<p>Uniform line <br><br>Victor line</p>")},
        {"lists", Wrap("Lists",
                       "<ol class=\"steps\">\n"
                       "<li><p id=\"keep\" class=\"note\">First para item</p><p>Second para item</p></li>\n"
                       "<li><p>Bravo <a href=\"b.html\">second link</a> text</p>\n"
                       "<ul><li>Charlie sub</li><li><p>Delta sub para</p></li></ul></li>\n"
                       "<li>Echo plain item<pre>code in item</pre></li>\n"
                       "<li>Foxtrot <b>bold</b> item</li>\n"
                       "</ol>\n"
                       "<ul>\n<li>Golf outer<ol><li>Hotel inner</li><li>India <i>inner</i></li></ol></li>\n"
                       "<li><p>Juliet last</p></li>\n</ul>\n"
                       "<p>second case <em>join</em> queries here.</p>")},
        {"links", Wrap("Links",
                       "<p id=\"top\"><a name=\"intro\">Intro</a> words and <a href=\"x.html\">a link</a> here.</p>\n"
                       "<p>Some <a name=\"n2\" href=\"n.html\" title=\"\">named link words</a> there.</p>\n"
                       "<p>Go <a href=\"#intro\"><b>bold link</b></a> and <a href=\"y.html\">why</a>.</p>\n"
                       "<ol><li><a href=\"l.html\">Listed link</a> item</li><li>Plain item</li></ol>\n"
                       "<h3><a name=\"sec\" id=\"sec\">Section head</a></h3>\n"
                       "<p>line one<br><br>line two</p>\n"
                       "<p>before pre:</p><pre>line A\nline B</pre>\n"
                       "<p>An image <img src=\"missing.gif\" width=\"20\" height=\"20\" alt=\"pic\"> here.</p>")},
        {"forms", Wrap("Forms",
                       "<aside><p>Tutorial</p><p>Side text here.</p></aside><p>After text here.</p>\n"
                       "<section id=\"s1\"><h2>Section title</h2><p>Section words</p></section>\n"
                       "<form action=\"f.cgi\" method=\"post\"><p>Name: <input type=\"text\" name=\"n\" value=\"v\"></p>\n"
                       "<p><label>Pick <select name=\"s\"><option>one</option><option>two</option></select></label></p>\n"
                       "<p><textarea name=\"t\">area text</textarea> <input type=\"submit\" value=\"Go\"></p></form>\n"
                       "<article><p>Article body words</p></article>\n"
                       "<x-note class=\"n\">Custom element words</x-note>\n"
                       "<!-- a comment -->\n"
                       "<p>Closing <span class=\"k\">span words</span> end.</p>")},
    };
    return Pages[K];
}

// ---------------------------------------------------------------- what the page holds

// One call in the page: its body, text, links, names, elements, the selection, and every place
// where it breaks a page rule, by rule family (one function each).
const char* const SurveyScript = R"JS((function () {
const body = document.body, found = [];
const cut = s => s.length > 240 ? s.slice(0, 240) + '...' : s;
const add = (family, kind, instance, el) => found.push([family, kind, instance, cut(el.outerHTML)]);
const all = s => [...body.querySelectorAll(s)];
// the view's own pictures (anchors, comments, unknown tags), not a user's image shown broken
const picture = e => e.localName === 'img' && /^edit:/.test(e.getAttribute('src') || '') && !e.classList.contains('dsgn_broken');
const headings = 'h1, h2, h3, h4, h5, h6';
const closesP = 'address, article, aside, blockquote, center, details, dialog, dir, div, dl, dd, dt, fieldset, ' +
    'figcaption, figure, footer, form, header, hgroup, hr, li, listing, main, menu, nav, ol, p, pre, ' +
    'section, summary, table, ul, xmp, ' + headings;
const name = e => e ? e.localName : 'nothing';
const rules = {
    links() {
        for (const a of all('a a')) add('links', 'a in a', '', a.parentElement.closest('a'));
        for (const a of all('a[href]'))
            if (!a.textContent.replace(/[ \t\r\n]/g, '') && !all('*').some(e => a.contains(e) && e !== a && e.localName !== 'br' && !picture(e)))
                add('links', 'empty a[href]', a.getAttribute('href'), a);
    },
    blocks() {
        for (const p of all('p')) for (const b of p.querySelectorAll(closesP)) add('blocks', b.localName + ' in p', '', p);
        for (const h of all(headings)) if (h.parentElement.closest(headings))
            add('blocks', 'heading in heading', '', h.parentElement.closest(headings));
    },
    lists() {
        for (const e of all('li')) if (!/^(ul|ol|menu|dir)$/.test(name(e.parentElement)))
            add('lists', 'li in ' + name(e.parentElement), '', e.parentElement);
        for (const e of all('dt, dd')) {
            const p = e.parentElement;
            if (name(p) !== 'dl' && !(name(p) === 'div' && name(p.parentElement) === 'dl'))
                add('lists', e.localName + ' in ' + name(p), '', p);
        }
        for (const e of all(':is(ul, ol, dl, menu, dir) > :is(ul, ol, dl)'))
            add('lists', e.localName + ' in ' + name(e.parentElement), '', e.parentElement);
        // what a list holds right in it: items (a dl: terms and definitions, or groups of them)
        for (const l of all('ul, ol, dl')) for (const n of l.childNodes) {
            const item = l.localName === 'dl' ? /^(dt|dd|div)$/ : /^(li)$/;
            if (n.nodeType === Node.TEXT_NODE ? n.data.trim() : n.nodeType === Node.ELEMENT_NODE &&
                !item.test(n.localName) && !/^(ul|ol|dl|script|template)$/.test(n.localName) && !picture(n))
                add('lists', (n.nodeType === Node.TEXT_NODE ? 'text' : n.localName) + ' in ' + l.localName, '', l);
        }
        for (const dl of all('dl')) {
            const first = [...dl.children].find(c => c.localName === 'dt' || c.localName === 'dd');
            if (first && first.localName === 'dd') add('lists', 'dd without term', '', dl);
        }
    },
    tables() {
        // (the design view keeps a table's rows where the file has them: right in the table
        // when it has no tbody)
        for (const e of all('tr')) if (!/^(table|thead|tbody|tfoot)$/.test(name(e.parentElement)))
            add('tables', 'tr in ' + name(e.parentElement), '', e.parentElement);
        for (const e of all('td, th')) if (name(e.parentElement) !== 'tr')
            add('tables', e.localName + ' in ' + name(e.parentElement), '', e.parentElement);
    },
    // styles the engine computes: colours and fonts copied as values, the grey behind pre,
    // display overrides (not the normal weight or slant that Bold or Italic asks for in text
    // bold or italic by its block)
    styles() {
        for (const e of all('[style]')) for (const d of e.getAttribute('style').split(';')) {
            const t = d.trim().toLowerCase();
            if (/!important|rgb\(|^(font|color|background|display|white-space|line-height)/.test(t) &&
                !/^font-(weight|style):\s*normal$/.test(t))
                add('styles', 'engine style ' + t.replace(/\s*:.*/, ''), t, e);
        }
    },
    ids() {
        const seen = new Map();
        for (const e of all('[id]')) seen.set('id ' + e.id, (seen.get('id ' + e.id) || []).concat([e]));
        for (const e of all('a[name]')) {
            const k = 'name ' + e.getAttribute('name');
            seen.set(k, (seen.get(k) || []).concat([e]));
        }
        for (const [k, list] of seen) if (list.length > 1) add('ids', 'duplicate ' + k.split(' ')[0], k, list[1]);
    },
};
for (const f of Object.values(rules)) f();
const s = getSelection();
let sel = 'none', whole = [];
if (s.rangeCount && body.contains(s.getRangeAt(0).commonAncestorContainer)) {
    const r = s.getRangeAt(0);
    sel = r.collapsed ? 'caret' : 'text';
    // links whose whole text is selected
    if (!r.collapsed) for (const a of all('a[href]')) {
        const w = document.createTreeWalker(a, NodeFilter.SHOW_TEXT), texts = [];
        for (let t = w.nextNode(); t; t = w.nextNode()) if (t.data.trim()) texts.push(t);
        if (!texts.length) continue;
        const ar = document.createRange();
        ar.setStart(texts[0], texts[0].data.search(/\S/));
        const last = texts[texts.length - 1];
        ar.setEnd(last, last.data.trimEnd().length);
        if (r.compareBoundaryPoints(Range.START_TO_START, ar) <= 0 && r.compareBoundaryPoints(Range.END_TO_END, ar) >= 0 &&
            r.toString().trim() === a.textContent.trim())
            whole.push(a.getAttribute('href'));
    }
}
return JSON.stringify({ html: body.innerHTML, text: body.innerText, faults: found,
    links: all('a[href]').map(a => [a.getAttribute('href'), a.textContent]),
    names: all('a[name]').map(a => a.getAttribute('name')),
    ids: all('[id]').map(e => e.id).filter(id => !id.startsWith('dsgn_')),
    emptyItems: all('li').filter(li => !li.textContent.replace(/[ \t\r\n]/g, '') &&
        !li.querySelector('br, img, input, select, textarea, button, table, hr, object, embed, iframe')).length,
    // (the picture of a named anchor is the view's way to show it, not an element of the page)
    tags: all('*').filter(e => !(e.localName === 'img' && e.getAttribute('src') === 'edit:anchor.gif'))
        .map(e => e.localName).join(' '), sel: sel, whole: whole });
})())JS";

struct TRuleFault {
    std::string Family, Kind, Instance, Markup;
    std::string Count() const { return Kind + "|" + Instance; }
};

struct TSurvey {
    QString Html, Text, Tags, Selection;
    std::vector<std::pair<QString, QString>> Links;  // address and text
    std::vector<QString> Names, WholeLinks, Ids;
    int EmptyItems = 0;
    std::vector<TRuleFault> Faults;
};

TSurvey Survey(TMainWindowHost& H)
{
    H.D().CallLayer("echoes");  // the keys sent before are in
    const QJsonObject O = QJsonDocument::fromJson(PageEval(H.D(), SurveyScript).toString().toUtf8()).object();
    TSurvey S;
    S.Html = O["html"].toString();
    S.Text = O["text"].toString();
    S.Tags = O["tags"].toString();
    S.Selection = O["sel"].toString();
    for (const QJsonValue& F : O["faults"].toArray()) {
        const QJsonArray A = F.toArray();
        S.Faults.push_back({A[0].toString().toStdString(), A[1].toString().toStdString(),
                            A[2].toString().toStdString(), A[3].toString().toStdString()});
    }
    for (const QJsonValue& L : O["links"].toArray()) S.Links.emplace_back(L.toArray()[0].toString(), L.toArray()[1].toString());
    for (const QJsonValue& N : O["names"].toArray()) S.Names.push_back(N.toString());
    for (const QJsonValue& N : O["whole"].toArray()) S.WholeLinks.push_back(N.toString());
    for (const QJsonValue& N : O["ids"].toArray()) S.Ids.push_back(N.toString());
    S.EmptyItems = O["emptyItems"].toInt();
    return S;
}

// The characters of a text but its blanks, sorted: what no action may lose.
QString NonBlank(const QString& Text)
{
    QString Out;
    for (QChar C : Text)
        if (!C.isSpace() && C != QChar(0xA0) && C != QChar(0x200B)) Out += C;
    return Out;
}
QString Sorted(QString Text)
{
    std::sort(Text.begin(), Text.end());
    return Text;
}
QStringList Words(const QString& Text)
{
    return QString(Text).replace(QChar(0xA0), ' ').split(QRegularExpression("\\s+"), Qt::SkipEmptyParts);
}
// Whether every character of Part is among those of All (both sorted).
bool Within(const QString& Part, const QString& All)
{
    return std::includes(All.begin(), All.end(), Part.begin(), Part.end());
}
// The nonblank characters of the links to each address.
std::map<QString, QString> LinkedText(const TSurvey& S)
{
    std::map<QString, QString> Out;
    for (const auto& [Href, Text] : S.Links) Out[Href] += NonBlank(Text);
    return Out;
}

// Where two markups differ, with some markup around it on both sides.
std::string Difference(const QString& A, const QString& B, const char* NameA = "before", const char* NameB = "after")
{
    qsizetype Start = 0;
    while (Start < A.size() && Start < B.size() && A[Start] == B[Start]) ++Start;
    qsizetype EndA = A.size(), EndB = B.size();
    while (EndA > Start && EndB > Start && A[EndA - 1] == B[EndB - 1]) --EndA, --EndB;
    const qsizetype From = std::max<qsizetype>(0, Start - 120);
    const auto Part = [&](const QString& S, qsizetype End) {
        const qsizetype To = std::min<qsizetype>(S.size(), End + 120);
        return (From > 0 ? "..." : "") + S.mid(From, To - From).replace('\n', "\\n").toStdString() +
               (To < S.size() ? "..." : "");
    };
    return std::string("    ") + NameA + ": " + Part(A, EndA) + "\n    " + NameB + ": " + Part(B, EndB) + "\n";
}

// ---------------------------------------------------------------- faults

struct TFault {
    std::string Class;   // the check and what broke, the same for every instance of the fault
    std::string Action;  // the kind of action it followed
    std::string Text;    // seed, step, steps, what, markup
};

struct TReport {
    std::vector<TFault> Faults;
    int Actions = 0;
    // distinct by class and action, in the order found
    std::vector<const TFault*> Distinct() const
    {
        std::vector<const TFault*> Out;
        std::set<std::string> Seen;
        for (const TFault& F : Faults)
            if (Seen.insert(F.Class + " after " + F.Action).second) Out.push_back(&F);
        return Out;
    }
};

// ---------------------------------------------------------------- the person at the keyboard

class TRandomEditor {
public:
    TRandomEditor(TMainWindowHost& H, const TempDir& Docs, const TPage& P, uint32_t Seed, TReport& Report)
        : H(H), W(H.W()), P(P), Seed(Seed), Random(Seed * 7919u + std::hash<std::string>()(P.Name) % 7919u),
          Report(Report), File(Docs / (std::string(P.Name) + ".html"))
    {
        // a dialog no action asked for (a click taken for a double click, say) is noted and
        // closed
        QObject::connect(&Guard, &QTimer::timeout, [this] {
            QWidget* Modal = QApplication::activeModalWidget();
            if (Expecting || !Modal || !Modal->isVisible()) return;
            Unexpected = Modal->windowTitle();
            if (auto* Dialog = qobject_cast<QDialog*>(Modal)) Dialog->reject();
        });
        Guard.start(50);
    }

    void Run(int Actions)
    {
        std::cout << "random editing: page " << P.Name << ", seed " << Seed << ", " << Actions << " actions\n";
        // nothing of an earlier seed's run: a seed alone gives the same steps
        QApplication::clipboard()->clear();
        WriteAll(File, P.Html);
        Open();
        for (Step = 1; Step <= Actions; ++Step) {
            Act();
            ++Report.Actions;
            if (Step % 8 == 0) UndoAndRedoAll();
            if (Step % 24 == 0 || Step == Actions) SaveAndOpenAgain();
        }
    }

private:
    TMainWindowHost& H;
    TFormMain& W;
    const TPage& P;
    uint32_t Seed;
    std::mt19937 Random;
    TReport& Report;
    std::string File;
    int Step = 0;
    std::vector<std::string> Steps;  // every action, as a person would tell it
    bool Broken = false;
    // the history since the page was opened: the body after each step, the one shown, and
    // which steps were made in the code view
    std::vector<QString> History;
    size_t At = 0;
    bool LastWasEnter = false;
    QString BeforeEnter;
    QString PictureKind;  // of the picture clicked last
    QTimer Guard;
    bool Expecting = false;
    QString Unexpected;

    int Pick(int N) { return N <= 1 ? 0 : int(Random() % uint32_t(N)); }
    bool Chance(int Percent) { return Pick(100) < Percent; }
    template <typename T, size_t N> const T& PickOf(const T (&List)[N]) { return List[Pick(N)]; }

    void Fault(const std::string& Class, const std::string& What, const QString& Before, const QString& After)
    {
        std::ostringstream Out;
        Out << "FAULT " << Class << "\n  page " << P.Name << ", seed " << Seed << ", step " << Step << " ("
            << (Steps.empty() ? "" : Steps.back()) << ")\n  steps:";
        for (size_t K = Steps.size() > 14 ? Steps.size() - 14 : 0; K < Steps.size(); ++K) Out << " " << Steps[K] << ";";
        Out << "\n  " << What << "\n" << Difference(Before, After);
        const std::string Action = Steps.empty() ? "" : Steps.back().substr(0, Steps.back().find(" '"));
        Report.Faults.push_back({Class, Action, Out.str()});
        std::cout << Out.str() << std::flush;
    }

    // ------------------------------------------------------------ opening and the views

    void Open()
    {
        if (W.FileManager->Modified()) H.Ui.SaveAnswers.push_back(TSaveAnswer::No);
        PageEval(H.D(), "window.zvRandomOld = true");
        W.FileManager->OpenFile(File);
        if (!WaitFor([&] { return H.D().HasDocument() && !PageEval(H.D(), "window.zvRandomOld").toBool() &&
                                  PageEval(H.D(), "document.body && document.body.isContentEditable").toBool(); },
                     20000))
            ADD_FAILURE() << P.Name << ": the page did not open";
        H.Ui.SaveAnswers.clear();
        History = {Survey(H).Html};
        At = 0;
        LastWasEnter = false;
        Focus();
    }

    void Focus()
    {
        if (H.F().TabControl1->currentIndex() != DesignerTab) H.Tab(DesignerTab);
        const auto Focused = [&] { return PageEval(H.D(), "document.hasFocus()").toBool(); };
        QWidget* Proxy = H.D().focusProxy();
        if (Proxy->hasFocus() && QApplication::activeWindow() == &W && Focused()) return;
        // a menu or dialog that closed leaves no window active offscreen, and the page takes
        // the focus back only when the window becomes active anew
        for (int Try = 0; Try < 4; ++Try) {
            Proxy->clearFocus();
            QApplication::setActiveWindow(nullptr);
            QApplication::setActiveWindow(&W);
            Proxy->setFocus();
            if (WaitFor([&] { return Proxy->hasFocus() && Focused(); }, 400 * (Try + 1))) return;
        }
        std::cout << "FOCUS lost\n";
    }

    // The steps the design view's history holds up to the page shown.
    int UndoSteps()
    {
        H.D().CallLayer("echoes");
        H.D().CanUndo();
        return H.D().UndoIndex();
    }

    void Key(Qt::Key K, Qt::KeyboardModifiers Mods = {})
    {
        QTest::keyClick(H.D().focusProxy(), K, Mods);
    }

    // ------------------------------------------------------------ one action

    struct TExpect {
        bool Unchanged = false;    // nothing of the body may change
        bool SameWords = false;    // formatting: the same words, the same linked text
        bool KeepsChars = false;   // no character lost (typing and pastes add some)
        bool KeepsLinks = false;   // no address lost, no linked character lost
        bool Always = false;       // those two with a selection too
        QString Adds;              // the characters typed
        bool Model = false;        // Undo or Redo: the history says what comes
        int Towards = 0;           // -1 Undo, +1 Redo
    };

    void Act()
    {
        QElapsedTimer Clock;
        Clock.start();
        ActOnce();
        if (qEnvironmentVariableIsSet("ZV_RANDOM_TIMES"))
            std::cout << "  " << Step << " " << (Steps.empty() ? "" : Steps.back()) << ": " << Clock.elapsed() << " ms\n";
    }
    void ActOnce()
    {
        Focus();
        const TSurvey Before = Survey(H);
        const QString SelType = H.D().CallLayer("selType").toString();
        const bool Caret = SelType != "Control" && Before.Selection != "text";
        const int StepsBefore = UndoSteps();
        TExpect E;
        std::string Text = Do(Before, SelType, E);
        // a picture deleted takes no character with it; an anchor's picture no link either
        if (SelType == "Control" && PictureKind.startsWith("img") &&
            (Text == "Delete" || Text == "Backspace" || Text == "Ctrl+X")) {
            E.KeepsChars = E.Always = true;
            E.KeepsLinks = PictureKind.contains("anchor");
            E.Adds = "";
        }
        Steps.push_back(Text);
        if (!Unexpected.isEmpty()) {
            Fault("error/a dialog no action asked for, or keys lost", Unexpected.toStdString(), Before.Html, Before.Html);
            Unexpected.clear();
        }
        Focus();
        TSurvey After = Survey(H);
        Check(Before, After, SelType, Caret, E);
        // Enter then Backspace at once gives back the words as they were
        const bool Enter = Text == "Enter" && Caret;
        if (Text == "Backspace" && Caret && LastWasEnter && Words(After.Text) != Words(BeforeEnter))
            Fault("kept/Enter then Backspace changes the words", "", BeforeEnter, After.Text);
        LastWasEnter = Enter;
        if (Enter) BeforeEnter = Before.Text;
        if (Broken) {
            // the history no longer tells what Undo gives: start again from the file
            Broken = false;
            Steps.push_back("(the page opened again)");
            return Open();
        }
        if (E.Model) return;
        if (After.Html == Before.Html) {
            // nor a step to undo; one that came stands in the history as a step of its own
            if (UndoSteps() == StepsBefore) return;
            Fault("undo/an action that changes nothing leaves a step to undo", "", Before.Html, After.Html);
            History.resize(At + 1);
            History.push_back(After.Html);
            ++At;
            return;
        }
        // one Undo gives back the body before, one Redo the body after
        const QString Selection = SaveSelection();
        Key(Qt::Key_Z, Qt::ControlModifier);
        const QString Undone = Survey(H).Html;
        if (Undone != Before.Html) Fault("undo/one Undo does not give back the page before", "", Before.Html, Undone);
        Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        const QString Redone = Survey(H).Html;
        if (Redone != After.Html) Fault("redo/one Redo does not give back the page after", "", After.Html, Redone);
        if (Undone != Before.Html || Redone != After.Html) {
            Steps.push_back("(the page opened again)");
            return Open();
        }
        RestoreSelection(Selection);
        History.resize(At + 1);
        History.push_back(After.Html);
        ++At;
    }

    void Check(const TSurvey& Before, const TSurvey& After, const QString& SelType, bool Caret, const TExpect& E)
    {
        // the rules hold wherever they held before
        // (of a kind found more often than before, the places not seen before are shown)
        std::map<std::string, int> Had;
        std::multiset<std::string> Places;
        for (const TRuleFault& F : Before.Faults) ++Had[F.Count()], Places.insert(F.Markup);
        for (const TRuleFault& F : After.Faults) --Had[F.Count()];
        // a definition made of a block stands without a term: the format asked for it
        if (Steps.back() == "format box 'Definition'") Had["dd without term|"] = 0;
        for (const TRuleFault& F : After.Faults)
            if (Had[F.Count()] < 0 && !Places.count(F.Markup)) {
                ++Had[F.Count()];
                Fault("rules/" + F.Family + ": " + F.Kind, F.Instance + " " + F.Markup, Before.Html, After.Html);
            }
        for (const TRuleFault& F : After.Faults)
            if (Had[F.Count()] < 0) {
                ++Had[F.Count()];
                Fault("rules/" + F.Family + ": " + F.Kind, F.Instance + " " + F.Markup, Before.Html, After.Html);
            }
        if (E.Model) {
            const size_t To = E.Towards < 0 ? (At > 0 ? At - 1 : 0) : std::min(At + 1, History.size() - 1);
            if (After.Html != History[To]) {
                Fault(E.Towards < 0 ? "undo/Undo does not give back the page before the step"
                                    : "redo/Redo does not give back the page after the step",
                      "", History[To], After.Html);
                Broken = true;
            }
            At = To;
            return;
        }
        if (E.Unchanged && After.Html != Before.Html)
            Fault("kept/an action that changes nothing changed the page", "", Before.Html, After.Html);
        const QString Was = Sorted(NonBlank(Before.Text)), Is = Sorted(NonBlank(After.Text));
        if (E.SameWords && Words(After.Text) != Words(Before.Text))
            Fault("kept/a formatting command changed the words", "", Before.Html, After.Html);
        const bool Applies = E.Always || Caret || E.SameWords;
        // (keys that went nowhere, into a block of cells say, change nothing and lose nothing)
        if (E.KeepsChars && Applies && After.Html != Before.Html &&
            (E.Adds.isNull() ? !Within(Was, Is) : Is != Sorted(Was + NonBlank(E.Adds))))
            Fault("kept/characters lost", "", Before.Text, After.Text);
        const auto WasLinked = LinkedText(Before), IsLinked = LinkedText(After);
        if (E.KeepsLinks && Applies)
            for (const auto& [Href, Chars] : WasLinked) {
                const auto Now = IsLinked.find(Href);
                const bool Kept = Now != IsLinked.end() &&
                                  (E.SameWords ? Sorted(Now->second) == Sorted(Chars) : Within(Sorted(Chars), Sorted(Now->second)));
                if (!Kept && !Chars.isEmpty())
                    Fault("kept/a link lost", "href " + Href.toStdString(), Before.Html, After.Html);
            }
        // a formatting command keeps the ids of what it reformats, and leaves no empty item
        if (E.SameWords) {
            for (const QString& Id : Before.Ids)
                if (std::find(After.Ids.begin(), After.Ids.end(), Id) == After.Ids.end())
                    Fault("kept/a formatting command took an id", "id " + Id.toStdString(), Before.Html, After.Html);
            if (After.EmptyItems > Before.EmptyItems)
                Fault("kept/a formatting command left an empty item", "", Before.Html, After.Html);
        }
        // typing or a paste over a link's whole text keeps the link around the new text (a
        // paste of links or blocks goes beside it: a link holds neither; one of pictures alone
        // brings no text)
        static const QRegularExpression LinksOrBlocks(
            "<(a|p|div|ul|ol|dl|li|dt|dd|table|tr|td|th|h[1-6]|pre|blockquote|address|hr|form)[\\s>]",
            QRegularExpression::CaseInsensitiveOption);
        const QMimeData* Clip = QApplication::clipboard()->mimeData();
        const bool PastesText = Clip && !Clip->text().trimmed().isEmpty() &&
                                !(Clip->hasHtml() && LinksOrBlocks.match(Clip->html()).hasMatch());
        if (!E.Adds.isEmpty() || (Steps.back() == "Ctrl+V" && PastesText))
            for (const QString& Href : Before.WholeLinks)
                if (!IsLinked.count(Href))
                    Fault("kept/typing or pasting over a link's whole text took the link", "href " + Href.toStdString(),
                          Before.Html, After.Html);
        if (E.KeepsLinks && Caret)
            for (const QString& Name : Before.Names)
                if (std::find(After.Names.begin(), After.Names.end(), Name) == After.Names.end())
                    Fault("kept/a named anchor lost", "name " + Name.toStdString(), Before.Html, After.Html);
        if (!H.Ui.Errors.empty()) {
            Fault("error/a message came", H.Ui.Errors.front(), Before.Html, After.Html);
            H.Ui.Errors.clear();
        }
    }

    // ------------------------------------------------------------ the actions

    std::string Do(const TSurvey& Before, const QString& SelType, TExpect& E)
    {
        Ui::FormMain& F = H.F();
        struct TChoice {
            int Weight;
            std::function<std::string()> Run;
        };
        const auto Button = [&](QAction* A, const char* Name, bool Format) {
            return [&, A, Name, Format] {
                H.Click(A);
                E.SameWords = Format;
                E.KeepsChars = E.KeepsLinks = true;
                return std::string(Name);
            };
        };
        const bool Tables = Before.Tags.contains("table");
        const TChoice Choices[] = {
            {16, [&] { return ClickText(E); }},
            {4, [&] { return ClickPicture(E); }},
            {9, [&] {
                 static const std::pair<Qt::Key, const char*> Arrows[] = {
                     {Qt::Key_Left, "Left"}, {Qt::Key_Right, "Right"}, {Qt::Key_Up, "Up"}, {Qt::Key_Down, "Down"}};
                 const auto& [K, Name] = PickOf(Arrows);
                 const int N = 1 + Pick(8);
                 for (int I = 0; I < N; ++I) Key(K, Qt::ShiftModifier);
                 E.Unchanged = true;
                 return "Shift+" + std::string(Name) + (N > 1 ? " x" + std::to_string(N) : "");
             }},
            {5, [&] {
                 const bool Home = Chance(25);
                 Key(Home ? Qt::Key_Home : Qt::Key_End, Qt::ShiftModifier);
                 E.Unchanged = true;
                 return std::string(Home ? "Shift+Home" : "Shift+End");
             }},
            {9, [&] {
                 static const char* const Typed[] = {"zeta", "Quux ", " new words", "x", "a & b", "Z9", " "};
                 const QString T = PickOf(Typed);
                 if (!PageType(H.D(), T)) Unexpected = "typing did not reach the page";
                 E.KeepsChars = E.KeepsLinks = true;
                 E.Adds = T;
                 return "type '" + T.toStdString() + "'";
             }},
            {5, [&] { Key(Qt::Key_Return); E.KeepsChars = E.KeepsLinks = true; E.Adds = ""; return std::string("Enter"); }},
            {5, [&] { Key(Qt::Key_Backspace); return std::string("Backspace"); }},
            {5, [&] { Key(Qt::Key_Delete); return std::string("Delete"); }},
            {3, [&] { Key(Qt::Key_X, Qt::ControlModifier); return std::string("Ctrl+X"); }},
            {3, [&] { Key(Qt::Key_C, Qt::ControlModifier); E.Unchanged = true; return std::string("Ctrl+C"); }},
            {5, [&] { Key(Qt::Key_V, Qt::ControlModifier); E.KeepsChars = E.KeepsLinks = true; return std::string("Ctrl+V"); }},
            {2, Button(F.BtnBold, "Bold", true)},
            {2, Button(F.BtnItalic, "Italic", true)},
            {2, Button(F.BtnUnderline, "Underline", true)},
            {3, Button(F.BtnOrder, "Numbered List", true)},
            {3, Button(F.BtnUnorder, "Bulleted List", true)},
            {2, Button(F.BtnIndent, "Indent", true)},
            {2, Button(F.BtnOutdent, "Outdent", true)},
            {1, Button(F.BtnLeft, "Align Left", true)},
            {1, Button(F.BtnCenter, "Center", true)},
            {1, Button(F.BtnRight, "Align Right", true)},
            {6, [&] { return BlockFormat(E); }},
            {3, [&] { return Link(E); }},
            {Tables ? 4 : 0, [&] { return TableCommand(E); }},
            {Tables ? 3 : 0, [&] { return DragOverCells(E); }},
            {1, [&] { return InsertTable(E); }},
            {4, [&] { return UndoRedo(E, -1); }},
            {2, [&] { return UndoRedo(E, +1); }},
            {1, [&] {
                 H.Tab(CodeTab);
                 H.Tab(DesignerTab);
                 E.Unchanged = true;
                 return std::string("to the HTML Code view and back");
             }},
            {2, [&] { return CodeEdit(E); }},
        };
        // an Enter is often taken back at once
        if (LastWasEnter && Chance(40)) {
            Key(Qt::Key_Backspace);
            return "Backspace";
        }
        int Total = 0;
        for (const TChoice& C : Choices) Total += C.Weight;
        int K = Pick(Total);
        for (const TChoice& C : Choices) {
            if (K < C.Weight) return C.Run();
            K -= C.Weight;
        }
        return {};
    }

    std::string ClickText(TExpect& E)
    {
        const int K = int(Random() % 100000);
        const double At = Pick(1000) / 1000.0;
        const QVariantList R =
            PageEval(H.D(), QString(R"JS((function (k, f) {
const w = document.createTreeWalker(document.body, NodeFilter.SHOW_TEXT), list = [];
for (let t = w.nextNode(); t; t = w.nextNode())
    if (t.data.trim() && t.parentElement.getClientRects().length &&
        !t.parentElement.closest('script, style, textarea, select, option')) list.push(t);
if (!list.length) return null;
const t = list[k % list.length], o = Math.min(t.data.length, Math.floor(f * (t.data.length + 1)));
const r = document.createRange();
r.setStart(t, o);
r.collapse(true);
const box = () => r.getClientRects()[0] || r.getBoundingClientRect();
let b = box();
if (b.top < 0 || b.bottom > innerHeight || b.left < 0 || b.left >= innerWidth) {
    t.parentElement.scrollIntoView({ block: 'center' });
    b = box();
    if (b.top < 0 || b.bottom > innerHeight) { scrollBy(0, b.top - innerHeight / 2); b = box(); }
}
return [b.left + 1, b.top + b.height / 2, t.data.slice(Math.max(0, o - 10), o) + '|' + t.data.slice(o, o + 10),
        t.parentElement.localName];
})(%1, %2))JS")
                                .arg(K)
                                .arg(At))
                .toList();
        E.Unchanged = true;
        if (R.size() != 4) return "click (no text)";
        const QPoint Pos(qRound(R[0].toDouble()), qRound(R[1].toDouble()));
        PageClick(H.D(), Pos);
        PictureKind.clear();
        return "click at '" + R[2].toString().simplified().toStdString() + "' in " + R[3].toString().toStdString();
    }

    std::string ClickPicture(TExpect& E)
    {
        const QVariantList R = PageEval(H.D(), QString(R"JS((function (k) {
const list = [...document.body.querySelectorAll('img, input, select, textarea, button')]
    .filter(e => e.getClientRects().length);
if (!list.length) return null;
const e = list[k % list.length];
e.scrollIntoView({ block: 'center' });
const b = e.getBoundingClientRect(), p = e.parentElement;
return [b.left + b.width / 2, b.top + b.height / 2, e.localName + ' ' + (e.getAttribute('src') || e.getAttribute('type') || '') +
        ' in ' + p.localName + (p.getAttribute('name') ? ' name=' + p.getAttribute('name') : '') +
        (p.getAttribute('href') ? ' href=' + p.getAttribute('href') : '')];
})(%1))JS").arg(int(Random() % 100000)))
                                   .toList();
        E.Unchanged = true;
        if (R.size() != 3) return "click on a picture (none)";
        PageClick(H.D(), QPoint(qRound(R[0].toDouble()), qRound(R[1].toDouble())));
        PictureKind = R[2].toString();
        return "click on picture '" + PictureKind.toStdString() + "'";
    }

    // A block of cells chosen with the mouse: pressed in one cell, released in another of
    // the same table.
    std::string DragOverCells(TExpect& E)
    {
        const QVariantList R = PageEval(H.D(), QString(R"JS((function (k, a, b) {
const tables = [...document.body.querySelectorAll('table')].filter(t => t.querySelectorAll('td, th').length > 1);
if (!tables.length) return null;
const t = tables[k % tables.length], cells = [...t.querySelectorAll('td, th')].filter(c => c.closest('table') === t);
const from = cells[a % cells.length], to = cells[b % cells.length];
from.scrollIntoView({ block: 'center' });
const at = c => { const r = c.getBoundingClientRect(); return [r.left + r.width / 2, r.top + r.height / 2]; };
const name = c => "'" + c.textContent.trim().slice(0, 12) + "'";
return at(from).concat(at(to), [name(from) + ' to ' + name(to)]);
})(%1, %2, %3))JS").arg(int(Random() % 1000)).arg(int(Random() % 1000)).arg(int(Random() % 1000)))
                                   .toList();
        E.Unchanged = true;
        if (R.size() != 5) return "drag over cells (none)";
        QWidget* Proxy = H.D().focusProxy();
        const QPoint From(qRound(R[0].toDouble()), qRound(R[1].toDouble())), To(qRound(R[2].toDouble()), qRound(R[3].toDouble()));
        QTest::mousePress(Proxy, Qt::LeftButton, {}, From);
        QTest::mouseMove(Proxy, (From + To) / 2);
        QTest::mouseMove(Proxy, To);
        QTest::mouseRelease(Proxy, Qt::LeftButton, {}, To);
        WaitForFrames(H.D());
        PictureKind.clear();
        return "drag over cells from " + R[4].toString().toStdString();
    }

    std::string BlockFormat(TExpect& E)
    {
        static const char* const Formats[] = {"Normal", "Heading 1", "Heading 2", "Heading 3", "Formatted",
                                              "Address", "Definition Term", "Definition"};
        const QString Name = PickOf(Formats);
        TComboBox97* Box = W.BlockFormatCombo;
        E.SameWords = E.KeepsChars = E.KeepsLinks = true;
        if (!Box->isEnabled() || Box->findText(Name) < 0) {
            E.Unchanged = true;
            return "format box '" + Name.toStdString() + "' (off)";
        }
        QTest::mouseClick(Box, Qt::LeftButton);
        QAbstractItemView* Popup = Box->view();
        if (!WaitFor([&] { return Popup->isVisible(); })) return "format box (no list)";
        const int From = std::max(0, Box->currentIndex()), To = Box->findText(Name);
        for (int K = From; K < To; ++K) QTest::keyClick(Popup, Qt::Key_Down);
        for (int K = To; K < From; ++K) QTest::keyClick(Popup, Qt::Key_Up);
        QTest::keyClick(Popup, Qt::Key_Return);
        WaitFor([&] { return !Popup->isVisible(); });
        return "format box '" + Name.toStdString() + "'";
    }

    std::string Link(TExpect& E)
    {
        static const char* const Addresses[] = {"new.html", "x.html", "#intro", "http://example.com/p?q=1&r=2"};
        const QString Url = PickOf(Addresses);
        E.KeepsChars = true;
        E.Always = true;
        if (!H.F().BtnLink->isEnabled()) {
            E.Unchanged = true;
            return "Link (off)";
        }
        Expecting = true;
        TModalAnswer Answer([Url](QWidget* Dialog) {
            auto* Edit = Dialog->findChild<QLineEdit*>("EditUrl");
            if (!Edit) return static_cast<QDialog*>(Dialog)->reject();
            Edit->selectAll();
            QTest::keyClicks(Edit, Url);
            QTest::keyClick(Edit, Qt::Key_Return);
        });
        H.Click(H.F().BtnLink);
        WaitFor([&] { return Answer.Seen; }, 2000);
        Expecting = false;
        return "Link '" + Url.toStdString() + "'";
    }

    std::string TableCommand(TExpect& E)
    {
        Ui::FormMain& F = H.F();
        const std::pair<QAction*, QMenu*> Entries[] = {
            {F.MenuInsertRowAbove, nullptr},   {F.MenuInsertRowBelow, nullptr},     {F.MenuDeleteRows, nullptr},
            {F.MenuInsertColumnBefore, nullptr}, {F.MenuInsertColumnAfter, nullptr}, {F.MenuDeleteColumns, nullptr},
            {F.MenuMergeCells, nullptr},       {F.MenuUnmergeCells, nullptr},       {F.MenuFixTable, nullptr},
            {F.MenuHAlignCenter, F.MenuHorizontalAlignment}, {F.MenuHAlignRight, F.MenuHorizontalAlignment},
            {F.MenuVAlignTop, F.MenuVerticalAlignment},      {F.MenuVAlignBottom, F.MenuVerticalAlignment}};
        const auto& [Entry, Sub] = PickOf(Entries);
        const std::string Name = "Tables > " + (Sub ? Sub->title().remove('&').toStdString() + " > " : "") +
                                 Entry->text().remove('&').toStdString();
        QMenu* Menu = H.OpenMenu(F.MenuTables);
        if (!(Sub ? Sub->menuAction() : Entry)->isEnabled() || !Entry->isEnabled()) {
            QTest::keyClick(Menu, Qt::Key_Escape);
            WaitFor([&] { return !Menu->isVisible(); });
            E.Unchanged = true;
            return Name + " (off)";
        }
        H.Choose(Menu, Entry, Sub);
        const bool Deletes = Entry == F.MenuDeleteRows || Entry == F.MenuDeleteColumns;
        E.KeepsChars = E.KeepsLinks = !Deletes;
        E.SameWords = !Deletes && Entry != F.MenuMergeCells;
        return Name;
    }

    std::string InsertTable(TExpect& E)
    {
        const int Rows = 1 + Pick(3), Cols = 1 + Pick(3);
        Expecting = true;
        TModalAnswer Answer([Rows, Cols](QWidget* Dialog) {
            for (const auto& [Name, Value] : {std::pair{"EditRows", Rows}, std::pair{"EditCols", Cols}})
                if (auto* Edit = Dialog->findChild<QLineEdit*>(Name)) Edit->setText(QString::number(Value));
            if (auto* Box = Dialog->findChild<QDialogButtonBox*>())
                QTest::mouseClick(Box->button(QDialogButtonBox::Ok), Qt::LeftButton);
        });
        QMenu* Menu = H.OpenMenu(H.F().MenuTables);
        if (!H.F().MenuInsertTable->isEnabled()) {
            QTest::keyClick(Menu, Qt::Key_Escape);
            WaitFor([&] { return !Menu->isVisible(); });
            E.Unchanged = true;
            Expecting = false;
            return "Tables > Insert Table (off)";
        }
        H.Choose(Menu, H.F().MenuInsertTable);
        WaitFor([&] { return Answer.Seen; }, 2000);
        Expecting = false;
        E.KeepsChars = E.KeepsLinks = true;
        return "Tables > Insert Table " + std::to_string(Rows) + "x" + std::to_string(Cols);
    }

    std::string UndoRedo(TExpect& E, int Towards)
    {
        E.Model = true;
        E.Towards = Towards;
        if (Chance(30)) {
            H.Click(Towards < 0 ? H.F().BtnUndo : H.F().BtnRedo);
            return Towards < 0 ? "Undo button" : "Redo button";
        }
        Key(Qt::Key_Z, Towards < 0 ? Qt::ControlModifier : Qt::ControlModifier | Qt::ShiftModifier);
        return Towards < 0 ? "Ctrl+Z" : "Ctrl+Shift+Z";
    }

    // An edit in the HTML Code view: words typed into the text of an element, or a few
    // characters of a text taken out.
    std::string CodeEdit(TExpect& E)
    {
        H.Tab(CodeTab);
        QsciScintilla* Code = W.SourceEditor;
        const QString Source = Code->text();
        // places in the body's text: before an end tag, right after a blank
        static const QRegularExpression Place(R"([^\s<>&;](?=</(p|li|td|dt|dd|h\d|a|b|em|i|span|pre)>)|(?<=>)[A-Za-z]{4})");
        const qsizetype BodyAt = Source.indexOf("<body");
        std::vector<qsizetype> Places;
        for (const QRegularExpressionMatch& M : Place.globalMatch(Source, std::max<qsizetype>(0, BodyAt)))
            Places.push_back(M.capturedStart() + (M.captured(0).size() == 1 ? 1 : 0));
        std::string Text;
        if (Places.empty()) {
            Text = "HTML Code view (nothing to edit)";
        } else {
            const qsizetype Pos = Places[Pick(int(Places.size()))];
            Code->SendScintilla(QsciScintilla::SCI_GOTOPOS, long(Source.left(Pos).toUtf8().size()));
            const QString Around = Source.mid(Pos - 8, 16).simplified();
            if (Source[Pos].isLetter() && Chance(40)) {
                for (int K = 0; K < 3; ++K) QTest::keyClick(Code, Qt::Key_Right, Qt::ShiftModifier);
                QTest::keyClick(Code, Qt::Key_Delete);
                Text = "HTML Code view: delete 3 at '" + Around.toStdString() + "'";
            } else {
                QTest::keyClicks(Code, " codeword");
                Text = "HTML Code view: type ' codeword' at '" + Around.toStdString() + "'";
                E.KeepsChars = E.Always = true;
                E.Adds = "codeword";
            }
        }
        H.Tab(DesignerTab);
        return Text;
    }

    // ------------------------------------------------------------ checks over many steps

    // The selection as a path from the body, put back after an Undo and a Redo of a check.
    QString SaveSelection()
    {
        return PageEval(H.D(), R"JS((function () {
const s = getSelection();
if (!s.rangeCount) return '';
const path = (n) => { const p = []; for (; n && n !== document.body; n = n.parentNode)
    p.unshift([...n.parentNode.childNodes].indexOf(n)); return p; };
const r = s.getRangeAt(0);
return JSON.stringify([path(r.startContainer), r.startOffset, path(r.endContainer), r.endOffset]);
})())JS").toString();
    }
    void RestoreSelection(const QString& Saved)
    {
        if (Saved.isEmpty()) return;
        const QString Err = PageEval(H.D(), "(function (a) { try {"
                        " const node = p => p.reduce((n, k) => n.childNodes[k], document.body);"
                        " const r = document.createRange(); r.setStart(node(a[0]), a[1]); r.setEnd(node(a[2]), a[3]);"
                        " const s = getSelection(); s.removeAllRanges(); s.addRange(r); return ''; } catch (e) { return String(e); } })(" +
                            Saved + ")").toString();
        if (!Err.isEmpty()) std::cout << "selection not put back: " << Err.toStdString() << "\n";
    }

    // All steps taken back and given again, one at a time: each gives the page the history has.
    void UndoAndRedoAll()
    {
        if (At == 0) return;
        Focus();
        const QString Selection = SaveSelection();
        const size_t Top = At;
        Steps.push_back("(all undone and redone)");
        bool Good = true;
        for (size_t K = Top; K > 0 && Good; --K) {
            Key(Qt::Key_Z, Qt::ControlModifier);
            const QString Now = Survey(H).Html;
            if (Now != History[K - 1]) {
                Fault("undo/Undo of every step does not give back each page before", "at step " + std::to_string(K) + " of " +
                      std::to_string(Top), History[K - 1], Now);
                Good = false;
            }
        }
        for (size_t K = 1; K <= Top && Good; ++K) {
            Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
            const QString Now = Survey(H).Html;
            if (Now != History[K]) {
                Fault("redo/Redo of every step does not give back each page after", "at step " + std::to_string(K) + " of " +
                      std::to_string(Top), History[K], Now);
                Good = false;
            }
        }
        if (!Good) {
            Steps.push_back("(the page opened again)");
            return Open();
        }
        Steps.pop_back();
        RestoreSelection(Selection);
    }

    // Saved and opened again, the page shows the same text and the same elements.
    void SaveAndOpenAgain()
    {
        Focus();
        const TSurvey Before = Survey(H);
        Key(Qt::Key_S, Qt::ControlModifier);
        if (!WaitFor([&] { return !W.FileManager->Modified(); })) ADD_FAILURE() << "not saved";
        Steps.push_back("(saved and opened again)");
        Open();
        const TSurvey After = Survey(H);
        if (Words(After.Text) != Words(Before.Text))
            Fault("save/the page opened again shows other text", "markup\n" + Difference(Before.Html, After.Html), Before.Text,
                  After.Text);
        if (After.Tags != Before.Tags)
            Fault("save/the page opened again has other elements",
                  "elements\n" + Difference(Before.Tags, After.Tags),
                  Before.Html, After.Html);
    }
};

// ---------------------------------------------------------------- the runs

std::vector<uint32_t> Seeds()
{
    std::vector<uint32_t> Out;
    const QString Spec = qEnvironmentVariable("ZV_RANDOM_SEEDS", "1");
    for (const QString& Part : Spec.split(',', Qt::SkipEmptyParts)) {
        const QStringList Ends = Part.split('-');
        const uint32_t From = Ends[0].trimmed().toUInt(), To = Ends.size() > 1 ? Ends[1].trimmed().toUInt() : From;
        for (uint32_t S = From; S <= To; ++S) Out.push_back(S);
    }
    return Out;
}

void RunPage(int K)
{
    const int Actions = qEnvironmentVariableIsSet("ZV_RANDOM_ACTIONS") ? qEnvironmentVariableIntValue("ZV_RANDOM_ACTIONS") : 110;
    TempDir Config, Docs;
    TMainWindowHost H(Config.Path);
    TReport Report;
    QElapsedTimer Clock;
    Clock.start();
    for (uint32_t Seed : Seeds()) TRandomEditor(H, Docs, Page(K), Seed, Report).Run(Actions);
    H.Ui.SaveAnswers.push_back(TSaveAnswer::No);
    const auto Distinct = Report.Distinct();
    std::ostringstream Summary;
    Summary << "random editing: page " << Page(K).Name << ": " << Report.Actions << " actions in " << Clock.elapsed() / 1000.0
            << " s, " << Report.Faults.size() << " faults, " << Distinct.size() << " distinct\n";
    for (const TFault* F : Distinct) Summary << "  " << F->Class << " after " << F->Action << "\n";
    std::cout << Summary.str();
    if (const QString Path = qEnvironmentVariable("ZV_RANDOM_REPORT"); !Path.isEmpty()) {
        std::ofstream Out(Path.toStdString(), std::ios::app);
        Out << Summary.str();
        for (const TFault* F : Distinct) Out << F->Text << "\n";
    }
    for (const TFault& F : Report.Faults) ADD_FAILURE() << F.Text.substr(0, F.Text.find("\n  steps"));
}

}  // namespace

TEST(RandomEditing, ManualPageWithTablesAndCode) { RunPage(0); }
TEST(RandomEditing, DefinitionLists) { RunPage(1); }
TEST(RandomEditing, NestedListsWithParagraphs) { RunPage(2); }
TEST(RandomEditing, LinksAndNamedAnchors) { RunPage(3); }
TEST(RandomEditing, FormsAndUnknownElements) { RunPage(4); }
