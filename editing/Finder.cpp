#include "editing/Finder.h"

#include "document/RichEdit.h"
#include "document/Splices.h"
#include "document/frmDocument.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <limits>
#include <vector>

namespace editing {

namespace {

// Searches run over lines of the text: a long line held as several display blocks is
// searched as one. Positions are the widget's own.
struct Hit {
    int start = -1;
    int end = -1;
    bool found() const { return start >= 0; }
};

// The widget position `offset` characters into the line that starts with block `first`.
int positionIn(const RichEdit& edit, const QTextBlock& first, qsizetype offset)
{
    if (edit.displayBreakCount() == 0)
        return first.position() + static_cast<int>(offset);
    return edit.toDocumentPosition(edit.toCrlfPosition(first.position()) + static_cast<int>(offset));
}

QTextBlock lineStartOf(const RichEdit& edit, QTextBlock b)
{
    while (edit.continuesLine(b))
        b = b.previous();
    return b;
}

Hit hitAt(const RichEdit& edit, const QTextBlock& first, const Match& m)
{
    return {positionIn(edit, first, m.start), positionIn(edit, first, m.end())};
}

// The first match starting in [from, to), passing over an empty match at `skipEmptyAt`.
Hit forward(const RichEdit& edit, const SearchPattern& pattern, int from, int to, int skipEmptyAt)
{
    QTextBlock b = lineStartOf(edit, edit.document()->findBlock(from));
    qsizetype start = edit.columnOf(from);
    while (b.isValid() && b.position() < to) {
        QTextBlock last;
        const QString text = edit.lineText(b, &last);
        Match m = pattern.next(text, start);
        if (m.found() && m.length == 0 && positionIn(edit, b, m.start) == skipEmptyAt)
            m = pattern.next(text, m.start + 1);
        if (m.found()) {
            const Hit hit = hitAt(edit, b, m);
            return hit.start < to ? hit : Hit{};
        }
        b = last.next();
        start = 0;
    }
    return {};
}

// The last match starting in [floor, before).
Hit backward(const RichEdit& edit, const SearchPattern& pattern, int before, int floor)
{
    QTextBlock b = lineStartOf(edit, edit.document()->findBlock(before));
    qsizetype limit = edit.columnOf(before);
    while (b.isValid()) {
        QTextBlock last;
        const QString text = edit.lineText(b, &last);
        if (last.position() + last.length() <= floor)
            break;
        Match m = pattern.previous(text, std::min<qsizetype>(text.size() + 1, limit));
        if (m.found()) {
            const Hit hit = hitAt(edit, b, m);
            return hit.start >= floor ? hit : Hit{};
        }
        b = lineStartOf(edit, b.previous());
        limit = std::numeric_limits<qsizetype>::max();
    }
    return {};
}

// A replacement's line breaks in the document model's form, so that its length counts them
// as two characters as the history does.
QString withCrlfBreaks(QString text)
{
    if (!text.contains(QLatin1Char('\r')) && !text.contains(QLatin1Char('\n')))
        return text;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
}

} // namespace

Outcome find(RichEdit& edit, const SearchPattern& pattern, Direction direction)
{
    if (!pattern.usable())
        return Outcome::NotFound;
    const QTextDocument* doc = edit.document();
    const QTextCursor c = edit.textCursor();
    const int end = doc->characterCount();
    Hit hit;
    bool wrapped = false;
    if (direction == Direction::Forward) {
        const int from = c.selectionEnd();
        const int skip = c.hasSelection() ? -1 : from;
        hit = forward(edit, pattern, from, end, skip);
        if (!hit.found()) {
            hit = forward(edit, pattern, 0, from, skip);
            wrapped = hit.found();
        }
    } else {
        const int before = c.selectionStart();
        hit = backward(edit, pattern, before, 0);
        if (!hit.found()) {
            hit = backward(edit, pattern, end - 1, before);
            wrapped = hit.found();
        }
    }
    if (!hit.found())
        return Outcome::NotFound;
    QTextCursor select(edit.document());
    select.setPosition(hit.start);
    select.setPosition(hit.end, QTextCursor::KeepAnchor);
    edit.setTextCursor(select);
    edit.ensureCursorVisible();
    return wrapped ? Outcome::Wrapped : Outcome::Found;
}

bool replaceSelection(frmDocument& doc, const SearchPattern& pattern, const QString& with)
{
    RichEdit& edit = *doc.editor();
    const QTextCursor c = edit.textCursor();
    if (!pattern.usable() || !c.hasSelection())
        return false;
    const QTextBlock block = lineStartOf(edit, edit.document()->findBlock(c.selectionStart()));
    const int offset = edit.columnOf(c.selectionStart());
    const Match m = pattern.next(edit.lineText(block), offset);
    if (m.start != offset || m.length != edit.selLength())
        return false;
    SpliceSet set;
    set.text = withCrlfBreaks(pattern.replacement(with, m));
    const int at = edit.toCrlfPosition(c.selectionStart());
    set.splices.push_back({at, static_cast<int>(m.length), static_cast<int>(set.text.size())});
    doc.applySplices(set);
    edit.setSelStart(at + static_cast<int>(set.text.size()));
    return true;
}

int replaceAll(frmDocument& doc, const SearchPattern& pattern, const QString& with)
{
    if (!pattern.usable())
        return 0;
    SpliceSet set;
    int number = 0;
    const RichEdit& edit = *doc.editor();
    const bool displayBreaks = edit.displayBreakCount() > 0;
    QTextBlock last;
    for (QTextBlock b = edit.document()->begin(); b.isValid(); b = last.next(), ++number) {
        const QString text = edit.lineText(b, &last);
        // The line's start, line breaks counting two.
        const int base = displayBreaks ? edit.toCrlfPosition(b.position()) : b.position() + number;
        pattern.forEach(text, [&](const Match& m) {
            const QString r = withCrlfBreaks(pattern.replacement(with, m));
            if (m.length == 0 && r.isEmpty())
                return;
            set.splices.push_back(
                {base + static_cast<int>(m.start), static_cast<int>(m.length), static_cast<int>(r.size())});
            set.text += r;
        });
    }
    doc.applySplices(set);
    return static_cast<int>(set.splices.size());
}

QList<QTextEdit::ExtraSelection> visibleMatches(RichEdit& edit, const SearchPattern& pattern,
                                                const QTextCharFormat& look, int limit)
{
    QList<QTextEdit::ExtraSelection> out;
    if (!pattern.usable())
        return out;
    const QRect view = edit.viewport()->rect();
    const int first = edit.cursorForPosition(view.topLeft()).position();
    const int last = edit.cursorForPosition(view.bottomRight()).position();
    QTextDocument* doc = edit.document();
    QTextBlock b = doc->findBlock(first);
    while (b.isValid() && b.position() <= last) {
        // A long line held as several display blocks is searched as one text, so that a match
        // a display-only break cuts is marked whole; only its shown blocks (and the one after
        // them) are joined. Each joined block's start: in the text, and in the document.
        QString text = b.text();
        std::vector<std::pair<qsizetype, int>> starts{{0, b.position()}};
        QTextBlock next = b.next();
        for (; next.isValid() && edit.continuesLine(next) && starts.back().second <= last; next = next.next()) {
            starts.emplace_back(text.size(), next.position());
            text += next.text();
        }
        const auto toDocument = [&starts](qsizetype at) {
            const auto in = std::prev(std::upper_bound(starts.begin(), starts.end(), at,
                                                       [](qsizetype a, const auto& start) { return a < start.first; }));
            return in->second + static_cast<int>(at - in->first);
        };
        for (Match m = pattern.next(text, std::max(0, first - b.position())); m.found() && toDocument(m.start) <= last;
             m = pattern.next(text, m.end() + (m.length == 0 ? 1 : 0))) {
            if (m.length == 0)
                continue;
            if (out.size() >= limit)
                return out;
            QTextEdit::ExtraSelection s;
            s.cursor = QTextCursor(doc);
            s.cursor.setPosition(toDocument(m.start));
            s.cursor.setPosition(toDocument(m.end()), QTextCursor::KeepAnchor);
            s.format = look;
            out.append(s);
        }
        b = next;
    }
    return out;
}

} // namespace editing
