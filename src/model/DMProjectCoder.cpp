#include "DMProjectCoder.h"

#include "DMColorAdditions.h"
#include "DMCriticalPath.h"
#include "DMDictionaryAccess.h"
#include "DMObjectSerialization.h"
#include "DMParallel.h"
#include "DMProject.h"
#include "DMProjectDependency.h"
#include "DMProjectEvent.h"
#include "DMProjectEventContainer.h"
#include "DMProjectItemGroup.h"
#include "DMProjectMilestone.h"
#include "DMProjectProcess.h"
#include "DMProjectResource.h"
#include "DMProjectTask.h"
#include "DMProjectTodo.h"
#include "DMProjectTodoContainer.h"
#include "DMPropertyList.h"
#include "DMPropertyListNode.h"

#include <QDebug>
#include <QHash>
#include <QSet>
#include <QUuid>

#include <algorithm>
#include <cmath>
#include <deque>
#include <limits>
#include <optional>
#include <vector>

namespace {

const QString kClass = QStringLiteral("class");
const QString kObjectID = QStringLiteral("objectID");
const QString kSubitems = QStringLiteral("subitems");
const QString kToItem = QStringLiteral("toItem");
const QString kFromItem = QStringLiteral("fromItem");
const QString kDateMarker = QStringLiteral("DMDate");
const QString kSharedFillColor = QStringLiteral("itemFillColor");
const QString kIdentifier = QStringLiteral("identifier");

// Absolute seconds of 0001-01-01 00:00:00 and 9999-12-31 23:59:59.
constexpr qint64 kFirstSecond = qint64(1721426) * 86400;
constexpr qint64 kLastSecond = qint64(5373484) * 86400 + 86399;

// DMDate values inside settings and attributes travel as {"DMDate": absolute second}, since the
// object serialization knows only property-list types.
QVariant datesToMarkers(const QVariant &value, int depth = 0)
{
    if (depth > DMObjectSerialization::maxDepth)
        return {};
    if (value.metaType() == QMetaType::fromType<DMDate>()) {
        const DMDate date = value.value<DMDate>();
        return date.isNull() ? QVariant() : QVariant(QVariantMap{{kDateMarker, date.absoluteSecond()}});
    }
    if (value.typeId() == QMetaType::QVariantMap) {
        QVariantMap map = value.toMap();
        for (auto it = map.begin(); it != map.end(); ++it)
            it.value() = datesToMarkers(it.value(), depth + 1);
        return map;
    }
    if (value.typeId() == QMetaType::QVariantList) {
        QVariantList list = value.toList();
        for (QVariant &entry : list)
            entry = datesToMarkers(entry, depth + 1);
        return list;
    }
    return value;
}

QVariant markersToDates(const QVariant &value, int depth = 0)
{
    if (depth > DMObjectSerialization::maxDepth)
        return {};
    if (value.typeId() == QMetaType::QVariantMap) {
        QVariantMap map = value.toMap();
        if (map.size() == 1 && map.contains(kDateMarker)) {
            DMDate date;
            return DMProjectCoder::readDate(map, kDateMarker, &date) ? QVariant::fromValue(date) : QVariant();
        }
        for (auto it = map.begin(); it != map.end(); ++it)
            it.value() = markersToDates(it.value(), depth + 1);
        return map;
    }
    if (value.typeId() == QMetaType::QVariantList) {
        QVariantList list = value.toList();
        for (QVariant &entry : list)
            entry = markersToDates(entry, depth + 1);
        return list;
    }
    return value;
}

} // namespace

class DMProjectCoder::Loader
{
public:
    explicit Loader(QStringList *problems) : m_problems(problems) {}

    // Problems are counted by kind, so that a file with a million damaged entries gives one
    // line per kind (with the first example's detail), not a million lines.
    void problem(const QString &kind, const QString &detail = QString(), qsizetype count = 1)
    {
        if (count <= 0)
            return;
        Problem &problem = m_problemCounts[kind];
        problem.count += count;
        if (problem.count == count) {
            m_problemKinds.append(kind);
            problem.detail = detail;
        }
    }
    void reportProblems()
    {
        for (const QString &kind : std::as_const(m_problemKinds)) {
            const Problem &problem = m_problemCounts.value(kind);
            QString text = kind;
            if (!problem.detail.isEmpty())
                text += QStringLiteral(" (%1%2)").arg(problem.count > 1 ? QStringLiteral("first: ") : QString(), problem.detail);
            if (problem.count > 1)
                text += QStringLiteral(", %1 times").arg(problem.count);
            qWarning("Project loading: %s", qPrintable(text));
            if (m_problems)
                m_problems->append(text);
        }
    }

