#pragma once
// The date and time tool: inserts the chosen moment as text, in a format of the user's choice.

#include <QDateTime>
#include <QLocale>
#include "ToolItem.h"

namespace Ui {
class FormToolDate;
}

namespace zv {

// Moment written by Format: d dd ddd dddd, m mm mmm mmmm, yy yyyy, h hh (12 hours with AM/PM),
// n nn, s ss, AM/PM; "/" and ":" the locale's separators; other characters as they stand. An
// empty format gives the locale's short date, a blank and its long time.
QString FormatDateTime(const QString& Format, const QDateTime& Moment, const QLocale& Locale = QLocale());

class TFormToolDate : public TFormTool<Ui::FormToolDate> {
    Q_OBJECT
public:
    explicit TFormToolDate(QWidget* Parent = nullptr);
    ~TFormToolDate() override;

    void FormShow() override;
    // The sample as text of the page.
    void GetHTML(WideString& S) override;
    // The sample anew from the formats and the pickers.
    void UpdateSample();
};

class TToolDate : public TToolItem {
public:
    TToolDate() : TToolItem("", "Insert Date and Time", 6, false, false) {}
    std::unique_ptr<TTagEditor> NewEditor() override { return std::make_unique<TFormToolDate>(); }
};

}  // namespace zv
