// Pictures for review, written into the folder named by HALCYRA_SCREENS_DIR (skipped without
// it): the transfer's progress window during a real FTP upload, alone and as a sheet on a
// document window, and a composed page as another program renders it. Run under xvfb-run with
// QT_QPA_PLATFORM=xcb to see real windows.
#include "DMFileTransferController.h"
#include "DMViewCompositor.h"

#include "FileTransferTestServer.h"
#include "PrintViewTestSupport.h"
#include "ScreenshotSupport.h"
#include "TestSupport.h"

#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QPageSize>
#include <QScreen>
#include <QVBoxLayout>

#include <gtest/gtest.h>

using halcyra::test::pumpEvents;
using halcyra::test::saveScreen;
using halcyra::test::screensFolder;
using halcyra::test::waitFor;

namespace {

TEST(FileTransferScreenshot, ProgressWindowDuringAnUpload)
{
    if (screensFolder().isEmpty())
        GTEST_SKIP() << "HALCYRA_SCREENS_DIR is not set";
    FileTransferTestServer server(512 * 1024);
    ASSERT_TRUE(server.isRunning()) << qPrintable(server.whyNotRunning());

    for (bool asSheet : {false, true}) {
        QWidget document;
        document.setWindowTitle(QStringLiteral("Project Plan"));
        document.resize(760, 480);
        auto *label = new QLabel(QStringLiteral("The document window"), &document);
        label->setAlignment(Qt::AlignCenter);
        (new QVBoxLayout(&document))->addWidget(label);
        if (asSheet) {
            document.move(40, 40);
            document.show();
        }
        QByteArray data(24 * 1024 * 1024, 'x');
        auto *controller = new DMFileTransferController(DMFileTransferController::urlForData(data),
                                                        QUrl(server.url(QStringLiteral("/Project Plan.pdf"))));
        if (asSheet)
            controller->setWindowForSheet(&document);
        QPointer<DMFileTransferController> alive = controller;
        controller->start();
        ASSERT_TRUE(waitFor([&] { return !controller->infoText().isEmpty(); }, 10000));
        pumpEvents(1200);
        ASSERT_TRUE(alive);
        if (asSheet)
            saveScreen(QGuiApplication::primaryScreen()->grabWindow(0, 0, 0, 840, 560).toImage(), QStringLiteral("transfer-sheet.png"));
        else
            saveScreen(controller->window()->grab().toImage(), QStringLiteral("transfer-progress.png"));
        controller->stop();
        pumpEvents(50);
    }
}

TEST(FileTransferScreenshot, ComposedPage)
{
    if (screensFolder().isEmpty())
        GTEST_SKIP() << "HALCYRA_SCREENS_DIR is not set";
    const QSizeF a4 = QPageSize(QPageSize::A4).size(QPageSize::Point);
    DMViewCompositor compositor(QRectF(QPointF(0, 0), a4));
    QImage outline = printtest::pointImage(160, 600, QColor(235, 240, 250));
    QImage header = printtest::pointImage(800, 40, QColor(90, 110, 140));
    QImage chart = printtest::pointImage(800, 600);
    printtest::paint(outline, [](QPainter &p) {
        p.setFont(QFont(QStringLiteral("DejaVu Sans"), 9));
        for (int row = 0; row < 25; ++row)
            p.drawText(QRectF(6, row * 24, 150, 24), Qt::AlignVCenter, QStringLiteral("Task %1").arg(row + 1));
    });
    printtest::paint(chart, [](QPainter &p) {
        for (int row = 0; row < 25; ++row)
            p.fillRect(QRectF(20 + row * 25, row * 24 + 6, 120, 12), QColor(70, 130, 200));
    });
    // Two pages' worth of chart: this page shows its left half, as page composition slices it.
    const double left = 36, bottom = 60, height = 600 * 0.75;
    compositor.addImageWithRectFromRectBordered(outline, QRectF(left, bottom, 120, height), QRectF(), true);
    compositor.addImageWithRectFromRectBordered(header, QRectF(left + 121, bottom + height + 1, 400, 30), QRectF(0, 0, 400, 40), true);
    compositor.addImageWithRectFromRectBordered(chart, QRectF(left + 121, bottom, 400, height), QRectF(0, 0, 400, 600), true);
    DMViewCompositorTextAttributes attributes;
    attributes.font = QFont(QStringLiteral("DejaVu Sans"));
    attributes.font.setPointSizeF(9);
    attributes.color = Qt::darkGray;
    compositor.addNSStringWithRectAndAttributes(QStringLiteral("Project Plan - header"), QRectF(240, a4.height() - 40, 200, 14), attributes);
    compositor.addNSStringWithRectAndAttributes(QStringLiteral("Page 1 - footer"), QRectF(260, 30, 200, 14), attributes);

    QTemporaryDir folder;
    const QString pdf = printtest::writeFile(folder, QStringLiteral("page.pdf"), compositor.dataWithPDFInsideRect(compositor.bounds()));
    saveScreen(printtest::pdfPageImage(pdf, 1, 100), QStringLiteral("compositor-page.png"));
}

} // namespace