    // Without tasks, the items come from "tasks" in d; with that parsed array, each item's
    // dictionary is converted on its own as it is loaded, the array's parts on several threads.
    std::shared_ptr<DMProject> load(const QVariantMap &d, DMPropertyListNode *tasks = nullptr);

private:
    // A link as the file gives it, read where its item is read (on the part's thread).
    struct PendingLink
    {
        quint64 toID = 0; // 0: no readable target
        quint64 fileID = 0; // 0: none given
        QVariantMap look; // the whole dictionary of a link that gives its look; empty otherwise
    };
    struct PendingLinks
    {
        DMProjectItem *from;
        std::vector<PendingLink> links;
    };
    static std::vector<PendingLink> pendingLinks(const QVariantList &values);
    struct Identity
    {
        DMProjectObject *object;
        std::optional<quint64> fileID;
    };

    void noteIdentity(DMProjectObject *object, const QVariantMap &d)
    {
        quint64 id = 0;
        if (DMProjectCoder::readObjectID(d, &id)) {
            m_identities.push_back({object, id});
            m_maximumFileID = qMax(m_maximumFileID, id);
        } else {
            if (d.contains(kObjectID))
                problem(QStringLiteral("an object ID that is not a positive integer was replaced"));
            m_identities.push_back({object, std::nullopt});
        }
    }
    quint64 uniqueID(std::optional<quint64> fileID, DMProject &project)
    {
        if (fileID && !m_usedIDs.contains(*fileID)) {
            m_usedIDs.insert(*fileID);
            return *fileID;
        }
        if (fileID)
            problem(QStringLiteral("a duplicate object ID was replaced"), QString::number(*fileID));
        quint64 id = project.nextObjectID();
        while (m_usedIDs.contains(id))
            id = project.nextObjectID();
        m_usedIDs.insert(id);
        return id;
    }

    template <typename Value>
    QList<std::shared_ptr<DMProjectItem>> loadItemTrees(const QList<Value> &list, bool events);
    QList<std::shared_ptr<DMProjectItem>> loadItemTreesInParts(DMPropertyListNode &array);
    // Takes what the loader of the next part of the items found, as if read by this one. The
    // objects it noted stay in it (copying them costs more than the reading did).
    void append(std::unique_ptr<Loader> part);
    // Calls f with the loader of each part of the items, then with this one: in file order.
    template <typename F>
    void forEachLoader(F f)
    {
        for (const std::unique_ptr<Loader> &part : m_parts)
            f(*part);
        f(*this);
    }
    QList<std::shared_ptr<DMProjectResource>> loadResources(const QVariantList &list);
    void resolveLinks(DMProject &project);
    void resolveAssignments(DMProject &project);
    void resolveAssignments(DMProject &project, DMProjectTask &task);

    struct Problem
    {
        qsizetype count = 0;
        QString detail;
    };
    QStringList *m_problems;
    QStringList m_problemKinds;
    QHash<QString, Problem> m_problemCounts;
    // Grown in steps of their own: a vector's doubling is a large allocation, which makes the
    // allocator gather every small block the loader freed so far.
    std::deque<Identity> m_identities;
    std::deque<PendingLinks> m_links;
    qsizetype m_linkCount = 0;
    std::vector<DMProjectTask *> m_tasks;
    // Items made and then dropped, released on the thread that loads the project (an item's
    // destruction reaches shared state that only that thread may touch).
    std::vector<std::shared_ptr<DMProjectItem>> m_dropped;
    std::vector<std::unique_ptr<Loader>> m_parts; // of the items, each read on a thread of its own
    QSet<quint64> m_usedIDs;
    quint64 m_maximumFileID = 0;
    QColor m_sharedFill; // the fill of the items (not events) that give none; invalid: the default
};

