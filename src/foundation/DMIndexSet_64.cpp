#include "DMIndexSet_64.h"

#include <QList>

#include <algorithm>
#include <array>

namespace {

// Bounds arithmetic runs in 128 bits so that "last + 1" and "first - 1" never overflow at the
// limits of qint64.
__extension__ typedef __int128 Wide;
using Range = DMIndexSet_64::Range;
using Ranges = std::vector<Range>;

constexpr Wide kMin = INT64_MIN;
constexpr Wide kMax = INT64_MAX;

Wide lastOf(const Range &r)
{
    return Wide(r.location) + r.length - 1;
}

// The inclusive bounds of a range, its end clipped at INT64_MAX; false for an empty range.
bool boundsOf(const Range &r, Wide *first, Wide *last)
{
    if (r.length <= 0)
        return false;
    *first = r.location;
    *last = std::min(lastOf(r), kMax);
    return true;
}

qint64 saturated(Wide value)
{
    return qint64(std::clamp(value, kMin, kMax));
}

// First range whose last index is >= index.
Ranges::const_iterator firstEndingAtOrAfter(const Ranges &v, Wide index)
{
    return std::partition_point(v.begin(), v.end(), [index](const Range &r) { return lastOf(r) < index; });
}

// A run of consecutive indexes as ranges. A run of more than INT64_MAX indexes (only possible
// across zero) does not fit one Range, so it is cut into maximal pieces from its start; the cut
// pieces are the only adjacent ranges the set ever holds.
struct Pieces
{
    std::array<Range, 6> items;
    int size = 0;

    void appendRun(Wide first, Wide last)
    {
        while (first <= last) {
            const qint64 length = saturated(last - first + 1);
            items[size++] = Range{qint64(first), length};
            first += length;
        }
    }
};

// Replaces the ranges [i, j) of v by the given runs (sorted, disjoint, not touching each other,
// within [v[i-1].last + 1, v[j].location - 1]). Neighbours that touch a run are merged into it
// so that cut pieces are recut from the run's start.
void replaceRegion(Ranges &v, size_t i, size_t j, const Wide (*runs)[2], int runCount)
{
    Wide first[2], last[2];
    for (int k = 0; k < runCount; ++k) {
        first[k] = runs[k][0];
        last[k] = runs[k][1];
    }
    if (runCount > 0) {
        while (i > 0 && lastOf(v[i - 1]) + 1 == first[0])
            first[0] = v[--i].location;
        while (j < v.size() && Wide(v[j].location) == last[runCount - 1] + 1)
            last[runCount - 1] = lastOf(v[j++]);
    }
    Pieces pieces;
    for (int k = 0; k < runCount; ++k)
        pieces.appendRun(first[k], last[k]);

    const size_t old = j - i;
    const size_t common = std::min<size_t>(old, pieces.size);
    std::copy_n(pieces.items.begin(), common, v.begin() + i);
    if (old > common)
        v.erase(v.begin() + i + common, v.begin() + j);
    else if (size_t(pieces.size) > common)
        v.insert(v.begin() + i + common, pieces.items.begin() + common, pieces.items.begin() + pieces.size);
}

void addSpan(Ranges &v, Wide first, Wide last)
{
    if (first > last)
        return;
    // Appending after the last range: the common case when a set is built in order.
    if (v.empty() || first > lastOf(v.back()) + 1) {
        Pieces pieces;
        pieces.appendRun(first, last);
        v.insert(v.end(), pieces.items.begin(), pieces.items.begin() + pieces.size);
        return;
    }
    // Extending the last range in place, when the result still fits one range.
    Range &back = v.back();
    if (first >= back.location && last - back.location < kMax) {
        back.length = qint64(std::max(last, lastOf(back)) - back.location + 1);
        return;
    }
    // Ranges overlapping or touching [first, last].
    const auto begin = firstEndingAtOrAfter(v, first - 1);
    const auto end = std::partition_point(begin, v.cend(), [last](const Range &r) { return Wide(r.location) <= last + 1; });
    Wide run[1][2] = {{first, last}};
    if (begin != end) {
        run[0][0] = std::min(first, Wide(begin->location));
        run[0][1] = std::max(last, lastOf(*(end - 1)));
    }
    replaceRegion(v, begin - v.cbegin(), end - v.cbegin(), run, 1);
}

void removeSpan(Ranges &v, Wide first, Wide last)
{
    if (first > last || v.empty())
        return;
    const auto begin = firstEndingAtOrAfter(v, first);
    const auto end = std::partition_point(begin, v.cend(), [last](const Range &r) { return Wide(r.location) <= last; });
    if (begin == end)
        return;
    Wide runs[2][2];
    int count = 0;
    if (Wide(begin->location) < first)
        runs[count][0] = begin->location, runs[count++][1] = first - 1;
    if (lastOf(*(end - 1)) > last)
        runs[count][0] = last + 1, runs[count++][1] = lastOf(*(end - 1));
    replaceRegion(v, begin - v.cbegin(), end - v.cbegin(), runs, count);
}

void addRange(Ranges &v, const Range &r)
{
    Wide first, last;
    if (boundsOf(r, &first, &last))
        addSpan(v, first, last);
}

// Reads an optionally negative decimal number at pos; false on no digits or overflow.
bool parseNumber(QStringView text, qsizetype *pos, qint64 *out)
{
    qsizetype p = *pos;
    const bool negative = p < text.size() && text[p] == u'-';
    if (negative)
        ++p;
    const qsizetype digitsStart = p;
    Wide value = 0;
    while (p < text.size() && text[p] >= u'0' && text[p] <= u'9') {
        value = value * 10 + (text[p].unicode() - u'0');
        if (value > kMax + 1)
            return false;
        ++p;
    }
    if (p == digitsStart)
        return false;
    if (negative)
        value = -value;
    if (value > kMax)
        return false;
    *out = qint64(value);
    *pos = p;
    return true;
}

} // namespace

