#include "ToolDate.h"

#include "HtmlEntities.h"
#include "ui_ToolDate.h"

namespace zv {

namespace {

// The first character of a locale format that is no letter: its separator.
QChar SeparatorOf(const QString& LocaleFormat, QChar Default)
{
    for (const QChar C : LocaleFormat)
        if (!C.isLetter() && C != '\'' && !C.isSpace()) return C;
    return Default;
}

QString TwoDigits(int Value) { return QString::number(Value).rightJustified(2, '0'); }

}  // namespace

QString FormatDateTime(const QString& Format, const QDateTime& Moment, const QLocale& Locale)
{
    const QDate Date = Moment.date();
    const QTime Time = Moment.time();
    if (Format.isEmpty()) {
        QString LongTime = Locale.timeFormat(QLocale::LongFormat);
        LongTime.remove('t');
        return Locale.toString(Date, QLocale::ShortFormat) + ' ' + Locale.toString(Time, LongTime.trimmed());
    }
    const QChar DateSeparator = SeparatorOf(Locale.dateFormat(QLocale::ShortFormat), '/');
    const QChar TimeSeparator = SeparatorOf(Locale.timeFormat(QLocale::ShortFormat), ':');
    const bool TwelveHours = Format.contains("AM/PM", Qt::CaseInsensitive);
    QString Out;
    for (qsizetype K = 0; K < Format.size();) {
        if (Format.mid(K, 5).compare("AM/PM", Qt::CaseInsensitive) == 0) {
            Out += Time.hour() < 12 ? "AM" : "PM";
            K += 5;
            continue;
        }
        const QChar C = Format[K].toLower();
        qsizetype Run = 1;
        while (K + Run < Format.size() && Format[K + Run].toLower() == C) ++Run;
        switch (C.unicode()) {
        case 'd':
            Out += Run == 1   ? QString::number(Date.day())
                   : Run == 2 ? TwoDigits(Date.day())
                              : Locale.dayName(Date.dayOfWeek(), Run == 3 ? QLocale::ShortFormat : QLocale::LongFormat);
            break;
        case 'm':
            Out += Run == 1   ? QString::number(Date.month())
                   : Run == 2 ? TwoDigits(Date.month())
                              : Locale.monthName(Date.month(), Run == 3 ? QLocale::ShortFormat : QLocale::LongFormat);
            break;
        case 'y':
            Out += Run <= 2 ? TwoDigits(Date.year() % 100) : QString::number(Date.year());
            break;
        case 'h': {
            int Hour = Time.hour();
            if (TwelveHours) Hour = Hour % 12 == 0 ? 12 : Hour % 12;
            Out += Run == 1 ? QString::number(Hour) : TwoDigits(Hour);
            break;
        }
        case 'n':
            Out += Run == 1 ? QString::number(Time.minute()) : TwoDigits(Time.minute());
            break;
        case 's':
            Out += Run == 1 ? QString::number(Time.second()) : TwoDigits(Time.second());
            break;
        case '/':
            Out += QString(Run, DateSeparator);
            break;
        case ':':
            Out += QString(Run, TimeSeparator);
            break;
        default:
            Out += Format.mid(K, Run);
        }
        K += Run;
    }
    return Out;
}

TFormToolDate::TFormToolDate(QWidget* Parent) : TFormTool(Parent)
{
    Form->ComboBox1->setCurrentText("mm/dd/yy");
    Form->ComboBox2->setCurrentText("hh:nn:ss AM/PM");
    connect(Form->ComboBox1, &QComboBox::editTextChanged, this, &TFormToolDate::UpdateSample);
    connect(Form->ComboBox2, &QComboBox::editTextChanged, this, &TFormToolDate::UpdateSample);
    connect(Form->DateTimePicker1, &QDateEdit::dateChanged, this, &TFormToolDate::UpdateSample);
    connect(Form->DateTimePicker2, &QTimeEdit::timeChanged, this, &TFormToolDate::UpdateSample);
}

TFormToolDate::~TFormToolDate() = default;

void TFormToolDate::FormShow()
{
    const QDateTime Now = QDateTime::currentDateTime();
    Form->DateTimePicker1->setDate(Now.date());
    Form->DateTimePicker2->setTime(Now.time());
    UpdateSample();
}

void TFormToolDate::UpdateSample()
{
    const QDateTime Moment(Form->DateTimePicker1->date(), Form->DateTimePicker2->time());
    const QString Format = (Form->ComboBox1->currentText() + ' ' + Form->ComboBox2->currentText()).trimmed();
    Form->EditSample->setText(FormatDateTime(Format, Moment));
}

void TFormToolDate::GetHTML(WideString& S) { S = EscapeHtmlText(ToWide(Form->EditSample->text())); }

}  // namespace zv
