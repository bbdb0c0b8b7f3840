#include "DMWidgetAdditions.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QLabel>
#include <QLineEdit>

namespace {

QString textOrEmpty(const QString &text)
{
    return text.isNull() ? QStringLiteral("") : text;
}

} // namespace

void setStringValueIfNotNil(QLineEdit *control, const QString &text)
{
    if (control)
        control->setText(textOrEmpty(text));
}

void setStringValueIfNotNil(QLabel *control, const QString &text)
{
    if (control)
        control->setText(textOrEmpty(text));
}

void setStringValueIfNotNil(QAbstractButton *control, const QString &text)
{
    if (control)
        control->setText(textOrEmpty(text));
}

QAbstractScrollArea *containerScrollView(const QWidget *widget)
{
    for (QWidget *parent = widget ? widget->parentWidget() : nullptr; parent; parent = parent->parentWidget()) {
        if (auto *scrollArea = qobject_cast<QAbstractScrollArea *>(parent))
            return scrollArea;
    }
    return nullptr;
}
