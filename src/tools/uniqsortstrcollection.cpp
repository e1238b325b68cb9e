#include "tools/uniqsortstrcollection.h"

#include <algorithm>
#include <utility>

namespace orv {

namespace {

// Blocks are split in halves when they grow past this many texts.
constexpr qsizetype kMaxBlock = 512;

struct Probe {
    bool equal; // equal as the current comparison mode says
    bool less;  // the searched text sorts before the entry (ordinal)
};

char16_t asciiUpper(char16_t c)
{
    return (c >= u'a' && c <= u'z') ? char16_t(c - (u'a' - u'A')) : c;
}

bool upperEqualSlow(QStringView a, QStringView b)
{
    return a.toString().toUpper() == b.toString().toUpper();
}

// Compares text with entry in one pass: the ordinal order, and equality either
// exact or after upper-casing both. Upper-casing works code point by code
// point, so as long as both texts agree exactly or are plain ASCII up to a
// position, a differing ASCII pair there decides the case-blind test; only
// texts that differ in other characters are upper-cased whole.
Probe compareProbe(QStringView text, QStringView entry, bool exact)
{
    const char16_t* a = text.utf16();
    const char16_t* b = entry.utf16();
    const qsizetype n = std::min(text.size(), entry.size());
    qsizetype i = 0;
    char16_t seen = 0; // all code units of the common prefix or-ed together
    while (i < n && a[i] == b[i]) {
        seen |= a[i];
        ++i;
    }
    Probe result{false, false};
    if (i == n) {
        if (text.size() == entry.size())
            return {true, false};
        result.less = text.size() < entry.size();
    } else {
        result.less = a[i] < b[i];
    }
    if (exact)
        return result;

    bool nonAscii = seen >= 0x80;
    for (; i < n; ++i) {
        const char16_t x = a[i];
        const char16_t y = b[i];
        if (x == y) {
            nonAscii = nonAscii || x >= 0x80;
            continue;
        }
        if (x >= 0x80 || y >= 0x80) {
            result.equal = upperEqualSlow(text, entry);
            return result;
        }
        if (asciiUpper(x) != asciiUpper(y))
            return result;
    }
    if (text.size() == entry.size())
        result.equal = true;
    else if (nonAscii)
        result.equal = upperEqualSlow(text, entry);
    return result;
}

} // namespace

size_t UniqSortStrCollection::FoldedSet::hashOf(QStringView text)
{
    // FNV-1a over the code units of the upper-cased text: plain ASCII is
    // upper-cased on the fly; a text with any other character goes through
    // QString::toUpper (whose result may be longer, as "ß" gives "SS").
    constexpr quint64 kBasis = 14695981039346656037ULL;
    constexpr quint64 kPrime = 1099511628211ULL;
    quint64 h = kBasis;
    for (const QChar c : text) {
        if (c.unicode() >= 0x80) {
            h = kBasis;
            for (const QChar u : text.toString().toUpper())
                h = (h ^ u.unicode()) * kPrime;
            break;
        }
        h = (h ^ asciiUpper(c.unicode())) * kPrime;
    }
    return size_t(h);
}

const QString* UniqSortStrCollection::FoldedSet::find(QStringView text) const
{
    if (m_slots.empty())
        return nullptr;
    const size_t hash = hashOf(text);
    const size_t mask = m_slots.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
        const Slot& slot = m_slots[i];
        if (slot.text.isNull())
            return nullptr;
        if (slot.hash == hash && compareProbe(text, slot.text, false).equal)
            return &slot.text;
    }
}

bool UniqSortStrCollection::FoldedSet::insert(const QString& text)
{
    // At most half the slots are used, so a search always meets a free one.
    if (2 * (m_count + 1) > m_slots.size())
        grow();
    const size_t hash = hashOf(text);
    const size_t mask = m_slots.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
        Slot& slot = m_slots[i];
        if (slot.text.isNull()) {
            slot.hash = hash;
            slot.text = text;
            ++m_count;
            return true;
        }
        if (slot.hash == hash && compareProbe(text, slot.text, false).equal)
            return false;
    }
}

void UniqSortStrCollection::FoldedSet::clear()
{
    m_slots.clear();
    m_count = 0;
}

void UniqSortStrCollection::FoldedSet::grow()
{
    constexpr size_t kFirstSize = 64;
    std::vector<Slot> old =
        std::exchange(m_slots, std::vector<Slot>(std::max(kFirstSize, 2 * m_slots.size())));
    const size_t mask = m_slots.size() - 1;
    for (Slot& slot : old) {
        if (slot.text.isNull())
            continue;
        size_t i = slot.hash & mask;
        while (!m_slots[i].text.isNull())
            i = (i + 1) & mask;
        m_slots[i] = std::move(slot);
    }
}

UniqSortStrCollection::UniqSortStrCollection() = default;

