// The password panel: confirming needs two equal, non-empty entries; Return moves from the first
// field to the second and from there tries to confirm; the sheet ends with 1 or 0.
#include "ControlsTestSupport.h"

#include "DMPasswordPanel.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace {

struct Panel
{
    Panel()
    {
        owner.resize(400, 300);
        owner.show();
        panel = DMPasswordPanel::passwordPanel(&owner);
        panel->setWindowModality(Qt::WindowModal);
        panel->open();
    }
    void type(QLineEdit *field, const QString &text)
    {
        field->clear();
        QTest::keyClicks(field, text);
    }

    QWidget owner;
    DMPasswordPanel *panel = nullptr; // owned by the window
};

} // namespace

TEST(PasswordPanel, ValidateNeedsEqualNonEmptyEntriesAndCancelEndsWithZero)
{
    Panel p;
    QPushButton *validate = p.panel->validateButton();
    EXPECT_FALSE(validate->isEnabled());
    p.type(p.panel->passwordField1(), QStringLiteral("s3cret"));
    EXPECT_FALSE(validate->isEnabled());
    p.type(p.panel->passwordField2(), QStringLiteral("s3cre"));
    EXPECT_FALSE(validate->isEnabled());
    EXPECT_TRUE(p.panel->password().isNull());
    QTest::keyClicks(p.panel->passwordField2(), QStringLiteral("t"));
    EXPECT_TRUE(validate->isEnabled());
    EXPECT_EQ(p.panel->password(), QStringLiteral("s3cret"));
    p.panel->passwordField1()->clear();
    EXPECT_FALSE(validate->isEnabled());
    p.panel->passwordField2()->clear();
    EXPECT_FALSE(validate->isEnabled()); // equal but empty
    EXPECT_EQ(p.panel->passwordField1()->echoMode(), QLineEdit::Password);

    // Removing a password: two empty entries are the empty password, one entry alone is nothing.
    p.panel->setAllowsEmptyPassword(true);
    EXPECT_TRUE(validate->isEnabled());
    EXPECT_FALSE(p.panel->password().isNull());
    EXPECT_TRUE(p.panel->password().isEmpty());
    p.type(p.panel->passwordField1(), QStringLiteral("x"));
    EXPECT_FALSE(validate->isEnabled());
    EXPECT_TRUE(p.panel->password().isNull());

    // Return in the first field must not reach a default button of the panel; Cancel ends with 0.
    QSignalSpy finished(p.panel, &QDialog::finished);
    p.type(p.panel->passwordField1(), QStringLiteral("x"));
    QTest::keyClick(p.panel->passwordField1(), Qt::Key_Return);
    EXPECT_EQ(finished.count(), 0);
    QTest::mouseClick(p.panel->cancelButton(), Qt::LeftButton);
    ASSERT_EQ(finished.count(), 1);
    EXPECT_EQ(finished[0][0].toInt(), 0);
    EXPECT_FALSE(p.panel->isVisible());
}

TEST(PasswordPanel, ReturnMovesOnThenConfirmsOnlyMatchingEntries)
{
    Panel p;
    QSignalSpy finished(p.panel, &QDialog::finished);
    p.type(p.panel->passwordField1(), QStringLiteral("alpha"));
    p.panel->passwordField1()->setFocus();
    p.panel->uiCallback(p.panel->passwordField1());
    EXPECT_EQ(p.panel->focusWidget(), p.panel->passwordField2());

    // Return in the second field with a mismatch: nothing ends.
    p.type(p.panel->passwordField2(), QStringLiteral("alphx"));
    QTest::keyClick(p.panel->passwordField2(), Qt::Key_Return);
    EXPECT_EQ(finished.count(), 0);
    EXPECT_TRUE(p.panel->isVisible());
    // Confirming directly with a mismatch does nothing either.
    p.panel->uiCallback(p.panel->validateButton());
    EXPECT_EQ(finished.count(), 0);

    p.type(p.panel->passwordField2(), QStringLiteral("alpha"));
    QTest::keyClick(p.panel->passwordField2(), Qt::Key_Return);
    ASSERT_EQ(finished.count(), 1);
    EXPECT_EQ(finished[0][0].toInt(), 1);
    EXPECT_FALSE(p.panel->isVisible());
    EXPECT_EQ(p.panel->password(), QStringLiteral("alpha"));
}
