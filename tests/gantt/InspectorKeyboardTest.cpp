// The task inspector as a keyboard user meets it: on the resources tab Space and Return tick the
// box of the row reached, each box sits beside its name with room between the rows, and no row
// stays highlighted from one task to the next; the panel that attaches documents opens with the
// keyboard in its file-name field.
#include "InspectorTestSupport.h"

#include "DMInspectorResourcesOutline.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QStyle>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>

using namespace gantttest;

namespace {

class PanelWatcher;

class InspectorResourcesKeysTest : public InspectorTest
{
protected:
    void SetUp() override
    {
        InspectorTest::SetUp();
        auto team = addResource(QStringLiteral("Movers"), DMProjectResource::Group);
        for (const char *name : {"Frank Green", "Anna Berg"})
            people.append(addResource(QString::fromLatin1(name), DMProjectResource::Resource, team));
        packing = addTask("Pack boxes", at(2024, 1, 2, 8), at(2024, 1, 3, 18));
        moving = addTask("Move desks", at(2024, 1, 4, 8), at(2024, 1, 4, 18));
    }

    // Shows the task's inspector and its Resources tab, chosen with a click as the user does.
    DMInspectorResourcesOutline *resourcesOf(const std::shared_ptr<DMProjectTask> &task)
    {
        auto *inspector = inspect<DMUIProjectTaskInspectorController>(task);
        DMInspectorResourcesOutline *outline = inspector->resourcesOutlineView();
        auto *tabs = qobject_cast<QTabWidget *>(outline->parentWidget()->parentWidget());
        if (tabs && tabs->currentWidget() != outline) {
            QTabBar *bar = tabs->tabBar();
            QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(tabs->indexOf(outline)).center());
        }
        outline->window()->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(outline->window()));
        return outline;
    }
    static QPoint nameCentre(DMInspectorResourcesOutline *outline, const DMProjectResource *resource)
    {
        const QRect row = outline->visualItemRect(outline->itemForResource(resource));
        // Well inside the row, to the right of its box.
        return QPoint(row.left() + row.width() / 2, row.center().y());
    }

    QPushButton *addButtonWatchedBy(PanelWatcher &watcher);

    QList<std::shared_ptr<DMProjectResource>> people;
    std::shared_ptr<DMProjectTask> packing;
    std::shared_ptr<DMProjectTask> moving;
};

} // namespace

TEST_F(InspectorResourcesKeysTest, SpaceAndReturnTickTheBoxOfTheRowReachedByClickOrArrow)
{
    DMInspectorResourcesOutline *outline = resourcesOf(packing);
    ASSERT_TRUE(outline->isVisible());
    const auto &frank = people.at(0);
    const auto &anna = people.at(1);

    // A click on the name, away from the box, then the keys.
    QTest::mouseClick(outline->viewport(), Qt::LeftButton, {}, nameCentre(outline, frank.get()));
    ASSERT_TRUE(outline->hasFocus());
    EXPECT_FALSE(packing->isAssignedToResource(frank.get())) << "a click on the name is no choice";
    QTest::keyClick(outline, Qt::Key_Space);
    EXPECT_TRUE(packing->isAssignedToResource(frank.get()));
    QTest::keyClick(outline, Qt::Key_Return);
    EXPECT_FALSE(packing->isAssignedToResource(frank.get()));

    // The arrow reaches the next person; the group's row has no box for the keys to tick.
    QTest::keyClick(outline, Qt::Key_Down);
    QTest::keyClick(outline, Qt::Key_Enter);
    EXPECT_TRUE(packing->isAssignedToResource(anna.get()));
    QTest::keyClick(outline, Qt::Key_Up);
    QTest::keyClick(outline, Qt::Key_Up);
    QTest::keyClick(outline, Qt::Key_Space);
    EXPECT_FALSE(packing->isAssignedToResource(frank.get()));
    EXPECT_EQ(outline->itemForResource(anna.get())->checkState(0), Qt::Checked);
}

TEST_F(InspectorResourcesKeysTest, EachBoxSitsBesideItsNameAndNoRowStaysHighlightedForTheNextTask)
{
    DMInspectorResourcesOutline *outline = resourcesOf(packing);
    const auto &frank = people.at(0);

    // Room between the boxes of neighbouring rows.
    const QRect row = outline->visualItemRect(outline->itemForResource(frank.get()));
    const int box = outline->style()->pixelMetric(QStyle::PM_IndicatorHeight, nullptr, outline);
    EXPECT_GE(row.height(), box + 4);

    // Along the row as drawn: from the box's left edge to the name's last letter, no blank
    // stretch wider than the box itself (its inside) and a little room.
    const QImage image = outline->viewport()->grab().toImage();
    QList<int> inked;
    for (int x = 0; x < image.width(); ++x)
        for (int y = row.top() + 2; y < row.bottom() - 1; ++y)
            if (qGray(image.pixel(x, y)) < 200) {
                inked.append(x);
                break;
            }
    ASSERT_GE(inked.size(), 2);
    int widestBlank = 0;
    for (int i = 1; i < inked.size(); ++i)
        widestBlank = std::max(widestBlank, inked[i] - inked[i - 1] - 1);
    const int boxWidth = outline->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, outline);
    EXPECT_LE(widestBlank, boxWidth + 4) << "the name sits apart from its box";

    QTest::mouseClick(outline->viewport(), Qt::LeftButton, {}, nameCentre(outline, frank.get()));
    QTest::keyClick(outline, Qt::Key_Down);

    // Another task's inspector shows no row as chosen, nor does this one when it comes back.
    resourcesOf(moving);
    EXPECT_TRUE(outline->selectedItems().isEmpty());
    EXPECT_FALSE(outline->currentIndex().isValid());
    resourcesOf(packing);
    EXPECT_TRUE(outline->selectedItems().isEmpty());
}

