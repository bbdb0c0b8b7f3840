#pragma once

#include "DMDate.h"
#include "DMGanttContextMenuDelegate.h"
#include "DMNotificationCenter.h"
#include "DMObjectViewDataSource.h"
#include "DMObservable.h"
#include "DMProjectDocumentHooks.h"
#include "DMProjectDaysOffSettingsController.h"
#include "DMProjectDocumentOutlets.h"
#include "DMProjectOutlineDataSource.h"
#include "DMProjectViewDelegate.h"
#include "DMProjectViewDragHandlerObjectDelegate.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QVariantList>
#include <QVariantMap>

#include <memory>
#include <vector>

class DMProjectDependency;
class QMainWindow;
class QWidget;
class DMCurrencyFormatter;
class DMDateFormatter;
class DMProject;
class DMProjectItem;
class DMProjectDocumentOutputHost;
class DMProjectDocumentReport;
class DMProjectDocumentUICallbacks;
class DMProjectObject;
class DMProjectTimelineDataSource;
class DMProjectViewBackgroundObjectAttributes;
class DMUndoManager;

// Appends to result the displayed link lines that meet rect, walking the items in order with the
// subitems of processes and item groups; each link is found once, from its source item. A null
// list adds nothing.
void DMProjectDocument_GanttView_RetrieveAllUIDependenciesInRect(const QList<std::shared_ptr<DMProjectItem>> *items,
                                                                 DMBaseObjectList &result, const QRectF &rect);

// One sort key of sortProjectWithDescriptors / sortResourcesWithDescriptors: "title",
// "beginDate", "endDate", "duration", "progress", "cost" for items, "name" for resources.
struct DMSortDescriptor
{
    QString key;
    bool ascending = true;
};

