// Pictures of the popovers and date cells as a person sees them, written as PNG files into the
// folder named by HALCYRA_SCREENS_DIR (skipped without it). Run under a real display server
// (xvfb-run with QT_QPA_PLATFORM=xcb) to look at them; translucent windows are composed over
// their parent here, as a compositing desktop shows them.
#include "DMAttachedWindow.h"
#include "DMBlurredView.h"
#include "DMCalendarPanel.h"
#include "DMChildWindow.h"
#include "DMColorWell.h"
#include "DMDatePickerCell.h"
#include "DMDatePickerCellEditor.h"
#include "DMDatePickerFieldEditor.h"
#include "DMDateTextFieldCell.h"
#include "DMDefaultImageView.h"
#include "DMEMailTextField.h"
#include "DMPopoverInfoPanel.h"
#include "HandCursorButton.h"
#include "TexturedWindow.h"

#include "TestSupport.h"

#include <QCalendarWidget>
#include <QDateTimeEdit>
#include <QDir>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>
#include <QToolBar>
#include <QVBoxLayout>
#include <QWindow>

#include <gtest/gtest.h>

#include <memory>

namespace {

QString screensFolder()
{
    return qEnvironmentVariable("HALCYRA_SCREENS_DIR");
}

// The window's picture with its visible child windows drawn over it at their places.
QImage composed(QWidget *window, const QList<QWidget *> &children)
{
    const QPoint origin = window->mapToGlobal(QPoint(0, 0));
    QImage image = window->grab().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    for (QWidget *child : children)
        if (child && child->isVisible())
            painter.drawPixmap(child->mapToGlobal(QPoint(0, 0)) - origin, child->grab());
    return image;
}

void save(const QImage &image, const QString &name)
{
    QDir().mkpath(screensFolder());
    EXPECT_TRUE(image.save(QDir(screensFolder()).filePath(name)));
}

std::unique_ptr<QWidget> documentWindow(const QString &title, QSize size)
{
    auto window = std::make_unique<QWidget>();
    window->setWindowTitle(title);
    window->setGeometry(QRect(QPoint(80, 80), size));
    return window;
}

QWidget *labelledView(const QString &text, QSize size)
{
    auto *view = new QLabel(text);
    view->setAlignment(Qt::AlignCenter);
    view->resize(size);
    return view;
}

} // namespace

TEST(ControlsScreenshots, AttachedWindowOnEverySide)
{
    if (screensFolder().isEmpty())
        GTEST_SKIP() << "HALCYRA_SCREENS_DIR is not set";
    for (int first : {0, 4, 8}) {
        auto window = documentWindow(QStringLiteral("Sides"), QSize(900, 640));
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        const QPoint points[] = {{250, 170}, {650, 170}, {250, 470}, {650, 470}};
        QList<QWidget *> popovers;
        for (int i = 0; i < 4; ++i) {
            const int side = first + i;
            auto *marker = new QLabel(window.get());
            marker->setStyleSheet(QStringLiteral("background: red; border-radius: 3px"));
            marker->setGeometry(QRect(points[i] - QPoint(3, 3), QSize(7, 7)));
            marker->show();
            auto *popover = new DMAttachedWindow(labelledView(QStringLiteral("side %1").arg(side), QSize(120, 60)),
                                                 points[i], window.get(), side);
            popover->setBackgroundColor(QColor(250, 250, 250));
            popover->setBorderColor(QColor(90, 90, 90));
            popover->setBorderWidth(1);
            DMWindow_addChildWindow(window.get(), popover);
            popovers << popover;
        }
        halcyra::test::pumpEvents(100);
        save(composed(window.get(), popovers), QStringLiteral("attached_sides_%1-%2.png").arg(first).arg(first + 3));
        qDeleteAll(popovers);
    }
}

TEST(ControlsScreenshots, CalendarPanelOverADateField)
{
    if (screensFolder().isEmpty())
        GTEST_SKIP() << "HALCYRA_SCREENS_DIR is not set";
    auto window = documentWindow(QStringLiteral("Task"), QSize(560, 420));
    auto *layout = new QVBoxLayout(window.get());
    auto *field = new QDateTimeEdit(QDateTime(QDate(2024, 3, 14), QTime(9, 30)));
    field->setDisplayFormat(QStringLiteral("yyyy-MM-dd HH:mm"));
    layout->addWidget(new QLabel(QStringLiteral("Begin date")));
    layout->addWidget(field);
    layout->addStretch();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    DMCalendarPanel::showCalendarPanel(field);
    DMCalendarPanel *panel = DMCalendarPanel::sharedInstance();
    panel->datePicker()->setSelectedDate(QDate(2024, 3, 20));
    halcyra::test::pumpEvents(100);
    EXPECT_EQ(field->date(), QDate(2024, 3, 20));
    save(composed(window.get(), {panel->popoverWindow()}), QStringLiteral("calendar_popover.png"));
    panel->hidePopover();
}

