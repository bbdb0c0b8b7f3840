// DMProjectDocument: the edit commands (delete, copy and paste, attachments, sorting, search).
// Every edit is recorded with the undo manager, from which the document learns that it was
// edited; none marks the document itself, so that undoing the edit leaves it as it was.
#include "DMProjectDocument.h"
#include "DMProjectItemTree.h"

#include "DMAttachedDocuments.h"
#include "DMBeep.h"
#include "DMDocumentController.h"
#include "DMLocalizedString.h"
#include "DMModalUI.h"
#include "DMObjectView.h"
#include "DMPreferenceKeys.h"
#include "DMProject.h"
#include "DMProjectCoder.h"
#include "DMProjectDependency.h"
#include "DMProjectEvent.h"
#include "DMProjectEventContainer.h"
#include "DMProjectItem.h"
#include "DMProjectItemUIObject.h"
#include "DMProjectKeys.h"
#include "DMProjectPackage.h"
#include "DMProjectResource.h"
#include "DMProjectTask.h"
#include "DMProjectTimelineDataSource.h"
#include "DMProjectUndoStep.h"
#include "DMProjectView.h"
#include "DMUIProjectDependency.h"
#include "DMUIProjectItem.h"
#include "DMPropertyList.h"
#include "DMRegularFile.h"
#include "DMUndoManager.h"
#include "DMUndoRegistrationPause.h"
#include "DMUserDefaults.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHash>
#include <QMimeData>
#include <QSet>

#include <functional>
#include <vector>

namespace {

const QString kPayloadItems = QStringLiteral("items");
const QString kPayloadProjectToken = QStringLiteral("projectToken");
// On the clipboard: the token under which this process noted the copied items' files.
const QString kPayloadAttachedDocuments = QStringLiteral("attachedDocuments");
// Inside this process only (a drop between documents, a paste once its token is resolved): the
// files by table key. Never taken from the clipboard, which any program can fill.
const QString kPayloadAttachedDocumentFiles = QStringLiteral("attachedDocumentFiles");
const QString kSubitems = QStringLiteral("subitems");
const QString kOutboundDependencies = QStringLiteral("outboundDependencies");

// Identifies the project inside this process, so a paste knows whether resource IDs apply.
QString projectToken(const DMProject *project)
{
    return QStringLiteral("%1-%2").arg(QCoreApplication::applicationPid()).arg(quintptr(project), 0, 16);
}

// Every item of the tree below the lists, parents before children.
void forEachItem(const QList<std::shared_ptr<DMProjectItem>> &roots, const std::function<void(DMProjectItem &)> &fn)
{
    DMProjectItem_forEachItem(roots, fn);
}

// Links to items outside the copied set cannot be pasted: they are left out of the payload.
QVariantMap keepingInternalLinks(QVariantMap dictionary, const QSet<quint64> &copied)
{
    QVariantList kept;
    for (const QVariant &link : dictionary.value(kOutboundDependencies).toList())
        if (copied.contains(link.toMap().value(QStringLiteral("toItem")).toULongLong()))
            kept.append(link);
    if (kept.isEmpty())
        dictionary.remove(kOutboundDependencies);
    else
        dictionary.insert(kOutboundDependencies, kept);
    QVariantList children;
    for (const QVariant &child : dictionary.value(kSubitems).toList())
        children.append(keepingInternalLinks(child.toMap(), copied));
    if (!children.isEmpty())
        dictionary.insert(kSubitems, children);
    return dictionary;
}

std::function<bool(const std::shared_ptr<DMProjectItem> &, const std::shared_ptr<DMProjectItem> &)>
itemComparator(const QList<DMSortDescriptor> &descriptors)
{
    // Each item's cost is worked out once for the whole sort, at its first comparison: a parent's
    // adds up every task below it, and a sort compares each item many times.
    auto costs = std::make_shared<QHash<const DMProjectItem *, float>>();
    const auto costOf = [costs](const DMProjectItem &item) {
        auto found = costs->constFind(&item);
        if (found == costs->cend())
            found = costs->insert(&item, item.cost());
        return *found;
    };
    return [descriptors, costOf](const std::shared_ptr<DMProjectItem> &a, const std::shared_ptr<DMProjectItem> &b) {
        for (const DMSortDescriptor &descriptor : descriptors) {
            int order = 0;
            if (descriptor.key == QLatin1String("title"))
                order = QString::localeAwareCompare(a->title(), b->title());
            else if (descriptor.key == QLatin1String("beginDate"))
                order = a->beginDate().compare(b->beginDate());
            else if (descriptor.key == QLatin1String("endDate"))
                order = a->endDate().compare(b->endDate());
            else if (descriptor.key == QLatin1String("duration"))
                order = a->subitemsTimeEffort() < b->subitemsTimeEffort() ? -1 : a->subitemsTimeEffort() > b->subitemsTimeEffort();
            else if (descriptor.key == QLatin1String("progress"))
                order = a->progress() < b->progress() ? -1 : a->progress() > b->progress();
            else if (descriptor.key == QLatin1String("cost")) {
                const float costA = costOf(*a);
                const float costB = costOf(*b);
                order = costA < costB ? -1 : costA > costB;
            }
            if (order != 0)
                return descriptor.ascending ? order < 0 : order > 0;
        }
        return false;
    };
}

} // namespace

