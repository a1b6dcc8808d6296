#pragma once

#include <QString>
#include <functional>

class QObject;

// The program the desktop associates with a file's type (for pages: the default web browser),
// found and started through GIO: the desktop's own lookup of the default application for a
// MIME type (every mimeapps.list, desktop-specific lists, removed associations, the programs
// the desktop lists for the type) and its expansion of the entry's command line. This program
// is never the association, even where it is the desktop's default for pages: then the
// default web browser is, or else the next program listed for the type.
namespace platform::browser {

struct Association {
    QString desktopEntry; // e.g. "firefox-esr.desktop"
    QString program;      // the executable it starts
};

// The association for the type of an existing file; empty program when there is none.
Association associationFor(const QString& existingFile);

enum class Launch { Started, NotFound, Failed };

// Starts the program associated with the type of lookupFile with `page` (a local file's path,
// or a URL such as a web link) as its argument, as
// the desktop would open the page with it (a local page goes as its path, also where the
// entry takes URLs). An entry whose program is not installed is no association at all (the
// desktop offers it nowhere): NotFound. Failed: the program could not be started.
//
// The call does not wait for the program. The desktop starts it through a small launcher
// that reports a program it cannot execute only by ending at once; when that happens,
// `failedToStart` is called later on `receiver`'s thread (unless receiver is gone by then).
// The program is reaped when it ends: no child of ours is ever left behind.
Launch openWith(const QString& lookupFile, const QString& page, QObject* receiver = nullptr,
                std::function<void()> failedToStart = {});

} // namespace platform::browser
