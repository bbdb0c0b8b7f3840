// Quitting the real executable: it must end, with status 0, having released every document.
#include "DocumentTestSupport.h"

#include <QProcess>
#include <QProcessEnvironment>

using namespace halcyra::test;

namespace {

class ApplicationQuitTest : public DocumentTestBase
{
protected:
    struct Run
    {
        bool finished = false;
        int exitCode = -1;
        QString errors;
    };

    // Starts halcyra with the test script and the files, in folders of its own, and waits for it.
    Run runApplication(const QString &script, const QStringList &files = {})
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("HALCYRA_TEST_SCRIPT"), script);
        for (const char *name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "TMPDIR"}) {
            const QString folder = path(QString::fromLatin1(name));
            QDir().mkpath(folder);
            environment.insert(QString::fromLatin1(name), folder);
        }
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(HALCYRA_EXECUTABLE), files);
        Run run;
        run.finished = process.waitForStarted(5000) && process.waitForFinished(5000);
        if (!run.finished) {
            process.kill();
            process.waitForFinished(2000);
        }
        run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        run.errors = QString::fromLocal8Bit(process.readAllStandardError());
        return run;
    }

    // Documents remove their temporary folders when they are released.
    QStringList documentFolders() const
    {
        return QDir(path(QStringLiteral("TMPDIR"))).entryList({QStringLiteral("halcyra-document-*")}, QDir::Dirs);
    }
};

TEST_F(ApplicationQuitTest, QuitEndsTheProcessAndReleasesEveryDocument)
{
    const QString package = path(QStringLiteral("Quit.hy2"));
    auto document = documentWithProject(makeFullProject().project);
    ASSERT_TRUE(document->saveToPath(package, DMProjectDocument::SaveAsOperation));
    const struct
    {
        const char *script;
        QStringList files;
    } rows[] = {
        {"key:Ctrl+Q", {package}},
        // Cancel keeps the edited untitled document and the process (the later steps still find
        // its window); Don't Save then ends both.
        {"click:New Project;edit;key:Ctrl+Q;click:Cancel;edit;key:Ctrl+Q;click:Don't Save", {}},
        // The welcome window quits by key and when closed, after a document or without one.
        {"key:Ctrl+Q", {}},
        {"close", {}},
        {"click:New Project;close;close", {}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.script);
        const Run run = runApplication(QString::fromUtf8(row.script), row.files);
        EXPECT_TRUE(run.finished) << run.errors.toStdString();
        EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
        EXPECT_TRUE(run.errors.contains("the test script ran to its end")) << run.errors.toStdString();
        EXPECT_TRUE(documentFolders().isEmpty());
    }
}

} // namespace
