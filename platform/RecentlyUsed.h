#pragma once

#include <QString>

// The desktop's shared list of recently used files (the freedesktop "recently-used.xbel"),
// which file managers and file pickers offer.
namespace platform::recent {

// Where the list lives: recently-used.xbel in the user's data folder.
QString desktopListPath();

// Puts a file at the top of the list as used now by Halvane, with its MIME type. Other
// programs' entries are kept as they are; the list is replaced atomically and stays private
// (0600). A list that cannot be read (damaged) is left alone. False, with `reason`, on failure.
bool addToDesktopList(const QString& path, const QString& mimeType, QString* reason = nullptr);

} // namespace platform::recent
