#include "DMProjectItem.h"

#include "DMColorAdditions.h"
#include "DMCriticalPath.h"
#include "DMLinkOrder.h"
#include "DMDictionaryAccess.h"
#include "DMIdleTimeout.h"
#include "DMProject.h"
#include "DMProjectChildList.h"
#include "DMProjectCoder.h"
#include "DMProjectDependency.h"
#include "DMProjectDocumentHooks.h"
#include "DMProjectItemGraph.h"
#include "DMProjectItemUIObject.h"
#include "DMProjectRelations.h"
#include "DMProjectUIObjectFactory.h"
#include "DMPropertyList.h"
#include "DMRollup.h"
#include "DMScheduler.h"

#include <QDateTime>
#include <QHash>
#include <QSet>

#include <atomic>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <vector>

namespace {

QHash<std::uint32_t, QColor> &defaultColors()
{
    static QHash<std::uint32_t, QColor> colors = {
        {kDMProjectItem_Kind_Item, QColor::fromRgbF(0.6f, 0.6f, 0.6f)},
        {kDMProjectItem_Kind_Task, QColor::fromRgbF(0.36f, 0.56f, 0.86f)},
        {kDMProjectItem_Kind_Milestone, QColor::fromRgbF(0.92f, 0.52f, 0.12f)},
        {kDMProjectItem_Kind_Process, QColor::fromRgbF(0.3f, 0.3f, 0.3f)},
        {kDMProjectItem_Kind_ItemGroup, QColor::fromRgbF(0.55f, 0.55f, 0.6f)},
        {kDMProjectItem_Kind_Event, QColor::fromRgbF(0.56f, 0.76f, 0.46f)},
    };
    return colors;
}

qint32 clampToInt32(qint64 value)
{
    return qint32(qBound(qint64(INT32_MIN), value, qint64(INT32_MAX)));
}

// The local date and time, looked up again only when the clock has moved on by a second: the
// local time costs a time-zone conversion, and opening a project makes thousands of items.
DMDate nowToTheSecond()
{
    thread_local qint64 second = std::numeric_limits<qint64>::min();
    thread_local DMDate now;
    const qint64 current = QDateTime::currentSecsSinceEpoch();
    if (current != second) {
        second = current;
        now = DMDate::dateForNow();
    }
    return now;
}

} // namespace

DMProjectItem::DMProjectItem() : m_linkOrder(DMLinkOrder::nextKey())
{
    const DMDate now = nowToTheSecond();
    m_beginDate = DMDate(now.year(), now.month(), now.day(), 8 * 3600);
    m_endDate = DMDate(now.year(), now.month(), now.day(), 18 * 3600);
    m_duration = 10 * 3600;
    m_fillColor = defaultFillColorForKind(kDMProjectItem_Kind_Item);
    m_subitems.setDelegate(this);
}

DMProjectItem::~DMProjectItem()
{
    destroyPendingIdleInvocations(this);
    // Links die with either end: take them out of the other ends' lists.
    for (const auto &dependency : m_outbound.list())
        if (const auto to = dependency->toItem(); to && to.get() != this)
            to->takeDependency(true, dependency.get());
    for (const auto &dependency : m_inbound.list())
        if (const auto from = dependency->fromItem(); from && from.get() != this)
            from->takeDependency(false, dependency.get());

    // Release the subtree without recursion, so that a very deep tree cannot exhaust the stack.
    std::vector<std::shared_ptr<DMProjectItem>> pending(m_subitems.begin(), m_subitems.end());
    m_subitems.setDelegate(nullptr);
    m_subitems.removeAll();
    while (!pending.empty()) {
        std::shared_ptr<DMProjectItem> item = std::move(pending.back());
        pending.pop_back();
        if (item.use_count() == 1) {
            pending.insert(pending.end(), item->m_subitems.begin(), item->m_subitems.end());
            item->m_subitems.setDelegate(nullptr);
            item->m_subitems.removeAll();
        }
    }
}

bool DMProjectItem::isKindOfClass(const QString &className) const
{
    return className == staticClassName();
}

QColor DMProjectItem::defaultFillColorForKind(std::uint32_t kind)
{
    return defaultColors().value(kind, QColor::fromRgbF(0.6f, 0.6f, 0.6f));
}

