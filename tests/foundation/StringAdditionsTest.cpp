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
    const std::pair<QString, quint64> cases[] = {
        {QString(), 0}, {"", 0}, {"18446744073709551615", UINT64_MAX}, {"1a2", 102}, {"x", 0}, {"-5", 5},
        {"١٢", 0}, // only ASCII digits are digits
    };
    for (const auto &[text, value] : cases)
        EXPECT_EQ(pointerValue(text), value) << text.toStdString();
}

TEST(StringAdditions, HTMLEntities)
{
    QString controls; // 128-159 are kept as they are
    for (char16_t unit = 128; unit <= 159; ++unit)
        controls.append(QChar(unit));
    const std::pair<QString, QString> cases[] = {
        {"a \"b\" & <c>", "a &quot;b&quot; &amp; &lt;c&gt;"},
        {"5 é€\u00A0", "5 &#233;&#8364;&#160;"},
        {"x😀y😀", "x&#128512;y&#128512;"}, // one reference of the code point, not two surrogate halves
        {QString(QChar(0xD83D)) + "a" + QChar(0xDE00), "&#65533;a&#65533;"},
        {controls, controls},
        {"tab\tnew\nline", "tab\tnew\nline"},
    };
    for (const auto &[text, escaped] : cases)
        EXPECT_EQ(stringWithHTMLEntities(text), escaped) << text.toStdString();
    EXPECT_TRUE(stringWithHTMLEntities(QString()).isNull());
    EXPECT_FALSE(stringWithHTMLEntities(QString("")).isNull());
    // Nothing to change: the same string comes back, sharing its data.
    const QString plain("plain text");
    EXPECT_EQ(stringWithHTMLEntities(plain).constData(), plain.constData());
}

TEST(StringAdditions, DataStringsChangeUnitAtPowersOf1024AndRoundHalvesAwayFromZero)
{
    const std::tuple<int, double, QString> cases[] = {
        {0, 1023, "1023 B"}, {0, 1024, "1 KB"}, {1, 1536, "1.5 KB"}, {0, 1048575, "1024 KB"},
        {0, 1048576, "1 MB"}, {1, 1073741823, "1024.0 MB"}, {2, 1073741824, "1.00 GB"},
        {1, 5.0 * 1099511627776.0, "5120.0 GB"}, {0, 2560, "3 KB"}, {0, 3584, "4 KB"}, {0, 2.5, "3 B"},
        {0, -0.4, "0 B"},
    };
    for (const auto &[decimals, value, text] : cases)
        EXPECT_EQ(dataStringForValue(decimals, value), text) << value;
}

TEST(StringAdditions, DataRatesChangeUnitAtPowersOf1000)
{
    const std::pair<float, QString> cases[] = {
        {0, "0.0 B/s"}, {0.25f, "0.3 B/s"}, {999, "999.0 B/s"}, {1000, "1.0 KB/s"}, {2250, "2.3 KB/s"},
        {999999, "1000.0 KB/s"}, {1000000, "1.0 MB/s"}, {12345678, "12.3 MB/s"},
    };
    for (const auto &[rate, text] : cases)
        EXPECT_EQ(dataRateStringForRate(rate), text) << rate;
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

    EXPECT_EQ(QFileInfo(first).absolutePath(), QFileInfo(QDir::tempPath()).absoluteFilePath());
    const QRegularExpression pattern("^org_halcyra_Halcyra_temp_([0-9a-f]+)_([0-9a-f]+)_([0-9a-f]+)\\.html$");
    const auto match = pattern.match(QFileInfo(first).fileName());
    const auto secondMatch = pattern.match(QFileInfo(second).fileName());
    ASSERT_TRUE(match.hasMatch() && secondMatch.hasMatch()) << first.toStdString();
    EXPECT_LT(match.captured(2).toUInt(nullptr, 16), 1000000u);
    EXPECT_EQ(secondMatch.captured(3).toUInt(nullptr, 16), match.captured(3).toUInt(nullptr, 16) + 1);
    EXPECT_TRUE(QFileInfo(third).fileName().startsWith("example_org_temp_"));
    EXPECT_TRUE(third.endsWith(".pdf"));
    EXPECT_FALSE(QFileInfo::exists(first));
}

} // namespace
