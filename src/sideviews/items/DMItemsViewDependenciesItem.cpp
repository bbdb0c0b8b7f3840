#include "DMItemsViewDependenciesItem.h"

#include "DMItemsViewPreview.h"
#include "DMProjectDependency.h"
#include "DMProjectItem.h"
#include "DMProjectKeys.h"
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
    return {QStringLiteral("kind"),      QStringLiteral("color"),     QStringLiteral("linkStyle"),
            QStringLiteral("hasArrow"),  QStringLiteral("dashStyle"), QStringLiteral("thickness")};
}

QList<std::pair<std::shared_ptr<DMObservable>, QStringList>> DMItemsViewDependenciesItem::relatedObservedKeyPaths() const
{
    const auto dependency = std::dynamic_pointer_cast<DMProjectDependency>(representedObject().object);
    if (!dependency)
        return {};
    const QStringList shown{DMProjectKey::title, DMProjectKey::beginDate, DMProjectKey::endDate, DMProjectKey::fillColor};
    return {{dependency->fromItem(), shown}, {dependency->toItem(), shown}};
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
    // Placed by the card alone, between the ends of its canvas: without a placement clock the
    // line is never placed again against the bars of the Gantt view.
    line->setPlacementClock(nullptr);
    // The link runs from the left end of its canvas to the right end, at half height.
    linkPreview->showObject(line, [](DMBaseObject &object, const QRectF &rect) {
        static_cast<DMUIProjectDependency &>(object).setStartPointEndPoint(QPointF(rect.left(), rect.center().y()),
                                                                          QPointF(rect.right(), rect.center().y()));
    });
    fromObjectPreview->showItem(from.get());
    toObjectPreview->showItem(to.get());
    setTitleText(fromNameField, from->title());
    setTitleText(toNameField, to->title());
    const int kind = dependency->kind();
    setDateFields(fromEndDateField, fromEndTimeField,
                  DMProjectDependency::followsSourceEnd(kind) ? from->endDate() : from->beginDate());
    setDateFields(toBeginDateField, toBeginTimeField,
                  DMProjectDependency::constrainsTargetEnd(kind) ? to->endDate() : to->beginDate());
}
