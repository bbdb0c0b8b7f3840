#include "DMItemsViewDependenciesItem.h"

#include "DMItemsViewPreview.h"
#include "DMProjectDependency.h"
#include "DMProjectItem.h"
#include "DMUIProjectDependency.h"

#include <QLabel>

DMItemsViewDependenciesItem::DMItemsViewDependenciesItem(DMItemsViewDocument &document, DMCollectionView *collectionView)
    : DMItemsViewItem(document, collectionView)
{
    view()->resize(cardSize());
    fromNameField = addLabel({10, 4, 140, 18}, 11, true);
    toNameField = addLabel({170, 4, 140, 18}, 11, true);
    fromObjectPreview = new DMItemsViewPreview(view());
    fromObjectPreview->setGeometry(10, 26, 120, 22);
    linkPreview = new DMItemsViewPreview(view());
    linkPreview->setGeometry(130, 26, 60, 22);
    toObjectPreview = new DMItemsViewPreview(view());
    toObjectPreview->setGeometry(190, 26, 120, 22);
    fromEndDateField = addLabel({10, 54, 100, 16});
    fromEndTimeField = addLabel({10, 72, 100, 16});
    toBeginDateField = addLabel({170, 54, 100, 16});
    toBeginTimeField = addLabel({170, 72, 100, 16});
}

QStringList DMItemsViewDependenciesItem::observedKeyPaths() const
{
    return {QStringLiteral("color"), QStringLiteral("linkStyle"), QStringLiteral("hasArrow"), QStringLiteral("dashStyle"),
            QStringLiteral("thickness")};
}

void DMItemsViewDependenciesItem::updateUI()
{
    auto dependency = std::dynamic_pointer_cast<DMProjectDependency>(representedObject().object);
    const auto from = dependency ? dependency->fromItem() : nullptr;
    const auto to = dependency ? dependency->toItem() : nullptr;
    if (!from || !to || !from->project())
        return;
    auto line = std::make_shared<DMUIProjectDependency>();
    line->setFrame(QRectF(0, 0, 10, 10));
    line->setRepresentedObject(dependency);
    line->updateUIFeatures();
    // The link runs from the left end of its canvas to the right end, at half height.
    linkPreview->showObject(line, [](DMBaseObject &object, const QRectF &rect) {
        static_cast<DMUIProjectDependency &>(object).setStartPointEndPoint(QPointF(rect.left(), rect.center().y()),
                                                                          QPointF(rect.right(), rect.center().y()));
    });
    fromObjectPreview->showItem(from.get());
    toObjectPreview->showItem(to.get());
    fromNameField->setText(from->title());
    toNameField->setText(to->title());
    setDateFields(fromEndDateField, fromEndTimeField, from->endDate());
    setDateFields(toBeginDateField, toBeginTimeField, to->beginDate());
}
