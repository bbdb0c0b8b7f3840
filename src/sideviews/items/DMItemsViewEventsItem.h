#pragma once

#include "DMItemsViewItem.h"

class DMItemsViewPreview;

// The card of an event: title, bar, dates and hours, duration.
class DMItemsViewEventsItem : public DMItemsViewItem
{
    Q_OBJECT

public:
    DMItemsViewEventsItem(DMItemsViewDocument &document, DMCollectionView *collectionView);
    QSize cardSize() const override { return {320, 96}; }

    QLabel *titleField;
    DMItemsViewPreview *objectPreview;
    QLabel *beginDateField;
    QLabel *beginHourOfDayField;
    QLabel *endDateField;
    QLabel *endHourOfDayField;
    QLabel *durationField;

protected:
    QStringList observedKeyPaths() const override;
    void updateUI() override;
};
