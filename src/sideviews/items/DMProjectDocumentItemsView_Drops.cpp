// DMProjectDocumentItemsView: drops on the collection view. vCards make resources on the
// resources page; files are attached to the project on the documents page.
#include "DMProjectDocumentItemsView.h"

#include "DMCollectionView.h"
#include "DMItemsViewDocument.h"
#include "DMLocalizedString.h"
#include "DMProject.h"
#include "DMProjectDocumentHooks.h"
#include "DMProjectKeys.h"
#include "DMProjectResource.h"
#include "DMProjectResourceEditorController.h"
#include "DMReadGuard.h"
#include "DMRegularFile.h"
#include "DMUndoManager.h"
#include "DMVCard.h"
#include "DMVCardReader.h"

#include <QMimeData>
#include <QUrl>

namespace {

QStringList localFiles(const QMimeData *data)
{
    QStringList paths;
    if (data)
        for (const QUrl &url : data->urls())
            if (url.isLocalFile())
                paths.append(url.toLocalFile());
    return paths;
}

// The first vCard of the drop: given as data, or as a vCard file (read as DMRegularFile reads a
// file the user picked).
QByteArray vCardData(const QMimeData *data)
{
    for (const QString &type : DMVCardReader::mimeTypes())
        if (data->hasFormat(type) && !data->data(type).isEmpty())
            return data->data(type);
    for (const QString &path : localFiles(data)) {
        if (!DMVCardReader::hasVCardExtension(path))
            continue;
        QString error;
        if (const std::optional<QByteArray> read =
                DMRegularFile::read(path, DMVCardReader::kMaximumSize, DMRegularFile::FollowLinks, &error))
            return *read;
        qWarning("A dropped vCard was not read: %s", qPrintable(error));
    }
    return {};
}

} // namespace

Qt::DropAction DMProjectDocumentItemsView::dmCollectionViewDraggingEntered(DMCollectionView *view, const DMDraggingInfo &info)
{
    if (view != m_collectionView || !info.pasteboard || !m_document.project())
        return Qt::IgnoreAction;
    const int tag = pageTag();
    if (tag == DMPage::ItemsResourcesPage && DMProjectResourceEditorController::mimeDataOffersVCard(info.pasteboard))
        return Qt::CopyAction;
    if (tag == DMPage::DocumentsPage && !localFiles(info.pasteboard).isEmpty())
        return Qt::CopyAction;
    return Qt::IgnoreAction;
}

Qt::DropAction DMProjectDocumentItemsView::dmCollectionViewDraggingUpdated(DMCollectionView *view, const DMDraggingInfo &info)
{
    return dmCollectionViewDraggingEntered(view, info);
}

bool DMProjectDocumentItemsView::dmCollectionViewPrepareForDragOperation(DMCollectionView *view, const DMDraggingInfo &info)
{
    return dmCollectionViewDraggingEntered(view, info) != Qt::IgnoreAction;
}

bool DMProjectDocumentItemsView::dmCollectionViewPerformDragOperation(DMCollectionView *view, const DMDraggingInfo &info)
{
    if (dmCollectionViewDraggingEntered(view, info) == Qt::IgnoreAction)
        return false;
    if (pageTag() == DMPage::ItemsResourcesPage) {
        // A card that cannot be read refuses the drop, with the reason in the log. Only the
        // reading is guarded: the resource then joins the project as one undo step.
        std::shared_ptr<DMProjectResource> resource;
        DMReadGuard::run([&] { return (resource = resourceWithVCardData(vCardData(info.pasteboard))) != nullptr; },
                         nullptr);
        if (!resource)
            return false;
        DMUndoManager *undo = m_document.undoManager();
        if (undo)
            undo->beginUndoGrouping();
        appendResource(resource);
        if (undo) {
            undo->setActionName(DMLocalizedString("New Resource"));
            undo->endUndoGrouping();
        }
        updateItemsArrayWithTag(DMPage::ItemsResourcesPage);
        updateItemsViewContentsArray();
        selectObject({resource, nullptr});
        return true;
    }
    if (!attachFilesToProject(localFiles(info.pasteboard)))
        return false;
    updateItemsArrayWithTag(DMPage::DocumentsPage);
    updateItemsViewContentsArray();
    return true;
}

std::shared_ptr<DMProjectResource> DMProjectDocumentItemsView::resourceWithVCardData(const QByteArray &data) const
{
    QList<DMVCard> cards;
    QString error;
    if (!m_document.project() || data.isEmpty() || !DMVCardReader::readVCards(data, &cards, &error) || cards.isEmpty()) {
        if (!error.isEmpty())
            qWarning("A dropped vCard was not read: %s", qPrintable(error));
        return nullptr;
    }
    // Filled before it joins the project: a card with nothing a resource can take adds nothing.
    auto resource = std::make_shared<DMProjectResource>();
    resource->setName(DMLocalizedString("New Resource"));
    if (!DMProjectResourceEditorController::fillResourceWithVCard(*resource, cards.first(), &error)) {
        qWarning("A dropped vCard was not used: %s", qPrintable(error));
        return nullptr;
    }
    return resource;
}

bool DMProjectDocumentItemsView::attachFilesToProject(const QStringList &paths)
{
    const auto project = m_document.project();
    if (!project || paths.isEmpty())
        return false;
    DMUndoManager *undo = m_document.undoManager();
    if (undo)
        undo->beginUndoGrouping();
    QVariantList keys = project->attribute(kDMProject_AttachedDocuments).toList();
    bool attached = false;
    for (const QString &path : paths) {
        const QString key = m_document.addAttachedDocumentTableKey(path);
        if (key.isEmpty())
            continue;
        attached = true;
        // A file the project holds already: the reference just taken is given back, so that
        // deleting its one row lets the file go.
        if (keys.contains(key))
            m_document.removeAttachedDocumentWithTableKey(key);
        else
            keys.append(key);
    }
    if (attached)
        project->setAttribute(kDMProject_AttachedDocuments, keys);
    if (undo) {
        undo->setActionName(DMLocalizedString("Attach Documents"));
        undo->endUndoGrouping();
    }
    return attached;
}
