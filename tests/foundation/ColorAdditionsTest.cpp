#include "DMColorAdditions.h"

#include <gtest/gtest.h>

namespace {

TEST(ColorAdditions, BestTextColorThresholdAndAlpha)
{
    // a/3 * (0.75 * (r + b) + 1.5 * g): red and blue give 0.25, green 0.5, yellow 0.75. For greys
    // the measure is the grey level itself; the background's own alpha scales it.
    const std::pair<QColor, bool> cases[] = { // background, white text
        {QColor(255, 0, 0), true}, {QColor(0, 0, 255), true}, {QColor(0, 255, 0), false},
        {QColor(255, 255, 0), false}, {QColor::fromRgbF(0.48f, 0.48f, 0.48f), true},
        {QColor::fromRgbF(0.5f, 0.5f, 0.5f), false}, {QColor::fromRgbF(0.9f, 0.9f, 0.9f, 0.5f), true},
        {QColor::fromHsv(60, 255, 255), false}, // other colour models are measured in RGB
        {QColor(), false},
    };
    for (const auto &[background, white] : cases) {
        const QColor text = DMBestTextColorForBackgroundColor(background, 1.0);
        EXPECT_EQ(text.rgb(), white ? qRgb(255, 255, 255) : qRgb(0, 0, 0)) << background.name().toStdString();
    }
    EXPECT_NEAR(DMBestTextColorForBackgroundColor(Qt::black, 0.4).alphaF(), 0.64, 1e-4);
    EXPECT_NEAR(DMBestTextColorForBackgroundColor(Qt::white, 0.4).alphaF(), 0.4, 1e-4);
    EXPECT_NEAR(DMBestTextColorForBackgroundColor(QColor(), 0.4).alphaF(), 0.4, 1e-4);
}

TEST(ColorAdditions, ComponentsDictionaryRoundTrips)
{
    const QVariantMap components = componentsDictionary(QColor(255, 0, 51, 102));
    EXPECT_EQ(components.keys(), (QStringList{"a", "b", "g", "r"}));
    EXPECT_EQ(components.value("r").typeId(), QMetaType::Double);
    EXPECT_NEAR(components.value("b").toDouble(), 0.2, 1e-6);
    EXPECT_EQ(colorWithComponentsDictionary(components), QColor(255, 0, 51, 102));
    EXPECT_TRUE(componentsDictionary(QColor()).isEmpty());

    EXPECT_EQ(colorWithComponentsDictionary({{"r", qint64(1)}, {"g", 0}, {"b", 0.0}}), QColor(255, 0, 0, 255));
    EXPECT_FALSE(colorWithComponentsDictionary({{"r", 1.0}, {"g", 1.0}, {"b", 1.0}, {"a", true}}).isValid());
    EXPECT_FALSE(colorWithComponentsDictionary({}).isValid());
}

} // namespace
