#pragma once

#include <QString>
#include <QStringView>
#include <vector>

// A text buffer with a movable gap: edits near the previous edit cost only the size of the
// edit, so a copy of a multi-megabyte page can follow keystrokes without moving the page.
class GapText {
public:
    GapText() = default;
    explicit GapText(QStringView text) { assign(text); }

    void assign(QStringView text);
    qsizetype size() const { return static_cast<qsizetype>(m_buf.size()) - gapLength(); }
    QString mid(qsizetype pos, qsizetype length) const;
    QString toString() const { return mid(0, size()); }
    void replace(qsizetype pos, qsizetype removeLength, QStringView insertion);
    std::size_t capacityBytes() const { return m_buf.capacity() * sizeof(QChar); }

private:
    qsizetype gapLength() const { return m_gapEnd - m_gapStart; }
    void moveGap(qsizetype pos);
    void ensureGap(qsizetype needed);

    std::vector<QChar> m_buf;
    qsizetype m_gapStart = 0;
    qsizetype m_gapEnd = 0;
};
