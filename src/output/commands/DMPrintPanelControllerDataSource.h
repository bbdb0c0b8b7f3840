#pragma once

#include "DMDate.h"

#include <QSizeF>
#include <QString>
#include <QVariantMap>

class DMPrintPanelController;
struct DMPageCompositionImages;

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
    // Renders the outline (images->left, its rows from the top of the first), the timeline header
    // (top) and the canvas (content) for the days from begin to end, a day pixelsPerDay wide.
    // images->lineHeight comes in as 24 and goes out as the height of one outline row; where
    // known, the rows' bottoms, the outline's column titles and the bars' frames come too (see
    // DMPageCompositionImages). False when there is nothing to render.
    virtual bool printPanelControllerLeftImageTopImageContentImageWithBeginDateEndDatePixelsPerDayRet_lineHeight(
        DMPrintPanelController *, DMPageCompositionImages * /*images*/, const DMDate & /*begin*/,
        const DMDate & /*end*/, double /*pixelsPerDay*/)
    {
        return false;
    }
    // The base name of exported files: the project's title.
    virtual QString imageExportFilenameForPrintPanelController(DMPrintPanelController *) { return {}; }
    // The folder the export's save panel starts in; empty for the panel's own choice.
    virtual QString imageExportFolderForPrintPanelController(DMPrintPanelController *) { return {}; }
    // The logo of single pages (kDMHalcyra_PDFLogoPath); empty for none.
    virtual QString logoPathForPrintPanelController(DMPrintPanelController *) { return {}; }
};
