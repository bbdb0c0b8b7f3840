#include "DMProjectKeys.h"

#define DM_KEY(name) const QString name = QStringLiteral(#name)

DM_KEY(kDMProject_ViewMode);
DM_KEY(kDMProject_TimelineViewMode);
DM_KEY(kDMProject_TimelineViewPixelsPerDay);
DM_KEY(kDMProject_TimelineViewTimeSpan);
DM_KEY(kDMProject_TimelineViewCustomTimeSpan);
DM_KEY(kDMProject_Settings_DayTimeSpan);
DM_KEY(kDMProject_Settings_NonWorkingWeekDays);
DM_KEY(kDMProject_Settings_DaysOff);
DM_KEY(kDMProject_Settings_FirstDayOfWeek);
DM_KEY(kDMProject_Settings_WeekFormat);
DM_KEY(kDMProject_Settings_Budget);
DM_KEY(kDMProject_Settings_CurrencyUnit);
DM_KEY(kDMProject_Settings_DefaultTaskDuration_Days);
DM_KEY(kDMProject_Settings_DefaultTaskDuration_Hours);
DM_KEY(kDMProject_Settings_DefaultTaskDuration_Minutes);
DM_KEY(kDMProject_ItemsViewSortingModes);
DM_KEY(kDMProject_AttachedDocuments);
DM_KEY(kDMProject_AttachedDocumentsTable);
DM_KEY(kDMProject_AttachedDocument_Path);
DM_KEY(kDMProject_AttachedDocument_PendingAttachment);
DM_KEY(kDMDayOffIndex);
DM_KEY(kDMDayOffEndIndex);
DM_KEY(kDMDayOffDescription);
const QString kDMProject_ClearFilename = QStringLiteral("clear filename");
const QString kDMProject_ClearFromRecentItems = QStringLiteral("clear from recent items");

DM_KEY(kDMProjectItem_Notes);
DM_KEY(kDMProjectItem_Cost);
DM_KEY(kDMProjectItem_CostKind);
DM_KEY(kDMProjectItem_HasFixedCost);
DM_KEY(kDMProjectItem_FixedCost);
DM_KEY(kDMProjectItem_AttachedDocuments);
DM_KEY(kDMProjectItem_ExpandToFitSubitems);
DM_KEY(kDMProjectItem_EnforceWorkingDatesOnDrag);
DM_KEY(kDMProjectItem_GanttView_NodeIsExpanded);

DM_KEY(kDMProjectResource_Icon);
DM_KEY(kDMProjectResource_Human);
DM_KEY(kDMProjectResource_Email);
DM_KEY(kDMProjectResource_Phone);
DM_KEY(kDMProjectResource_HourlyCost);
DM_KEY(kDMProjectResource_CostKind);
DM_KEY(kDMProjectResource_ResourceView_NodeIsExpanded);

DM_KEY(kDMProjectTodo_Text);
DM_KEY(kDMProjectTodo_Subject);
const QString kDMProjectTodo_Collapsed = QStringLiteral("collapsed");