DMIndexSet_64::DMIndexSet_64(qint64 index)
{
    m_ranges.push_back(Range{index, 1});
}

DMIndexSet_64::DMIndexSet_64(Range range)
{
    addRange(m_ranges, range);
}

qint64 DMIndexSet_64::count() const
{
    Wide total = 0;
    for (const Range &r : m_ranges)
        total += r.length;
    return saturated(total);
}

qint64 DMIndexSet_64::firstIndex() const
{
    return m_ranges.empty() ? NotFound : m_ranges.front().location;
}

qint64 DMIndexSet_64::lastIndex() const
{
    return m_ranges.empty() ? NotFound : m_ranges.back().last();
}

bool DMIndexSet_64::containsIndex(qint64 index) const
{
    const auto it = firstEndingAtOrAfter(m_ranges, index);
    return it != m_ranges.end() && it->location <= index;
}

bool DMIndexSet_64::containsIndexesInRange(Range range) const
{
    Wide first, last;
    if (!boundsOf(range, &first, &last))
        return false;
    const auto it = firstEndingAtOrAfter(m_ranges, first);
    if (it == m_ranges.end() || Wide(it->location) > first)
        return false;
    // Cut pieces of one run are adjacent, so follow them.
    Wide covered = lastOf(*it);
    for (auto next = it + 1; covered < last && next != m_ranges.end() && Wide(next->location) == covered + 1; ++next)
        covered = lastOf(*next);
    return covered >= last;
}

bool DMIndexSet_64::intersectsIndexesInRange(Range range) const
{
    Wide first, last;
    if (!boundsOf(range, &first, &last))
        return false;
    const auto it = firstEndingAtOrAfter(m_ranges, first);
    return it != m_ranges.end() && Wide(it->location) <= last;
}