namespace {

// Builds trees from nested values depth first, in document order, with a stack of its own (a
// hostile file may nest deeply). `make` turns a value at a depth (1 for the roots) into a node,
// or null to drop it with everything below it, and sets *children to the values below it. Each
// node joins its parent's subitems, or the returned roots.
template <typename Node, typename Value, typename Make>
QList<std::shared_ptr<Node>> buildTrees(const QList<Value> &list, Make make)
{
    struct Pending
    {
        Value value;
        Node *parent;
        int depth;
    };
    std::vector<Pending> stack;
    const auto push = [&stack](const QList<Value> &values, Node *parent, int depth) {
        for (qsizetype i = values.size() - 1; i >= 0; --i)
            stack.push_back({values.at(i), parent, depth});
    };
    QList<std::shared_ptr<Node>> roots;
    roots.reserve(list.size());
    push(list, nullptr, 1);
    while (!stack.empty()) {
        const Pending pending = std::move(stack.back());
        stack.pop_back();
        QList<Value> children;
        const std::shared_ptr<Node> node = make(pending.value, pending.depth, &children);
        if (!node)
            continue;
        if (pending.parent)
            pending.parent->subitems().append(node);
        else
            roots.append(node);
        push(children, node.get(), pending.depth + 1);
    }
    return roots;
}

// An item's dictionary without its subitems, and the subitems: false for a value that is not a
// dictionary; *badSubitems is set when "subitems" holds something other than a list.
bool readItem(const QVariant &value, QVariantMap *d, QVariantList *subitems, bool *badSubitems)
{
    if (value.typeId() != QMetaType::QVariantMap)
        return false;
    *d = value.toMap();
    const QVariant children = d->value(kSubitems);
    *badSubitems = children.isValid() && children.typeId() != QMetaType::QVariantList;
    // QVariant would turn a dictionary into the list of its values; what is not a list goes.
    *subitems = *badSubitems ? QVariantList() : children.toList();
    return true;
}

// Takes the item's entries out of the parsed list, freeing them as the objects are made.
bool readItem(DMPropertyListNode node, QVariantMap *d, QList<DMPropertyListNode> *subitems, bool *badSubitems)
{
    if (!node.isDictionary())
        return false;
    DMPropertyListNode children;
    *d = node.takeDictionaryWithoutKey("subitems", &children);
    *badSubitems = !children.isNull() && !children.isArray();
    *subitems = children.arrayItems();
    return true;
}

} // namespace

template <typename Value>
QList<std::shared_ptr<DMProjectItem>> DMProjectCoder::Loader::loadItemTrees(const QList<Value> &list, bool events)
{
    return buildTrees<DMProjectItem>(list, [&](const Value &value, int depth, QList<Value> *children)
                                               -> std::shared_ptr<DMProjectItem> {
        QVariantMap d;
        QList<Value> subitems;
        bool badSubitems = false;
        if (!readItem(value, &d, &subitems, &badSubitems)) {
            problem(QStringLiteral("an item that is not a dictionary was dropped"));
            return nullptr;
        }
        const QString className = d.value(kClass).toString();
        std::shared_ptr<DMProjectItem> item = DMProjectCoder::newItemForClassName(className);
        if (!item || (events && !item->isKindOfClass(DMProjectEvent::staticClassName()))) {
            problem(QStringLiteral("an item of unknown class was dropped with its subitems"), className);
            if (item)
                m_dropped.push_back(std::move(item));
            return nullptr;
        }
        if (depth > DMProjectCoder::kMaximumItemDepth) {
            problem(QStringLiteral("items nested deeper than %1 levels were dropped").arg(DMProjectCoder::kMaximumItemDepth));
            m_dropped.push_back(std::move(item));
            return nullptr;
        }
        QString trouble;
        item->loadFields(d, &trouble);
        if (!events && m_sharedFill.isValid() && !d.contains(QStringLiteral("fillColor")))
            item->m_fillColor = m_sharedFill;
        if (!trouble.isEmpty())
            problem(QStringLiteral("an item was mended: ") + trouble, item->title());
        noteIdentity(item.get(), d);
        const QVariantList links = arrayForKey(d, QStringLiteral("outboundDependencies"));
        if (!links.isEmpty()) {
            m_links.push_back({item.get(), pendingLinks(links)});
            m_linkCount += links.size();
        }
        if (auto *task = dynamic_cast<DMProjectTask *>(item.get()); task && !task->m_pendingResourceIDs.isEmpty())
            m_tasks.push_back(task);
        if (events)
            return item;
        if (badSubitems)
            problem(QStringLiteral("subitems that are not a list were dropped"));
        *children = std::move(subitems);
        return item;
    });
}

QList<std::shared_ptr<DMProjectItem>> DMProjectCoder::Loader::loadItemTreesInParts(DMPropertyListNode &array)
{
    QList<QList<DMPropertyListNode>> parts = array.arrayParts();
    if (parts.size() <= 1)
        return loadItemTrees(parts.value(0), false);
    // Each part's items are independent trees in a parsed tree of their own: a loader per part
    // reads them on a thread of its own; their findings are then taken in the parts' order,
    // which is the file's.
    std::vector<std::unique_ptr<Loader>> loaders;
    std::vector<QList<std::shared_ptr<DMProjectItem>>> roots(size_t(parts.size()));
    for (qsizetype i = 0; i < parts.size(); ++i) {
        loaders.push_back(std::make_unique<Loader>(nullptr));
        loaders.back()->m_sharedFill = m_sharedFill;
    }
    DMParallel::run(int(parts.size()), [&](int i) { roots[size_t(i)] = loaders[size_t(i)]->loadItemTrees(parts.at(i), false); });
    QList<std::shared_ptr<DMProjectItem>> items;
    for (size_t i = 0; i < roots.size(); ++i) {
        items.append(roots[i]);
        append(std::move(loaders[i]));
    }
    return items;
}

