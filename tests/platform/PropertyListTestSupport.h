#pragma once

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QTime>
#include <QVariant>
#include <QVector>

#include <gtest/gtest.h>

#include <limits>

namespace halcyra::test {

inline QDateTime utc(int year, int month, int day, int hour = 0, int minute = 0, int second = 0, int msec = 0)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second, msec), Qt::UTC);
}

// Equal values of equal types, all the way down: an integer that comes back as a double, or a
// date in local time, is a fault even where QVariant's operator== would forgive it.
inline ::testing::AssertionResult sameVariant(const QVariant &actual, const QVariant &expected,
                                              const QString &path = QStringLiteral("root"))
{
    if (actual.metaType() != expected.metaType())
        return ::testing::AssertionFailure() << path.toStdString() << ": type " << actual.typeName() << " instead of "
                                             << expected.typeName();
    if (expected.metaType().id() == QMetaType::QVariantMap) {
        const QVariantMap a = actual.toMap();
        const QVariantMap e = expected.toMap();
        if (a.keys() != e.keys())
            return ::testing::AssertionFailure() << path.toStdString() << ": keys "
                                                 << a.keys().join(',').toStdString() << " instead of "
                                                 << e.keys().join(',').toStdString();
        for (auto it = e.constBegin(); it != e.constEnd(); ++it)
            if (auto result = sameVariant(a.value(it.key()), it.value(), path + '.' + it.key()); !result)
                return result;
        return ::testing::AssertionSuccess();
    }
    if (expected.metaType().id() == QMetaType::QVariantList) {
        const QVariantList a = actual.toList();
        const QVariantList e = expected.toList();
        if (a.size() != e.size())
            return ::testing::AssertionFailure() << path.toStdString() << ": " << a.size() << " items instead of "
                                                 << e.size();
        for (qsizetype i = 0; i < e.size(); ++i)
            if (auto result = sameVariant(a.at(i), e.at(i), path + '[' + QString::number(i) + ']'); !result)
                return result;
        return ::testing::AssertionSuccess();
    }
    if (expected.metaType().id() == QMetaType::QDateTime && actual.toDateTime().timeSpec() != Qt::UTC)
        return ::testing::AssertionFailure() << path.toStdString() << ": date not in UTC";
    if (expected.metaType().id() == QMetaType::Double && std::isnan(expected.toDouble()))
        return std::isnan(actual.toDouble()) ? ::testing::AssertionSuccess()
                                             : ::testing::AssertionFailure() << path.toStdString() << ": not NaN";
    if (actual != expected)
        return ::testing::AssertionFailure() << path.toStdString() << ": " << actual.toString().toStdString()
                                             << " instead of " << expected.toString().toStdString();
    return ::testing::AssertionSuccess();
}

// One value of every kind a property list carries, edges included: the integer extremes
// (libplist keeps negatives and large unsigned values in the same 64 bits), dates before the
// reference date and outside 32-bit seconds, text that needs escaping.
inline QVariantMap everyKindOfValue()
{
    return QVariantMap{
        {QStringLiteral("string"), QStringLiteral("Grüße & <tags> \"quoted\" ☺ 𝄞")},
        {QStringLiteral("empty string"), QString()},
        {QStringLiteral("integer"), QVariant(qint64(42))},
        {QStringLiteral("zero"), QVariant(qint64(0))},
        {QStringLiteral("negative"), QVariant(qint64(-5))},
        {QStringLiteral("int64 min"), QVariant(std::numeric_limits<qint64>::min())},
        {QStringLiteral("int64 max"), QVariant(std::numeric_limits<qint64>::max())},
        {QStringLiteral("uint64 max"), QVariant(std::numeric_limits<quint64>::max())},
        {QStringLiteral("real"), QVariant(3.25)},
        {QStringLiteral("negative real"), QVariant(-0.1)},
        {QStringLiteral("tiny real"), QVariant(1e-300)},
        {QStringLiteral("true"), QVariant(true)},
        {QStringLiteral("false"), QVariant(false)},
        {QStringLiteral("data"), QByteArray("\x00\x01\xff<data>&", 10)},
        {QStringLiteral("empty data"), QByteArray()},
        {QStringLiteral("date"), utc(2023, 5, 1, 8, 30, 15)},
        {QStringLiteral("before reference"), utc(1999, 12, 31, 23, 59, 59)},
        {QStringLiteral("early date"), utc(1850, 6, 15, 12)},
        {QStringLiteral("late date"), utc(2150, 1, 1)},
        {QStringLiteral("array"),
         QVariantList{QVariant(qint64(1)), QStringLiteral("two"), QVariantList{}, QVariantMap{}}},
        {QStringLiteral("nested"),
         QVariantMap{{QStringLiteral("a"), QVariantMap{{QStringLiteral("b"), QVariantList{QVariant(true)}}}}}},
        {QString(), QStringLiteral("empty key")},
    };
}

} // namespace halcyra::test
