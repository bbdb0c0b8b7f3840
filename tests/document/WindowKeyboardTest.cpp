// The document window's keys outside the lists: Escape hides the search results and then empties
// the search field, and Alt with a menu's underlined letter opens it (from the search field too,
// which types nothing) and chooses its entries, each letter once in a menu.
#include "DocumentTestSupport.h"

#include "DMGanttUIObjectFactory.h"
#include "DMInspectorWindow.h"
#include "DMMainMenu.h"
#include "DMPreferenceKeys.h"
#include "DMSearchField.h"

#include <QApplication>
#include <QLineEdit>
#include <QSet>

using namespace halcyra::test;

namespace {

class WindowKeyboardTest : public DocumentTestBase
{
protected:
    void SetUp() override
    {
        DocumentTestBase::SetUp();
        DMGanttUIObjectFactory::registerWithModel();
        DMPreferenceKeys_writeDefaultValues();
        document = shownDocumentWith({"Survey", "Move desks"});
        window = document->mainWindow();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
        field = document->outlets().projectViewSearchField;
        ASSERT_TRUE(field);
        QTest::mouseClick(field, Qt::LeftButton);
        ASSERT_EQ(QApplication::focusWidget(), field);
    }
    void TearDown() override
    {
        if (QMenu *open = qobject_cast<QMenu *>(QApplication::activePopupWidget()))
            open->close();
        DocumentTestBase::TearDown();
    }
    // The letter Alt chooses an entry by, lowercased; empty for none.
    static QString mnemonicOf(const QAction *action)
    {
        const QKeySequence key = QKeySequence::mnemonic(action->text());
        return key.isEmpty() ? QString() : QKeySequence(key[0].key()).toString().toLower();
    }

    std::shared_ptr<DMProjectDocument> document;
    QMainWindow *window = nullptr;
    DMSearchField *field = nullptr;
};

} // namespace

TEST_F(WindowKeyboardTest, EscapeHidesTheSearchResultsThenEmptiesTheField)
{
    QTest::keyClicks(field, QStringLiteral("surv"));
    ASSERT_TRUE(field->isResultsWindowVisible());
    QTest::keyClick(field, Qt::Key_Escape);
    EXPECT_FALSE(field->isResultsWindowVisible());
    EXPECT_EQ(field->text(), QStringLiteral("surv"));
    QTest::keyClick(field, Qt::Key_Escape);
    EXPECT_TRUE(field->text().isEmpty());

    // Text that finds nothing goes the same way; the next search starts afresh.
    QTest::keyClicks(field, QStringLiteral("zzz"));
    ASSERT_FALSE(field->isResultsWindowVisible());
    QTest::keyClick(field, Qt::Key_Escape);
    EXPECT_TRUE(field->text().isEmpty());
    QTest::keyClicks(field, QStringLiteral("desk"));
    EXPECT_EQ(field->searchResults().size(), 1);
    EXPECT_TRUE(field->isResultsWindowVisible());
}

TEST_F(WindowKeyboardTest, AltWithAMenusLetterOpensItInsteadOfTypingAndEveryEntryHasItsOwnLetter)
{
    QTest::keyClick(field, Qt::Key_F, Qt::AltModifier);
    EXPECT_TRUE(field->text().isEmpty()) << "Alt+F typed into the search field";
    auto *open = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    ASSERT_TRUE(open) << "Alt+F opened no menu";
    EXPECT_EQ(open, menuAction(window, {QStringLiteral("File")})->menu());
    // In the open menu the letter alone chooses: Alt+F, N opens New.
    QTest::keyClick(open, Qt::Key_N);
    auto *submenu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    ASSERT_TRUE(submenu);
    EXPECT_EQ(submenu, menuAction(window, {QStringLiteral("File"), QStringLiteral("New")})->menu());
    QTest::keyClick(submenu, Qt::Key_Escape);
    QTest::keyClick(open, Qt::Key_Escape);

    // Each menu's titles and entries, submenus included, have a letter of their own in it.
    QList<QPair<QString, QList<QAction *>>> menus{{QStringLiteral("menu bar"), window->menuBar()->actions()}};
    while (!menus.isEmpty()) {
        const auto [name, actions] = menus.takeFirst();
        QSet<QString> letters;
        for (QAction *action : actions) {
            if (action->isSeparator())
                continue;
            const QString letter = mnemonicOf(action);
            EXPECT_FALSE(letter.isEmpty()) << "no letter for " << action->text().toStdString() << " in " << name.toStdString();
            EXPECT_FALSE(letters.contains(letter))
                << "the letter of " << action->text().toStdString() << " is taken in " << name.toStdString();
            letters.insert(letter);
            if (action->menu())
                menus.append({action->text(), action->menu()->actions()});
        }
    }
}

// The inspector has no menus of its own: Alt with a menu's letter in it, in the title of a new
// task too, opens that menu of the document window instead of typing the letter.
TEST_F(WindowKeyboardTest, AltWithAMenusLetterInTheInspectorOpensTheDocumentWindowsMenu)
{
    document->showPageWithTag(DMPage::TasksPage);
    document->fileNewMenuCallback(DMMainMenu::NewTaskTag);
    QWidget *inspector = DMInspectorWindow::sharedWindow();
    ASSERT_TRUE(waitFor([inspector] {
        return QApplication::activeWindow() == inspector && qobject_cast<QLineEdit *>(QApplication::focusWidget());
    })) << "the new task's title has no keyboard";
    auto *title = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    const QString typed = title->text();
    QTest::keyClick(title, Qt::Key_E, Qt::AltModifier);
    EXPECT_EQ(title->text(), typed) << "Alt+E typed into the title";
    auto *open = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    ASSERT_TRUE(open) << "Alt+E opened no menu";
    EXPECT_EQ(open, menuAction(window, {QStringLiteral("Edit")})->menu());
    QTest::keyClick(open, Qt::Key_Escape);
    inspector->hide();
}

TEST_F(WindowKeyboardTest, ADocumentsOwnAmpersandShowsAsItIsInTheWindowMenu)
{
    ASSERT_TRUE(document->saveToPath(path(QStringLiteral("R&D move.hy2")), DMProjectDocument::SaveAsOperation));
    ASSERT_EQ(document->displayName(), QStringLiteral("R&D move"));
    QMenu *windows = menuAction(window, {QStringLiteral("Window")})->menu();
    emit windows->aboutToShow();
    QStringList shown;
    for (QAction *action : windows->actions())
        if (!action->isSeparator())
            shown.append(shownMenuTitle(action));
    EXPECT_TRUE(shown.contains(QStringLiteral("R&D move"))) << shown.join(QLatin1Char('|')).toStdString();
}
