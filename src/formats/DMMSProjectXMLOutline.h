#pragma once

#include <QString>

#include <vector>

class DMImportReport;

// The outline numbers of an MS Project XML file's tasks, as lists of parts ("2.1.3" is {2, 1,
// 3}), which sort into outline order ("1.2" before "1.10"). A task gives its OutlineNumber, or
// only its OutlineLevel, which the counters of the levels turn into a number. Levels are
// bounded: a malformed number, one deeper than kMaximumLevel levels, or a level below no task
// of the level above places the task, reported, as the last child of the deepest sound level.
class DMMSProjectXMLOutline
{
public:
    using Key = std::vector<qint64>;
    static constexpr int kMaximumLevel = 1024;

    explicit DMMSProjectXMLOutline(const QString &logPrefix) : m_logPrefix(logPrefix) {}

    // The key of the next task in file order. False for the project's summary task (number or
    // level 0) and for a task with neither number nor level (reported as skipped). `label` names
    // the task for the user.
    bool keyForTask(const QString &number, const QString &level, const QString &uid, const QString &label,
                    DMImportReport &report, Key *key);

    // For the log: "2.1.3", a placed part as "?", a very deep number shortened.
    static QString text(const Key &key);
    // True when `ancestor` is a proper prefix of `key`.
    static bool isAncestor(const Key &ancestor, const Key &key);

private:
    bool keyForNumber(const QString &number, const QString &uid, const QString &label, DMImportReport &report, Key *key);
    bool keyForLevel(const QString &levelText, const QString &uid, const QString &label, DMImportReport &report, Key *key);

    QString m_logPrefix;
    std::vector<qint64> m_counters = std::vector<qint64>(kMaximumLevel, 0);
    int m_countersInUse = 0;
    qint64 m_placedTasks = 0;
};
