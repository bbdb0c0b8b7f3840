#include "DMMSProjectXMLOutline.h"

#include "DMImportReport.h"
#include "DMLocalizedString.h"
#include "DMMSProjectXMLValues.h"

#include <QStringList>

#include <algorithm>

namespace {

// Last part of the number given to a task whose own number was unusable: it sorts after every
// real sibling, in file order.
constexpr qint64 kPlacedTaskNumber = qint64(1) << 40;

} // namespace

bool DMMSProjectXMLOutline::keyForTask(const QString &number, const QString &level, const QString &uid,
                                       const QString &label, DMImportReport &report, Key *key)
{
    key->clear();
    const QString trimmed = number.trimmed();
    if (!trimmed.isNull() && MSXMLLenientInteger(trimmed) != 0)
        return keyForNumber(trimmed, uid, label, report, key);
    if (MSXMLLenientInteger(level) >= 1)
        return keyForLevel(level, uid, label, report, key);
    if (number.isNull() && level.isNull())
        report.skip(QStringLiteral("%1: task UID=%2 has no outline number or level and is skipped.").arg(m_logPrefix, uid),
                    DMLocalizedString("%1 has no outline number or level and is skipped.").arg(label));
    return false;
}

bool DMMSProjectXMLOutline::keyForNumber(const QString &number, const QString &uid, const QString &label,
                                         DMImportReport &report, Key *key)
{
    bool sound = true;
    for (QStringView part : QStringView(number).split(u'.')) {
        bool ok = false;
        const qint64 value = part.toLongLong(&ok);
        if (!ok || value < 1 || value >= kPlacedTaskNumber || key->size() >= size_t(kMaximumLevel)) {
            sound = false;
            break;
        }
        key->push_back(value);
    }
    if (!sound) {
        if (key->size() >= size_t(kMaximumLevel))
            key->resize(kMaximumLevel - 1);
        key->push_back(kPlacedTaskNumber + m_placedTasks++);
        const QString shown = number.size() > 80 ? number.left(80) + QStringLiteral("...") : number;
        report.repair(QStringLiteral("%1: task UID=%2 has the unusable OutlineNumber \"%3\"; it is placed at level %4.")
                          .arg(m_logPrefix, uid, shown)
                          .arg(key->size()),
                      DMLocalizedString("%1 has the unusable outline number \"%2\"; it is placed at level %3.")
                          .arg(label, shown, QString::number(key->size())));
    }
    // Tasks that give only a level continue from this number.
    std::fill(m_counters.begin(), m_counters.begin() + m_countersInUse, 0);
    m_countersInUse = int(key->size());
    for (int i = 0; i < m_countersInUse; ++i)
        m_counters[size_t(i)] = key->at(size_t(i)) >= kPlacedTaskNumber ? 0 : key->at(size_t(i));
    return true;
}

bool DMMSProjectXMLOutline::keyForLevel(const QString &levelText, const QString &uid, const QString &label,
                                        DMImportReport &report, Key *key)
{
    int level = MSXMLLenientInteger(levelText);
    int deepest = 1; // the deepest level whose parents all exist
    while (deepest < kMaximumLevel && m_counters[size_t(deepest - 1)] != 0)
        ++deepest;
    if (level > deepest) {
        report.repair(QStringLiteral("%1: task UID=%2 has the OutlineLevel %3 below no task of the level above; it is placed at level %4.")
                          .arg(m_logPrefix, uid)
                          .arg(level)
                          .arg(deepest),
                      DMLocalizedString("%1 has the outline level %2 below no task of the level above; it is placed at level %3.")
                          .arg(label, QString::number(level), QString::number(deepest)));
        level = deepest;
    }
    for (int i = level; i < m_countersInUse; ++i)
        m_counters[size_t(i)] = 0;
    ++m_counters[size_t(level - 1)];
    m_countersInUse = std::max(m_countersInUse, level);
    key->assign(m_counters.begin(), m_counters.begin() + level);
    return true;
}

QString DMMSProjectXMLOutline::text(const Key &key)
{
    QStringList parts;
    for (size_t i = 0; i < key.size() && i < 12; ++i)
        parts.append(key[i] >= kPlacedTaskNumber ? QStringLiteral("?") : QString::number(key[i]));
    QString text = parts.join(QLatin1Char('.'));
    if (key.size() > 12)
        text += QStringLiteral("... (%1 levels)").arg(key.size());
    return text;
}

bool DMMSProjectXMLOutline::isAncestor(const Key &ancestor, const Key &key)
{
    return ancestor.size() < key.size() && std::equal(ancestor.begin(), ancestor.end(), key.begin());
}
