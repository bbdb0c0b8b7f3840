#include "DMPreferenceKeys.h"

#include "DMObjectSerialization.h"
#include "DMProjectItem.h"
#include "DMProjectKeys.h"
#include "DMUserDefaults.h"

const QString kDMHalcyra_DefaultReportHeaderColor = QStringLiteral("kDMHalcyra_DefaultReportHeaderColor");
const QString kDMHalcyra_PDFLogoPath = QStringLiteral("kDMHalcyra_PDFLogoPath");
const QString kDMHalcyra_taskListArrangedColumnIdentifiers = QStringLiteral("kDMHalcyra_taskListArrangedColumnIdentifiers");
const QString kDMHalcyra_DefaultTaskColor = QStringLiteral("kDMHalcyra_DefaultTaskColor");
const QString kDMHalcyra_DefaultMilestoneColor = QStringLiteral("kDMHalcyra_DefaultMilestoneColor");
const QString kDMHalcyra_DefaultProcessColor = QStringLiteral("kDMHalcyra_DefaultProcessColor");
const QString kDMHalcyra_DefaultItemGroupColor = QStringLiteral("kDMHalcyra_DefaultItemGroupColor");
const QString kDMHalcyra_DefaultEventColor = QStringLiteral("kDMHalcyra_DefaultEventColor");
const QString kDMHalcyra_Autosave = QStringLiteral("kDMHalcyra_Autosave");
const QString kDMRecentDocumentsFrames = QStringLiteral("DMRecentDocumentsFrames");
const QString kDMRecentDocumentPaths = QStringLiteral("DMRecentDocumentPaths");
const QString kDMDoNotShowDocumentCopyAlert = QStringLiteral("DMDoNotShowDocumentCopyAlert");

double DMPreferenceKeys_autosaveDelay(bool autosaveOn)
{
    return autosaveOn ? 15.0 : 0.0;
}

QStringList DMPreferenceKeys_taskListColumnIdentifiers()
{
    return {QStringLiteral("icon"), QStringLiteral("title"), QStringLiteral("beginDate"), QStringLiteral("endDate"),
            QStringLiteral("duration"), QStringLiteral("cost"), QStringLiteral("progress"), QStringLiteral("id")};
}

QVariant DMPreferenceKeys_archivedColor(const QColor &color)
{
    return DMObjectSerialization::encode(QVariant::fromValue(color));
}

QColor DMPreferenceKeys_colorForKey(const QString &key)
{
    const QVariant decoded = DMObjectSerialization::decode(DMUserDefaults::standardUserDefaults().objectForKey(key));
    return decoded.metaType() == QMetaType::fromType<QColor>() ? decoded.value<QColor>() : QColor();
}

QVariantMap DMPreferenceKeys_defaultValues()
{
    QStringList columns = DMPreferenceKeys_taskListColumnIdentifiers();
    columns.removeAll(QStringLiteral("id"));
    return {
        {kDMHalcyra_ProjectViewFontSize, 11.0},
        {kDMHalcyra_DefaultDateColor, DMPreferenceKeys_archivedColor(QColor::fromRgbF(0.0f, 0.0f, 0.0f, 1.0f))},
        {kDMHalcyra_DisableHourDisplay, false},
        {kDMHalcyra_DefaultReportHeaderColor, DMPreferenceKeys_archivedColor(QColor(225, 230, 236))},
        {kDMHalcyra_PDFLogoPath, QString()},
        {kDMHalcyra_taskListArrangedColumnIdentifiers, columns},
        {kDMHalcyra_DefaultTaskColor,
         DMPreferenceKeys_archivedColor(DMProjectItem::defaultFillColorForKind(kDMProjectItem_Kind_Task))},
        {kDMHalcyra_DefaultMilestoneColor,
         DMPreferenceKeys_archivedColor(DMProjectItem::defaultFillColorForKind(kDMProjectItem_Kind_Milestone))},
        {kDMHalcyra_DefaultProcessColor,
         DMPreferenceKeys_archivedColor(DMProjectItem::defaultFillColorForKind(kDMProjectItem_Kind_Process))},
        {kDMHalcyra_DefaultItemGroupColor,
         DMPreferenceKeys_archivedColor(DMProjectItem::defaultFillColorForKind(kDMProjectItem_Kind_ItemGroup))},
        {kDMHalcyra_DefaultEventColor,
         DMPreferenceKeys_archivedColor(DMProjectItem::defaultFillColorForKind(kDMProjectItem_Kind_Event))},
        {kDMHalcyra_Autosave, true},
    };
}

void DMPreferenceKeys_writeDefaultValues()
{
    DMUserDefaults &defaults = DMUserDefaults::standardUserDefaults();
    const QVariantMap values = DMPreferenceKeys_defaultValues();
    for (auto it = values.begin(); it != values.end(); ++it)
        if (!defaults.hasStoredValueForKey(it.key()))
            defaults.setObjectForKey(it.value(), it.key());
    defaults.setBoolForKey(true, kDMHalcyra_Autosave);
    defaults.synchronize();
}
