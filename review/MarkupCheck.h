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

// Checks the page text. Line breaks may be "\n", "\r\n" or "\r"; lines and columns count
// from 1, a tab counts as one column.
CheckResult checkMarkup(const QString& text);

} // namespace review
