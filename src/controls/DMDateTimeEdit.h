#pragma once

#include <QDateTimeEdit>

class QFocusEvent;
class QKeyEvent;

// A date and time picker into which a whole date can also be typed: typing over its whole
// selected text types plain text, which is read when the typing ends (Return, Enter, Escape, a
// step or the focus leaving) in the user's date formats, or refused with a beep, the picker then
// holding the date it held before. Typing into one section edits that section as usual.
class DMDateTimeEdit : public QDateTimeEdit
{
    Q_OBJECT

public:
    explicit DMDateTimeEdit(QWidget *parent = nullptr);

    // The date that a whole date typed as text names, read in the display format and the
    // locale's formats (long, short and narrow, without the week day, the month's name short or
    // long, the time with or without seconds, years of four digits); a date without a time of
    // day takes the one given. Invalid when the text names no date in any of them.
    static QDateTime dateTimeFromTypedText(const QString &text, const QLocale &locale, const QString &displayFormat,
                                           QTime timeOfDay);
    // True while a whole date is being typed as text.
    bool isTypingWholeDate() const { return m_typingWholeDate; }

    void stepBy(int steps) override;

protected:
    QValidator::State validate(QString &input, int &pos) const override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    // Reads the text typed, if any; the picker then shows a date in its own format again.
    void finishTypingWholeDate();

private:
    void beginTypingWholeDate();

    bool m_typingWholeDate = false;
    QDateTime m_dateBeforeTyping;
};
