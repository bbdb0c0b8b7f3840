#pragma once

#include "DMCollectionView.h"
#include "DMCollectionViewDragOperationDelegate.h"
#include "DMItemsViewItem.h"
#include "DMItemsViewObject.h"
#include "DMObservable.h"
#include "DMProjectEnums.h"

#include <QHash>
#include <QLabel>
#include <QPushButton>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <memory>
#include <vector>

class DMCollectionViewItem;
class DMItemsViewDocument;
class DMItemsViewItem;
class DMProject;
class DMProjectItem;
class DMProjectResource;
class QButtonGroup;
class QMimeData;
class QWidget;

// The items view: the objects of one kind shown as cards (resources, tasks, milestones,
// processes, to-dos, events, attached documents or links: the items-view kinds of DMPage).
// Owned by the document, which it reaches through DMItemsViewDocument.
//
// It keeps one prepared array per kind, sorted by the mode the user chose for that kind, and
// puts the array of the page shown into the collection view with that kind's card. Its commands
// (new, new group, delete, edit, back, sort, resource export and import) each make one undo
// step; its cards ask it through their signals, and the resource inspector through its own,
// never another document's items view; vCards dropped on the resources page become resources,
// files dropped on the documents page are attached.
class DMProjectDocumentItemsView : public QObject, public DMCollectionViewDragOperationDelegate
{
    Q_OBJECT

public:
    explicit DMProjectDocumentItemsView(DMItemsViewDocument &document);
    ~DMProjectDocumentItemsView() override;

    // The page: header, command buttons, the row of sort buttons and the collection view,
    // made once inside the container, and the connection to the resource inspector, which
    // detachFromWindow ends.
    void buildItemsContainerView(QWidget *container);
    void detachFromWindow();
    // The document took another project: observations move to it (the document then rebuilds
    // every array through updateItemsArrayWithTag).
    void projectDidChange();
    // An edit was done, undone or redone: the documents array, whose rows show the files of the
    // items and the titles of the items holding them, is built again.
    void projectWasEdited();
    // Whether the cards of a page change when the array of a tag is rebuilt (tasks, milestones,
    // processes and links are built together; the events' page is their list, without cards).
    static bool pageShowsArrayWithTag(int page, int tag);

    DMCollectionView *itemsCollectionView() const { return m_collectionView; }
    QPushButton *itemsBackButton() const { return m_backButton; }
    QPushButton *itemsAddButton() const { return m_addButton; }
    QPushButton *itemsNewGroupButton() const { return m_newGroupButton; }
    QPushButton *itemsExportButton() const { return m_exportButton; }
    QPushButton *itemsImportButton() const { return m_importButton; }
    QPushButton *itemsDeleteButton() const { return m_deleteButton; }
    QPushButton *itemsEditButton() const { return m_editButton; }
    QLabel *itemsViewHeaderImageView() const { return m_headerImageView; }
    QWidget *itemsViewSortMatrix() const { return m_sortMatrix; }

    // ---- Arrays ----
    // Rebuilds the array of a tag (tasks, milestones, processes and links together;
    // DMPage::AllItemsArrays every one), then the source list. The arrays of tasks, milestones,
    // processes and links, which hold the whole project, are sorted when first read while their
    // page is not shown.
    void updateItemsArrayWithTag(int tag);
    void updateAllItemsArrays();
    // Puts the array of the page shown into the collection view with its card and sort titles.
    void updateItemsViewContentsArray();
    QList<DMItemsViewObject> itemsArrayWithTag(int tag);
    // The number of entries of a tag's array, counted without sorting it.
    int itemsCountWithTag(int tag);
    const QList<DMItemsViewObject> &itemsViewContentsArray() const { return m_contents; }
    // The number of resources (groups not counted) of the whole project.
    int itemsViewResourcesCount() const { return m_resourcesCount; }
    // The sort button chosen for a tag (the to-do page: the to-do container's mode).
    int sortingModeForTag(int tag) const;
    // The resource group opened on the resources page; null at the top level (or once deleted).
    std::shared_ptr<DMProjectResource> itemsViewEditedResourceGroup() const { return m_editedResourceGroup.lock(); }
    bool itemsViewHasSelectedItems() const { return m_hasSelectedItems; }
    // The two separator rows of the documents page, made once.
    std::shared_ptr<QVariantMap> documentsSeparator(bool projectSeparator);

    // Lays the sort buttons out for the titles (buttons beyond them disabled and transparent).
    void setItemsViewSortingModesMatrixArray(const QStringList &titles);
    // The width every sort button gets: rowWidth / columns, widened to the widest title + 16.99.
    static int sortButtonWidth(int rowWidth, int columns, const QList<int> &titleWidths);

    // ---- Commands (DMProjectDocumentItemsView_Commands.cpp) ----
    void itemsViewNew();
    void itemsViewNewGroup();
    void itemsViewDelete();
    void itemsViewEdit();
    // Show Inspector: the first selected card edits its object (the files of document rows are
    // not opened).
    void itemsViewInspect();
    void itemsViewBack();
    void itemsViewSortMatrixCallback(int column);
    void itemsViewResourcesExport();
    void itemsViewResourcesImport();
    // The model side of export and import. Export: the file of every top-level resource; false
    // when it cannot be written. Import: appends the file's resources (one undo step); false,
    // with the project unchanged, for a file that is not a resource file.

