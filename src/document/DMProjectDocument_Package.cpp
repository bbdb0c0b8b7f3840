// DMProjectDocument: reading and writing its files.
#include "DMProjectDocument.h"

#include "DMAttachedDocuments.h"
#include "DMImportReport.h"
#include "DMLocalizedString.h"
#include "DMMSProjectXMLConverter.h"
#include "DMModalUI.h"
#include "DMProject.h"
#include "DMProjectCoder.h"
#include "DMProjectImporters.h"
#include "DMProjectItem.h"
#include "DMProjectKeys.h"
#include "DMProjectPackage.h"
#include "DMUndoManager.h"
#include "DMUndoRegistrationPause.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>

namespace {

// Tells the user which attached documents a save could not take; the save itself went on.
void reportDocumentProblems(const QString &path, const QStringList &problems, QWidget *window)
{
    if (problems.isEmpty())
        return;
    for (const QString &problem : problems)
        qWarning().noquote() << "Saving" << path << ":" << problem;
    DMModalUI::Alert alert;
    alert.title = DMLocalizedString("Attached Documents");
    alert.messageText = DMLocalizedString("Some attached documents could not be copied into \"%1\" and were left out.")
                            .arg(QFileInfo(path).completeBaseName());
    alert.informativeText = problems.join(QLatin1Char('\n'));
    DMModalUI::instance().runAlert(alert, window);
}

} // namespace

bool DMProjectDocument::readFromURLOfType(const QString &path, const QString &type, QString *error)
{
    QString ignored;
    if (!error)
        error = &ignored;

    if (type == kMSProjectXMLType || type == kPenduloType) {
        const DMProjectImporters::Importer importer = DMProjectImporters::importerForType(type);
        auto project = newDefaultProject();
        DMImportReport report;
        project->beginLoading();
        const bool imported = importer && importer(path, *project, report);
        project->endLoading();
        if (!imported) {
            *error = type == kMSProjectXMLType ? DMLocalizedString("This MS Project document couldn't be imported.")
                                               : DMLocalizedString("This PenduloProject document couldn't be imported.");
            if (report.hasFailed())
                *error += QLatin1Char(' ') + report.failureReason();
            return false;
        }
        // Told once per import: the items that had to be repaired or were left out.
        if (!report.userSummary().isEmpty()) {
            DMModalUI::Alert alert;
            alert.title = DMLocalizedString("Import");
            alert.messageText = DMLocalizedString("The document \"%1\" was imported with changes.").arg(QFileInfo(path).fileName());
            alert.informativeText = report.userSummary();
            alert.style = DMModalUI::Informational;
            DMModalUI::instance().runAlert(alert, windowForSheet());
        }
        // An imported project is saved as a new document, never over the file it came from.
        project->beginLoading();
        project->setAttribute(kDMProject_ClearFilename, true);
        project->endLoading();
        setProject(project);
        m_fileType = type;
        m_readPackagePath.clear();
        return true;
    }

    if (type != kDocumentType && type != kModelType) {
        *error = DMLocalizedString("Halcyra cannot open documents of this type.");
        return false;
    }

    // A wrong password asks again, saying so, until the right one or Cancel.
    const QString wrongPassword = DMLocalizedString("The password is incorrect.");
    const QString name = QFileInfo(path).completeBaseName();
    bool askedOnce = false;
    bool retrying = false;
    const QString knownPassword = m_password;
    const DMProjectPackage::PasswordProvider provider = [&](QString *password) {
        // Revert reads again with the password that opened the document.
        if (!askedOnce && !knownPassword.isEmpty()) {
            askedOnce = true;
            *password = knownPassword;
            return true;
        }
        const QString label =
            retrying ? DMLocalizedString("The password is incorrect. Please enter the password of the document \"%1\".").arg(name)
                     : DMLocalizedString("The document \"%1\" is protected by a password. Please enter it.").arg(name);
        return DMModalUI::instance().runTextPrompt(DMLocalizedString("Password"), label, true, password, windowForSheet());
    };
    std::optional<DMProjectPackage::ReadResult> contents = DMProjectPackage::read(path, provider, error);
    while (!contents && *error == wrongPassword) {
        retrying = true;
        contents = DMProjectPackage::read(path, provider, error);
    }
    if (!contents)
        return false;
    const qint64 formatVersion = contents->project.valueForKey("formatVersion").value().toLongLong();
    if (formatVersion > DMProjectCoder::kFormatVersion) {
        *error = DMLocalizedString("The document was saved by a later version of Halcyra.");
        return false;
    }
    m_readProject = contents->project;
    m_hasReadDictionary = true;
    m_readPackagePath = path;
    m_password = contents->password;
    m_fileType = type;
    return true;
}

