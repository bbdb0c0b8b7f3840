// Attached documents and the package across the user's commands: items pasted into another
// project or back into their own bring their files along, a file attached to the project twice
// is held once, and after every save, undo and redo the package holds exactly the files that
// the saved project refers to.
#include "DocumentTestSupport.h"

#include "DMGanttUIObjectFactory.h"
#include "DMItemsViewObject.h"
#include "DMPreferenceKeys.h"
#include "DMProjectCoder.h"
#include "DMProjectDocumentItemsView.h"
#include "DMProjectDocumentProjectOutlineDS.h"
#include "DMProjectItemTree.h"
#include "DMProjectProcess.h"
#include "DMProjectTask.h"
#include "DMProjectView.h"
#include "DMPropertyList.h"
#include "DMUIProjectItem.h"
#include "DMUndoManager.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>

using namespace halcyra::test;

namespace {

class AttachedDocumentsTest : public DocumentTestBase
{
protected:
    void SetUp() override
    {
        DocumentTestBase::SetUp();
        DMGanttUIObjectFactory::registerWithModel();
        DMPreferenceKeys_writeDefaultValues();
        QGuiApplication::clipboard()->clear();
        contract = path(QStringLiteral("files/contract.txt"));
        writeFile(contract, "signed");
    }

    // A shown document with the process "Move day" holding the task "Pack", to which
    // contract.txt is attached, saved as the package.
    std::shared_ptr<DMProjectDocument> moveDayDocument(const QString &package)
    {
        auto document = shownDocumentWith({QStringLiteral("P:Move day")});
        const auto project = document->project();
        auto pack = makeItem<DMProjectTask>(project, QStringLiteral("Pack"), at(2024, 1, 8, 8), at(2024, 1, 9, 18));
        project->tasks().first()->subitems().append(pack);
        pack->setAttribute(kDMProjectItem_AttachedDocuments, QVariantList{document->addAttachedDocumentTableKey(contract)});
        save(*document, package, DMProjectDocument::SaveAsOperation);
        document->reloadViews();
        settle(document);
        return document;
    }

    static void save(DMProjectDocument &document, const QString &package,
                     DMProjectDocument::SaveOperationType operation = DMProjectDocument::SaveOperation)
    {
        QString error;
        EXPECT_TRUE(document.saveToPath(package, operation, &error)) << error.toStdString();
    }

    // The files in the package's Documents folder, each with its bytes, after checking that the
    // saved project refers to exactly these: every key listed by the project or an item names a
    // saved entry, and every saved entry is listed and names a file that is there.
    static QMap<QString, QByteArray> savedDocuments(const QString &package)
    {
        const QString documents = DMProjectPackage::documentsFolderPath(package);
        const QMap<QString, QByteArray> files = snapshot(documents);
        const auto saved = DMProjectCoder::loadProject(
            DMPropertyList::propertyListWithContentsOfFile(QDir(package).filePath(QStringLiteral("project.xml"))).toMap());
        EXPECT_TRUE(saved);
        if (!saved)
            return files;
        QSet<QString> listed;
        for (const QVariant &key : saved->attribute(kDMProject_AttachedDocuments).toList())
            listed.insert(key.toString());
        DMProjectItem_forEachItem(saved->tasks().list(), [&listed](DMProjectItem &item) {
            for (const QVariant &key : item.attribute(kDMProjectItem_AttachedDocuments).toList())
                listed.insert(key.toString());
        });
        const QVariantMap table = saved->attribute(kDMProject_AttachedDocumentsTable).toMap();
        QSet<QString> named;
        for (auto it = table.cbegin(); it != table.cend(); ++it) {
            EXPECT_TRUE(listed.contains(it.key())) << "unreferenced entry " << it.key().toStdString();
            named.insert(it.value().toMap().value(kDMProject_AttachedDocument_Path).toString());
        }
        for (const QString &key : listed)
            EXPECT_TRUE(table.contains(key)) << "no saved entry for " << key.toStdString();
        EXPECT_EQ(QSet<QString>(files.keyBegin(), files.keyEnd()), named);
        return files;
    }