void DMProjectItem::setDefaultFillColorForKind(std::uint32_t kind, const QColor &color)
{
    defaultColors().insert(kind, color);
}

void DMProjectItem::setTitle(const QString &text)
{
    const QString title = DMPropertyList::storableString(text);
    if (title == m_title)
        return;
    registerUndo("setTitle", [old = m_title](DMProjectObject &o) { static_cast<DMProjectItem &>(o).setTitle(old); });
    assign(m_title, title, DMProjectKey::title);
    notifyUIObjects(&DMProjectItemUIObject::representedObject_titleChanged);
}

void DMProjectItem::setBeginDate(const DMDate &date)
{
    setBeginDateAndEndDate(date, m_endDate);
}

void DMProjectItem::setEndDate(const DMDate &date)
{
    setBeginDateAndEndDate(m_beginDate, date);
}

void DMProjectItem::setBeginDateAndEndDate(const DMDate &begin, const DMDate &end)
{
    if (begin.isNull() || end.isNull())
        throw std::invalid_argument("setBeginDateAndEndDate: a date is missing");
    if (hasEqualDates() ? begin != end : begin >= end)
        throw std::invalid_argument(hasEqualDates() ? "setBeginDateAndEndDate: a milestone's dates must be equal"
                                                    : "setBeginDateAndEndDate: the begin date is not before the end date");
    if (begin == m_beginDate && end == m_endDate)
        return;
    const DMProject *project = projectPointer();
    const qint64 duration = project ? project->durationBetween(begin, end, m_useWorkingSchedule)
                                    : end.absoluteSecond() - begin.absoluteSecond();
    setDatesAndDuration(begin, end, clampToInt32(duration));
}

void DMProjectItem::setDatesAndDuration(const DMDate &begin, const DMDate &end, qint32 duration)
{
    registerUndo("setBeginDateAndEndDate", [b = m_beginDate, e = m_endDate, d = m_duration](DMProjectObject &o) {
        static_cast<DMProjectItem &>(o).setDatesAndDuration(b, e, d);
    });
    DMProject *project = projectPointer();
    applyDates(begin, end, duration, project);
    if (project)
        DMCriticalPath::scheduleUpdate(*project);
}

void DMProjectItem::applyDates(const DMDate &begin, const DMDate &end, qint32 duration, DMProject *project)
{
    const bool beginChanges = begin != m_beginDate;
    const bool endChanges = end != m_endDate;
    if (beginChanges) {
        willChangeValueForKey(DMProjectKey::beginDate);
        willChangeValueForKey(DMProjectKey::validatedBeginDate);
    }
    if (endChanges) {
        willChangeValueForKey(DMProjectKey::endDate);
        willChangeValueForKey(DMProjectKey::validatedEndDate);
    }
    const DMDate oldBegin = std::exchange(m_beginDate, begin);
    const DMDate oldEnd = std::exchange(m_endDate, end);
    if (endChanges) {
        didChangeValueForKey(DMProjectKey::validatedEndDate);
        didChangeValueForKey(DMProjectKey::endDate);
    }
    if (beginChanges) {
        didChangeValueForKey(DMProjectKey::validatedBeginDate);
        didChangeValueForKey(DMProjectKey::beginDate);
    }
    if (assign(m_duration, duration, DMProjectKey::duration))
        costInputsDidChange();
    itemDatesDidChange();
    notifyUIObjects(&DMProjectItemUIObject::representedObject_timeSpanChanged);
    // The document hears of the change once the dates have settled (a drag sets them often),
    // in one call for all the items changed meanwhile.
    if ((beginChanges || endChanges) && isAttached() && project)
        project->itemDatesDidChange(*this, oldBegin, oldEnd);
}

void DMProjectItem::itemDatesDidChange()
{
}

void DMProjectItem::setDuration(qint32 seconds)
{
    if (seconds == m_duration)
        return;
    registerUndo("setDuration", [old = m_duration](DMProjectObject &o) { static_cast<DMProjectItem &>(o).setDuration(old); });
    assign(m_duration, seconds, DMProjectKey::duration);
    costInputsDidChange();
}

