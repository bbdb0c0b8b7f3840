#pragma once

#include "DMItemsViewItem.h"

class DMProgressView;

// The card of a resource or a resource group. A group shows its group view (its name only); a
// resource its person or material picture, e-mail, phone, rate and cost kind, the cost of its
// tasks, and its charge: the mean progress of its tasks with the information text.
class DMItemsViewResourcesItem : public DMItemsViewItem
{
    Q_OBJECT

public:
    DMItemsViewResourcesItem(DMItemsViewDocument &document, DMCollectionView *collectionView);
    QSize cardSize() const override { return {320, 150}; }

    QWidget *groupView;
    QLabel *groupNameField;
    QWidget *resourceView;
    QLabel *nameField;
    QLabel *iconImageView;
    QLabel *humanOrMaterialImageView;
    QLabel *emailField;
    QLabel *phoneField;
    QLabel *hourlyCostField;
    QLabel *costKindField;
    QLabel *projectCostField;
    QLabel *chargeTextField;
    DMProgressView *chargeProgressIndicator;
    // The name of the picture shown: "28" for a person, "47" otherwise.
    QString humanOrMaterialImageName() const { return m_humanOrMaterialImageName; }

protected:
    QStringList observedKeyPaths() const override;
    void updateUI() override;

private:
    QString m_humanOrMaterialImageName;
};
