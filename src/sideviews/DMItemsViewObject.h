#pragma once

#include <QString>
#include <QVariantMap>

#include <memory>

class DMProjectObject;

// One entry of an items-view page: a model object, or (on the attached-documents page) a
// document row or separator, a dictionary shared between the page's array and its card so that
// a separator's collapsed flag survives the rebuilds of the page.
struct DMItemsViewObject
{
    std::shared_ptr<DMProjectObject> object;
    std::shared_ptr<QVariantMap> row;

    bool isNull() const { return !object && !row; }
    // The sender of the notifications about this entry.
    const void *identity() const
    {
        return object ? static_cast<const void *>(object.get()) : static_cast<const void *>(row.get());
    }
    bool operator==(const DMItemsViewObject &other) const { return object == other.object && row == other.row; }
};

// Keys of a document row and of the items view's notifications.
extern const QString kDMItemsViewDocumentItem_Icon;
extern const QString kDMItemsViewDocumentItem_Name;
extern const QString kDMItemsViewDocumentItem_Size;
extern const QString kDMItemsViewDocumentItem_FileSize; // "NSFileSize"
extern const QString kDMItemsViewDocumentItem_Kind;
extern const QString kDMItemsViewDocumentItem_Info;
extern const QString kDMItemsViewDocumentItem_Separator;
extern const QString kDMItemsViewDocumentItem_SeparatorCollapsed;
extern const QString kDMItemsViewDocumentItem_AttachedDocumentsTableKey;
extern const QString kDMItemsViewDocumentItem_AttachedToProject;
extern const QString kDMItemsViewDocumentItem_ProjectItems_Separator;
extern const QString kDMItemsViewDocumentItem_TasksItems_Separator;
extern const QString kDMItemsViewDocumentItem_SeparatorToggledNotification;
extern const QString kDMItemsViewDocumentItem_OpenAttachedDocumentNotification;
extern const QString kDMItemsView_ScrollToVisibleNotification; // "CVIScrollToVisible"
extern const QString kDMItemsView_EditNotification;            // "CVIEdit"

// The key string of an items-view tag (1 to 8); empty for any other tag.
QString DMProjectDocument_SourceListItemsTagToString(int tag);
// The sort buttons' titles of a tag, localized; empty for any other tag.
QStringList DMProjectDocument_SourceListItemsSortingModesForTag(int tag);
