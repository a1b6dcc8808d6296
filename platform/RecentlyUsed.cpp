#include <glib.h> // first: GLib's headers use names that Qt's keywords redefine

#include "platform/RecentlyUsed.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <memory>

namespace platform::recent {

namespace {

struct BookmarkFileFree {
    void operator()(GBookmarkFile* f) const { g_bookmark_file_free(f); }
};
struct GFree {
    void operator()(void* p) const { g_free(p); }
};

QString takeError(GError* error)
{
    const QString text = error ? QString::fromUtf8(error->message) : QString();
    if (error)
        g_error_free(error);
    return text;
}

} // namespace

QString desktopListPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/recently-used.xbel");
}

bool addToDesktopList(const QString& path, const QString& mimeType, QString* reason)
{
    QString ignored;
    QString& why = reason ? *reason : ignored;
    const QString listPath = desktopListPath();
    const QByteArray listFile = QFile::encodeName(listPath);
    std::unique_ptr<GBookmarkFile, BookmarkFileFree> list(g_bookmark_file_new());
    GError* error = nullptr;
    if (QFileInfo::exists(listPath) &&
        !g_bookmark_file_load_from_file(list.get(), listFile.constData(), &error)) {
        // Rewriting a list we cannot read would lose every other program's entries.
        why = takeError(error);
        return false;
    }
    std::unique_ptr<char, GFree> uri(
        g_filename_to_uri(QFile::encodeName(QFileInfo(path).absoluteFilePath()).constData(), nullptr, &error));
    if (!uri) {
        why = takeError(error);
        return false;
    }
    g_bookmark_file_set_mime_type(list.get(), uri.get(), mimeType.toUtf8().constData());
    // Adding the application again counts one more use and sets the times to now.
    g_bookmark_file_add_application(list.get(), uri.get(), "Halvane", "halvane %u");

    gsize length = 0;
    std::unique_ptr<char, GFree> data(g_bookmark_file_to_data(list.get(), &length, &error));
    if (!data) {
        why = takeError(error);
        return false;
    }
    QDir().mkpath(QFileInfo(listPath).absolutePath());
    // Written beside the list and renamed over it, so that readers never see half a list.
    if (!g_file_set_contents_full(listFile.constData(), data.get(), gssize(length),
                                  G_FILE_SET_CONTENTS_CONSISTENT, 0600, &error)) {
        why = takeError(error);
        return false;
    }
    return true;
}

} // namespace platform::recent
