#pragma once

#include <QList>

#include <algorithm>
#include <functional>
#include <utility>

// A list that tells its delegate before and after every insert, remove, replace, exchange and
// sort. The model's child lists (tasks, subitems, resources, events) are of this type: the
// owner is the delegate and re-parents and recomputes on each change.
template <typename T>
class DMMutableArray
{
public:
    struct Change
    {
        enum Kind { Insert, Remove, Replace, Exchange, Sort };
        Kind kind;
        qsizetype index = 0;      // first position concerned
        qsizetype otherIndex = 0; // the second position of an exchange
        QList<T> objects;         // inserted objects, removed objects, or the new objects of a replace
        QList<T> oldObjects;      // the replaced objects
    };

    class Delegate
    {
    public:
        virtual ~Delegate() = default;
        virtual void mutableArrayWillChange(DMMutableArray &, const Change &) {}
        virtual void mutableArrayDidChange(DMMutableArray &, const Change &) {}
    };

    DMMutableArray() = default;
    explicit DMMutableArray(Delegate *delegate) : m_delegate(delegate) {}
    DMMutableArray(const DMMutableArray &) = delete;
    DMMutableArray &operator=(const DMMutableArray &) = delete;

    void setDelegate(Delegate *delegate) { m_delegate = delegate; }
    Delegate *delegate() const { return m_delegate; }

    qsizetype count() const { return m_items.size(); }
    qsizetype size() const { return m_items.size(); }
    bool isEmpty() const { return m_items.isEmpty(); }
    const T &at(qsizetype i) const { return m_items.at(i); }
    const T &operator[](qsizetype i) const { return m_items.at(i); }
    const T &first() const { return m_items.first(); }
    const T &last() const { return m_items.last(); }
    qsizetype indexOf(const T &value) const { return m_items.indexOf(value); }
    bool contains(const T &value) const { return m_items.contains(value); }
    const QList<T> &list() const { return m_items; }
    auto begin() const { return m_items.cbegin(); }
    auto end() const { return m_items.cend(); }

    void append(const T &value) { insert(m_items.size(), value); }
    void insert(qsizetype index, const T &value) { insertObjects(index, QList<T>{value}); }

    void insertObjects(qsizetype index, const QList<T> &values)
    {
        if (values.isEmpty())
            return;
        Change change{Change::Insert, index, 0, values, {}};
        willChange(change);
        for (qsizetype i = 0; i < values.size(); ++i)
            m_items.insert(index + i, values.at(i));
        didChange(change);
    }

    void removeAt(qsizetype index) { removeRange(index, 1); }

    void removeRange(qsizetype index, qsizetype count)
    {
        if (count <= 0)
            return;
        Change change{Change::Remove, index, 0, m_items.mid(index, count), {}};
        willChange(change);
        m_items.remove(index, count);
        didChange(change);
    }

    bool removeOne(const T &value)
    {
        const qsizetype i = m_items.indexOf(value);
        if (i < 0)
            return false;
        removeAt(i);
        return true;
    }

    void removeAll()
    {
        removeRange(0, m_items.size());
    }

    void replace(qsizetype index, const T &value)
    {
        Change change{Change::Replace, index, 0, QList<T>{value}, QList<T>{m_items.at(index)}};
        willChange(change);
        m_items[index] = value;
        didChange(change);
    }

    void exchange(qsizetype a, qsizetype b)
    {
        Change change{Change::Exchange, a, b, {}, {}};
        willChange(change);
        m_items.swapItemsAt(a, b);
        didChange(change);
    }

    template <typename Less>
    void sort(Less less)
    {
        Change change{Change::Sort, 0, 0, {}, {}};
        willChange(change);
        std::stable_sort(m_items.begin(), m_items.end(), less);
        didChange(change);
    }

private:
    void willChange(const Change &c)
    {
        if (m_delegate)
            m_delegate->mutableArrayWillChange(*this, c);
    }
    void didChange(const Change &c)
    {
        if (m_delegate)
            m_delegate->mutableArrayDidChange(*this, c);
    }

    QList<T> m_items;
    Delegate *m_delegate = nullptr;
};
