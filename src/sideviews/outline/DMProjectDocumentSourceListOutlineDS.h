#pragma once

#include "DMOutlineViewDataSource.h"
#include "DMOutlineViewDelegate.h"
#include "DMProjectEnums.h"

#include <QHash>
#include <QObject>
#include <QVariantList>

#include <memory>

class DMSourceListCell;
class DMSourceListDocument;

// The source list at the left of the document window: its data source and delegate, owned by the
// document, which it reaches through DMSourceListDocument.
//
// A flat list of section headers and rows, built once per document. Every row carries a page tag
// (DMPage), the page's identity throughout the application. Choosing a row asks the document to
// show that page; headers are never selected. Rows show a count badge for the pages that list
// things.
class DMProjectDocumentSourceListOutlineDS : public QObject, public DMOutlineViewDataSource, public DMOutlineViewDelegate
{
    Q_OBJECT

public:
    // Keys of a tree entry. The icon keys hold image names (DMImageLibrary).
    static const QString kDMProjectDocument_SourceList_Key_Title;
    static const QString kDMProjectDocument_SourceList_Key_Kind; // HeaderKind or RowKind
    static const QString kDMProjectDocument_SourceList_Key_Tag;  // DMPage::NoPage for headers
    static const QString kDMProjectDocument_SourceList_Key_Tooltip;
    static const QString kDMProjectDocument_SourceList_Key_Icon;
    static const QString kDMProjectDocument_SourceList_Key_Icon_Selected;
    enum Kind { HeaderKind = 0, RowKind = 1 };
    static const QString kTitleColumn; // "title", the list's one column

    // The title of a page, localized: its row's title, or the View menu's for pages without a row;
    // empty for a tag that is no page.
    static QString pageTitleForTag(int tag);

    // Not owned: the document owns this controller.
    explicit DMProjectDocumentSourceListOutlineDS(DMSourceListDocument &document);
    ~DMProjectDocumentSourceListOutlineDS() override;

    // The window set-up: the column and its cell, then becomes the outline's data source and
    // delegate. The document is closing: lets go of the outline.
    void attachToOutlineView();
    void detachFromOutlineView();

    // Builds the tree when there is none; the tree never changes afterwards.
    void createSourceListTree();
    const QVariantList &sourceListTree();
    // Index of the first entry with the tag, or -1.
    int sourceListTree_indexOfItemWithTag(int tag);

    // The count shown on the badge of a page's row; below 1 no badge is shown.
    int badgeCountForTag(int tag);
    // "%d" of the count, empty when no badge is shown.
    QString badgeTextForTag(int tag);
    // The project's items, resources, events or attached documents changed: the badges are
    // counted again when next shown.
    void badgesNeedUpdate();

    // The document shows the page: its row becomes the selection (none for a page without a row),
    // without choosing the page a second time.
    void selectRowForPageWithTag(int tag);
    // The tag of the selected row; 0 when none.
    int selectedTag() const;

    // DMOutlineViewDataSource
    int outlineViewNumberOfChildrenOfItem(DMOutlineView *view, DMOutlineItem item) override;
    DMOutlineItem outlineViewChildOfItem(DMOutlineView *view, int index, DMOutlineItem item) override;
    QVariant outlineViewObjectValueForTableColumnByItem(DMOutlineView *view, const QString &column,
                                                        DMOutlineItem item) override;

    // DMOutlineViewDelegate
    bool outlineViewShouldEditTableColumnItem(DMOutlineView *view, const QString &column, DMOutlineItem item) override;
    void outlineViewWillDisplayCellForTableColumnItem(DMOutlineView *view, DMOutlineCell &cell, const QString &column,
                                                      DMOutlineItem item) override;
    QString outlineViewToolTipForTableColumnItem(DMOutlineView *view, const QString &column, DMOutlineItem item) override;
    QList<int> outlineViewSelectionIndexesForProposedSelection(DMOutlineView *view, const QList<int> &proposed) override;
    void outlineViewSelectionDidChange(DMOutlineView *view) override;

private:
    // Outline items are entry indexes plus one, so that no entry is the null root.
    static DMOutlineItem itemForIndex(int index) { return reinterpret_cast<DMOutlineItem>(quintptr(index) + 1); }
    QVariantMap entryForItem(DMOutlineItem item);
    void countBadges();

    DMSourceListDocument &m_document;
    QVariantList m_tree;
    DMSourceListCell *m_cell = nullptr; // the column's cell; the outline owns it
    QHash<int, int> m_badgeCounts;      // by page tag
    bool m_badgesValid = false;
    bool m_selectingRowForPage = false; // the document is showing the page already
    int m_chosenRow = -1;               // the row of the page shown; -1 for none
};
