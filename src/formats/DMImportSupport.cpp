#include "DMImportSupport.h"

#include "DMImportReport.h"
#include "DMProject.h"

#include <QFile>

#include <exception>

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
    } catch (const std::exception &exception) {
        used.fail(QStringLiteral("An exception occured: %1").arg(QString::fromUtf8(exception.what())));
        return false;
    }
}

bool DMImport_readFile(const QString &path, QByteArray *data, DMImportReport &report)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        report.fail(QStringLiteral("The file could not be read (%1).").arg(file.errorString()));
        return false;
    }
    *data = file.readAll();
    return true;
}
