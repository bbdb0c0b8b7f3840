// The resource popover: vCards written by hand fill a resource as one undo step, damaged ones
// change nothing and say so, icons are fitted to the icon size, resources move between groups,
// and the popover closes when the user turns to another window.
#include "SideViewsTestSupport.h"

#include "DMAttachedWindow.h"
#include "DMBeep.h"
#include "DMNotificationCenter.h"
#include "DMProjectDocumentHooks.h"
#include "DMProjectKeys.h"
#include "DMProjectResource.h"
#include "DMProjectResourceEditorController.h"
#include "DMTextField.h"

#include <QBuffer>
#include <QComboBox>
#include <QDropEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMimeData>
#include <QPainter>
#include <QTemporaryDir>
#include <QUrl>
#include <QWindow>

using namespace sideviewstest;
using halcyra::test::waitFor;

namespace {

QByteArray pngOfSize(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(30, 120, 200));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// A version 3.0 card as address books export it: folded lines, UTF-8 names, a photo in base64
// folded at 60 characters.
QByteArray foldedCardWithPhoto()
{
    const QByteArray photo = pngOfSize(200, 100).toBase64();
    QByteArray card = "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Øster;Zoë;;;\r\nFN:Zoë\r\n  Øster\r\n"
                      "EMAIL;TYPE=INTERNET,WORK:zoe@work.example\r\n"
                      "EMAIL;TYPE=INTERNET,HOME,PREF:zoe@example.org\r\n"
                      "TEL;TYPE=CELL:+41 79\r\n  000 00 00\r\nPHOTO;ENCODING=b;TYPE=PNG:";
    for (qsizetype i = 0; i < photo.size(); i += 60)
        card += (i ? "\r\n " : "") + photo.mid(i, 60);
    return card + "\r\nEND:VCARD\r\n";
}

class ResourceEditorTest : public PopoverTestBase
{
protected:
    void SetUp() override
    {
        PopoverTestBase::SetUp();
        resource = addResource(QStringLiteral("Ann"));
        endTurn();
        undoManager.removeAllActions();
        document.changeCount = 0;
        editor->setEditedObject(resource);
    }
    void TearDown() override
    {
        editor->close();
        PopoverTestBase::TearDown();
    }
    std::shared_ptr<DMProjectResource> addResource(const QString &name, int kind = DMProjectResource::Resource,
                                                   const std::shared_ptr<DMProjectResource> &group = nullptr)
    {
        auto made = std::make_shared<DMProjectResource>(kind);
        made->setProject(project);
        made->setName(name);
        (group ? group->subitems() : project->resources()).append(made);
        return made;
    }
    void expectUnchanged(const char *row)
    {
        EXPECT_EQ(resource->name(), "Ann") << row;
        EXPECT_EQ(resource->attributes(), (QVariantMap{{kDMProjectResource_Human, true}})) << row;
        EXPECT_EQ(undoManager.undoStepCount(), 0) << row;
        EXPECT_EQ(document.changeCount, 0) << row;
    }
    // Sends the drag's steps to the popover's drop view; answers whether the drop was taken.
    Qt::DropAction enter(const QMimeData &data)
    {
        QDragEnterEvent event(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(editor->dropView(), &event);
        return event.isAccepted() ? event.dropAction() : Qt::IgnoreAction;
    }
    bool drop(const QMimeData &data)
    {
        QDropEvent event(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(editor->dropView(), &event);
        return event.isAccepted();
    }

    DMProjectResourceEditorController *editor = DMProjectResourceEditorController::sharedInstance();
    std::shared_ptr<DMProjectResource> resource;
};

} // namespace

TEST_F(ResourceEditorTest, VCardsWrittenByHandFillTheResourceAsOneUndoStep)
{
    const struct
    {
        const char *name;
        QByteArray card;
        QString resourceName, email, phone;
        QSize icon;
    } rows[] = {
        {"folded lines, UTF-8 names and a photo", foldedCardWithPhoto(), "Zoë Øster", "zoe@example.org",
         "+41 79 000 00 00", QSize(64, 32)},
        {"quoted-printable of an older writer",
         "BEGIN:VCARD\nVERSION:2.1\nN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:M=C3=BCller;J=C3=B6rg\n"
         "TEL;WORK;PREF:555-0199\nEND:VCARD\n",
         "Jörg Müller", "", "555-0199", QSize(0, 0)},
        {"only an organization", "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:\r\nORG:Acme Bridges Ltd;Design\r\nEND:VCARD\r\n",
         "Acme Bridges Ltd", "", "", QSize(0, 0)},
    };
    for (const auto &row : rows) {
        QString error;
        ASSERT_TRUE(editor->fillEditedObjectWithVCardData(row.card, &error)) << row.name << error.toStdString();
        EXPECT_EQ(resource->name(), row.resourceName) << row.name;
        EXPECT_EQ(resource->attribute(kDMProjectResource_Email).toString(), row.email) << row.name;
        EXPECT_EQ(resource->attribute(kDMProjectResource_Phone).toString(), row.phone) << row.name;
        EXPECT_EQ(resource->attribute(kDMProjectResource_Icon).value<QImage>().size(), row.icon) << row.name;
        EXPECT_EQ(editor->nameField()->text(), row.resourceName) << row.name; // the popover follows
        endTurn();
        EXPECT_EQ(undoManager.undoStepCount(), 1) << row.name;
        EXPECT_EQ(document.changeCount, 1) << row.name;
        undoManager.undo();
        undoManager.removeAllActions();
        expectUnchanged(row.name);
        // The next row's changes of the same keys must not fall within the undo manager's
        // coalescing time of this row's.
        halcyra::test::skipTime(250);
    }
}

TEST_F(ResourceEditorTest, ADamagedVCardChangesNothingAndSaysWhy)
{
    const struct
    {
        const char *name;
        QByteArray card;
        QString reason;
    } rows[] = {
        {"truncated", "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Zoë Øster\r\nEMAIL:zoe@exa",
         "The vCard ends before its last card is complete."},
        {"photo that is no base64", "BEGIN:VCARD\nVERSION:3.0\nFN:Zoë\nPHOTO;ENCODING=b:**\nEND:VCARD\n",
         "The picture in the vCard is damaged."},
        {"photo that is no image",
         "BEGIN:VCARD\nVERSION:3.0\nFN:Zoë\nEMAIL:z@example.org\nPHOTO;ENCODING=b:" + QByteArray("not an image").toBase64()
             + "\nEND:VCARD\n",
         "The picture in the vCard is not an image that can be read."},
        {"nothing a resource takes", "BEGIN:VCARD\nVERSION:3.0\nNOTE:hello\nEND:VCARD\n",
         "The vCard holds no name, picture, telephone number or e-mail address."},
    };
    for (const auto &row : rows) {
        ui.alerts.clear();
        QMimeData data;
        data.setData(QStringLiteral("text/vcard"), row.card);
        EXPECT_EQ(enter(data), Qt::CopyAction) << row.name; // offered as a vCard, so taken on entry
        EXPECT_FALSE(drop(data)) << row.name;
        ASSERT_TRUE(waitFor([&] { return !ui.alerts.isEmpty(); })) << row.name;
        EXPECT_EQ(ui.alerts.first().messageText, "The vCard could not be read.") << row.name;
        EXPECT_EQ(ui.alerts.first().informativeText, row.reason) << row.name;
        endTurn();
        expectUnchanged(row.name);
    }
}

TEST_F(ResourceEditorTest, DropsAreTakenOnlyWhenTheyOfferAVCardForAResource)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("kim.VCF"));
    writeFile(path, "BEGIN:VCARD\nVERSION:4.0\nFN:Kim Lee\nEMAIL;PREF=1:kim@example.net\nEND:VCARD\n");

