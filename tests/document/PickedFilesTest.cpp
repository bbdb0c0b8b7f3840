// What a file the user picks in a panel can make the application do: every command that imports,
// reads or attaches such a file, given a FIFO, a link to an endless device, a folder, a file it
// may not read, an empty file and one over its size limit, and a reader that runs out of memory.
// Each returns at once with an alert in words a user understands, and leaves the open document
// as it was.
#include "DocumentTestSupport.h"

#include "DMDaysOffFile.h"
#include "DMGanttUIObjectFactory.h"
#include "DMImportSupport.h"
#include "DMPreferenceKeys.h"
#include "DMProjectDaysOffSettingsController.h"
#include "DMProjectDocumentItemsView.h"
#include "DMProjectDocumentUICallbacks.h"
#include "DMProjectImporters.h"
#include "DMProjectResource.h"
#include "DMProjectResourceEditorController.h"
#include "DMProjectResourceFile.h"
#include "DMProjectResourcesOutlineViewDS.h"
#include "DMRegularFile.h"
#include "DMTodoListPackage.h"
#include "DMUIProjectItem.h"
#include "DMUIProjectTaskInspectorController.h"
#include "DMVCardReader.h"

#include <QElapsedTimer>
#include <QPushButton>

#include <chrono>
#include <condition_variable>
#include <iostream>
#include <mutex>
#include <new>
#include <stdexcept>
#include <thread>
#include <utility>

#include <fcntl.h>

using namespace halcyra::test;

namespace {

enum class Kind { Fifo, LinkToDevice, Folder, Unreadable, Empty, OverLimit };

const char *kindName(Kind kind)
{
    switch (kind) {
    case Kind::Fifo: return "a FIFO";
    case Kind::LinkToDevice: return "a link to /dev/zero";
    case Kind::Folder: return "a folder";
    case Kind::Unreadable: return "an unreadable file";
    case Kind::Empty: return "an empty file";
    case Kind::OverLimit: return "a file over the limit";
    }
    return "";
}

// Should a command wait on a FIFO, opens the FIFO's other end after two seconds, so that the
// command goes on and the test fails on the time taken instead of hanging.
class FifoRescue
{
public:
    explicit FifoRescue(const QString &path)
        : m_path(QFile::encodeName(path))
        , m_thread([this] { run(); })
    {
    }
    ~FifoRescue()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_stop = true;
        }
        m_stopped.notify_all();
        m_thread.join();
    }

private:
    void run()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        if (m_stopped.wait_for(lock, std::chrono::seconds(2), [this] { return m_stop; }))
            return;
        while (!m_stop) {
            const int end = ::open(m_path.constData(), O_WRONLY | O_NONBLOCK);
            if (end >= 0)
                ::close(end);
            m_stopped.wait_for(lock, std::chrono::milliseconds(20), [this] { return m_stop; });
        }
    }

    QByteArray m_path;
    std::mutex m_mutex;
    std::condition_variable m_stopped;
    bool m_stop = false;
    std::thread m_thread;
};

// One command the user reaches through a menu or a button that reads a file picked in a panel.
struct EntryPoint
{
    const char *name;
    QString fileName;       // the picked file's name
    QString insideFolder;   // the file inside a picked folder of this name (a to-do package), or empty
    qint64 limit;           // the size bound; 0 for a file that is attached, never read
    QString unreadAlert;    // part of the alert on an empty file, which does not read as its kind
    std::function<void()> run;

    bool attaches() const { return limit == 0; }
};

class PickedFilesTest : public DocumentTestBase
{
protected:
    void SetUp() override
    {
        DocumentTestBase::SetUp();
        // The task's bar, through which its inspector opens.
        DMGanttUIObjectFactory::registerWithModel();
        DMUserDefaults::standardUserDefaults().setBoolForKey(true, kDMDoNotShowDocumentCopyAlert);
        document = shownDocumentWith({QStringLiteral("Survey")});
        resource = makeResource(document->project(), QStringLiteral("Ann"));
        document->project()->resources().append(resource);
        settle(document);
    }
    void TearDown() override
    {
        DMRegularFile::setReadHookForTesting(nullptr);
        DMProjectResourceEditorController::sharedInstance()->setEditedObject(nullptr);
        DMUIProjectTaskInspectorController::sharedInstance()->editObject(nullptr);
        document.reset();
        DocumentTestBase::TearDown();
    }

