// DMProjectDocumentUICallbacks: the panels, the CSV export, MS Project XML and the to-do list.
#include "DMProjectDocumentUICallbacks.h"

#include "DMCSVText.h"
#include "DMLocalizedString.h"
#include "DMMSProjectXMLConverter.h"
#include "DMModalUI.h"
#include "DMProject.h"
#include "DMProjectDocumentReport.h"
#include "DMProjectDocumentUICallbacksHost.h"
#include "DMProjectTodo.h"
#include "DMProjectTodoContainer.h"
#include "DMReadGuard.h"
#include "DMSaveFile.h"
#include "DMStringAdditions.h"
#include "DMTodoListPackage.h"
#include "DMUndoManager.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>


DMProjectDocumentUICallbacks::DMProjectDocumentUICallbacks(DMProjectDocumentUICallbacksHost *host) : m_host(host) {}

DMProjectDocumentUICallbacks::~DMProjectDocumentUICallbacks() = default;

DMModalUI::FilePanel DMProjectDocumentUICallbacks::savePanel(const QString &title, const QStringList &extensions)
{
    DMModalUI::FilePanel panel;
    panel.title = title;
    panel.allowedExtensions = extensions;
    return panel;
}

void DMProjectDocumentUICallbacks::exportToFile(DMModalUI::FilePanel panel, const QString &failureMessage,
                                                const std::function<bool(const QString &, QString *)> &write) const
{
    const std::shared_ptr<DMProject> project = m_host->project();
    if (!project || panel.allowedExtensions.isEmpty())
        return;
    const QString extension = panel.allowedExtensions.first();
    panel.proposedName = fileNameForTitle(project->nameForExportedFiles(), DMLocalizedString("Untitled"), extension);
    panel.directory = m_host->folderForPanels();
    QString path = DMModalUI::instance().runSavePanel(panel, m_host->windowForSheet());
    if (path.isEmpty())
        return;
    if (!panel.allowedExtensions.contains(QFileInfo(path).suffix(), Qt::CaseInsensitive))
        path += QLatin1Char('.') + extension;
    QString error;
    if (!write(path, &error))
        DMModalUI::instance().presentError(failureMessage.arg(QFileInfo(path).fileName()), error, m_host->windowForSheet(),
                                           DMLocalizedString("Export"));
}

// ---- CSV ----

QString DMProjectDocumentUICallbacks::csvText() const
{
    const std::shared_ptr<DMProject> project = m_host->project();
    DMProjectDocumentReport *report = m_host->report();
    if (!project || !report)
        return QString();
    const QString separator = DMCSV_line({QStringLiteral(" ")});
    int row = 0;
    float projectCost = 0.0f;
    QString text = DMCSV_line({DMLocalizedString("Tasks"), DMLocalizedString("Start"), DMLocalizedString("End"),
                               DMLocalizedString("Duration"), DMLocalizedString("Cost"), DMLocalizedString("Completion"),
                               DMLocalizedString("Float"), DMLocalizedString("Assigned to:")});
    text += separator;
    report->_reportGenerateCSV_tasksContentStringRowProjectCost(project->tasks().list(), text, &row, &projectCost);
    text += separator + separator + separator;
    text += DMCSV_line({DMLocalizedString("Resources"), DMLocalizedString("eMail"), DMLocalizedString("Phone"),
                        DMLocalizedString("Base"), DMLocalizedString("Cost"), DMLocalizedString("Completion"), QString(),
                        DMLocalizedString("Assigned:")});
    text += separator;
    report->_reportGenerateCSV_resourcesContentStringRow(project->resources().list(), text, &row);
    return text;
}

void DMProjectDocumentUICallbacks::exportToCSV()
{
    exportToFile(savePanel(DMLocalizedString("Export to CSV"), {QStringLiteral("csv"), QStringLiteral("txt")}),
                 DMLocalizedString("The CSV file \"%1\" could not be written."), [this](const QString &path, QString *error) {
                     return DMSaveFile_write(path, csvText().toUtf8(), error);
                 });
}

// ---- MS Project XML ----

void DMProjectDocumentUICallbacks::exportToMSProjectXML()
{
    exportToFile(savePanel(DMLocalizedString("Export to MS Project XML"), {QStringLiteral("xml")}),
                 DMLocalizedString("The MS Project XML file \"%1\" could not be written."),
                 [this](const QString &path, QString *error) {
                     return DMMSProjectXMLConverter::exportProjectToURLError(*m_host->project(), path, error);
                 });
}

// ---- The to-do-list package ----

void DMProjectDocumentUICallbacks::exportToFerrix()
{
    DMModalUI::FilePanel panel = savePanel(DMLocalizedString("Export To-Do List"), {QStringLiteral("del")});
    panel.packageExtensions = {QStringLiteral("del")};
    exportToFile(panel, DMLocalizedString("The to-do list \"%1\" could not be written."), [this](const QString &path, QString *error) {
                     return DMTodoListPackage::writePackage(*m_host->project(), path, error);
                 });
}

void DMProjectDocumentUICallbacks::importFromFerrix()
{
    const std::shared_ptr<DMProject> project = m_host->project();
    if (!project)
        return;
    DMModalUI::FilePanel panel;
    panel.title = DMLocalizedString("Import To-Do List");
    panel.allowedExtensions = {QStringLiteral("del")};
    panel.packageExtensions = {QStringLiteral("del")};
    panel.directory = m_host->folderForPanels();
    const QStringList paths = DMModalUI::instance().runOpenPanel(panel, m_host->windowForSheet());
    if (paths.isEmpty())
        return;
    QList<std::shared_ptr<DMProjectTodo>> todos;
    QString error;
    if (!DMReadGuard::run([&] { return DMTodoListPackage::readTodos(paths.first(), project, &todos, &error); }, &error)) {
        DMModalUI::Alert alert;
        alert.title = DMLocalizedString("Import To-Do List");
        alert.messageText = DMLocalizedString("Unable to load file");
        alert.informativeText = DMLocalizedString("Check that this is a valid Quillet document") + QStringLiteral("\n\n") + error;
        alert.buttons = {DMLocalizedString("Close")};
        DMModalUI::instance().runAlert(alert, m_host->windowForSheet());
        return;
    }
    if (todos.isEmpty())
        return;
    DMUndoManager *undoManager = project->undoManagerForRegistration();
    if (undoManager)
        undoManager->beginUndoGrouping();
    for (const auto &todo : todos)
        project->todoContainer()->todos().append(todo);
    if (undoManager) {
        undoManager->setActionName(DMLocalizedString("Import To-Dos"));
        undoManager->endUndoGrouping();
    }
}
