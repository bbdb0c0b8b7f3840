#include "DMItemsViewItem.h"

#include "DMCollectionView.h"
#include "DMCurrencyFormatter.h"
#include "DMDate.h"
#include "DMDateFormatter.h"
#include "DMDurationSplit.h"
#include "DMItemsViewDocument.h"
#include "DMLocalizedString.h"
#include "DMProgressView.h"
#include "DMProject.h"
#include "DMProjectDependency.h"
#include "DMProjectDependencyUIObject.h"
#include "DMProjectItem.h"
#include "DMProjectItemUIObject.h"
#include "DMProjectObject.h"
#include "DMProjectViewObject.h"

#include <QLabel>
#include <QMouseEvent>
#include <QTextLayout>
#include <QToolButton>

#include <algorithm>

namespace {

// The chart's object of an item or a link, which its inspector edits; null for other objects.
std::shared_ptr<DMProjectViewObject> chartObjectOf(const std::shared_ptr<DMProjectObject> &object)
{
    if (const auto item = std::dynamic_pointer_cast<DMProjectItem>(object))
        return std::dynamic_pointer_cast<DMProjectViewObject>(item->ganttUIObject());
    if (const auto link = std::dynamic_pointer_cast<DMProjectDependency>(object))
        return std::dynamic_pointer_cast<DMProjectViewObject>(link->ganttUIObject());
    return nullptr;
}

} // namespace

DMItemsViewItem::DMItemsViewItem(DMItemsViewDocument &document, DMCollectionView *collectionView)
    : m_document(document), m_collectionView(collectionView)
{
    view()->setDelegate(this);
    view()->setAutoFillBackground(false);
}

DMItemsViewItem::~DMItemsViewItem()
{
    removeObservers();
    view()->setDelegate(nullptr);
}

void DMItemsViewItem::setRepresentedObject(const DMItemsViewObject &object)
{
    removeObservers();
    m_object = object;
    if (m_object.isNull())
        return;
    addObservers();
    updateUI();
}

void DMItemsViewItem::addObservers()
{
    const auto refill = [this](const DMChange &, DMObservable *) { updateUI(); };
    if (m_object.object) {
        for (const QString &keyPath : observedKeyPaths())
            m_observations.push_back(m_object.object->observe(keyPath, refill));
        for (const auto &[related, keyPaths] : relatedObservedKeyPaths())
            for (const QString &keyPath : keyPaths)
                if (related)
                    m_observations.push_back(related->observe(keyPath, refill));
    }
}

void DMItemsViewItem::removeObservers()
{
    m_observations.clear();
}

void DMItemsViewItem::scrollToVisible()
{
    if (m_collectionView && representedIndex() >= 0)
        m_collectionView->scrollPoint(m_collectionView->frameForItemAtIndex(representedIndex()).topLeft());
}

void DMItemsViewItem::edit(EditorKeyboard keyboard)
{
    if (!m_object.isNull() && !view()->isHidden())
        editRepresentedObject(keyboard);
}

void DMItemsViewItem::editRepresentedObject(EditorKeyboard keyboard)
{
    const std::shared_ptr<DMProjectViewObject> object = chartObjectOf(m_object.object);
    if (!object)
        return;
    if (keyboard == EditorKeyboard::Take)
        object->editNewObjectInView(nullptr);
    else
        object->editInInspector();
}

void DMItemsViewItem::viewMouseDown(DMItemBackgroundView *, QMouseEvent *event)
{
    if (event->type() == QEvent::MouseButtonDblClick)
        edit();
}

QString DMItemsViewItem::cardDurationText(qint64 seconds, qint64 secondsPerDay)
{
    const DMDurationSplit parts = DMDurationSplit::split(seconds, secondsPerDay);
    QString text;
    if (parts.days > 0)
        text = DMLocalizedString("%1 %2 days").arg(text).arg(parts.days);
    if (parts.hours > 0 || parts.minutes > 0)
        text = DMLocalizedString("%1 %2 hours").arg(text).arg(parts.hours);
    if (parts.minutes > 0)
        text = DMLocalizedString("%1 %2 min").arg(text).arg(parts.minutes);
    return text;
}

