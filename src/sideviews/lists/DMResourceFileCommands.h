#pragma once

#include <QString>

#include <memory>

class DMProject;
class QWidget;

// The Export and Import commands of the resource file, shared by the resource list and the items
// view: the panels (starting in the folder given), the file, the messages, and the import as one undo step.
namespace DMResourceFileCommands {

void exportResources(const std::shared_ptr<DMProject> &project, QWidget *window, const QString &folder);
// Reads and checks the whole file before the project changes. False when the user cancelled or the
// file did not read (the project is then untouched).
bool importResources(const std::shared_ptr<DMProject> &project, QWidget *window, const QString &folder);

} // namespace DMResourceFileCommands
