#include "DMItemsViewResourcesItem.h"

#include "DMLocalizedString.h"
#include "DMProgressView.h"
#include "DMProjectKeys.h"
#include "DMProjectOutlineIcons.h"
#include "DMProjectResource.h"

#include <QLabel>
#include <QPixmap>

DMItemsViewResourcesItem::DMItemsViewResourcesItem(DMItemsViewDocument &document, DMCollectionView *collectionView)
    : DMItemsViewItem(document, collectionView)
{
    view()->resize(cardSize());
    // Both views are transparent to clicks on their passive parts, like the background.
    groupView = new QWidget(view());
    groupView->setGeometry(QRect(QPoint(), cardSize()));
    groupView->setAttribute(Qt::WA_TransparentForMouseEvents);
    auto *groupIcon = new QLabel(groupView);
    groupIcon->setGeometry(10, 10, 32, 32);
    groupIcon->setPixmap(QPixmap::fromImage(DMProjectOutlineIcons::imageNamed(QStringLiteral("bt_newgroup"))));
    groupNameField = new QLabel(groupView);
    groupNameField->setGeometry(50, 14, 260, 22);
    QFont bold = groupNameField->font();
    bold.setBold(true);
    bold.setPointSize(13);
    groupNameField->setFont(bold);

    resourceView = new QWidget(view());
    resourceView->setGeometry(QRect(QPoint(), cardSize()));
    resourceView->setAttribute(Qt::WA_TransparentForMouseEvents);
    const auto label = [this](const QRect &frame, bool isBold = false) {
        QLabel *field = addLabel(frame, isBold ? 12 : 11, isBold);
        field->setParent(resourceView);
        return field;
    };
    iconImageView = label({10, 6, 32, 32});
    humanOrMaterialImageView = label({278, 6, 32, 32});
    nameField = label({48, 6, 226, 20}, true);
    emailField = label({48, 26, 226, 16});
    phoneField = label({48, 42, 226, 16});
    hourlyCostField = label({10, 62, 120, 16});
    costKindField = label({130, 62, 100, 16});
    projectCostField = label({230, 62, 80, 16});
    chargeTextField = label({10, 80, 300, 16});
    chargeProgressIndicator = new DMProgressView(resourceView);
    chargeProgressIndicator->setGeometry(0, 96, 320, 52);
    chargeProgressIndicator->setDisplayValueMarker(false);
    chargeProgressIndicator->setMarkersAtTop(false);
}

QStringList DMItemsViewResourcesItem::observedKeyPaths() const
{
    const QString a = QStringLiteral("attributes.");
    return {a + kDMProjectResource_Icon,  QStringLiteral("name"),          a + kDMProjectResource_Email,
            a + kDMProjectResource_Phone, a + kDMProjectResource_HourlyCost, a + kDMProjectResource_Human,
            a + kDMProjectResource_CostKind};
}

void DMItemsViewResourcesItem::updateUI()
{
    auto *resource = dynamic_cast<DMProjectResource *>(representedObject().object.get());
    if (!resource)
        return;
    if (resource->isGroup()) {
        groupView->show();
        resourceView->hide();
        setTitleText(groupNameField, resource->name());
        return;
    }
    if (!resource->project())
        return;
    groupView->hide();
    resourceView->show();
    setTitleText(nameField, resource->name());
    const QImage icon = resource->attribute(kDMProjectResource_Icon).value<QImage>();
    iconImageView->setPixmap(icon.isNull() ? QPixmap() : QPixmap::fromImage(icon.scaled(32, 32, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
    m_humanOrMaterialImageName = DMProjectOutlineIcons::resourceImageName(*resource);
    humanOrMaterialImageView->setPixmap(QPixmap::fromImage(DMProjectOutlineIcons::imageNamed(m_humanOrMaterialImageName)));
    emailField->setText(resource->attribute(kDMProjectResource_Email).toString());
    phoneField->setText(resource->attribute(kDMProjectResource_Phone).toString());
    hourlyCostField->setText(currencyText(resource->attribute(kDMProjectResource_HourlyCost).toDouble()));
    const int costKind = resource->attribute(kDMProjectResource_CostKind).toInt();
    costKindField->setText(costKind == kDMProjectResourceCostKind_Daily   ? DMLocalizedString("/per day")
                           : costKind == kDMProjectResourceCostKind_Fixed ? DMLocalizedString("(Fixed cost)")
                                                                          : DMLocalizedString("/per hour"));
    float progress = 0;
    float cost = 0;
    QString info;
    resource->computeProgressCostInfoString(&progress, &cost, &info);
    projectCostField->setText(currencyText(cost));
    chargeTextField->setText(info);
    chargeProgressIndicator->setMinValue(0);
    chargeProgressIndicator->setMaxValue(1);
    chargeProgressIndicator->setDoubleValue(progress);
}
