#pragma once

#include <QList>
#include <QRectF>
#include <QString>

#include <memory>

class QWidget;
class DMCollectionView;
class DMOutlineView;
class DMProject;
class DMProjectDocumentReport;

// What the print and export commands need of their document: the project, the page shown, the
// views of the Gantt page and the switches that make them draw for a page, the report controller
// and the window for sheets. The document implements it; the views are null until its window exists.
class DMProjectDocumentPrintHost
{
public:
    virtual ~DMProjectDocumentPrintHost() = default;

    virtual std::shared_ptr<DMProject> project() const = 0;
    virtual QWidget *windowForSheet() const = 0;
    // The folder the export panels start in: beside the document (the home folder before it is saved).
    virtual QString folderForPanels() const = 0;
    // The page the window shows (source-list tags).
    virtual int currentPageTag() const = 0;

    // The Gantt page: the project outline, the canvas and the timeline header above it.
    virtual DMOutlineView *projectOutlineView() const = 0;
    virtual QWidget *projectView() const = 0;
    virtual QWidget *timelineView() const = 0;
    // While set, the header draws every column, not only those in view.
    virtual void setTimelineViewPrinting(bool printing) = 0;
    // While set, the canvas is laid out at exactly the stored scale and draws as if all of it
    // were in view; setting and clearing it relays the canvas out and keeps the window's scroll
    // positions.
    virtual void setIsPrinting(bool printing) = 0;
    // Where the canvas's bars (items and events, with their titles) lie as it is laid out now, in
    // its own coordinates.
    virtual QList<QRectF> projectViewBarFrames() const = 0;

    // The report controller, whose shown report the report pages print, export and share.
    virtual DMProjectDocumentReport *report() = 0;
    // The outline of a list page (events 6, tasks 17, resources 18); null for the others.
    virtual DMOutlineView *listOutlineView(int tag) const = 0;
    // The cards of an items view page (1 to 5, 7, 8); null for the others.
    virtual DMCollectionView *itemsCollectionView(int tag) const = 0;
    // The view of a page that prints as it is shown (the days-off page); null for the others.
    virtual QWidget *printablePageWidget(int tag) const = 0;
    // kDMHalcyra_PDFLogoPath: the logo of single pages; empty for none.
    virtual QString reportLogoPath() const = 0;
};