void DMProjectCoder::Loader::append(std::unique_ptr<Loader> part)
{
    // The items are the first objects read: nothing of this loader's own comes before them.
    Q_ASSERT(m_identities.empty() && m_links.empty() && m_tasks.empty());
    for (const QString &kind : std::as_const(part->m_problemKinds)) {
        const Problem &found = part->m_problemCounts[kind];
        problem(kind, found.detail, found.count);
    }
    m_linkCount += part->m_linkCount;
    m_maximumFileID = qMax(m_maximumFileID, part->m_maximumFileID);
    m_parts.push_back(std::move(part));
}

QList<std::shared_ptr<DMProjectResource>> DMProjectCoder::Loader::loadResources(const QVariantList &list)
{
    constexpr int kMaximumDepth = 64;
    return buildTrees<DMProjectResource>(list, [&](const QVariant &value, int depth, QVariantList *members)
                                                   -> std::shared_ptr<DMProjectResource> {
        const QVariantMap d = value.toMap();
        auto resource = std::make_shared<DMProjectResource>();
        QString trouble;
        if (value.typeId() != QMetaType::QVariantMap || !resource->loadFields(d, &trouble)) {
            problem(QStringLiteral("a resource that is not a resource dictionary was dropped"));
            return nullptr;
        }
        if (!trouble.isEmpty())
            problem(QStringLiteral("a resource was mended: ") + trouble, resource->name());
        if (depth > kMaximumDepth) {
            problem(QStringLiteral("resource groups nested deeper than %1 levels were dropped").arg(kMaximumDepth));
            return nullptr;
        }
        noteIdentity(resource.get(), d);
        *members = arrayForKey(d, kSubitems);
        if (!members->isEmpty() && !resource->isGroup()) {
            problem(QStringLiteral("the members of a resource that is not a group were dropped"));
            members->clear();
        }
        return resource;
    });
}

std::vector<DMProjectCoder::Loader::PendingLink> DMProjectCoder::Loader::pendingLinks(const QVariantList &values)
{
    std::vector<PendingLink> links;
    links.reserve(size_t(values.size()));
    for (const QVariant &value : values) {
        const QVariantMap d = value.toMap();
        PendingLink link;
        idFromValue(d.value(kToItem), &link.toID);
        readObjectID(d, &link.fileID);
        // Files leave a new link's look out; a link that gives none keeps it.
        const bool plain = std::all_of(d.keyBegin(), d.keyEnd(), [](const QString &key) {
            return key == kObjectID || key == kToItem || key == kClass || key == kFromItem;
        });
        if (!plain)
            link.look = d;
        links.push_back(std::move(link));
    }
    return links;
}

void DMProjectCoder::Loader::resolveLinks(DMProject &project)
{
    struct Candidate
    {
        DMProjectItem *from;
        DMProjectItem *to;
        PendingLink *link;
        bool dropped = false;
    };
    std::vector<Candidate> candidates;
    // The items with links, in file order, numbered through their scratch index; the links of
    // source s are the candidates [firstOf[s], firstOf[s + 1]).
    const quint64 stamp = DMProjectItem::nextScratchStamp();
    std::vector<DMProjectItem *> sources;
    std::vector<int> firstOf;
    std::vector<std::pair<DMProjectItem *, int>> targets; // of one source, to find repeats
    candidates.reserve(size_t(m_linkCount));
    const auto collect = [&](PendingLinks &pending) {
        const int first = int(candidates.size());
        targets.clear();
        for (PendingLink &link : pending.links) {
            const auto object = link.toID ? project.indexedObject(link.toID) : nullptr;
            auto *to = dynamic_cast<DMProjectItem *>(object.get());
            if (!to || !to->isAttached()) {
                problem(QStringLiteral("a link to a missing item was dropped"));
                continue;
            }
            if (to == pending.from) {
                problem(QStringLiteral("a link from an item to itself or a repeated link was dropped"));
                continue;
            }
            targets.emplace_back(to, int(candidates.size()));
            candidates.push_back({pending.from, to, &link});
        }
        // Of links repeated to one target, the first in the file stays.
        std::sort(targets.begin(), targets.end());
        for (size_t i = 1; i < targets.size(); ++i)
            if (targets[i].first == targets[i - 1].first) {
                candidates[size_t(targets[i].second)].dropped = true;
                problem(QStringLiteral("a link from an item to itself or a repeated link was dropped"));
            }
        if (int(candidates.size()) > first) {
            pending.from->m_scheduleStamp = stamp;
            pending.from->m_scheduleIndex = int(sources.size());
            sources.push_back(pending.from);
            firstOf.push_back(first);
        }
    };
    forEachLoader([&](Loader &loader) {
        for (PendingLinks &pending : loader.m_links)
            collect(pending);
    });
    firstOf.push_back(int(candidates.size()));
    const auto sourceIndex = [stamp](const DMProjectItem *item) {
        return item->m_scheduleStamp == stamp ? item->m_scheduleIndex : -1;
    };

    // Drop the links that close a cycle: the back edges of an iterative depth-first search. It
    // starts from the items in file order, so that the same file always loses the same links:
    // the one that closes a cycle last in that order. Only items with links of their own can
    // lie on a cycle.
    enum : char { White, Grey, Black };
    std::vector<char> colour(sources.size(), White);
    std::vector<std::pair<int, int>> stack; // source, next candidate
    for (size_t start = 0; start < sources.size(); ++start) {
        if (colour[start] != White)
            continue;
        colour[start] = Grey;
        stack.assign(1, {int(start), firstOf[start]});
        while (!stack.empty()) {
            auto &[node, next] = stack.back();
            if (next >= firstOf[size_t(node) + 1]) {
                colour[size_t(node)] = Black;
                stack.pop_back();
                continue;
            }
            Candidate &candidate = candidates[size_t(next++)];
            if (candidate.dropped)
                continue;
            const int target = sourceIndex(candidate.to);
            if (target < 0)
                continue;
            if (colour[size_t(target)] == Grey) {
                candidate.dropped = true;
                problem(QStringLiteral("a link closing a cycle was dropped"));
            } else if (colour[size_t(target)] == White) {
                colour[size_t(target)] = Grey;
                stack.push_back({target, firstOf[size_t(target)]});
            }
        }
    }

    for (const Candidate &candidate : candidates) {
        if (candidate.dropped)
            continue;
        const quint64 fileID = candidate.link->fileID;
        const quint64 id = uniqueID(fileID ? std::optional<quint64>(fileID) : std::nullopt, project);
        auto from = std::static_pointer_cast<DMProjectItem>(candidate.from->shared_from_this());
        auto to = std::static_pointer_cast<DMProjectItem>(candidate.to->shared_from_this());
        auto dependency = DMProjectItem::linkItems(from, to, id);
        if (!candidate.link->look.isEmpty())
            dependency->loadStyle(candidate.link->look);
    }
}

