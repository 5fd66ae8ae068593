#pragma once

#include <QHash>
#include <QString>

#include <cstdint>
#include <vector>

// The marked-record sets of a grid. Both keep the order in which records were
// marked (it decides the order of the IN list and of the TEMP_SPRACUJ rows) and
// answer membership in constant time: a register of 100 000 jobs is marked,
// unmarked and painted without walking the list.
//
// Removal leaves a hole that is squeezed out lazily, so unmarking is O(1) and
// the n-th key in marking order stays O(1) once the holes are gone.
template <typename Key, typename HashKey>
class OrderedKeySet {
public:
    qsizetype count() const { return qsizetype(m_keys.size()) - m_holes; }
    bool isEmpty() const { return count() == 0; }
    bool contains(const Key& key) const { return m_index.contains(hashKey(key)); }

    // True when the key was added (it was not there).
    bool insert(const Key& key)
    {
        const HashKey h = hashKey(key);
        if (m_index.contains(h))
            return false;
        m_index.insert(h, qsizetype(m_keys.size()));
        m_keys.push_back(key);
        m_alive.push_back(true);
        return true;
    }

    // True when the key was removed (it was there).
    bool remove(const Key& key)
    {
        const auto it = m_index.constFind(hashKey(key));
        if (it == m_index.cend())
            return false;
        m_alive[size_t(*it)] = false;
        m_index.erase(it);
        ++m_holes;
        if (m_holes > 64 && m_holes * 2 > qsizetype(m_keys.size()))
            squeeze();
        return true;
    }

    void clear()
    {
        m_keys.clear();
        m_alive.clear();
        m_index.clear();
        m_holes = 0;
    }

    // The i-th key in marking order (0 <= i < count()).
    const Key& at(qsizetype i) const
    {
        if (m_holes > 0)
            squeeze();
        return m_keys[size_t(i)];
    }

    // All keys in marking order.
    std::vector<Key> keys() const
    {
        std::vector<Key> out;
        out.reserve(size_t(count()));
        for (size_t i = 0; i < m_keys.size(); ++i)
            if (m_alive[i])
                out.push_back(m_keys[i]);
        return out;
    }

protected:
    virtual ~OrderedKeySet() = default;
    virtual HashKey hashKey(const Key& key) const = 0;

private:
    // Squeezing changes no key or order, so it may run from const readers.
    void squeeze() const
    {
        size_t w = 0;
        for (size_t r = 0; r < m_keys.size(); ++r) {
            if (!m_alive[r])
                continue;
            if (w != r)
                m_keys[w] = std::move(m_keys[r]);
            m_index[hashKey(m_keys[w])] = qsizetype(w);
            ++w;
        }
        m_keys.resize(w);
        m_alive.assign(w, true);
        m_holes = 0;
    }

    mutable std::vector<Key> m_keys;
    mutable std::vector<bool> m_alive;
    mutable QHash<HashKey, qsizetype> m_index;
    mutable qsizetype m_holes = 0;
};

// Integer keys (gktInteger): every window marks record numbers.
class TCheckedList : public OrderedKeySet<std::int32_t, std::int32_t> {
public:
    ~TCheckedList() override = default;

protected:
    std::int32_t hashKey(const std::int32_t& key) const override { return key; }
};

// Text keys (gktString); letter case does not matter.
class TCheckedStringList : public OrderedKeySet<QString, QString> {
public:
    ~TCheckedStringList() override = default;
    bool GetChecked(const QString& key) const { return contains(key); }
    void SetChecked(const QString& key, bool flag) { flag ? (void)insert(key) : (void)remove(key); }
    void Check(const QString& key) { SetChecked(key, !GetChecked(key)); }

protected:
    QString hashKey(const QString& key) const override { return key.toCaseFolded(); }
};
