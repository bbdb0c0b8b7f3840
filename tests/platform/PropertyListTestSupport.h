#pragma once

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QTime>
#include <QVariant>
#include <QStringList>

#include <gtest/gtest.h>

#include <limits>

namespace halcyra::test {

inline QDateTime utc(int year, int month, int day, int hour = 0, int minute = 0, int second = 0, int msec = 0)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second, msec), Qt::UTC);
}

// A value written out with the type of every part, so that an integer that comes back as a
// double, or a date in local time, differs even where QVariant's operator== would forgive it.
inline QString describe(const QVariant &value)
{
    QStringList parts;
    switch (value.metaType().id()) {
    case QMetaType::QVariantMap: {
        const QVariantMap map = value.toMap();
        for (auto it = map.constBegin(); it != map.constEnd(); ++it)
            parts.append(it.key() + QStringLiteral(": ") + describe(it.value()));
        return QStringLiteral("{") + parts.join(QStringLiteral(", ")) + QStringLiteral("}");
    }
    case QMetaType::QVariantList:
        for (const QVariant &item : value.toList())
            parts.append(describe(item));
        return QStringLiteral("[") + parts.join(QStringLiteral(", ")) + QStringLiteral("]");
    case QMetaType::QByteArray:
        return QStringLiteral("data ") + QString::fromLatin1(value.toByteArray().toHex());
    case QMetaType::QDateTime:
        return value.toDateTime().toString(Qt::ISODateWithMs) + (value.toDateTime().timeSpec() == Qt::UTC ? "" : " local");
    case QMetaType::Double:
        return QStringLiteral("double ") + QString::number(value.toDouble(), 'g', 17);
    default:
        return QString::fromLatin1(value.typeName()) + QLatin1Char(' ') + value.toString();
    }
}

inline ::testing::AssertionResult sameVariant(const QVariant &actual, const QVariant &expected)
{
    const QString a = describe(actual), e = describe(expected);
    if (a == e)
        return ::testing::AssertionSuccess();
    // Of a large value, the stretch around the first difference.
    constexpr qsizetype context = 400;
    qsizetype from = 0;
    if (a.size() > 4 * context || e.size() > 4 * context) {
        while (from < a.size() && from < e.size() && a.at(from) == e.at(from))
            ++from;
        from = qMax<qsizetype>(0, from - context);
    }
    const auto shown = [from](const QString &text) {
        return ((from > 0 ? QStringLiteral("...") : QString()) + text.mid(from, 4 * context)).toStdString();
    };
    return ::testing::AssertionFailure() << shown(a) << "\ninstead of\n" << shown(e);
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