    QMimeData text;
    text.setText(QStringLiteral("Kim Lee"));
    EXPECT_EQ(enter(text), Qt::IgnoreAction);
    QMimeData fileDrop;
    fileDrop.setUrls({QUrl::fromLocalFile(path)});
    EXPECT_EQ(enter(fileDrop), Qt::CopyAction);

    const auto group = addResource(QStringLiteral("Crew"), DMProjectResource::Group);
    editor->setEditedObject(group); // a group is no person
    EXPECT_EQ(enter(fileDrop), Qt::IgnoreAction);

    editor->setEditedObject(resource);
    EXPECT_TRUE(drop(fileDrop));
    EXPECT_EQ(resource->name(), "Kim Lee");
    EXPECT_EQ(resource->attribute(kDMProjectResource_Email).toString(), "kim@example.net");

    // The same file chosen with the open panel.
    resource->setName(QStringLiteral("Ann"));
    ui.openPanelPaths = {path};
    editor->chooseVCard();
    EXPECT_EQ(resource->name(), "Kim Lee");
    EXPECT_EQ(ui.openPanels.last().allowedExtensions, QStringList({"vcf", "vcard"}));
}

TEST_F(ResourceEditorTest, AnIconIsScaledToIconSizeAndAnImageThatDoesNotReadChangesNothing)
{
    QTemporaryDir folder;
    const QString large = folder.filePath(QStringLiteral("large.png"));
    writeFile(large, pngOfSize(1600, 800));
    const QString broken = folder.filePath(QStringLiteral("broken.png"));
    writeFile(broken, pngOfSize(10, 10).left(30));

    ui.openPanelPaths = {broken};
    editor->chooseIcon();
    ASSERT_EQ(ui.alerts.size(), 1);
    EXPECT_EQ(ui.alerts.first().messageText, "The image could not be read.");
    EXPECT_EQ(ui.alerts.first().informativeText, "\"broken.png\" is not an image that can be read.");
    endTurn();
    expectUnchanged("broken image");

    ui.openPanelPaths = {large};
    editor->chooseIcon();
    EXPECT_EQ(ui.openPanels.last().title, "Choose Image");
    EXPECT_TRUE(ui.openPanels.last().allowedExtensions.contains("png"));
    const QImage icon = resource->attribute(kDMProjectResource_Icon).value<QImage>();
    EXPECT_EQ(icon.size(), QSize(64, 32));
    EXPECT_EQ(icon.pixelColor(32, 16), QColor(30, 120, 200));
    endTurn();
    EXPECT_EQ(undoManager.undoStepCount(), 1);
    EXPECT_EQ(document.changeCount, 1);
}

