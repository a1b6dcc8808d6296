#include "document/GapText.h"

#include <algorithm>
#include <cstring>

namespace {

// memcpy with nothing to copy may be given null pointers (empty buffers): skip it then.
void copyBytes(void* dst, const void* src, std::size_t n)
{
    if (n > 0)
        std::memcpy(dst, src, n);
}

// Room left after the text: a sixteenth of it, at least 64 characters.
qsizetype roomFor(qsizetype textSize) { return std::max<qsizetype>(64, textSize / 16); }

void put(char* dst, QStringView src)
{
    // Only called for text known to fit Latin-1. Large runs (a page) take Qt's vectorised
    // conversion; keystrokes the plain loop.
    if (src.size() > 1024) {
        const QByteArray latin = src.toLatin1();
        copyBytes(dst, latin.constData(), static_cast<std::size_t>(latin.size()));
        return;
    }
    for (const QChar c : src)
        *dst++ = static_cast<char>(c.unicode());
}

void put(char16_t* dst, QStringView src)
{
    copyBytes(dst, src.utf16(), static_cast<std::size_t>(src.size()) * sizeof(char16_t));
}

void put(char* dst, QByteArrayView src)
{
    copyBytes(dst, src.data(), static_cast<std::size_t>(src.size()));
}

void append(QString& out, const char* src, qsizetype n) { out += QLatin1StringView(src, n); }

void append(QString& out, const char16_t* src, qsizetype n)
{
    out += QStringView(src, n);
}

} // namespace

void GapText::assign(QStringView text)
{
    const qsizetype gap = roomFor(text.size());
    m_size = text.size();
    m_gapStart = text.size();
    m_gapEnd = text.size() + gap;
    m_isWide = !QtPrivate::isLatin1(text);
    if (m_isWide) {
        std::vector<char>().swap(m_narrow);
        m_wide.assign(static_cast<std::size_t>(text.size() + gap), u'\0');
        put(m_wide.data(), text);
    } else {
        std::vector<char16_t>().swap(m_wide);
        m_narrow.resize(static_cast<std::size_t>(text.size() + gap));
        m_narrow.shrink_to_fit();
        put(m_narrow.data(), text);
    }
}

QString GapText::mid(qsizetype pos, qsizetype length) const
{
    pos = std::clamp<qsizetype>(pos, 0, m_size);
    length = std::clamp<qsizetype>(length, 0, m_size - pos);
    QString out;
    out.reserve(length);
    const auto copy = [&](const auto* buf) {
        const qsizetype end = pos + length;
        if (pos < m_gapStart)
            append(out, buf + pos, std::min(end, m_gapStart) - pos);
        if (end > m_gapStart) {
            const qsizetype from = std::max(pos, m_gapStart);
            append(out, buf + from + (m_gapEnd - m_gapStart), end - from);
        }
    };
    if (m_isWide)
        copy(m_wide.data());
    else
        copy(m_narrow.data());
    return out;
}

template <class T>
void GapText::moveGap(std::vector<T>& buf, qsizetype pos)
{
    if (pos < m_gapStart) {
        const qsizetype count = m_gapStart - pos;
        std::memmove(buf.data() + m_gapEnd - count, buf.data() + pos, count * sizeof(T));
        m_gapStart -= count;
        m_gapEnd -= count;
    } else if (pos > m_gapStart) {
        const qsizetype count = pos - m_gapStart;
        std::memmove(buf.data() + m_gapStart, buf.data() + m_gapEnd, count * sizeof(T));
        m_gapStart += count;
        m_gapEnd += count;
    }
}

template <class T>
void GapText::ensureGap(std::vector<T>& buf, qsizetype needed)
{
    if (m_gapEnd - m_gapStart >= needed)
        return;
    // Room for the insertion and a sixteenth of the text it makes, so that a large insertion
    // (a page replaced on load) is not followed by another full copy a few keystrokes later.
    const qsizetype newGap = needed + roomFor(m_size + needed);
    const qsizetype tail = static_cast<qsizetype>(buf.size()) - m_gapEnd;
    std::vector<T> grown(static_cast<std::size_t>(m_size + newGap));
    copyBytes(grown.data(), buf.data(), m_gapStart * sizeof(T));
    copyBytes(grown.data() + m_gapStart + newGap, buf.data() + m_gapEnd, tail * sizeof(T));
    buf.swap(grown);
    m_gapEnd = m_gapStart + newGap;
}

template <class T, class Text>
void GapText::replaceIn(std::vector<T>& buf, qsizetype pos, qsizetype removeLength, Text insertion)
{
    moveGap(buf, pos);
    m_gapEnd += removeLength;
    m_size -= removeLength;
    ensureGap(buf, insertion.size());
    put(buf.data() + m_gapStart, insertion);
    m_gapStart += insertion.size();
    m_size += insertion.size();
}

void GapText::widen()
{
    // Same layout, two bytes per character: the gap stays where it is.
    m_wide.assign(m_narrow.size(), u'\0');
    for (std::size_t i = 0; i < m_narrow.size(); ++i)
        m_wide[i] = static_cast<unsigned char>(m_narrow[i]);
    std::vector<char>().swap(m_narrow);
    m_isWide = true;
}

void GapText::replace(qsizetype pos, qsizetype removeLength, QStringView insertion)
{
    pos = std::clamp<qsizetype>(pos, 0, m_size);
    removeLength = std::clamp<qsizetype>(removeLength, 0, m_size - pos);
    if (!m_isWide && !QtPrivate::isLatin1(insertion))
        widen();
    if (m_isWide)
        replaceIn(m_wide, pos, removeLength, insertion);
    else
        replaceIn(m_narrow, pos, removeLength, insertion);
}

void GapText::replace(qsizetype pos, qsizetype removeLength, const PackedText& insertion)
{
    if (insertion.isWide()) {
        replace(pos, removeLength, insertion.wide());
        return;
    }
    if (m_isWide) {
        replace(pos, removeLength, insertion.toString());
        return;
    }
    pos = std::clamp<qsizetype>(pos, 0, m_size);
    removeLength = std::clamp<qsizetype>(removeLength, 0, m_size - pos);
    replaceIn(m_narrow, pos, removeLength, insertion.narrow());
}

PackedText::PackedText(QStringView text)
{
    if (text.isEmpty())
        return;
    if (QtPrivate::isLatin1(text)) {
        m_data.resize(text.size() + 1);
        m_data[0] = narrowTag;
        put(m_data.data() + 1, text);
    } else {
        m_data.resize(2 + text.size() * 2);
        m_data[0] = wideTag;
        m_data[1] = wideTag;
        copyBytes(m_data.data() + 2, text.utf16(), static_cast<std::size_t>(text.size()) * 2);
    }
}

QString PackedText::mid(qsizetype pos, qsizetype length) const
{
    const qsizetype n = size();
    pos = std::clamp<qsizetype>(pos, 0, n);
    length = std::clamp<qsizetype>(length, 0, n - pos);
    if (isWide())
        return wide().mid(pos, length).toString();
    return QString::fromLatin1(narrow().sliced(pos, length));
}