bool DMProjectDocument::loadProjectIfNeeded(QString *error)
{
    if (!m_hasReadDictionary)
        return m_project != nullptr;
    QStringList problems;
    std::shared_ptr<DMProject> project = DMProjectCoder::loadProject(m_readProject, &problems);
    m_readProject = DMPropertyListNode();
    m_hasReadDictionary = false;
    if (!project) {
        if (error)
            *error = DMLocalizedString("The project file is damaged.");
        return false;
    }
    // Attached documents are taken from the package only as far as they resolve inside it.
    const QVariant storedTable = project->attribute(kDMProject_AttachedDocumentsTable);
    if (storedTable.isValid()) {
        const QVariantMap table = DMAttachedDocuments::tableReadFromPackage(
            storedTable,
            m_readPackagePath.isEmpty() ? QString() : DMProjectPackage::documentsFolderPath(m_readPackagePath), &problems);
        if (QVariant(table) != storedTable) {
            project->beginLoading();
            project->setAttribute(kDMProject_AttachedDocumentsTable, table.isEmpty() ? QVariant() : QVariant(table));
            project->endLoading();
        }
    }
    const QString source = m_readPackagePath.isEmpty() ? m_fileURL : m_readPackagePath;
    m_readPackagePath.clear();
    for (const QString &problem : problems)
        qWarning().noquote() << "Loading" << source << ":" << problem;
    setProject(project);
    return true;
}

QVariantMap DMProjectDocument::metadataForProject() const
{
    float progress = 0.0f;
    int progressItems = 0;
    if (m_project)
        for (const auto &item : m_project->tasks())
            item->computeProgressProgressItemsTasksMilestonesProcessesCost(&progress, &progressItems, nullptr, nullptr,
                                                                          nullptr, nullptr);
    QVariantMap metadata;
    metadata.insert(QStringLiteral("progress"), progressItems > 0 ? double(progress / float(progressItems)) : 0.0);
    metadata.insert(QStringLiteral("title"), m_project ? m_project->title() : QString());
    return metadata;
}

bool DMProjectDocument::writeToURLOfTypeForSaveOperation(const QString &path, const QString &type,
                                                         SaveOperationType operation, QString *error)
{
    QString ignored;
    if (!error)
        error = &ignored;
    if (!loadProjectIfNeeded(error))
        return false;
    if (type == kMSProjectXMLType)
        return DMMSProjectXMLConverter::exportProjectToURLError(*m_project, path, error);
    if (type != kDocumentType) {
        *error = DMLocalizedString("Halcyra cannot save documents of this type.");
        return false;
    }

    // Attached files: those of the saved package are carried over; pending ones are copied in,
    // except by an autosave elsewhere, which must not change the project. Files that nothing
    // refers to any more are left out; those of the package are set aside first, so that an
    // undo that refers to one again still finds it.
    const QVariantMap oldTable = m_project->attribute(kDMProject_AttachedDocumentsTable).toMap();
    const QString currentDocuments =
        m_fileType == kDocumentType && !m_fileURL.isEmpty() ? DMProjectPackage::documentsFolderPath(m_fileURL) : QString();
    const QString setAside =
        m_temporaryFolder.isEmpty() ? QString() : QDir(m_temporaryFolder).filePath(QStringLiteral("Set aside"));
    const DMAttachedDocuments::SavePlan plan = DMAttachedDocuments::planSave(
        DMAttachedDocuments::tableWithUnreferencedSetAside(oldTable, currentDocuments, setAside),
        operation != AutosaveElsewhereOperation);

    DMProjectPackage::WriteRequest request;
    request.metadata = metadataForProject();
    request.password = m_password;
    request.originalPackage = m_fileType == kDocumentType ? m_fileURL : QString();
    request.keptDocuments = plan.keptDocuments;
    request.newDocuments = plan.newDocuments;

    // The written project holds the table as it will be once the copies are in place, without
    // what could not be copied and without pending entries; the project itself takes it only
    // after the package was saved, keeping its pending entries.
    auto setTable = [this](const QVariantMap &table) {
        m_project->setAttribute(kDMProject_AttachedDocumentsTable, table.isEmpty() ? QVariant() : QVariant(table));
    };
    QVariantMap savedTable = plan.table;
    request.projectDictionary = [&](const QStringList &dropped) {
        savedTable = DMAttachedDocuments::tableWithoutEntries(plan.table, dropped, true);
        setTable(DMAttachedDocuments::tableWithoutEntries(plan.table, dropped, false));
        return m_project->dictionaryRepresentation();
    };
    DMProjectPackage::WriteReport report;
    bool written = false;
    {
        const DMUndoRegistrationPause pause(m_undoManager.get());
        written = DMProjectPackage::write(path, request, error, &report);
        const bool keepsTable = written && operation != SaveToOperation && operation != AutosaveElsewhereOperation;
        setTable(keepsTable ? savedTable : oldTable);
    }
    if (written)
        reportDocumentProblems(path, report.problems, windowForSheet());
    return written;
}
