#include "document/UndoHistory.h"

#include "document/UndoTarget.h"

#include <algorithm>
#include <cstdlib>

namespace {

// Characters [start, start + length) of a text made of head[0, pos) + middle + head[pos + cut, end).
QString spliceRange(const GapText& head, int pos, int cut, const QString& middle, qsizetype start,
                    qsizetype length)
{
    const qsizetype total = head.size() - cut + middle.size();
    start = std::clamp<qsizetype>(start, 0, total);
    length = std::clamp<qsizetype>(length, 0, total - start);
    QString out;
    out.reserve(length);
    const qsizetype end = start + length;
    const qsizetype midEnd = pos + middle.size();
    if (start < pos)
        out += head.mid(start, std::min<qsizetype>(end, pos) - start);
    if (end > pos && start < midEnd) {
        const qsizetype a = std::max<qsizetype>(start, pos) - pos;
        const qsizetype b = std::min<qsizetype>(end, midEnd) - pos;
        out += QStringView(middle).mid(a, b - a);
    }
    if (end > midEnd) {
        const qsizetype a = std::max(start, midEnd);
        out += head.mid(a - middle.size() + cut, end - a);
    }
    return out;
}

bool keepsCaretAfter(const QString& r) { return r == QLatin1String("\r\n") || r.size() < 2; }

} // namespace

QString UndoHistory::Change(const QString& lParam1, const QString& lParam2, const int& startSearch)
{
    const QString* shorter = &lParam1;
    const QString* longer = &lParam2;
    if (lParam1.size() > lParam2.size())
        std::swap(shorter, longer);
    const qsizetype d = longer->size() - shorter->size();
    if (d == 0)
        return QString();
    const qsizetype start = std::max<qsizetype>(1, static_cast<qsizetype>(startSearch) - d);
    return longer->mid(start - 1, d);
}

void UndoHistory::clearDrift()
{
    // Document and head are the same text: they agree on every leading and trailing character.
    m_samePrefix = static_cast<int>(m_head.size());
    m_sameSuffix = m_samePrefix;
}

void UndoHistory::noteEdit(int pos, int removed, int inserted, int newLength)
{
    const int oldLength = newLength - inserted + removed;
    m_docLength = newLength;
    if (!m_started)
        return;
    m_samePrefix = std::min(m_samePrefix, pos);
    m_sameSuffix = std::min(m_sameSuffix, std::max(0, oldLength - pos - removed));
}

void UndoHistory::headReplaced(int pos, int removed, int inserted)
{
    const int oldHead = static_cast<int>(m_head.size()) - inserted + removed;
    m_samePrefix = std::min(m_samePrefix, pos);
    m_sameSuffix = std::min(m_sameSuffix, std::max(0, oldHead - pos - removed));
}

bool UndoHistory::record(const UndoTarget& doc)
{
    if (!m_recording)
        return false;
    m_redo.clear();
    m_redo.shrink_to_fit();

    UndoElement e;
    e.SelStart = doc.selStart();
    e.TextLen = doc.textLength();
    m_docLength = e.TextLen;
    if (!m_started) {
        // The first state is never undone past, so it keeps no change of its own.
        m_head.assign(doc.textRange(0, e.TextLen));
        m_started = true;
    } else {
        const int headLen = static_cast<int>(m_head.size());
        const int pre = std::min({m_samePrefix, headLen, e.TextLen});
        const int suf = std::min({m_sameSuffix, headLen - pre, e.TextLen - pre});
        e.pos = pre;
        e.removed = m_head.mid(pre, headLen - pre - suf);
        e.inserted = doc.textRange(pre, e.TextLen - pre - suf);
        // After an undo the span can cover text that came back unchanged: keep only what differs.
        qsizetype lead = 0;
        while (lead < e.removed.size() && lead < e.inserted.size() &&
               e.removed[lead] == e.inserted[lead])
            ++lead;
        qsizetype tail = 0;
        while (tail < e.removed.size() - lead && tail < e.inserted.size() - lead &&
               e.removed[e.removed.size() - 1 - tail] == e.inserted[e.inserted.size() - 1 - tail])
            ++tail;
        if (lead > 0 || tail > 0) {
            e.pos += static_cast<int>(lead);
            e.removed = e.removed.mid(lead, e.removed.size() - lead - tail);
            e.inserted = e.inserted.mid(lead, e.inserted.size() - lead - tail);
        }
        m_head.replace(e.pos, e.removed.size(), e.inserted);
    }
    m_undo.push_back(std::move(e));
    clearDrift();
    return true;
}

