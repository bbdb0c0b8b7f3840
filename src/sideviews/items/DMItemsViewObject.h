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
    bool operator==(const DMItemsViewObject &other) const { return object == other.object && row == other.row; }
};

// Keys of a document row.
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

// The key string of an items-view kind (DMPage_isItemsViewKind); empty for any other tag.
QString DMProjectDocument_SourceListItemsTagToString(int tag);
// The sort buttons' titles of an items-view kind, localized; empty for any other tag.
QStringList DMProjectDocument_SourceListItemsSortingModesForTag(int tag);
