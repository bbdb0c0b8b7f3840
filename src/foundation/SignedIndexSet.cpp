#include "SignedIndexSet.h"

#include <climits>

QList<int> SignedIndexSet::indexes() const
{
    QList<int> result;
    result.reserve(count());
    for (const DMIndexSet_64::Range &r : m_set.ranges()) {
        for (qint64 i = r.location; i <= r.last(); ++i)
            result.append(int(i));
    }
    return result;
}

bool SignedIndexSet::fromRangeString(const QString &text, SignedIndexSet *out)
{
    DMIndexSet_64 parsed;
    bool ok = DMIndexSet_64::fromRangeString(text, &parsed);
    if (ok && !parsed.isEmpty())
        ok = parsed.firstIndex() >= INT_MIN && parsed.lastIndex() <= INT_MAX;
    if (out) {
        out->m_set.removeAllIndexes();
        if (ok)
            out->m_set.addIndexes(parsed);
    }
    return ok;
}
