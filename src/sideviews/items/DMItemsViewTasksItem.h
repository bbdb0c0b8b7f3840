#pragma once

#include "DMItemsViewItem.h"

class DMItemsViewPreview;
class DMProgressView;
class DMProjectItem;

// The card of a task: its title, Gantt miniature, dates and hours, duration, assigned resources,
// cost and its kind, progress bar and percentage, and an attachment mark while documents are
// attached to it.
class DMItemsViewTasksItem : public DMItemsViewItem
{
    Q_OBJECT

public:
    DMItemsViewTasksItem(DMItemsViewDocument &document, DMCollectionView *collectionView);
    QSize cardSize() const override { return {320, 168}; }

    // The card's fields, filled by updateUI.
    QLabel *nameField;
    DMItemsViewPreview *objectPreview;
    QLabel *beginDateField;
    QLabel *beginHourOfDayField;
    QLabel *endDateField;
    QLabel *endHourOfDayField;
    QLabel *durationField;
    QLabel *affectedResourcesField;
    QLabel *costField;
    QLabel *costTypeField;
    DMProgressView *progressView;
    QLabel *progressField;
    QLabel *attachedDocumentsView;

protected:
    QStringList observedKeyPaths() const override;
    void updateUI() override;
};