void DMProjectCoder::Loader::resolveAssignments(DMProject &project)
{
    forEachLoader([&](Loader &loader) {
        for (DMProjectTask *task : loader.m_tasks)
            resolveAssignments(project, *task);
    });
}

void DMProjectCoder::Loader::resolveAssignments(DMProject &project, DMProjectTask &task)
{
    for (const quint64 id : std::as_const(task.m_pendingResourceIDs)) {
        auto resource = project.objectWithIDAndClass<DMProjectResource>(id);
        if (!resource || resource->isGroup()) {
            problem(QStringLiteral("an assignment to a missing resource was dropped"));
            continue;
        }
        if (!task.isAssignedToResource(resource.get()))
            task.assign(resource, task.m_assignments.size(), resource->m_tasks.size());
    }
    task.m_pendingResourceIDs.clear();
}

std::shared_ptr<DMProject> DMProjectCoder::Loader::load(const QVariantMap &d, DMPropertyListNode *tasks)
{
    std::shared_ptr<DMProject> project = DMProject::create();
    project->beginLoading();
    if (d.contains(kClass) && d.value(kClass).toString() != QLatin1String("DMProject"))
        problem(QStringLiteral("the dictionary is not a project's"));

    project->m_title = DMPropertyList::storableString(stringForKey(d, QStringLiteral("title")));
    // A file without an identifier (older ones) keeps the one the project was made with.
    if (d.contains(kIdentifier)) {
        const QUuid identifier = QUuid::fromString(stringForKey(d, kIdentifier));
        if (identifier.isNull())
            problem(QStringLiteral("an unreadable project identifier was replaced"));
        else
            project->m_identifier = identifier.toString(QUuid::WithoutBraces);
    }
    DMDate date;
    if (DMProjectCoder::readDate(d, QStringLiteral("beginDate"), &date))
        project->m_beginDate = date;
    else if (d.contains(QStringLiteral("beginDate")))
        problem(QStringLiteral("the project's begin date is out of range"));
    if (DMProjectCoder::readDate(d, QStringLiteral("endDate"), &date))
        project->m_endDate = date;
    else if (d.contains(QStringLiteral("endDate")))
        problem(QStringLiteral("the project's end date is out of range"));
    const QVariant settings = d.value(QStringLiteral("attributes"));
    project->m_attributes = DMProjectCoder::decodeSettings(settings);
    if (settings.isValid() && settings.typeId() == QMetaType::QVariantMap
        && project->m_attributes.size() < settings.toMap().size())
        problem(QStringLiteral("%1 damaged settings were dropped").arg(settings.toMap().size() - project->m_attributes.size()));
    project->rebuildCalendar();
    if (d.contains(kSharedFillColor)) {
        m_sharedFill = colorWithComponentsDictionary(dictionaryForKey(d, kSharedFillColor));
        if (!m_sharedFill.isValid())
            problem(QStringLiteral("a damaged shared item colour was dropped"));
    }

    // Phase 1: every object, detached, with the IDs of the file noted.
    const QVariantMap events = dictionaryForKey(d, QStringLiteral("eventContainer"));
    const QVariantMap todos = dictionaryForKey(d, QStringLiteral("todoContainer"));
    const auto items = tasks ? loadItemTreesInParts(*tasks) : loadItemTrees(arrayForKey(d, QStringLiteral("tasks")), false);
    const auto resources = loadResources(arrayForKey(d, QStringLiteral("resources")));
    const auto eventItems = loadItemTrees(arrayForKey(events, QStringLiteral("events")), true);
    QList<std::shared_ptr<DMProjectTodo>> todoItems;
    for (const QVariant &value : arrayForKey(todos, QStringLiteral("todos"))) {
        auto todo = std::make_shared<DMProjectTodo>();
        QString trouble;
        if (value.typeId() != QMetaType::QVariantMap || !todo->loadDictionaryRepresentationProject(value.toMap(), nullptr, &trouble)) {
            problem(QStringLiteral("a to-do that is not a to-do dictionary was dropped"));
            continue;
        }
        if (!trouble.isEmpty())
            problem(QStringLiteral("a to-do was mended: ") + trouble);
        todoItems.append(todo);
        noteIdentity(todo.get(), value.toMap());
    }
    project->detachSubtree(project->m_eventContainer.get());
    project->detachSubtree(project->m_todoContainer.get());
    noteIdentity(project->m_eventContainer.get(), events);
    noteIdentity(project->m_todoContainer.get(), todos);

    // Unique IDs: the file's where it gives one once, new ones (above all of the file's) else.
    quint64 lastObjectID = 0;
    idFromValue(d.value(QStringLiteral("lastObjectID")), &lastObjectID);
    project->m_lastObjectID = qMax<quint64>(quint64(1) << 32, lastObjectID);
    project->noteObjectID(m_maximumFileID);
    // Every object and link takes an ID and joins the project's index: both are sized once
    // rather than grown step by step.
    qsizetype objects = m_linkCount;
    forEachLoader([&](Loader &loader) { objects += qsizetype(loader.m_identities.size()); });
    m_usedIDs.reserve(objects);
    project->m_index.reserve(project->m_index.size() + objects);
    forEachLoader([&](Loader &loader) {
        for (const Identity &identity : loader.m_identities)
            if (identity.fileID && !m_usedIDs.contains(*identity.fileID)) {
                identity.object->setObjectID(*identity.fileID);
                m_usedIDs.insert(*identity.fileID);
            } else {
                identity.object->setObjectID(0);
            }
    });
    forEachLoader([&](Loader &loader) {
        for (const Identity &identity : loader.m_identities)
            if (identity.object->objectID() == 0)
                identity.object->setObjectID(uniqueID(identity.fileID ? identity.fileID : std::nullopt, *project));
    });
    project->attachSubtree(project->m_eventContainer.get());
    project->attachSubtree(project->m_todoContainer.get());
    project->m_todoContainer->m_sortingMode = qBound(0, integerForKey(todos, QStringLiteral("sortingMode")), 1);

    project->m_tasks.insertObjects(0, items);
    project->m_resources.insertObjects(0, resources);
    project->m_eventContainer->events().insertObjects(0, QList<std::shared_ptr<DMProjectEvent>>(
                                                             [&] {
                                                                 QList<std::shared_ptr<DMProjectEvent>> list;
                                                                 for (const auto &item : eventItems)
                                                                     list.append(std::static_pointer_cast<DMProjectEvent>(item));
                                                                 return list;
                                                             }()));
    project->m_todoContainer->todos().insertObjects(0, todoItems);

    // Phase 2: references by object ID.
    resolveLinks(*project);
    resolveAssignments(*project);
    project->m_todoContainer->rearrangeObjects();
    problem(QStringLiteral("a duration that did not match its item's dates was recomputed"), QString(),
            project->recomputeDurations());
    project->endLoading();
    reportProblems();
    DMCriticalPath::update(*project);
    return project;
}

