#include "DMStringAdditions.h"
#include "DMTemporaryFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

TEST(StringAdditions, PointerValueReadsDigitsAndCountsOthersAsZero)
{
    EXPECT_EQ(pointerValue(""), 0u);
    EXPECT_EQ(pointerValue(QString()), 0u);
    EXPECT_EQ(pointerValue("140735340871680"), 140735340871680ull);
    EXPECT_EQ(pointerValue("18446744073709551615"), UINT64_MAX);
    EXPECT_EQ(pointerValue("1a2"), 102u);
    EXPECT_EQ(pointerValue("x"), 0u);
    EXPECT_EQ(pointerValue("-5"), 5u);
    EXPECT_EQ(pointerValue("١٢"), 0u); // only ASCII digits are digits
}

TEST(StringAdditions, HTMLEntitiesEscapeMarkupAndCharactersAbove159)
{
    EXPECT_EQ(stringWithHTMLEntities("a \"b\" & <c>"), "a &quot;b&quot; &amp; &lt;c&gt;");
    EXPECT_EQ(stringWithHTMLEntities("é"), "&#233;");
    EXPECT_EQ(stringWithHTMLEntities("5 €"), "5 &#8364;");
    EXPECT_EQ(stringWithHTMLEntities(QString::fromUtf8("\u00A0")), "&#160;");
    // One reference of the code point, not two surrogate halves.
    EXPECT_EQ(stringWithHTMLEntities(QString::fromUtf8("x😀y")), "x&#128512;y");
    EXPECT_EQ(stringWithHTMLEntities(QString::fromUtf8("😀😀")), "&#128512;&#128512;");

    QString controls;
    for (char16_t unit = 128; unit <= 159; ++unit)
        controls.append(QChar(unit));
    EXPECT_EQ(stringWithHTMLEntities(controls), controls);
    EXPECT_EQ(stringWithHTMLEntities("tab\tnew\nline"), "tab\tnew\nline");
}

TEST(StringAdditions, HTMLEntitiesOfLoneSurrogatesAndNull)
{
    EXPECT_EQ(stringWithHTMLEntities(QString(QChar(0xD83D)) + "a"), "&#65533;a");
    EXPECT_EQ(stringWithHTMLEntities(QString("a") + QChar(0xDE00)), "a&#65533;");
    EXPECT_TRUE(stringWithHTMLEntities(QString()).isNull());
    EXPECT_FALSE(stringWithHTMLEntities(QString("")).isNull());

    // Nothing to change: the same string comes back, sharing its data.
    const QString plain("plain text");
    EXPECT_EQ(stringWithHTMLEntities(plain).constData(), plain.constData());
}

TEST(StringAdditions, DataStringUnitsChangeAtPowersOf1024)
{
    EXPECT_EQ(dataStringForValue(0, 0), "0 B");
    EXPECT_EQ(dataStringForValue(0, 1023), "1023 B");
    EXPECT_EQ(dataStringForValue(0, 1024), "1 KB");
    EXPECT_EQ(dataStringForValue(1, 1536), "1.5 KB");
    EXPECT_EQ(dataStringForValue(0, 1048575), "1024 KB");
    EXPECT_EQ(dataStringForValue(0, 1048576), "1 MB");
    EXPECT_EQ(dataStringForValue(1, 1073741823), "1024.0 MB");
    EXPECT_EQ(dataStringForValue(2, 1073741824), "1.00 GB");
    EXPECT_EQ(dataStringForValue(1, 5.0 * 1099511627776.0), "5120.0 GB");
}

TEST(StringAdditions, DataStringsRoundHalvesAwayFromZero)
{
    EXPECT_EQ(dataStringForValue(0, 2560), "3 KB");  // 2.5 KB
    EXPECT_EQ(dataStringForValue(0, 3584), "4 KB");  // 3.5 KB
    EXPECT_EQ(dataStringForValue(0, 2.5), "3 B");
    EXPECT_EQ(dataStringForValue(0, -0.4), "0 B");
    EXPECT_EQ(dataRateStringForRate(2250.0f), "2.3 KB/s");
    EXPECT_EQ(dataRateStringForRate(0.25f), "0.3 B/s");
}

TEST(StringAdditions, DataRateUnitsChangeAtPowersOf1000)
{
    EXPECT_EQ(dataRateStringForRate(0), "0.0 B/s");
    EXPECT_EQ(dataRateStringForRate(999), "999.0 B/s");
    EXPECT_EQ(dataRateStringForRate(1000), "1.0 KB/s");
    EXPECT_EQ(dataRateStringForRate(1500), "1.5 KB/s");
    EXPECT_EQ(dataRateStringForRate(999999), "1000.0 KB/s");
    EXPECT_EQ(dataRateStringForRate(1000000), "1.0 MB/s");
    EXPECT_EQ(dataRateStringForRate(12345678), "12.3 MB/s");
}

TEST(TemporaryFiles, PathsAreFreshNamedAndNotCreated)
{
    const QString savedDomain = QCoreApplication::organizationDomain();
    QCoreApplication::setOrganizationDomain(QString());
    const QString first = temporaryFilePathWithExtension("html");
    const QString second = temporaryFilePathWithExtension("html");
    QCoreApplication::setOrganizationDomain("example.org");
    const QString third = temporaryFilePathWithExtension("pdf");
    QCoreApplication::setOrganizationDomain(savedDomain);

    EXPECT_NE(first, second);
    EXPECT_EQ(QFileInfo(first).absolutePath(), QFileInfo(QDir::tempPath()).absoluteFilePath());
    const QRegularExpression pattern("^org_halcyra_Halcyra_temp_([0-9a-f]+)_([0-9a-f]+)_([0-9a-f]+)\\.html$");
    const auto match = pattern.match(QFileInfo(first).fileName());
    ASSERT_TRUE(match.hasMatch()) << first.toStdString();
    EXPECT_LT(match.captured(2).toUInt(nullptr, 16), 1000000u);
    const auto secondMatch = pattern.match(QFileInfo(second).fileName());
    ASSERT_TRUE(secondMatch.hasMatch());
    EXPECT_EQ(secondMatch.captured(3).toUInt(nullptr, 16), match.captured(3).toUInt(nullptr, 16) + 1);
    EXPECT_TRUE(QFileInfo(third).fileName().startsWith("example_org_temp_"));
    EXPECT_TRUE(third.endsWith(".pdf"));
    EXPECT_FALSE(QFileInfo::exists(first));
}

} // namespace
