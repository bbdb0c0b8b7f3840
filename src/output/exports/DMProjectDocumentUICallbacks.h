#pragma once

#include "DMModalUI.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QTemporaryDir;
class DMiCalendarWriter;
class DMProjectDocumentUICallbacksHost;
class DMProjectItem;

// The document's commands that write the project to other formats or read a to-do list into
// it: CSV, iCalendar (the whole project, or the selected items opened in the calendar
// application), MS Project XML, and the to-do-list package and its import. Each asks for its file
// through DMModalUI and does its work at once. A file is written beside its place and renamed
// into it, so a failure leaves the chosen path as it was; every failure is reported to the user.
//
// Owned by the document, which it reaches through its host (not owned; the document outlives it).
class DMProjectDocumentUICallbacks
{
public:
    using ItemList = QList<std::shared_ptr<DMProjectItem>>;

    explicit DMProjectDocumentUICallbacks(DMProjectDocumentUICallbacksHost *host);
    ~DMProjectDocumentUICallbacks();

    void exportToCSV();
    void exportToICalendar();
    void exportSelectedItemToICal();
    void exportToMSProjectXML();
    void exportToFerrix();
    void importFromFerrix();

    // The CSV text of the project: the task block and the resource block with their headers.
    QString csvText() const;
    // A whole calendar: the to-dos, then the items of the list and their subitems (the events
    // and the tasks of the project when none are given).
    void writeICalendar(DMiCalendarWriter &writer, const ItemList *items = nullptr) const;
    // The components of the tasks, milestones and events among the items and their subitems,
    // stamped with the given instant. Processes and groups write no component of their own.
    void _exportToICalendar_itemsICalendarWriter(const ItemList &items, DMiCalendarWriter &writer,
                                                 const QDateTime &stamp) const;

private:
    // Asks for a file to save with the panel (its name proposed from the project's title, the
    // first allowed extension added when missing) and writes it; a failure is reported under the
    // message, whose %1 is the file's name.
    void exportToFile(DMModalUI::FilePanel panel, const QString &failureMessage,
                      const std::function<bool(const QString &path, QString *error)> &write) const;
    static DMModalUI::FilePanel savePanel(const QString &title, const QStringList &extensions);
    bool writeICalendarFile(const QString &path, const ItemList *items, QString *error) const;

    DMProjectDocumentUICallbacksHost *m_host;
    // The folder of the selected-items calendar, removed with this object.
    std::unique_ptr<QTemporaryDir> m_temporaryFolder;
};
