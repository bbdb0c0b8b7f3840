#pragma once

#include "../model/ModelTestSupport.h"

#include "DMProjectDocumentReport.h"
#include "DMProjectDocumentReportHost.h"
#include "DMReportPage.h"
#include "FakeModalUI.h"
#include "ReportHTMLParser.h"
#include "TestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextBrowser>

#include <gtest/gtest.h>

#include <memory>

// Readable failure messages of text lists (ModelTestSupport.h prints single texts).
inline void PrintTo(const QStringList &list, std::ostream *out)
{
    *out << '[' << list.join(QStringLiteral("|")).toStdString() << ']';
}

namespace halcyra::test {

// The document as the report controller sees it, with plain formatters: "EUR 12.50",
// "2024-03-04", "08:00".
class FakeReportHost : public DMProjectDocumentReportHost
{
public:
    std::shared_ptr<DMProject> theProject;
    std::unique_ptr<DMReportPage> page = std::make_unique<DMReportPage>();
    QVariant headerColor;
    QString logoPath;

    std::shared_ptr<DMProject> project() const override { return theProject; }
    QString currencyString(double value) const override { return QStringLiteral("EUR %1").arg(value, 0, 'f', 2); }
    QString fileCurrencyString(double value) const override { return QStringLiteral("EUR %1").arg(value, 0, 'f', 2); }
    QString calendarDateString(const DMDate &date) const override
    {
        return date.isNull() ? QString() : date.NSDate().toString(QStringLiteral("yyyy-MM-dd"));
    }
    QString timeOfDayString(const DMDate &date) const override
    {
        return date.isNull() ? QString() : date.NSDate().toString(QStringLiteral("HH:mm"));
    }
    QVariant reportHeaderColor() const override { return headerColor; }
    QString reportLogoPath() const override { return logoPath; }
    DMReportPage *reportPage() const override { return page.get(); }
    QWidget *windowForSheet() const override { return nullptr; }
};

// A small harbour project: a process with a task, a milestone and a group holding a task, a
// task at the top level, an item group with nothing below, and resources with a group.
struct SampleProject
{
    std::shared_ptr<DMProject> project;
    std::shared_ptr<DMProjectProcess> design;
    std::shared_ptr<DMProjectTask> survey, drawing, build;
    std::shared_ptr<DMProjectMilestone> approval;
    std::shared_ptr<DMProjectItemGroup> drawings;
    std::shared_ptr<DMProjectResource> ada, crew, bo, cy, dee;
};

inline SampleProject makeSampleProject()
{
    SampleProject s;
    s.project = DMProject::create();
    DMProject &p = *s.project;
    p.setTitle(QStringLiteral("Harbour works"));
    p.setBeginDate(at(2024, 3, 4, 8));
    p.setEndDate(at(2024, 4, 26, 18));
    p.setAttribute(kDMProject_Settings_DayTimeSpan, QVariantMap{{kDMTimeSpanBegin, 480}, {kDMTimeSpanEnd, 1080}});
    p.setAttribute(kDMProject_Settings_Budget, 10000.0);

    s.design = makeItem<DMProjectProcess>(s.project, QStringLiteral("Design"), at(2024, 3, 4, 8), at(2024, 3, 15, 18));
    s.survey = makeItem<DMProjectTask>(s.project, QStringLiteral("Survey, site \"north\""), at(2024, 3, 4, 8), at(2024, 3, 5, 18));
    s.survey->setProgress(0.5f);
    s.survey->setAttribute(kDMProjectItem_Cost, 500.0);
    s.survey->setAttribute(kDMProjectItem_Notes, QStringLiteral("Check the piers"));
    s.approval = makeItem<DMProjectMilestone>(s.project, QStringLiteral("Plans approved"), at(2024, 3, 8, 18), at(2024, 3, 8, 18));
    s.approval->setAttribute(kDMProjectItem_Cost, 100.0);
    s.drawings = makeItem<DMProjectItemGroup>(s.project, QStringLiteral("Drawings"), at(2024, 3, 11, 8), at(2024, 3, 15, 18));
    s.drawing = makeItem<DMProjectTask>(s.project, QStringLiteral("Drawing\nsheet 2"), at(2024, 3, 11, 8), at(2024, 3, 15, 18));
    s.drawing->setProgress(1.0f);
    s.drawing->setAttribute(kDMProjectItem_CostKind, 2);
    s.build = makeItem<DMProjectTask>(s.project, QStringLiteral("Build the quay \u00fc\u00df"), at(2024, 3, 18, 8), at(2024, 4, 26, 18));
    s.build->setProgress(0.1f);
    s.build->setAttribute(kDMProjectItem_CostKind, 1);
    s.build->setAttribute(kDMProjectItem_Cost, 50.0);
    s.drawings->subitems().append(s.drawing);
    s.design->subitems().append(s.survey);
    s.design->subitems().append(s.approval);
    s.design->subitems().append(s.drawings);
    p.tasks().append(s.design);
    p.tasks().append(s.build);

    s.ada = makeResource(s.project, QStringLiteral("Ada"), kDMProjectResourceCostKind_Hourly, 40.0);
    s.ada->setAttribute(kDMProjectResource_Email, QStringLiteral("ada@example.org"));
    s.ada->setAttribute(kDMProjectResource_Phone, QStringLiteral("+41 1"));
    s.crew = makeResource(s.project, QStringLiteral("Crew"), DMProjectResource::Group);
    s.bo = makeResource(s.project, QStringLiteral("Bo"), kDMProjectResourceCostKind_Daily, 300.0);
    s.cy = makeResource(s.project, QStringLiteral("Cy"), kDMProjectResourceCostKind_Fixed, 1000.0);
    s.dee = makeResource(s.project, QStringLiteral("Dee"), kDMProjectResourceCostKind_Hourly, 20.0);
    s.crew->subitems().append(s.bo);
    s.crew->subitems().append(s.cy);
    p.resources().append(s.ada);
    p.resources().append(s.crew);
    p.resources().append(s.dee);
    s.survey->addResource(s.ada);
    s.drawing->addResource(s.bo);
    s.build->addResource(s.ada);
    s.build->addResource(s.cy);
    return s;
}

// A report controller on a fake host, with a private modal UI.
class ReportTestBase : public ::testing::Test
{
protected:
    void SetUp() override { DMModalUI::setInstance(&ui); }
    void TearDown() override
    {
        report.reset();
        DMModalUI::setInstance(nullptr);
    }
    void useProject(const std::shared_ptr<DMProject> &project)
    {
        host.theProject = project;
    }
    void setColumns(bool cost, bool completion)
    {
        host.page->reportShowCostCheckbox()->setChecked(cost);
        host.page->reportShowCompletionCheckbox()->setChecked(completion);
    }
    // The grouped pages' pop-up of resources or processes.
    QComboBox *popUp() const { return host.page->tasksByResourceReportPopUpButton(); }
    void selectEntry(const QString &title)
    {
        popUp()->setCurrentIndex(popUp()->findText(title));
        ASSERT_GE(popUp()->currentIndex(), 0) << title.toStdString();
    }
    // The report the page shows, read from its file; an empty one when it shows none.
    ReportHTMLParser shownReport() const
    {
        QFile file(report->shownReportPath());
        return ReportHTMLParser(file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString());
    }
    // The grouped page's report of the pop-up's entry, chosen as the user does.
    ReportHTMLParser groupedReport(const QString &entry)
    {
        selectEntry(entry);
        emit popUp()->activated(popUp()->currentIndex());
        return shownReport();
    }