qint32 DMProjectItem::floatDuration() const
{
    const DMProject *project = projectPointer();
    if (!project || !isAttached())
        return 0;
    project->updateCriticalPathIfNeeded();
    const DMProjectItemGraph &graph = project->itemGraph();
    const int index = graph.indexOf(this);
    return index >= 0 && size_t(index) < graph.floats.size() ? graph.floats[size_t(index)] : 0;
}

void DMProjectItem::setFloatDuration(qint32 seconds)
{
    const DMProject *project = projectPointer();
    if (!project || !isAttached())
        return;
    project->updateCriticalPathIfNeeded();
    DMProjectItemGraph &graph = project->itemGraph();
    if (const int index = graph.indexOf(this); index >= 0 && size_t(index) < graph.floats.size())
        graph.floats[size_t(index)] = seconds;
}

void DMProjectItem::setUseWorkingSchedule(bool use)
{
    if (use == m_useWorkingSchedule)
        return;
    registerUndo("setUseWorkingSchedule",
                 [old = m_useWorkingSchedule](DMProjectObject &o) { static_cast<DMProjectItem &>(o).setUseWorkingSchedule(old); });
    assign(m_useWorkingSchedule, use, DMProjectKey::useWorkingSchedule);
    costInputsDidChange(); // a resource paid by the day counts the item's working day
    // The critical path counts the item's float in the new unit.
    if (DMProject *project = projectPointer()) {
        project->itemScheduleDidChange(*this);
        DMCriticalPath::scheduleUpdate(*project);
    }
    // The duration is counted in the new unit; the dates stay. (Undo puts the old one back.)
    if (const DMProject *project = projectPointer(); project && !project->isRestoring() && !hasEqualDates())
        setDuration(clampToInt32(project->durationBetween(m_beginDate, m_endDate, m_useWorkingSchedule)));
}

void DMProjectItem::setProgress(float progress)
{
    if (!std::isfinite(progress))
        progress = 0.0f;
    progress = qBound(0.0f, progress, 1.0f);
    if (progress == m_progress)
        return;
    setRolledUpProgress(progress);
    DMRollup::rollUpProgressFromItem(*this);
}

void DMProjectItem::setRolledUpProgress(float progress)
{
    if (!std::isfinite(progress))
        progress = 0.0f;
    progress = qBound(0.0f, progress, 1.0f);
    if (progress == m_progress)
        return;
    // Undo restores the value alone: the parents restore theirs through their own actions.
    registerUndo("setProgress",
                 [old = m_progress](DMProjectObject &o) { static_cast<DMProjectItem &>(o).setRolledUpProgress(old); });
    assign(m_progress, progress, DMProjectKey::progress);
    notifyUIObjects(&DMProjectItemUIObject::representedObject_progressChanged);
}

namespace {
// Atomic: item trees load on several threads.
std::atomic<quint64> s_costInputsStamp{0};
} // namespace

void DMProjectItem::costInputsDidChange()
{
    s_costInputsStamp.fetch_add(1, std::memory_order_relaxed);
}

float DMProjectItem::cost() const
{
    // Both stamps only ever grow, and every change below the item moves one of them: the trees,
    // the attributes of items and resources and the project's settings move the layout stamp,
    // the rest the cost inputs stamp. The working day, which a resource paid by the day divides
    // by, is compared itself. Outside a project's trees nothing is kept.
    const DMProject *project = isAttached() ? projectPointer() : nullptr;
    const quint64 inputsStamp = s_costInputsStamp.load(std::memory_order_relaxed);
    const int dayLength = project ? project->workingCalendar().workingDayLength() : 0;
    if (project && m_costMemo && m_costMemo->project == project && m_costMemo->layoutStamp == project->layoutStamp()
        && m_costMemo->inputsStamp == inputsStamp && m_costMemo->workingDayLength == dayLength)
        return m_costMemo->cost;
    float cost = 0.0f;
    computeProgressProgressItemsTasksMilestonesProcessesCost(nullptr, nullptr, nullptr, nullptr, nullptr, &cost);
    if (project) {
        if (!m_costMemo)
            m_costMemo = std::make_unique<CostMemo>();
        *m_costMemo = {project, project->layoutStamp(), inputsStamp, dayLength, cost};
    }
    return cost;
}