TEST(ControlsScreenshots, InfoBubbleOverAButton)
{
    if (screensFolder().isEmpty())
        GTEST_SKIP() << "HALCYRA_SCREENS_DIR is not set";
    auto window = documentWindow(QStringLiteral("Project"), QSize(560, 300));
    auto *add = new QPushButton(QStringLiteral("Add Resource"), window.get());
    add->setGeometry(200, 150, 130, 30);
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QWindow *keyWindow = QGuiApplication::focusWindow();
    QImage caution(32, 32, QImage::Format_ARGB32_Premultiplied);
    caution.fill(Qt::transparent);
    {
        QPainter p(&caution);
        p.setRenderHint(QPainter::Antialiasing);
        p.setBrush(QColor(245, 190, 40));
        p.setPen(Qt::NoPen);
        p.drawPolygon(QPolygonF({QPointF(16, 2), QPointF(30, 29), QPointF(2, 29)}));
        p.setPen(QPen(Qt::black, 3));
        p.drawLine(16, 11, 16, 20);
        p.drawPoint(16, 25);
    }
    DMPopoverInfoPanel *bubble = DMPopoverInfoPanel::sharedInstance();
    bubble->showInViewIconText(add, caution, QStringLiteral("Select a resource first"));
    halcyra::test::pumpEvents(700);
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) {
        EXPECT_EQ(QGuiApplication::focusWindow(), keyWindow); // the bubble never takes the focus
    }
    save(composed(window.get(), {bubble->containerWindow()}), QStringLiteral("info_bubble.png"));
}

TEST(ControlsScreenshots, DateCellsEditing)
{
    if (screensFolder().isEmpty())
        GTEST_SKIP() << "HALCYRA_SCREENS_DIR is not set";
    auto window = documentWindow(QStringLiteral("Tasks"), QSize(620, 260));
    QStandardItemModel model(4, 3);
    model.setHorizontalHeaderLabels({QStringLiteral("Title"), QStringLiteral("Begin"), QStringLiteral("End")});
    for (int row = 0; row < 4; ++row) {
        model.setData(model.index(row, 0), QStringLiteral("Task %1").arg(row + 1));
        model.setData(model.index(row, 1), QDateTime(QDate(2024, 3, 11 + 2 * row), QTime(8, 0)));
        model.setData(model.index(row, 2), QDateTime(QDate(2024, 3, 12 + 2 * row), QTime(17, 0)));
    }
    auto *table = new QTableView;
    DMDateTextFieldCell beginCell;
    DMDatePickerCell endCell;
    endCell.setDatePickerStyle(kDMDatePickerStyle_TextField);
    table->setModel(&model);
    table->setItemDelegateForColumn(1, &beginCell);
    table->setItemDelegateForColumn(2, &endCell);
    table->setColumnWidth(0, 120);
    table->setColumnWidth(1, 210);
    table->setColumnWidth(2, 210);
    auto *layout = new QVBoxLayout(window.get());
    layout->addWidget(table);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));

    // The begin of task 2 edited through the cell's own editor; the end of task 4 in place.
    table->setFocus();
    table->edit(model.index(1, 1));
    auto *inPlace = new DMDatePickerCellEditor(table->visualRect(model.index(3, 2)), table->viewport());
    inPlace->setAttributesFromCell(endCell);
    inPlace->setDateTime(model.index(3, 2).data().toDateTime());
    inPlace->show();
    halcyra::test::pumpEvents(200);
    ASSERT_TRUE(beginCell.fieldEditor());
    save(window->grab().toImage(), QStringLiteral("date_cells_editing.png"));
}

TEST(ControlsScreenshots, SmallControls)
{
    if (screensFolder().isEmpty())
        GTEST_SKIP() << "HALCYRA_SCREENS_DIR is not set";
    TexturedWindow window;
    window.setWindowTitle(QStringLiteral("Small controls"));
    auto *toolbar = window.addToolBar(QStringLiteral("Tools"));
    toolbar->addWidget(new HandCursorButton(QStringLiteral("Hand cursor")));
    auto *content = new QWidget;
    content->setAutoFillBackground(true);
    auto *layout = new QVBoxLayout(content);
    auto *idle = new DMColorWell;
    idle->setColor(QColor(40, 120, 220));
    auto *mail = new DMEMailTextField(QStringLiteral("ann@example.org"));
    QImage fallback(48, 48, QImage::Format_ARGB32_Premultiplied);
    fallback.fill(QColor(180, 180, 190));
    auto *image = new DMDefaultImageView(fallback);
    image->setFixedSize(48, 48);
    auto *stripes = new QWidget;
    stripes->setFixedHeight(90);
    stripes->setAutoFillBackground(true);
    QLinearGradient colours(0, 0, 400, 0);
    colours.setStops({{0, QColor(208, 48, 48)}, {0.5, QColor(48, 160, 48)}, {1, QColor(48, 80, 208)}});
    QPalette striped = stripes->palette();
    striped.setBrush(QPalette::Window, colours);
    stripes->setPalette(striped);
    auto *blurred = new DMBlurredView(stripes);
    blurred->setGeometry(60, 15, 220, 60);
    new QLabel(QStringLiteral("Sharp text on a blurred ground"), blurred);
    layout->addWidget(idle);
    layout->addWidget(mail);
    layout->addWidget(image);
    layout->addWidget(stripes);
    window.setCentralWidget(content);
    window.resize(420, 320);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    halcyra::test::pumpEvents(100);
    save(window.grab().toImage(), QStringLiteral("small_controls.png"));
}