namespace {

// Shows the real open panel and, once it is up, notes the widget that has the keyboard and
// cancels it. The window system may then put the keyboard on other windows of the application
// while the panel is up, as a window manager does; the panel has to take it back from every
// window it keeps from input.
class PanelWatcher : public StandInModalUI
{
public:
    QStringList runOpenPanel(const FilePanel &panel, QWidget *window) override
    {
        QTimer::singleShot(0, [this] { watch(); });
        return DMModalUI::runOpenPanel(panel, window);
    }
    void watch()
    {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog || !QTest::qWaitForWindowActive(dialog) || ++turns > 100) {
            if (turns <= 100)
                QTimer::singleShot(10, [this] { watch(); });
            else if (dialog)
                dialog->reject();
            return;
        }
        // The keyboard reaches the file name, and stays there once the panel has done what it
        // had to do (listing its folder among it).
        QWidget *name = dialog->findChild<QWidget *>(QStringLiteral("fileNameEdit"));
        const auto inName = [name] { return name && QApplication::focusWidget() == name; };
        halcyra::test::waitFor(inName);
        halcyra::test::runUntilIdle();
        for (const QPointer<QWidget> &window : windowSystemMoves) {
            if (!inName() || !window)
                break;
            QSignalSpy moved(qApp, &QGuiApplication::focusWindowChanged);
            window->activateWindow();
            halcyra::test::waitFor([&] {
                for (const QList<QVariant> &change : moved)
                    if (change.value(0).value<QWindow *>() == window->windowHandle())
                        return true;
                return false;
            });
            halcyra::test::waitFor(inName);
        }
        QWidget *focus = QApplication::focusWidget();
        seen = true;
        focusInName = focus && focus == name;
        focusClass = focus ? focus->metaObject()->className() : "nothing";
        dialog->reject();
    }

    QList<QPointer<QWidget>> windowSystemMoves;
    int turns = 0;
    bool seen = false;
    bool focusInName = false;
    std::string focusClass;
};

// While it lives, HOME is a folder holding a few files: the panel of an untitled document
// opens there.
struct HomeWithFiles
{
    HomeWithFiles()
    {
        for (const char *file : {"floorplan.pdf", "quote.txt"}) {
            QFile made(home.filePath(QLatin1String(file)));
            made.open(QIODevice::WriteOnly);
        }
        QDir(home.path()).mkdir(QStringLiteral("Plans"));
        qputenv("HOME", home.path().toLocal8Bit());
    }
    ~HomeWithFiles() { qputenv("HOME", saved); }

    QTemporaryDir home;
    QByteArray saved = qgetenv("HOME");
};

} // namespace

// The add button on the documents tab of the packing task's inspector; the panels it opens are
// the watcher's.
QPushButton *InspectorResourcesKeysTest::addButtonWatchedBy(PanelWatcher &watcher)
{
    DMModalUI::setInstance(&watcher);
    QPushButton *add = inspect<DMUIProjectTaskInspectorController>(packing)->documentsAddButton();
    if (auto *tabs = qobject_cast<QTabWidget *>(add->parentWidget()->parentWidget()->parentWidget()))
        tabs->setCurrentIndex(tabs->count() - 1);
    return add;
}

TEST_F(InspectorResourcesKeysTest, TheAttachDocumentsPanelOpensWithTheKeyboardInItsFileName)
{
    const HomeWithFiles home;
    PanelWatcher watcher;
    QPushButton *add = addButtonWatchedBy(watcher);
    document->mainWindow()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(document->mainWindow()));
    QTest::mouseClick(add, Qt::LeftButton);
    DMModalUI::setInstance(&modalUI);
    ASSERT_TRUE(watcher.seen);
    EXPECT_TRUE(watcher.focusInName) << "the keyboard is in " << watcher.focusClass;
}

// Space on the add button while the inspector window has the keyboard. The panel keeps the
// document window and the inspector (which belongs to it) from input; the window system may
// leave the keyboard with the inspector or hand it to the document window. Each time the panel
// takes it back, the second time it is opened as well.
TEST_F(InspectorResourcesKeysTest, TheAttachDocumentsPanelTakesTheKeyboardBackFromTheWindowsItBlocks)
{
    const HomeWithFiles home;
    PanelWatcher watcher;
    QPushButton *add = addButtonWatchedBy(watcher);
    watcher.windowSystemMoves = {add->window(), document->mainWindow()};
    for (int opening = 1; opening <= 2; ++opening) {
        SCOPED_TRACE(opening);
        add->window()->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(add->window()));
        add->setFocus(Qt::TabFocusReason);
        watcher.seen = false;
        watcher.turns = 0;
        QTest::keyClick(add, Qt::Key_Space);
        ASSERT_TRUE(watcher.seen);
        EXPECT_TRUE(watcher.focusInName) << "the keyboard is in " << watcher.focusClass;
    }
    DMModalUI::setInstance(&modalUI);
}
