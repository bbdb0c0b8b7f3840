// The open and save panels with packages: a folder with a package extension is one document.
#include "DMFileDialog.h"
#include "DMModalUI.h"

#include "TestSupport.h"

#include <QAbstractItemView>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace halcyra::test;

namespace {

// Answers the replace question and records it.
class ReplaceAnswers : public DMModalUI
{
public:
    QList<Alert> asked;
    QList<int> answers; // consumed in order
    int runAlert(const Alert &alert, QWidget * = nullptr) override
    {
        asked.append(alert);
        return answers.isEmpty() ? AlternateReturn : answers.takeFirst();
    }
};

class DMFileDialogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        QDir(folder.path()).mkpath(QStringLiteral("Plan.hy2/Documents"));
        QDir(folder.path()).mkpath(QStringLiteral("Archive"));
        for (const char *name : {"Plan.hy2/project.xml", "Archive/Old.hy2", "notes.txt"}) {
            QFile file(folder.filePath(QLatin1String(name)));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        }
        DMModalUI::setInstance(&ui);
        panel.title = QStringLiteral("Open");
        panel.directory = folder.path();
        panel.allowedExtensions = {QStringLiteral("hy2")};
        panel.typeDescription = QStringLiteral("Halcyra Project");
        panel.packageExtensions = {QStringLiteral("hy2")};
    }
    void TearDown() override { DMModalUI::setInstance(nullptr); }

    // Shows the dialog and waits until it lists its folder.
    static QAbstractItemView *show(DMFileDialog &dialog, int entries)
    {
        dialog.open();
        dialog.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
        // The list or the detail view, whichever is shown.
        QAbstractItemView *view = nullptr;
        for (const char *name : {"listView", "treeView"})
            if (auto *candidate = dialog.findChild<QAbstractItemView *>(QLatin1String(name)); candidate && candidate->isVisible())
                view = candidate;
        EXPECT_TRUE(view);
        EXPECT_TRUE(waitFor([&] { return view->model()->rowCount(view->rootIndex()) == entries; }, 5000));
        return view;
    }
    static QModelIndex entry(QAbstractItemView *view, const QString &name)
    {
        const QModelIndexList found = view->model()->match(view->model()->index(0, 0, view->rootIndex()), Qt::DisplayRole,
                                                           name, 1, Qt::MatchExactly);
        return found.isEmpty() ? QModelIndex() : found.first();
    }
    static void doubleClick(QAbstractItemView *view, const QModelIndex &index)
    {
        const QPoint point = view->visualRect(index).center();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, point);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, point);
    }
    static QPushButton *acceptButton(DMFileDialog &dialog)
    {
        auto *box = dialog.findChild<QDialogButtonBox *>();
        return box->button(dialog.acceptMode() == QFileDialog::AcceptSave ? QDialogButtonBox::Save : QDialogButtonBox::Open);
    }

    QTemporaryDir folder;
    ReplaceAnswers ui;
    DMModalUI::FilePanel panel;
};

TEST_F(DMFileDialogTest, OpenTakesAPackageAsOneDocumentAndBrowsesPlainFolders)
{
    DMFileDialog dialog(panel, QFileDialog::AcceptOpen);
    EXPECT_EQ(dialog.nameFilters(), QStringList{QStringLiteral("Halcyra Project (*.hy2)")});
    QAbstractItemView *view = show(dialog, 2); // the package and the folder; the text file is filtered out
    const QModelIndex package = entry(view, QStringLiteral("Plan.hy2"));
    ASSERT_TRUE(package.isValid());
    EXPECT_FALSE(view->model()->hasChildren(package));
    EXPECT_EQ(package.siblingAtColumn(2).data().toString(), QStringLiteral("Halcyra Project"));

    // Clicking the package names it and enables Open, as for a file.
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(package).center());
    EXPECT_EQ(dialog.findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->text(), QStringLiteral("Plan.hy2"));
    EXPECT_TRUE(acceptButton(dialog)->isEnabled());

    // A plain folder is browsed into; a package there opens on a double click.
    doubleClick(view, entry(view, QStringLiteral("Archive")));
    EXPECT_EQ(QDir(dialog.directory()).dirName(), QStringLiteral("Archive"));
    EXPECT_TRUE(dialog.isVisible());
    dialog.setDirectory(folder.path());
    ASSERT_TRUE(waitFor([&] { return entry(view, QStringLiteral("Plan.hy2")).isValid(); }, 5000));
    doubleClick(view, entry(view, QStringLiteral("Plan.hy2")));
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.selectedFiles(), QStringList{folder.filePath(QStringLiteral("Plan.hy2"))});
    EXPECT_EQ(QDir(dialog.directory()).absolutePath(), QDir(folder.path()).absolutePath());
}

