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
    // Something the user should know about how the file was read (a working day of several
    // working times made one window, tasks read off the working schedule): logged and told.
    void note(const QString &line);
    // The reason the file could not be imported; the first one given is kept.
    void fail(const QString &reason);

    int skippedCount() const { return m_skipped; }
    int repairedCount() const { return m_repaired; }
    bool hasFailed() const { return !m_failure.isEmpty(); }
    QString failureReason() const { return m_failure; }
    const QStringList &lines() const { return m_lines; }
    const QStringList &notes() const { return m_notes; }

    // For the user: a sentence on the repaired and skipped items, then the notes, one a line;
    // empty when there is nothing to tell.
    QString userSummary() const;

private:
    QStringList m_lines;
    QStringList m_notes;
    QString m_failure;
    int m_skipped = 0;
    int m_repaired = 0;
};