QList<std::shared_ptr<DMProjectObject>> DMProjectDocument::selectedObjects() const
{
    QList<std::shared_ptr<DMProjectObject>> objects;
    if (!m_outlets.projectView)
        return objects;
    for (const auto &object : m_outlets.projectView->selectedObjects()) {
        if (auto *uiObject = dynamic_cast<DMProjectItemUIObject *>(object.get())) {
            if (auto item = uiObject->representedItem())
                objects.append(item);
        } else if (auto *line = dynamic_cast<DMUIProjectDependency *>(object.get())) {
            if (auto dependency = line->representedObject())
                objects.append(dependency);
        }
    }
    return objects;
}

void DMProjectDocument::deleteSelectedItem()
{
    DMProjectView *canvas = m_outlets.projectView;
    if (!canvas || canvas->currentDragOperation() != 0 || !m_project)
        return;
    if (m_project->displayAttributes().viewMode == kDMProjectViewMode_Resources) {
        // The resource view: events leave the events row, bars leave their row's resource.
        bool changed = false;
        // The undo step tells the document that it was edited.
        DMProject_applyAsOneUndoStep(m_project, DMLocalizedString("Delete"), [&] {
            for (const auto &object : canvas->selectedObjects()) {
                const auto *bar = dynamic_cast<const DMUIProjectItem *>(object.get());
                const std::shared_ptr<DMProjectItem> item = bar ? bar->representedObject() : nullptr;
                if (auto event = std::dynamic_pointer_cast<DMProjectEvent>(item)) {
                    changed = m_project->eventContainer()->events().removeOne(event) || changed;
                } else if (auto task = std::dynamic_pointer_cast<DMProjectTask>(item); task && bar->resourceViewResource()) {
                    task->removeResource(
                        std::static_pointer_cast<DMProjectResource>(bar->resourceViewResource()->shared_from_this()));
                    changed = true;
                }
            }
        });
        canvas->deselectAll();
        if (changed)
            reloadViews();
        return;
    }
    const QList<std::shared_ptr<DMProjectObject>> objects = selectedObjects();
    // The deleted objects' bars leave the selection (and the inspector) before they go.
    canvas->deselectAll();
    if (!objects.isEmpty())
        deleteItems(objects);
}

