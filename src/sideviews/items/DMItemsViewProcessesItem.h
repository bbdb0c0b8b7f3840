#pragma once

#include "DMItemsViewItem.h"

class DMItemsViewPreview;
class DMProgressView;
struct DMItemsViewTotals;

// The card of a process: title, bracket, what it holds, cost, progress, dates and duration.
class DMItemsViewProcessesItem : public DMItemsViewItem
{
    Q_OBJECT

public:
    DMItemsViewProcessesItem(DMItemsViewDocument &document, DMCollectionView *collectionView);
    QSize cardSize() const override { return {320, 168}; }

    // "%d tasks, %d milestones, %d processes", each part only when there are some (the
    // roll-up counts the process itself among the processes).
    static QString processInfoText(const DMItemsViewTotals &totals);

    QLabel *nameField;
    DMItemsViewPreview *objectPreview;
    QLabel *infoField;
    QLabel *costField;
    QLabel *beginDateField;
    QLabel *beginHourOfDayField;
    QLabel *endDateField;
    QLabel *endHourOfDayField;
    QLabel *durationField;
    DMProgressView *progressView;
    QLabel *progressField;

protected:
    QStringList observedKeyPaths() const override;
    void updateUI() override;
};