QVariant DMProjectCoder::dateValue(const DMDate &date)
{
    return date.isNull() ? QVariant() : QVariant(date.absoluteSecond());
}

bool DMProjectCoder::readDate(const QVariantMap &dictionary, const QString &key, DMDate *date)
{
    const QVariant value = dictionary.value(key);
    qint64 seconds = 0;
    if (isIntegerValue(value)) {
        if (value.typeId() == QMetaType::ULongLong && value.toULongLong() > quint64(kLastSecond))
            return false;
        seconds = value.toLongLong();
    } else if (value.typeId() == QMetaType::Double) {
        const double real = value.toDouble();
        if (!std::isfinite(real) || real < double(kFirstSecond) || real > double(kLastSecond))
            return false;
        seconds = qint64(std::floor(real));
    } else {
        return false;
    }
    if (seconds < kFirstSecond || seconds > kLastSecond)
        return false;
    *date = DMDate::dateWithAbsoluteSecond(seconds);
    return true;
}

bool DMProjectCoder::readObjectID(const QVariantMap &dictionary, quint64 *objectID)
{
    return idFromValue(dictionary.value(kObjectID), objectID);
}

QVariant DMProjectCoder::idValue(quint64 objectID)
{
    return objectID <= quint64(std::numeric_limits<qint64>::max()) ? QVariant(qint64(objectID)) : QVariant(objectID);
}

