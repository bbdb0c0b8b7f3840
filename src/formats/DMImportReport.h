#pragma once

#include <QString>
#include <QStringList>

// What one import had to say: the lines it logged, how many items it repaired or skipped, and,
// when the file could not be used at all, why. Importers fill it; the document tells the user.
class DMImportReport
{
public:
    // A plain line for the log (also kept in lines()).
    void log(const QString &line);
    // An item or element that was left out, or changed to make it usable: logged and counted.
    void skip(const QString &line);
    void repair(const QString &line);
    // The reason the file could not be imported; the first one given is kept.
    void fail(const QString &reason);

    int skippedCount() const { return m_skipped; }
    int repairedCount() const { return m_repaired; }
    bool hasFailed() const { return !m_failure.isEmpty(); }
    QString failureReason() const { return m_failure; }
    const QStringList &lines() const { return m_lines; }

    // One sentence for the user about the repaired and skipped items; empty when there were none.
    QString userSummary() const;

private:
    QStringList m_lines;
    QString m_failure;
    int m_skipped = 0;
    int m_repaired = 0;
};
