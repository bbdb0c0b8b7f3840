#pragma once

#include "DMItemsViewItem.h"

#include <memory>

class DMItemsViewPreview;

// The card of a link: its source and target items as miniatures with the link drawn between
// them, the source's end and the target's begin.
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
    QLabel *fromEndDateField;
    QLabel *fromEndTimeField;
    QLabel *toBeginDateField;
    QLabel *toBeginTimeField;

protected:
    QStringList observedKeyPaths() const override;
    void updateUI() override;
};
