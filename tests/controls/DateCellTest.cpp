// Date cells in tables: drawn as a date picker, edited with a live picker over the cell, and the
// edited date applied once when the edit ends.
#include "DMBeep.h"
#include "DMDatePickerCell.h"
#include "DMDatePickerCellEditor.h"
#include "DMDatePickerFieldEditor.h"
#include "DMDateTextFieldCell.h"

#include "TestSupport.h"

#include <QApplication>
#include <QDateTimeEdit>
#include <QPainter>
#include <QStyleOptionViewItem>
#include <QLineEdit>
#include <QPointer>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <memory>

namespace {

const QDateTime kBegin(QDate(2024, 3, 14), QTime(9, 30));

// Counts every value the table writes, as a model that validates each change would see them.
class CountingModel : public QStandardItemModel
{
public:
    QList<QVariant> written;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override
    {
        if (role == Qt::EditRole)
            written << value;
        return QStandardItemModel::setData(index, value, role);
    }
};

// A window with a one-cell table of dates and a field to take the focus away.
struct DateTable
{
    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
    CountingModel model;
    QTableView *table = new QTableView;
    QLineEdit *elsewhere = new QLineEdit;
    DMDateTextFieldCell cell;

    explicit DateTable(const QVariant &value = kBegin)
    {
        model.setRowCount(1);
        model.setColumnCount(1);
        model.setData(model.index(0, 0), value);
        model.written.clear();
        cell.datePickerCell()->setLocale(QLocale(QLocale::English, QLocale::UnitedStates));
        table->setModel(&model);
        table->setItemDelegate(&cell);
        table->setColumnWidth(0, 220);
        auto *layout = new QVBoxLayout(window.get());
        layout->addWidget(table);
        layout->addWidget(elsewhere);
        window->resize(300, 200);
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    QDateTimeEdit *startEditing()
    {
        table->setFocus();
        table->edit(model.index(0, 0));
        DMDatePickerFieldEditor *editor = cell.fieldEditor();
        EXPECT_TRUE(editor);
        if (!editor)
            return nullptr;
        EXPECT_TRUE(halcyra::test::waitFor([&] { return editor->datePicker()->hasFocus(); }));
        return editor->datePicker();
    }
};

} // namespace

TEST(DMDateTextFieldCell, EditedDateIsAppliedOnceWhenTheEditEnds)
{
    for (int key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
        DateTable dates;
        QDateTimeEdit *picker = dates.startEditing();
        ASSERT_TRUE(picker);
        EXPECT_EQ(picker->dateTime(), kBegin);
        picker->setSelectedSection(QDateTimeEdit::DaySection);
        QTest::keyClick(picker, Qt::Key_Up);
        QTest::keyClick(picker, Qt::Key_Up);
        EXPECT_TRUE(dates.model.written.isEmpty()); // nothing while stepping
        QTest::keyClick(picker, Qt::Key(key));
        ASSERT_EQ(dates.model.written.size(), 1) << "key " << key;
        // Escape keeps the date chosen too.
        EXPECT_EQ(dates.model.written.first().toDateTime(), kBegin.addDays(2)) << "key " << key;
        EXPECT_TRUE(halcyra::test::waitFor([&] { return dates.cell.fieldEditor() == nullptr; }));
        halcyra::test::runUntilIdle();
        EXPECT_EQ(dates.model.written.size(), 1); // the focus going back to the table adds nothing
    }
}

TEST(DMDateTextFieldCell, LeavingThePickerEndsTheEdit)
{
    DateTable dates;
    QDateTimeEdit *picker = dates.startEditing();
    ASSERT_TRUE(picker);
    picker->setSelectedSection(QDateTimeEdit::HourSection);
    QTest::keyClick(picker, Qt::Key_Down);
    dates.elsewhere->setFocus();
    ASSERT_EQ(dates.model.written.size(), 1);
    EXPECT_EQ(dates.model.written.first().toDateTime(), kBegin.addSecs(-3600));
}

TEST(DMDateTextFieldCell, AValueThatIsNoDateIsNeitherShownNorEdited)
{
    DateTable dates(QStringLiteral("tomorrow"));
    const QDateTime before = QDateTime(QDate(2000, 1, 1), QTime(0, 0));
    QDateTimeEdit *picker = dates.startEditing();
    ASSERT_TRUE(picker);
    EXPECT_EQ(picker->date(), QDate(2000, 1, 1)); // the picker's own start, not the string
    EXPECT_TRUE(picker->dateTime() >= before);

    // Drawn: a date shows its text, a string nothing.
    DateTable shown;
    const QImage withDate = shown.table->viewport()->grab().toImage();
    const QImage withString = dates.table->viewport()->grab().toImage();
    const QRect cell = shown.table->visualRect(shown.model.index(0, 0));
    int differing = 0;
    for (int x = cell.left(); x < cell.left() + 120; ++x)
        differing += withDate.pixelColor(x, cell.center().y()) != withString.pixelColor(x, cell.center().y());
    EXPECT_GT(differing, 5);
}

namespace {

class FinishRecorder : public DMDatePickerCellEditorDelegate
{
public:
    QList<QDateTime> finished;
    void datePickerCellEditorDidFinishEditing(DMDatePickerCellEditor *editor) override
    {
        finished << editor->dateTime();
    }
};

} // namespace

TEST(DMDatePickerCellEditor, ReportsOnceWhenTheFocusGoesBackToTheList)
{
    QWidget list;
    list.resize(300, 100);
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&list));
    DMDatePickerCell column;
    column.setDatePickerElements(236); // year, month and day, hours and minutes
    column.setDatePickerStyle(kDMDatePickerStyle_TextField);

    for (int key : {Qt::Key_Return, Qt::Key_Escape}) {
        FinishRecorder recorder;
        QPointer<DMDatePickerCellEditor> editor = new DMDatePickerCellEditor(QRect(10, 10, 200, 24), &list);
        editor->setAttributesFromCell(column);
        EXPECT_EQ(editor->buttonSymbols(), QAbstractSpinBox::NoButtons);
        EXPECT_TRUE(editor->hasFrame());
        EXPECT_TRUE(editor->displayedSections() & QDateTimeEdit::MinuteSection);
        EXPECT_TRUE(editor->displayedSections() & QDateTimeEdit::DaySection);
        editor->setDateTime(kBegin);
        editor->setDelegate(&recorder);
        editor->show();
        editor->setFocus();
        ASSERT_TRUE(halcyra::test::waitFor([&] { return editor->hasFocus(); }));

        editor->setSelectedSection(QDateTimeEdit::DaySection);
        QTest::keyClick(editor, Qt::Key_Up);
        // Losing the focus to a popup (its calendar) is not the end.
        QFocusEvent toPopup(QEvent::FocusOut, Qt::PopupFocusReason);
        QCoreApplication::sendEvent(editor, &toPopup);
        EXPECT_TRUE(recorder.finished.isEmpty());

        QTest::keyClick(editor, Qt::Key(key));
        ASSERT_EQ(recorder.finished.size(), 1);
        EXPECT_EQ(recorder.finished.first(), kBegin.addDays(1)); // Escape restores nothing
        EXPECT_TRUE(list.hasFocus());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(editor.isNull());
    }
}

