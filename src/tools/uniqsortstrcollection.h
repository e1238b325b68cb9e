#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <vector>

namespace orv {

// A list of unique non-empty texts, offered both in the order they were first
// added and in ascending order. Order is ordinal (UTF-16 code units, so "B"
// sorts before "a" and "ä" after "z"); equality is exact when ExactCompare is
// set and ignores letter case (both texts upper-cased) otherwise.
//
// The search is a binary search over the sorted texts. Since the order is
// ordinal, texts that differ only in letter case may lie far apart ("Zebra"
// before "apple", "zebra" after it); with ExactCompare off a text is
// therefore also found through the upper-cased forms of all texts, so it is
// refused whenever any text equals it ignoring case, not only one the search
// happens to visit.
class UniqSortStrCollection {
public:
    // Result of FindPosition: where the text was found, or the neighbour it
    // goes before or after. Positions are 1-based.
    struct Position {
        bool found = false;
        int position = 0; // 0 only when the sorted texts are empty
    };

    UniqSortStrCollection();

    // Adds a text; false for an empty text and for one already present.
    bool Add(const QString& text);

    // Sets ExactCompare to (method == 1) and tells whether the text is present.
    // That setting then also governs the duplicate test of later Add calls.
    bool FindString(const QString& text, int method);

    // Binary search for the text over the sorted texts.
    Position FindPosition(QStringView text) const;

    bool ExactCompare() const { return m_exactCompare; }
    void SetExactCompare(bool exact) { m_exactCompare = exact; }

    // Number of texts in insertion order.
    int Count() const { return static_cast<int>(m_strCollection.size()); }

    // The texts in the order they were added.
    const QStringList& StrCollection() const { return m_strCollection; }
    void SetStrCollection(const QStringList& texts) { m_strCollection = texts; }

    // The texts in ascending order.
    QStringList SortedStrCollection() const;
    // Replaces the sorted texts; the caller keeps them in ascending order.
    void SetSortedStrCollection(const QStringList& texts);
    int SortedCount() const { return m_sortedCount; }
    // The sorted text at a 1-based position (1..SortedCount()).
    const QString& SortedAt(int position) const;

private:
    // The sorted texts live in blocks of bounded size, so an insertion moves a
    // block's tail and a few block offsets instead of the whole list.
    struct Slot {
        int block;
        int offset;
    };
    Slot locate(int index) const;
    void insertSorted(int index, const QString& text);
    void appendBlock(QList<QString> block);

    // One text of every upper-cased form among the sorted texts, in an open
    // addressing table (hash and equality both on the upper-cased texts).
    class FoldedSet {
    public:
        // The kept text that equals `text` ignoring case, or nullptr.
        const QString* find(QStringView text) const;
        // Keeps `text` unless one equal to it ignoring case is kept already;
        // true when it was kept.
        bool insert(const QString& text);
        void clear();

    private:
        struct Slot {
            size_t hash = 0;
            QString text; // null: a free slot (kept texts are never empty)
        };
        static size_t hashOf(QStringView text);
        void grow();

        std::vector<Slot> m_slots;
        size_t m_count = 0;
    };

    // The binary search over the sorted texts, testing equality on the
    // entries it visits only.
    Position searchSorted(QStringView text) const;
    // The 1-based sorted position of a text that is in the collection.
    int exactPosition(const QString& text) const;

    QStringList m_strCollection;
    FoldedSet m_folded;
    std::vector<QList<QString>> m_blocks;
    std::vector<int> m_blockStarts; // index of each block's first text
    int m_sortedCount = 0;
    bool m_exactCompare = false;
};

} // namespace orv
