#include "DMImportSupport.h"

#include "DMImportReport.h"
#include "DMProject.h"
#include "DMReadGuard.h"
#include "DMRegularFile.h"

DMProjectLoadingScope::DMProjectLoadingScope(DMProject &project) : m_project(project)
{
    m_project.beginLoading();
}

DMProjectLoadingScope::~DMProjectLoadingScope()
{
    m_project.endLoading();
}

bool DMImport_run(DMImportReport *report, const std::function<bool(DMImportReport &)> &import)
{
    DMImportReport ownReport;
    DMImportReport &used = report ? *report : ownReport;
    try {
        return import(used);
    } catch (...) {
        used.fail(DMReadGuard::reasonForCurrentException());
        return false;
    }
}

bool DMImport_readFile(const QString &path, qint64 maxSize, QByteArray *data, DMImportReport &report)
{
    QString reason;
    std::optional<QByteArray> read = DMRegularFile::read(path, maxSize, DMRegularFile::FollowLinks, &reason);
    if (!read) {
        report.fail(reason);
        return false;
    }
    *data = std::move(*read);
    return true;
}
