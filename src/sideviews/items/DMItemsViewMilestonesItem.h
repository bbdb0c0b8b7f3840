#pragma once

#include "DMItemsViewItem.h"

class DMItemsViewPreview;

// The card of a milestone: title, diamond, date and hour, and its assigned resources.
class DMItemsViewMilestonesItem : public DMItemsViewItem
{
    Q_OBJECT

public:
    DMItemsViewMilestonesItem(DMItemsViewDocument &document, DMCollectionView *collectionView);
    QSize cardSize() const override { return {260, 92}; }

    QLabel *nameField;
    DMItemsViewPreview *objectPreview;
    QLabel *beginDateField;
    QLabel *beginHourOfDayField;
    QLabel *affectedResourcesField;

protected:
    QStringList observedKeyPaths() const override;
    void updateUI() override;
};
