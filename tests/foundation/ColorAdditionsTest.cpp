#include "DMColorAdditions.h"

#include <gtest/gtest.h>

namespace {

bool isWhite(const QColor &color)
{
    return color.red() == 255 && color.green() == 255 && color.blue() == 255;
}

bool isBlack(const QColor &color)
{
    return color.red() == 0 && color.green() == 0 && color.blue() == 0;
}

TEST(ColorAdditions, BestTextColorThreshold)
{
    // a/3 * (0.75 * (r + b) + 1.5 * g): red and blue give 0.25, green 0.5, yellow 0.75.
    EXPECT_TRUE(isWhite(DMBestTextColorForBackgroundColor(QColor(255, 0, 0), 1.0)));
    EXPECT_TRUE(isWhite(DMBestTextColorForBackgroundColor(QColor(0, 0, 255), 1.0)));
    EXPECT_TRUE(isBlack(DMBestTextColorForBackgroundColor(QColor(0, 255, 0), 1.0)));
    EXPECT_TRUE(isBlack(DMBestTextColorForBackgroundColor(QColor(255, 255, 0), 1.0)));
    // For greys the measure is the grey level itself: 0.48 is dark, 0.50 is not.
    EXPECT_TRUE(isWhite(DMBestTextColorForBackgroundColor(QColor::fromRgbF(0.48f, 0.48f, 0.48f), 1.0)));
    EXPECT_TRUE(isBlack(DMBestTextColorForBackgroundColor(QColor::fromRgbF(0.5f, 0.5f, 0.5f), 1.0)));
    // The background's own alpha scales the measure: half-transparent light grey counts as dark.
    EXPECT_TRUE(isWhite(DMBestTextColorForBackgroundColor(QColor::fromRgbF(0.9f, 0.9f, 0.9f, 0.5f), 1.0)));
    // Other colour models are measured in RGB.
    EXPECT_TRUE(isBlack(DMBestTextColorForBackgroundColor(QColor::fromHsv(60, 255, 255), 1.0)));
}

TEST(ColorAdditions, BestTextColorAlpha)
{
    EXPECT_NEAR(DMBestTextColorForBackgroundColor(Qt::black, 0.4).alphaF(), 0.64, 1e-4);
    EXPECT_NEAR(DMBestTextColorForBackgroundColor(Qt::black, 1.0).alphaF(), 1.0, 1e-6);
    EXPECT_NEAR(DMBestTextColorForBackgroundColor(Qt::white, 0.4).alphaF(), 0.4, 1e-4);

    const QColor invalid = DMBestTextColorForBackgroundColor(QColor(), 0.4);
    EXPECT_TRUE(isBlack(invalid));
    EXPECT_NEAR(invalid.alphaF(), 0.4, 1e-4);
}

TEST(ColorAdditions, ComponentsDictionaryRoundTrips)
{
    const QVariantMap components = componentsDictionary(QColor(255, 0, 51, 102));
    EXPECT_EQ(components.keys(), (QStringList{"a", "b", "g", "r"}));
    EXPECT_EQ(components.value("r").typeId(), QMetaType::Double);
    EXPECT_DOUBLE_EQ(components.value("r").toDouble(), 1.0);
    EXPECT_DOUBLE_EQ(components.value("g").toDouble(), 0.0);
    EXPECT_NEAR(components.value("b").toDouble(), 0.2, 1e-6);
    EXPECT_NEAR(components.value("a").toDouble(), 0.4, 1e-6);
    EXPECT_EQ(colorWithComponentsDictionary(components), QColor(255, 0, 51, 102));
    EXPECT_TRUE(componentsDictionary(QColor()).isEmpty());

    EXPECT_EQ(colorWithComponentsDictionary({{"r", qint64(1)}, {"g", 0}, {"b", 0.0}}), QColor(255, 0, 0, 255));
    EXPECT_FALSE(colorWithComponentsDictionary({{"r", 1.0}, {"g", 1.0}, {"b", 1.0}, {"a", true}}).isValid());
    EXPECT_FALSE(colorWithComponentsDictionary({}).isValid());
}

} // namespace
