#include "DMTimelineColumnCache.h"

#include "DMLocalizedString.h"
#include "DMProjectViewDateGrid.h"

#include <QDate>
#include <QRegularExpression>

#include <algorithm>

namespace {

// A span longer than this (about 270 years of days) is cut: the header cannot show it usefully
// and a corrupt span must not make a list of millions of titles.
constexpr int kMaxDayColumns = 100000;

QDate qDate(const DMDate &date)
{
    return QDate(date.year(), date.month(), date.day());
}

DMDate dayAt(qint64 julianDay)
{
    return DMDate::dateWithJulianDay(julianDay, 0);
}

int daysSinceWeekBegin(qint64 julianDay, int firstDayOfWeek)
{
    return (dayAt(julianDay).dayOfWeek() - firstDayOfWeek + 7) % 7;
}

// Julian day on which week 1 of the year begins.
qint64 firstWeekBegin(qint64 year, int firstDayOfWeek, int minimumDays)
{
    qint64 january1 = 0;
    DMDate::julianDayForYearMonthDay(year, 1, 1, &january1);
    const int offset = daysSinceWeekBegin(january1, firstDayOfWeek);
    const qint64 weekBegin = january1 - offset;
    return 7 - offset >= minimumDays ? weekBegin : weekBegin + 7;
}

// The locale's long date without its weekday ("MMMM d, yyyy" from "dddd, MMMM d, yyyy").
QString longDateFormatWithoutWeekday(const QLocale &locale)
{
    QString format = locale.dateFormat(QLocale::LongFormat);
    static const QRegularExpression weekday(QStringLiteral("d{3,4}[,\\s]*"));
    static const QRegularExpression trailing(QStringLiteral("[,\\s]+$"));
    format.remove(weekday);
    format.remove(trailing);
    return format.trimmed();
}

} // namespace

bool DMTimelineColumnCacheInputs::operator==(const DMTimelineColumnCacheInputs &other) const
{
    return mode == other.mode && firstDay == other.firstDay && dayCount == other.dayCount
        && dayViewBeginMinute == other.dayViewBeginMinute && dayViewEndMinute == other.dayViewEndMinute
        && firstDayOfWeek == other.firstDayOfWeek && weekFormat == other.weekFormat && locale == other.locale;
}

void DMTimelineColumnCache::rebuild(const DMTimelineColumnCacheInputs &inputs)
{
    if (m_built && inputs == m_inputs)
        return;
    m_inputs = inputs;
    m_built = true;
    m_titles.clear();
    m_weekGroups.clear();
    m_monthGroups.clear();
    if (m_inputs.firstDay.isNull())
        return;
    m_inputs.firstDay = dayAt(m_inputs.firstDay.julianDay());
    m_inputs.firstDayOfWeek = ((m_inputs.firstDayOfWeek % 7) + 7) % 7;
    if (m_inputs.mode == kDMTimelineViewMode_Day)
        rebuildDayScale();
    else
        rebuildDayColumns();
}

void DMTimelineColumnCache::rebuildDayScale()
{
    const int count = DMProjectViewDateGrid::quarterHourCount(m_inputs.dayViewBeginMinute, m_inputs.dayViewEndMinute);
    const DMDate &day = m_inputs.firstDay;
    const QLocale &locale = m_inputs.locale;
    const QDate date = qDate(day);
    const QString longDate = locale.toString(date, longDateFormatWithoutWeekday(locale));
    const QString dayTitle = QStringLiteral("%1, %2").arg(locale.toString(date, QStringLiteral("ddd")), longDate);
    auto week = weekGroup(day, 0, count - 1);
    auto month = std::make_shared<OCVColumnGroup>(capitalized(dayTitle, locale), 0, count - 1);
    month->setShorterTitles({capitalized(longDate, locale), locale.toString(date, QLocale::ShortFormat)});
    for (int i = 0; i < count; ++i) {
        m_titles.append(QString());
        m_weekGroups.append(week);
        m_monthGroups.append(month);
    }
}

void DMTimelineColumnCache::rebuildDayColumns()
{
    const int count = std::clamp(m_inputs.dayCount, 0, kMaxDayColumns);
    const QLocale &locale = m_inputs.locale;
    const qint64 first = m_inputs.firstDay.julianDay();
    std::shared_ptr<OCVColumnGroup> week;
    std::shared_ptr<OCVColumnGroup> month;
    qint64 weekBegin = 0;
    int monthKey = 0;
    for (int i = 0; i < count; ++i) {
        const DMDate day = dayAt(first + i);
        const QDate date = qDate(day);
        m_titles.append(m_inputs.mode == kDMTimelineViewMode_Week ? locale.toString(date, QStringLiteral("ddd dd"))
                                                                  : QString::number(day.day()));

        const qint64 thisWeekBegin = beginningOfWeek(day, m_inputs.firstDayOfWeek).julianDay();
        if (!week || thisWeekBegin != weekBegin) {
            weekBegin = thisWeekBegin;
            const int end = int(std::min<qint64>(count - 1, i + (thisWeekBegin + 6 - day.julianDay())));
            week = weekGroup(day, i, end);
        }
        m_weekGroups.append(week);

        const int thisMonthKey = day.year() * 12 + day.month();
        if (!month || thisMonthKey != monthKey) {
            monthKey = thisMonthKey;
            const int end = std::min(count - 1, i + DMDate::daysInMonth(day.year(), day.month()) - day.day());
            month = std::make_shared<OCVColumnGroup>(capitalized(locale.toString(date, QStringLiteral("MMM yyyy")), locale),
                                                     i, end);
            month->setShorterTitles({capitalized(locale.toString(date, QStringLiteral("MMM")), locale)});
        }
        m_monthGroups.append(month);
    }
}

