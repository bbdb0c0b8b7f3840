// The simple text cell's interior and the source-list row's layout (icon, title, count badge),
// as numbers and as drawn; editing a title happens in the title's frame.
#include "ControlsTestSupport.h"

#include "DMSourceListCell.h"

#include <QLineEdit>
#include <QListView>
#include <QStandardItemModel>

using namespace controlstest;

namespace {

const QRectF kRow(0, 0, 200, 20);

QRectF badgeFor(QSizeF text, QRectF row = kRow, _DMSourceListCellMargins margins = {})
{
    return DMSourceListCell::badgeLayout(row, text, margins, QSizeF(24, 16), QSizeF(64, 16), true);
}

} // namespace

TEST(SourceListCell, BadgeKeepsBetweenItsSmallestAndLargestSizes)
{
    // A short count: 16 high (the minimum), 24 + 16 wide, centred in the row, flush right.
    EXPECT_EQ(badgeFor(QSizeF(8, 14)), QRectF(160, 2, 40, 16));
    // A long one stops at 64 + 16.
    EXPECT_EQ(badgeFor(QSizeF(100, 14)).width(), 80);
    EXPECT_EQ(badgeFor(QSizeF(100, 14), QRectF(0, 0, 200, 16)).width(), 80);
    // A row lower than the badge's minimum height squeezes it to the room there is.
    EXPECT_EQ(badgeFor(QSizeF(8, 14), QRectF(0, 0, 200, 12)), QRectF(164, 0, 36, 12));
    // Margins: the right one moves the badge in; top and bottom trade places when not flipped.
    _DMSourceListCellMargins margins;
    margins.right = 5;
    margins.top = 4;
    EXPECT_EQ(badgeFor(QSizeF(8, 14), QRectF(0, 0, 200, 24), margins), QRectF(155, 4 + 2, 40, 16));
    EXPECT_EQ(DMSourceListCell::badgeLayout(QRectF(0, 0, 200, 24), QSizeF(8, 14), margins, QSizeF(24, 16),
                                            QSizeF(64, 16), false).y(),
              2);
}

TEST(SourceListCell, TitleRunsBetweenIconAndBadgeOrToTheMargins)
{
    DMSourceListCell cell;
    _DMSourceListCellMargins margins;
    margins.left = 5;
    margins.right = 4;
    cell.setMargins(margins);
    const QRectF row(10, 30, 200, 24);

    const QRectF icon = cell.iconFrameWithFrame(row);
    EXPECT_EQ(icon, QRectF(15, 30, 24, 24));
    const QRectF badge = cell.badgeFrameWithFrame(row);
    EXPECT_EQ(badge.right(), 10 + 200 - 4);
    EXPECT_EQ(cell.textFrameWithFrame(row), QRectF(15 + 24 + 3, 30, badge.x() - 3 - 42, 24));

    cell.setDrawsIcon(false);
    cell.setDrawsBadge(false);
    EXPECT_EQ(cell.textFrameWithFrame(row), QRectF(10 + 5, 30, 200 - 5 - 4 - 3, 24));

    // An icon taller than the row is lowered to fit it.
    cell.setIconSize(QSizeF(32, 32));
    EXPECT_EQ(cell.iconFrameWithFrame(QRectF(0, 0, 100, 20)).height(), 20);
}

