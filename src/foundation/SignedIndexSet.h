#pragma once

#include "DMIndexSet_64.h"

#include <QList>

// An index set of 32-bit integers, negative ones included, over a 64-bit index set.
class SignedIndexSet
{
public:
    static constexpr qint64 NotFound = DMIndexSet_64::NotFound;

    void addIndex(int index) { m_set.addIndex(index); }
    void removeIndex(int index) { m_set.removeIndex(index); }
    void removeAllIndexes() { m_set.removeAllIndexes(); }
    bool containsIndex(int index) const { return m_set.containsIndex(index); }
    bool isEmpty() const { return m_set.isEmpty(); }
    qint64 count() const { return m_set.count(); }
    qint64 firstIndex() const { return m_set.firstIndex(); } // NotFound when empty
    qint64 lastIndex() const { return m_set.lastIndex(); }   // NotFound when empty
    QList<int> indexes() const;                              // ascending
    const DMIndexSet_64 &indexSet() const { return m_set; }

    bool operator==(const SignedIndexSet &other) const { return m_set == other.m_set; }

    QString rangeString() const { return m_set.rangeString(); }
    // False (and an empty set) on malformed text or an index outside the 32-bit range.
    static bool fromRangeString(const QString &text, SignedIndexSet *out);

private:
    DMMutableIndexSet_64 m_set;
};