TEST(DMDatePickerCellEditor, ReadsAWholeTypedDateInTheUsersFormatsAndNothingElse)
{
    const QLocale british(QLocale::English, QLocale::UnitedKingdom);
    const QLocale american(QLocale::English, QLocale::UnitedStates);
    const QLocale german(QLocale::German, QLocale::Germany);
    const QTime kept(14, 30);
    const QDateTime january4(QDate(2027, 1, 4), QTime(9, 0));
    const struct
    {
        const char *text;
        QLocale locale;
        QDateTime read; // invalid: refused
    } cases[] = {
        {"4 Jan 2027 09:00", british, january4},
        {"  4   january 2027 09:00 ", british, january4},
        {"Monday, 4 January 2027 09:00", british, january4},
        {"04/01/2027 09:00", british, january4},
        {"4 Jan 2027", british, QDateTime(QDate(2027, 1, 4), kept)},
        {"2027-01-04 09:00", british, january4},
        {"1/4/2027 9:00 AM", american, january4},
        {"04.01.2027 09:00", german, january4},
        // Two-digit years are not read as the 1900s; no text names a day that does not exist.
        {"4/1/27 09:00", british, QDateTime()},
        {"31 Feb 2027 09:00", british, QDateTime()},
        {"4 Jan 2027 25:00", british, QDateTime()},
        {"next Monday", british, QDateTime()},
        {"4 Jan 2027 09:00 and more", british, QDateTime()},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(DMDateTimeEdit::dateTimeFromTypedText(QString::fromUtf8(c.text), c.locale,
                                                        QStringLiteral("dd/MM/yyyy HH:mm"), kept),
                  c.read);
    }
}

