#include "DMApplicationDelegate.h"

#include "DMDocumentController.h"
#include "DMGanttUIObjectFactory.h"
#include "DMPreferenceKeys.h"
#include "DMProjectDocument.h"
#include "DMProjectItem.h"
#include "DMProjectKeys.h"
#include "DMUserDefaults.h"
#include "DMWelcomeWindowController.h"

#include <QWidget>

namespace {
const QString kIdentifier = QStringLiteral("identifier");
const QString kChecked = QStringLiteral("checked");
}

DMApplicationDelegate::DMApplicationDelegate()
{
    DMPreferenceKeys_writeDefaultValues();
    DMDocumentController &controller = DMDocumentController::sharedDocumentController();
    connect(&controller, &DMDocumentController::lastDocumentClosed, this,
            [] { DMWelcomeWindowController::sharedController().showWindow(); });
    connect(&controller, &DMDocumentController::documentsChanged, this, [&controller] {
        if (!controller.documents().isEmpty())
            DMWelcomeWindowController::sharedController().close();
    });
}

DMApplicationDelegate::~DMApplicationDelegate() = default;

void DMApplicationDelegate::applicationWillFinishLaunching()
{
    DMUserDefaults &defaults = DMUserDefaults::standardUserDefaults();
    for (const QString &key : {kDMHalcyra_DefaultTaskColor, kDMHalcyra_DefaultMilestoneColor, kDMHalcyra_DefaultProcessColor,
                               kDMHalcyra_DefaultItemGroupColor, kDMHalcyra_DefaultEventColor})
        m_observations.push_back(defaults.observe(key, [](const QString &) { applyDefaultColors(); }));
    m_observations.push_back(defaults.observe(kDMHalcyra_Autosave, [](const QString &) { applyAutosavePreference(); }));
    m_observations.push_back(
        defaults.observe(kDMHalcyra_ProjectViewFontSize, [](const QString &) { applyProjectViewFontSize(); }));
    applyDefaultColors();
    applyAutosavePreference();
}

void DMApplicationDelegate::applicationDidFinishLaunching(const QStringList &files)
{
    DMDocumentController &controller = DMDocumentController::sharedDocumentController();
    for (const QString &file : files)
        controller.openDocumentWithContentsOfURL(file, true);
    if (controller.documents().isEmpty())
        DMWelcomeWindowController::sharedController().showWindow();
}

void DMApplicationDelegate::applyDefaultColors()
{
    const struct
    {
        const QString &key;
        std::uint32_t kind;
    } colors[] = {{kDMHalcyra_DefaultTaskColor, kDMProjectItem_Kind_Task},
                  {kDMHalcyra_DefaultMilestoneColor, kDMProjectItem_Kind_Milestone},
                  {kDMHalcyra_DefaultProcessColor, kDMProjectItem_Kind_Process},
                  {kDMHalcyra_DefaultItemGroupColor, kDMProjectItem_Kind_ItemGroup},
                  {kDMHalcyra_DefaultEventColor, kDMProjectItem_Kind_Event}};
    for (const auto &entry : colors) {
        const QColor color = DMPreferenceKeys_colorForKey(entry.key);
        if (color.isValid())
            DMProjectItem::setDefaultFillColorForKind(entry.kind, color);
    }
}

void DMApplicationDelegate::applyAutosavePreference()
{
    DMDocumentController::sharedDocumentController().setAutosavingDelay(
        DMPreferenceKeys_autosaveDelay(DMUserDefaults::standardUserDefaults().boolForKey(kDMHalcyra_Autosave)));
}

void DMApplicationDelegate::applyProjectViewFontSize()
{
    DMGanttUIObjectFactory::resetDefaultTitleAttributes();
    for (const auto &document : DMDocumentController::sharedDocumentController().documents()) {
        document->objectViewDataSource()->titleAttributesDidChange();
        document->reloadViews();
    }
}

QVariantList DMApplicationDelegate::taskListArrangedColumnDictionaries()
{
    // Without a stored arrangement (before the defaults were written) the default one applies.
    QVariant stored = DMUserDefaults::standardUserDefaults().objectForKey(kDMHalcyra_taskListArrangedColumnIdentifiers);
    if (!stored.isValid())
        stored = DMPreferenceKeys_defaultValues().value(kDMHalcyra_taskListArrangedColumnIdentifiers);
    const QStringList checked = stored.toStringList();
    QVariantList columns;
    for (const QString &identifier : checked)
        if (DMPreferenceKeys_taskListColumnIdentifiers().contains(identifier))
            columns.append(QVariantMap{{kIdentifier, identifier}, {kChecked, true}});
    for (const QString &identifier : DMPreferenceKeys_taskListColumnIdentifiers())
        if (!checked.contains(identifier))
            columns.append(QVariantMap{{kIdentifier, identifier}, {kChecked, false}});
    return columns;
}

void DMApplicationDelegate::setTaskListColumnHidden(const QString &identifier, bool hidden)
{
    QVariantList columns = taskListArrangedColumnDictionaries();
    QStringList checked;
    for (QVariant &value : columns) {
        QVariantMap column = value.toMap();
        if (column.value(kIdentifier).toString() == identifier) {
            column.insert(kChecked, !hidden);
            value = column;
        }
        if (column.value(kChecked).toBool())
            checked.append(column.value(kIdentifier).toString());
    }
    DMUserDefaults::standardUserDefaults().setObjectForKey(checked, kDMHalcyra_taskListArrangedColumnIdentifiers);
    for (const auto &document : DMDocumentController::sharedDocumentController().documents())
        document->applyingTaskListColumns(columns);
}
