#pragma once

#include "DMDate.h"
#include "DMGanttDocumentHooks.h"
#include "DMNotificationCenter.h"
#include "DMObservable.h"
#include "DMProjectDocumentHooks.h"
#include "DMProjectDaysOffSettingsController.h"
#include "DMProjectSettingsPane.h"
#include "DMProjectDocumentObjectViewDataSource.h"
#include "DMProjectDocumentOutlets.h"
#include "DMProjectDocumentItemsView.h"
#include "DMProjectDocumentProjectOutlineDS.h"
#include "DMPropertyListNode.h"
#include "DMProjectDocumentSourceListOutlineDS.h"
#include "DMProjectListDocument.h"
#include "DMItemsViewDocument.h"
#include "DMProjectOutlineDocument.h"
#include "DMSearchFieldDataSource.h"
#include "DMSourceListDocument.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QVariantList>
#include <QVariantMap>

#include <memory>
#include <vector>

class QMainWindow;
class QMenu;
class QAction;
class QWidget;
class DMCurrencyFormatter;
class DMFormatter;
class DMDateFormatter;
class DMProject;
class DMProjectItem;
class DMProjectDocumentOutputHost;
class DMProjectDocumentPrint;
class DMProjectDocumentReport;
class DMProjectDocumentUICallbacks;
class DMProjectObject;
class DMProjectListController;
class DMProjectTimelineDataSource;
class DMUndoManager;


