#include "DMItemsViewObject.h"

#include "DMLocalizedString.h"
#include "DMProjectEnums.h"

#include <QStringList>

const QString kDMItemsViewDocumentItem_Icon = QStringLiteral("kDMItemsViewDocumentItem_Icon");
const QString kDMItemsViewDocumentItem_Name = QStringLiteral("kDMItemsViewDocumentItem_Name");
const QString kDMItemsViewDocumentItem_Size = QStringLiteral("kDMItemsViewDocumentItem_Size");
const QString kDMItemsViewDocumentItem_FileSize = QStringLiteral("NSFileSize");
const QString kDMItemsViewDocumentItem_Kind = QStringLiteral("kDMItemsViewDocumentItem_Kind");
const QString kDMItemsViewDocumentItem_Info = QStringLiteral("kDMItemsViewDocumentItem_Info");
const QString kDMItemsViewDocumentItem_Separator = QStringLiteral("kDMItemsViewDocumentItem_Separator");
const QString kDMItemsViewDocumentItem_SeparatorCollapsed = QStringLiteral("kDMItemsViewDocumentItem_SeparatorCollapsed");
const QString kDMItemsViewDocumentItem_AttachedDocumentsTableKey =
    QStringLiteral("kDMItemsViewDocumentItem_AttachedDocumentsTableKey");
const QString kDMItemsViewDocumentItem_AttachedToProject = QStringLiteral("kDMItemsViewDocumentItem_AttachedToProject");
const QString kDMItemsViewDocumentItem_ProjectItems_Separator =
    QStringLiteral("kDMItemsViewDocumentItem_ProjectItems_Separator");
const QString kDMItemsViewDocumentItem_TasksItems_Separator = QStringLiteral("kDMItemsViewDocumentItem_TasksItems_Separator");

QString DMProjectDocument_SourceListItemsTagToString(int tag)
{
    static const char *const keys[] = {
        "kDMProjectDocument_SourceList_Items_Resources",  "kDMProjectDocument_SourceList_Items_Tasks",
        "kDMProjectDocument_SourceList_Items_Milestones", "kDMProjectDocument_SourceList_Items_Processes",
        "kDMProjectDocument_SourceList_Items_ToDo",       "kDMProjectDocument_SourceList_Items_Events",
        "kDMProjectDocument_SourceList_Items_Documents",  "kDMProjectDocument_SourceList_Items_Links",
    };
    return DMPage_isItemsViewKind(tag) ? QString::fromLatin1(keys[tag - DMPage::ItemsResourcesPage]) : QString();
}

QStringList DMProjectDocument_SourceListItemsSortingModesForTag(int tag)
{
    static const QList<QStringList> titles = [] {
        const auto localized = [](std::initializer_list<const char *> texts) {
            QStringList list;
            for (const char *text : texts)
                list.append(DMLocalizedString(text));
            return list;
        };
        return QList<QStringList>{
            localized({"Name", "Email", "Phone", "Level of charge"}),
            localized({"Name", "Start", "End", "Duration", "Resources", "Cost", "Completion"}),
            localized({"Name", "Date", "Resources"}),
            localized({"Name", "Start", "End", "Duration", "Completion"}),
            localized({"Date", "Name"}),
            localized({"Name", "Duration", "Date"}),
            localized({"Name", "Size", "Type"}),
            localized({"Start", "End", "Styled"}),
        };
    }();
    return DMPage_isItemsViewKind(tag) ? titles.at(tag - DMPage::ItemsResourcesPage) : QStringList();
}
