#pragma once

#include "DMDate.h"

#include <QByteArray>
#include <QString>

class DMImportReport;
class DMProject;
class DMProjectItem;

// MS Project XML (the published XML interchange format of MS Project): the import into a fresh
// project, and the export of a project. Class operations only.
class DMMSProjectXMLConverter
{
public:
    DMMSProjectXMLConverter() = delete;

    // importMSProjectXMLDocumentAtPath:inProject: fills the fresh project from the file: title
    // and dates, working week, working day and days off, resources, the item tree with milestones
    // and processes, assignments and links. False, with the reason in the report, when the file
    // is not an MS Project XML document; the project may then hold part of the content and is
    // to be discarded. Elements that cannot be used are skipped with a counted line in the report.
    static bool importMSProjectXMLDocumentAtPathInProject(const QString &path, DMProject &project,
                                                          DMImportReport *report = nullptr);
    // The same from the bytes of such a file.
    static bool importMSProjectXMLDataInProject(const QByteArray &data, DMProject &project,
                                                DMImportReport *report = nullptr);

    // exportProject:toURL:error: writes the project as an MS Project XML file, in one piece: the
    // text goes to a file beside the target, which then replaces it. False with *error set when
    // the file could not be written; the target is then unchanged.
    static bool exportProjectToURLError(const DMProject &project, const QString &path, QString *error);
    // The text that the export writes, as UTF-8.
    static QByteArray MSProjectXMLDataForProject(const DMProject &project);

    // The earliest begin date and the latest end date of the item and its subitems at any depth.
    static DMDate earliestDate(const DMProjectItem &item);
    static DMDate laterDate(const DMProjectItem &item);
};