// The hub of one open project: it owns the project, its undo manager, its temporary folder, its
// window and the controllers of its views (the Gantt canvas's, DMProjectDocumentObjectViewDataSource,
// which reaches it through DMGanttDocumentHooks; the project outline's,
// DMProjectDocumentProjectOutlineDS, through DMProjectOutlineDocument; the source list's,
// DMProjectDocumentSourceListOutlineDS, through DMSourceListDocument; the task, resource and event
// lists', through DMProjectListDocument). It is the model's document (DMProjectDocumentHooks) and
// the toolbar search field's data source. It learns that it was edited from its undo manager.
//
// Owned by the document controller through std::shared_ptr.
class DMProjectDocument : public QObject,
                          public DMProjectDocumentHooks,
                          public DMGanttDocumentHooks,
                          public DMProjectOutlineDocument,
                          public DMProjectListDocument,
                          public DMItemsViewDocument,
                          public DMProjectSettingsPane::Document,
                          public DMSourceListDocument,
                          public DMSearchFieldDataSource,
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
    static const QString kPasteboardType;    // MIME type of copied items
    // The type of a file by its extension ("hy2", "xml", "pendulo"); empty when unknown.
    static QString typeForPath(const QString &path);

    enum SaveOperationType { SaveOperation, SaveAsOperation, SaveToOperation, AutosaveInPlaceOperation, AutosaveElsewhereOperation };

    DMProjectDocument();
    ~DMProjectDocument() override;

    // ---- Life cycle and package (DMProjectDocument.cpp, DMProjectDocument_Package.cpp) ----

    // A new project with the defaults: a month from the first working instant of today (or of
    // the next working day), the working day 08:00-18:00, the week and currency of the locale,
    // and new tasks a working day long. Untitled documents and importers start from it.
    static std::shared_ptr<DMProject> newDefaultProject(const DMDate &today = DMDate::dateForNow());
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
    DMUndoManager *undoManager() const override { return m_undoManager.get(); }
    QString temporaryFolderPath() const { return m_temporaryFolder; }

    QString fileURL() const { return m_fileURL; }
    void setFileURL(const QString &path);
    QString fileType() const { return m_fileType; }
    void setFileType(const QString &type) { m_fileType = type; }
    QString displayName() const;
    // The folder that the document's save and open panels start in: its own, or the home folder
    // for a document never saved.
    QString folderForPanels() const override;
    QString documentFileName() const override;

    // The password of the package; empty when not encrypted.
    QString password() const { return m_password; }
    void setPasswordString(const QString &password);
    // setPassword: asks for a new password, twice, in the password panel run as a sheet, and
    // stores it. A document that has a password may confirm two empty entries, which remove it
    // after the user confirms that too.
    void setPassword();

    // ---- Change count and autosave ----
    // kind is a DMDocumentChangeKind.
    void updateChangeCount(int kind) override;
    void markDocumentAsEdited() override;
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
    // The Gantt canvas's controller and the project outline's.
    DMProjectDocumentObjectViewDataSource *objectViewDataSource() const override { return m_objectViewDataSource.get(); }
    DMProjectDocumentProjectOutlineDS *projectOutlineDS() const { return m_projectOutlineDS.get(); }
    DMProjectDocumentSourceListOutlineDS *sourceListDS() const { return m_sourceListDS.get(); }
    // The items view's controller: its pages of cards (DMPage_isItemsViewKind), arrays and commands.
    DMProjectDocumentItemsView *itemsView() const { return m_itemsView.get(); }
    // The window set-up: canvas layers, background, pages, observers; imported projects.
    void awakeFromNib();
    // The window frame under "DMRecentDocumentsFrames", and the per-document property list (the
    // lists' columns, and the outline's width beside the chart, which the window takes again).
    void saveMainWindowFrame();
    static QString windowStateFilePath(const QString &documentPath);
    void reloadViews() override;
    // The task, resource and event lists (null before the window is built).
    DMProjectItemsOutlineViewDS *projectItemsOutlineViewDS() const { return m_outlets.projectItemsOutlineViewDS.get(); }
    DMProjectResourcesOutlineViewDS *projectResourcesOutlineViewDS() const { return m_outlets.projectResourcesOutlineViewDS.get(); }
    DMProjectEventsOutlineViewDS *projectEventsOutlineViewDS() const { return m_outlets.projectEventsOutlineViewDS.get(); }

    // ---- Editing (DMProjectDocument_Editing.cpp) ----
    QList<std::shared_ptr<DMProjectObject>> selectedObjects() const;
    void deleteSelectedItem() override;
    void deleteItems(const QList<std::shared_ptr<DMProjectObject>> &objects) override;
    QVariantMap dictionaryForObjects(const QList<std::shared_ptr<DMProjectItem>> &items) const override;
    QList<std::shared_ptr<DMProjectItem>> insertObjectFromDictionnariesInItemNextTo(
        const QVariantMap &payload, const std::shared_ptr<DMProjectItem> &parent,
        const std::shared_ptr<DMProjectItem> &sibling) override;
    void copyItemsToClipboard(const QList<std::shared_ptr<DMProjectItem>> &items) const;
    QList<std::shared_ptr<DMProjectItem>> pasteFromClipboard(const std::shared_ptr<DMProjectItem> &parent = nullptr,
                                                             const std::shared_ptr<DMProjectItem> &sibling = nullptr);
    void cut();
    void copy();
    void paste();
    void selectAll();
    // Whether Cut, Copy and Paste can act now: on the chart, with a selection (with items among
    // it, for Copy), or with items of a project on the clipboard. The Edit menu dims them otherwise.
    bool canCut() const;
    bool canCopy() const;
    bool canPaste() const;

    QString addAttachedDocumentTableKey(const QString &path) override;
    void removeAttachedDocumentWithTableKey(const QString &tableKey) override;
    // The attached document's file: inside this package's "Documents", or where it was chosen while
    // it waits to be copied there (DMAttachedDocuments::resolvedPath).
    QString attachedDocumentPathForTableKey(const QString &tableKey, QString *error) const override;
    void removeAttachedDocumentWithTableKeyFromTasks(const QString &tableKey,
                                                     const QList<std::shared_ptr<DMProjectItem>> &items) override;
    // Sort keys: "title", "beginDate", "endDate", "duration", "progress", "cost" for items;
    // "name", "cost", "progress" for resources.
    void sortProjectWithDescriptors(const QList<DMSortDescriptor> &descriptors) override;
    void sortResourcesWithDescriptors(const QList<DMSortDescriptor> &descriptors) override;
    QVariantMap effectiveProjectTimeSpan() const; // {"begin", "end"}: DMDate values

    // ---- Pages, their commands and the search (DMProjectDocument_Pages.cpp) ----
    // The page shown in the content area (a DMPage tag).
    int currentPageTag() const { return m_currentPageTag; }
    // Shows the page of the tag in the content area, with its row selected in the source list. A
    // page not built yet shows its title on an empty page; a tag that is no page empties the area.
    void showPageWithTag(int tag) override;
    DMOutlineView *sourceListOutlineView() const override;
    int itemsViewContentsCountWithTag(int tag) const override;
    void fileNewMenuCallback(int tag);
    void viewMenuCallback(int tag);
    // Whether the Gantt chart (by tasks or by resources) is the page shown: the canvas's Cut,
    // Copy, Paste and Select All act only then, never on a selection the user cannot see.
    bool isCanvasPageShown() const;
    // Edit > Delete: what the shown page's own Delete does (the canvas selection, the list's
    // selected rows, the selected card); nothing on a page without one.
    void deleteSelectionOfShownPage();
    // Whether the shown page has a selection for deleteSelectionOfShownPage to act on.
    bool canDeleteSelectionOfShownPage() const;
    static int pageTagForViewMenuTag(int tag); // DMPage::NoPage for an unknown tag
    // With a list shown (the project outline of the Gantt pages too), what a click on the first
    // column of its selected row does: the item's inspector opens.
    void showInspectorForSelectedItem();
    // Tasks and events whose titles contain the text, ignoring case: {"title", "icon", "objectID"}.
    QVariantList searchResultsForField(const QString &text) const;
    QVariantList searchResultsForField(DMSearchField *field) override;
    // Shows the chosen item on the Gantt chart: selected, scrolled to, with its inspector open.
    void searchFieldDidSelectItem(DMSearchField *field, const QVariant &result) override;
    void viewModeDidChange();
    // The outline's column arrangement ({"identifier", "checked"} in order).
    void applyingTaskListColumns(const QVariantList &columns);

    // ---- Reports and exports (their controllers live in src/output) ----
    DMProjectDocumentReport *report();
    DMProjectDocumentUICallbacks *uiCallbacks();
    // Print, export and share commands, and the print panel (outlets().printPanelController).
    DMProjectDocumentPrint *print();

    // ---- Formatters ----
    std::shared_ptr<DMCurrencyFormatter> sharedCurrencyFormatter() override;
    std::shared_ptr<DMFormatter> currencyFormatter() override;
    std::shared_ptr<DMDateFormatter> sharedYMDDateFormatter() override;
    std::shared_ptr<DMDateFormatter> sharedHMSDateFormatter() override;
    std::shared_ptr<DMDateFormatter> sharedYMDHMSDateFormatter();

    // ---- Messages to the user ----
    void presentError(const QString &message, const QString &informativeText, const QString &title) const;
    void openURLWithWebBrowser(const QString &url) const;

    // The model's callbacks.
    void itemDatesDidChange(const QList<DMProjectItem *> &items) override;
    void objectsDidLeaveProject() override;
    void updateItemsArrayWithTag(int tag) override;

    // DMGanttDocumentHooks: the window's views and the outline's rows.
    DMProjectView *projectView() const override;
    QScrollArea *projectViewScrollArea() const override;
    DMTimelineView *timelineView() const override;
    DMOutlineView *projectOutlineView() const override;
    std::shared_ptr<DMProjectObject> projectOutlineObjectAtRow(int row) const override;
    int projectOutlineRowForObject(const DMProjectObject *object) const override;
    void reloadProjectOutline() override;

    // DMProjectOutlineDocument: what the outline's controller asks besides.
    QMenu *projectOutlineViewMenu() const override;
    bool isRestoringProjectOutlineState() const override { return m_outlets.projectOutlineViewStateRestore; }
    void setTaskListColumnHidden(const QString &identifier, bool hidden) override;
    void reloadTaskListOutline() override;

    // DMProjectListDocument: what the lists ask besides.
    QString dragPayloadDocumentToken() const override;
    void projectListDidChangeProject() override;

    // DMItemsViewDocument: the page shown and the package's documents folder.
    int itemsViewSelectedPageTag() const override { return m_currentPageTag; }
    QString itemsViewDocumentsFolderPath() const override;
    // The badges count the items view's arrays, which it rebuilds on its own.
    void reloadSourceList() override;