void DMProjectDocument::deleteItems(const QList<std::shared_ptr<DMProjectObject>> &objects)
{
    if (!m_project || objects.isEmpty())
        return;
    QSet<const DMProjectItem *> deleted;
    for (const auto &object : objects)
        if (auto *item = dynamic_cast<DMProjectItem *>(object.get()))
            deleted.insert(item);

    // The undo step tells the document that it was edited.
    DMProject_applyAsOneUndoStep(m_project, DMLocalizedString("Delete"), [&] {
        // Links first, while both ends are still in the project: undoing runs backwards, so the
        // items are back before their links are restored.
        for (const auto &object : objects)
            if (auto dependency = std::dynamic_pointer_cast<DMProjectDependency>(object))
                if (auto from = dependency->fromItem())
                    from->removeOutboundDependencyToItem(dependency->toItemPointer());
        for (const auto &object : objects) {
            auto item = std::dynamic_pointer_cast<DMProjectItem>(object);
            if (!item || !item->isAttached())
                continue;
            bool insideDeleted = false;
            for (auto *ancestor = item->parentItemPointer(); ancestor && !insideDeleted; ancestor = ancestor->parentItemPointer())
                insideDeleted = deleted.contains(ancestor);
            if (insideDeleted)
                continue;
            if (auto parent = item->parentItem())
                parent->subitems().removeOne(item);
            else if (auto event = std::dynamic_pointer_cast<DMProjectEvent>(item))
                m_project->eventContainer()->events().removeOne(event);
            else
                m_project->tasks().removeOne(item);
        }
    });
    updateItemsArrayWithTag(DMPage::AllItemsArrays);
    reloadViews();
}

QVariantMap DMProjectDocument::dictionaryForObjects(const QList<std::shared_ptr<DMProjectItem>> &items) const
{
    // Only the topmost items: a subitem of another given item travels inside it.
    QSet<const DMProjectItem *> given;
    for (const auto &item : items)
        if (item)
            given.insert(item.get());
    QList<std::shared_ptr<DMProjectItem>> topmost;
    for (const auto &item : items) {
        if (!item)
            continue;
        bool inside = false;
        for (auto *ancestor = item->parentItemPointer(); ancestor && !inside; ancestor = ancestor->parentItemPointer())
            inside = given.contains(ancestor);
        if (!inside && !topmost.contains(item))
            topmost.append(item);
    }
    QSet<quint64> copied;
    QVariantMap files; // the attached files, by table key
    forEachItem(topmost, [this, &copied, &files](DMProjectItem &item) {
        copied.insert(item.objectID());
        for (const QVariant &key : item.attribute(kDMProjectItem_AttachedDocuments).toList())
            if (const QString file = attachedDocumentPathForTableKey(key.toString(), nullptr); !file.isEmpty())
                files.insert(key.toString(), file);
    });
    QVariantList dictionaries;
    for (const auto &item : topmost)
        dictionaries.append(keepingInternalLinks(DMProjectCoder::itemTreeRepresentation(*item), copied));
    QVariantMap payload;
    payload.insert(kPayloadItems, dictionaries);
    payload.insert(kPayloadProjectToken, projectToken(m_project.get()));
    if (!files.isEmpty())
        payload.insert(kPayloadAttachedDocumentFiles, files);
    return payload;
}

