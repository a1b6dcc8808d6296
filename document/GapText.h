#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <vector>

// A text buffer with a movable gap: edits near the previous edit cost only the size of the
// edit, so a copy of a multi-megabyte page can follow keystrokes without moving the page.
//
// While every character fits Latin-1 (nearly every page) the buffer holds one byte per
// character; the first character beyond it widens the buffer to UTF-16, once.
class PackedText;

class GapText {
public:
    GapText() = default;
    explicit GapText(QStringView text) { assign(text); }

    void assign(QStringView text);
    qsizetype size() const { return m_size; }
    QString mid(qsizetype pos, qsizetype length) const;
    QString toString() const { return mid(0, size()); }
    void replace(qsizetype pos, qsizetype removeLength, QStringView insertion);
    void replace(qsizetype pos, qsizetype removeLength, const PackedText& insertion);
    std::size_t capacityBytes() const { return m_narrow.capacity() + m_wide.capacity() * sizeof(char16_t); }
    bool isCompact() const { return !m_isWide; }

private:
    template <class T, class Text>
    void replaceIn(std::vector<T>& buf, qsizetype pos, qsizetype removeLength, Text insertion);
    template <class T>
    void moveGap(std::vector<T>& buf, qsizetype pos);
    template <class T>
    void ensureGap(std::vector<T>& buf, qsizetype needed);
    void widen();

    std::vector<char> m_narrow;     // the buffer while the text fits Latin-1
    std::vector<char16_t> m_wide;   // the buffer afterwards
    bool m_isWide = false;
    qsizetype m_size = 0;
    qsizetype m_gapStart = 0;
    qsizetype m_gapEnd = 0;
};

// A run of text kept as one byte per character when it fits Latin-1, else as UTF-16. One
// array holds both: a tag byte, then the characters (UTF-16 from the third byte, aligned).
class PackedText {
public:
    PackedText() = default;
    PackedText(QStringView text); // NOLINT: a run is made from any text
    qsizetype size() const
    {
        return m_data.isEmpty() ? 0 : isWide() ? (m_data.size() - 2) / 2 : m_data.size() - 1;
    }
    bool isEmpty() const { return m_data.isEmpty(); }
    QString toString() const { return mid(0, size()); }
    QString mid(qsizetype pos, qsizetype length) const;
    bool isWide() const { return !m_data.isEmpty() && m_data.front() == wideTag; }
    QByteArrayView narrow() const { return QByteArrayView(m_data).sliced(m_data.isEmpty() ? 0 : 1); }
    QStringView wide() const
    {
        return QStringView(reinterpret_cast<const char16_t*>(m_data.constData() + 2), size());
    }
    std::size_t capacityBytes() const { return static_cast<std::size_t>(m_data.capacity()); }

private:
    static constexpr char narrowTag = 'n';
    static constexpr char wideTag = 'w';
    QByteArray m_data;
};
