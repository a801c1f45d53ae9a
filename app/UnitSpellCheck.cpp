#include "UnitSpellCheck.h"

#include <QMessageBox>

#include "DataFiles.h"
#include "Exceptions.h"
#include "ScreenPlaces.h"
#include "SpellCheckers.h"
#include "ui_UnitSpellCheck.h"

namespace zv {

TFormSpellCheck::TFormSpellCheck(QWidget* Parent)
    : QDialog(Parent, Qt::Tool), Form(std::make_unique<Ui::FormSpellCheck>())
{
    Form->setupUi(this);
    connect(Form->ButtonCorrect, &QPushButton::clicked, this, &TFormSpellCheck::CorrectClick);
    connect(Form->ButtonIgnore, &QPushButton::clicked, this, &TFormSpellCheck::IgnoreClick);
    connect(Form->ButtonCancel, &QPushButton::clicked, this, &TFormSpellCheck::CancelClick);
    connect(Form->ListSuggestions, &QListWidget::currentTextChanged, this, [this](const QString& Text) {
        if (!Text.isEmpty())
            Form->EditSuggestion->setText(Text);
    });
}

TFormSpellCheck::~TFormSpellCheck() = default;

QPoint TFormSpellCheck::PromptPosition(const QRect& WordRect, const QSize& Prompt, const QRect& Area)
{
    const int wordBottom = WordRect.y() + WordRect.height();
    const int areaBottom = Area.y() + Area.height();
    const int top = areaBottom < Prompt.height() + wordBottom + 50 ? WordRect.y() - Prompt.height() - 8
                                                                   : wordBottom + 8;
    const int left = std::min(WordRect.x(), Area.x() + Area.width() - Prompt.width());
    return KeepInside(QRect(QPoint(left, top), Prompt), Area).topLeft();
}

namespace {

// A suggestion in the capitals of the word it replaces: "Recieve" gives "Receive", "RECIEVE"
// gives "RECEIVE". Capitals of the word list's own entries stay.
QString MatchCapitals(const QString& Suggestion, const QString& Word)
{
    const QString Letters = Word.trimmed();
    if (Letters.isEmpty() || !Letters[0].isUpper()) return Suggestion;
    if (Letters.size() > 1 && Letters == Letters.toUpper()) return Suggestion.toUpper();
    return Suggestion.left(1).toUpper() + Suggestion.mid(1);
}

}  // namespace

void TFormSpellCheck::Prepare(const WideString& Word, TSpellChecker& Checker)
{
    Form->EditFound->setText(QString::fromStdU16String(Word));
    Form->ListSuggestions->clear();
    Form->EditSuggestion->clear();
    Checker.Suggest(Utf16ToUtf8(Word));
    if (Checker.Suggestions.empty())
        return;
    QStringList words;
    words.reserve(static_cast<qsizetype>(Checker.Suggestions.size()));
    // each once: the list may hold a word in more than one case ("hiss", "Hiss"), which the
    // word's capitals make the same
    for (const auto& suggestion : Checker.Suggestions) {
        const QString word = MatchCapitals(QString::fromStdString(suggestion.Word), Form->EditFound->text());
        if (!words.contains(word))
            words.append(word);
    }
    Form->ListSuggestions->addItems(words);
    Form->EditSuggestion->setText(words.first());
}

void TFormSpellCheck::Execute(QWidget* View, const QRect& Rc, TSpellChecker& Checker, WideString& Word,
                              bool& WordCorrected, bool& CheckCanceled)
{
    const QRect word(View ? View->mapToGlobal(Rc.topLeft()) : Rc.topLeft(), Rc.size());
    const QRect area = ScreenAreaOf(word);
    if (!area.isEmpty()) {
        // an enlarged prompt taller or wider than the screen is cut to it
        const QSize frame = frameGeometry().size(), fits = frame.boundedTo(area.size());
        if (fits != frame)
            resize(size() - (frame - fits));
        move(PromptPosition(word, fits, area));
    }
    Prepare(Word, Checker);
    exec();
    CheckCanceled = Canceled;
    WordCorrected = Corrected;
    if (Corrected)
        Word = Utf8ToUtf16(Replacement);
}

void TFormSpellCheck::showEvent(QShowEvent* Event)
{
    // Closing the window by its close box cancels the check.
    Canceled = true;
    Corrected = false;
    QDialog::showEvent(Event);
}

void TFormSpellCheck::CorrectClick()
{
    Canceled = false;
    Corrected = true;
    Replacement = Form->EditSuggestion->text().toStdString();
    accept();
}

void TFormSpellCheck::IgnoreClick()
{
    Canceled = false;
    Corrected = false;
    accept();
}

void TFormSpellCheck::CancelClick()
{
    Canceled = true;
    reject();
}

bool LoadEnglishWordList(TSpellChecker& Checker, QWidget* Parent)
{
    const std::string name = "english.wrd";
    const std::string path = FindDataFile(name);
    QString problem;
    if (path.empty()) {
        problem = QStringLiteral("The word list \"%1\" was not found. It was looked for in:").arg(QString::fromStdString(name));
        for (const std::string& folder : DataFolders())
            problem += QLatin1Char('\n') + QString::fromStdString(folder);
    } else {
        try {
            Checker.LoadFromFile(path);
            return true;
        } catch (const Exception& error) {
            problem = QStringLiteral("The word list \"%1\" cannot be read: %2")
                          .arg(QString::fromStdString(path), QString::fromStdString(error.Message()));
        }
    }
    QMessageBox::critical(Parent, QStringLiteral("Error"), problem, QMessageBox::Ok);
    return false;
}

}  // namespace zv
