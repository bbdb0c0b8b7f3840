#include "DMItemsViewMilestonesItem.h"

#include "DMItemsViewPreview.h"
#include "DMLocalizedString.h"
#include "DMProjectTask.h"

#include <QLabel>

DMItemsViewMilestonesItem::DMItemsViewMilestonesItem(DMItemsViewDocument &document, DMCollectionView *collectionView)
    : DMItemsViewItem(document, collectionView)
{
    view()->resize(cardSize());
    // The card has room for a title of two lines beside the diamond.
    nameField = addLabel({40, 4, 210, 40}, 12, true);
    objectPreview = new DMItemsViewPreview(view());
    objectPreview->setGeometry(8, 12, 24, 24);
    beginDateField = addLabel({10, 48, 100, 16});
    beginHourOfDayField = addLabel({110, 48, 80, 16});
    affectedResourcesField = addLabel({10, 68, 200, 16});
}

QStringList DMItemsViewMilestonesItem::observedKeyPaths() const
{
    return {QStringLiteral("title"), QStringLiteral("beginDate"), QStringLiteral("duration"), QStringLiteral("fillColor"),
            QStringLiteral("useWorkingSchedule")};
}

void DMItemsViewMilestonesItem::updateUI()
{
    auto *milestone = dynamic_cast<DMProjectItem *>(representedObject().object.get());
    if (!milestone || !milestone->project())
        return;
    objectPreview->showItem(milestone);
    setTitleText(nameField, milestone->title());
    setDateFields(beginDateField, beginHourOfDayField, milestone->beginDate());
    const auto *assignable = dynamic_cast<DMProjectTask *>(milestone);
    affectedResourcesField->setText(QStringLiteral("%1 %2")
                                        .arg(assignable ? assignable->concernedResources().size() : 0)
                                        .arg(DMLocalizedString("Resources")));
}
