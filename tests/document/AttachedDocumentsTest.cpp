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

} // namespace
