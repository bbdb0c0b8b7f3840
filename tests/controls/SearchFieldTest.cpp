// The search field: typing asks the data source and lists the results in a window under the
// field; no results or an empty text hide it without asking; choosing a row tells the data source.
#include "ControlsTestSupport.h"

#include "DMSearchField.h"
#include "DMSearchFieldDataSource.h"

#include <QApplication>
#include <QFocusEvent>
#include <QTableView>
#include <QTest>
#include <QVBoxLayout>

namespace {

// Finds titles containing the text; dismisses the list on a choice, as the document does.
class TitleSource : public DMSearchFieldDataSource
{
public:
    QVariantList searchResultsForField(DMSearchField *field) override
    {
        askedWith.append(field->text());
        QVariantList results;
        for (const QString &title : titles)
            if (title.contains(field->text(), Qt::CaseInsensitive))
                results.append(QVariantMap{{QStringLiteral("title"), title}, {QStringLiteral("objectID"), 7}});
        return results;
    }
    void searchFieldDidSelectItem(DMSearchField *field, const QVariant &item) override
    {
        chosen.append(item.toMap().value(QStringLiteral("title")).toString());
        field->dismiss();
    }

    QStringList titles{QStringLiteral("Roof"), QStringLiteral("Foundation"), QStringLiteral("Roof tiles"),
                       QStringLiteral("Walls")};
    QStringList askedWith;
    QStringList chosen;
};

struct SearchWindow
{
    SearchWindow()
    {
        auto *layout = new QVBoxLayout(&window);
        field = new DMSearchField(&window);
        layout->addWidget(field);
        layout->addStretch();
        field->setDataSource(&source);
        window.setGeometry(100, 100, 300, 200);
        window.show();
    }
    int rowStep() const { return DMSearchField::kRowHeight + 2; }

    QWidget window;
    DMSearchField *field = nullptr;
    TitleSource source;
};

} // namespace

TEST(SearchField, BeginningToEditShowsTheWindowUnderTheFieldAndEndingHidesIt)
{
    SearchWindow w;
    w.field->textDidBeginEditing();
    ASSERT_TRUE(w.field->isResultsWindowVisible());
    const QRect frame = w.field->resultsWindow()->geometry();
    EXPECT_EQ(frame.size(), QSize(DMSearchField::kResultsWindowWidth, 2));
    EXPECT_EQ(frame.topLeft(), w.field->mapToGlobal(QPoint(0, w.field->height())));
    EXPECT_EQ(w.field->resultsWindow()->parentWidget(), &w.window);
    EXPECT_TRUE(w.field->resultsWindow()->windowFlags() & Qt::WindowDoesNotAcceptFocus);

    // Typing lists results; ending the editing hides the window.
    QTest::keyClicks(w.field, QStringLiteral("wa"));
    ASSERT_TRUE(w.field->isResultsWindowVisible());
    QFocusEvent focusOut(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(w.field, &focusOut);
    EXPECT_FALSE(w.field->isResultsWindowVisible());
    EXPECT_EQ(w.field->resultsWindow()->parentWidget(), nullptr);
}

TEST(SearchField, TypingListsResultsNoResultOrNoTextHidesThemAndAChoiceIsTold)
{
    SearchWindow w;
    QTest::keyClicks(w.field, QStringLiteral("roo"));
    EXPECT_EQ(w.source.askedWith, QStringList({"r", "ro", "roo"}));
    ASSERT_TRUE(w.field->isResultsWindowVisible());
    EXPECT_EQ(w.field->resultsWindow()->height(), 2 * w.rowStep() + 2);
    QTableView *table = w.field->resultsTableView();
    ASSERT_EQ(table->model()->rowCount(), 2);
    EXPECT_EQ(table->model()->index(1, 1).data().toString(), QStringLiteral("Roof tiles"));

    QTest::keyClicks(w.field, QStringLiteral("x"));
    EXPECT_FALSE(w.field->isResultsWindowVisible());
    EXPECT_TRUE(w.field->searchResults().isEmpty());

    // Erasing back to nothing asks nothing for the empty text and shows no window.
    w.source.askedWith.clear();
    for (int i = 0; i < 4; ++i)
        QTest::keyClick(w.field, Qt::Key_Backspace);
    EXPECT_EQ(w.source.askedWith, QStringList({"roo", "ro", "r"}));
    EXPECT_FALSE(w.field->isResultsWindowVisible());
    EXPECT_TRUE(w.field->searchResults().isEmpty());

    // Choosing a row tells the data source.
    QTest::keyClicks(w.field, QStringLiteral("o"));
    ASSERT_TRUE(w.field->isResultsWindowVisible());
    const QRect row = table->visualRect(table->model()->index(2, 1));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, row.center());
    EXPECT_EQ(w.source.chosen, QStringList({"Roof tiles"}));
    EXPECT_FALSE(w.field->isResultsWindowVisible()); // the data source dismissed it

    // Shown afresh, the list has no row selected.
    QTest::keyClicks(w.field, QStringLiteral("o"));
    ASSERT_TRUE(w.field->isResultsWindowVisible());
    EXPECT_FALSE(table->selectionModel()->hasSelection());
}

