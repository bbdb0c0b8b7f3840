#include "DMGanttGuideLabels.h"

#include "DMDateFormatter.h"
#include "DMUISimpleTextObject.h"

namespace {

constexpr qreal kHorizontalMargin = 4.0;
constexpr qreal kVerticalMargin = 2.0;

} // namespace

QString DMGanttGuideLabels::dateText(const DMDate &date)
{
    static const DMDateFormatter ymd(DMDateFormatter::YearMonthDay);
    static const DMDateFormatter hms(DMDateFormatter::HourMinuteSecond);
    return QStringLiteral("%1\n%2").arg(ymd.stringFromDate(date), hms.stringFromDate(date));
}

QRectF DMGanttGuideLabels::labelFrame(const QRectF &slot, Qt::Alignment alignment, const QSizeF &textSize)
{
    const QSizeF size(textSize.width() + 2 * kHorizontalMargin, textSize.height() + 2 * kVerticalMargin);
    qreal x = slot.center().x() - size.width() / 2;
    if (alignment & Qt::AlignLeft)
        x = slot.left();
    else if (alignment & Qt::AlignRight)
        x = slot.right() - size.width();
    qreal y = slot.center().y() - size.height() / 2;
    if (alignment & Qt::AlignTop)
        y = slot.top();
    else if (alignment & Qt::AlignBottom)
        y = slot.bottom() - size.height();
    return QRectF(QPointF(x, y), size);
}

void DMGanttGuideLabels::update(DMProjectViewObject &object, const QList<Placement> &placements)
{
    DMBaseObjectList labels = object.guideAnchorsObjects();
    if (labels.size() != placements.size()) {
        labels.clear();
        for (qsizetype i = 0; i < placements.size(); ++i) {
            auto label = std::make_shared<DMUISimpleTextObject>();
            label->setFillColor(QColor::fromRgbF(0, 0, 0, 0.5));
            labels.append(label);
        }
        object.setGuideAnchorsObjects(labels);
    }
    const std::weak_ptr<DMProjectViewObject> owner =
        std::static_pointer_cast<DMProjectViewObject>(object.weak_from_this().lock());
    for (qsizetype i = 0; i < labels.size(); ++i) {
        auto *label = static_cast<DMUISimpleTextObject *>(labels.at(i).get());
        const Placement &placement = placements.at(i);
        label->setOwner(owner);
        label->setText(placement.text);
        label->setFrame(labelFrame(placement.slot, placement.alignment,
                                   label->textAttributes().sizeOfString(placement.text)));
    }
}
