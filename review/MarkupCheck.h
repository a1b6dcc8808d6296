#pragma once

#include <QList>
#include <QString>

// The markup check: HTML Tidy reads a copy of a page and reports what it finds wrong. Only
// the messages are used; the page itself is never changed. Pure and thread-safe: it runs on
// a worker thread with the text copied when the check was asked for.
namespace review {

// In the order the list shows them by default. Accessibility findings come from the
// checker's accessibility checks, run only when asked for.
enum class Severity { Error, Warning, Accessibility };

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
    int accessibility = 0;
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
// saying so, at the line where the depth is passed. `accessibility` 1, 2 or 3 adds the
// checker's accessibility checks of that priority and above (0: none).
//
// The messages say what is wrong with the page and where, not what the checker would do to
// repair it; elements that are not closed, or closed by the wrong end tag, are errors.
CheckResult checkMarkup(const QString& text, int accessibility = 0);

// The offset in UTF-16 units of a 1-based column (counted in code points, as the checker
// counts them) within `line`, clamped to the line.
int columnToOffset(QStringView line, int column);

} // namespace review