    DMDocumentController &controller() { return DMDocumentController::sharedDocumentController(); }

    QList<EntryPoint> entryPoints()
    {
        const auto editResource = [this](void (DMProjectResourceEditorController::*command)()) {
            DMProjectResourceEditorController *editor = DMProjectResourceEditorController::sharedInstance();
            editor->setEditedObject(resource);
            (editor->*command)();
            editor->setEditedObject(nullptr);
        };
        return {
            {"File > Open an earlier planner document", "plan.pendulo", {}, kDMImport_MaximumArchiveFileSize,
             "This PenduloProject document couldn't be imported.", [this] { controller().openDocument(); }},
            {"File > Import MS Project XML", "plan.xml", {}, kDMImport_MaximumMSProjectXMLFileSize,
             "This MS Project document couldn't be imported.", [this] { controller().importDocument(); }},
            {"File > Import To-Do List", "project.xml", "list.del", DMTodoListPackage::kMaximumProjectFileSize,
             "Unable to load file", [this] { document->uiCallbacks()->importFromFerrix(); }},
            {"Days off > Import", "days.xml", {}, DMDaysOffFile::kMaximumFileSize, "Not a Halcyra 2 days-off file.",
             [this] { document->outlets().daysOffSettingsController->daysOffImport(); }},
            {"Resource list > Import", "crew.xml", {}, DMProjectResourceFile::kMaximumFileSize,
             "Not a Halcyra 2 resource file.", [this] { document->projectResourcesOutlineViewDS()->itemsViewResourcesImport(); }},
            {"Resource cards > Import", "crew.xml", {}, DMProjectResourceFile::kMaximumFileSize,
             "Not a Halcyra 2 resource file.",
             [this] {
                 document->showPageWithTag(DMPage::ItemsResourcesPage);
                 document->itemsView()->itemsViewResourcesImport();
             }},
            {"Resource editor > Choose Image", "face.png", {}, DMProjectResourceEditorController::kMaximumImageFileSize,
             "is not an image that can be read", [=] { editResource(&DMProjectResourceEditorController::chooseIcon); }},
            {"Resource editor > Choose vCard", "ann.vcf", {}, DMVCardReader::kMaximumSize, "holds no vCard",
             [=] { editResource(&DMProjectResourceEditorController::chooseVCard); }},
            {"Documents page > New", "notes.txt", {}, 0, {},
             [this] {
                 document->showPageWithTag(DMPage::DocumentsPage);
                 document->itemsView()->itemsViewNew();
             }},
            {"Task inspector > Attach", "notes.txt", {}, 0, {},
             [this] {
                 const auto bar = std::dynamic_pointer_cast<DMProjectViewObject>(document->project()->tasks().first()->ganttUIObject());
                 document->showPageWithTag(DMPage::GanttPage);
                 bar->editInView(document->projectView());
                 DMUIProjectTaskInspectorController::sharedInstance()->documentsAddButton()->click();
                 DMUIProjectTaskInspectorController::sharedInstance()->editObject(nullptr);
             }},
        };
    }

    // Makes the file of the kind in a folder of its own and returns what the panel answers.
    QString pickedFile(const EntryPoint &entry, Kind kind, int number)
    {
        const QString folder = path(QStringLiteral("case%1").arg(number));
        const QString picked = QDir(folder).filePath(entry.insideFolder.isEmpty() ? entry.fileName : entry.insideFolder);
        const QString file = entry.insideFolder.isEmpty() ? picked : QDir(picked).filePath(entry.fileName);
        QDir().mkpath(QFileInfo(file).absolutePath());
        switch (kind) {
        case Kind::Fifo:
            makeFifo(file);
            break;
        case Kind::LinkToDevice:
            makeLink(QStringLiteral("/dev/zero"), file);
            break;
        case Kind::Folder:
            QDir().mkpath(file);
            break;
        case Kind::Unreadable:
            writeFile(file, "unreadable");
            EXPECT_EQ(::chmod(QFile::encodeName(file).constData(), 0), 0);
            break;
        case Kind::Empty:
            writeFile(file, QByteArray());
            break;
        case Kind::OverLimit:
            writeFile(file, QByteArray());
            // A sparse file: nothing of it is on the disk.
            EXPECT_TRUE(QFile::resize(file, (entry.attaches() ? qint64(1) << 30 : entry.limit) + 1));
            break;
        }
        return picked;
    }

