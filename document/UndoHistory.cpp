#include "document/UndoHistory.h"

#include "document/UndoTarget.h"

#include <algorithm>
#include <cstdlib>

namespace {

// Characters [start, start + length) of a text made of head[0, pos) + middle + head[pos + cut, end).
QString spliceRange(const GapText& head, int pos, int cut, const PackedText& middle, qsizetype start,
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
        out += middle.mid(a, b - a);
    }
    if (end > midEnd) {
        const qsizetype a = std::max(start, midEnd);
        out += head.mid(a - middle.size() + cut, end - a);
    }
    return out;
}

// Makes the splices of a set in a text. Positions are in the text before the set; each
// splice shifts the ones after it.
void splice(GapText& text, const SpliceSet& set)
{
    qsizetype shift = 0;
    qsizetype offset = 0;
    for (const SpliceSet::Splice& s : set.splices) {
        text.replace(s.pos + shift, s.removed, QStringView(set.text).mid(offset, s.inserted));
        offset += s.inserted;
        shift += s.inserted - s.removed;
    }
}

bool keepsCaretAfter(const QString& r) { return r == QLatin1String("\r\n") || r.size() < 2; }

// Where the edit control puts a caret asked for at p: clamped to the text, and a position
// between the CR and the LF of a break stays at the end of the line.
qsizetype caretAt(const GapText& text, qsizetype p)
{
    p = std::clamp<qsizetype>(p, 0, text.size());
    if (p > 0 && p < text.size() && text.mid(p - 1, 2) == QLatin1String("\r\n"))
        --p;
    return p;
}

// A run as the edit control stores it when it is assigned: every line break ("\r\n", "\n",
// "\r", the Unicode line and paragraph separators) becomes "\r\n".
QString asStored(const QString& run)
{
    QString out;
    out.reserve(run.size());
    for (qsizetype i = 0; i < run.size(); ++i) {
        const QChar c = run[i];
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n') || c == QChar(0x2028) || c == QChar(0x2029)) {
            if (c == QLatin1Char('\r') && i + 1 < run.size() && run[i + 1] == QLatin1Char('\n'))
                ++i;
            out += QLatin1String("\r\n");
        } else {
            out += c;
        }
    }
    return out;
}

// Longest stretch compared to tell whether the difference rule restores a text exactly; a
// change spread wider than this is restored from its recorded run instead.
constexpr qsizetype maxCompared = qsizetype(1) << 16;

// Whether replacing [at, at + cut) of `head` by `put` gives the same text as the recorded
// change: [pos, pos + cut2) replaced by `middle`. Both leave the text outside the stretch
// from the first of the two positions to the last of the two ends alike, so only that
// stretch is compared.
bool sameResult(const GapText& head, qsizetype at, qsizetype cut, const QString& put, qsizetype pos,
                qsizetype cut2, const PackedText& middle)
{
    const qsizetype growth = put.size() - cut;
    if (growth != middle.size() - cut2)
        return false;
    const qsizetype lo = std::min(at, pos);
    const qsizetype hi = std::max(at + cut, pos + cut2);
    const qsizetype length = hi - lo + growth;
    if (length > maxCompared)
        return false;
    const QString byRule = head.mid(lo, at - lo) + put + head.mid(at + cut, hi - at - cut);
    return byRule == spliceRange(head, static_cast<int>(pos), static_cast<int>(cut2), middle, lo, length);
}

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