bool DMProjectCoder::idFromValue(const QVariant &value, quint64 *objectID)
{
    if (!isIntegerValue(value))
        return false;
    if (value.typeId() != QMetaType::ULongLong && value.typeId() != QMetaType::UInt && value.toLongLong() <= 0)
        return false;
    const quint64 id = value.toULongLong();
    if (id == 0)
        return false;
    *objectID = id;
    return true;
}

QVariant DMProjectCoder::encodeAttributes(const QVariantMap &attributes)
{
    return DMObjectSerialization::encode(datesToMarkers(attributes));
}

QVariantMap DMProjectCoder::decodeAttributes(const QVariant &encoded, bool *damaged)
{
    if (!encoded.isValid())
        return {};
    const QVariant decoded = DMObjectSerialization::decode(encoded);
    if (decoded.typeId() != QMetaType::QVariantMap) {
        if (damaged)
            *damaged = true;
        else
            qWarning("Project loading: damaged attributes were dropped");
        return {};
    }
    return markersToDates(DMPropertyList::storableValue(decoded)).toMap();
}

QVariantMap DMProjectCoder::encodeSettings(const QVariantMap &settings)
{
    return DMObjectSerialization::encodeDictionary(datesToMarkers(settings).toMap());
}

QVariantMap DMProjectCoder::decodeSettings(const QVariant &encoded)
{
    if (encoded.typeId() != QMetaType::QVariantMap)
        return {};
    return markersToDates(DMPropertyList::storableValue(DMObjectSerialization::decodeDictionary(encoded.toMap()))).toMap();
}

std::shared_ptr<DMProjectItem> DMProjectCoder::newItemForClassName(const QString &className)
{
    if (className == DMProjectTask::staticClassName())
        return std::make_shared<DMProjectTask>();
    if (className == DMProjectMilestone::staticClassName())
        return std::make_shared<DMProjectMilestone>();
    if (className == DMProjectProcess::staticClassName())
        return std::make_shared<DMProjectProcess>();
    if (className == DMProjectItemGroup::staticClassName())
        return std::make_shared<DMProjectItemGroup>();
    if (className == DMProjectEvent::staticClassName())
        return std::make_shared<DMProjectEvent>();
    if (className == DMProjectItem::staticClassName())
        return std::make_shared<DMProjectItem>();
    return nullptr;
}

namespace {

// A new item of the class, as the loader makes it before reading its fields.
const DMProjectItem *prototypeOfClass(const QString &className)
{
    static QHash<QString, std::shared_ptr<DMProjectItem>> prototypes;
    auto it = prototypes.find(className);
    if (it == prototypes.end())
        it = prototypes.insert(className, DMProjectCoder::newItemForClassName(className));
    return it.value().get();
}

// Leaves out of an item's dictionary the values that a new item of its class has, which the
// loader keeps when the key is absent; its links lose their owner's ID (the item that holds
// them) and their default look. The fill colour's default is a preference, so it stays unless
// it is the project's shared one (sharedFill, when valid).
void leaveOutDefaultValues(QVariantMap &d, const DMProjectItem &item, const QColor &sharedFill)
{
    const DMProjectItem *prototype = prototypeOfClass(item.className());
    if (!prototype)
        return;
    if (sharedFill.isValid() && item.fillColor() == sharedFill)
        d.remove(QStringLiteral("fillColor"));
    if (item.progress() == prototype->progress())
        d.remove(QStringLiteral("progress"));
    if (item.locked() == prototype->locked())
        d.remove(QStringLiteral("locked"));
    if (item.useWorkingSchedule() == prototype->useWorkingSchedule())
        d.remove(QStringLiteral("useWorkingSchedule"));
    auto links = d.find(QStringLiteral("outboundDependencies"));
    if (links == d.end())
        return;
    static const QVariantMap defaultStyle = DMProjectDependency().styleRepresentation();
    QVariantList list = links.value().toList();
    for (QVariant &value : list) {
        QVariantMap link = value.toMap();
        link.remove(QStringLiteral("fromItem"));
        link.remove(kClass);
        for (auto style = defaultStyle.cbegin(); style != defaultStyle.cend(); ++style)
            if (link.value(style.key()) == style.value())
                link.remove(style.key());
        value = link;
    }
    links.value() = list;
}

// The most frequent fill colour of the items, written once for the project; invalid when there
// are no items.
QColor mostFrequentFillColor(const DMProject &project)
{
    QHash<quint64, qsizetype> counts;
    std::vector<const DMProjectItem *> stack;
    for (const auto &item : project.tasks())
        stack.push_back(item.get());
    QColor best;
    qsizetype bestCount = 0;
    while (!stack.empty()) {
        const DMProjectItem *item = stack.back();
        stack.pop_back();
        const QColor color = item->fillColor();
        if (color.isValid()) {
            const qsizetype count = ++counts[quint64(color.toRgb().rgba64())];
            if (count > bestCount) {
                bestCount = count;
                best = color;
            }
        }
        for (const auto &child : item->subitems())
            stack.push_back(child.get());
    }
    return best;
}

} // namespace

