#include "DMDaysOffEntry.h"

#include "DMDictionaryAccess.h"
#include "DMProjectKeys.h"
#include "DMWorkingCalendar.h"

#include <algorithm>
#include <climits>

const QString &DMDaysOffEntry::kIndexKey = kDMDayOffIndex;
const QString &DMDaysOffEntry::kEndIndexKey = kDMDayOffEndIndex;
const QString &DMDaysOffEntry::kDescriptionKey = kDMDayOffDescription;

namespace {

constexpr int kDatedKind = 3;
constexpr int kYearlyKind = 2;
// A yearly day that the reference year lacks (29 February) turns up within two leap cycles.
constexpr int kYearsSearched = 8;

QDate dateOfIndex(qint64 index)
{
    if (!DMProject_NonWorkingDayIndexIsValid(index))
        return QDate();
    int year = 0;
    int month = 0;
    int day = 0;
    DMProject_NonWorkingDayFromIndex(index, &year, &month, &day);
    return QDate(year, month, day);
}

qint64 datedIndex(const QDate &date)
{
    return DMProject_NonWorkingDayIndexForYearMonthDay(date.year(), date.month(), date.day());
}

qint64 yearlyIndex(const QDate &date)
{
    return DMProject_NonWorkingDayIndexForMonthDay(date.month(), date.day());
}

// Integers only: a file's real, boolean or text where an index belongs is damage, not a day.
bool integerValue(const QVariant &value, qint64 *out)
{
    switch (value.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
        *out = value.toLongLong();
        return true;
    case QMetaType::ULongLong:
        if (value.toULongLong() > quint64(LLONG_MAX))
            return false;
        *out = qint64(value.toULongLong());
        return true;
    default:
        return false;
    }
}

// A control character other than tab and line breaks would make every later save of the
// project fail: XML property lists cannot carry it.
bool isStorableText(const QString &text)
{
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) {
        return c.unicode() >= 0x20 || c == u'\t' || c == u'\n' || c == u'\r';
    });
}

} // namespace

DMDaysOffEntry DMDaysOffEntry::entryForDay(const QDate &day)
{
    const qint64 index = datedIndex(day);
    return DMDaysOffEntry(QVariantMap{{kIndexKey, index}, {kEndIndexKey, index}, {kDescriptionKey, QString()}});
}

std::optional<DMDaysOffEntry> DMDaysOffEntry::validatedEntry(const QVariant &value)
{
    if (value.metaType().id() != QMetaType::QVariantMap)
        return std::nullopt;
    const QVariantMap dictionary = value.toMap();
    qint64 index = 0;
    if (!integerValue(dictionary.value(kIndexKey), &index) || !DMProject_NonWorkingDayIndexIsValid(index))
        return std::nullopt;
    const int kind = DMProject_NonWorkingDayKindForIndex(index);
    QVariantMap sound{{kIndexKey, index}};
    if (dictionary.contains(kEndIndexKey)) {
        qint64 end = 0;
        if (!integerValue(dictionary.value(kEndIndexKey), &end))
            return std::nullopt;
        if (end != 0) {
            if (!DMProject_NonWorkingDayIndexIsValid(end) || DMProject_NonWorkingDayKindForIndex(end) != kind)
                return std::nullopt;
            // A yearly end before its start runs over New Year; a dated one is reversed.
            if (kind == kDatedKind && end < index)
                return std::nullopt;
        }
        sound.insert(kEndIndexKey, end);
    }
    if (dictionary.contains(kDescriptionKey)) {
        if (dictionary.value(kDescriptionKey).metaType().id() != QMetaType::QString
            || !isStorableText(dictionary.value(kDescriptionKey).toString()))
            return std::nullopt;
        sound.insert(kDescriptionKey, dictionary.value(kDescriptionKey));
    }
    // The model counts a year 0, which the table's dates do not have.
    const DMDaysOffEntry entry(sound);
    if (!entry.firstDate().isValid())
        return std::nullopt;
    return entry;
}

QDate DMDaysOffEntry::yearlyDate(int month, int day)
{
    return dateOfIndex(DMProject_NonWorkingDayIndexForMonthDay(month, day));
}

qint64 DMDaysOffEntry::index() const
{
    return longLongForKey(m_dictionary, kIndexKey);
}

qint64 DMDaysOffEntry::endIndex() const
{
    const qint64 end = longLongForKey(m_dictionary, kEndIndexKey);
    return end == 0 ? index() : end;
}

QString DMDaysOffEntry::description() const
{
    return stringForKey(m_dictionary, kDescriptionKey);
}

bool DMDaysOffEntry::isYearly() const
{
    return DMProject_NonWorkingDayKindForIndex(index()) == kYearlyKind;
}

QDate DMDaysOffEntry::firstDate() const
{
    return dateOfIndex(index());
}

QDate DMDaysOffEntry::lastDate() const
{
    const QDate first = firstDate();
    const qint64 end = endIndex();
    // An end of another kind is read as the first day, as the working calendar reads it.
    if (!first.isValid() || DMProject_NonWorkingDayKindForIndex(end) != DMProject_NonWorkingDayKindForIndex(index()))
        return first;
    QDate last = dateOfIndex(end);
    if (!last.isValid())
        return first;
    if (isYearly() && end < index()) {
        const int month = last.month();
        const int day = last.day();
        int year = first.year() + 1;
        while (!QDate::isValid(year, month, day))
            ++year;
        last = QDate(year, month, day);
    }
    return last;
}

void DMDaysOffEntry::setFirstDate(const QDate &date)
{
    if (!date.isValid())
        return;
    if (isYearly()) {
        m_dictionary.insert(kIndexKey, yearlyIndex(date));
        return;
    }
    const qint64 index = datedIndex(date);
    m_dictionary.insert(kIndexKey, index);
    if (index > longLongForKey(m_dictionary, kEndIndexKey))
        m_dictionary.insert(kEndIndexKey, index);
}

bool DMDaysOffEntry::setLastDate(const QDate &date)
{
    if (!date.isValid())
        return false;
    if (isYearly()) {
        m_dictionary.insert(kEndIndexKey, yearlyIndex(date));
        return true;
    }
    const qint64 end = datedIndex(date);
    if (end < index())
        return false;
    m_dictionary.insert(kEndIndexKey, end);
    return true;
}

void DMDaysOffEntry::setDescription(const QString &description)
{
    m_dictionary.insert(kDescriptionKey, description);
}

void DMDaysOffEntry::setRepeats(bool repeats, int referenceYear)
{
    const QDate first = firstDate();
    const QDate last = lastDate();
    if (!first.isValid())
        return;
    if (repeats) {
        m_dictionary.insert(kIndexKey, yearlyIndex(first));
        m_dictionary.insert(kEndIndexKey, yearlyIndex(last));
        return;
    }
    if (!isYearly()) {
        m_dictionary.insert(kIndexKey, datedIndex(first));
        m_dictionary.insert(kEndIndexKey, datedIndex(last));
        return;
    }
    // The placeholder year means nothing to the user: the days are placed from the reference
    // year on, in the first year that has both (a 29 February waits for a leap year).
    const bool overNewYear = last.year() > first.year();
    for (int year = referenceYear; year < referenceYear + kYearsSearched; ++year) {
        const QDate newFirst(year, first.month(), first.day());
        const QDate newLast(overNewYear ? year + 1 : year, last.month(), last.day());
        if (newFirst.isValid() && newLast.isValid()) {
            m_dictionary.insert(kIndexKey, datedIndex(newFirst));
            m_dictionary.insert(kEndIndexKey, datedIndex(newLast));
            return;
        }
    }
}
