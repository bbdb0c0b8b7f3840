#pragma once

#include "DMProjectEnums.h" // the values stored under some of these keys

#include <QString>

#include <cstdint>

// Four-character kind codes ('Task' reads as 0x5461736B).
constexpr std::uint32_t DMFourCharCode(const char (&code)[5])
{
    return (std::uint32_t(std::uint8_t(code[0])) << 24) | (std::uint32_t(std::uint8_t(code[1])) << 16)
        | (std::uint32_t(std::uint8_t(code[2])) << 8) | std::uint32_t(std::uint8_t(code[3]));
}

inline constexpr std::uint32_t kDMProjectItem_Kind_Item = DMFourCharCode("Item");
inline constexpr std::uint32_t kDMProjectItem_Kind_Task = DMFourCharCode("Task");
inline constexpr std::uint32_t kDMProjectItem_Kind_Milestone = DMFourCharCode("Mile");
inline constexpr std::uint32_t kDMProjectItem_Kind_Process = DMFourCharCode("Proc");
inline constexpr std::uint32_t kDMProjectItem_Kind_ItemGroup = DMFourCharCode("Grup");
inline constexpr std::uint32_t kDMProjectItem_Kind_Event = DMFourCharCode("Evnt");
inline constexpr std::uint32_t kDMProjectTodo_Kind_Todo = DMFourCharCode("Todo");
inline constexpr std::uint32_t kDMProjectTodo_Kind_Separator = DMFourCharCode("Sptr");

// Settings of the project (its attributes dictionary). Every key's text is its own name.
extern const QString kDMProject_ViewMode;
extern const QString kDMProject_TimelineViewMode;
extern const QString kDMProject_TimelineViewPixelsPerDay;
extern const QString kDMProject_TimelineViewTimeSpan;
extern const QString kDMProject_TimelineViewCustomTimeSpan;
extern const QString kDMProject_Settings_DayTimeSpan;
extern const QString kDMProject_Settings_NonWorkingWeekDays;
extern const QString kDMProject_Settings_DaysOff;
extern const QString kDMProject_Settings_FirstDayOfWeek;
extern const QString kDMProject_Settings_WeekFormat;
extern const QString kDMProject_Settings_Budget;
extern const QString kDMProject_Settings_CurrencyUnit;
extern const QString kDMProject_Settings_DefaultTaskDuration_Days;
extern const QString kDMProject_Settings_DefaultTaskDuration_Hours;
extern const QString kDMProject_Settings_DefaultTaskDuration_Minutes;
extern const QString kDMProject_ItemsViewSortingModes;
extern const QString kDMProject_AttachedDocuments;
extern const QString kDMProject_AttachedDocumentsTable;
extern const QString kDMProject_AttachedDocument_Path;
extern const QString kDMProject_AttachedDocument_PendingAttachment;
// A days-off entry of kDMProject_Settings_DaysOff: the first day's non-working-day index, the
// last day's (absent or 0: the first), and the description.
extern const QString kDMDayOffIndex;        // "kDMDayOffIndex"
extern const QString kDMDayOffEndIndex;     // "kDMDayOffEndIndex"
extern const QString kDMDayOffDescription;  // "kDMDayOffDescription"
// One-shot attributes read by the document.
extern const QString kDMProject_ClearFilename;          // "clear filename"
extern const QString kDMProject_ClearFromRecentItems;   // "clear from recent items"

// Item attributes.
extern const QString kDMProjectItem_Notes;
extern const QString kDMProjectItem_Cost;
extern const QString kDMProjectItem_CostKind;
extern const QString kDMProjectItem_HasFixedCost;
extern const QString kDMProjectItem_FixedCost;
extern const QString kDMProjectItem_AttachedDocuments;
extern const QString kDMProjectItem_ExpandToFitSubitems;
extern const QString kDMProjectItem_EnforceWorkingDatesOnDrag;
extern const QString kDMProjectItem_GanttView_NodeIsExpanded;

// Resource attributes.
extern const QString kDMProjectResource_Icon;
extern const QString kDMProjectResource_Human;
extern const QString kDMProjectResource_Email;
extern const QString kDMProjectResource_Phone;
extern const QString kDMProjectResource_HourlyCost;
extern const QString kDMProjectResource_CostKind;
extern const QString kDMProjectResource_ResourceView_NodeIsExpanded;

// To-do attributes.
extern const QString kDMProjectTodo_Text;
extern const QString kDMProjectTodo_Subject;
extern const QString kDMProjectTodo_Collapsed; // "collapsed", a separator's state

// Observable keys of the model objects (DMObservable key names).
namespace DMProjectKey {
inline const QString title = QStringLiteral("title");
inline const QString name = QStringLiteral("name");
inline const QString beginDate = QStringLiteral("beginDate");
inline const QString endDate = QStringLiteral("endDate");
// Announced with beginDate and endDate: the keys that in-place date editors follow.
inline const QString validatedBeginDate = QStringLiteral("validatedBeginDate");
inline const QString validatedEndDate = QStringLiteral("validatedEndDate");
inline const QString duration = QStringLiteral("duration");
inline const QString floatDuration = QStringLiteral("floatDuration");
inline const QString useWorkingSchedule = QStringLiteral("useWorkingSchedule");
inline const QString progress = QStringLiteral("progress");
inline const QString locked = QStringLiteral("locked");
inline const QString fillColor = QStringLiteral("fillColor");
// A change of one attribute is announced under "attributes" and under "attributes.<key>".
inline const QString attributes = QStringLiteral("attributes");
inline const QString subitems = QStringLiteral("subitems");
inline const QString tasks = QStringLiteral("tasks");
inline const QString resources = QStringLiteral("resources");
inline const QString events = QStringLiteral("events");
inline const QString todos = QStringLiteral("todos");
inline const QString arrangedObjects = QStringLiteral("arrangedObjects");
inline const QString sortingMode = QStringLiteral("sortingMode");
inline const QString subRowCount = QStringLiteral("subRowCount");
inline const QString inboundDependencies = QStringLiteral("inboundDependencies");
inline const QString outboundDependencies = QStringLiteral("outboundDependencies");
inline const QString concernedResources = QStringLiteral("concernedResources");
inline const QString kind = QStringLiteral("kind");
inline const QString color = QStringLiteral("color");
inline const QString linkStyle = QStringLiteral("linkStyle");
inline const QString hasArrow = QStringLiteral("hasArrow");
inline const QString dashStyle = QStringLiteral("dashStyle");
inline const QString thickness = QStringLiteral("thickness");
inline const QString date = QStringLiteral("date");
inline const QString done = QStringLiteral("done");
inline const QString noDueDate = QStringLiteral("noDueDate");
inline const QString isValid = QStringLiteral("isValid");
inline const QString criticalPath = QStringLiteral("criticalPath");
} // namespace DMProjectKey
