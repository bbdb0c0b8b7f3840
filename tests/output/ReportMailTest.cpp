// The report mail: a stand-in xdg-email first on PATH records the arguments it was given and a
// copy of the attachment.
#include "OutputTestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace halcyra::test;

namespace {

class ReportMailTest : public ReportTestBase
{
protected:
    void SetUp() override
    {
        ReportTestBase::SetUp();
        sample = makeSampleProject();
        useProject(sample.project);
        savedPath = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(bin.path()) + ':' + savedPath);
    }
    void TearDown() override
    {
        qputenv("PATH", savedPath);
        ReportTestBase::TearDown();
    }
    // The stand-in: writes its arguments, NUL-separated, and a copy of the file after --attach.
    void installMailProgram(int exitCode)
    {
        const QString script = QStringLiteral("#!/bin/sh\n"
                                              "out='%1'\n"
                                              "printf '%s\\0' \"$@\" > \"$out/arguments\"\n"
                                              "while [ $# -gt 0 ]; do [ \"$1\" = --attach ] && cp \"$2\" \"$out/attachment\"; shift; done\n"
                                              "echo 'no mail client' >&2\n"
                                              "exit %2\n")
                                   .arg(records.path())
                                   .arg(exitCode);
        QFile file(bin.filePath(QStringLiteral("xdg-email")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(script.toUtf8());
        file.close();
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    QStringList recordedArguments() const
    {
        QFile file(records.filePath(QStringLiteral("arguments")));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        QStringList arguments = QString::fromUtf8(file.readAll()).split(QChar(0));
        arguments.removeLast();
        return arguments;
    }
    bool sendAndWait()
    {
        report->reportSendByMail();
        return waitFor([&] { return !report->isSendingMail(); }, 10000);
    }

    SampleProject sample;
    QTemporaryDir bin;
    QTemporaryDir records;
    QByteArray savedPath;
};

} // namespace

TEST_F(ReportMailTest, ShownReportGoesAsAPDFWithTheTitleAsOneArgument)
{
    installMailProgram(0);
    const QString title = QStringLiteral("Harbour \"works\"; rm -rf ~ $(id) `id` & | > x\nsecond line \u00fc");
    sample.project->setTitle(title);
    report->showPageWithTag(DMPage::GlobalReportPage, DMDate(), DMDate());
    ASSERT_TRUE(sendAndWait());

    const QStringList arguments = recordedArguments();
    ASSERT_EQ(arguments.size(), 6);
    EXPECT_EQ(arguments.mid(0, 5), (QStringList{QStringLiteral("--subject"), title, QStringLiteral("--body"),
                                                QStringLiteral("Made with Orvesta"), QStringLiteral("--attach")}));
    // The PDF lies in the report's private folder, beside the shown report.
    EXPECT_EQ(QFileInfo(arguments[5]).absolutePath(), QFileInfo(report->shownReportPath()).absolutePath());
    QFile attachment(records.filePath(QStringLiteral("attachment")));
    ASSERT_TRUE(attachment.open(QIODevice::ReadOnly));
    EXPECT_TRUE(attachment.readAll().startsWith("%PDF"));
    EXPECT_TRUE(ui.alerts.isEmpty());
}

TEST_F(ReportMailTest, SubjectFollowsThePageAndFailuresAreReported)
{
    report->showPageWithTag(DMPage::GlobalReportPage, DMDate(), DMDate());
    EXPECT_EQ(report->reportMailSubject(), QStringLiteral("Harbour works"));
    report->showPageWithTag(DMPage::TasksByResourcePage, at(2024, 3, 1), at(2024, 5, 1));
    EXPECT_EQ(report->reportMailSubject(), QStringLiteral("Assignments for Ada"));
    report->showPageWithTag(DMPage::TasksByProcessesPage, at(2024, 3, 1), at(2024, 5, 1));
    EXPECT_EQ(report->reportMailSubject(), QStringLiteral("Assignments for Design"));

    report->showPageWithTag(DMPage::GlobalReportPage, DMDate(), DMDate());
    // The mail program says it could not do it.
    installMailProgram(3);
    ASSERT_TRUE(sendAndWait());
    ASSERT_EQ(ui.alerts.size(), 1);
    EXPECT_TRUE(ui.alerts[0].informativeText.contains(QStringLiteral("no mail client")));

    // There is no mail program at all.
    QFile::remove(bin.filePath(QStringLiteral("xdg-email")));
    qputenv("PATH", QFile::encodeName(bin.path()));
    ASSERT_TRUE(sendAndWait());
    ASSERT_EQ(ui.alerts.size(), 2);
    EXPECT_TRUE(ui.alerts[1].informativeText.contains(QStringLiteral("could not be started")));
}
