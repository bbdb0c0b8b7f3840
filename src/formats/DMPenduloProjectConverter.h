#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>

#include <memory>

class DMArchivedObject;
class DMImportReport;
class DMKeyedUnarchiver;
class DMProject;
class DMProjectResource;

// The import of the earlier planner's documents (keyed archives whose root is a ZQProject) into
// a fresh project: working week, resources, budget, title and dates, alerts as events, tasks
// with their costs, notes, colours and resources, and links. Class operations only.
class DMPenduloProjectConverter
{
public:
    DMPenduloProjectConverter() = delete;

    // Resource nodes of the archive to the resources made for them, by identity.
    using TranslationTable = QHash<const DMArchivedObject *, std::shared_ptr<DMProjectResource>>;

    // importPenduloProjectDocumentAtPath:inProject: reads the working week from the earlier
    // application's preferences (preferencesFoldersForArchiveAtPath), then the archive. False,
    // with the reason in the report, when the archive cannot be read or the model refused the
    // content; the project is then to be discarded. Items that had to be repaired or left out
    // are counted in the report.
    static bool importPenduloProjectDocumentAtPathInProject(const QString &path, DMProject &project,
                                                            DMImportReport *report = nullptr);
    // The same from the archive's bytes, with the preferences looked up in the given folders.
    static bool importPenduloProjectDataInProject(const QByteArray &data, DMProject &project,
                                                  const QStringList &preferencesFolders, DMImportReport *report = nullptr);

    // Where the earlier application's preferences are looked for on this system, in order: the
    // archive's own folder (a preferences file copied along with the documents), then the user's
    // configuration folder.
    static QStringList preferencesFoldersForArchiveAtPath(const QString &path);
    // The preferences files of the earlier application's latest edition, its version 4 and its
    // first version, in the order they are tried.
    static QStringList preferencesFileNames();
    // A larger preferences file is not read.
    static constexpr qint64 kMaximumPreferencesFileSize = qint64(1) << 20;
    // The first of those files in the folders that loads as a dictionary; empty when none does.
    static QVariantMap earlierPreferencesInFolders(const QStringList &folders);

    // importPenduloProjectResources:inArray:targetProject:translationTable: one level of the
    // resource tree into `resources`, recursing into groups; dayBegin and dayEnd are the working
    // day's minutes, which turn a cost per day into one per hour.
    static void importPenduloProjectResourcesInArrayTargetProjectTranslationTable(
        const QVariantList &nodes, QList<std::shared_ptr<DMProjectResource>> &resources, DMProject &project,
        TranslationTable &table, int dayBegin, int dayEnd, DMImportReport &report, int depth = 0);
    static std::shared_ptr<DMProjectResource> DMPenduloProjectConverter_newResourceForPenduloResource(
        const DMArchivedObject *node, const TranslationTable &table);

    // The hourly cost of a resource that costs `costPerDay` per working day of dayBegin to
    // dayEnd minutes (over 24 hours when the working day is shorter than 0.01 hours).
    static double hourlyCostForCostPerDay(double costPerDay, int dayBegin, int dayEnd);

    // Registers the earlier planner's archive classes with the reader.
    static void registerArchiveClasses(DMKeyedUnarchiver &unarchiver);
};
