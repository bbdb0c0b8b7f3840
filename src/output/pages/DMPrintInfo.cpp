#include "DMPrintInfo.h"

#include "DMLocalizedString.h"

#include <QAbstractTextDocumentLayout>
#include <QIODevice>
#include <QImage>
#include <QLocale>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPdfWriter>
#include <QPageSize>
#include <QPrintDialog>
#include <QPrinter>
#include <QTextDocument>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

DMPrintPanels *replacement = nullptr;
constexpr double kDefaultMargin = 36.0; // half an inch

} // namespace

DMPrintInfo DMPrintInfo::defaultPrintInfo()
{
    const bool inches = QLocale::system().measurementSystem() == QLocale::ImperialUSSystem;
    DMPrintInfo info;
    info.pageLayout = QPageLayout(QPageSize(inches ? QPageSize::Letter : QPageSize::A4), QPageLayout::Portrait,
                                  QMarginsF(kDefaultMargin, kDefaultMargin, kDefaultMargin, kDefaultMargin),
                                  QPageLayout::Point);
    return info;
}

DMPrintInfo &DMPrintInfo::sharedPrintInfo()
{
    static DMPrintInfo shared = defaultPrintInfo();
    return shared;
}

void DMPrintInfo::applyToPrinter(QPrinter *printer) const
{
    if (!printer)
        return;
    // Printers may not take margins below their own minimum; the layout is kept as it is.
    printer->setPageLayout(pageLayout);
}

DMPrintPanels &DMPrintPanels::instance()
{
    static DMPrintPanels defaultPanels;
    return replacement ? *replacement : defaultPanels;
}

void DMPrintPanels::setInstance(DMPrintPanels *panels)
{
    replacement = panels;
}

bool DMPrintPanels::runPrintPanel(QPrinter *printer, QWidget *window)
{
    QPrintDialog dialog(printer, window);
    dialog.setWindowTitle(DMLocalizedString("Print"));
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    dialog.setWindowModality(window ? Qt::WindowModal : Qt::ApplicationModal);
    return dialog.exec() == QDialog::Accepted;
}

bool DMPrintPanels::runPageLayout(QPrinter *printer, QWidget *window)
{
    QPageSetupDialog dialog(printer, window);
    dialog.setWindowTitle(DMLocalizedString("Page Setup"));
    dialog.setWindowModality(window ? Qt::WindowModal : Qt::ApplicationModal);
    return dialog.exec() == QDialog::Accepted;
}

bool DMPrintInfo_printTextDocument(const QTextDocument &document, QPagedPaintDevice *device)
{
    // Laid out in screen units, 96 to the inch, as the report view shows it.
    constexpr double kLayoutDpi = 96.0;
    constexpr double kPointsPerInch = 72.0;
    static QImage layoutDevice = [] {
        QImage image(1, 1, QImage::Format_RGB32);
        constexpr double kMetersPerInch = 0.0254;
        image.setDotsPerMeterX(int(std::lround(kLayoutDpi / kMetersPerInch)));
        image.setDotsPerMeterY(int(std::lround(kLayoutDpi / kMetersPerInch)));
        return image;
    }();
    const QRectF printable = device->pageLayout().paintRectPoints();
    const QSizeF page = printable.size() * (kLayoutDpi / kPointsPerInch);
    if (page.isEmpty())
        return false;

    // A copy: laying out for the paper must not change the shown document. Lines break between
    // words only; a table whose words do not fit the page's width widens, and the whole document
    // is then scaled down to it rather than cut at its right edge.
    std::unique_ptr<QTextDocument> copy(document.clone());
    copy->documentLayout()->setPaintDevice(&layoutDevice);
    QTextOption option = copy->defaultTextOption();
    option.setWrapMode(QTextOption::WordWrap);
    copy->setDefaultTextOption(option);
    copy->setTextWidth(page.width());
    const double width = std::max(page.width(), std::ceil(copy->idealWidth()));
    const double scale = page.width() / width;
    copy->setPageSize(QSizeF(width, page.height() / scale));

    QPainter painter;
    if (!painter.begin(device))
        return false;
    painter.scale(device->logicalDpiX() / kLayoutDpi * scale, device->logicalDpiY() / kLayoutDpi * scale);
    const QSizeF pageSize = copy->pageSize();
    for (int i = 0; i < copy->pageCount(); ++i) {
        if (i > 0 && !device->newPage())
            return false;
        const QRectF shown(QPointF(0, i * pageSize.height()), pageSize);
        painter.save();
        painter.translate(0, -shown.top());
        painter.setClipRect(shown);
        copy->drawContents(&painter, shown);
        painter.restore();
    }
    return painter.end();
}

bool DMPrintInfo_writeTextDocumentPDF(const QTextDocument &document, QIODevice *device, const QPageLayout &layout,
                                      const QString &title)
{
    if (!device || !device->isWritable())
        return false;
    const qint64 start = device->pos();
    {
        QPdfWriter writer(device);
        writer.setPageLayout(layout);
        writer.setTitle(title);
        writer.setCreator(QStringLiteral("Halcyra"));
        if (!DMPrintInfo_printTextDocument(document, &writer))
            return false;
    }
    return device->pos() > start;
}
