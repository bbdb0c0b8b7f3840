#include "DMGanttGuideLabels.h"

#include "DMDateFormatter.h"
#include "DMUISimpleTextObject.h"

QString DMGanttGuideLabels::dateText(const DMDate &date)
{
    static const DMDateFormatter ymd(DMDateFormatter::YearMonthDay);
    static const DMDateFormatter hms(DMDateFormatter::HourMinuteSecond);
    return QStringLiteral("%1\n%2").arg(ymd.stringFromDate(date), hms.stringFromDate(date));
}

void DMGanttGuideLabels::update(DMProjectViewObject &object, const QList<QRectF> &frames, const QStringList &texts)
{
    DMBaseObjectList labels = object.guideAnchorsObjects();
    if (labels.size() != frames.size()) {
        labels.clear();
        for (qsizetype i = 0; i < frames.size(); ++i) {
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
        label->setOwner(owner);
        label->setFrame(frames.at(i));
        label->setText(texts.value(i));
    }
}
