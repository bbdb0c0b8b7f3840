#pragma once

#include <QCoreApplication>
#include <QString>

// Localized text: the English text is its own key.
inline QString DMLocalizedString(const char *text)
{
    return QCoreApplication::translate("Halcyra", text);
}
inline QString DMLocalizedString(const QString &text)
{
    return QCoreApplication::translate("Halcyra", text.toUtf8().constData());
}
