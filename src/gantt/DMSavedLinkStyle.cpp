#include "DMSavedLinkStyle.h"

#include "DMColorAdditions.h"
#include "DMDictionaryAccess.h"
#include "DMObjectSerialization.h"
#include "DMProjectDependency.h"
#include "DMUserDefaults.h"

const QString DMSavedLinkStyle::kDefaultsKey = QStringLiteral("DMSavedLinkStyle");

namespace {

const QString kColor = QStringLiteral("color");
const QString kColorDict = QStringLiteral("colorDict");
const QString kLinkStyle = QStringLiteral("linkStyle");
const QString kHasArrow = QStringLiteral("hasArrow");
const QString kDashStyle = QStringLiteral("dashStyle");
const QString kThickness = QStringLiteral("thickness");

std::optional<int> integerOf(const QVariant &value)
{
    if (!isNumberValue(value))
        return std::nullopt;
    bool ok = false;
    const int integer = value.toInt(&ok);
    return ok ? std::optional<int>(integer) : std::nullopt;
}

} // namespace

DMSavedLinkStyle DMSavedLinkStyle::styleOfDependency(const DMProjectDependency &dependency)
{
    return {dependency.color(), dependency.linkStyle(), dependency.hasArrow(), dependency.dashStyle(),
            dependency.thickness()};
}

QVariantMap DMSavedLinkStyle::dictionaryRepresentation() const
{
    const QColor rgb = color.toRgb();
    return {{kColor, DMObjectSerialization::encode(QVariant::fromValue(rgb))},
            {kColorDict, componentsDictionary(rgb)},
            {kLinkStyle, linkStyle},
            {kHasArrow, hasArrow},
            {kDashStyle, dashStyle},
            {kThickness, thickness}};
}

std::optional<DMSavedLinkStyle> DMSavedLinkStyle::styleWithDictionary(const QVariant &dictionary)
{
    if (dictionary.typeId() != QMetaType::QVariantMap)
        return std::nullopt;
    const QVariantMap values = dictionary.toMap();
    const QVariant color = DMObjectSerialization::decode(values.value(kColor));
    const std::optional<int> linkStyle = integerOf(values.value(kLinkStyle));
    const std::optional<int> dashStyle = integerOf(values.value(kDashStyle));
    const std::optional<int> thickness = integerOf(values.value(kThickness));
    const QVariant hasArrow = values.value(kHasArrow);
    if (color.metaType() != QMetaType::fromType<QColor>() || !linkStyle || !dashStyle || !thickness
        || (hasArrow.typeId() != QMetaType::Bool && !isNumberValue(hasArrow)))
        return std::nullopt;
    return DMSavedLinkStyle{color.value<QColor>(), *linkStyle, hasArrow.toBool(), *dashStyle, *thickness};
}

std::optional<DMSavedLinkStyle> DMSavedLinkStyle::savedStyle()
{
    const QVariant stored = DMUserDefaults::standardUserDefaults().objectForKey(kDefaultsKey);
    if (!stored.isValid())
        return std::nullopt;
    std::optional<DMSavedLinkStyle> style = styleWithDictionary(stored);
    if (!style)
        qWarning("The saved link style is damaged and is ignored.");
    return style;
}

void DMSavedLinkStyle::saveStyleOfDependency(const DMProjectDependency &dependency)
{
    DMUserDefaults &defaults = DMUserDefaults::standardUserDefaults();
    defaults.setObjectForKey(styleOfDependency(dependency).dictionaryRepresentation(), kDefaultsKey);
    defaults.synchronize();
}

bool DMSavedLinkStyle::applySavedStyleToDependency(DMProjectDependency &dependency)
{
    const std::optional<DMSavedLinkStyle> style = savedStyle();
    if (!style)
        return false;
    // The model clamps each value into its range.
    dependency.setColor(style->color);
    dependency.setLinkStyle(style->linkStyle);
    dependency.setHasArrow(style->hasArrow);
    dependency.setDashStyle(style->dashStyle);
    dependency.setThickness(style->thickness);
    return true;
}