TEST_F(ResourceEditorTest, GroupsAreListedInTreeOrderAndAResourceMovesBetweenThem)
{
    const auto crew = addResource(QStringLiteral("Crew"), DMProjectResource::Group);
    const auto divers = addResource(QStringLiteral("Divers"), DMProjectResource::Group, crew);
    const auto bob = addResource(QStringLiteral("Bob"), DMProjectResource::Resource, crew);
    const auto office = addResource(QStringLiteral("Office"), DMProjectResource::Group);
    endTurn();
    undoManager.removeAllActions();
    document.changeCount = 0;

    editor->setEditedObject(bob);
    QStringList titles;
    for (const auto &entry : editor->resourceGroups())
        titles << entry.itemTitle;
    EXPECT_EQ(titles, QStringList({"Crew", "  Divers", "Office"}));
    QComboBox *popup = editor->resourceGroupsPopup();
    EXPECT_EQ(popup->count(), 5); // "None", the separator and the three groups
    EXPECT_EQ(popup->currentIndex(), 2);

    // "None" for a resource already at the top level changes nothing.
    editor->setEditedObject(resource);
    editor->resourceGroupsPopupCallback(0);
    endTurn();
    EXPECT_EQ(undoManager.undoStepCount(), 0);

    // A member chooses "None": it goes to the end of the top level, as one undo step, and the
    // items view is asked to show the top level.
    std::shared_ptr<DMProject> openedProject;
    std::shared_ptr<DMProjectResource> opened;
    QObject listener; // the connection ends with the test
    QObject::connect(editor, &DMProjectResourceEditorController::resourceGroupOpened, &listener,
                     [&](const std::shared_ptr<DMProject> &inProject, const std::shared_ptr<DMProjectResource> &group) {
                         openedProject = inProject;
                         opened = group;
                     });
    editor->setEditedObject(bob);
    editor->resourceGroupsPopupCallback(0);
    EXPECT_EQ(project->resources().list().last(), bob);
    EXPECT_EQ(bob->parentItem(), nullptr);
    EXPECT_EQ(openedProject, project);
    EXPECT_EQ(opened, nullptr);
    EXPECT_EQ(editor->editedObject(), nullptr);
    endTurn();
    EXPECT_EQ(undoManager.undoStepCount(), 1);
    undoManager.undo();
    EXPECT_EQ(bob->parentItem(), crew);

    // A group never goes into itself or its own subgroup.
    const int beeps = DMBeep_count();
    editor->setEditedObject(crew);
    editor->resourceGroupsPopupCallback(3); // "  Divers"
    EXPECT_EQ(DMBeep_count(), beeps + 1);
    EXPECT_EQ(divers->parentItem(), crew);
    EXPECT_EQ(crew->parentItem(), nullptr);
    editor->resourceGroupsPopupCallback(4); // "Office"
    EXPECT_EQ(crew->parentItem(), office);
    EXPECT_EQ(opened, office);

    // A group removed from the project while the popover is open is refused: the resource stays
    // in the project where it was, and the pop-up lists the groups left.
    editor->setEditedObject(resource);
    ASSERT_EQ(editor->resourceGroups().size(), 3);
    project->resources().removeOne(office);
    editor->resourceGroupsPopupCallback(4); // "Office", gone
    EXPECT_EQ(DMBeep_count(), beeps + 2);
    EXPECT_EQ(resource->parentItem(), nullptr);
    EXPECT_TRUE(resource->isAttached());
    EXPECT_TRUE(project->resources().contains(resource));
    EXPECT_EQ(editor->resourceGroupsPopup()->count(), 2); // "None" and the separator
}

