#include "DMImportReport.h"

#include "DMLocalizedString.h"

#include <QDebug>

void DMImportReport::log(const QString &line)
{
    qWarning().noquote() << line;
    m_lines.append(line);
}

void DMImportReport::skip(const QString &line, const QString &item)
{
    ++m_skipped;
    log(line);
    listItem(item);
}

void DMImportReport::repair(const QString &line, const QString &item)
{
    ++m_repaired;
    log(line);
    listItem(item);
}

void DMImportReport::listItem(const QString &item)
{
    if (!item.isEmpty())
        m_items.append(item);
}

void DMImportReport::note(const QString &line)
{
    m_notes.append(line);
    log(line);
}

void DMImportReport::fail(const QString &reason)
{
    if (m_failure.isEmpty())
        m_failure = reason;
    log(reason);
}

QString DMImportReport::userSummary() const
{
    QStringList sentences;
    if (m_repaired != 0 || m_skipped != 0)
        sentences.append(DMLocalizedString("Items repaired: %1. Items skipped: %2.").arg(m_repaired).arg(m_skipped));
    sentences.append(m_items.mid(0, kListedItems));
    if (m_items.size() > kListedItems)
        sentences.append(DMLocalizedString("… and %1 more.").arg(m_items.size() - kListedItems));
    sentences.append(m_notes);
    return sentences.join(QLatin1Char('\n'));
}