    FakeModalUI ui;
    FakeReportHost host;
    std::unique_ptr<DMProjectDocumentReport> report = std::make_unique<DMProjectDocumentReport>(&host);
};

// A Python interpreter that can import the module (Debian's packages go to the system's
// interpreter, which another one on PATH may hide); empty when there is none.
inline QString pythonWithModule(const QString &module)
{
    for (const QString &candidate : {QStringLiteral("/usr/bin/python3"), QStandardPaths::findExecutable(QStringLiteral("python3"))}) {
        if (candidate.isEmpty())
            continue;
        QProcess probe;
        probe.start(candidate, {QStringLiteral("-c"), QStringLiteral("import ") + module});
        if (probe.waitForFinished(30000) && probe.exitStatus() == QProcess::NormalExit && probe.exitCode() == 0)
            return candidate;
    }
    return QString();
}

// Runs a Python script with the arguments; its standard output, or an empty text with *error.
inline QString runPython(const QString &script, const QStringList &arguments, QString *error,
                         const QString &module = QStringLiteral("csv"))
{
    const QString python = pythonWithModule(module);
    if (python.isEmpty()) {
        *error = QStringLiteral("no python3 with the module ") + module;
        return QString();
    }
    QProcess process;
    process.start(python, QStringList{QStringLiteral("-c"), script} + arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0) {
        *error = QString::fromUtf8(process.readAllStandardError());
        return QString();
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace halcyra::test
