#include "DMTextField.h"

const QString kDMTextField_UpdateFormatter_Notification = QStringLiteral("kDMTextField_UpdateFormatter_Notification");

std::shared_ptr<DMFormatter> DMTextFieldReplacementFormatter(const DMNotification &notification,
                                                             const DMFormatter *current)
{
    if (!current || notification.object != current)
        return nullptr;
    return notification.userInfo.value(QStringLiteral("new formatter")).value<std::shared_ptr<DMFormatter>>();
}

DMTextField::DMTextField(QWidget *parent)
    : QLineEdit(parent)
{
    connect(this, &QLineEdit::textEdited, this, &DMTextField::onTextEdited);
    m_observer = DMNotificationCenter::defaultCenter().addObserver(
        kDMTextField_UpdateFormatter_Notification, nullptr,
        [this](const DMNotification &notification) { updateFormatter(notification); });
}

void DMTextField::setObjectValue(const QVariant &value)
{
    m_objectValue = value;
    setText(m_formatter ? m_formatter->stringForObjectValue(value) : value.toString());
}

void DMTextField::onTextEdited(const QString &text)
{
    if (!m_formatter) {
        m_objectValue = text;
        return;
    }
    QVariant value;
    if (m_formatter->getObjectValueForString(&value, text))
        m_objectValue = value;
}

void DMTextField::updateFormatter(const DMNotification &notification)
{
    std::shared_ptr<DMFormatter> replacement = DMTextFieldReplacementFormatter(notification, m_formatter.get());
    if (!replacement)
        return;
    // The value itself is kept, never the text read back, so nothing of it (its sign, its
    // decimals) depends on how the old format shows it.
    const QVariant value = m_objectValue;
    m_formatter = std::move(replacement);
    setObjectValue(value);
}