    // ---- Requests of the cards and the resource inspector ----
    // A separator of the documents page was collapsed or opened: the page is rebuilt.
    void documentsSeparatorToggled(const std::shared_ptr<QVariantMap> &row);
    // Opens the file of a row of the documents page; a separator beeps.
    void documentsOpenFile(const std::shared_ptr<QVariantMap> &row);
    // The resources page shows the group's members; null: the top level. A group that is not
    // one of the project's is ignored.
    void itemsViewResourceGroupOpen(const std::shared_ptr<DMProjectResource> &group);
    void itemsCollectionViewSelectionDidChange();
    // The file of a document row; empty for a separator or an unknown key.
    QString pathForDocumentRow(const QVariantMap &row) const;

    // ---- Drops (DMProjectDocumentItemsView_Drops.cpp) ----
    Qt::DropAction dmCollectionViewDraggingEntered(DMCollectionView *view, const DMDraggingInfo &info) override;
    bool dmCollectionViewWantsPeriodicDraggingUpdates(DMCollectionView *) override { return true; }
    Qt::DropAction dmCollectionViewDraggingUpdated(DMCollectionView *view, const DMDraggingInfo &info) override;
    bool dmCollectionViewPrepareForDragOperation(DMCollectionView *view, const DMDraggingInfo &info) override;
    bool dmCollectionViewPerformDragOperation(DMCollectionView *view, const DMDraggingInfo &info) override;
    // The commands that act on the selected cards (Delete, Edit) are enabled only with one.
    void setItemsViewHasSelectedItems(bool selected) override;
    // The resource a vCard makes, not yet in the project; null when the card does not read.
    std::shared_ptr<DMProjectResource> resourceWithVCardData(const QByteArray &data) const;
    // Attaches the files to the project (one undo step); false when none was attached.
    bool attachFilesToProject(const QStringList &paths);

private:
    int pageTag() const;
    DMItemsViewObject firstSelectedObject() const;
    // Appends to the open group's members, or to the project's resources.
    void appendResource(const std::shared_ptr<DMProjectResource> &resource);
    // Rebuilds the page, selects the new object when shown, and asks its card to show it.
    void finishCreating(const DMItemsViewObject &created);
    // Brings the object's card into sight and asks it to scroll to itself and edit its object.
    void scrollToAndEditCard(const DMItemsViewObject &object,
                             DMItemsViewItem::EditorKeyboard keyboard = DMItemsViewItem::EditorKeyboard::Take);
    void selectObject(const DMItemsViewObject &object);
    // The place on the page shown of the to-do whose editor shows; -1 for none.
    qsizetype indexOfEditedTodo() const;
    // The to-do editor points at its to-do's card again when the page's order moved it.
    void repointTodoEditorIfItsCardMoved(qsizetype oldIndex);
    // Closes the to-do editor when its to-do has left this project's to-dos.
    void closeTodoEditorIfItsTodoWent();
    void observeProject();
    void scheduleRebuild(int tag);
    std::unique_ptr<DMItemsViewItem> makeCard(int tag);

    // Builders.
    void updateItemsArraysForTasksAndDependencies();
    void updateItemsArrayForResources();
    void updateItemsArrayForEvents();
    void updateItemsArrayForDocuments();
    void updateItemsArrayForToDo();
    std::shared_ptr<QVariantMap> documentRow(const QVariantMap &record, const QString &tableKey, bool attachedToProject,
                                             const QString &documentsFolder) const;

    DMItemsViewDocument &m_document;
    QHash<int, QList<DMItemsViewObject>> m_arrays;
    bool m_taskArraysStale = false; // the arrays of tasks, milestones, processes and links wait to be sorted
    QHash<int, int> m_staleTaskArrayCounts; // their sizes meanwhile, once counted
    QList<DMItemsViewObject> m_contents;
    int m_contentsTag = DMPage::NoPage;
    int m_resourcesCount = 0;
    bool m_hasSelectedItems = false;
    std::weak_ptr<DMProjectResource> m_editedResourceGroup;
    std::shared_ptr<QVariantMap> m_projectSeparator;
    std::shared_ptr<QVariantMap> m_tasksSeparator;

    QPointer<QWidget> m_container;
    QPointer<DMCollectionView> m_collectionView;
    QPointer<QLabel> m_headerImageView;
    QPointer<QWidget> m_sortMatrix;
    QButtonGroup *m_sortButtons = nullptr;
    int m_sortMatrixDefaultWidth = 560;
    QPointer<QPushButton> m_backButton;
    QPointer<QPushButton> m_addButton;
    QPointer<QPushButton> m_newGroupButton;
    QPointer<QPushButton> m_deleteButton;
    QPointer<QPushButton> m_editButton;
    QPointer<QPushButton> m_exportButton;
    QPointer<QPushButton> m_importButton;

    std::vector<DMObservation> m_projectObservations;
    QMetaObject::Connection m_resourceInspectorConnection;
    QTimer m_rebuildTimer; // coalesces the model's list changes into one rebuild
    QList<int> m_pendingRebuilds;
};
