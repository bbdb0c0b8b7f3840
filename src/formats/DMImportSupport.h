#pragma once

#include <QByteArray>
#include <QtGlobal>
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

// Runs one import with the caller's report, or one of its own when none is given. Whatever the
// import throws (the model's refusals, running out of memory) ends it as failed, logged and with
// the reason in plain words in the report.
bool DMImport_run(DMImportReport *report, const std::function<bool(DMImportReport &)> &import);

// Larger imported documents (MS Project XML files, the earlier planner's archives) are refused
// before they are read.
constexpr qint64 kDMImport_MaximumFileSize = qint64(128) << 20;

// The bytes of a file the user picked, read as DMRegularFile reads one: false, with the reason in
// the report, when it is not a regular file, is larger than kDMImport_MaximumFileSize or cannot
// be read.
bool DMImport_readFile(const QString &path, QByteArray *data, DMImportReport &report);
