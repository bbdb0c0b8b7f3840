#pragma once

#include <QList>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

// The one observation mechanism of the model: every change of an observable key, and every
// insert, remove or replace in a child list, is announced to the observers of that key before
// (prior == true) and after the change.

struct DMChange
{
    enum Kind { Setting, Insertion, Removal, Replacement };
    Kind kind = Setting;
    bool prior = false;
    QString key;
    QList<qsizetype> indexes; // positions in the list, for Insertion, Removal and Replacement
};

class DMObservable;

// Keeps one registration alive; destroying or resetting it removes the observer. It may
// outlive the observed object safely.
class DMObservation
{
public:
    DMObservation() = default;
    DMObservation(DMObservation &&other) noexcept;
    DMObservation &operator=(DMObservation &&other) noexcept;
    DMObservation(const DMObservation &) = delete;
    DMObservation &operator=(const DMObservation &) = delete;
    ~DMObservation();

    void reset();
    bool isActive() const;

private:
    friend class DMObservable;
    struct Registry;
    DMObservation(std::weak_ptr<Registry> registry, std::uint64_t token);
    std::weak_ptr<Registry> m_registry;
    std::uint64_t m_token = 0;
};

class DMObservable
{
public:
    using Callback = std::function<void(const DMChange &change, DMObservable *object)>;

    DMObservable();
    virtual ~DMObservable();
    DMObservable(const DMObservable &) = delete;
    DMObservable &operator=(const DMObservable &) = delete;

    // Observes one key; an empty key observes every key of the object. With wantsPrior the
    // callback also runs before each change.
    [[nodiscard]] DMObservation observe(const QString &key, Callback callback, bool wantsPrior = false);

    bool hasObservers() const;

    // Announcements, called by the object itself around each change.
    void willChangeValueForKey(const QString &key);
    void didChangeValueForKey(const QString &key);
    void willChangeList(const QString &key, DMChange::Kind kind, const QList<qsizetype> &indexes);
    void didChangeList(const QString &key, DMChange::Kind kind, const QList<qsizetype> &indexes);

private:
    // One bit per observed key's signature (its length and three of its characters), every bit
    // for an observer of all keys: an announcement of a key no one observes is dropped at once,
    // without reaching the registry (a pushed chain announces a dozen keys of each item it
    // moves). Bits stay set when observations end; they only ever let an announcement through.
    static std::uint64_t keyBit(const QString &key);
    bool mayObserve(const QString &key) const { return (m_observedKeys & keyBit(key)) != 0; }
    void notify(const DMChange &change);
    std::shared_ptr<DMObservation::Registry> m_registry; // made on first observation
    std::uint64_t m_observedKeys = 0;
};
