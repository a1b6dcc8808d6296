#pragma once

#include <QString>
#include <QStringList>

// The program the desktop associates with a file's type (for pages: the default web browser),
// found the freedesktop way: the default application for the MIME type, then its desktop
// entry's command line.
namespace platform::browser {

struct Association {
    QString desktopEntry; // e.g. "firefox-esr.desktop"
    QString program;      // the executable to start
    QStringList arguments; // with the file's place marked by fileArgument
};
inline const QString fileArgument = QStringLiteral("\x01file\x01");

// The association for the type of an existing file; empty program when there is none.
Association associationFor(const QString& existingFile);

enum class Launch { Started, NotFound, Failed };

// Starts the program associated with the type of lookupFile, detached, with `page` as its
// argument (as a local file URL when the entry asks for URLs).
Launch openWith(const QString& lookupFile, const QString& page);

} // namespace platform::browser
