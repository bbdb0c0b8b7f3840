#include "FarseeListView.h"
#include "FarseeSendingCellOverView.h"
#include "FarseeSendingCellView.h"
#include "FarseeTestSupport.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMenu>
#include <QTest>
#include <QToolButton>

using namespace halcyra::test;

namespace {

QStringList menuTitles(const QMenu *menu)
{
    QStringList titles;
    for (const QAction *action : menu->actions())
        titles.append(action->text());
    return titles;
}

QAction *menuAction(const QMenu *menu, const QString &title)
{
    for (QAction *action : menu->actions()) {
        if (action->text() == title)
            return action;
    }
    return nullptr;
}

QToolButton *button(const FarseeSendingCellView *cell, const QString &text)
{
    for (QToolButton *candidate : cell->findChildren<QToolButton *>()) {
        if (candidate->text() == text)
            return candidate;
    }
    return nullptr;
}

// A click on the cell away from its buttons lands on the view laid over it.
QPoint textPoint(const FarseeSendingCellView *cell)
{
    return QPoint(cell->width() / 3, cell->height() / 2);
}

// The pop-up menu a click opened, closed again; its titles.
QStringList takePopupTitles()
{
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    if (!menu)
        return {};
    const QStringList titles = menuTitles(menu);
    menu->close();
    return titles;
}

class FarseeListViewTest : public FarseeTestBase
{
protected:
    void SetUp() override
    {
        FarseeTestBase::SetUp();
        restart();
        send("page", "Plan.pdf", shared);
        service.overrides.insert("/storage", jsonResponse(500, QVariantList{"Storage is down"}));
        send("page", "Chart.jpeg", failed);
        service.overrides.clear();
        holdUploads();
        manager->sendDataWithNameWithEndBlock(QByteArray(1000, 'x'), "Walkthrough.mov", running.block());
        ASSERT_TRUE(waitFor([&] { return manager->sendingCount() == 1; }));
        container.resize(420, 300);
        container.show();
        manager->setSendingViewContainer(&container);
        ASSERT_TRUE(manager->listView());
    }

    FarseeSendingCellView *cell(const QString &title) const
    {
        for (FarseeSendingCellView *candidate : manager->listView()->cells()) {
            if (candidate->objectValue()->title == title)
                return candidate;
        }
        return nullptr;
    }

    EndBlockCalls shared, failed, running;
    QWidget container;
};

TEST_F(FarseeListViewTest, TheListFillsItsContainerAndShowsEachUploadAsItStands)
{
    FarseeListView *list = manager->listView();
    EXPECT_EQ(list->parentWidget(), &container);
    EXPECT_EQ(list->geometry(), container.rect());
    container.resize(520, 400);
    EXPECT_EQ(list->geometry(), QRect(0, 0, 520, 400));
    // A later container leaves the list where it is.
    QWidget other;
    manager->setSendingViewContainer(&other);
    EXPECT_EQ(list->parentWidget(), &container);

    QStringList titles;
    for (const FarseeSendingCellView *row : list->cells())
        titles.append(row->objectValue()->title);
    EXPECT_EQ(titles, QStringList({"Walkthrough", "Plan", "Chart"}));

    FarseeSendingCellView *upload = cell("Walkthrough");
    EXPECT_EQ(upload->statusText(), "Sending... 0%");
    manager->fileUploadDidProgressConnectionIdentifierUserInfo(
        0.5, upload->objectValue()->connectionIdentifier, {});
    EXPECT_EQ(upload->statusText(), "Sending... 50%");
    EXPECT_FALSE(button(upload, "Open")->isVisible());

    const FarseeSending &linked = *cell("Plan")->objectValue();
    EXPECT_TRUE(cell("Plan")->statusText().startsWith("picture \u00b7 "));
    EXPECT_TRUE(cell("Plan")->statusText().endsWith(linked.remoteURL.toString()));
    EXPECT_TRUE(button(cell("Plan"), "Open")->isVisible());

    // The error shows in red where the link would be.
    FarseeSendingCellView *broken = cell("Chart");
    EXPECT_EQ(broken->statusText(), broken->objectValue()->error);
    EXPECT_FALSE(button(broken, "Open")->isVisible());
    const QImage image = broken->grab().toImage();
    int red = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            red += c.red() > 150 && c.green() < 90 && c.blue() < 90;
        }
    EXPECT_GT(red, 10);

    // When the upload ends, its row moves below the running ones and shows its link.
    manager->requestDidFailWithErrorConnectionIdentifierUserInfo(NBError::timedOutError(11),
                                                                 upload->objectValue()->connectionIdentifier, {});
    EXPECT_EQ(list->cells().last(), upload);
    EXPECT_EQ(upload->statusText(), NBError::timedOutError(11).localizedDescription);
}

TEST_F(FarseeListViewTest, TheMenuAndTheButtonsActOnTheirRecord)
{
    BrowserCatcher browser;
    FarseeSendingCellView *linked = cell("Plan");
    const QUrl link = linked->objectValue()->remoteURL;

    // Right click, or Control and click: the menu; a plain click: none.
    QTest::mouseClick(linked->overView(), Qt::RightButton, {}, textPoint(linked));
    EXPECT_EQ(takePopupTitles(), QStringList({"delete", "open link", "copy link to the pasteboard"}));
    QTest::mouseClick(cell("Chart")->overView(), Qt::LeftButton, Qt::ControlModifier, textPoint(cell("Chart")));
    EXPECT_EQ(takePopupTitles(), QStringList({"delete"}));
    QTest::mouseClick(linked->overView(), Qt::LeftButton, {}, textPoint(linked));
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);

    std::unique_ptr<QMenu> menu(linked->overView()->makeMenu());
    menuAction(menu.get(), "copy link to the pasteboard")->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), link.toString());
    menuAction(menu.get(), "open link")->trigger();
    ASSERT_EQ(browser.opened.size(), 1);
    EXPECT_EQ(browser.opened.first(), link);
    QTest::mouseClick(button(linked, "Open"), Qt::LeftButton);
    EXPECT_EQ(browser.opened.size(), 2);

    // Deleting from the menu takes the row away; the service is told.
    const int rows = int(manager->listView()->cells().size());
    menuAction(menu.get(), "delete")->trigger();
    EXPECT_EQ(manager->listView()->cells().size(), rows - 1);
    EXPECT_EQ(cell("Plan"), nullptr);
    ASSERT_TRUE(waitFor([&] { return service.server.requests.last().method == "DELETE"; }));

    // The delete button of the running upload stops it.
    QTest::mouseClick(button(cell("Walkthrough"), QStringLiteral("\u2715")), Qt::LeftButton);
    EXPECT_EQ(running.count, 1);
    EXPECT_EQ(manager->listView()->cells().size(), rows - 2);
}

TEST_F(FarseeListViewTest, TheSendingWindowShowsTheListOrTheViewThatHostsIt)
{
    // The list is in the container already: showing the list shows that window.
    EXPECT_EQ(manager->showSendingWindow(), container.window());

    FarseeManager other(folder.filePath("other.plist"));
    QWidget *window = other.showSendingWindow();
    EXPECT_EQ(window->windowTitle(), "Sending List");
    EXPECT_EQ(other.listView()->window(), window);
    EXPECT_EQ(other.showSendingWindow(), window);
    const auto *empty = other.listView()->findChild<QLabel *>();
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->isVisible());
}

} // namespace