std::shared_ptr<OCVColumnGroup> DMTimelineColumnCache::weekGroup(const DMDate &date, int beginColumn, int endColumn) const
{
    const QString number = m_inputs.locale.toString(weekOfYear(date, m_inputs.firstDayOfWeek, m_inputs.weekFormat));
    auto group = std::make_shared<OCVColumnGroup>(DMLocalizedString("Week %d").replace(QStringLiteral("%d"), number),
                                                  beginColumn, endColumn);
    group->setShorterTitles({number});
    return group;
}

QString DMTimelineColumnCache::titleForColumn(int column) const
{
    return column >= 0 && column < m_titles.size() ? m_titles.at(column) : QString();
}

std::shared_ptr<OCVColumnGroup> DMTimelineColumnCache::weekGroupForColumn(int column) const
{
    return column >= 0 && column < m_weekGroups.size() ? m_weekGroups.at(column) : nullptr;
}

std::shared_ptr<OCVColumnGroup> DMTimelineColumnCache::monthGroupForColumn(int column) const
{
    return column >= 0 && column < m_monthGroups.size() ? m_monthGroups.at(column) : nullptr;
}

int DMTimelineColumnCache::columnForDate(const DMDate &date) const
{
    if (date.isNull() || m_inputs.firstDay.isNull())
        return -1;
    if (m_inputs.mode == kDMTimelineViewMode_Day) {
        if (date.julianDay() != m_inputs.firstDay.julianDay())
            return -1;
        int begin = m_inputs.dayViewBeginMinute;
        if (m_inputs.dayViewEndMinute <= begin)
            begin = 0;
        const int minute = date.secondOfDay() / 60;
        const int column = minute >= begin ? (minute - begin) / 15 : -1;
        return column < columnCount() ? column : -1;
    }
    const qint64 column = date.julianDay() - m_inputs.firstDay.julianDay();
    return column >= 0 && column < columnCount() ? int(column) : -1;
}

DMDate DMTimelineColumnCache::dayForColumn(int column) const
{
    if (column < 0 || column >= columnCount())
        return DMDate();
    return m_inputs.mode == kDMTimelineViewMode_Day ? m_inputs.firstDay : dayAt(m_inputs.firstDay.julianDay() + column);
}


int DMTimelineColumnCache::minimumDaysInFirstWeek(int weekFormat)
{
    switch (weekFormat) {
    case 1:
        return 1;
    case 2:
        return 7;
    default:
        return 4;
    }
}

int DMTimelineColumnCache::weekOfYear(const DMDate &date, int firstDayOfWeek, int weekFormat)
{
    if (date.isNull())
        return 0;
    firstDayOfWeek = ((firstDayOfWeek % 7) + 7) % 7;
    const int minimumDays = minimumDaysInFirstWeek(weekFormat);
    const qint64 weekBegin = date.julianDay() - daysSinceWeekBegin(date.julianDay(), firstDayOfWeek);
    // A week belongs to the year of its last day when it is that year's first week, else to
    // the year before.
    const qint64 year = dayAt(weekBegin + 6).year();
    qint64 first = firstWeekBegin(year, firstDayOfWeek, minimumDays);
    if (weekBegin < first)
        first = firstWeekBegin(year - 1, firstDayOfWeek, minimumDays);
    return int((weekBegin - first) / 7 + 1);
}

DMDate DMTimelineColumnCache::beginningOfWeek(const DMDate &date, int firstDayOfWeek)
{
    if (date.isNull())
        return DMDate();
    firstDayOfWeek = ((firstDayOfWeek % 7) + 7) % 7;
    return dayAt(date.julianDay() - daysSinceWeekBegin(date.julianDay(), firstDayOfWeek));
}

QString DMTimelineColumnCache::capitalized(const QString &text, const QLocale &locale)
{
    QString result;
    result.reserve(text.size());
    qsizetype wordBegin = -1;
    auto flush = [&](qsizetype end) {
        if (wordBegin < 0)
            return;
        const QString word = text.mid(wordBegin, end - wordBegin);
        const qsizetype firstLength = word.at(0).isHighSurrogate() && word.size() > 1 ? 2 : 1;
        result += locale.toUpper(word.left(firstLength)) + locale.toLower(word.mid(firstLength));
        wordBegin = -1;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i).isSpace()) {
            flush(i);
            result += text.at(i);
        } else if (wordBegin < 0) {
            wordBegin = i;
        }
    }
    flush(text.size());
    return result;
}