QVariantMap DMProjectCoder::itemTreeRepresentation(const DMProjectItem &root)
{
    return itemTreeRepresentation(root, QColor());
}

QVariantMap DMProjectCoder::itemTreeRepresentation(const DMProjectItem &root, const QColor &sharedFill)
{
    struct Frame
    {
        const DMProjectItem *item;
        QVariantMap dictionary;
        QVariantList children;
        qsizetype next = 0;
    };
    std::vector<Frame> stack;
    const auto representation = [&sharedFill](const DMProjectItem &item) {
        QVariantMap d = item.dictionaryRepresentation();
        leaveOutDefaultValues(d, item, sharedFill);
        return d;
    };
    stack.push_back({&root, representation(root), {}, 0});
    QVariantMap result;
    while (!stack.empty()) {
        Frame &top = stack.back();
        if (top.next < top.item->subitems().size()) {
            const DMProjectItem *child = top.item->subitems().at(top.next++).get();
            stack.push_back({child, representation(*child), {}, 0});
            continue;
        }
        Frame done = std::move(top);
        stack.pop_back();
        if (!done.children.isEmpty())
            done.dictionary.insert(kSubitems, done.children);
        if (stack.empty())
            result = std::move(done.dictionary);
        else
            stack.back().children.append(done.dictionary);
    }
    return result;
}

QVariantMap DMProjectCoder::projectRepresentation(const DMProject &project)
{
    QVariantMap d;
    d.insert(kClass, QStringLiteral("DMProject"));
    d.insert(QStringLiteral("formatVersion"), qint64(kFormatVersion));
    d.insert(QStringLiteral("title"), project.title());
    d.insert(kIdentifier, project.identifier());
    if (!project.beginDate().isNull())
        d.insert(QStringLiteral("beginDate"), dateValue(project.beginDate()));
    if (!project.endDate().isNull())
        d.insert(QStringLiteral("endDate"), dateValue(project.endDate()));
    d.insert(QStringLiteral("lastObjectID"), idValue(project.lastObjectID()));
    d.insert(QStringLiteral("attributes"), encodeSettings(project.attributes()));
    const QColor sharedFill = mostFrequentFillColor(project);
    if (sharedFill.isValid())
        d.insert(kSharedFillColor, componentsDictionary(sharedFill));
    QVariantList tasks;
    tasks.reserve(project.tasks().size());
    for (const auto &item : project.tasks())
        tasks.append(itemTreeRepresentation(*item, sharedFill));
    d.insert(QStringLiteral("tasks"), tasks);
    QVariantList resources;
    for (const auto &resource : project.resources())
        resources.append(resource->dictionaryRepresentation());
    d.insert(QStringLiteral("resources"), resources);
    d.insert(QStringLiteral("eventContainer"), project.eventContainer()->dictionaryRepresentation());
    d.insert(QStringLiteral("todoContainer"), project.todoContainer()->dictionaryRepresentation());
    return d;
}

std::shared_ptr<DMProject> DMProjectCoder::loadProject(const QVariantMap &dictionary, QStringList *problems)
{
    return Loader(problems).load(dictionary);
}

std::shared_ptr<DMProject> DMProjectCoder::loadProject(const DMPropertyListNode &root, QStringList *problems)
{
    // The items, the bulk of a project, are read from the parsed list one at a time; the rest
    // is small and converted at once.
    DMPropertyListNode tasks;
    QVariantMap dictionary = root.dictionaryWithoutKey("tasks", &tasks);
    if (!tasks.isNull() && !tasks.isArray())
        dictionary.insert(QStringLiteral("tasks"), tasks.value());
    std::shared_ptr<DMProject> project = Loader(problems).load(dictionary, tasks.isArray() ? &tasks : nullptr);
    tasks.releaseParts();
    return project;
}