QList<std::shared_ptr<DMProjectItem>> DMProjectDocument::insertObjectFromDictionnariesInItemNextTo(
    const QVariantMap &payload, const std::shared_ptr<DMProjectItem> &parent, const std::shared_ptr<DMProjectItem> &sibling)
{
    QList<std::shared_ptr<DMProjectItem>> inserted;
    if (!m_project)
        return inserted;
    const bool sameProject = payload.value(kPayloadProjectToken).toString() == projectToken(m_project.get());

    // Phase one: every item, with a new identity, and the old ID of each. Each parent takes its
    // subitems in one insertion once their own trees are whole, and before it joins its own
    // parent: its roll-up and fit then run once, over its own tree alone.
    QHash<quint64, std::shared_ptr<DMProjectItem>> byOldID;
    QList<QPair<std::shared_ptr<DMProjectItem>, QVariantMap>> built;
    QHash<const DMProjectItem *, QList<std::shared_ptr<DMProjectItem>>> childrenOf;
    struct Pending
    {
        QVariantMap dictionary;
        std::shared_ptr<DMProjectItem> parent;
        int depth;
    };
    std::vector<Pending> stack;
    const QVariantList roots = payload.value(kPayloadItems).toList();
    for (auto it = roots.crbegin(); it != roots.crend(); ++it)
        stack.push_back({it->toMap(), nullptr, 0});
    while (!stack.empty()) {
        Pending pending = std::move(stack.back());
        stack.pop_back();
        if (pending.depth > DMProjectCoder::kMaximumItemDepth)
            continue;
        std::shared_ptr<DMProjectItem> item =
            DMProjectCoder::newItemForClassName(pending.dictionary.value(QStringLiteral("class")).toString());
        if (!item)
            continue;
        QVariantMap fields = pending.dictionary;
        fields.remove(QStringLiteral("objectID"));
        fields.remove(QStringLiteral("resources"));
        fields.remove(kOutboundDependencies);
        fields.remove(kSubitems);
        item->setProject(m_project);
        // A pasted entry that needed mending is pasted mended.
        item->loadFields(fields, nullptr);
        byOldID.insert(pending.dictionary.value(QStringLiteral("objectID")).toULongLong(), item);
        built.append({item, pending.dictionary});
        if (pending.parent)
            childrenOf[pending.parent.get()].append(item);
        else
            inserted.append(item);
        const QVariantList children = pending.dictionary.value(kSubitems).toList();
        for (auto child = children.crbegin(); child != children.crend(); ++child)
            stack.push_back({child->toMap(), item, pending.depth + 1});
    }
    // Built parents before children: backwards, every subtree is whole before its parent takes it.
    for (auto it = built.crbegin(); it != built.crend(); ++it)
        if (const auto children = childrenOf.constFind(it->first.get()); children != childrenOf.cend())
            it->first->subitems().insertObjects(0, children.value());
    if (inserted.isEmpty())
        return inserted;

    QStringList leftOut;
    // The undo step tells the document that it was edited.
    DMProject_applyAsOneUndoStep(m_project, DMLocalizedString("Paste"), [&] {
        leftOut = adoptAttachedDocuments(inserted, payload.value(kPayloadAttachedDocumentFiles).toMap(), sameProject);
        qsizetype index = -1;
        if (sibling && !std::dynamic_pointer_cast<DMProjectEvent>(sibling)) {
            const auto &list = parent ? parent->subitems() : m_project->tasks();
            index = list.indexOf(sibling);
            if (index >= 0)
                ++index;
        }
        // Each list takes its items in one insertion, which rolls up and fits its owner once.
        QList<std::shared_ptr<DMProjectEvent>> events;
        QList<std::shared_ptr<DMProjectItem>> items;
        for (const auto &item : inserted) {
            if (auto event = std::dynamic_pointer_cast<DMProjectEvent>(item))
                events.append(event);
            else
                items.append(item);
        }
        auto &list = parent ? parent->subitems() : m_project->tasks();
        list.insertObjects(index < 0 || index > list.size() ? list.size() : index, items);
        auto &eventList = m_project->eventContainer()->events();
        eventList.insertObjects(eventList.size(), events);
        // Phase two: links among the pasted items, and resources when pasting into the same project.
        for (const auto &[item, dictionary] : built) {
            for (const QVariant &value : dictionary.value(kOutboundDependencies).toList()) {
                const QVariantMap link = value.toMap();
                const auto target = byOldID.value(link.value(QStringLiteral("toItem")).toULongLong());
                if (!target)
                    continue;
                if (auto dependency = item->addOutboundDependencyToItem(target))
                    dependency->loadStyle(link);
            }
            if (!sameProject)
                continue;
            if (auto task = std::dynamic_pointer_cast<DMProjectTask>(item))
                for (const QVariant &id : dictionary.value(QStringLiteral("resources")).toList())
                    if (auto resource = m_project->objectWithIDAndClass<DMProjectResource>(id.toULongLong()))
                        task->addResource(resource);
        }
    });
    reloadViews();
    if (!leftOut.isEmpty()) {
        DMModalUI::Alert alert;
        alert.messageText = DMLocalizedString("Some attached documents could not be pasted.");
        alert.informativeText =
            DMLocalizedString("These documents are no longer available, so the pasted items go without them: %1.")
                .arg(leftOut.join(QStringLiteral(", ")));
        DMModalUI::instance().runAlert(alert, windowForSheet());
    }
    return inserted;
}

