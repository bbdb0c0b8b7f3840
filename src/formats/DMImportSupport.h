#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

class DMImportReport;
class DMProject;

// Takes the project out of undo registration and roll-ups while an importer fills it.
class DMProjectLoadingScope
{
public:
    explicit DMProjectLoadingScope(DMProject &project);
    ~DMProjectLoadingScope();
    DMProjectLoadingScope(const DMProjectLoadingScope &) = delete;
    DMProjectLoadingScope &operator=(const DMProjectLoadingScope &) = delete;

private:
    DMProject &m_project;
};

// Runs one import with the caller's report, or one of its own when none is given; an exception
// of the model ends the import as failed ("An exception occured: ..." in the report).
bool DMImport_run(DMImportReport *report, const std::function<bool(DMImportReport &)> &import);

// The bytes of the file; false, with the reason in the report, when it cannot be read.
bool DMImport_readFile(const QString &path, QByteArray *data, DMImportReport &report);