TEST(SearchField, ArrowKeysWalkTheResultsWithoutChoosingAndReturnChooses)
{
    SearchWindow w;
    w.window.activateWindow();
    w.field->setFocus();
    QTest::keyClicks(w.field, QStringLiteral("o"));
    ASSERT_TRUE(w.field->isResultsWindowVisible());
    QTableView *table = w.field->resultsTableView();
    const auto selectedRow = [table] {
        const QModelIndexList rows = table->selectionModel()->selectedRows();
        return rows.isEmpty() ? -1 : rows.first().row();
    };

    // Down from no row reaches the first; walking stops at either end and chooses nothing.
    QTest::keyClick(w.field, Qt::Key_Down);
    EXPECT_EQ(selectedRow(), 0);
    for (int i = 0; i < 4; ++i)
        QTest::keyClick(w.field, Qt::Key_Down);
    EXPECT_EQ(selectedRow(), 2);
    QTest::keyClick(w.field, Qt::Key_Up);
    EXPECT_EQ(selectedRow(), 1);
    EXPECT_TRUE(w.source.chosen.isEmpty());
    EXPECT_EQ(w.field->text(), QStringLiteral("o")); // the arrows moved no text cursor into the list

    QTest::keyClick(w.field, Qt::Key_Return);
    EXPECT_EQ(w.source.chosen, QStringList({"Foundation"}));
    EXPECT_FALSE(w.field->isResultsWindowVisible());

    // A click on the row reached by arrow key chooses it, once.
    QTest::keyClicks(w.field, QStringLiteral("o"));
    ASSERT_TRUE(w.field->isResultsWindowVisible());
    QTest::keyClick(w.field, Qt::Key_Up); // from no row: the last ("oo": "Roof", "Roof tiles")
    EXPECT_EQ(selectedRow(), 1);
    QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::NoModifier,
                      table->visualRect(table->model()->index(1, 1)).center());
    EXPECT_EQ(w.source.chosen, QStringList({"Foundation", "Roof tiles"}));

    // Escape hides the list and leaves the text; Return with no row reached chooses nothing.
    QTest::keyClicks(w.field, QStringLiteral("f"));
    ASSERT_TRUE(w.field->isResultsWindowVisible());
    QTest::keyClick(w.field, Qt::Key_Return);
    EXPECT_EQ(w.source.chosen.size(), 2);
    QTest::keyClick(w.field, Qt::Key_Escape);
    EXPECT_FALSE(w.field->isResultsWindowVisible());
    EXPECT_EQ(w.field->text(), QStringLiteral("oof"));
}