void DMProjectDocument::copyItemsToClipboard(const QList<std::shared_ptr<DMProjectItem>> &items) const
{
    if (items.isEmpty())
        return;
    QVariantMap payload = dictionaryForObjects(items);
    // The files stay in this process; the clipboard carries the token they are noted under.
    if (const QVariantMap files = payload.take(kPayloadAttachedDocumentFiles).toMap(); !files.isEmpty())
        payload.insert(kPayloadAttachedDocuments, DMAttachedDocuments::noteCopiedDocuments(files));
    const QByteArray data = DMPropertyList::dataWithPropertyList(payload, DMPropertyList::Binary);
    if (data.isEmpty())
        return;
    auto *mime = new QMimeData;
    mime->setData(kPasteboardType, data);
    QStringList titles;
    for (const auto &item : items)
        titles.append(item->title());
    mime->setText(titles.join(QLatin1Char('\n')));
    QGuiApplication::clipboard()->setMimeData(mime);
}

QList<std::shared_ptr<DMProjectItem>> DMProjectDocument::pasteFromClipboard(const std::shared_ptr<DMProjectItem> &parent,
                                                                            const std::shared_ptr<DMProjectItem> &sibling)
{
    const QMimeData *mime = QGuiApplication::clipboard()->mimeData();
    if (!mime || !mime->hasFormat(kPasteboardType)) {
        DMBeep();
        return {};
    }
    const QVariant payload = DMPropertyList::propertyListWithData(mime->data(kPasteboardType));
    if (payload.metaType() != QMetaType::fromType<QVariantMap>()) {
        DMBeep();
        return {};
    }
    // The files are those this process noted under the payload's token, whatever else it says.
    QVariantMap pasted = payload.toMap();
    pasted.insert(kPayloadAttachedDocumentFiles,
                  DMAttachedDocuments::copiedDocuments(pasted.take(kPayloadAttachedDocuments).toString()));
    return insertObjectFromDictionnariesInItemNextTo(pasted, parent, sibling);
}

namespace {
QList<std::shared_ptr<DMProjectItem>> itemsOf(const QList<std::shared_ptr<DMProjectObject>> &objects)
{
    QList<std::shared_ptr<DMProjectItem>> items;
    for (const auto &object : objects)
        if (auto item = std::dynamic_pointer_cast<DMProjectItem>(object))
            items.append(item);
    return items;
}
} // namespace

bool DMProjectDocument::canCut() const
{
    return isCanvasPageShown() && !selectedObjects().isEmpty();
}

bool DMProjectDocument::canCopy() const
{
    return isCanvasPageShown() && !itemsOf(selectedObjects()).isEmpty();
}

bool DMProjectDocument::canPaste() const
{
    const QMimeData *mime = QGuiApplication::clipboard()->mimeData();
    return isCanvasPageShown() && mime && mime->hasFormat(kPasteboardType);
}

void DMProjectDocument::cut()
{
    if (!canCut())
        return;
    const QList<std::shared_ptr<DMProjectObject>> objects = selectedObjects();
    copyItemsToClipboard(itemsOf(objects));
    deleteItems(objects);
}

void DMProjectDocument::copy()
{
    if (canCopy())
        copyItemsToClipboard(itemsOf(selectedObjects()));
}

void DMProjectDocument::paste()
{
    if (!isCanvasPageShown())
        return;
    const QList<std::shared_ptr<DMProjectItem>> selection = itemsOf(selectedObjects());
    const std::shared_ptr<DMProjectItem> sibling = selection.isEmpty() ? nullptr : selection.last();
    pasteFromClipboard(sibling ? sibling->parentItem() : nullptr, sibling);
}

void DMProjectDocument::selectAll()
{
    if (m_outlets.projectView && isCanvasPageShown())
        m_outlets.projectView->selectObjectsInRectExtendSelectionEditSelection(
            QRectF(-1e9, -1e9, 2e9, 2e9), false, false);
}

// ---- Attached documents ----

