// The small services: images by name, and sheets.
#include "DMImageLibrary.h"
#include "DMModalUI.h"

#include "TestSupport.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <gtest/gtest.h>

TEST(DMImageLibrary, GeneratorsAreCalledOnceAndMayBeReplaced)
{
    const QString name = QStringLiteral("TestSwatch");
    int made = 0;
    DMImageLibrary::registerGenerator(name, [&] { return ++made, QImage(4, 3, QImage::Format_ARGB32); });
    EXPECT_EQ(DMImageLibrary::imageNamed(name).size(), QSize(4, 3));
    EXPECT_EQ(DMImageLibrary::imageNamed(name).size(), QSize(4, 3));
    EXPECT_EQ(made, 1);
    // Replacing or removing the generator drops the image made by the old one.
    DMImageLibrary::registerGenerator(name, [] { return QImage(8, 8, QImage::Format_ARGB32); });
    EXPECT_EQ(DMImageLibrary::imageNamed(name).size(), QSize(8, 8));
    DMImageLibrary::registerGenerator(name, {});
    EXPECT_TRUE(DMImageLibrary::imageNamed(name).isNull());
}

TEST(DMImageLibrary, SVGIsDrawnAtItsOwnSize)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("mark.svg"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(R"(<svg xmlns="http://www.w3.org/2000/svg" width="20" height="10">)"
               R"(<rect x="0" y="0" width="10" height="10" fill="#0000ff"/></svg>)");
    file.close();
    const QImage image = DMImageLibrary::imageWithContentsOfFile(path);
    ASSERT_EQ(image.size(), QSize(20, 10));
    EXPECT_EQ(image.pixelColor(5, 5), QColor(0, 0, 255));
    EXPECT_EQ(image.pixelColor(15, 5).alpha(), 0);
    EXPECT_TRUE(DMImageLibrary::imageWithContentsOfFile(dir.filePath(QStringLiteral("none.svg"))).isNull());
}

TEST(DMModalUI, SheetIsWindowModalAndAnswersThroughItsCompletion)
{
    QWidget window;
    window.resize(300, 200);
    window.show();
    std::vector<int> answers;
    const DMModalUI::Alert alert{QStringLiteral("Delete the task?"), QStringLiteral("It has subtasks."),
                                 {QStringLiteral("Delete"), QStringLiteral("Cancel"), QStringLiteral("Keep Subtasks")},
                                 DMModalUI::Warning, QStringLiteral("Delete Task")};
    for (const QString &choice : alert.buttons) {
        DMModalUI::instance().beginSheet(alert, &window, [&](int code) { answers.push_back(code); });
        auto *box = window.findChild<QMessageBox *>();
        ASSERT_NE(box, nullptr);
        EXPECT_TRUE(box->isVisible());
        EXPECT_EQ(box->windowModality(), Qt::WindowModal);
        EXPECT_EQ(box->windowTitle(), QStringLiteral("Delete Task"));
        for (QAbstractButton *button : box->buttons())
            if (button->text() == choice)
                QTest::mouseClick(button, Qt::LeftButton);
        ASSERT_TRUE(halcyra::test::waitFor([&] { return window.findChild<QMessageBox *>() == nullptr; }));
    }
    EXPECT_EQ(answers, (std::vector<int>{DMModalUI::DefaultReturn, DMModalUI::AlternateReturn, DMModalUI::OtherReturn}));
}

TEST(DMModalUI, AnErrorIsACriticalSheetOnTheWindowWithTheReason)
{
    QWidget window;
    window.resize(300, 200);
    window.show();
    QString shownText, shownReason, shownTitle;
    Qt::WindowModality modality = Qt::NonModal;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    // The sheet runs its own loop: it is read and closed from there.
    QTimer::singleShot(0, &window, [&] {
        auto *box = window.findChild<QMessageBox *>();
        if (!box)
            return;
        shownTitle = box->windowTitle();
        shownText = box->text();
        shownReason = box->informativeText();
        modality = box->windowModality();
        icon = box->icon();
        box->buttons().value(0)->click();
    });
    DMModalUI::instance().presentError(QStringLiteral("The file could not be written."), QStringLiteral("Disk full"), &window);
    EXPECT_EQ(shownText, QStringLiteral("The file could not be written."));
    EXPECT_EQ(shownReason, QStringLiteral("Disk full"));
    EXPECT_EQ(modality, Qt::WindowModal);
    EXPECT_EQ(icon, QMessageBox::Critical);
    // Titled with what failed when the caller says, as an error otherwise: never by the
    // application's name alone.
    EXPECT_EQ(shownTitle, QStringLiteral("Error"));
    QTimer::singleShot(0, &window, [&] {
        if (auto *box = window.findChild<QMessageBox *>()) {
            shownTitle = box->windowTitle();
            box->buttons().value(0)->click();
        }
    });
    DMModalUI::instance().presentError(QStringLiteral("The file could not be written."), QString(), &window,
                                       QStringLiteral("Export"));
    EXPECT_EQ(shownTitle, QStringLiteral("Export"));
}

// A sheet keeps the keyboard while it is up: when the window system puts it on the window the
// sheet was opened on, or on a tool window belonging to that one, the sheet takes it back; a
// window of another document, which the sheet does not block, keeps it.
TEST(DMModalUI, ASheetTakesTheKeyboardBackFromTheWindowsItBlocksOnly)
{
    QWidget window, tool(nullptr, Qt::Tool), other;
    window.setObjectName(QStringLiteral("document window"));
    tool.setObjectName(QStringLiteral("document's tool window"));
    other.setObjectName(QStringLiteral("other document's window"));
    for (QWidget *shown : {&window, &tool, &other}) {
        shown->resize(300, 200);
        shown->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(shown));
    }
    tool.windowHandle()->setTransientParent(window.windowHandle());
    DMModalUI::Alert alert;
    alert.messageText = QStringLiteral("Replace the file?");
    DMModalUI::instance().beginSheet(alert, &window, {});
    auto *box = window.findChild<QMessageBox *>();
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowActive(box));
    for (QWidget *target : {&window, &tool, &other, &window}) {
        // The window system's move arrives, then whatever it sets off.
        QSignalSpy moved(qApp, &QGuiApplication::focusWindowChanged);
        target->activateWindow();
        ASSERT_TRUE(halcyra::test::waitFor([&] {
            for (const QList<QVariant> &change : moved)
                if (change.value(0).value<QWindow *>() == target->windowHandle())
                    return true;
            return false;
        }));
        halcyra::test::runUntilIdle();
        QWidget *expected = target == &other ? target : static_cast<QWidget *>(box);
        EXPECT_TRUE(halcyra::test::waitFor([expected] { return QApplication::activeWindow() == expected; }))
            << "moved to the " << qPrintable(target->objectName()) << ", the keyboard is in "
            << qPrintable(QApplication::activeWindow() ? QApplication::activeWindow()->objectName() : QStringLiteral("nothing"));
    }
    box->reject();
    halcyra::test::waitFor([&window] { return window.findChild<QMessageBox *>() == nullptr; });
}

