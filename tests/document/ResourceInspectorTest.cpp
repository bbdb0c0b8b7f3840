// The resource inspector opened from the project outline in the resource view: it points at the
// row clicked, a vCard filled into it edits the document as one undo step, and it closes with
// the document.
#include "DocumentTestSupport.h"

#include "DMAttachedWindow.h"
#include "DMOutlineView.h"
#include "DMProjectDocumentProjectOutlineDS.h"
#include "DMProjectResourceEditorController.h"
#include "DMProjectResourcesOutlineViewDS.h"

#include <QBuffer>
#include <QCursor>
#include <QMainWindow>
#include <QTest>

using namespace halcyra::test;

namespace {

class ResourceInspectorTest : public DocumentTestBase
{
protected:
    std::shared_ptr<DMProjectResource> addResource(const std::shared_ptr<DMProject> &project, const QString &name,
                                                   int kind = DMProjectResource::Resource,
                                                   const std::shared_ptr<DMProjectResource> &group = nullptr)
    {
        auto resource = std::make_shared<DMProjectResource>(kind);
        resource->setProject(project);
        resource->setName(name);
        (group ? group->subitems() : project->resources()).append(resource);
        return resource;
    }
};

QByteArray cardWithPhoto()
{
    QImage photo(120, 120, QImage::Format_RGB32);
    photo.fill(QColor(40, 110, 180));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    photo.save(&buffer, "PNG");
    return "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Øster;Zoë;;;\r\nFN:Zoë Øster\r\nEMAIL;TYPE=PREF:zoe@example.org\r\n"
           "TEL;TYPE=CELL:+41 79 000 00 00\r\nPHOTO;ENCODING=b;TYPE=PNG:"
        + png.toBase64() + "\r\nEND:VCARD\r\n";
}

// A project of January 2024 shown by resources, still loading (its resources join without
// undo steps) until the test ends the loading.
std::shared_ptr<DMProject> januaryProjectByResources()
{
    auto project = DMProject::create();
    project->beginLoading();
    project->setBeginDate(DMDate(2024, 1, 1, 0));
    project->setEndDate(DMDate(2024, 1, 31, 0));
    project->setAttribute(kDMProject_ViewMode, 1);
    return project;
}

} // namespace

TEST_F(ResourceInspectorTest, AResourceRowOpensTheInspectorPointingAtItAndItsEditsAreUndoable)
{
    auto project = januaryProjectByResources();
    project->setAttribute(kDMProject_Settings_CurrencyUnit, QStringLiteral("EUR"));
    const auto ann = addResource(project, QStringLiteral("Ann"));
    const auto crew = addResource(project, QStringLiteral("Crew"), DMProjectResource::Group);
    addResource(project, QStringLiteral("Bob"), DMProjectResource::Resource, crew);
    project->endLoading();
    auto document = documentWithProject(project);
    showWindow(document, QSize(1000, 600));

    DMOutlineView *outline = document->outlets().projectOutlineView;
    ASSERT_TRUE(outline);
    const int row = outline->rowForItem(DMProjectDocumentProjectOutlineDS::itemForObject(ann.get()));
    ASSERT_GE(row, 0);
    const int title = outline->columnWithIdentifier(QStringLiteral("title"));
    const QPoint click = outline->frameOfCellAtColumnRow(title, row).center() - outline->contentOffset();
    outline->selectRowIndexesByExtendingSelection({row}, false);
    QCursor::setPos(outline->viewport()->mapToGlobal(click));
    // A widget's double click comes after the press of its first click.
    QTest::mouseClick(outline->viewport(), Qt::LeftButton, Qt::NoModifier, click);
    QTest::mouseDClick(outline->viewport(), Qt::LeftButton, Qt::NoModifier, click);

    DMProjectResourceEditorController *inspector = DMProjectResourceEditorController::sharedInstance();
    ASSERT_TRUE(waitFor([&] { return inspector->isShown(); }));
    EXPECT_EQ(inspector->editedObject(), ann);
    DMAttachedWindow *popover = inspector->containerWindow();
    ASSERT_TRUE(popover);
    const QPoint tip = outline->viewport()->mapToGlobal(click);
    EXPECT_EQ(popover->side(), kDMAttachedWindowSide_Below);
    EXPECT_EQ(popover->frame().top(), tip.y());
    EXPECT_NEAR(popover->frame().center().x(), tip.x(), 2);
    EXPECT_FALSE(document->isDocumentEdited());

    // A person's vCard dropped on it: the document is edited, and one undo puts everything back.
    QString error;
    ASSERT_TRUE(inspector->fillEditedObjectWithVCardData(cardWithPhoto(), &error)) << error.toStdString();
    runUntilIdle();
    EXPECT_TRUE(document->isDocumentEdited());
    const int titleColumn = outline->outlineModel()->logicalColumnWithIdentifier(QStringLiteral("title"));
    EXPECT_EQ(outline->outlineModel()->data(outline->outlineModel()->indexForRow(row, titleColumn)).toString(), "Zoë Øster");
    document->undoManager()->undo();
    EXPECT_FALSE(document->isDocumentEdited());
    EXPECT_EQ(ann->name(), "Ann");
    EXPECT_FALSE(ann->attributes().contains(kDMProjectResource_Icon));

    // No popover outlives its document.
    document->close();
    EXPECT_FALSE(inspector->isShown());
    EXPECT_EQ(inspector->editedObject(), nullptr);
}

TEST_F(ResourceInspectorTest, AResourceMovedIntoAGroupByTheInspectorShowsOnceUnderItInTheListAndTheOutline)
{
    auto project = januaryProjectByResources();
    const auto ann = addResource(project, QStringLiteral("Ann"));
    const auto crew = addResource(project, QStringLiteral("Crew"), DMProjectResource::Group);
    addResource(project, QStringLiteral("Bob"), DMProjectResource::Resource, crew);
    project->endLoading();
    auto document = documentWithProject(project);
    showWindow(document, QSize(1000, 600));
    document->showPageWithTag(DMPage::ResourcesPage);
    DMOutlineView *list = document->projectResourcesOutlineViewDS()->outlineView();
    list->expandItem(DMProjectListController::itemForObject(crew.get()));
    ASSERT_EQ(rowsOf(list, QStringLiteral("name")), (QStringList{"Ann", "Crew", ".Bob"}));

    // The group pop-up counts "None" and the separator before the groups.
    DMProjectResourceEditorController *inspector = DMProjectResourceEditorController::sharedInstance();
    inspector->setEditedObject(ann);
    ASSERT_EQ(inspector->resourceGroups().size(), 1);
    inspector->resourceGroupsPopupCallback(2);
    runUntilIdle();
    ASSERT_EQ(ann->parentItem(), crew);
    EXPECT_EQ(rowsOf(list, QStringLiteral("name")), (QStringList{"Crew", ".Bob", ".Ann"}));

    // The resource view's outline beside the chart shows it in its new place too.
    document->showPageWithTag(DMPage::ByResourcesPage);
    runUntilIdle();
    DMOutlineView *outline = document->outlets().projectOutlineView;
    outline->expandItem(DMProjectDocumentProjectOutlineDS::itemForObject(crew.get()));
    EXPECT_EQ(rowsOf(outline).count(QStringLiteral(".Ann")) + rowsOf(outline).count(QStringLiteral("Ann")), 1);
    EXPECT_TRUE(rowsOf(outline).contains(QStringLiteral(".Ann")));
}