signals:
    void editedChanged(bool edited);
    void fileURLChanged(const QString &path);
    void willClose();

private:
    void observeProject();
    void currencyUnitDidChange();
    void buildWindow();
    void buildGanttPage(QWidget *content);
    void buildSourceList(QWidget *window);
    // The page of the tag made ready to be shown (refreshed, the view mode set); null when there
    // is none, or none yet.
    QWidget *preparePageWithTag(int tag);
    QWidget *emptyPageWithTitle(const QString &title);
    void setViewModeForPage(DMProjectViewMode mode);
    DMOutlineView *listOutlineViewForPageWithTag(int tag) const;
    DMProjectListController *listControllerForPageWithTag(int tag) const;
    void buildListPages(QWidget *content);
    // Delete and Backspace in the project outline and the lists act as Edit > Delete, once per
    // press, and not while a cell is being edited.
    void installDeleteKeysOnOutlines();
    void reloadListOutlines();
    // Draws again the rows of the outline and the lists, whose values an edit may have changed.
    void redisplayEditedValues();
    // The frame, maximised state and outline width stored for the document, the frame put on
    // a screen.
    void restoreWindowFrame();
    void restoreProjectContainerSplit(const QVariantMap &state);
    // Moves the window, and shrinks it where it must, so that its whole frame is on a screen;
    // the second does so once the window system has framed the window, checking that many times.
    static void keepWindowOnScreen(QWidget *window);
    static void keepWindowOnScreenOnceFramed(QWidget *window, int checks);
    // Clears what the canvas, the outline and the timeline header borrow from this document.
    void detachViews();
    void applyImportedProjectAttributes();
    QVariantMap metadataForProject() const;
    void closeDocument(bool showWelcomeWindow);
    // Gives pasted items, not yet in the project, the attached documents they list: in the
    // project they were copied from, the same entries, referred to once more; from another
    // project, the copied files (DMAttachedDocuments::copiedDocuments) attached anew. A document
    // that cannot be had is taken off the item; the names of those are returned.
    QStringList adoptAttachedDocuments(const QList<std::shared_ptr<DMProjectItem>> &items,
                                       const QVariantMap &copiedFiles, bool sameProject);

    std::shared_ptr<DMProject> m_project;
    std::unique_ptr<DMUndoManager> m_undoManager;
    QString m_temporaryFolder;
    DMPropertyListNode m_readProject; // the read package, until the project is built
    bool m_hasReadDictionary = false;
    QString m_readPackagePath; // where m_readProject came from; empty for imported files

    QString m_fileURL;
    QString m_fileType;
    QString m_password;
    int m_changeCount = 0;
    quint64 m_badgesLayoutStamp = 0; // the project's layout stamp when the badges were last renewed
    QTimer m_autosaveTimer;
    bool m_closed = false;
    bool m_windowFrameRestored = false; // a stored frame was put back: kept on a screen when next shown
    int m_currentPageTag = DMPage::GanttPage;

    std::unique_ptr<QMainWindow> m_window;
    DMProjectDocumentOutlets m_outlets;
    std::unique_ptr<DMProjectDocumentProjectOutlineDS> m_projectOutlineDS;
    std::unique_ptr<DMProjectDocumentSourceListOutlineDS> m_sourceListDS;
    QPointer<QWidget> m_emptyPage;           // the content area's page for pages not built yet
    QPointer<QAction> m_searchFieldAction;   // the search field's place in the toolbar
    std::unique_ptr<DMProjectTimelineDataSource> m_timelineDataSource;
    std::unique_ptr<DMProjectDocumentObjectViewDataSource> m_objectViewDataSource;
    std::unique_ptr<DMProjectDocumentItemsView> m_itemsView;

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
    std::shared_ptr<DMProjectDocumentPrint> m_print;
};