TEST(DMModalUI, TwoSheetsOnOneWindowLeaveTheKeyboardInTheTopmostOne)
{
    // A sheet is up when a second one comes (an error from the autosave timer): the newer one
    // keeps the keyboard, and the two do not hand it back and forth.
    QWidget window;
    window.resize(300, 200);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    DMModalUI::Alert alert;
    alert.messageText = QStringLiteral("Replace the file?");
    DMModalUI::instance().beginSheet(alert, &window, {});
    halcyra::test::runUntilIdle();
    // Counted as they come: a flood runs within one turn of the event loop, so past a bound the
    // sheets are hidden, which ends it, and the test fails instead of hanging.
    int moves = 0;
    const QMetaObject::Connection counting = QObject::connect(qApp, &QGuiApplication::focusWindowChanged, [&] {
        if (++moves == 1000)
            for (QMessageBox *box : window.findChildren<QMessageBox *>())
                box->hide();
    });
    alert.messageText = QStringLiteral("The document could not be autosaved.");
    DMModalUI::instance().beginSheet(alert, &window, {});
    QMessageBox *topmost = nullptr;
    for (QMessageBox *box : window.findChildren<QMessageBox *>())
        if (box->text() == alert.messageText)
            topmost = box;
    ASSERT_NE(topmost, nullptr);
    halcyra::test::waitFor([&] { return QApplication::activeWindow() == topmost || moves >= 1000; });
    for (int round = 0; round < 20; ++round)
        halcyra::test::runUntilIdle();
    QObject::disconnect(counting);
    EXPECT_LT(moves, 10) << "the keyboard moved " << moves << " times with nothing done";
    EXPECT_EQ(QApplication::activeWindow(), topmost);
    for (QMessageBox *box : window.findChildren<QMessageBox *>())
        box->reject();
    halcyra::test::waitFor([&window] { return window.findChild<QMessageBox *>() == nullptr; });
}
