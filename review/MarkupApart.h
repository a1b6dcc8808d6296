#pragma once

#include "review/MarkupCheck.h"

#include <QByteArray>
#include <QString>

// The markup check in a process of its own (the helper program halvane-markup), so that the
// checker failing on a page — HTML Tidy recurses once per open element and runs out of stack
// on pages nested deeply enough — cannot take the editor and its unsaved pages with it.
namespace review::apart {

// The stack the helper checks on: enough for several million nested elements (tidy takes
// about 100 bytes a level, two levels for an element that implies another, as DL does).
// It is address space only; the pages a check does not reach are never committed.
inline constexpr qint64 defaultStackBytes = qint64(512) * 1024 * 1024;

// Checks the page in the helper and returns its findings. When the helper fails (crashes,
// cannot be started, answers nonsense), the result is one error about the whole page that
// says so. `stackBytes` is the helper's stack (0: its default); `accessibility` as for
// review::checkMarkup().
CheckResult checkMarkup(const QString& text, qint64 stackBytes = 0, int accessibility = 0);

// Where a file installed with the program is looked for, in order: beside the program's
// binary, in lib/halvane beside its bin folder, then at `buildTreePath` (empty: not there).
QStringList besideProgram(const QString& name, const QString& buildTreePath = QString());

// Where the helper program is looked for, in order.
QStringList helperCandidates();

// The helper's answer on the wire, and back (false when `bytes` is not a whole answer).
QByteArray encode(const CheckResult& result);
bool decode(const QByteArray& bytes, CheckResult* result);

} // namespace review::apart