TEST_F(ResourceEditorTest, FieldsWriteTheResourceOneUndoStepEach)
{
    project->setAttribute(kDMProject_Settings_CurrencyUnit, QStringLiteral("EUR"));
    endTurn();
    undoManager.removeAllActions();
    editor->setEditedObject(resource);
    EXPECT_EQ(editor->costField()->text(), "EUR 0.00");

    editor->nameField()->setText(QStringLiteral("Ann Smith"));
    emit editor->nameField()->editingFinished();
    endTurn();
    editor->costField()->setText(QStringLiteral("EUR 1,250.5"));
    emit editor->costField()->textEdited(editor->costField()->text());
    emit editor->costField()->editingFinished();
    endTurn();
    EXPECT_EQ(resource->name(), "Ann Smith");
    EXPECT_FLOAT_EQ(resource->attribute(kDMProjectResource_HourlyCost).toFloat(), 1250.5f);
    EXPECT_EQ(undoManager.undoStepCount(), 2);

    // Text that does not read as an amount (the other decimal mark included) beeps and snaps
    // back to the stored one.
    const int beeps = DMBeep_count();
    for (const char *typed : {"lots", "12,5"}) {
        editor->costField()->setText(QString::fromLatin1(typed));
        emit editor->costField()->textEdited(editor->costField()->text());
        emit editor->costField()->editingFinished();
        EXPECT_EQ(editor->costField()->text(), "EUR 1,250.50") << typed;
    }
    EXPECT_EQ(DMBeep_count(), beeps + 2);
    EXPECT_FLOAT_EQ(resource->attribute(kDMProjectResource_HourlyCost).toFloat(), 1250.5f);
    EXPECT_EQ(undoManager.undoStepCount(), 2);

    undoManager.undo();
    EXPECT_EQ(editor->costField()->text(), "EUR 0.00"); // an undo shows in the open popover
}

TEST_F(ResourceEditorTest, TheEditedObjectIsNotOwned)
{
    auto loose = std::make_shared<DMProjectResource>();
    loose->setProject(project);
    editor->setEditedObject(loose);
    loose.reset();
    EXPECT_EQ(editor->editedObject(), nullptr);
    EXPECT_FALSE(editor->fillEditedObjectWithVCardData("BEGIN:VCARD\nFN:X\nEND:VCARD\n", nullptr));
    editor->resourceGroupsPopupCallback(0); // nothing to move, and no crash
}

TEST_F(ResourceEditorTest, ThePopoverPointsAtTheClickAndClosesWhenAnotherWindowBecomesActive)
{
    QWidget other;
    other.setGeometry(800, 100, 100, 100);
    other.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&other));
    window.windowHandle()->requestActivate();
    ASSERT_TRUE(waitFor([&] { return QGuiApplication::focusWindow() == window.windowHandle(); }));

    editor->showAtPointInView(QPointF(300, 150), &window);
    DMAttachedWindow *popover = editor->containerWindow();
    ASSERT_NE(popover, nullptr);
    EXPECT_TRUE(popover->isVisible());
    const QPoint tip = window.mapToGlobal(QPoint(300, 150));
    EXPECT_EQ(popover->side(), kDMAttachedWindowSide_Below);
    EXPECT_EQ(popover->frame().top(), tip.y());
    EXPECT_NEAR(popover->frame().center().x(), tip.x(), 1);
    EXPECT_EQ(editor->nameField()->selectedText(), "Ann");

    // The icon's open panel keeps the popover open even when another window becomes active.
    ui.whileOpenPanelRuns = [&] {
        other.windowHandle()->requestActivate();
        waitFor([&] { return QGuiApplication::focusWindow() == other.windowHandle(); });
    };
    editor->chooseIcon();
    EXPECT_TRUE(popover->isVisible());
    EXPECT_EQ(editor->editedObject(), resource);

    window.windowHandle()->requestActivate();
    EXPECT_TRUE(waitFor([&] { return !popover->isVisible(); }));
    EXPECT_EQ(editor->editedObject(), nullptr);

    // A document closing closes it too.
    editor->setEditedObject(resource);
    editor->showAtPointInView(QPointF(300, 150), &window);
    ASSERT_TRUE(popover->isVisible());
    DMNotificationCenter::defaultCenter().postNotification(kDMProjectDocument_CloseNotification);
    EXPECT_FALSE(popover->isVisible());
    EXPECT_EQ(editor->editedObject(), nullptr);

    // A group shows in its own popover.
    const auto crew = addResource(QStringLiteral("Crew"), DMProjectResource::Group);
    editor->setEditedObject(crew);
    editor->showAtPointInView(QPointF(100, 100), &window);
    ASSERT_NE(editor->groupContainerWindow(), nullptr);
    EXPECT_TRUE(editor->groupContainerWindow()->isVisible());
    EXPECT_TRUE(editor->containerWindow() == nullptr || !editor->containerWindow()->isVisible());
    EXPECT_EQ(editor->nameField()->text(), "Crew");
}
