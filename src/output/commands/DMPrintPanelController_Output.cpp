// DMPrintPanelController: the output of a confirmed composition.
#include "DMPrintPanelController.h"

#include "DMLocalizedString.h"
#include "DMModalUI.h"
#include "DMPrintInfo.h"
#include "DMPrintPanelControllerDataSource.h"
#include "DMSaveFile.h"
#include "DMStringAdditions.h"
#include "DMWebExport.h"
#include "FarseeManager.h"

#include <QBuffer>
#include <QDateTime>
#include <QFileInfo>
#include <QImageWriter>
#include <QPrinter>
#include <QWidget>

namespace {

constexpr int kJPEGQuality = 90;

QByteArray jpegData(const QImage &image, QString *error)
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpg");
    writer.setQuality(kJPEGQuality);
    if (!writer.write(image.convertToFormat(QImage::Format_RGB32))) {
        *error = writer.errorString();
        return QByteArray();
    }
    return data;
}

} // namespace

QString DMPrintPanelController::outputBaseName() const
{
    auto *self = const_cast<DMPrintPanelController *>(this); // the data source takes its sender
    const QString name = m_datasource ? m_datasource->imageExportFilenameForPrintPanelController(self) : QString();
    return name.trimmed().isEmpty() ? DMLocalizedString("Untitled") : name;
}

bool DMPrintPanelController::writeExport(const QString &path, const QByteArray &data) const
{
    QString error;
    if (DMSaveFile_write(path, data, &error))
        return true;
    DMModalUI::instance().presentError(
        DMLocalizedString("The file \"%1\" could not be written.").arg(QFileInfo(path).fileName()), error, m_window);
    return false;
}

void DMPrintPanelController::_print()
{
    if (m_pageImages.isEmpty())
        return;
    if (!m_imageExport) {
        // A printer set up with the paper the pages were composed on: what the user picks in the
        // print panel serves this print only.
        QPrinter printer(QPrinter::HighResolution);
        printer.setPageLayout(m_pageLayout);
        printer.setDocName(outputBaseName());
        printer.setCreator(QStringLiteral("Halcyra 2"));
        if (!DMPrintPanels::instance().runPrintPanel(&printer, m_window))
            return;
        QString error;
        if (!DMComposedPage::printPages(m_pageImages, &printer, &error))
            DMModalUI::instance().presentError(DMLocalizedString("The pages could not be printed."), error, m_window);
        return;
    }

    const bool jpeg = m_imageExportFormat == QLatin1String("jpg");
    const QString baseName = outputBaseName();
    QString path;
    if (!m_internetExport && !m_farseeExport) {
        DMModalUI::FilePanel panel;
        panel.title = jpeg ? DMLocalizedString("Export as JPEG") : DMLocalizedString("Export as PDF");
        panel.allowedExtensions = {m_imageExportFormat};
        panel.proposedName = fileNameForTitle(baseName, DMLocalizedString("Untitled"), m_imageExportFormat);
        if (m_datasource)
            panel.directory = m_datasource->imageExportFolderForPrintPanelController(this);
        path = DMModalUI::instance().runSavePanel(panel, m_window);
        if (path.isEmpty())
            return; // cancelled: the sheet stays
        if (QFileInfo(path).suffix().compare(m_imageExportFormat, Qt::CaseInsensitive) != 0)
            path += QLatin1Char('.') + m_imageExportFormat;
    }

    QByteArray data = m_previewData;
    if (jpeg) {
        QString error;
        const QImage image = m_pageImages.first().image(&error);
        data = image.isNull() ? QByteArray() : jpegData(image, &error);
        if (data.isEmpty()) {
            DMModalUI::instance().presentError(DMLocalizedString("The JPEG image could not be made."), error, m_window);
            return;
        }
    }
    // The sheet closes now: an upload's progress and answer go to the document window.
    QWidget *documentWindow = m_window && m_window->parentWidget() ? m_window->parentWidget() : m_window.data();
    if (m_farseeExport) {
        const QString name = DMPrintPanelController_sharedFileName(baseName, jpeg ? QStringLiteral("jpeg") : QStringLiteral("pdf"),
                                                                   QDateTime::currentDateTime());
        FarseeManager::sharedManager().shareData(data, name, documentWindow);
    } else if (m_internetExport && !jpeg) {
        const qint64 seconds = QDateTime::currentSecsSinceEpoch();
        DMWebExport::exportPDFData(data, QStringLiteral("%1.pdf").arg(baseName),
                                   QStringLiteral("%1-%2.pdf").arg(baseName).arg(seconds), documentWindow);
    } else if (m_internetExport) {
        // The web export takes PDF only; the entry points never ask it for JPEG.
        DMModalUI::instance().presentError(DMLocalizedString("The web export sends PDF documents only."), QString(),
                                           m_window);
        return;
    } else if (!writeExport(path, data)) {
        return;
    }
    close();
}
