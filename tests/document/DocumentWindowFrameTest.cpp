// A document's window comes back where it was closed: at the same frame however often it is
// reopened, maximised when it was, and on a screen whatever frame was stored.
#include "DocumentTestSupport.h"

#include "DMPreferenceKeys.h"

#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>
#include <QWindow>

using namespace halcyra::test;

namespace {

class DocumentWindowFrameTest : public DocumentTestBase
{
protected:
    void SetUp() override
    {
        DocumentTestBase::SetUp();
        package = path(QStringLiteral("Shop.hy2"));
        auto document = documentWithProject(makeFullProject().project);
        ASSERT_TRUE(document->saveToPath(package, DMProjectDocument::SaveAsOperation));
    }
    // Opens the package in its window, as the Open command does.
    QMainWindow *reopen()
    {
        if (document) {
            document->close();
            document.reset();
            DMDocumentController::sharedDocumentController().releaseClosedDocuments();
            runUntilIdle();
        }
        document = open(package);
        if (!document)
            return nullptr;
        document->showWindows();
        QMainWindow *window = document->mainWindow();
        if (!window || !QTest::qWaitForWindowExposed(window))
            return nullptr;
        runUntilIdle();
        return window;
    }
    static QRect available() { return QGuiApplication::primaryScreen()->availableGeometry(); }

    QString package;
    std::shared_ptr<DMProjectDocument> document;
};

TEST_F(DocumentWindowFrameTest, AWindowReopenedTwiceComesBackAtTheFrameItWasClosedAt)
{
    QMainWindow *window = reopen();
    ASSERT_TRUE(window);
    window->setGeometry(QRect(available().topLeft() + QPoint(60, 70), QSize(640, 420)));
    runUntilIdle();
    const QRect frame = window->frameGeometry();
    const QRect content = window->geometry();
    for (int time = 1; time <= 2; ++time) {
        SCOPED_TRACE(time);
        window = reopen();
        ASSERT_TRUE(window);
        EXPECT_EQ(window->frameGeometry(), frame);
        EXPECT_EQ(window->geometry(), content);
        EXPECT_FALSE(window->isMaximized());
    }
}

TEST_F(DocumentWindowFrameTest, AWindowClosedMaximisedComesBackMaximisedAndUnmaximisesToItsFrame)
{
    QMainWindow *window = reopen();
    ASSERT_TRUE(window);
    window->setGeometry(QRect(available().topLeft() + QPoint(50, 40), QSize(600, 400)));
    runUntilIdle();
    const QRect normal = window->geometry();
    window->showMaximized();
    ASSERT_TRUE(waitFor([&] { return window->isMaximized() && window->geometry() != normal; }, 5000));
    const QRect maximised = window->frameGeometry();

    window = reopen();
    ASSERT_TRUE(window);
    EXPECT_TRUE(window->isMaximized());
    EXPECT_TRUE(waitFor([&] { return window->frameGeometry() == maximised; }, 5000)) << window->frameGeometry().y();
    EXPECT_TRUE(available().contains(window->frameGeometry()));
    window->showNormal();
    EXPECT_TRUE(waitFor([&] { return window->geometry() == normal; }, 5000));
}

TEST_F(DocumentWindowFrameTest, AStoredFrameOffTheScreenOrLargerThanItComesBackOnTheScreen)
{
    const QRect screen = available();
    const struct
    {
        const char *what;
        QRect stored;
    } cases[] = {{"below the screen", QRect(screen.left() + 40, screen.bottom() - 50, 500, 400)},
                 {"left of the screen", QRect(screen.left() - 2000, screen.top() + 30, 500, 400)},
                 {"larger than the screen", QRect(screen.left(), screen.top(), screen.width() + 300, screen.height() + 200)}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        QVariantMap frames;
        frames.insert(package, QStringLiteral("%1 %2 %3 %4")
                                   .arg(c.stored.x()).arg(c.stored.y()).arg(c.stored.width()).arg(c.stored.height()));
        DMUserDefaults::standardUserDefaults().setObjectForKey(frames, kDMRecentDocumentsFrames);
        if (document) {
            // Closed without writing its own frame over the one stored.
            document->setFileURL(QString());
        }
        QMainWindow *window = reopen();
        ASSERT_TRUE(window);
        // Once the window is framed, its title bar too.
        EXPECT_TRUE(waitFor([&] { return screen.contains(window->frameGeometry()); }, 5000))
            << window->frameGeometry().x() << "," << window->frameGeometry().y() << " "
            << window->frameGeometry().width() << "x" << window->frameGeometry().height();
    }
}

TEST_F(DocumentWindowFrameTest, AWindowTheUserMovedPartlyOffTheScreenStaysThereWhenItsOpenDocumentIsOpenedAgain)
{
    // Put back from a stored frame, then moved by the user partly off the screen: opening the
    // document again (as Open Recent does) shows its window where the user left it.
    const QRect screen = available();
    DMUserDefaults::standardUserDefaults().setObjectForKey(
        QVariantMap{{package, QStringLiteral("%1 %2 500 400").arg(screen.left() + 40).arg(screen.top() + 30)}},
        kDMRecentDocumentsFrames);
    ManualClock clock; // the framing checks wait on it
    QMainWindow *window = reopen();
    ASSERT_TRUE(window);
    clock.advance(2000); // past the checks of the window's first framing
    window->setGeometry(QRect(screen.left() - 200, screen.top() + 30, 500, 400));
    runUntilIdle();
    const QRect placed = window->geometry();
    ASSERT_LT(window->frameGeometry().left(), screen.left());

    QString error;
    ASSERT_EQ(DMDocumentController::sharedDocumentController().openDocumentWithContentsOfURL(package, true, &error),
              document);
    clock.advance(2000); // past any checks of a framing
    EXPECT_EQ(window->geometry(), placed);
}

} // namespace
