#include "document/SaveTracker.h"

#include "document/UndoTarget.h"

#include <QHash>
#include <QString>
#include <algorithm>

namespace {
std::size_t hashChunk(QStringView chunk) { return qHash(chunk, std::size_t{0x5a7e}); }
} // namespace

void SaveTracker::setBaseline(QStringView text)
{
    m_length = static_cast<int>(text.size());
    m_chunks.clear();
    m_chunks.reserve(static_cast<std::size_t>(m_length / chunkLength + 1));
    for (qsizetype at = 0; at < text.size(); at += chunkLength)
        m_chunks.push_back(hashChunk(text.mid(at, chunkLength)));
    m_prefix = m_suffix = m_length;
}

void SaveTracker::setBaseline(const UndoTarget& page)
{
    setBaseline(page.textRange(0, page.textLength()));
}

void SaveTracker::setUnsaved()
{
    m_chunks.clear();
    m_length = -1;
    m_prefix = m_suffix = 0;
}

void SaveTracker::noteEdit(int pos, int /*removed*/, int inserted, int newLength)
{
    // What stands before the edit and what follows it are unchanged; only those parts can
    // still be known to equal the saved text.
    m_prefix = std::min(m_prefix, pos);
    m_suffix = std::min(m_suffix, std::max(0, newLength - pos - inserted));
}

bool SaveTracker::chunkMatches(const UndoTarget& page, int chunk) const
{
    const int start = chunk * chunkLength;
    const int length = std::min(chunkLength, m_length - start);
    return hashChunk(page.textRange(start, length)) == m_chunks[static_cast<std::size_t>(chunk)];
}

bool SaveTracker::isModified(const UndoTarget& page)
{
    if (m_length < 0 || page.textLength() != m_length)
        return true;
    // Same length: the page equals the saved text outside [m_prefix, m_length - m_suffix).
    if (m_prefix + m_suffix >= m_length)
        return false;
    int first = m_prefix / chunkLength;
    int last = (m_length - m_suffix - 1) / chunkLength;
    for (; first <= last && chunkMatches(page, first); ++first)
        m_prefix = std::max(m_prefix, std::min(m_length, (first + 1) * chunkLength));
    for (; last > first && chunkMatches(page, last); --last)
        m_suffix = std::max(m_suffix, m_length - last * chunkLength);
    return m_prefix + m_suffix < m_length;
}