bool UniqSortStrCollection::Add(const QString& text)
{
    if (text.isEmpty())
        return false;
    if (m_sortedCount == 0) {
        m_folded.insert(text);
        insertSorted(0, text);
        m_strCollection.append(text);
        return true;
    }
    const Position pos = searchSorted(text);
    if (pos.found)
        return false;
    // One text of each upper-cased form is kept: a text that equals one of
    // them ignoring case is a duplicate unless the comparison is exact.
    if (!m_folded.insert(text) && !m_exactCompare)
        return false;
    const bool before = text < SortedAt(pos.position);
    insertSorted(before ? pos.position - 1 : pos.position, text);
    m_strCollection.append(text);
    return true;
}

bool UniqSortStrCollection::FindString(const QString& text, int method)
{
    m_exactCompare = (method == 1);
    return FindPosition(text).found;
}

UniqSortStrCollection::Position UniqSortStrCollection::FindPosition(QStringView text) const
{
    const Position visited = searchSorted(text);
    if (visited.found || m_exactCompare || m_sortedCount == 0)
        return visited;
    // Ignoring case, the equal text may lie where the search never looked.
    const QString* folded = m_folded.find(text);
    if (!folded)
        return visited;
    return {true, exactPosition(*folded)};
}

UniqSortStrCollection::Position UniqSortStrCollection::searchSorted(QStringView text) const
{
    Position result;
    if (m_sortedCount == 0)
        return result;
    int low = 1;
    int high = m_sortedCount;
    do {
        const int p = low + (high - low) / 2;
        const Probe probe = compareProbe(text, SortedAt(p), m_exactCompare);
        if (probe.equal)
            return {true, p};
        if (probe.less)
            high = p;
        else
            low = p;
    } while (high - low >= 2);

    const Probe atLow = compareProbe(text, SortedAt(low), m_exactCompare);
    if (atLow.equal)
        return {true, low};
    if (compareProbe(text, SortedAt(high), m_exactCompare).equal)
        return {true, high};
    result.position = atLow.less ? low : high;
    return result;
}

int UniqSortStrCollection::exactPosition(const QString& text) const
{
    int low = 1;
    int high = m_sortedCount;
    while (low < high) {
        const int mid = low + (high - low) / 2;
        if (SortedAt(mid) < text)
            low = mid + 1;
        else
            high = mid;
    }
    return low;
}

QStringList UniqSortStrCollection::SortedStrCollection() const
{
    QStringList texts;
    texts.reserve(m_sortedCount);
    for (const QList<QString>& block : m_blocks)
        texts.append(block);
    return texts;
}

void UniqSortStrCollection::SetSortedStrCollection(const QStringList& texts)
{
    m_blocks.clear();
    m_blockStarts.clear();
    m_folded.clear();
    m_sortedCount = 0;
    for (const QString& text : texts)
        m_folded.insert(text);
    constexpr qsizetype step = kMaxBlock / 2;
    for (qsizetype start = 0; start < texts.size(); start += step)
        appendBlock(texts.sliced(start, std::min(step, texts.size() - start)));
}

const QString& UniqSortStrCollection::SortedAt(int position) const
{
    Q_ASSERT(position >= 1 && position <= m_sortedCount);
    const Slot slot = locate(position - 1);
    return m_blocks[slot.block].at(slot.offset);
}

UniqSortStrCollection::Slot UniqSortStrCollection::locate(int index) const
{
    const auto it = std::upper_bound(m_blockStarts.begin(), m_blockStarts.end(), index);
    const int block = static_cast<int>(it - m_blockStarts.begin()) - 1;
    return {block, index - m_blockStarts[block]};
}

void UniqSortStrCollection::appendBlock(QList<QString> block)
{
    m_blockStarts.push_back(m_sortedCount);
    m_sortedCount += static_cast<int>(block.size());
    m_blocks.push_back(std::move(block));
}

void UniqSortStrCollection::insertSorted(int index, const QString& text)
{
    if (m_blocks.empty()) {
        appendBlock(QList<QString>{text});
        return;
    }
    const Slot slot = index == m_sortedCount ? Slot{static_cast<int>(m_blocks.size()) - 1,
                                                    static_cast<int>(m_blocks.back().size())}
                                             : locate(index);
    m_blocks[slot.block].insert(slot.offset, text);
    for (std::size_t b = slot.block + 1; b < m_blockStarts.size(); ++b)
        ++m_blockStarts[b];
    ++m_sortedCount;

    QList<QString>& full = m_blocks[slot.block];
    if (full.size() > kMaxBlock) {
        const qsizetype half = full.size() / 2;
        QList<QString> tail = full.sliced(half);
        full.resize(half);
        const int tailStart = m_blockStarts[slot.block] + static_cast<int>(half);
        m_blocks.insert(m_blocks.begin() + slot.block + 1, std::move(tail));
        m_blockStarts.insert(m_blockStarts.begin() + slot.block + 1, tailStart);
    }
}

} // namespace orv
