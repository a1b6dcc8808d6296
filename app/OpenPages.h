#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class QWidget;
class frmMain;

// Opening pages that come from outside the Open dialog: the command line, another start of
// the program, files dropped from a file manager, the recent pages.
namespace files {

// Opens a file in a document window of its own, as Open reads it (encoding, colours of an
// editing file), with its path as the caption; the shared dialog file name becomes that path.
// A window that already shows the file is brought forward instead. On failure no window is
// left behind and `reason` says why.
bool openPage(frmMain& main, const QString& path, QString* reason);

// Opens each file in turn ("-": a new page holding `standardInput`, as a plain page read from
// a file would be); every file that cannot be opened is named, with its reason, in one message.
void openPages(frmMain& main, const QStringList& paths, const QByteArray& standardInput = {});

// Raises the window over the others and gives it the focus, restoring it when minimised.
void bringToFront(QWidget& window);

} // namespace files
