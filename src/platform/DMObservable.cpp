#include "DMObservable.h"

#include <QVarLengthArray>

#include <algorithm>

struct DMObservation::Registry
{
    struct Entry
    {
        std::uint64_t token;
        QString key;
        bool wantsPrior;
        std::shared_ptr<DMObservable::Callback> callback;
    };
    std::vector<Entry> entries;
    std::uint64_t nextToken = 1;

    void remove(std::uint64_t token)
    {
        for (auto it = entries.begin(); it != entries.end(); ++it) {
            if (it->token == token) {
                entries.erase(it);
                return;
            }
        }
    }
};

DMObservation::DMObservation(std::weak_ptr<Registry> registry, std::uint64_t token)
    : m_registry(std::move(registry)), m_token(token)
{
}

DMObservation::DMObservation(DMObservation &&other) noexcept
    : m_registry(std::move(other.m_registry)), m_token(other.m_token)
{
    other.m_token = 0;
}

DMObservation &DMObservation::operator=(DMObservation &&other) noexcept
{
    if (this != &other) {
        reset();
        m_registry = std::move(other.m_registry);
        m_token = other.m_token;
        other.m_token = 0;
    }
    return *this;
}

DMObservation::~DMObservation()
{
    reset();
}

void DMObservation::reset()
{
    if (auto registry = m_registry.lock())
        registry->remove(m_token);
    m_registry.reset();
    m_token = 0;
}

bool DMObservation::isActive() const
{
    return m_token != 0 && !m_registry.expired();
}

DMObservable::DMObservable() = default;
DMObservable::~DMObservable() = default;

std::uint64_t DMObservable::keyBit(const QString &key)
{
    if (key.isEmpty())
        return ~std::uint64_t(0);
    const std::uint64_t size = std::uint64_t(key.size());
    const std::uint64_t mix = size * 31 + key.front().unicode() * 7u + key.back().unicode() * 3u + key.at(key.size() / 2).unicode();
    return std::uint64_t(1) << (mix % 64);
}

DMObservation DMObservable::observe(const QString &key, Callback callback, bool wantsPrior)
{
    m_observedKeys |= keyBit(key);
    if (!m_registry)
        m_registry = std::make_shared<DMObservation::Registry>();
    const std::uint64_t token = m_registry->nextToken++;
    m_registry->entries.push_back({token, key, wantsPrior, std::make_shared<Callback>(std::move(callback))});
    return DMObservation(m_registry, token);
}

bool DMObservable::hasObservers() const
{
    return m_registry && !m_registry->entries.empty();
}

void DMObservable::willChangeValueForKey(const QString &key)
{
    if (mayObserve(key) && hasObservers())
        notify({DMChange::Setting, true, key, {}});
}

void DMObservable::didChangeValueForKey(const QString &key)
{
    if (mayObserve(key) && hasObservers())
        notify({DMChange::Setting, false, key, {}});
}

void DMObservable::willChangeList(const QString &key, DMChange::Kind kind, const QList<qsizetype> &indexes)
{
    if (mayObserve(key) && hasObservers())
        notify({kind, true, key, indexes});
}

void DMObservable::didChangeList(const QString &key, DMChange::Kind kind, const QList<qsizetype> &indexes)
{
    if (mayObserve(key) && hasObservers())
        notify({kind, false, key, indexes});
}

void DMObservable::notify(const DMChange &change)
{
    // Callbacks may add or remove observers, or drop the last reference to an observer:
    // collect the matching callbacks first and keep them alive while they run.
    // Most changes reach one or two observers of the object: no allocation for those.
    const auto matches = [&change](const DMObservation::Registry::Entry &entry) {
        return (entry.key.isEmpty() || entry.key == change.key) && (!change.prior || entry.wantsPrior);
    };
    if (std::none_of(m_registry->entries.cbegin(), m_registry->entries.cend(), matches))
        return;
    std::shared_ptr<DMObservation::Registry> registry = m_registry;
    QVarLengthArray<std::shared_ptr<Callback>, 4> callbacks;
    for (const auto &entry : registry->entries) {
        if (matches(entry))
            callbacks.push_back(entry.callback);
    }
    for (const auto &callback : callbacks)
        (*callback)(change, this);
}
