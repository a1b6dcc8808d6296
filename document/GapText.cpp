#include "document/GapText.h"

#include <algorithm>
#include <cstring>

void GapText::assign(QStringView text)
{
    const qsizetype gap = std::max<qsizetype>(64, text.size() / 16);
    m_buf.assign(static_cast<std::size_t>(text.size() + gap), QChar());
    std::copy(text.begin(), text.end(), m_buf.begin());
    m_gapStart = text.size();
    m_gapEnd = text.size() + gap;
}

QString GapText::mid(qsizetype pos, qsizetype length) const
{
    const qsizetype n = size();
    pos = std::clamp<qsizetype>(pos, 0, n);
    length = std::clamp<qsizetype>(length, 0, n - pos);
    QString out(length, Qt::Uninitialized);
    QChar* dst = out.data();
    for (qsizetype i = 0; i < length;) {
        const qsizetype logical = pos + i;
        if (logical < m_gapStart) {
            const qsizetype run = std::min(length - i, m_gapStart - logical);
            std::memcpy(dst + i, m_buf.data() + logical, run * sizeof(QChar));
            i += run;
        } else {
            const qsizetype run = length - i;
            std::memcpy(dst + i, m_buf.data() + logical + gapLength(), run * sizeof(QChar));
            i += run;
        }
    }
    return out;
}

void GapText::moveGap(qsizetype pos)
{
    if (pos < m_gapStart) {
        const qsizetype count = m_gapStart - pos;
        std::memmove(m_buf.data() + m_gapEnd - count, m_buf.data() + pos, count * sizeof(QChar));
        m_gapStart -= count;
        m_gapEnd -= count;
    } else if (pos > m_gapStart) {
        const qsizetype count = pos - m_gapStart;
        std::memmove(m_buf.data() + m_gapStart, m_buf.data() + m_gapEnd, count * sizeof(QChar));
        m_gapStart += count;
        m_gapEnd += count;
    }
}

void GapText::ensureGap(qsizetype needed)
{
    if (gapLength() >= needed)
        return;
    const qsizetype textSize = size();
    // Room for the insertion and a sixteenth of the text it makes, so that a large insertion
    // (a page replaced on load) is not followed by another full copy a few keystrokes later.
    const qsizetype newGap = needed + std::max<qsizetype>(64, (textSize + needed) / 16);
    const qsizetype tail = static_cast<qsizetype>(m_buf.size()) - m_gapEnd;
    std::vector<QChar> grown(static_cast<std::size_t>(textSize + newGap));
    std::memcpy(grown.data(), m_buf.data(), m_gapStart * sizeof(QChar));
    std::memcpy(grown.data() + m_gapStart + newGap, m_buf.data() + m_gapEnd, tail * sizeof(QChar));
    m_buf.swap(grown);
    m_gapEnd = m_gapStart + newGap;
}

void GapText::replace(qsizetype pos, qsizetype removeLength, QStringView insertion)
{
    const qsizetype n = size();
    pos = std::clamp<qsizetype>(pos, 0, n);
    removeLength = std::clamp<qsizetype>(removeLength, 0, n - pos);
    moveGap(pos);
    m_gapEnd += removeLength;
    ensureGap(insertion.size());
    std::copy(insertion.begin(), insertion.end(), m_buf.begin() + m_gapStart);
    m_gapStart += insertion.size();
}