// The hub of one open project: it owns the project, its undo manager, its temporary folder and
// its window, is the model's document (DMProjectDocumentHooks), the Gantt canvas's data source
// and delegate, the delegate of the canvas's drag handlers and the outline's listener. Member
// functions that serve the Gantt chart, the side views, the formats and the output are defined
// in files of those folders (DMProjectDocument_<Purpose>.cpp); this folder defines the life
// cycle, the package, the window set-up and the commands.
//
// Owned by the document controller through std::shared_ptr.
class DMProjectDocument : public QObject,
                          public DMProjectDocumentHooks,
                          public DMObjectViewDataSource,
                          public DMProjectViewDelegate,
                          public DMGanttContextMenuDelegate,
                          public DMProjectViewDragHandlerObjectDelegate,
                          public DMProjectOutlineDataSource::Listener,
                          public DMProjectDaysOffSettingsController::Document,
                          public std::enable_shared_from_this<DMProjectDocument>
{
    Q_OBJECT

public:
    // Document types.
    static const QString kDocumentType;      // "Orvesta Document": the package
    static const QString kModelType;         // "Orvesta Model": the package as a template
    static const QString kMSProjectXMLType;  // "MS Project XML Document"
    static const QString kPenduloType;       // "Pendulo Project Document"
    static const QString kMergedType;        // "HalcyraMergedProjects": untitled merge
    static const QString kCloseNotification; // "DMProjectDocumentCloseNotification"
    static const QString kPasteboardType;    // MIME type of copied items
    // The type of a file by its extension ("hy2", "xml", "pendulo"); empty when unknown.
    static QString typeForPath(const QString &path);

    enum SaveOperationType { SaveOperation, SaveAsOperation, SaveToOperation, AutosaveInPlaceOperation, AutosaveElsewhereOperation };
    // Change kinds of updateChangeCount.
    enum ChangeKind { ChangeDone = 0, ChangeUndone = 1, ChangeCleared = 2, ChangeRedone = 5 };

    DMProjectDocument();
    ~DMProjectDocument() override;

    // ---- Life cycle and package (DMProjectDocument.cpp, DMProjectDocument_Package.cpp) ----

    // A new project with the defaults: today's month, the working day 08:00-18:00, the week and
    // currency of the locale. Untitled documents and importers start from it.
    static std::shared_ptr<DMProject> newDefaultProject();
    void initWithDefaultProject();
    // Reads the file. The package is read as a property list kept until the window is set up;
    // importers make a project at once. False with *error set (empty when the user cancelled).
    bool readFromURLOfType(const QString &path, const QString &type, QString *error);
    // Saves (or autosaves) to the path; the old package stays untouched when it fails.
    bool writeToURLOfTypeForSaveOperation(const QString &path, const QString &type, SaveOperationType operation,
                                          QString *error);
    // Builds the project from what was read (once); called by the window set-up, and by
    // anything that needs the project before a window exists.
    bool loadProjectIfNeeded(QString *error = nullptr);

    std::shared_ptr<DMProject> project() const override { return m_project; }
    // Takes the project: fills its display attributes, gives it the undo manager, observes it.
    void setProject(const std::shared_ptr<DMProject> &project);
    DMUndoManager *undoManager() const { return m_undoManager.get(); }
    QString temporaryFolderPath() const { return m_temporaryFolder; }

    QString fileURL() const { return m_fileURL; }
    void setFileURL(const QString &path);
    QString fileType() const { return m_fileType; }
    void setFileType(const QString &type) { m_fileType = type; }
    QString displayName() const;

    // The password of the package; empty when not encrypted.
    QString password() const { return m_password; }
    void setPasswordString(const QString &password);
    // setPassword: asks for a new password, twice, and stores it when both entries agree.
    void setPassword();

    // ---- Change count and autosave ----
    void updateChangeCount(int kind) override;
    void markDocumentAsEdited();
    bool isDocumentEdited() const { return m_changeCount != 0; }
    // The controller's delay applies; 0 means no autosave.
    void scheduleAutosave();
    bool hasPendingAutosave() const { return m_autosaveTimer.isActive(); }
    void autosaveNow();

    // ---- Commands of the File menu ----
    bool save();
    bool saveAs();
    bool saveToPath(const QString &path, SaveOperationType operation, QString *error = nullptr);
    bool revertToSaved();
    // True for a document read from or saved to a package: one that has a version to revert to.
    bool canRevertToSaved() const { return !m_fileURL.isEmpty() && m_fileType == kDocumentType; }
    // Asks to save an edited document; false when the user cancels.
    bool canClose();
    void close();
    void closeWithoutShowingRecentItemsWindow();
    bool isClosed() const { return m_closed; }

    // ---- Window (DMProjectDocument_Window.cpp) ----
    void makeWindowControllers();
    void showWindows();
    QMainWindow *mainWindow() const;
    QWidget *windowForSheet() const override;
    DMProjectDocumentOutlets &outlets() { return m_outlets; }
    const DMProjectDocumentOutlets &outlets() const { return m_outlets; }
    // The window set-up: canvas layers, background, pages, observers; imported projects.
    void awakeFromNib();
    // The window frame under "DMRecentDocumentsFrames", and the per-document property list.
    void saveMainWindowFrame();
    static QString windowStateFilePath(const QString &documentPath);
    // The page shown in the content area (source-list tags); 10 is the Gantt chart.
    int currentPageTag() const { return m_currentPageTag; }
    void showPageWithTag(int tag);
    void reloadViews();

    // ---- Editing (DMProjectDocument_Editing.cpp) ----
    QList<std::shared_ptr<DMProjectObject>> selectedObjects() const;
    void deleteSelectedItem();
    void deleteItems(const QList<std::shared_ptr<DMProjectObject>> &objects);
    QVariantMap dictionaryForObjects(const QList<std::shared_ptr<DMProjectItem>> &items) const;
    QList<std::shared_ptr<DMProjectItem>> insertObjectFromDictionnariesInItemNextTo(
        const QVariantMap &payload, const std::shared_ptr<DMProjectItem> &parent,
        const std::shared_ptr<DMProjectItem> &sibling);
    void copyItemsToClipboard(const QList<std::shared_ptr<DMProjectItem>> &items) const;
    QList<std::shared_ptr<DMProjectItem>> pasteFromClipboard(const std::shared_ptr<DMProjectItem> &parent = nullptr,
                                                             const std::shared_ptr<DMProjectItem> &sibling = nullptr);
    void cut();
    void copy();
    void paste();
    void selectAll();

    QString addAttachedDocumentTableKey(const QString &path);
    void removeAttachedDocumentWithTableKey(const QString &tableKey);
    void removeAttachedDocumentWithTableKeyFromTasks(const QString &tableKey,
                                                     const QList<std::shared_ptr<DMProjectItem>> &items);
    void sortProjectWithDescriptors(const QList<DMSortDescriptor> &descriptors);
    void sortResourcesWithDescriptors(const QList<DMSortDescriptor> &descriptors);
    QVariantMap effectiveProjectTimeSpan() const; // {"begin", "end"}: DMDate values
    QVariantList searchResultsForField(const QString &text) const;

    // ---- Menus and pages ----
    void fileNewMenuCallback(int tag);
    void viewMenuCallback(int tag);
    static int pageTagForViewMenuTag(int tag); // 0 for an unknown tag
    int sourceListTree_indexOfItemWithTag(int tag) const;
    void viewModeDidChange();
    void applyingTaskListColumns(const QVariantList &columns);

    // ---- Reports and exports (their controllers live in src/output) ----
    DMProjectDocumentReport *report();
    DMProjectDocumentUICallbacks *uiCallbacks();

    // ---- Formatters ----
    std::shared_ptr<DMCurrencyFormatter> sharedCurrencyFormatter();
    std::shared_ptr<DMDateFormatter> sharedYMDDateFormatter();
    std::shared_ptr<DMDateFormatter> sharedHMSDateFormatter();
    std::shared_ptr<DMDateFormatter> sharedYMDHMSDateFormatter();

    // ---- Messages to the user ----
    void presentError(const QString &message, const QString &informativeText = QString()) const;
    void openURLWithWebBrowser(const QString &url) const;

    // The model's callbacks.
    void beginDateDidChangeForItem(DMProjectItem *item) override;
    void endDateDidChangeForItem(DMProjectItem *item) override;
    void updateItemsArrayWithTag(int tag) override;

    // ---- The Gantt canvas's data source (src/gantt/DMProjectDocument_Canvas.cpp) ----
    DMBaseObjectList objectViewObjectsInRectForLayer(DMObjectView *view, const QRectF &rect, quint16 layer) override;
    std::optional<QCursor> objectViewCursorForDragOperation(DMObjectView *view, qint32 operation) override;
    bool objectViewShouldSelectObjectInLayer(DMObjectView *view, const std::shared_ptr<DMBaseObject> &object,
                                             quint16 layer) override;
    void objectViewSelectionDidChange(DMObjectView *view) override;
    // Mirrors the canvas selection into the outline 0.05 s later, once for a burst of changes.
    void projectOutlineViewSelectionNeedsSyncingWithObjectView();
    void _syncProjectOutlineViewSelectionWithObjectView();
    bool isProjectOutlineViewSelectionSyncPending() const { return m_outlets.outlineSyncPending; }
    // The canvas rows that meet the rectangle's vertical span (ends included): a binary search
    // over the table's row tops, limited to the rows both the outline and the table have.
    // first > last when none.
    static void projectViewRowsMeetingRect(const DMProjectViewBackgroundObjectAttributes *table, int outlineRows,
                                           const QRectF &rect, int *first, int *last);
    // The outline's row at canvas y, the model object on it (null for none or a gone one).
    int projectOutlineRowAtCanvasY(double y) const;
    std::shared_ptr<DMProjectObject> projectOutlineObjectAtRow(int row) const;
    DMProjectOutlineDataSource *projectOutlineDataSource() const { return m_outlineDataSource.get(); }

    // ---- Gestures (src/gantt/DMProjectDocument_CanvasGestures.cpp) ----
    qint32 objectViewDragOperationForPointWithObject(DMObjectView *view, QPointF point,
                                                     const std::shared_ptr<DMBaseObject> &object) override;
    void objectViewWillFinishDragOperationWithRect(DMObjectView *view, qint32 operation, const QRectF &rect) override;
    void objectViewDidFinishDragOperationWithRect(DMObjectView *view, qint32 operation, const QRectF &rect) override;
    void objectViewReceivedKeyEvent(DMObjectView *view, const DMEvent &event) override;
    void objectViewMagnifyWithEvent(DMObjectView *view, const DMEvent &event) override;
    DMDate projectViewDateForPoint(DMProjectView *view, QPointF point) override;
    int viewModeForProjectView(DMProjectView *view) const;
    void dragHandlerObjectDidUpdate(DMProjectViewDragHandlerObject *handler) override;
    void _keyboardItemDragWithEvent(const DMEvent &event);

    // The worked rules of the gestures, as pure functions.
    // The interval a created item's anchor is rounded to, in seconds (at least 300).
    static int createByDragRoundingInterval(float pixelsPerDay, int dayViewBeginMinute, int dayViewEndMinute);
    // Pixels per day after a pinch of that magnification: from 1 to 100.
    static float magnifiedPixelsPerDay(float pixelsPerDay, double magnification);
    // The next step of a keyboard nudge (points): |last| x 1.1 within 2 to 10, negative unless
    // the key is the right arrow.
    static double nextNudgeStep(double lastStep, bool rightArrow);

    // ---- Commands of the bars' and links' menus (src/gantt/DMProjectDocument_CanvasCommands.cpp) ----
    bool respondsToProjectViewConvertTaskToProcessFromItem() const override { return true; }
    void projectViewConvertTaskToProcessFromItem(QAction *sender) override;
    bool respondsToProjectViewConvertMilestoneToProcessFromItem() const override { return true; }
    void projectViewConvertMilestoneToProcessFromItem(QAction *sender) override;
    bool respondsToProjectViewChangeDependencyLineStyle() const override { return true; }
    void projectViewChangeDependencyLineStyle(QAction *sender) override;
    bool respondsToProjectViewChangeDependencyPatternStyle() const override { return true; }
    void projectViewChangeDependencyPatternStyle(QAction *sender) override;
    // The conversion by menu tag ('cnvt', 'embd', 'mile', 'task') of the item behind a canvas
    // object; milestoneAction tells which menu the tag came from. False when nothing changed.
    bool convertItemOfObjectWithTag(const std::shared_ptr<DMBaseObject> &object, quint32 tag, bool milestoneAction);

    // ---- Relayout (src/gantt/DMProjectDocument_CanvasLayout.cpp) ----
    // The whole sequence: frames, background, objects, row colours, then the frames applied and
    // everything redrawn.
    void relayoutProjectView();
    void _computeProjectViewFrameTimelineViewFrameShouldReLayoutObjects(QRectF *projectViewFrame,
                                                                         QRectF *timelineViewFrame,
                                                                         bool shouldReLayoutObjects);
    void _updateBackgroundObjectWithProjectViewFrame(const QRectF &frame);
    void _layoutObjects();
    void _updateBackgroundObjectRowsColor();
    void _layoutObjectsVertically();
    void _syncProjectViewWithOutlineView();
    bool isPrinting() const { return m_outlets.isPrinting; }
    void setIsPrinting(bool printing) { m_outlets.isPrinting = printing; }
    // Reloads the outline with its stored expansion state, then relays the canvas out.
    void reloadProjectOutlineAndRelayout();
    // The outline's listener.
    void projectOutlineDidExpandOrCollapse(bool expanded, bool hasSubitems, bool restoring) override;
    void projectOutlineSelectionDidChange() override;
    // The canvas selection is cleared.
    void projectOutlineWillShowResourceInspector() override;
    bool isProjectViewSyncScheduled() const { return m_projectViewSyncTimer.isActive(); }

signals:
    void editedChanged(bool edited);
    void fileURLChanged(const QString &path);
    void willClose();

private:
    void observeProject();
    void currencyUnitDidChange();
    void buildWindow();
    void buildGanttPage(QWidget *content);
    void restoreWindowFrame();
    bool eventFilter(QObject *watched, QEvent *event) override;
    void timelineSettingDidChange();
    // Create by dragging and moving bars between resource rows (dragHandlerObjectDidUpdate).
    void createItemByDragging(DMProjectViewDragHandlerObject *handler);
    void moveBarToResourceRow(DMProjectViewDragHandlerObject *handler);
    void moveSelectedBarsBetweenResourceRows(int direction);
    void linkPendingDependency();
    void changeDependencyFromMenuItem(QAction *sender, void (DMProjectDependency::*setter)(int));
    void linkObjectsFramesDidChange();
    void rebuildLinkIndex();
    void itemDatesDidChange();
    // Clears what the canvas, the outline and the timeline header borrow from this document.
    void detachViews();
    void applyImportedProjectAttributes();
    QVariantMap metadataForProject() const;
    void closeDocument(bool showWelcomeWindow);

    std::shared_ptr<DMProject> m_project;
    std::unique_ptr<DMUndoManager> m_undoManager;
    QString m_temporaryFolder;
    QVariantMap m_readDictionary; // the read package, until the project is built
    bool m_hasReadDictionary = false;
    QString m_readPackagePath; // where m_readDictionary came from; empty for imported files

    QString m_fileURL;
    QString m_fileType;
    QString m_password;
    int m_changeCount = 0;
    QTimer m_autosaveTimer;
    bool m_closed = false;
    int m_currentPageTag = 10;

    std::unique_ptr<QMainWindow> m_window;
    DMProjectDocumentOutlets m_outlets;
    std::unique_ptr<DMProjectOutlineDataSource> m_outlineDataSource;
    std::unique_ptr<DMProjectTimelineDataSource> m_timelineDataSource;
    QTimer m_outlineSyncTimer;     // canvas selection into the outline, 0.05 s
    QTimer m_projectViewSyncTimer; // canvas rows after an expand or collapse, 0.5 s
    QTimer m_verticalLayoutTimer;  // bars onto the rows after a collapse, 0.1 s
    QTimer m_relayoutTimer;        // after the visible area was resized
    QTimer m_relayoutAfterUndoTimer;
    // The create-by-drag in progress and its anchor, which slides off non-working days.
    std::weak_ptr<DMBaseObject> m_createDragHandler;
    QPointF m_createDragAnchor;
    qint64 m_lastNudgeSeriesNumber = 0;
    bool m_syncingOutlineSelection = false;  // the canvas selection is being copied to the outline
    bool m_applyingOutlineSelection = false; // the outline selection is being copied to the canvas
    // The shown link lines by their vertical extent (rebuilt after each relayout and when the
    // model reports a change of links), so that a drawing pass or a hit test looks only at the
    // lines near the rows it shows instead of walking every item. Bars move only horizontally
    // between relayouts, so the extents stay good, with a margin for the routes' detours.
    struct LinkIndexEntry
    {
        double top = 0.0;
        double bottom = 0.0;
        int order = 0; // the tree walk's order, which results keep
        std::weak_ptr<DMBaseObject> line;
    };
    std::vector<LinkIndexEntry> m_linkIndex;     // sorted by top
    std::vector<double> m_linkIndexMaxBottom;    // running maximum of bottom along m_linkIndex
    bool m_linkIndexValid = false;

    std::shared_ptr<DMCurrencyFormatter> m_currencyFormatter;
    std::shared_ptr<DMDateFormatter> m_ymdFormatter;
    std::shared_ptr<DMDateFormatter> m_hmsFormatter;
    std::shared_ptr<DMDateFormatter> m_ymdhmsFormatter;

    std::vector<DMObservation> m_projectObservations;
    std::vector<DMNotificationObserver> m_notificationObservers;

    // The output controllers and what they see of the document (DMProjectDocument_Output.cpp).
    DMProjectDocumentOutputHost *outputHost();
    std::shared_ptr<DMProjectDocumentOutputHost> m_outputHost;
    std::shared_ptr<DMProjectDocumentReport> m_report;
    std::shared_ptr<DMProjectDocumentUICallbacks> m_uiCallbacks;
};
