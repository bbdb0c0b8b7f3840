#pragma once

#include "DMFormatter.h"
#include "DMNotificationCenter.h"

#include <QLineEdit>

// Posted when the formatter of a kind of value is replaced (the project's currency changed), with
// the old formatter as the object and the user info {"new formatter", "old formatter"}, both
// std::shared_ptr<DMFormatter>.
extern const QString kDMTextField_UpdateFormatter_Notification;

// A text field that shows its object value through a formatter, and takes the new formatter when
// one is announced for its current one, showing the same value in the new format.
class DMTextField : public QLineEdit
{
    Q_OBJECT

public:
    explicit DMTextField(QWidget *parent = nullptr);

    std::shared_ptr<DMFormatter> formatter() const { return m_formatter; }
    // Takes effect with the next value set or typed.
    void setFormatter(std::shared_ptr<DMFormatter> formatter) { m_formatter = std::move(formatter); }

    // The value shown: the last one set, or the last text typed that the formatter reads (the
    // text itself without a formatter).
    QVariant objectValue() const { return m_objectValue; }
    void setObjectValue(const QVariant &value);

private:
    void onTextEdited(const QString &text);
    void updateFormatter(const DMNotification &notification);

    std::shared_ptr<DMFormatter> m_formatter;
    QVariant m_objectValue;
    DMNotificationObserver m_observer;
};

// The announced formatter that replaces `current`, or null when the notification is about another
// formatter or carries no new one.
std::shared_ptr<DMFormatter> DMTextFieldReplacementFormatter(const DMNotification &notification,
                                                             const DMFormatter *current);