void DMProjectItem::setLocked(bool locked)
{
    if (locked == m_locked)
        return;
    registerUndo("setLocked", [old = m_locked](DMProjectObject &o) { static_cast<DMProjectItem &>(o).setLocked(old); });
    assign(m_locked, locked, DMProjectKey::locked);
    notifyUIObjects(&DMProjectItemUIObject::representedObject_lockOrAttributesChanged);
}

void DMProjectItem::setFillColor(const QColor &color)
{
    if (color == m_fillColor)
        return;
    registerUndo("setFillColor", [old = m_fillColor](DMProjectObject &o) { static_cast<DMProjectItem &>(o).setFillColor(old); });
    assign(m_fillColor, color, DMProjectKey::fillColor);
    notifyUIObjects(&DMProjectItemUIObject::representedObject_fillColorChanged);
}

void DMProjectItem::setAttribute(const QString &key, const QVariant &value)
{
    if (!assignAttribute(m_attributes, key, value, &DMProjectItem::setAttribute))
        return;
    costInputsDidChange();
    notifyUIObjects(&DMProjectItemUIObject::representedObject_lockOrAttributesChanged);
    // Set to fit its subitems, the item fits them at once (undo puts its dates back itself).
    if (key == kDMProjectItem_ExpandToFitSubitems && value.toBool() && !m_subitems.isEmpty()
        && DMRollup::mayRollUp(projectPointer()))
        enforceLinkedItemsConstrainedDates();
}

void DMProjectItem::setAttributes(const QVariantMap &attributes)
{
    for (const QString &key : attributeKeysToSet(m_attributes, attributes))
        setAttribute(key, attributes.value(key));
}

bool DMProjectItem::partOfCriticalPath() const
{
    const DMProject *project = projectPointer();
    if (!project || !isAttached())
        return false;
    project->updateCriticalPathIfNeeded();
    return m_partOfCriticalPath;
}

bool DMProjectItem::isChildOfItem(const DMProjectItem *item) const
{
    if (!item)
        return false;
    for (const DMProjectItem *parent = m_parentItemRaw; parent; parent = parent->m_parentItemRaw)
        if (parent == item)
            return true;
    return false;
}

int DMProjectItem::chronologicalCompare(const DMProjectItem &item) const
{
    const int byBegin = m_beginDate.compare(item.m_beginDate);
    return byBegin != 0 ? byBegin : m_endDate.compare(item.m_endDate);
}

// ---- the subitems list ----

void DMProjectItem::mutableArrayWillChange(ItemList &list, const ItemList::Change &change)
{
    if (change.kind == ItemList::Change::Insert || change.kind == ItemList::Change::Replace) {
        QSet<const DMProjectItem *> seen;
        for (const auto &item : change.objects) {
            if (!item || item.get() == this || item->m_parentItemRaw || item->isAttached() || seen.contains(item.get()))
                throw std::invalid_argument("subitems: the item is null, the receiver, or already in a list");
            // Only an item with subitems can be an ancestor of the receiver.
            if (!item->m_subitems.isEmpty() && isChildOfItem(item.get()))
                throw std::invalid_argument("subitems: an item cannot become a subitem of its own subitem");
            const DMProject *project = item->projectPointer();
            if (project && projectPointer() && project != projectPointer())
                throw std::invalid_argument("subitems: the item belongs to another project");
            seen.insert(item.get());
        }
    }
    m_orderBefore = DMProjectChildList<DMProjectItem>::orderBefore(list, change);
    willChangeList(DMProjectKey::subitems, DMProjectChildList<DMProjectItem>::observedKind(change),
                   DMProjectChildList<DMProjectItem>::indexesOf(list, change));
}