qint64 DMIndexSet_64::countOfIndexesInRange(Range range) const
{
    Wide first, last;
    if (!boundsOf(range, &first, &last))
        return 0;
    Wide total = 0;
    for (auto it = firstEndingAtOrAfter(m_ranges, first); it != m_ranges.end() && Wide(it->location) <= last; ++it)
        total += std::min(lastOf(*it), last) - std::max(Wide(it->location), first) + 1;
    return saturated(total);
}

qint64 DMIndexSet_64::indexGreaterThanOrEqualToIndex(qint64 index) const
{
    const auto it = firstEndingAtOrAfter(m_ranges, index);
    if (it == m_ranges.end())
        return NotFound;
    return std::max(it->location, index);
}

qint64 DMIndexSet_64::indexLessThanOrEqualToIndex(qint64 index) const
{
    const auto it = std::partition_point(m_ranges.begin(), m_ranges.end(), [index](const Range &r) { return r.location <= index; });
    if (it == m_ranges.begin())
        return NotFound;
    return std::min((it - 1)->last(), index);
}

QString DMIndexSet_64::rangeString() const
{
    QString text;
    for (const Range &r : m_ranges) {
        if (!text.isEmpty())
            text += u',';
        text += QString::number(r.location);
        if (r.length > 1)
            text += u'-' + QString::number(r.last());
    }
    return text;
}

bool DMIndexSet_64::fromRangeString(const QString &text, DMIndexSet_64 *out)
{
    Ranges ranges;
    bool ok = true;
    if (!text.trimmed().isEmpty()) {
        for (QStringView token : QStringView(text).split(u',')) {
            token = token.trimmed();
            qsizetype pos = 0;
            qint64 first = 0;
            qint64 last = 0;
            ok = parseNumber(token, &pos, &first);
            last = first;
            if (ok && pos < token.size() && token[pos] == u'-') {
                ++pos;
                ok = parseNumber(token, &pos, &last);
            }
            ok = ok && pos == token.size() && first <= last;
            if (!ok)
                break;
            addSpan(ranges, first, last);
        }
    }
    if (!ok)
        ranges.clear();
    if (out)
        out->m_ranges = std::move(ranges);
    return ok;
}

void DMMutableIndexSet_64::addIndex(qint64 index)
{
    addSpan(m_ranges, index, index);
}

void DMMutableIndexSet_64::addIndexesInRange(Range range)
{
    addRange(m_ranges, range);
}

void DMMutableIndexSet_64::addIndexes(const DMIndexSet_64 &other)
{
    if (&other == this)
        return;
    for (const Range &r : other.ranges())
        addRange(m_ranges, r);
}

void DMMutableIndexSet_64::removeIndex(qint64 index)
{
    removeSpan(m_ranges, index, index);
}

void DMMutableIndexSet_64::removeIndexesInRange(Range range)
{
    Wide first, last;
    if (boundsOf(range, &first, &last))
        removeSpan(m_ranges, first, last);
}

void DMMutableIndexSet_64::removeIndexes(const DMIndexSet_64 &other)
{
    if (&other == this) {
        m_ranges.clear();
        return;
    }
    for (const Range &r : other.ranges())
        removeIndexesInRange(r);
}

void DMMutableIndexSet_64::removeAllIndexes()
{
    m_ranges.clear();
}

void DMMutableIndexSet_64::shiftIndexesStartingAtIndex(qint64 index, qint64 delta)
{
    if (delta == 0 || m_ranges.empty())
        return;
    // A downward shift overwrites the indexes between its target and its start.
    if (delta < 0)
        removeSpan(m_ranges, std::max(kMin, Wide(index) + delta), Wide(index) - 1);

    Ranges shifted;
    shifted.reserve(m_ranges.size() + 1);
    for (const Range &r : m_ranges) {
        Wide first = r.location;
        const Wide last = lastOf(r);
        if (first < index) {
            addSpan(shifted, first, std::min(last, Wide(index) - 1));
            first = index;
        }
        if (first <= last) // indexes moved past either limit are dropped
            addSpan(shifted, std::max(first + delta, kMin), std::min(last + delta, kMax));
    }
    m_ranges = std::move(shifted);
}
