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

// Larger imported documents are refused before they are read. An MS Project XML file of 100,000
// tasks as the export writes them is about 150 MB; the earlier planner's archives are binary and
// smaller.
constexpr qint64 kDMImport_MaximumMSProjectXMLFileSize = qint64(512) << 20;
constexpr qint64 kDMImport_MaximumArchiveFileSize = qint64(128) << 20;

// The bytes of a file the user picked, read as DMRegularFile reads one: false, with the reason in
// the report, when it is not a regular file, is larger than maxSize or cannot be read.
bool DMImport_readFile(const QString &path, qint64 maxSize, QByteArray *data, DMImportReport &report);