UndoElement UndoHistory::diffFromHead(const UndoTarget& doc) const
{
    // The document can differ from the head only inside the drift span.
    UndoElement e;
    const int docLen = doc.textLength();
    const int headLen = static_cast<int>(m_head.size());
    const int pre = std::min({m_samePrefix, headLen, docLen});
    const int suf = std::min({m_sameSuffix, headLen - pre, docLen - pre});
    QString removed = m_head.mid(pre, headLen - pre - suf);
    QString inserted = doc.textRange(pre, docLen - pre - suf);
    // After an undo the span can cover text that came back unchanged: keep only what differs.
    qsizetype lead = 0;
    while (lead < removed.size() && lead < inserted.size() && removed[lead] == inserted[lead])
        ++lead;
    qsizetype tail = 0;
    while (tail < removed.size() - lead && tail < inserted.size() - lead &&
           removed[removed.size() - 1 - tail] == inserted[inserted.size() - 1 - tail])
        ++tail;
    e.pos = pre + static_cast<int>(lead);
    e.removed = QStringView(removed).mid(lead, removed.size() - lead - tail);
    e.inserted = QStringView(inserted).mid(lead, inserted.size() - lead - tail);
    return e;
}

bool UndoHistory::record(const UndoTarget& doc)
{
    if (!m_recording)
        return false;
    UndoElement e;
    if (!m_started) {
        // The first state is never undone past, so it keeps no change of its own.
        m_head.assign(doc.textRange(0, doc.textLength()));
        m_started = true;
    } else {
        e = diffFromHead(doc);
        m_head.replace(e.pos, e.removed.size(), e.inserted);
    }
    push(std::move(e), doc);
    return true;
}

void UndoHistory::push(UndoElement e, const UndoTarget& doc)
{
    // In the undo list the head holds what the change inserted.
    e.insertedLength = static_cast<int>(e.inserted.size());
    e.inserted = PackedText();
    m_redo.clear();
    m_redo.shrink_to_fit();
    e.SelStart = doc.selStart();
    e.TextLen = doc.textLength();
    m_docLength = e.TextLen;
    m_undo.push_back(std::move(e));
    clearDrift();
}

bool UndoHistory::inSync() const
{
    const int headLen = static_cast<int>(m_head.size());
    return m_samePrefix >= headLen && m_sameSuffix >= headLen;
}

void UndoHistory::spliceHead(const SpliceSet& set) { splice(m_head, set); }

bool UndoHistory::applySplices(UndoTarget& doc, const SpliceSet& set)
{
    if (set.empty())
        return false;
    const bool recording = m_recording;
    if (!recording || !m_started) {
        doc.applySplices(set);
        return false;
    }
    // The snapshot's own change brings the head to the document's text first (a drift left
    // by an undo that did not restore its text), then the splices follow on both.
    UndoElement e = diffFromHead(doc);
    m_head.replace(e.pos, e.removed.size(), e.inserted);
    m_recording = false;
    e.splices = std::make_unique<SpliceSet>(doc.applySplices(set));
    m_recording = true;
    spliceHead(set);
    push(std::move(e), doc);
    return true;
}

void UndoHistory::undoSplices(UndoTarget& doc, UndoElement& e)
{
    const bool wasInSync = inSync();
    const SpliceSet& back = *e.splices;
    const int at = back.splices.front().pos;
    SpliceSet again = doc.applySplices(back);
    spliceHead(back);
    e.inserted = PackedText(m_head.mid(e.pos, e.insertedLength));
    m_head.replace(e.pos, e.insertedLength, e.removed);
    *e.splices = std::move(again);
    doc.setSelStart(at);
    keepDriftAfter(wasInSync && e.removed.isEmpty() && e.insertedLength == 0, std::min(at, e.pos));
}

void UndoHistory::redoSplices(UndoTarget& doc, UndoElement& e)
{
    const bool wasInSync = inSync();
    m_head.replace(e.pos, e.removed.size(), e.inserted);
    const SpliceSet& forward = *e.splices;
    SpliceSet back = doc.applySplices(forward);
    spliceHead(forward);
    *e.splices = std::move(back);
    const SpliceSet::Splice& last = e.splices->splices.back();
    doc.setSelStart(last.pos + last.removed);
    keepDriftAfter(wasInSync && e.removed.isEmpty() && e.inserted.isEmpty(),
                   std::min(forward.splices.front().pos, e.pos));
    e.inserted = PackedText();
}

