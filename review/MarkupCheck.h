#pragma once

#include <QList>
#include <QString>

// The markup check: HTML Tidy reads a copy of a page and reports what it finds wrong. Only
// the messages are used; the page itself is never changed. Pure and thread-safe: it runs on
// a worker thread with the text copied when the check was asked for.
namespace review {

enum class Severity { Error, Warning };

struct Finding {
    Severity severity = Severity::Warning;
    int line = 0;   // 1-based; 0 when the message is about the whole page
    int column = 0; // 1-based, in characters of the line
    QString message;
    // About proprietary or retired markup (FONT, MARQUEE, CENTER, presentational attributes):
    // what the program's own generators write on purpose, shown only on request.
    bool oldStyle = false;
};

struct CheckResult {
    QList<Finding> findings;
    int errors = 0;
    int warnings = 0;
    bool truncated = false; // more findings than are kept (see maxFindings)
    qint64 workerMs = 0;    // time the check took on its thread
};

// At most this many findings are kept: a huge broken page could otherwise report millions.
inline constexpr int maxFindings = 10000;

// Pages whose elements are left open inside each other deeper than this are not given to
// HTML Tidy: it parses recursively, and its time grows with the square of the depth (10,000
// levels take seconds, 40,000 over a minute). Real pages stay below a hundred.
inline constexpr int maxNesting = 10000;

// Where a conservative reading of the page (elements that close themselves, void elements,
// comments and script text known; any other element counted open until its end tag) first
// has more than `bound` elements open: the 1-based line, or 0 when it never has.
int lineOverNesting(const QString& text, int bound = maxNesting);

// Checks the page text. Line breaks may be "\n", "\r\n" or "\r"; lines and columns count
// from 1, a tab counts as one column. A page nested deeper than maxNesting gets one error
// saying so, at the line where the depth is passed.
CheckResult checkMarkup(const QString& text);

} // namespace review
