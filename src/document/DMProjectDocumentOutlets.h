#pragma once

#include "DMProjectView.h"

#include <QPointer>
#include <QVariantList>
#include <QVariantMap>

#include <memory>

class QAction;
class QCheckBox;
class QComboBox;
class QDateTimeEdit;
class QLabel;
class QMenu;
class QPushButton;
class QScrollArea;
class QTextBrowser;
class QWidget;
class DMBaseObject;
class DMCollapsingSplitview;
class DMOutlineView;
class DMPrintPanelController;
class DMProjectDaysOffSettingsController;
class DMProjectEventsOutlineViewDS;
class DMProjectItemsOutlineViewDS;
class DMProjectResource;
class DMProjectResourcesOutlineViewDS;
class DMProjectSettingsController;
class DMSearchField;
class DMTimelineView;

// The views and controllers of a document window, by the names the rest of the system uses.
// The window set-up fills what exists; a field whose view is built by a later part of the
// application stays null until that part fills it. The widgets belong to the document window
// (Qt parents); the controllers are owned here. The Gantt canvas's own state (background,
// pending link, keyboard nudges, printing) is its controller's.
struct DMProjectDocumentOutlets
{
    // The Gantt page: canvas, timeline header, project outline and its column menu. The canvas
    // and the header scroll together horizontally, the canvas and the outline vertically.
    QPointer<DMProjectView> projectView;
    QPointer<QScrollArea> projectViewScrollArea;
    QPointer<DMTimelineView> timelineView;
    QPointer<QScrollArea> timelineViewScrollArea;
    QPointer<DMOutlineView> projectOutlineView;
    QPointer<QMenu> projectOutlineViewMenu;
    bool projectOutlineViewStateRestore = false;

    // The source list (its rows and page tags are its controller's), and the split view that
    // shows it beside the content area or collapses it.
    QPointer<DMOutlineView> sourceListOutlineView;
    QPointer<DMCollapsingSplitview> sourceListSplitview;

    // List controllers, print panel, days-off pane and the project's settings page.
    std::shared_ptr<DMProjectItemsOutlineViewDS> projectItemsOutlineViewDS;
    std::shared_ptr<DMProjectResourcesOutlineViewDS> projectResourcesOutlineViewDS;
    std::shared_ptr<DMProjectEventsOutlineViewDS> projectEventsOutlineViewDS;
    std::shared_ptr<DMPrintPanelController> printPanelController;
    std::shared_ptr<DMProjectDaysOffSettingsController> daysOffSettingsController;
    std::shared_ptr<DMProjectSettingsController> projectSettingsController;

    // Pages of the content area.
    QPointer<QWidget> projectContainer;            // the Gantt page
    QPointer<QWidget> topLevelContentSplitSubview; // the content area the source list fills
    QPointer<QWidget> projectSettingsView;
    QPointer<QWidget> stylesContainerView;
    QPointer<QWidget> reportContainerView;

    // Reports.
    QPointer<QTextBrowser> reportWebView;
    QPointer<QCheckBox> reportShowCostCheckbox;
    QPointer<QCheckBox> reportShowCompletionCheckbox;
    QPointer<QComboBox> tasksByResourceReportPopUpButton;
    QPointer<QLabel> tasksByResourceReportPopupLabel;
    QPointer<QPushButton> tasksByResourceReportMailButton;
    QPointer<QDateTimeEdit> tasksByResourceReportBeginDatePicker;
    QPointer<QDateTimeEdit> tasksByResourceReportEndDatePicker;
    qint8 tasksByResourceReportMode = 0; // 0 global report, 1 tasks by resource or by processes

    // Toolbar and search.
    QPointer<QAction> todayButtonTBItem;
    QPointer<DMSearchField> projectViewSearchField;
    QPointer<QWidget> emptyCell;

    // The items view, made by its controller.
    QPointer<QWidget> itemsContainerView;
    QPointer<QWidget> itemsCollectionView;
    QPointer<QWidget> itemsViewSortMatrix;
    double itemsViewSortMatrixDefaultWidth = 0.0;
    QPointer<QLabel> itemsViewHeaderImageView;
    QPointer<QPushButton> itemsBackButton;
    QPointer<QPushButton> itemsNewGroupButton;
    QPointer<QPushButton> itemsAddButton;
    QPointer<QPushButton> itemsExportButton;
    QPointer<QPushButton> itemsImportButton;
    // Its arrays, selection and open resource group are its controller's
    // (DMProjectDocument::itemsView()).
};