void DMProjectItem::mutableArrayDidChange(ItemList &list, const ItemList::Change &change)
{
    costInputsDidChange();
    const auto self = std::static_pointer_cast<DMProjectItem>(shared_from_this());
    if (change.kind == ItemList::Change::Remove || change.kind == ItemList::Change::Replace)
        for (const auto &item : change.kind == ItemList::Change::Remove ? change.objects : change.oldObjects)
            item->setParentItemInternal(nullptr);
    if (change.kind == ItemList::Change::Insert || change.kind == ItemList::Change::Replace)
        for (const auto &item : change.objects) {
            item->setParentItemInternal(this);
            if (!item->project() && project())
                item->setProject(project());
        }
    const quint64 id = objectID();
    DMProjectChildList<DMProjectItem>::didChange(
        projectPointer(), isAttached(),
        [id](DMProject &p) -> ItemList * {
            auto item = std::dynamic_pointer_cast<DMProjectItem>(p.indexedObject(id));
            return item ? &item->subitems() : nullptr;
        },
        change, m_orderBefore);
    didChangeList(DMProjectKey::subitems, DMProjectChildList<DMProjectItem>::observedKind(change),
                  DMProjectChildList<DMProjectItem>::indexesOf(list, change));
    // The owner follows its subitems: their mean progress, and their span. New subitems widen
    // it (and its ancestors) as a validated change would; set to fit, it fits them after any change.
    DMProject *project = projectPointer();
    if (project)
        project->setNeedsCriticalPathUpdate();
    if (!DMRollup::mayRollUp(project))
        return;
    if (DMRollup::containsProgressItems(change.objects)
        || (change.kind == ItemList::Change::Replace && DMRollup::containsProgressItems(change.oldObjects)))
        DMRollup::refreshProgressOfItem(*this);
    bool outside = false;
    if (change.kind == ItemList::Change::Insert || change.kind == ItemList::Change::Replace)
        for (const auto &item : change.objects)
            outside = outside || item->m_beginDate < m_beginDate || item->m_endDate > m_endDate;
    // The validated change of the item's own dates widens it (and its ancestors) to enclose the
    // subitems, or fits them exactly when set to; a locked item keeps its dates.
    if (!m_subitems.isEmpty() && (outside || attribute(kDMProjectItem_ExpandToFitSubitems).toBool()))
        enforceLinkedItemsConstrainedDates();
}

void DMProjectItem::setParentItemInternal(DMProjectItem *parent)
{
    m_parentItemRaw = parent;
    m_parentItem = parent ? std::static_pointer_cast<DMProjectItem>(parent->shared_from_this()) : nullptr;
}

// ---- dependencies ----

qsizetype DMProjectItem::takeDependency(bool inbound, const DMProjectDependency *dependency)
{
    DependencyList &list = inbound ? m_inbound : m_outbound;
    const QString &key = inbound ? DMProjectKey::inboundDependencies : DMProjectKey::outboundDependencies;
    for (qsizetype i = 0; i < list.size(); ++i)
        if (list.at(i).get() == dependency) {
            const QList<qsizetype> indexes{i};
            willChangeList(key, DMChange::Removal, indexes);
            list.removeAt(i);
            didChangeList(key, DMChange::Removal, indexes);
            return i;
        }
    return -1;
}

void DMProjectItem::putDependency(bool inbound, const std::shared_ptr<DMProjectDependency> &dependency, qsizetype index)
{
    DependencyList &list = inbound ? m_inbound : m_outbound;
    const QString &key = inbound ? DMProjectKey::inboundDependencies : DMProjectKey::outboundDependencies;
    if (index < 0 || index > list.size())
        index = list.size();
    if (!hasObservers()) { // a project being loaded links thousands of items
        list.insert(index, dependency);
        return;
    }
    const QList<qsizetype> indexes{index};
    willChangeList(key, DMChange::Insertion, indexes);
    list.insert(index, dependency);
    didChangeList(key, DMChange::Insertion, indexes);
}

void DMProjectItem::reorderDependencies(bool inbound, const QList<quint64> &order)
{
    DMProjectRelations::reorder(inbound ? m_inbound : m_outbound, order, [](const auto &link) { return link->objectID(); },
                                *this, inbound ? DMProjectKey::inboundDependencies : DMProjectKey::outboundDependencies);
}

std::shared_ptr<DMProjectDependency> DMProjectItem::outboundDependencyToItem(const DMProjectItem *item) const
{
    for (const auto &dependency : m_outbound)
        if (dependency->toItemPointer() == item)
            return dependency;
    return nullptr;
}

std::shared_ptr<DMProjectDependency> DMProjectItem::inboundDependencyFromItem(const DMProjectItem *item) const
{
    for (const auto &dependency : m_inbound)
        if (dependency->fromItemPointer() == item)
            return dependency;
    return nullptr;
}

