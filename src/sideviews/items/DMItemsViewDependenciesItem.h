#pragma once

#include "DMItemsViewItem.h"

#include <memory>

class DMItemsViewPreview;

// The card of a link: its source and target items as miniatures with the link drawn between
// them, and the two dates the link joins: the source's end, or its begin for a link that starts
// from it (start to start, start to finish), and the target's begin, or its end for a link that
// ends at it (start to finish, finish to finish). It follows the link and both items.
class DMItemsViewDependenciesItem : public DMItemsViewItem
{
    Q_OBJECT

public:
    DMItemsViewDependenciesItem(DMItemsViewDocument &document, DMCollectionView *collectionView);
    QSize cardSize() const override { return {320, 100}; }

    QLabel *fromNameField;
    QLabel *toNameField;
    DMItemsViewPreview *fromObjectPreview;
    DMItemsViewPreview *linkPreview;
    DMItemsViewPreview *toObjectPreview;
    // The date the link starts from, and the date it leads to (named after the finish-to-start
    // link's).
    QLabel *fromEndDateField;
    QLabel *fromEndTimeField;
    QLabel *toBeginDateField;
    QLabel *toBeginTimeField;

protected:
    QStringList observedKeyPaths() const override;
    QList<std::pair<std::shared_ptr<DMObservable>, QStringList>> relatedObservedKeyPaths() const override;
    void updateUI() override;
};
