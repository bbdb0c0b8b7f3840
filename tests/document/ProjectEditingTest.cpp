// The document's edit commands: copy and paste, delete, sort, search, time span.
#include "DocumentTestSupport.h"

#include "DMProjectCoder.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

using namespace halcyra::test;

namespace {

class ProjectEditingTest : public DocumentTestBase
{
protected:
    void SetUp() override
    {
        DocumentTestBase::SetUp();
        full = makeFullProject();
        document = documentWithProject(full.project);
    }
    QList<quint64> topLevelIDs() const
    {
        QList<quint64> ids;
        for (const auto &item : full.project->tasks())
            ids.append(item->objectID());
        return ids;
    }

    FullProject full;
    std::shared_ptr<DMProjectDocument> document;
};

TEST_F(ProjectEditingTest, PasteMakesNewIdentitiesAndKeepsOnlyLinksAmongThePastedItems)
{
    // task1 -> milestone is copied along; milestone -> task2 leads outside and is left out.
    const QVariantMap payload = document->dictionaryForObjects({full.task1, full.milestone});
    const auto pasted = document->insertObjectFromDictionnariesInItemNextTo(payload, nullptr, nullptr);
    ASSERT_EQ(pasted.size(), 2);
    EXPECT_EQ(full.project->tasks().last(), pasted.last()); // appended at the top level
    auto task = std::dynamic_pointer_cast<DMProjectTask>(pasted.at(0));
    auto milestone = std::dynamic_pointer_cast<DMProjectMilestone>(pasted.at(1));
    ASSERT_TRUE(task && milestone);
    EXPECT_NE(task->objectID(), full.task1->objectID());
    EXPECT_NE(milestone->objectID(), full.milestone->objectID());
    EXPECT_EQ(full.project->objectWithIDAndClass<DMProjectTask>(task->objectID()), task);
    EXPECT_EQ(task->title(), full.task1->title());
    EXPECT_EQ(task->beginDate(), full.task1->beginDate());
    EXPECT_EQ(task->attributes(), full.task1->attributes());
    ASSERT_EQ(task->outboundDependencies().size(), 1);
    EXPECT_EQ(task->outboundDependencies().first()->toItem(), milestone);
    EXPECT_TRUE(milestone->outboundDependencies().isEmpty());
    // The originals are untouched and keep their links.
    EXPECT_EQ(full.task1->outboundDependencies().first()->toItem(), full.milestone);
    EXPECT_EQ(full.milestone->outboundDependencies().size(), 1);
    // Within the project the resources stay assigned.
    EXPECT_EQ(task->concernedResources().size(), 2);
    // The paste's undo step marks the document, once: undoing it leaves it unedited.
    finishEventLoopTurn();
    EXPECT_TRUE(document->isDocumentEdited());
    document->undoManager()->undo();
    EXPECT_FALSE(document->isDocumentEdited());
}

TEST_F(ProjectEditingTest, ClipboardCarriesItemsAcrossDocumentsWithoutForeignResources)
{
    document->copyItemsToClipboard({full.process});
    const QMimeData *mime = QGuiApplication::clipboard()->mimeData();
    ASSERT_TRUE(mime && mime->hasFormat(DMProjectDocument::kPasteboardType));
    EXPECT_TRUE(mime->text().contains(QStringLiteral("Works")));

    auto other = std::make_shared<DMProjectDocument>();
    other->initWithDefaultProject();
    const auto pasted = other->pasteFromClipboard();
    ASSERT_EQ(pasted.size(), 1);
    const auto &process = pasted.first();
    EXPECT_EQ(process->title(), QStringLiteral("Works"));
    ASSERT_EQ(process->subitems().size(), 3);
    auto task = std::dynamic_pointer_cast<DMProjectTask>(process->subitems().at(0));
    ASSERT_TRUE(task);
    EXPECT_TRUE(task->concernedResources().isEmpty()); // resources belong to the other project
    EXPECT_EQ(task->outboundDependencies().size(), 2); // to the milestone and to the task in the group
    EXPECT_EQ(process->subitems().at(2)->subitems().size(), 1);
    EXPECT_EQ(process->project(), other->project());

    // Pasting twice gives two distinct copies.
    const auto again = other->pasteFromClipboard();
    ASSERT_EQ(again.size(), 1);
    EXPECT_NE(again.first()->objectID(), process->objectID());
    EXPECT_EQ(other->project()->tasks().size(), 2);
}

TEST_F(ProjectEditingTest, PasteGoesRightAfterTheSiblingAndRefusesForeignClipboardContents)
{
    const QVariantMap payload = document->dictionaryForObjects({full.plainItem});
    const auto pasted = document->insertObjectFromDictionnariesInItemNextTo(payload, full.process, full.task1);
    ASSERT_EQ(pasted.size(), 1);
    EXPECT_EQ(full.process->subitems().at(1), pasted.first());
    EXPECT_EQ(pasted.first()->parentItem(), full.process);

    QGuiApplication::clipboard()->setText(QStringLiteral("just text"));
    const int beeps = DMBeep_count();
    EXPECT_TRUE(document->pasteFromClipboard().isEmpty());
    EXPECT_EQ(DMBeep_count(), beeps + 1);
}

TEST_F(ProjectEditingTest, DeleteItemsIsOneUndoStepThatRestoresEverything)
{
    const QVariantMap before = full.project->dictionaryRepresentation();
    const int steps = document->undoManager()->undoStepCount();
    // The task inside the deleted process is skipped; the link and the event go too.
    document->deleteItems({full.process, full.task1, full.plainItem, full.event2,
                           full.task2->inboundDependencies().first()});
    runUntilIdle();
    EXPECT_TRUE(full.project->tasks().isEmpty());
    EXPECT_EQ(full.project->eventContainer()->events().size(), 1);
    EXPECT_EQ(document->undoManager()->undoStepCount(), steps + 1);
    EXPECT_TRUE(document->isDocumentEdited());

    document->undoManager()->undo();
    const QVariantMap restored = full.project->dictionaryRepresentation();
    EXPECT_EQ(restored, before);
    document->undoManager()->redo();
    EXPECT_TRUE(full.project->tasks().isEmpty());
}

// (The task list's header clicks sort every level and the resources; here the events and dates.)
TEST_F(ProjectEditingTest, SortingOrdersTheEventsToo)
{
    document->sortProjectWithDescriptors({{QStringLiteral("title"), true}});
    EXPECT_EQ(full.project->eventContainer()->events().first()->title(), QStringLiteral("Audit"));
    document->sortProjectWithDescriptors({{QStringLiteral("beginDate"), false}});
    EXPECT_EQ(full.project->tasks().first()->title(), QStringLiteral("Note"));
}

TEST_F(ProjectEditingTest, PastingAndAttachingAreEditsThatUndoingTakesBack)
{
    // The document counts each as one change, told by the undo step alone: undone, the
    // document is as saved again. Each edit has a project of its own, and what it needs is set
    // up unrecorded, since the undo manager drops a second change of one setting made within
    // 0.2 s.
    const QString file = folder.filePath(QStringLiteral("notes.txt"));
    QFile notes(file);
    ASSERT_TRUE(notes.open(QIODevice::WriteOnly));
    notes.write("notes");
    notes.close();
    using Edit = std::function<void(DMProjectDocument &, FullProject &)>;
    const auto attached = [&file](DMProjectDocument &document, FullProject &project) {
        const QString key = document.addAttachedDocumentTableKey(file);
        project.task2->setAttribute(kDMProjectItem_AttachedDocuments, QVariantList{key});
        return key;
    };
    const std::pair<const char *, Edit> edits[] = {
        {"paste",
         [](DMProjectDocument &document, FullProject &project) {
             document.insertObjectFromDictionnariesInItemNextTo(document.dictionaryForObjects({project.task1}), nullptr,
                                                                nullptr);
         }},
        {"attach", [&file](DMProjectDocument &document, FullProject &) { document.addAttachedDocumentTableKey(file); }},
        {"detach",
         [&attached](DMProjectDocument &document, FullProject &project) {
             document.undoManager()->disableUndoRegistration();
             const QString key = attached(document, project);
             document.undoManager()->enableUndoRegistration();
             document.removeAttachedDocumentWithTableKeyFromTasks(key, {project.task2});
         }},
    };
    for (const auto &[name, edit] : edits) {
        FullProject project = makeFullProject();
        auto edited = documentWithProject(project.project);
        edit(*edited, project);
        finishEventLoopTurn();
        EXPECT_TRUE(edited->isDocumentEdited()) << name;
        EXPECT_EQ(edited->undoManager()->undoStepCount(), 1) << name;
        edited->undoManager()->undo();
        EXPECT_FALSE(edited->isDocumentEdited()) << name;
    }
}

TEST_F(ProjectEditingTest, TimeSpanAndSearch)
{
    auto early = makeItem<DMProjectEvent>(full.project, QStringLiteral("Kick-off"), at(2024, 2, 20, 15), at(2024, 2, 20, 16));
    full.project->eventContainer()->events().append(early);
    const QVariantMap span = document->effectiveProjectTimeSpan();
    EXPECT_EQ(span.value(QStringLiteral("begin")).value<DMDate>(), at(2024, 2, 20));
    EXPECT_EQ(span.value(QStringLiteral("end")).value<DMDate>(), at(2024, 7, 5)); // 28 June + 7 days, at 00:00

    const QVariantList results = document->searchResultsForField(QStringLiteral("SURVEY"));
    ASSERT_EQ(results.size(), 2);
    EXPECT_EQ(results.first().toMap().value(QStringLiteral("objectID")).toULongLong(), full.task1->objectID());
    EXPECT_EQ(document->searchResultsForField(QStringLiteral("kick")).size(), 1); // events too
    EXPECT_TRUE(document->searchResultsForField(QString()).isEmpty());
}

} // namespace
