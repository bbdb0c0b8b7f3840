#pragma once

#include "DMDateCellPreferences.h" // kDMHalcyra_DefaultDateColor and kDMHalcyra_DisableHourDisplay
#include "DMProjectViewConstants.h" // kDMHalcyra_ProjectViewFontSize: item title size on the canvas

#include <QColor>
#include <QString>
#include <QStringList>
#include <QVariantMap>

// The application's preference keys (user defaults) and their default values.
extern const QString kDMHalcyra_DefaultReportHeaderColor; // archived colour
extern const QString kDMHalcyra_PDFLogoPath;              // path of a logo image; empty = no logo
extern const QString kDMHalcyra_taskListArrangedColumnIdentifiers; // checked outline columns, in order
extern const QString kDMHalcyra_DefaultTaskColor;         // archived colours of new items by kind
extern const QString kDMHalcyra_DefaultMilestoneColor;
extern const QString kDMHalcyra_DefaultProcessColor;
extern const QString kDMHalcyra_DefaultItemGroupColor;
extern const QString kDMHalcyra_DefaultEventColor;
extern const QString kDMHalcyra_Autosave;                 // bool: autosave in place, turned on at launch

// Window state of documents: "DMRecentDocumentsFrames" maps a document path to its window frame.
extern const QString kDMRecentDocumentsFrames;
// The recent-documents list (paths, most recent first).
extern const QString kDMRecentDocumentPaths;
// Set once the user asked not to be told again that attached files are copied into the project.
extern const QString kDMDoNotShowDocumentCopyAlert;

// Seconds between a change and its autosave: 15 with autosave on, 0 (never) with it off.
double DMPreferenceKeys_autosaveDelay(bool autosaveOn);

// Every outline column identifier, in the default order.
QStringList DMPreferenceKeys_taskListColumnIdentifiers();

// The default value of every preference key above.
QVariantMap DMPreferenceKeys_defaultValues();

// Writes the default value of every key that has no stored value, and turns autosave on.
void DMPreferenceKeys_writeDefaultValues();

// Colours as stored in user defaults (the settings-value encoding of a colour), and back; an
// unreadable value gives an invalid colour.
QVariant DMPreferenceKeys_archivedColor(const QColor &color);
QColor DMPreferenceKeys_colorForKey(const QString &key);