QString DMItemsViewItem::fittedText(const QString &text, const QFont &font, QSize box)
{
    const QFontMetrics metrics(font);
    const int width = std::max(1, box.width());
    const int maximumLines = std::max(1, box.height() / std::max(1, metrics.lineSpacing()));
    QString flat = text;
    flat.replace(QLatin1Char('\n'), QLatin1Char(' '));
    QTextLayout layout(flat, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QStringList lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        if (lines.size() + 1 == maximumLines) {
            // The last line takes what is left, cut with an ellipsis when it does not fit.
            lines.append(metrics.elidedText(flat.mid(line.textStart()).trimmed(), Qt::ElideRight, width));
            break;
        }
        lines.append(flat.mid(line.textStart(), line.textLength()).trimmed());
    }
    layout.endLayout();
    return lines.join(QLatin1Char('\n'));
}

void DMItemsViewItem::setTitleText(QLabel *label, const QString &title)
{
    const QString shown = fittedText(title, label->font(), label->size());
    label->setText(shown);
    label->setToolTip(QString(shown).replace(QLatin1Char('\n'), QLatin1Char(' ')) == title ? QString() : title);
}

void DMItemsViewItem::addSeparatorView(QWidget *&separatorView, QToolButton *&disclosureButton, QLabel *&nameField)
{
    separatorView = new QWidget(view());
    separatorView->setGeometry(QRect(QPoint(), cardSize()));
    disclosureButton = new QToolButton(separatorView);
    disclosureButton->setGeometry(8, 18, 24, 24);
    disclosureButton->setCheckable(true);
    disclosureButton->setAutoRaise(true);
    nameField = addLabel({38, 18, 270, 24}, 13, true);
    nameField->setParent(separatorView);
}

void DMItemsViewItem::showSeparator(QToolButton *disclosureButton, QLabel *nameField, const QString &name, bool open)
{
    setTitleText(nameField, name);
    disclosureButton->setChecked(open);
    disclosureButton->setArrowType(open ? Qt::DownArrow : Qt::RightArrow);
}

QLabel *DMItemsViewItem::addLabel(const QRect &frame, int pointSize, bool bold, Qt::Alignment alignment)
{
    auto *label = new QLabel(view());
    label->setGeometry(frame);
    QFont font = label->font();
    font.setPointSize(pointSize);
    font.setBold(bold);
    label->setFont(font);
    label->setAlignment(alignment | Qt::AlignVCenter);
    label->setTextFormat(Qt::PlainText);
    return label;
}

void DMItemsViewItem::setDateFields(QLabel *dateField, QLabel *hourField, const DMDate &date)
{
    const auto ymd = m_document.sharedYMDDateFormatter();
    const auto hms = m_document.sharedHMSDateFormatter();
    dateField->setText(ymd ? ymd->stringFromDate(date) : QString());
    hourField->setText(hms ? hms->stringFromDate(date) : QString());
}

void DMItemsViewItem::addDateRow(QLabel *&beginDate, QLabel *&beginHour, QLabel *&endDate, QLabel *&endHour)
{
    beginDate = addLabel({10, 50, 92, 16}, 9);
    beginHour = addLabel({102, 50, 58, 16}, 9);
    endDate = addLabel({170, 50, 92, 16}, 9);
    endHour = addLabel({262, 50, 58, 16}, 9);
}

DMProgressView *DMItemsViewItem::addCompletionRow(QLabel *&percentField)
{
    auto *bar = new DMProgressView(view());
    bar->setGeometry(0, 104, 250, 60);
    bar->setDisplayValueMarker(false);
    bar->setMarkersAtTop(false);
    bar->setMinValue(0);
    bar->setMaxValue(1);
    percentField = addLabel({252, 110, 60, 16}, 11, true, Qt::AlignRight);
    return bar;
}

void DMItemsViewItem::showCompletion(DMProgressView *bar, QLabel *percentField, float completion)
{
    bar->setDoubleValue(completion);
    percentField->setText(QStringLiteral("%1 %").arg(double(completion) * 100, 0, 'f', 0));
}

QString DMItemsViewItem::currencyText(double value) const
{
    const auto formatter = m_document.sharedCurrencyFormatter();
    return formatter ? formatter->stringForNumber(value) : QString::number(value, 'f', 2);
}