TEST(DMDatePickerCellEditor, AWholeDateTypedOverTheSelectedTextIsTheDateHeldOrRefusedWithABeep)
{
    QWidget list;
    list.resize(300, 100);
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&list));
    DMDatePickerCell column;
    column.setLocale(QLocale(QLocale::English, QLocale::UnitedKingdom));
    column.setDatePickerElements(236);
    const QDateTime shown(QDate(2026, 1, 7), QTime(20, 27));
    int beeps = 0;
    DMBeep_setHook([&beeps] { ++beeps; });
    // Opens an editor over the list showing the date, with the focus.
    const auto open = [&](FinishRecorder &recorder) {
        auto *editor = new DMDatePickerCellEditor(QRect(10, 10, 200, 24), &list);
        editor->setAttributesFromCell(column);
        editor->setDateTime(shown);
        editor->setDelegate(&recorder);
        editor->show();
        editor->setFocus();
        EXPECT_TRUE(halcyra::test::waitFor([&] { return editor->hasFocus(); }));
        return editor;
    };

    const struct
    {
        const char *typed;
        QDateTime finished;
        int beeps;
    } cases[] = {{"4 Jan 2027 09:00", QDateTime(QDate(2027, 1, 4), QTime(9, 0)), 0},
                 {"04/01/2027 9:00", QDateTime(QDate(2027, 1, 4), QTime(9, 0)), 0},
                 {"sometime in January", shown, 1}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.typed);
        beeps = 0;
        FinishRecorder recorder;
        DMDatePickerCellEditor *editor = open(recorder);
        QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(editor, QString::fromUtf8(c.typed));
        EXPECT_TRUE(editor->isTypingWholeDate());
        QTest::keyClick(editor, Qt::Key_Return);
        ASSERT_EQ(recorder.finished.size(), 1);
        EXPECT_EQ(recorder.finished.first(), c.finished);
        EXPECT_EQ(beeps, c.beeps);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Typing into one section still edits that section alone.
    beeps = 0;
    FinishRecorder recorder;
    DMDatePickerCellEditor *editor = open(recorder);
    editor->setSelectedSection(QDateTimeEdit::HourSection);
    QTest::keyClicks(editor, QStringLiteral("09"));
    EXPECT_FALSE(editor->isTypingWholeDate());
    QTest::keyClick(editor, Qt::Key_Escape);
    ASSERT_EQ(recorder.finished.size(), 1);
    EXPECT_EQ(recorder.finished.first(), QDateTime(QDate(2026, 1, 7), QTime(9, 27)));
    EXPECT_EQ(beeps, 0);
    DMBeep_setHook({});
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST(DMDatePickerCell, OffersNoEditorOfItsOwn)
{
    QStandardItemModel model(1, 1);
    model.setData(model.index(0, 0), kBegin);
    QTableView table;
    DMDatePickerCell cell;
    table.setModel(&model);
    table.setItemDelegate(&cell);
    table.show();
    table.edit(model.index(0, 0));
    EXPECT_TRUE(table.findChildren<QDateTimeEdit *>().isEmpty());

    QDateTimeEdit dateOnly;
    dateOnly.setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    EXPECT_EQ(DMDatePickerElements_ofDateTimeEdit(&dateOnly), kDMDatePickerElement_YearMonthDay);
    dateOnly.setDisplayFormat(QStringLiteral("dd.MM.yyyy HH:mm"));
    EXPECT_EQ(DMDatePickerElements_ofDateTimeEdit(&dateOnly), 236);
}

// The format is worked out once and kept: a change of elements or locale after drawing must show.
TEST(DMDatePickerCell, ShowsItsCurrentElementsAndLocaleAfterDrawing)
{
    DateTable dates;
    DMDatePickerCell *cell = dates.cell.datePickerCell();
    cell->setLocale(QLocale(QLocale::German, QLocale::Germany));
    const QImage dateAndTime = dates.table->viewport()->grab().toImage();
    EXPECT_EQ(cell->displayText(kBegin, QLocale()), QStringLiteral("14.03.2024 09:30"));

    cell->setDatePickerElements(kDMDatePickerElement_YearMonthDay);
    EXPECT_EQ(cell->displayText(kBegin, QLocale()), QStringLiteral("14.03.2024"));
    EXPECT_NE(dates.table->viewport()->grab().toImage(), dateAndTime);

    cell->setLocale(QLocale(QLocale::English, QLocale::UnitedKingdom));
    EXPECT_EQ(cell->displayText(kBegin, QLocale()), QStringLiteral("14/03/2024"));
    cell->setDatePickerElements(kDMDatePickerElement_YearMonthDay | kDMDatePickerElement_HourMinute);
    EXPECT_EQ(cell->displayText(kBegin, QLocale()), QStringLiteral("14/03/2024 09:30"));
    EXPECT_EQ(cell->displayText(QStringLiteral("tomorrow"), QLocale()), QString());
}

// On paper (a read-only cell) the date is text alone: no stepper beside it, and no room asked for one.
TEST(DMDatePickerCell, ReadOnlyCellDrawsTheDateWithoutItsStepper)
{
    QStandardItemModel model(1, 1);
    model.setData(model.index(0, 0), kBegin, Qt::EditRole);
    DMDatePickerCell cell;
    const auto drawn = [&](QStyle::State state) {
        QImage image(200, 22, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        QStyleOptionViewItem option;
        option.rect = image.rect();
        option.state = QStyle::State_Enabled | state;
        option.palette = QApplication::palette();
        cell.paint(&painter, option, model.index(0, 0));
        return image;
    };
    const auto inkRight = [](const QImage &image) {
        int right = -1;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (qGray(image.pixel(x, y)) < 200)
                    right = std::max(right, x);
        return right;
    };
    // The stepper stands at the cell's right end; the read-only cell ends with its text.
    EXPECT_GT(inkRight(drawn(QStyle::State_None)), 180);
    EXPECT_LT(inkRight(drawn(QStyle::State_ReadOnly)), 150);
    QStyleOptionViewItem option;
    option.state = QStyle::State_ReadOnly;
    const int readOnlyWidth = cell.sizeHint(option, model.index(0, 0)).width();
    option.state = QStyle::State_None;
    EXPECT_LT(readOnlyWidth, cell.sizeHint(option, model.index(0, 0)).width());
}