    // The names of the Documents page's rows, separators included.
    static QStringList documentsPage(DMProjectDocument &document)
    {
        document.showPageWithTag(DMPage::DocumentsPage);
        finishEventLoopTurns();
        QStringList names;
        for (const DMItemsViewObject &entry : document.itemsView()->itemsViewContentsArray())
            if (entry.row)
                names.append(entry.row->value(kDMItemsViewDocumentItem_Name).toString());
        return names;
    }

    static void selectBar(DMProjectDocument &document, const std::shared_ptr<DMProjectItem> &item)
    {
        document.showPageWithTag(DMPage::GanttPage);
        DMProjectView *canvas = document.outlets().projectView;
        canvas->deselectAll();
        canvas->selectObjectInLayerExtendSelection(std::dynamic_pointer_cast<DMBaseObject>(item->ganttUIObject()), 1, false);
    }

    static QStringList keysOf(const std::shared_ptr<DMProjectItem> &item)
    {
        QStringList keys;
        for (const QVariant &key : item->attribute(kDMProjectItem_AttachedDocuments).toList())
            keys.append(key.toString());
        return keys;
    }

    QString contract;
    const QMap<QString, QByteArray> signedContract{{QStringLiteral("contract.txt"), "signed"}};
};

TEST_F(AttachedDocumentsTest, ItemsPastedIntoAnotherProjectBringTheirFilesIntoItsPackage)
{
    const QString sourcePackage = path(QStringLiteral("Move.hy2"));
    auto source = moveDayDocument(sourcePackage);
    EXPECT_EQ(savedDocuments(sourcePackage), signedContract);
    auto target = shownDocumentWith({QStringLiteral("Survey")});
    const QString targetPackage = path(QStringLiteral("Office.hy2"));
    save(*target, targetPackage, DMProjectDocument::SaveAsOperation);

    selectBar(*source, source->project()->tasks().first());
    source->copy();
    target->showPageWithTag(DMPage::GanttPage);
    target->paste();
    ASSERT_EQ(target->project()->tasks().size(), 2);
    const auto pasted = target->project()->tasks().last()->subitems().list().value(0);
    ASSERT_TRUE(pasted);
    EXPECT_EQ(keysOf(pasted), QStringList{"contract.txt"});
    EXPECT_EQ(documentsPage(*target), (QStringList{"Project", "Tasks", "contract.txt"}));
    save(*target, targetPackage);
    EXPECT_EQ(savedDocuments(targetPackage), signedContract);

    // Undone, the paste takes its file out of the package at the next save; redone, it brings
    // it back.
    DMUndoManager *undo = target->undoManager();
    undo->undo();
    EXPECT_EQ(target->project()->tasks().size(), 1);
    save(*target, targetPackage);
    EXPECT_TRUE(savedDocuments(targetPackage).isEmpty());
    undo->redo();
    save(*target, targetPackage);
    EXPECT_EQ(savedDocuments(targetPackage), signedContract);

    // The copy still brings its file once the project it came from is closed; the file the
    // target holds already is not stored twice.
    source->close();
    finishEventLoopTurns();
    target->showPageWithTag(DMPage::GanttPage);
    target->paste();
    ASSERT_EQ(target->project()->tasks().size(), 3);
    EXPECT_EQ(keysOf(target->project()->tasks().last()->subitems().list().value(0)), QStringList{"contract.txt"});
    save(*target, targetPackage);
    EXPECT_EQ(savedDocuments(targetPackage), signedContract);
    undo->undo();
    undo->undo();
    save(*target, targetPackage);
    EXPECT_TRUE(savedDocuments(targetPackage).isEmpty());

    // A file that cannot be had any more is left off the pasted item, and the user is told.
    ASSERT_TRUE(QFile::remove(DMProjectPackage::documentsFolderPath(sourcePackage) + QStringLiteral("/contract.txt")));
    const qsizetype alerts = ui.alerts.size();
    target->paste();
    ASSERT_EQ(target->project()->tasks().size(), 2);
    EXPECT_TRUE(keysOf(target->project()->tasks().last()->subitems().list().value(0)).isEmpty());
    ASSERT_EQ(ui.alerts.size(), alerts + 1);
    EXPECT_TRUE(ui.alerts.last().informativeText.contains(QStringLiteral("contract.txt")));

    // Any program can fill the clipboard: a file it names there is never taken.
    const QString secret = path(QStringLiteral("outside/secret.txt"));
    writeFile(secret, "SECRET");
    QVariantMap payload = target->dictionaryForObjects({target->project()->tasks().first()});
    payload.insert(QStringLiteral("attachedDocuments"), QVariantMap{{QStringLiteral("Survey"), secret}});
    payload.insert(QStringLiteral("attachedDocumentFiles"), QVariantMap{{QStringLiteral("Survey"), secret}});
    QVariantMap survey = payload.value(QStringLiteral("items")).toList().first().toMap();
    survey.insert(QStringLiteral("attributes"), DMProjectCoder::encodeAttributes(
                                                    {{kDMProjectItem_AttachedDocuments, QVariantList{QStringLiteral("Survey")}}}));
    payload.insert(QStringLiteral("items"), QVariantList{survey});
    payload.insert(QStringLiteral("projectToken"), QStringLiteral("elsewhere"));
    auto *crafted = new QMimeData;
    crafted->setData(DMProjectDocument::kPasteboardType, DMPropertyList::dataWithPropertyList(payload));
    QGuiApplication::clipboard()->setMimeData(crafted);
    target->paste();
    ASSERT_EQ(target->project()->tasks().size(), 3);
    EXPECT_TRUE(keysOf(target->project()->tasks().last()).isEmpty());
    EXPECT_TRUE(ui.alerts.last().informativeText.contains(QStringLiteral("Survey")));
    save(*target, targetPackage);
    EXPECT_TRUE(savedDocuments(targetPackage).isEmpty());
}

// The item is copied, its document deleted on the Documents page and the item itself deleted;
// the paste refers to the file again, so the save keeps it.
TEST_F(AttachedDocumentsTest, ItemsPastedBackIntoTheirProjectHoldTheirFilesAfterTheOriginalsWentAway)
{
    const QString package = path(QStringLiteral("Move.hy2"));
    auto document = moveDayDocument(package);
    const auto moveDay = document->project()->tasks().first();
    selectBar(*document, moveDay);
    document->copy();

    EXPECT_EQ(documentsPage(*document), (QStringList{"Project", "Tasks", "contract.txt"}));
    document->itemsView()->itemsCollectionView()->setSelectionIndexes({2});
    document->itemsView()->itemsViewDelete();
    EXPECT_EQ(documentsPage(*document), (QStringList{"Project", "Tasks"}));
    selectBar(*document, moveDay);
    document->deleteSelectedItem();
    EXPECT_TRUE(document->project()->tasks().isEmpty());
    save(*document, package);
    EXPECT_TRUE(savedDocuments(package).isEmpty());

    document->paste();
    ASSERT_EQ(document->project()->tasks().size(), 1);
    EXPECT_EQ(documentsPage(*document), (QStringList{"Project", "Tasks", "contract.txt"}));
    save(*document, package);
    EXPECT_EQ(savedDocuments(package), signedContract);

    DMUndoManager *undo = document->undoManager();
    undo->undo();
    save(*document, package);
    EXPECT_TRUE(savedDocuments(package).isEmpty());
    undo->redo();
    save(*document, package);
    EXPECT_EQ(savedDocuments(package), signedContract);
    // Undoing every step brings back the original with its file, and only it.
    while (undo->canUndo())
        undo->undo();
    ASSERT_EQ(document->project()->tasks().size(), 1);
    EXPECT_EQ(keysOf(document->project()->tasks().first()->subitems().list().value(0)), QStringList{"contract.txt"});
    save(*document, package);
    EXPECT_EQ(savedDocuments(package), signedContract);
}

// Rows dropped from one document's outline into another's bring their files, however many; they
// are no copy to the clipboard, which still pastes its items with their files afterwards.
TEST_F(AttachedDocumentsTest, DropsBetweenDocumentsBringTheirFilesAndLeaveTheClipboardPastable)
{
    auto source = moveDayDocument(path(QStringLiteral("Move.hy2")));
    auto target = shownDocumentWith({QStringLiteral("P:Survey")});
    selectBar(*source, source->project()->tasks().first());
    source->copy();

    const auto moveDay = source->project()->tasks().first();
    const auto survey = target->project()->tasks().first();
    target->showPageWithTag(DMPage::GanttPage);
    for (int drop = 1; drop <= 10; ++drop) {
        QMimeData pasteboard;
        ASSERT_TRUE(source->projectOutlineDS()->outlineViewWriteItemsToPasteboard(nullptr, {moveDay.get()}, &pasteboard));
        ASSERT_TRUE(target->projectOutlineDS()->outlineViewAcceptDropItemChildIndex(nullptr, DMDraggingInfo{&pasteboard},
                                                                                   survey.get(), -1));
        ASSERT_EQ(survey->subitems().size(), drop);
        EXPECT_EQ(keysOf(survey->subitems().list().last()->subitems().list().value(0)), QStringList{"contract.txt"});
    }

    const qsizetype alerts = ui.alerts.size();
    target->showPageWithTag(DMPage::GanttPage);
    target->paste();
    ASSERT_EQ(target->project()->tasks().size(), 2);
    EXPECT_EQ(keysOf(target->project()->tasks().last()->subitems().list().value(0)), QStringList{"contract.txt"});
    EXPECT_EQ(ui.alerts.size(), alerts);
}

// A copied item's file that became something other than a regular file (a FIFO) is left off the
// pasted item, and the user is told once, by the paste.
TEST_F(AttachedDocumentsTest, AFileThatIsNoLongerRegularIsLeftOffAPastedItemWithOneAlert)
{
    auto source = shownDocumentWith({QStringLiteral("Pack")});
    const auto pack = source->project()->tasks().first();
    pack->setAttribute(kDMProjectItem_AttachedDocuments, QVariantList{source->addAttachedDocumentTableKey(contract)});
    auto target = shownDocumentWith({QStringLiteral("Survey")});
    selectBar(*source, pack);
    source->copy();
    ASSERT_TRUE(QFile::remove(contract));
    makeFifo(contract);

    const qsizetype alerts = ui.alerts.size();
    target->showPageWithTag(DMPage::GanttPage);
    target->paste();
    ASSERT_EQ(target->project()->tasks().size(), 2);
    EXPECT_TRUE(keysOf(target->project()->tasks().last()).isEmpty());
    ASSERT_EQ(ui.alerts.size(), alerts + 1);
    EXPECT_TRUE(ui.alerts.last().informativeText.contains(QStringLiteral("contract.txt")));
    EXPECT_TRUE(target->project()->attribute(kDMProject_AttachedDocumentsTable).toMap().isEmpty());
}

TEST_F(AttachedDocumentsTest, AFileAttachedToTheProjectTwiceLeavesThePackageWhenItsRowIsDeleted)
{
    auto document = shownDocumentWith({QStringLiteral("Survey")});
    const QString package = path(QStringLiteral("Office.hy2"));
    save(*document, package, DMProjectDocument::SaveAsOperation);
    DMProjectDocumentItemsView &items = *document->itemsView();
    document->showPageWithTag(DMPage::DocumentsPage);
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(contract)});
    ASSERT_TRUE(items.dmCollectionViewPerformDragOperation(items.itemsCollectionView(), {&files, nullptr, Qt::CopyAction}));
    save(*document, package);
    EXPECT_EQ(savedDocuments(package), signedContract);

    // Dropped again and chosen again with New: still one row, one file.
    ASSERT_TRUE(items.dmCollectionViewPerformDragOperation(items.itemsCollectionView(), {&files, nullptr, Qt::CopyAction}));
    ui.openPanelPaths = {contract};
    items.itemsViewNew();
    EXPECT_EQ(documentsPage(*document), (QStringList{"Project", "contract.txt", "Tasks"}));

    items.itemsCollectionView()->setSelectionIndexes({1});
    items.itemsViewDelete();
    EXPECT_EQ(documentsPage(*document), (QStringList{"Project", "Tasks"}));
    save(*document, package);
    EXPECT_TRUE(savedDocuments(package).isEmpty());

    DMUndoManager *undo = document->undoManager();
    undo->undo();
    EXPECT_EQ(documentsPage(*document), (QStringList{"Project", "contract.txt", "Tasks"}));
    save(*document, package);
    EXPECT_EQ(savedDocuments(package), signedContract);
    undo->redo();
    save(*document, package);
    EXPECT_TRUE(savedDocuments(package).isEmpty());
}