bool DMProjectItem::reachesItemThroughDependencies(const DMProjectItem *item) const
{
    if (!item)
        return false;
    std::vector<const DMProjectItem *> stack{this};
    QSet<const DMProjectItem *> visited{this};
    while (!stack.empty()) {
        const DMProjectItem *current = stack.back();
        stack.pop_back();
        for (const auto &dependency : current->m_outbound) {
            const DMProjectItem *next = dependency->toItemPointer();
            if (next == item)
                return true;
            if (next && !visited.contains(next)) {
                visited.insert(next);
                stack.push_back(next);
            }
        }
    }
    return false;
}

std::shared_ptr<DMProjectDependency> DMProjectItem::linkItems(const std::shared_ptr<DMProjectItem> &from,
                                                              const std::shared_ptr<DMProjectItem> &to, quint64 objectID,
                                                              qsizetype outboundIndex, qsizetype inboundIndex)
{
    auto dependency = std::make_shared<DMProjectDependency>();
    if (objectID)
        dependency->setObjectID(objectID);
    dependency->setProject(from->project());
    dependency->setEnds(from, to);
    from->putDependency(false, dependency, outboundIndex);
    to->putDependency(true, dependency, inboundIndex);
    DMProject *project = from->projectPointer();
    if (project && from->isAttached() && to->isAttached()) {
        project->attachSubtree(dependency.get());
        if (from->m_linkOrder >= to->m_linkOrder)
            DMLinkOrder::invalidate(*project);
    }
    return dependency;
}

std::shared_ptr<DMProjectDependency> DMProjectItem::addOutboundDependencyToItem(const std::shared_ptr<DMProjectItem> &target)
{
    if (!target || target.get() == this || outboundDependencyToItem(target.get()))
        return nullptr;
    if (target->projectPointer() != projectPointer() || target->isAttached() != isAttached()
        || DMLinkOrder::linkWouldCloseCycle(*this, *target))
        return nullptr;
    const auto self = std::static_pointer_cast<DMProjectItem>(shared_from_this());
    auto dependency = linkItems(self, target, 0);
    registerUndoOfLinkTo(*target);
    linksDidChange();
    return dependency;
}

std::shared_ptr<DMProjectDependency> DMProjectItem::addInboundDependencyFromItem(const std::shared_ptr<DMProjectItem> &source)
{
    if (!source)
        return nullptr;
    return source->addOutboundDependencyToItem(std::static_pointer_cast<DMProjectItem>(shared_from_this()));
}

void DMProjectItem::removeOutboundDependencyToItem(const DMProjectItem *item)
{
    const std::shared_ptr<DMProjectDependency> dependency = outboundDependencyToItem(item);
    if (!dependency)
        return;
    const std::shared_ptr<DMProjectItem> to = dependency->toItem();
    const qsizetype outboundIndex = takeDependency(false, dependency.get());
    const qsizetype inboundIndex = to ? to->takeDependency(true, dependency.get()) : -1;
    if (to)
        registerInverse([toID = to->objectID(), id = dependency->objectID(), style = dependency->styleRepresentation(),
                         outboundIndex, inboundIndex](DMProjectObject &o) {
            auto &from = static_cast<DMProjectItem &>(o);
            const DMProject *project = from.projectPointer();
            auto target = project ? std::dynamic_pointer_cast<DMProjectItem>(project->indexedObject(toID)) : nullptr;
            if (target && !from.outboundDependencyToItem(target.get()))
                from.restoreOutboundDependency(target, id, style, outboundIndex, inboundIndex);
        });
    if (DMProject *project = projectPointer())
        project->detachSubtree(dependency.get());
    dependency->clearEnds();
    linksDidChange();
}

void DMProjectItem::restoreOutboundDependency(const std::shared_ptr<DMProjectItem> &target, quint64 objectID,
                                              const QVariantMap &style, qsizetype outboundIndex, qsizetype inboundIndex)
{
    const auto self = std::static_pointer_cast<DMProjectItem>(shared_from_this());
    auto dependency = linkItems(self, target, objectID, outboundIndex, inboundIndex);
    {
        // The restored look is part of the same undo step, not a step of its own.
        DMProject *project = projectPointer();
        if (project)
            project->beginLoading();
        dependency->loadStyle(style);
        if (project)
            project->endLoading();
    }
    registerUndoOfLinkTo(*target);
    linksDidChange();
}

