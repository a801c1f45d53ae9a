#pragma once
// The design view's find dialog: the text to look for, whether case matters, and Find Next,
// which may be pressed again and again while the dialog stays open.

#include <QDialog>
#include <functional>
#include <memory>

namespace Ui {
class FormFind;
}

namespace zv {

class TFormFind : public QDialog {
    Q_OBJECT

public:
    explicit TFormFind(QWidget* Parent = nullptr);
    ~TFormFind() override;

    // Looks for the next match; false when there is none.
    std::function<bool(const QString& Text, bool MatchCase)> OnFindNext;

    QString FindText() const;
    void SetFindText(const QString& Text);
    bool MatchCase() const;
    void SetMatchCase(bool Value);
    // What the last search said ("Cannot find ..."), empty after a match.
    QString Status() const;

    // Shows the dialog without blocking, with the text selected for typing over.
    void Execute();
    // Runs OnFindNext with the fields; false when nothing was found.
    bool FindNext();

private:
    std::unique_ptr<Ui::FormFind> Form;
};

}  // namespace zv