namespace {

// Stores the attached-documents table after the reference count of one entry went up (raised)
// or down by one, and registers the opposite change of that count for undo. The project's own
// registration would put back the whole table as it was before, taking back what a save did
// meanwhile (a file copied into the package) or dropping an entry that a step still to be
// redone refers to.
void storeAttachedDocumentsTable(DMProject &project, const QVariantMap &table, const QString &key, bool raised);

// Raises or lowers the reference count of the entry under the key by one, as one undo action.
void changeReferenceCount(DMProject &project, const QString &key, bool raise)
{
    QVariantMap table = project.attribute(kDMProject_AttachedDocumentsTable).toMap();
    if (raise)
        DMAttachedDocuments::retainDocument(&table, key);
    else
        DMAttachedDocuments::releaseDocument(&table, key);
    storeAttachedDocumentsTable(project, table, key, raise);
}

void storeAttachedDocumentsTable(DMProject &project, const QVariantMap &table, const QString &key, bool raised)
{
    {
        const DMUndoRegistrationPause pause(project.undoManagerForRegistration());
        project.setAttribute(kDMProject_AttachedDocumentsTable, table);
    }
    DMUndoManager *undo = project.undoManagerForRegistration();
    if (!undo)
        return;
    undo->registerUndo([weak = project.weak_from_this(), key, raised] {
        if (const std::shared_ptr<DMProject> owner = weak.lock())
            changeReferenceCount(*owner, key, !raised);
    });
}

} // namespace

QString DMProjectDocument::itemsViewDocumentsFolderPath() const
{
    return m_fileURL.isEmpty() ? QString() : DMProjectPackage::documentsFolderPath(m_fileURL);
}

QString DMProjectDocument::addAttachedDocumentTableKey(const QString &path)
{
    if (!m_project)
        return QString();
    // Only what a save can copy is attached: a FIFO or a device is refused now, not at the save.
    QString refusal;
    if (!path.isEmpty() && !DMRegularFile::isAttachable(path, &refusal)) {
        DMModalUI::instance().presentError(DMLocalizedString("The document could not be attached."), refusal,
                                           windowForSheet(), DMLocalizedString("Attach Documents"));
        return QString();
    }
    QVariantMap table = m_project->attribute(kDMProject_AttachedDocumentsTable).toMap();
    const QString documents = m_fileURL.isEmpty() ? QString() : DMProjectPackage::documentsFolderPath(m_fileURL);
    bool isNew = false;
    const QString key = DMAttachedDocuments::addDocument(&table, path, documents, &isNew);
    if (key.isEmpty())
        return key;
    storeAttachedDocumentsTable(*m_project, table, key, true);
    DMUserDefaults &defaults = DMUserDefaults::standardUserDefaults();
    if (isNew && !defaults.boolForKey(kDMDoNotShowDocumentCopyAlert)) {
        defaults.setBoolForKey(true, kDMDoNotShowDocumentCopyAlert);
        DMModalUI::Alert alert;
        alert.title = DMLocalizedString("Attach Document");
        alert.messageText = DMLocalizedString("A copy of the document will be placed in the project.");
        alert.informativeText =
            DMLocalizedString("Attached documents are copied into the project when it is saved; later changes to the original are not seen.");
        alert.style = DMModalUI::Informational;
        DMModalUI::instance().runAlert(alert, windowForSheet());
    }
    return key;
}

QStringList DMProjectDocument::adoptAttachedDocuments(const QList<std::shared_ptr<DMProjectItem>> &items,
                                                     const QVariantMap &copiedFiles, bool sameProject)
{
    QStringList leftOut;
    const QVariantMap table = m_project->attribute(kDMProject_AttachedDocumentsTable).toMap();
    forEachItem(items, [&](DMProjectItem &item) {
        const QVariantList keys = item.attribute(kDMProjectItem_AttachedDocuments).toList();
        if (keys.isEmpty())
            return;
        QVariantList adopted;
        QSet<QString> seen;
        for (const QVariant &value : keys) {
            const QString key = value.toString();
            if (seen.contains(key))
                continue; // listed twice, referred to once
            seen.insert(key);
            const QString file = copiedFiles.value(key).toString();
            QString taken;
            if (sameProject && table.contains(key)) {
                changeReferenceCount(*m_project, key, true);
                taken = key;
            } else if (!file.isEmpty() && DMRegularFile::isAttachable(file, nullptr)) {
                // Checked first, so that what cannot be attached is told of once, with the rest
                // of what is left out.
                taken = addAttachedDocumentTableKey(file);
            }
            if (taken.isEmpty())
                leftOut.append(file.isEmpty() ? key : QFileInfo(file).fileName());
            else if (adopted.contains(taken))
                removeAttachedDocumentWithTableKey(taken); // two copied files stored as one
            else
                adopted.append(taken);
        }
        // The item is not in the project yet, so this change records no undo step of its own.
        item.setAttribute(kDMProjectItem_AttachedDocuments, adopted.isEmpty() ? QVariant() : QVariant(adopted));
    });
    return leftOut;
}

