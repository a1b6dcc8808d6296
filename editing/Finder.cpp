#include "editing/Finder.h"

#include "document/RichEdit.h"
#include "document/Splices.h"
#include "document/frmDocument.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace editing {

namespace {

struct Hit {
    QTextBlock block;
    Match match;
    bool found() const { return match.found(); }
    int position() const { return block.position() + static_cast<int>(match.start); }
};

// The first match starting in [from, to), passing over an empty match at `skipEmptyAt`.
Hit forward(const QTextDocument* doc, const SearchPattern& pattern, int from, int to, int skipEmptyAt)
{
    for (QTextBlock b = doc->findBlock(from); b.isValid() && b.position() < to; b = b.next()) {
        const QString text = b.text();
        Match m = pattern.next(text, std::max(0, from - b.position()));
        if (m.found() && m.length == 0 && b.position() + m.start == skipEmptyAt)
            m = pattern.next(text, m.start + 1);
        if (m.found())
            return b.position() + m.start < to ? Hit{b, std::move(m)} : Hit{};
    }
    return {};
}

// The last match starting in [floor, before).
Hit backward(const QTextDocument* doc, const SearchPattern& pattern, int before, int floor)
{
    for (QTextBlock b = doc->findBlock(before); b.isValid() && b.position() + b.length() > floor;
         b = b.previous()) {
        const QString text = b.text();
        const qsizetype limit = std::min<qsizetype>(text.size() + 1, before - b.position());
        Match m = pattern.previous(text, limit);
        if (m.found())
            return b.position() + m.start >= floor ? Hit{b, std::move(m)} : Hit{};
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
        hit = forward(doc, pattern, from, end, skip);
        if (!hit.found()) {
            hit = forward(doc, pattern, 0, from, skip);
            wrapped = hit.found();
        }
    } else {
        const int before = c.selectionStart();
        hit = backward(doc, pattern, before, 0);
        if (!hit.found()) {
            hit = backward(doc, pattern, end - 1, before);
            wrapped = hit.found();
        }
    }
    if (!hit.found())
        return Outcome::NotFound;
    QTextCursor select(edit.document());
    select.setPosition(hit.position());
    select.setPosition(hit.position() + static_cast<int>(hit.match.length), QTextCursor::KeepAnchor);
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
    const QTextBlock block = edit.document()->findBlock(c.selectionStart());
    const int offset = c.selectionStart() - block.position();
    const Match m = pattern.next(block.text(), offset);
    if (m.start != offset || m.length != c.selectionEnd() - c.selectionStart())
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
    for (QTextBlock b = doc.editor()->document()->begin(); b.isValid(); b = b.next(), ++number) {
        const QString text = b.text();
        const int base = b.position() + number; // the block's start, line breaks counting two
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
    for (QTextBlock b = doc->findBlock(first); b.isValid() && b.position() <= last; b = b.next()) {
        // Only the shown part of a long line is searched.
        const QString text = b.text();
        const qsizetype to = last - b.position();
        for (Match m = pattern.next(text, std::max(0, first - b.position())); m.found() && m.start <= to;
             m = pattern.next(text, m.end() + (m.length == 0 ? 1 : 0))) {
            if (m.length == 0)
                continue;
            if (out.size() >= limit)
                return out;
            QTextEdit::ExtraSelection s;
            s.cursor = QTextCursor(doc);
            s.cursor.setPosition(b.position() + static_cast<int>(m.start));
            s.cursor.setPosition(b.position() + static_cast<int>(m.end()), QTextCursor::KeepAnchor);
            s.format = look;
            out.append(s);
        }
    }
    return out;
}

} // namespace editing
