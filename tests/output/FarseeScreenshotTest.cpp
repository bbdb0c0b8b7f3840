// Pictures for review, written into the folder named by HALCYRA_SCREENS_DIR (skipped without
// it): a composed page exported as PDF and JPEG and shared to the stand-in of the service, then
// the sending list with those uploads, a failed one and a running one, and the menu of a row.
// Run under xvfb-run with QT_QPA_PLATFORM=xcb to see real windows. The list file is copied there
// as well, to be shown by the application (Window > Sending List) as after a restart.
#include "DMViewCompositor.h"
#include "FarseeListView.h"
#include "FarseeSendingCellOverView.h"
#include "FarseeSendingCellView.h"
#include "FarseeTestSupport.h"
#include "PrintViewTestSupport.h"
#include "ScreenshotSupport.h"

#include <QApplication>
#include <QBuffer>
#include <QMenu>
#include <QPageSize>
#include <QScreen>
#include <QTest>

using namespace halcyra::test;

namespace {

// One page of a plan as the export composes it: outline, header and bars.
QByteArray exportedPage()
{
    const QSizeF a4 = QPageSize(QPageSize::A4).size(QPageSize::Point);
    DMViewCompositor compositor(QRectF(QPointF(0, 0), a4));
    QImage outline = printtest::pointImage(160, 480, QColor(235, 240, 250));
    QImage chart = printtest::pointImage(600, 480);
    printtest::paint(outline, [](QPainter &p) {
        for (int row = 0; row < 20; ++row)
            p.drawText(QRectF(6, row * 24, 150, 24), Qt::AlignVCenter, QStringLiteral("Task %1").arg(row + 1));
    });
    printtest::paint(chart, [](QPainter &p) {
        for (int row = 0; row < 20; ++row)
            p.fillRect(QRectF(20 + row * 25, row * 24 + 6, 120, 12), QColor(70, 130, 200));
    });
    compositor.addImageWithRectFromRectBordered(outline, QRectF(36, 60, 120, 360), QRectF(), true);
    compositor.addImageWithRectFromRectBordered(chart, QRectF(157, 60, 400, 360), QRectF(), true);
    return compositor.dataWithPDFInsideRect(compositor.bounds());
}

QByteArray jpegOf(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 90);
    return bytes;
}

class FarseeScreenshotTest : public FarseeTestBase
{
};

TEST_F(FarseeScreenshotTest, SharedPagesInTheSendingList)
{
    if (screensFolder().isEmpty())
        GTEST_SKIP() << "HALCYRA_SCREENS_DIR is not set";
    restart();
    BrowserCatcher browser;
    QTemporaryDir exports;
    const QByteArray pdf = exportedPage();
    const QString pdfPath = printtest::writeFile(exports, QStringLiteral("page.pdf"), pdf);
    saveScreen(printtest::pdfPageImage(pdfPath, 1, 60), QStringLiteral("shared-page.png"));

    manager->shareData(pdf, QStringLiteral("Orvesta-Harbour works-2024-03-04-101500.pdf"), nullptr);
    ASSERT_TRUE(waitFor([&] { return browser.opened.size() == 1; }, 5000));
    manager->shareData(jpegOf(printtest::pdfPageImage(pdfPath, 1, 100)),
                       QStringLiteral("Orvesta-Harbour works-2024-03-04-101530.jpeg"), nullptr);
    ASSERT_TRUE(waitFor([&] { return browser.opened.size() == 2; }, 5000));
    service.overrides.insert(QStringLiteral("/storage"), jsonResponse(503, QVariantList{"Storage is down for maintenance"}));
    manager->shareData(pdf, QStringLiteral("Orvesta-Quay plan-2024-03-05-090000.pdf"), nullptr);
    ASSERT_TRUE(waitFor([&] { return !ui.alerts.isEmpty(); }, 5000));
    service.overrides.clear();
    holdUploads();
    EndBlockCalls running;
    manager->sendDataWithNameWithEndBlock(QByteArray(4096, 'x'), QStringLiteral("Walkthrough.mov"), running.block());
    ASSERT_TRUE(waitFor([&] { return manager->sendingCount() == 1; }));
    manager->fileUploadDidProgressConnectionIdentifierUserInfo(0.42, manager->sendingInProgress().first()->connectionIdentifier, {});

    // The list file too, for a look at it in the application's own window.
    manager->saveList();
    QFile::remove(QDir(screensFolder()).filePath(QStringLiteral("sendingList.plist")));
    QFile::copy(listPath(), QDir(screensFolder()).filePath(QStringLiteral("sendingList.plist")));

    QWidget *window = manager->showSendingWindow();
    window->move(40, 40);
    window->resize(520, 400);
    pumpEvents(300);
    saveScreen(window->grab().toImage(), QStringLiteral("sending-list.png"));

    FarseeSendingCellView *row = manager->listView()->cells().at(1);
    const QPoint point(row->width() / 3, row->height() / 2);
    QTest::mouseClick(row->overView(), Qt::RightButton, {}, point);
    pumpEvents(300);
    ASSERT_TRUE(qobject_cast<QMenu *>(QApplication::activePopupWidget()));
    saveScreen(QGuiApplication::primaryScreen()->grabWindow(0, 0, 0, 620, 500).toImage(), QStringLiteral("sending-list-menu.png"));
    QApplication::activePopupWidget()->close();
}

} // namespace