void DMProjectDocument::removeAttachedDocumentWithTableKey(const QString &tableKey)
{
    if (!m_project)
        return;
    if (m_project->attribute(kDMProject_AttachedDocumentsTable).toMap().contains(tableKey))
        changeReferenceCount(*m_project, tableKey, false);
}

QString DMProjectDocument::attachedDocumentPathForTableKey(const QString &tableKey, QString *error) const
{
    const QVariantMap table = m_project ? m_project->attribute(kDMProject_AttachedDocumentsTable).toMap() : QVariantMap();
    const QString documents = m_fileURL.isEmpty() ? QString() : DMProjectPackage::documentsFolderPath(m_fileURL);
    return DMAttachedDocuments::resolvedPath(table.value(tableKey), documents, error);
}

void DMProjectDocument::removeAttachedDocumentWithTableKeyFromTasks(const QString &tableKey,
                                                                   const QList<std::shared_ptr<DMProjectItem>> &items)
{
    forEachItem(items, [this, &tableKey](DMProjectItem &item) {
        QVariantList keys = item.attribute(kDMProjectItem_AttachedDocuments).toList();
        if (keys.removeAll(tableKey) == 0)
            return;
        item.setAttribute(kDMProjectItem_AttachedDocuments, keys.isEmpty() ? QVariant() : QVariant(keys));
        removeAttachedDocumentWithTableKey(tableKey);
    });
}

// ---- Sorting ----

void DMProjectDocument::sortProjectWithDescriptors(const QList<DMSortDescriptor> &descriptors)
{
    if (!m_project || descriptors.isEmpty())
        return;
    const auto less = itemComparator(descriptors);
    m_project->tasks().sort(less);
    forEachItem(m_project->tasks().list(), [&less](DMProjectItem &item) {
        if (item.subitems().size() > 1)
            item.subitems().sort(less);
    });
    m_project->eventContainer()->events().sort(
        [&less](const std::shared_ptr<DMProjectEvent> &a, const std::shared_ptr<DMProjectEvent> &b) { return less(a, b); });
    reloadViews();
}

void DMProjectDocument::sortResourcesWithDescriptors(const QList<DMSortDescriptor> &descriptors)
{
    if (!m_project || descriptors.isEmpty())
        return;
    const auto less = [descriptors](const std::shared_ptr<DMProjectResource> &a, const std::shared_ptr<DMProjectResource> &b) {
        for (const DMSortDescriptor &descriptor : descriptors) {
            int order = 0;
            if (descriptor.key == QLatin1String("name") || descriptor.key == QLatin1String("title"))
                order = QString::localeAwareCompare(a->name(), b->name());
            else if (descriptor.key == QLatin1String("cost"))
                order = a->cost() < b->cost() ? -1 : a->cost() > b->cost();
            else if (descriptor.key == QLatin1String("progress"))
                order = a->progress() < b->progress() ? -1 : a->progress() > b->progress();
            if (order != 0)
                return descriptor.ascending ? order < 0 : order > 0;
        }
        return false;
    };
    {
        // Sorting the resource tree is a view arrangement: it does not mark the document edited.
        const DMUndoRegistrationPause pause(m_undoManager.get());
        std::vector<DMProjectResource::ResourceList *> lists{&m_project->resources()};
        while (!lists.empty()) {
            DMProjectResource::ResourceList *list = lists.back();
            lists.pop_back();
            list->sort(less);
            for (const auto &resource : *list)
                if (resource->isGroup())
                    lists.push_back(&resource->subitems());
        }
    }
    reloadViews();
}

// ---- Time span and search ----

QVariantMap DMProjectDocument::effectiveProjectTimeSpan() const
{
    return m_project ? DMProjectTimelineDataSource_effectiveProjectTimeSpan(*m_project).dictionary() : QVariantMap();
}