    // What the user is told when the command refuses the file, or nothing when it takes it.
    QString expectedAlert(const EntryPoint &entry, Kind kind, const QString &file, bool unreadable)
    {
        const QString name = QFileInfo(file).fileName();
        switch (kind) {
        case Kind::Fifo:
        case Kind::LinkToDevice:
            return QStringLiteral("\"%1\" is not a file that Halcyra can read.").arg(name);
        case Kind::Folder:
            return entry.attaches() ? QString() : QStringLiteral("\"%1\" is not a file that Halcyra can read.").arg(name);
        case Kind::Unreadable:
            if (unreadable)
                return QStringLiteral("\"%1\" could not be read: Permission denied").arg(name);
            return entry.unreadAlert;
        case Kind::Empty:
            return entry.unreadAlert;
        case Kind::OverLimit:
            return entry.attaches() ? QString() : QStringLiteral("\"%1\" is larger than %2 MB.").arg(name).arg(entry.limit >> 20);
        }
        return QString();
    }

    struct Outcome
    {
        qint64 milliseconds = 0;
        QList<DMModalUI::Alert> alerts;
        bool unchanged = false;
    };
    // Runs the command on the picked path and tells what it did to the open document.
    Outcome runOn(const EntryPoint &entry, const QString &picked)
    {
        const QVariantMap before = document->project()->dictionaryRepresentation();
        const int stepsBefore = steps(document);
        ui.alerts.clear();
        ui.openPanelPaths = {picked};
        Outcome outcome;
        QElapsedTimer timer;
        timer.start();
        entry.run();
        outcome.milliseconds = timer.elapsed();
        finishEventLoopTurns();
        outcome.alerts = ui.alerts;
        outcome.unchanged = document->project()->dictionaryRepresentation() == before && steps(document) == stepsBefore
            && !document->isDocumentEdited() && controller().documents().size() == 1;
        return outcome;
    }

    static QString textOf(const DMModalUI::Alert &alert) { return alert.messageText + QLatin1Char('\n') + alert.informativeText; }

    std::shared_ptr<DMProjectDocument> document;
    std::shared_ptr<DMProjectResource> resource;
};

TEST_F(PickedFilesTest, EveryImportRefusesWhatIsNoFileOfItsKindAtOnceAndChangesNothing)
{
    int number = 0;
    for (const EntryPoint &entry : entryPoints()) {
        for (const Kind kind : {Kind::Fifo, Kind::LinkToDevice, Kind::Folder, Kind::Unreadable, Kind::Empty, Kind::OverLimit}) {
            SCOPED_TRACE(std::string(entry.name) + " on " + kindName(kind));
            const QString picked = pickedFile(entry, kind, number++);
            const QString file = entry.insideFolder.isEmpty() ? picked : QDir(picked).filePath(entry.fileName);
            // The permissions do not stop every reader (root reads anything): such a file is read,
            // and refused for what it holds.
            const bool unreadable = kind != Kind::Unreadable || ::access(QFile::encodeName(file).constData(), R_OK) != 0;
            static bool told = false;
            if (!unreadable && !std::exchange(told, true))
                std::cout << "[   NOTE   ] This process may read a file without read permission; the unreadable file "
                             "is read and refused for its contents."
                          << std::endl;
            std::optional<FifoRescue> rescue;
            if (kind == Kind::Fifo)
                rescue.emplace(file);
            const Outcome outcome = runOn(entry, picked);
            rescue.reset();

            EXPECT_LT(outcome.milliseconds, 1000);
            const QString expected = expectedAlert(entry, kind, file, unreadable);
            if (expected.isEmpty()) {
                // An attachment: a folder or a file of any size is attached, never read.
                EXPECT_TRUE(outcome.alerts.isEmpty());
                EXPECT_EQ(document->project()->attribute(kDMProject_AttachedDocumentsTable).toMap().size(), 1);
                document->undoManager()->undo();
                finishEventLoopTurns();
                document->project()->setAttribute(kDMProject_AttachedDocumentsTable, QVariant());
                settle(document);
                continue;
            }
            EXPECT_TRUE(outcome.unchanged);
            ASSERT_EQ(outcome.alerts.size(), 1);
            EXPECT_TRUE(textOf(outcome.alerts.first()).contains(expected))
                << textOf(outcome.alerts.first()).toStdString() << "\nexpected: " << expected.toStdString();
            EXPECT_FALSE(textOf(outcome.alerts.first()).contains(QLatin1String("exception")));
        }
    }
}

