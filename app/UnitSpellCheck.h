#pragma once
// The spelling prompt: the wrong word, a replacement and the dictionary's suggestions.

#include <memory>
#include <string>

#include <QDialog>

#include "WideText.h"

namespace Ui {
class FormSpellCheck;
}

namespace zv {

class TSpellChecker;

class TFormSpellCheck : public QDialog {
    Q_OBJECT

public:
    explicit TFormSpellCheck(QWidget* Parent = nullptr);
    ~TFormSpellCheck() override;

    bool Canceled = false;
    bool Corrected = false;
    std::string Replacement;

    // Shows the prompt for Word, whose rectangle Rc is in View's coordinates (screen
    // coordinates when View is null), with Checker's suggestions. Corrected is set and Word
    // replaced when the user corrects it; Canceled when the whole check is to stop.
    void Execute(QWidget* View, const QRect& Rc, TSpellChecker& Checker, WideString& Word, bool& Corrected,
                 bool& Canceled);

    // Fills the fields for Word with Checker's suggestions for it.
    void Prepare(const WideString& Word, TSpellChecker& Checker);

    // Where the prompt of size Prompt goes for a word at WordRect (screen coordinates) whose
    // screen has the work area Area: below the word, or above it when there is no room below;
    // inside Area in any case.
    static QPoint PromptPosition(const QRect& WordRect, const QSize& Prompt, const QRect& Area);

protected:
    void showEvent(QShowEvent* Event) override;

private:
    void CorrectClick();
    void IgnoreClick();
    void CancelClick();

    std::unique_ptr<Ui::FormSpellCheck> Form;
};

// Loads "english.wrd" from the data folders into Checker. When it cannot be found or read the
// user is told in a message box over Parent and the answer is false.
bool LoadEnglishWordList(TSpellChecker& Checker, QWidget* Parent);

}  // namespace zv
