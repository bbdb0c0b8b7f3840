#include "DMPrintInfo.h"

#include "DMLocalizedString.h"

#include <QIODevice>
#include <QLocale>
#include <QPageSetupDialog>
#include <QPdfWriter>
#include <QPageSize>
#include <QPrintDialog>
#include <QPrinter>
#include <QTextDocument>

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
        // A copy: paginating for the paper must not change the shown document.
        std::unique_ptr<QTextDocument> copy(document.clone());
        copy->print(&writer);
    }
    return device->pos() > start;
}
