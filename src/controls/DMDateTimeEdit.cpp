#include "DMDateTimeEdit.h"

#include "DMBeep.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpression>

namespace {

// Years are read with four digits: "yy" alone would read 27 as 1927.
QString withFullYear(QString format)
{
    if (!format.contains(QLatin1String("yyyy")))
        format.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    return format;
}

// The format, then the same with one digit allowed where it asks for two ("4/1/2027 9:00").
void appendOnce(QStringList &formats, const QString &format)
{
    static const QRegularExpression twoDigits(QStringLiteral("(?<![dMHh])([dMHh])\\1(?![dMHh])"));
    QString loose = format;
    loose.replace(twoDigits, QStringLiteral("\\1"));
    for (const QString &added : {format, loose})
        if (!added.isEmpty() && !formats.contains(added))
            formats.append(added);
}

// The calendar-date formats a user of the locale writes: its own, without the week day, and
// with the month's name written short or long.
QStringList dateFormatsOf(const QLocale &locale)
{
    static const QRegularExpression weekDay(QStringLiteral("d{3,4}[,.]?\\s*"));
    QStringList formats;
    for (const QLocale::FormatType type : {QLocale::ShortFormat, QLocale::LongFormat, QLocale::NarrowFormat}) {
        const QString format = withFullYear(locale.dateFormat(type));
        QString withoutWeekDay = format;
        withoutWeekDay.remove(weekDay);
        withoutWeekDay = withoutWeekDay.trimmed();
        for (const QString &dated : {format, withoutWeekDay}) {
            appendOnce(formats, dated);
            if (dated.contains(QLatin1String("MMMM")))
                appendOnce(formats, QString(dated).replace(QLatin1String("MMMM"), QLatin1String("MMM")));
            else if (dated.contains(QLatin1String("MMM")))
                appendOnce(formats, QString(dated).replace(QLatin1String("MMM"), QLatin1String("MMMM")));
        }
    }
    appendOnce(formats, QStringLiteral("yyyy-MM-dd"));
    return formats;
}

// The time-of-day formats of the locale, with and without seconds.
QStringList timeFormatsOf(const QLocale &locale)
{
    static const QRegularExpression seconds(QStringLiteral("[:.]?ss"));
    QStringList formats;
    for (const QLocale::FormatType type : {QLocale::ShortFormat, QLocale::LongFormat, QLocale::NarrowFormat}) {
        // A time zone is not typed into a planner's dates.
        QString format = locale.timeFormat(type).remove(QLatin1Char('t')).trimmed();
        appendOnce(formats, format);
        appendOnce(formats, format.remove(seconds).trimmed());
    }
    return formats;
}

bool typesText(const QKeyEvent *event)
{
    return !event->text().isEmpty() && event->text().at(0).isPrint()
        && !(event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier));
}

} // namespace

DMDateTimeEdit::DMDateTimeEdit(QWidget *parent) : QDateTimeEdit(parent) {}

QDateTime DMDateTimeEdit::dateTimeFromTypedText(const QString &text, const QLocale &locale, const QString &displayFormat,
                                                QTime timeOfDay)
{
    const QString typed = text.simplified();
    if (typed.isEmpty())
        return {};
    // The format shown comes first: it is the one the user sees.
    QStringList formats;
    appendOnce(formats, withFullYear(displayFormat));
    const QStringList dates = dateFormatsOf(locale);
    const QStringList times = timeFormatsOf(locale);
    for (const QString &date : dates)
        for (const QString &time : times)
            appendOnce(formats, date + QLatin1Char(' ') + time);
    for (const QString &format : std::as_const(formats)) {
        const QDateTime read = locale.toDateTime(typed, format);
        if (read.isValid())
            return read;
    }
    for (const QString &format : dates) {
        const QDate read = locale.toDate(typed, format);
        if (read.isValid())
            return QDateTime(read, timeOfDay.isValid() ? timeOfDay : QTime(0, 0));
    }
    return {};
}

QValidator::State DMDateTimeEdit::validate(QString &input, int &pos) const
{
    // Text being typed is read once, when the typing ends.
    return m_typingWholeDate ? QValidator::Intermediate : QDateTimeEdit::validate(input, pos);
}

void DMDateTimeEdit::stepBy(int steps)
{
    finishTypingWholeDate();
    QDateTimeEdit::stepBy(steps);
}

void DMDateTimeEdit::beginTypingWholeDate()
{
    m_typingWholeDate = true;
    m_dateBeforeTyping = dateTime();
    // The picker's sections must not see the text while it is typed: they would read every key
    // into a section of the date shown, and make another date of it.
    lineEdit()->blockSignals(true);
}

void DMDateTimeEdit::finishTypingWholeDate()
{
    if (!m_typingWholeDate)
        return;
    m_typingWholeDate = false;
    const QDateTime read = dateTimeFromTypedText(lineEdit()->text(), locale(), displayFormat(), m_dateBeforeTyping.time());
    lineEdit()->blockSignals(false);
    const bool accepted = read.isValid() && read >= minimumDateTime() && read <= maximumDateTime();
    if (!accepted)
        DMBeep();
    // Setting the date also shows it in the picker's own format again.
    setDateTime(accepted ? read : m_dateBeforeTyping);
}

void DMDateTimeEdit::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape)
        finishTypingWholeDate();
    QLineEdit *text = lineEdit();
    const bool replacesAll = !text->text().isEmpty() && text->selectedText() == text->text();
    if (!m_typingWholeDate && replacesAll && (typesText(event) || event->matches(QKeySequence::Paste)))
        beginTypingWholeDate();
    // While a whole date is typed the keys edit plain text; stepping reads it first (stepBy).
    if (!m_typingWholeDate || key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp
        || key == Qt::Key_PageDown) {
        QDateTimeEdit::keyPressEvent(event);
        return;
    }
    // Straight to the text field: an event it ignores must not come back up to the picker.
    text->event(event);
}

void DMDateTimeEdit::focusOutEvent(QFocusEvent *event)
{
    finishTypingWholeDate();
    QDateTimeEdit::focusOutEvent(event);
}
