#pragma once

#include "DMDate.h"

#include <QList>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QVariantMap>

#include <memory>
#include <optional>

class DMPrintPanelController;
class DMPrintPicture;

// What the print panel asks of its document. Defaults mean "not handled": no span, no outline,
// no images.
class DMPrintPanelControllerDataSource
{
public:
    virtual ~DMPrintPanelControllerDataSource() = default;

    // The span the Gantt chart shows: {kDMTimeSpanBegin, kDMTimeSpanEnd} of DMDate values.
    virtual QVariantMap getCurrentTimeSpanForPrintPanelController(DMPrintPanelController *) { return {}; }
    // The outline as the window shows it: the width of its pane and the height of all its rows.
    virtual QSizeF printPanelControllerLeftImageSize(DMPrintPanelController *) { return {}; }
    // Renders the outline, the timeline header and the canvas for the days from begin to end, a
    // day pixelsPerDay wide. lineHeight comes in as 24 and goes out as the height of one outline
    // row. False when there is nothing to render.
    virtual bool printPanelControllerLeftImageTopImageContentImageWithBeginDateEndDatePixelsPerDayRet_lineHeight(
        DMPrintPanelController *, std::shared_ptr<const DMPrintPicture> * /*leftImage*/,
        std::shared_ptr<const DMPrintPicture> * /*topImage*/, std::shared_ptr<const DMPrintPicture> * /*contentImage*/,
        const DMDate & /*begin*/, const DMDate & /*end*/, double /*pixelsPerDay*/, double * /*lineHeight*/)
    {
        return false;
    }
    // The bottom of each row of the outline last rendered, from the top of the left image; empty
    // when every row is lineHeight high.
    virtual QList<double> printPanelControllerRowBottoms(DMPrintPanelController *) { return {}; }
    // The outline's column titles last rendered, as wide as the left image; null without titles.
    virtual std::shared_ptr<const DMPrintPicture> printPanelControllerLeftTitlesImage(DMPrintPanelController *)
    {
        return nullptr;
    }
    // Where the bars of the content image last rendered lie (y down from its top): a page of the
    // chart shows at least one of them or some rows of the outline. None when not known.
    virtual std::optional<QList<QRectF>> printPanelControllerBarFrames(DMPrintPanelController *) { return std::nullopt; }
    // The base name of exported files: the project's title.
    virtual QString imageExportFilenameForPrintPanelController(DMPrintPanelController *) { return {}; }
    // The folder the export's save panel starts in; empty for the panel's own choice.
    virtual QString imageExportFolderForPrintPanelController(DMPrintPanelController *) { return {}; }
    // The logo of single pages (kDMHalcyra_PDFLogoPath); empty for none.
    virtual QString logoPathForPrintPanelController(DMPrintPanelController *) { return {}; }
};