void UndoHistory::keepDriftAfter(bool exact, int from)
{
    // Exact: the document was the head's text and took the same splices. Otherwise the two
    // may differ anywhere from the first change on; the next snapshot compares them there.
    if (exact) {
        clearDrift();
    } else {
        m_samePrefix = std::min(m_samePrefix, from);
        m_sameSuffix = 0;
    }
}

void UndoHistory::restore(UndoTarget& doc, int pos, int cut, const QString& run)
{
    // Out with the run the change put in, then the neighbouring state's run in at the caret,
    // where it takes the insertion colour as the rule's re-inserted runs do.
    doc.hideSelection(true);
    if (cut > 0) {
        doc.setSelStart(pos);
        doc.setSelLength(cut);
        doc.setSelText(QString());
    }
    doc.setSelStart(pos);
    if (!run.isEmpty())
        doc.setSelText(run);
    if (keepsCaretAfter(run)) {
        doc.setSelStart(pos + static_cast<int>(run.size()));
    } else {
        doc.setSelStart(pos);
        doc.setSelLength(static_cast<int>(run.size()));
    }
    doc.hideSelection(false);
}

void UndoHistory::startOver(const UndoTarget& doc)
{
    m_redo.clear();
    m_redo.shrink_to_fit();
    if (!m_started || !inSync() || m_undo.empty()) {
        m_head.assign(doc.textRange(0, doc.textLength()));
        m_started = true;
    }
    // The head already holds the text when the document is in step with it (right after the
    // snapshot of a load): only the elements go.
    m_undo.clear();
    m_undo.shrink_to_fit();
    UndoElement first;
    first.SelStart = doc.selStart();
    first.TextLen = doc.textLength();
    m_docLength = first.TextLen;
    m_undo.push_back(std::move(first));
    clearDrift();
}

bool UndoHistory::undo(UndoTarget& doc)
{
    if (m_undo.size() < 2 || !m_recording)
        return false;
    m_recording = false;
    if (m_undo.back().splices) {
        UndoElement moved = std::move(m_undo.back());
        m_undo.pop_back();
        undoSplices(doc, moved);
        m_redo.push_back(std::move(moved));
        return true;
    }
    const UndoElement& L = m_undo.back();
    const UndoElement& P = m_undo[m_undo.size() - 2];

    // The difference rule, where it gives back exactly the previous text (a change that
    // only added or only removed text at the caret); any other change is taken back exactly.
    if (P.TextLen < L.TextLen) {
        const int d = L.TextLen - P.TextLen;
        const qsizetype from = caretAt(m_head, L.SelStart - d);
        const qsizetype to = caretAt(m_head, from + d);
        if (sameResult(m_head, from, to - from, QString(), L.pos, L.insertedLength, L.removed)) {
            doc.hideSelection(true);
            doc.setSelStart(L.SelStart - d);
            doc.setSelLength(d);
            doc.setSelText(QString());
            doc.hideSelection(false);
        } else {
            restore(doc, L.pos, L.insertedLength, L.removed.toString());
        }
    } else {
        // The previous text is the head with L's change taken back; the run needed is its
        // d characters from L.SelStart (what Change returns for these arguments).
        const int d = std::abs(P.TextLen - L.TextLen);
        const QString r = d == 0 ? QString()
                                 : spliceRange(m_head, L.pos, L.insertedLength, L.removed,
                                               std::max(0, L.SelStart), d);
        if (sameResult(m_head, caretAt(m_head, L.SelStart), 0, asStored(r), L.pos, L.insertedLength,
                       L.removed)) {
            doc.setSelStart(L.SelStart);
            doc.setSelText(r);
            doc.setSelStart(L.SelStart);
            if (keepsCaretAfter(r))
                doc.setSelStart(L.SelStart + static_cast<int>(r.size()));
            else
                doc.setSelLength(static_cast<int>(r.size()));
        } else {
            restore(doc, L.pos, L.insertedLength, L.removed.toString());
        }
    }

    UndoElement moved = std::move(m_undo.back());
    m_undo.pop_back();
    moved.inserted = PackedText(m_head.mid(moved.pos, moved.insertedLength));
    m_head.replace(moved.pos, moved.insertedLength, moved.removed);
    headReplaced(moved.pos, moved.insertedLength, static_cast<int>(moved.removed.size()));
    m_redo.push_back(std::move(moved));
    return true;
}