void DMProjectItem::registerUndoOfLinkTo(const DMProjectItem &target)
{
    registerInverse([toID = target.objectID()](DMProjectObject &o) {
        auto &from = static_cast<DMProjectItem &>(o);
        if (const DMProject *project = from.projectPointer())
            if (auto to = std::dynamic_pointer_cast<DMProjectItem>(project->indexedObject(toID)))
                from.removeOutboundDependencyToItem(to.get());
    });
}

void DMProjectItem::linksDidChange()
{
    if (DMProject *project = projectPointer()) {
        project->scheduleUpdateItemsArrayWithTag(DMPage::ItemsLinksPage);
        project->setNeedsCriticalPathUpdate();
    }
}

// ---- working time, roll-up ----

DMDate DMProjectItem::endDateWithBeginDateAndDurationWorkSlices(const DMDate &begin, qint64 duration,
                                                                DMMutableIndexSet_64 *workSlices) const
{
    if (const DMProject *project = projectPointer())
        return project->endDateWithBeginDateAndDurationWorkSlices(begin, duration, m_useWorkingSchedule, workSlices);
    return DMWorkingCalendar().endDateWithBeginDateAndDuration(begin, duration, false, workSlices);
}

void DMProjectItem::computeProgressProgressItemsTasksMilestonesProcessesCost(float *progress, int *progressItems, int *tasks,
                                                                             int *milestones, int *processes, float *cost) const
{
    std::vector<const DMProjectItem *> stack{this};
    while (!stack.empty()) {
        const DMProjectItem *item = stack.back();
        stack.pop_back();
        const std::uint32_t kind = item->kind();
        if (kind == kDMProjectItem_Kind_Task) {
            if (progress)
                *progress += item->m_progress;
            if (progressItems)
                ++*progressItems;
            if (tasks)
                ++*tasks;
            if (cost)
                *cost += item->cost();
            continue;
        }
        if (kind == kDMProjectItem_Kind_Milestone) {
            if (milestones)
                ++*milestones;
            continue;
        }
        if (kind == kDMProjectItem_Kind_Process && processes)
            ++*processes;
        // Subitems in order (the stack pops the last pushed first).
        for (qsizetype i = item->m_subitems.size() - 1; i >= 0; --i)
            stack.push_back(item->m_subitems.at(i).get());
    }
}

// ---- canvas objects ----

std::shared_ptr<DMProjectItemUIObject> DMProjectItem::ganttUIObject() const
{
    ganttUIObjectPointer();
    return m_ganttUIObject;
}

DMProjectItemUIObject *DMProjectItem::ganttUIObjectPointer() const
{
    if (!m_ganttUIObjectRequested) {
        if (DMProjectUIObjectFactory *factory = DMProjectUIObjectFactory::registeredFactory()) {
            m_ganttUIObjectRequested = true;
            m_ganttUIObject = factory->newUIObjectForItem(const_cast<DMProjectItem &>(*this), kDMProjectViewMode_Gantt);
        }
    }
    return m_ganttUIObject.get();
}

std::shared_ptr<DMProjectItemUIObject> DMProjectItem::newUIObjectForViewMode(int viewMode)
{
    DMProjectUIObjectFactory *factory = DMProjectUIObjectFactory::registeredFactory();
    return factory ? factory->newUIObjectForItem(*this, viewMode) : nullptr;
}

QList<std::shared_ptr<DMProjectItemUIObject>> DMProjectItem::uiObjects() const
{
    if (m_ganttUIObject)
        return {m_ganttUIObject};
    return {};
}

void DMProjectItem::notifyUIObjects(void (DMProjectItemUIObject::*update)()) const
{
    // Held while told: an update may let the item drop its object.
    if (const std::shared_ptr<DMProjectItemUIObject> gantt = m_ganttUIObject)
        (gantt.get()->*update)();
    if (m_hasOtherUIObjects)
        notifyOtherUIObjects(update);
}

// ---- dictionary representation ----

QVariantMap DMProjectItem::dictionaryRepresentation() const
{
    return fieldsRepresentation();
}