TEST_F(DMFileDialogTest, AnOpenPanelThatChoosesFoldersTakesTheSelectedFolderWithTheFiles)
{
    panel.allowedExtensions.clear();
    panel.typeDescription.clear();
    panel.allowsMultipleSelection = true;
    panel.canChooseDirectories = true;
    DMFileDialog dialog(panel, QFileDialog::AcceptOpen);
    QAbstractItemView *view = show(dialog, 3);

    // A double click still browses into a folder.
    doubleClick(view, entry(view, QStringLiteral("Archive")));
    EXPECT_EQ(QDir(dialog.directory()).dirName(), QStringLiteral("Archive"));
    dialog.setDirectory(folder.path());
    ASSERT_TRUE(waitFor([&] { return entry(view, QStringLiteral("Archive")).isValid(); }, 5000));

    // Selected with a file, it is chosen when Open is clicked.
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(entry(view, QStringLiteral("Archive"))).center());
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      view->visualRect(entry(view, QStringLiteral("notes.txt"))).center());
    ASSERT_TRUE(acceptButton(dialog)->isEnabled());
    acceptButton(dialog)->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    QStringList chosen = dialog.selectedFiles();
    chosen.sort();
    EXPECT_EQ(chosen, QStringList({folder.filePath(QStringLiteral("Archive")), folder.filePath(QStringLiteral("notes.txt"))}));
}

TEST_F(DMFileDialogTest, SaveOntoAnExistingPackageAsksToReplaceIt)
{
    panel.title = QStringLiteral("Save As");
    DMFileDialog dialog(panel, QFileDialog::AcceptSave);
    QAbstractItemView *view = show(dialog, 2);
    auto *name = dialog.findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
    name->setText(QStringLiteral("Plan"));
    ASSERT_TRUE(waitFor([&] { return acceptButton(dialog)->isEnabled(); }));
    EXPECT_EQ(acceptButton(dialog)->text(), QStringLiteral("&Save"));

    // Cancel keeps the panel open; Replace accepts the package's path.
    ui.answers = {DMModalUI::AlternateReturn, DMModalUI::DefaultReturn};
    acceptButton(dialog)->click();
    ASSERT_EQ(ui.asked.size(), 1);
    EXPECT_TRUE(ui.asked.first().messageText.contains(QStringLiteral("Plan.hy2")));
    EXPECT_TRUE(dialog.isVisible());
    acceptButton(dialog)->click();
    EXPECT_EQ(ui.asked.size(), 2);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.selectedFiles(), QStringList{folder.filePath(QStringLiteral("Plan.hy2"))});

    // A double click on the package is the same choice; a new name is taken without asking.
    DMFileDialog again(panel, QFileDialog::AcceptSave);
    view = show(again, 2);
    ui.answers = {DMModalUI::DefaultReturn};
    doubleClick(view, entry(view, QStringLiteral("Plan.hy2")));
    EXPECT_EQ(ui.asked.size(), 3);
    EXPECT_EQ(again.result(), QDialog::Accepted);
    DMFileDialog fresh(panel, QFileDialog::AcceptSave);
    show(fresh, 2);
    fresh.findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(QStringLiteral("Fresh"));
    acceptButton(fresh)->click();
    EXPECT_EQ(ui.asked.size(), 3);
    EXPECT_EQ(fresh.selectedFiles(), QStringList{folder.filePath(QStringLiteral("Fresh.hy2"))});
}

} // namespace
