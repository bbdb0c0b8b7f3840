#pragma once

#include <QList>
#include <QString>

#include <memory>

class QWidget;
class DMProject;
class DMProjectDocumentReport;
class DMProjectItem;

// What the export and import commands need of their document: the project, the window for
// panels and alerts, the items chosen on the canvas, the report controller (whose row writers
// make the CSV) and the desktop's way to open a file. The document implements it.
class DMProjectDocumentUICallbacksHost
{
public:
    virtual ~DMProjectDocumentUICallbacksHost() = default;

    virtual std::shared_ptr<DMProject> project() const = 0;
    virtual QWidget *windowForSheet() const = 0;
    // The folder the panels start in: beside the document (the home folder before it is saved).
    virtual QString folderForPanels() const = 0;
    // The items whose task, milestone or event bars are selected on the canvas, each once, in
    // the order of the selection.
    virtual QList<std::shared_ptr<DMProjectItem>> selectedCanvasItems() const = 0;
    virtual DMProjectDocumentReport *report() = 0;
    // Opens the file with the desktop's application for its type.
    virtual void openFileWithDefaultApplication(const QString &path) = 0;
};