QVariantMap DMProjectItem::fieldsRepresentation() const
{
    QVariantMap d;
    d.insert(QStringLiteral("class"), className());
    d.insert(QStringLiteral("objectID"), DMProjectCoder::idValue(objectID()));
    d.insert(QStringLiteral("title"), m_title);
    d.insert(QStringLiteral("beginDate"), DMProjectCoder::dateValue(m_beginDate));
    d.insert(QStringLiteral("endDate"), DMProjectCoder::dateValue(m_endDate));
    d.insert(QStringLiteral("duration"), qint64(m_duration));
    d.insert(QStringLiteral("useWorkingSchedule"), m_useWorkingSchedule);
    d.insert(QStringLiteral("progress"), double(m_progress));
    d.insert(QStringLiteral("locked"), m_locked);
    d.insert(QStringLiteral("fillColor"), componentsDictionary(m_fillColor));
    if (!m_attributes.isEmpty())
        d.insert(QStringLiteral("attributes"), DMProjectCoder::encodeAttributes(m_attributes));
    if (!m_outbound.isEmpty()) {
        QVariantList links;
        links.reserve(m_outbound.size());
        for (const auto &dependency : m_outbound)
            links.append(dependency->dictionaryRepresentation());
        d.insert(QStringLiteral("outboundDependencies"), links);
    }
    return d;
}

bool DMProjectItem::loadFields(const QVariantMap &d, QString *problem)
{
    QStringList problems;
    m_title = DMPropertyList::storableString(stringForKey(d, QStringLiteral("title")));
    DMDate begin = m_beginDate;
    DMDate end = m_endDate;
    if (!DMProjectCoder::readDate(d, QStringLiteral("beginDate"), &begin))
        problems << QStringLiteral("missing or out-of-range begin date");
    if (!DMProjectCoder::readDate(d, QStringLiteral("endDate"), &end))
        problems << QStringLiteral("missing or out-of-range end date");
    if (hasEqualDates() ? end != begin : end <= begin) {
        if (!problems.isEmpty() || !hasEqualDates())
            problems << QStringLiteral("end date mended");
        end = hasEqualDates() ? begin : begin.dateByAddingSeconds(qMax<qint64>(3600, integerForKey(d, QStringLiteral("duration"))));
    }
    m_beginDate = begin;
    m_endDate = end;
    m_duration = clampToInt32(longLongForKey(d, QStringLiteral("duration")));
    m_useWorkingSchedule = d.contains(QStringLiteral("useWorkingSchedule")) ? boolForKey(d, QStringLiteral("useWorkingSchedule"))
                                                                           : m_useWorkingSchedule;
    const double progress = doubleForKey(d, QStringLiteral("progress"));
    m_progress = std::isfinite(progress) ? float(qBound(0.0, progress, 1.0)) : 0.0f;
    m_locked = boolForKey(d, QStringLiteral("locked"));
    const QColor color = colorWithComponentsDictionary(dictionaryForKey(d, QStringLiteral("fillColor")));
    if (color.isValid())
        m_fillColor = color;
    if (d.contains(QStringLiteral("attributes"))) {
        bool damaged = false;
        m_attributes = DMProjectCoder::decodeAttributes(d.value(QStringLiteral("attributes")), &damaged);
        if (damaged)
            problems << QStringLiteral("damaged attributes dropped");
    }
    if (problem)
        *problem = problems.join(QStringLiteral(", "));
    return true;
}

// ---- validated changes (DMScheduler does the work) ----

int DMProjectItem::validateAndSetBeginDateAndEndDate(const DMDate &begin, const DMDate &end)
{
    return DMScheduler::validateAndSetDates(*this, begin, end, DMScheduler::Set);
}

int DMProjectItem::validateTimeShiftAndSetBeginDateAndEndDate(const DMDate &begin, const DMDate &end)
{
    return DMScheduler::validateAndSetDates(*this, begin, end, DMScheduler::Shift);
}

int DMProjectItem::setValidatedBeginDate(const DMDate &date, DMScheduler::RescheduleMode mode)
{
    return DMScheduler::setValidatedBeginDate(*this, date, mode);
}

int DMProjectItem::setValidatedEndDate(const DMDate &date)
{
    return DMScheduler::setValidatedEndDate(*this, date);
}

int DMProjectItem::enforceLinkedItemsConstrainedDates()
{
    return DMScheduler::validateAndSetDates(*this, m_beginDate, m_endDate, DMScheduler::Enforce);
}
