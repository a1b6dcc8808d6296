#pragma once

#include <QRegularExpression>
#include <QString>
#include <QStringView>

namespace editing {

struct SearchOptions {
    bool matchCase = false;
    bool wholeWords = false;
    bool regularExpression = false;
};

// A match inside one line: where it starts and how long it is; with a regular expression
// also the match itself, for the groups of a replacement.
struct Match {
    qsizetype start = -1;
    qsizetype length = 0;
    QRegularExpressionMatch groups;

    bool found() const { return start >= 0; }
    qsizetype end() const { return start + length; }
};

// What the user searches for, with its options, applied to one line of text at a time: a
// match never spans a line break.
//
// A whole word has no letter, digit or underscore directly before or after it. In a
// replacement for a regular expression, \0 stands for the whole match, \1 to \9 for its
// groups and \\ for one backslash; any other text is taken as it is.
class SearchPattern {
public:
    SearchPattern() = default;
    SearchPattern(const QString& text, SearchOptions options);

    bool isEmpty() const { return m_text.isEmpty(); }
    // False for a regular expression that does not compile; errorText() then says why.
    bool isValid() const { return m_valid; }
    QString errorText() const { return m_error; }
    // Something to search for: not empty and valid.
    bool usable() const { return !isEmpty() && m_valid; }
    const QString& text() const { return m_text; }
    SearchOptions options() const { return m_options; }

    // The first match starting at or after `from`.
    Match next(const QString& line, qsizetype from) const;
    // The last match starting before `before`.
    Match previous(const QString& line, qsizetype before) const;
    // Calls f(match) for every match of the line, left to right, without overlaps; an empty
    // match is followed by a search one character further on.
    template <class F> void forEach(const QString& line, F f) const
    {
        for (Match m = next(line, 0); m.found(); m = next(line, m.end() + (m.length == 0 ? 1 : 0)))
            f(m);
    }

    // The text that takes a match's place.
    QString replacement(const QString& replaceWith, const Match& match) const;

private:
    bool isWholeWord(const QString& line, qsizetype start, qsizetype end) const;

    QString m_text;
    SearchOptions m_options;
    QRegularExpression m_regex;
    bool m_valid = true;
    QString m_error;
};

} // namespace editing