// Counts read from a package are not trusted: an earlier version wrote none, and a count can
// include items deleted before the save. Opened, the project counts what refers to each file.
TEST_F(AttachedDocumentsTest, AnOpenedPackageCountsWhatItsProjectRefersTo)
{
    const auto writePackage = [this](const QString &package, const QVariantMap &record, bool attachedToProject) {
        auto project = DMProject::create();
        auto task = makeItem<DMProjectTask>(project, QStringLiteral("Pack"), at(2024, 1, 8, 8), at(2024, 1, 9, 18));
        project->tasks().append(task);
        task->setAttribute(kDMProjectItem_AttachedDocuments, QVariantList{QStringLiteral("contract.txt")});
        if (attachedToProject)
            project->setAttribute(kDMProject_AttachedDocuments, QVariantList{QStringLiteral("contract.txt")});
        project->setAttribute(kDMProject_AttachedDocumentsTable, QVariantMap{{QStringLiteral("contract.txt"), record}});
        writeFile(DMProjectPackage::documentsFolderPath(package) + QStringLiteral("/contract.txt"), "signed");
        writeFile(package + QStringLiteral("/project.xml"), DMPropertyList::dataWithPropertyList(project->dictionaryRepresentation()));
    };
    const QVariantMap stored{{kDMProject_AttachedDocument_Path, QStringLiteral("contract.txt")},
                             {kDMProject_AttachedDocument_PendingAttachment, false}};

    // Written without counts, attached to the project and to the task: deleting the project's
    // row keeps the file, which the task still has.
    const QString older = path(QStringLiteral("Older.hy2"));
    writePackage(older, stored, true);
    QString error;
    auto document = open(older, &error);
    ASSERT_TRUE(document) << error.toStdString();
    showWindow(document);
    EXPECT_EQ(documentsPage(*document), (QStringList{"Project", "contract.txt", "Tasks", "contract.txt"}));
    document->itemsView()->itemsCollectionView()->setSelectionIndexes({1});
    document->itemsView()->itemsViewDelete();
    save(*document, older);
    EXPECT_EQ(savedDocuments(older), signedContract);

    // Saved with a count of 3 that held deleted tasks: deleting the one row that is left takes
    // the file out.
    QVariantMap stale = stored;
    stale.insert(QStringLiteral("kDMProject_AttachedDocument_ReferenceCount"), 3);
    const QString staleCount = path(QStringLiteral("Stale.hy2"));
    writePackage(staleCount, stale, false);
    document = open(staleCount, &error);
    ASSERT_TRUE(document) << error.toStdString();
    showWindow(document);
    EXPECT_EQ(documentsPage(*document), (QStringList{"Project", "Tasks", "contract.txt"}));
    document->itemsView()->itemsCollectionView()->setSelectionIndexes({2});
    document->itemsView()->itemsViewDelete();
    save(*document, staleCount);
    EXPECT_TRUE(savedDocuments(staleCount).isEmpty());
}

} // namespace
