#pragma once

#include <QDate>
#include <QString>
#include <QVariantMap>

#include <optional>

// One entry of the project's days off (kDMProject_Settings_DaysOff): a dictionary with the first
// day's index under "kDMDayOffIndex", the last day's under "kDMDayOffEndIndex" (absent or 0: the
// first day) and "kDMDayOffDescription". A dated entry names calendar days; a yearly entry names
// a month and day of every year, and runs over New Year when its end comes before its start.
// Edits change this copy only; other keys of the dictionary are kept.
class DMDaysOffEntry
{
public:
    // The working calendar's keys of an entry.
    static const QString &kIndexKey;
    static const QString &kEndIndexKey;
    static const QString &kDescriptionKey;

    explicit DMDaysOffEntry(const QVariantMap &dictionary = QVariantMap()) : m_dictionary(dictionary) {}
    // A dated single day with an empty description.
    static DMDaysOffEntry entryForDay(const QDate &day);
    // The entry a days-off file holds, when it is sound: a dictionary whose indexes are integers
    // naming days that exist, both of one kind, a dated range not ending before it starts, and a
    // description that is text a property list can store when present. The result keeps the
    // three keys only.
    static std::optional<DMDaysOffEntry> validatedEntry(const QVariant &value);
    // The date standing for a yearly month and day: in the model's placeholder year, a leap one.
    static QDate yearlyDate(int month, int day);

    const QVariantMap &dictionary() const { return m_dictionary; }
    qint64 index() const;
    qint64 endIndex() const; // the first day's index when none is stored
    QString description() const;
    bool isYearly() const;

    // The first and last day as dates, invalid when the index names no day. A yearly entry is
    // shown in the placeholder year, its last day in the next year where the range runs over New
    // Year (or the first after it that has the day, for a 29 February).
    QDate firstDate() const;
    QDate lastDate() const;

    // Edits of the table. Only the month and day of a yearly entry's dates count.
    // The first day; a dated entry's end moves with it when the new first day is after the end.
    void setFirstDate(const QDate &date);
    // The last day; false, with nothing changed, for a dated end before the first day.
    bool setLastDate(const QDate &date);
    void setDescription(const QString &description);
    // On: the month and day of both ends become yearly. Off: the entry becomes dated, in the
    // first year from referenceYear on that has both days.
    void setRepeats(bool repeats, int referenceYear);

private:
    QVariantMap m_dictionary;
};