bool UndoHistory::undo(UndoTarget& doc)
{
    if (m_undo.size() < 2 || !m_recording)
        return false;
    m_recording = false;
    const UndoElement& L = m_undo.back();
    const UndoElement& P = m_undo[m_undo.size() - 2];

    if (P.TextLen < L.TextLen) {
        const int d = L.TextLen - P.TextLen;
        doc.hideSelection(true);
        doc.setSelStart(L.SelStart - d);
        doc.setSelLength(d);
        doc.setSelText(QString());
        doc.hideSelection(false);
    } else {
        // The previous text is the head with L's change taken back; the run needed is its
        // d characters from L.SelStart (what Change returns for these arguments).
        const int d = std::abs(P.TextLen - L.TextLen);
        const QString r = d == 0 ? QString()
                                 : spliceRange(m_head, L.pos, static_cast<int>(L.inserted.size()),
                                               L.removed, std::max(0, L.SelStart), d);
        doc.setSelStart(L.SelStart);
        doc.setSelText(r);
        doc.setSelStart(L.SelStart);
        if (keepsCaretAfter(r))
            doc.setSelStart(L.SelStart + static_cast<int>(r.size()));
        else
            doc.setSelLength(static_cast<int>(r.size()));
    }

    UndoElement moved = std::move(m_undo.back());
    m_undo.pop_back();
    m_head.replace(moved.pos, moved.inserted.size(), moved.removed);
    headReplaced(moved.pos, static_cast<int>(moved.inserted.size()),
                 static_cast<int>(moved.removed.size()));
    m_redo.push_back(std::move(moved));
    return true;
}

bool UndoHistory::redo(UndoTarget& doc)
{
    if (m_redo.empty() || !m_recording)
        return false;
    m_recording = false;
    const UndoElement& R = m_redo.back();
    const int n = doc.textLength();

    if (R.TextLen < n) {
        doc.setSelStart(R.SelStart);
        doc.setSelLength(n - R.TextLen);
        doc.setSelText(QString());
    } else {
        // R's text is the head with R's change applied; Change(current, R.Text, R.SelStart + 1)
        // is the run of d characters of it ending just before R.SelStart (start clamped to 0).
        const int d = R.TextLen - n;
        const QString r = d == 0 ? QString()
                                 : spliceRange(m_head, R.pos, static_cast<int>(R.removed.size()),
                                               R.inserted, std::max(0, R.SelStart - d), d);
        const int at = std::max(0, R.SelStart - static_cast<int>(r.size()));
        doc.setSelStart(at);
        doc.setSelText(r);
        doc.setSelStart(at);
        if (keepsCaretAfter(r))
            doc.setSelStart(at + static_cast<int>(r.size()));
        else
            doc.setSelLength(static_cast<int>(r.size()));
    }

    UndoElement moved = std::move(m_redo.back());
    m_redo.pop_back();
    m_head.replace(moved.pos, moved.removed.size(), moved.inserted);
    headReplaced(moved.pos, static_cast<int>(moved.removed.size()),
                 static_cast<int>(moved.inserted.size()));
    m_undo.push_back(std::move(moved));
    return true;
}

QString UndoHistory::undoText(int i) const
{
    GapText text(m_head.toString());
    for (int k = undoCount() - 1; k > i; --k) {
        const UndoElement& e = m_undo[static_cast<std::size_t>(k)];
        text.replace(e.pos, e.inserted.size(), e.removed);
    }
    return text.toString();
}

QString UndoHistory::redoText(int i) const
{
    GapText text(m_head.toString());
    for (int k = redoCount() - 1; k >= i; --k) {
        const UndoElement& e = m_redo[static_cast<std::size_t>(k)];
        text.replace(e.pos, e.removed.size(), e.inserted);
    }
    return text.toString();
}

std::size_t UndoHistory::elementBytes() const
{
    std::size_t bytes = (m_undo.capacity() + m_redo.capacity()) * sizeof(UndoElement);
    auto strings = [](const UndoElement& e) {
        std::size_t b = 0;
        for (const QString* s : {&e.removed, &e.inserted})
            if (s->capacity() > 0)
                b += 32 + static_cast<std::size_t>(s->capacity()) * sizeof(QChar);
        return b;
    };
    for (const UndoElement& e : m_undo)
        bytes += strings(e);
    for (const UndoElement& e : m_redo)
        bytes += strings(e);
    return bytes;
}