bool UndoHistory::redo(UndoTarget& doc)
{
    if (m_redo.empty() || !m_recording)
        return false;
    m_recording = false;
    if (m_redo.back().splices) {
        UndoElement moved = std::move(m_redo.back());
        m_redo.pop_back();
        redoSplices(doc, moved);
        m_undo.push_back(std::move(moved));
        return true;
    }
    const UndoElement& R = m_redo.back();
    const int n = doc.textLength();
    const int cut = static_cast<int>(R.removed.size());

    if (R.TextLen < n) {
        const qsizetype from = caretAt(m_head, R.SelStart);
        const qsizetype to = caretAt(m_head, from + (n - R.TextLen));
        if (sameResult(m_head, from, to - from, QString(), R.pos, cut, R.inserted)) {
            doc.setSelStart(R.SelStart);
            doc.setSelLength(n - R.TextLen);
            doc.setSelText(QString());
        } else {
            restore(doc, R.pos, cut, R.inserted.toString());
        }
    } else {
        // R's text is the head with R's change applied; Change(current, R.Text, R.SelStart + 1)
        // is the run of d characters of it ending just before R.SelStart (start clamped to 0).
        const int d = R.TextLen - n;
        const QString r = d == 0 ? QString()
                                 : spliceRange(m_head, R.pos, cut, R.inserted, std::max(0, R.SelStart - d), d);
        const int at = std::max(0, R.SelStart - static_cast<int>(r.size()));
        if (sameResult(m_head, caretAt(m_head, at), 0, asStored(r), R.pos, cut, R.inserted)) {
            doc.setSelStart(at);
            doc.setSelText(r);
            doc.setSelStart(at);
            if (keepsCaretAfter(r))
                doc.setSelStart(at + static_cast<int>(r.size()));
            else
                doc.setSelLength(static_cast<int>(r.size()));
        } else {
            restore(doc, R.pos, cut, R.inserted.toString());
        }
    }

    UndoElement moved = std::move(m_redo.back());
    m_redo.pop_back();
    m_head.replace(moved.pos, moved.removed.size(), moved.inserted);
    headReplaced(moved.pos, static_cast<int>(moved.removed.size()),
                 static_cast<int>(moved.inserted.size()));
    moved.inserted = PackedText();
    m_undo.push_back(std::move(moved));
    return true;
}

QString UndoHistory::undoText(int i) const
{
    GapText text(m_head.toString());
    for (int k = undoCount() - 1; k > i; --k) {
        const UndoElement& e = m_undo[static_cast<std::size_t>(k)];
        if (e.splices)
            splice(text, *e.splices);
        text.replace(e.pos, e.insertedLength, e.removed);
    }
    return text.toString();
}

QString UndoHistory::redoText(int i) const
{
    GapText text(m_head.toString());
    for (int k = redoCount() - 1; k >= i; --k) {
        const UndoElement& e = m_redo[static_cast<std::size_t>(k)];
        text.replace(e.pos, e.removed.size(), e.inserted);
        if (e.splices)
            splice(text, *e.splices);
    }
    return text.toString();
}

std::size_t UndoHistory::elementBytes() const
{
    std::size_t bytes = (m_undo.capacity() + m_redo.capacity()) * sizeof(UndoElement);
    auto strings = [](const UndoElement& e) {
        std::size_t b = 0;
        for (const PackedText* s : {&e.removed, &e.inserted})
            if (s->capacityBytes() > 0)
                b += 32 + s->capacityBytes();
        return b;
    };
    for (const std::vector<UndoElement>* list : {&m_undo, &m_redo})
        for (const UndoElement& e : *list)
            bytes += strings(e) + (e.splices ? sizeof(SpliceSet) + e.splices->bytes() : 0);
    return bytes;
}
