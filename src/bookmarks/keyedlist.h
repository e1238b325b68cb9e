#pragma once

#include <QHash>
#include <QString>

#include <iterator>
#include <memory>
#include <optional>
#include <type_traits>
#include <utility>
#include <vector>

namespace orv {

// An ordered collection of owned objects, each optionally reachable by a text
// key. Positions are 0-based. Objects keep their address for as long as they
// stay in the list, so callers may hold pointers to them. A key that is
// already taken is not given to a second object.
template <typename T> class KeyedList {
    struct Entry {
        QString key;
        std::unique_ptr<T> object;
    };
    using Entries = std::vector<Entry>;

public:
    // Iterates over the objects (not the keys) in list order.
    template <typename E, typename V> class Iter {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = std::remove_const_t<V>;
        using difference_type = std::ptrdiff_t;
        using pointer = V*;
        using reference = V&;
        Iter() = default;
        explicit Iter(E it) : m_it(it) {}
        V& operator*() const { return *m_it->object; }
        V* operator->() const { return m_it->object.get(); }
        Iter& operator++()
        {
            ++m_it;
            return *this;
        }
        Iter operator++(int)
        {
            Iter old = *this;
            ++m_it;
            return old;
        }
        bool operator==(const Iter& other) const { return m_it == other.m_it; }

    private:
        E m_it{};
    };
    using iterator = Iter<typename Entries::iterator, T>;
    using const_iterator = Iter<typename Entries::const_iterator, const T>;

    KeyedList() = default;
    KeyedList(KeyedList&&) noexcept = default;
    KeyedList& operator=(KeyedList&&) noexcept = default;
    KeyedList(const KeyedList&) = delete;
    KeyedList& operator=(const KeyedList&) = delete;

    // Number of objects.
    qsizetype count() const { return qsizetype(m_entries.size()); }
    qsizetype size() const { return count(); }
    bool isEmpty() const { return m_entries.empty(); }

    // Reserves room for n objects.
    void reserve(qsizetype n) { m_entries.reserve(size_t(n)); }

    // The object at 0-based position i; i must be valid.
    T& at(qsizetype i) { return *m_entries[size_t(i)].object; }
    const T& at(qsizetype i) const { return *m_entries[size_t(i)].object; }
    T& operator[](qsizetype i) { return at(i); }
    const T& operator[](qsizetype i) const { return at(i); }
    // The object at 0-based position i, or nullptr when i is out of range.
    T* value(qsizetype i) const
    {
        return (i >= 0 && i < count()) ? m_entries[size_t(i)].object.get() : nullptr;
    }

    // The key of the object at 0-based position i; empty for an object added
    // without a key (or i out of range).
    QString keyAt(qsizetype i) const
    {
        if (i < 0 || i >= count())
            return {};
        const Entry& entry = m_entries[size_t(i)];
        if (entry.key.isEmpty() || index().value(entry.key) != entry.object.get())
            return {};
        return entry.key;
    }

    // The object stored under key, or nullptr.
    T* find(const QString& key) const
    {
        if (key.isEmpty())
            return nullptr;
        return index().value(key, nullptr);
    }
    bool containsKey(const QString& key) const { return find(key) != nullptr; }
    // 0-based position of the object stored under key, or -1.
    qsizetype indexOfKey(const QString& key) const { return indexOf(find(key)); }
    // 0-based position of the object, or -1.
    qsizetype indexOf(const T* object) const
    {
        if (!object)
            return -1;
        for (size_t i = 0; i < m_entries.size(); ++i)
            if (m_entries[i].object.get() == object)
                return qsizetype(i);
        return -1;
    }

    // Appends an object; returns it as stored.
    T& append(T value, const QString& key = {})
    {
        return insert(count(), std::make_unique<T>(std::move(value)), key);
    }
    T& append(std::unique_ptr<T> object, const QString& key = {})
    {
        return insert(count(), std::move(object), key);
    }
    // Inserts an object before 0-based position i (i is clamped to 0..count);
    // returns it as stored.
    T& insert(qsizetype i, T value, const QString& key = {})
    {
        return insert(i, std::make_unique<T>(std::move(value)), key);
    }
    T& insert(qsizetype i, std::unique_ptr<T> object, const QString& key = {})
    {
        if (!object)
            object = std::make_unique<T>();
        i = qBound<qsizetype>(0, i, count());
        T* raw = object.get();
        QString storedKey;
        if (!key.isEmpty()) {
            // Keys of a list that nobody searched yet are checked when the
            // index is first built.
            if (!m_index) {
                storedKey = key;
                m_unchecked = true;
            } else if (!m_index->contains(key)) {
                storedKey = key;
                m_index->insert(key, raw);
            }
        }
        m_entries.insert(m_entries.begin() + i, Entry{std::move(storedKey), std::move(object)});
        return *raw;
    }

    // Removes and returns the object at 0-based position i (nullptr when i is
    // out of range).
    std::unique_ptr<T> takeAt(qsizetype i)
    {
        if (i < 0 || i >= count())
            return {};
        Entry& entry = m_entries[size_t(i)];
        if (!entry.key.isEmpty() && m_index && m_index->value(entry.key) == entry.object.get())
            m_index->remove(entry.key);
        std::unique_ptr<T> object = std::move(entry.object);
        m_entries.erase(m_entries.begin() + i);
        return object;
    }
    // Removes the object at 0-based position i; nothing happens when i is
    // out of range.
    void removeAt(qsizetype i) { takeAt(i); }
    // Removes every object.
    void clear()
    {
        m_entries.clear();
        m_index.reset();
        m_unchecked = false;
    }

    iterator begin() { return iterator(m_entries.begin()); }
    iterator end() { return iterator(m_entries.end()); }
    const_iterator begin() const { return const_iterator(m_entries.cbegin()); }
    const_iterator end() const { return const_iterator(m_entries.cend()); }

private:
    // The key index, built on the first search; a key given twice stays
    // with its first object.
    const QHash<QString, T*>& index() const
    {
        if (!m_index || m_unchecked) {
            m_index.emplace();
            m_index->reserve(count());
            for (const Entry& entry : m_entries)
                if (!entry.key.isEmpty() && !m_index->contains(entry.key))
                    m_index->insert(entry.key, entry.object.get());
            m_unchecked = false;
        }
        return *m_index;
    }

    Entries m_entries;
    mutable std::optional<QHash<QString, T*>> m_index;
    mutable bool m_unchecked = false;
};

} // namespace orv
