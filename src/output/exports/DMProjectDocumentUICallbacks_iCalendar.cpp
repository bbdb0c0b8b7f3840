// DMProjectDocumentUICallbacks: the iCalendar exports.
#include "DMProjectDocumentUICallbacks.h"

#include "DMDictionaryAccess.h"
#include "DMLocalizedString.h"
#include "DMProject.h"
#include "DMProjectDocumentUICallbacksHost.h"
#include "DMProjectEvent.h"
#include "DMProjectEventContainer.h"
#include "DMProjectItemTree.h"
#include "DMProjectKeys.h"
#include "DMProjectResource.h"
#include "DMProjectTask.h"
#include "DMProjectTodo.h"
#include "DMProjectTodoContainer.h"
#include "DMSaveFile.h"
#include "DMStringAdditions.h"
#include "DMiCalendarWriter.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

// A UID of this project's object alone, the same in every export of it: the kind and object
// ID, the project's identifier and a domain part, as the format recommends.
QString uidText(const DMProject &project, const char *kind, quint64 objectID)
{
    return QStringLiteral("HALCYRA-%1-OBJECTID-%2-%3@halcyra.invalid")
        .arg(QLatin1String(kind), QString::number(objectID, 16), project.identifier());
}

// The attendees (people with an address to invite) and the other resources of a task or
// milestone; a person without a usable address is listed by name among the resources.
void writeResources(const DMProjectTask &task, DMiCalendarWriter &writer)
{
    QStringList others;
    for (const auto &resource : task.concernedResources()) {
        const QString name = resource->name();
        const QString email = stringForKey(resource->attributes(), kDMProjectResource_Email);
        const bool human = resource->attributes().value(kDMProjectResource_Human, true).toBool();
        if (human && DMiCalendar_isMailAddress(email)) {
            const QString commonName =
                name.isEmpty() ? QStringLiteral("HALCYRA-RESOURCE-%1").arg(QString::number(resource->objectID(), 16)) : name;
            writer.setATTENDEE_commonNameEmail(commonName, email);
        } else if (human && !name.isEmpty()) {
            others.append(name);
        } else if (!name.isEmpty()) {
            others.append(email.isEmpty() ? name : QStringLiteral("%1 (%2)").arg(name, email));
        }
    }
    if (!others.isEmpty())
        writer.setRESOURCES(others);
}

} // namespace

void DMProjectDocumentUICallbacks::_exportToICalendar_itemsICalendarWriter(const ItemList &items, DMiCalendarWriter &writer,
                                                                         const QDateTime &stamp) const
{
    const std::shared_ptr<DMProject> projectPointer = m_host->project();
    if (!projectPointer)
        return;
    DMProjectItem_forEachItem(items, [&](const DMProjectItem &item) {
        const std::uint32_t kind = item.kind();
        const bool milestone = kind == kDMProjectItem_Kind_Milestone;
        const char *uidKind = kind == kDMProjectItem_Kind_Task ? "TASK" : kind == kDMProjectItem_Kind_Event ? "EVENT" : milestone ? "MILESTONE" : nullptr;
        if (!uidKind)
            return;
        const QString component = milestone ? QStringLiteral("VTODO") : QStringLiteral("VEVENT");
        writer.beginNode(component);
        writer.setDTSTAMP(stamp);
        // A milestone is a to-do due at its moment, with no start: the format wants a due date
        // after the start, and a milestone has no length.
        if (milestone) {
            writer.setDUE(item.beginDate());
        } else {
            writer.setDTSTART(item.beginDate());
            writer.setDTEND(item.endDate());
        }
        writer.setSUMMARY(item.title());
        if (item.attributes().contains(kDMProjectItem_Notes))
            writer.setDESCRIPTION(stringForKey(item.attributes(), kDMProjectItem_Notes));
        if (kind != kDMProjectItem_Kind_Event)
            writeResources(static_cast<const DMProjectTask &>(item), writer);
        writer.setSTATUS(milestone ? QStringLiteral("NEEDS-ACTION") : QStringLiteral("CONFIRMED"));
        writer.setUID(uidText(*projectPointer, uidKind, item.objectID()));
        writer.endNode(component);
    });
}

void DMProjectDocumentUICallbacks::writeICalendar(DMiCalendarWriter &writer, const ItemList *items) const
{
    const std::shared_ptr<DMProject> project = m_host->project();
    if (!project)
        return;
    const QDateTime stamp = QDateTime::currentDateTimeUtc();
    writer.beginNode(QStringLiteral("VCALENDAR"));
    writer.setVERSION(QStringLiteral("2.0"));
    writer.setPRODID_CompanyProduct(QStringLiteral("qelm"), QStringLiteral("Halcyra2"));
    for (const auto &todo : project->todoContainer()->todos()) {
        // A category separator heads a part of the list; it is no to-do of its own.
        if (todo->isSeparator())
            continue;
        writer.beginNode(QStringLiteral("VTODO"));
        writer.setDTSTAMP(stamp);
        if (!todo->noDueDate())
            writer.setDUE(todo->date());
        writer.setSUMMARY(todo->text());
        writer.setSTATUS(todo->done() ? QStringLiteral("COMPLETED") : QStringLiteral("NEEDS-ACTION"));
        writer.setUID(uidText(*project, "TODO", todo->objectID()));
        writer.endNode(QStringLiteral("VTODO"));
    }
    if (items) {
        _exportToICalendar_itemsICalendarWriter(*items, writer, stamp);
    } else {
        QList<std::shared_ptr<DMProjectItem>> events;
        for (const auto &event : project->eventContainer()->events())
            events.append(event);
        _exportToICalendar_itemsICalendarWriter(events, writer, stamp);
        _exportToICalendar_itemsICalendarWriter(project->tasks().list(), writer, stamp);
    }
    writer.endNode(QStringLiteral("VCALENDAR"));
}

bool DMProjectDocumentUICallbacks::writeICalendarFile(const QString &path, const ItemList *items, QString *error) const
{
    return DMSaveFile_write(path, [&](QIODevice &file) {
        DMiCalendarWriter writer(&file);
        writeICalendar(writer, items);
        return !writer.hasWriteError();
    }, error);
}

void DMProjectDocumentUICallbacks::exportToICalendar()
{
    exportToFile(savePanel(DMLocalizedString("Export to iCalendar"), {QStringLiteral("ics")}),
                 DMLocalizedString("The calendar \"%1\" could not be written."),
                 [this](const QString &path, QString *error) { return writeICalendarFile(path, nullptr, error); });
}

void DMProjectDocumentUICallbacks::exportSelectedItemToICal()
{
    const std::shared_ptr<DMProject> project = m_host->project();
    if (!project)
        return;
    if (!m_temporaryFolder)
        m_temporaryFolder = std::make_unique<QTemporaryDir>(QDir(QDir::tempPath()).filePath(QStringLiteral("halcyra-ical-XXXXXX")));
    const QString name = fileNameForTitle(project->nameForExportedFiles(), QStringLiteral("Halcyra"), QStringLiteral("ics"));
    const QString path = m_temporaryFolder->isValid() ? m_temporaryFolder->filePath(name) : QString();
    const ItemList items = m_host->selectedCanvasItems();
    QString error;
    if (path.isEmpty() || !writeICalendarFile(path, &items, &error)) {
        DMModalUI::instance().presentError(DMLocalizedString("The calendar of the selected items could not be written."),
                                           path.isEmpty() ? m_temporaryFolder->errorString() : error,
                                           m_host->windowForSheet(), DMLocalizedString("Export"));
        return;
    }
    m_host->openFileWithDefaultApplication(path);
}
