#pragma once

#include <QString>
#include <QStringList>

// What one import had to say: the lines it logged, how many items it repaired or skipped and
// which, and, when the file could not be used at all, why. Importers fill it; the document
// tells the user.
class DMImportReport
{
public:
    // How many repaired or skipped items the user's summary lists; the log has them all.
    static constexpr int kListedItems = 10;

    // A plain line for the log (also kept in lines()).
    void log(const QString &line);
    // An item or element that was left out, or changed to make it usable: logged and counted.
    // `item` says it for the user (the item's name and what changed), and is listed in the
    // summary; without one the item is counted only.
    void skip(const QString &line, const QString &item = QString());
    void repair(const QString &line, const QString &item = QString());
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
    // The repaired and skipped items, as the user reads them, in the order met.
    const QStringList &items() const { return m_items; }
    const QStringList &notes() const { return m_notes; }

    // For the user: a sentence on the repaired and skipped items, the first kListedItems of
    // them one a line (and how many more), then the notes, one a line; empty when there is
    // nothing to tell.
    QString userSummary() const;

private:
    void listItem(const QString &item);

    QStringList m_lines;
    QStringList m_items;
    QStringList m_notes;
    QString m_failure;
    int m_skipped = 0;
    int m_repaired = 0;
};