TEST(SimpleTextFieldCell, InteriorPlacesTextAndBackground)
{
    const QRectF frame(0, 0, 100, 30);
    // A pill never narrower than 24, the text centred in it; vertically centred in the frame.
    auto pill = DMSimpleTextFieldCell::interiorLayout(frame, QSizeF(6, 10), Qt::AlignHCenter, true, true, true);
    EXPECT_EQ(pill.background, QRectF(38, 10, 24, 10));
    EXPECT_EQ(pill.text, QRectF(47, 10, 6, 10));
    // A longer text gets its height added as round ends.
    pill = DMSimpleTextFieldCell::interiorLayout(frame, QSizeF(40, 10), Qt::AlignLeft, true, true, false);
    EXPECT_EQ(pill.background, QRectF(0, 0, 50, 10));
    // A text that fills the frame gets no room for the ends.
    pill = DMSimpleTextFieldCell::interiorLayout(frame, QSizeF(150, 10), Qt::AlignLeft, true, true, true);
    EXPECT_EQ(pill.background.width(), 100);
    // A plain background is the text's own box; right alignment; no background at all.
    const auto plain = DMSimpleTextFieldCell::interiorLayout(frame, QSizeF(40, 10), Qt::AlignRight, true, false, true);
    EXPECT_EQ(plain.background, QRectF(60, 10, 40, 10));
    const auto bare = DMSimpleTextFieldCell::interiorLayout(frame, QSizeF(40, 10), Qt::AlignRight, false, true, true);
    EXPECT_TRUE(bare.background.isNull());
    EXPECT_EQ(bare.text, QRectF(60, 10, 40, 10));

    DMSimpleTextFieldCell cell;
    cell.setStringValue(QString());
    EXPECT_EQ(cell.stringValue(), QLatin1String(""));
    EXPECT_FALSE(cell.stringValue().isNull());
}

TEST(SourceListCell, DrawsIconTitleAndADarkBadgeWithWhiteCount)
{
    DMSourceListCell cell;
    QImage iconImage(24, 24, QImage::Format_ARGB32);
    iconImage.fill(QColor(200, 30, 30));
    cell.setIcon(QIcon(QPixmap::fromImage(iconImage)));
    cell.setStringValue(QStringLiteral("Tasks"));
    cell.badgeCell()->setStringValue(QStringLiteral("128"));
    const QRectF row(0, 0, 220, 24);
    const QImage image = renderDrawing(QSize(220, 24), [&](QPainter &p) { cell.drawWithFrame(&p, row); });

    EXPECT_EQ(image.pixel(12, 12), QColor(200, 30, 30).rgb());
    const QRect text = cell.textFrameWithFrame(row).toRect();
    EXPECT_GT(count(image, text, [](QRgb c) { return qGray(c) < 80; }), 10);
    // The badge: a dark translucent pill (grey 0.08 at 0.65 over white) with white digits in it.
    const QRect badge = cell.badgeFrameWithFrame(row).toRect();
    const QRect pill(badge.center().x() - 4, badge.center().y() - 4, 8, 8);
    EXPECT_GT(count(image, pill, [](QRgb c) { return qGray(c) > 90 && qGray(c) < 115; }), 5);
    EXPECT_GT(count(image, pill, [](QRgb c) { return qGray(c) > 200; }), 2);
    EXPECT_EQ(count(image, QRect(badge.right() + 2, 0, 10, 24), [](QRgb c) { return qGray(c) < 250; }), 0);
}

TEST(SourceListCell, EditsTheTitleInItsFrame)
{
    QStandardItemModel model;
    auto *item = new QStandardItem(QStringLiteral("Reports"));
    item->setData(QStringLiteral("3"), DMSourceListCell::BadgeTextRole);
    model.appendRow(item);
    QListView view;
    DMSourceListCell cell;
    view.setItemDelegate(&cell);
    view.setModel(&model);
    view.resize(240, 100);
    view.show();

    view.edit(model.index(0, 0));
    auto *editor = view.viewport()->findChild<QLineEdit *>();
    ASSERT_NE(editor, nullptr);
    const QRect rowRect = view.visualRect(model.index(0, 0));
    const QRectF text = cell.textFrameWithFrame(rowRect); // the badge string of the cell itself is empty
    EXPECT_EQ(editor->geometry().x(), int(text.x()));
    EXPECT_LT(editor->geometry().right(), rowRect.right() - 30); // stops before the "3" badge
    EXPECT_EQ(editor->textMargins(), QMargins(0, 3, 0, 3));
    EXPECT_EQ(editor->text(), QStringLiteral("Reports"));
}