TEST_F(PickedFilesTest, AReaderThatRunsOutOfMemoryEndsItsCommandWithAPlainAlert)
{
    DMRegularFile::setReadHookForTesting([](const QString &) { throw std::bad_alloc(); });
    int number = 0;
    for (const EntryPoint &entry : entryPoints()) {
        if (entry.attaches())
            continue;
        SCOPED_TRACE(entry.name);
        const QString picked = pickedFile(entry, Kind::Empty, number++);
        const Outcome outcome = runOn(entry, picked);
        EXPECT_TRUE(outcome.unchanged);
        ASSERT_EQ(outcome.alerts.size(), 1);
        EXPECT_TRUE(textOf(outcome.alerts.first()).contains(QLatin1String("There is not enough memory to read the file.")))
            << textOf(outcome.alerts.first()).toStdString();
        EXPECT_FALSE(textOf(outcome.alerts.first()).contains(QLatin1String("exception")));
    }

    // Revert to Saved reads the document's own package again: the edit stays.
    DMRegularFile::setReadHookForTesting(nullptr);
    ASSERT_TRUE(document->saveToPath(path(QStringLiteral("Plan.hy2")), DMProjectDocument::SaveAsOperation));
    document->project()->setTitle(QStringLiteral("Edited"));
    DMRegularFile::setReadHookForTesting([](const QString &) { throw std::bad_alloc(); });
    ui.alerts.clear();
    EXPECT_FALSE(document->revertToSaved());
    EXPECT_EQ(document->project()->title(), QStringLiteral("Edited"));
    ASSERT_EQ(ui.alerts.size(), 1);
    EXPECT_EQ(ui.alerts.first().informativeText, QStringLiteral("There is not enough memory to read the file."));
}

TEST_F(PickedFilesTest, AnImporterThatThrowsLeavesNoDocumentAndSaysWhyPlainly)
{
    const QString xml = path(QStringLiteral("plan.xml"));
    writeFile(xml, "<Project/>");
    ui.openPanelPaths = {xml};
    for (const auto &thrown : std::initializer_list<std::function<void()>>{[] { throw std::bad_alloc(); },
                                                                            [] { throw std::invalid_argument("dates"); },
                                                                            [] { throw 7; }}) {
        DMProjectImporters::registerImporter(DMProjectDocument::kMSProjectXMLType,
                                             [thrown](const QString &, DMProject &, DMImportReport &) -> bool {
                                                 thrown();
                                                 return true;
                                             });
        ui.alerts.clear();
        controller().importDocument();
        EXPECT_EQ(controller().documents().size(), 1);
        ASSERT_EQ(ui.alerts.size(), 1);
        EXPECT_EQ(ui.alerts.first().messageText, QStringLiteral("The document \"plan.xml\" could not be opened."));
        EXPECT_FALSE(ui.alerts.first().informativeText.contains(QLatin1String("exception")));
        EXPECT_FALSE(ui.alerts.first().informativeText.isEmpty());
    }
    DMProjectImporters::registerImporter(DMProjectDocument::kMSProjectXMLType, nullptr);
}

} // namespace
