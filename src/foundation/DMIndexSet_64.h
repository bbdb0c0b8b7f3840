#pragma once

#include <QString>

#include <cstdint>
#include <vector>

// Sets of signed 64-bit indexes, stored as sorted, disjoint, non-adjacent ranges so that a year
// of working seconds costs one entry per working day.
class DMIndexSet_64
{
public:
    struct Range
    {
        qint64 location = 0;
        qint64 length = 0;
        qint64 last() const { return location + (length - 1); } // no overflow for a range ending at INT64_MAX
        bool operator==(const Range &) const = default;
    };
    static constexpr qint64 NotFound = INT64_MIN;

    DMIndexSet_64() = default;
    explicit DMIndexSet_64(qint64 index);
    explicit DMIndexSet_64(Range range);

    bool isEmpty() const { return m_ranges.empty(); }
    qint64 count() const;                            // number of indexes
    qint64 firstIndex() const;                       // NotFound when empty
    qint64 lastIndex() const;                        // NotFound when empty
    bool containsIndex(qint64 index) const;          // O(log ranges)
    bool containsIndexesInRange(Range range) const;  // every index of the range
    bool intersectsIndexesInRange(Range range) const;
    qint64 countOfIndexesInRange(Range range) const;
    qint64 indexGreaterThanOrEqualToIndex(qint64 index) const; // NotFound when none
    qint64 indexLessThanOrEqualToIndex(qint64 index) const;    // NotFound when none
    // Sorted and disjoint; two ranges touch only where a run of more than INT64_MAX indexes
    // had to be cut.
    const std::vector<Range> &ranges() const { return m_ranges; }

    bool operator==(const DMIndexSet_64 &other) const { return m_ranges == other.m_ranges; }

    // "1-5,7,9-12" ("-5--3,2" with negative indexes): the range-string form used in files.
    // fromRangeString returns false (and leaves the set empty) on malformed text.
    QString rangeString() const;
    static bool fromRangeString(const QString &text, DMIndexSet_64 *out);

protected:
    std::vector<Range> m_ranges;
};

class DMMutableIndexSet_64 : public DMIndexSet_64
{
public:
    using DMIndexSet_64::DMIndexSet_64;

    void addIndex(qint64 index);
    void addIndexesInRange(Range range);   // appending after the last range is O(1)
    void addIndexes(const DMIndexSet_64 &other);
    void removeIndex(qint64 index);
    void removeIndexesInRange(Range range);
    void removeIndexes(const DMIndexSet_64 &other);
    void removeAllIndexes();
    // Moves every index >= index by delta. A negative delta first drops the indexes from
    // index + delta to index - 1, which the moved ones take over. Indexes moved past either
    // end of the 64-bit range are dropped.
    void shiftIndexesStartingAtIndex(qint64 index, qint64 delta);
};
