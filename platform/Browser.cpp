// GLib's headers come before Qt's: gio.h names a structure member `signals`, which Qt
// defines as a keyword macro.
#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>

#include "platform/Browser.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QPointer>
#include <QUrl>
#include <cerrno>
#include <chrono>
#include <sys/wait.h>
#include <thread>

namespace platform::browser {

namespace {

// Owns a GObject reference.
class ObjectRef {
public:
    explicit ObjectRef(gpointer object) : m_object(object) {}
    ~ObjectRef()
    {
        if (m_object)
            g_object_unref(m_object);
    }
    ObjectRef(const ObjectRef&) = delete;
    ObjectRef& operator=(const ObjectRef&) = delete;

private:
    gpointer m_object;
};

// Our own desktop entry, as resources/desktop installs it.
constexpr const char* ownDesktopEntry = "halvane.desktop";

// Whether an application is this program itself: our desktop entry, or any entry (one the
// desktop made, a copy under another name) whose command starts this very executable.
bool isThisProgram(GAppInfo* app)
{
    const char* id = g_app_info_get_id(app);
    if (id && qstrcmp(id, ownDesktopEntry) == 0)
        return true;
    const char* executable = g_app_info_get_executable(app);
    gchar* found = executable ? g_find_program_in_path(executable) : nullptr;
    if (!found)
        return false;
    const QString program = QFileInfo(QString::fromLocal8Bit(found)).canonicalFilePath();
    g_free(found);
    return !program.isEmpty() &&
           program == QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
}

// `app` unless it is this program (then released): a new reference or nullptr.
GAppInfo* unlessThisProgram(GAppInfo* app)
{
    if (app && isThisProgram(app)) {
        g_object_unref(app);
        return nullptr;
    }
    return app;
}

// The desktop's default application for the type of an existing file (a new reference), or
// nullptr. The type comes from the file's name, as the desktop names a page's type. Where
// this program is that default (it edits pages), the page goes to the default web browser,
// else to the next program the desktop lists for the type: a page is never shown by
// starting this program again.
GAppInfo* defaultApplicationFor(const QString& existingFile)
{
    if (!QFileInfo(existingFile).isFile())
        return nullptr;
    const QByteArray mime =
        QMimeDatabase().mimeTypeForFile(existingFile, QMimeDatabase::MatchExtension).name().toUtf8();
    GAppInfo* app = g_app_info_get_default_for_type(mime.constData(), FALSE);
    if (!app || !isThisProgram(app))
        return app;
    g_object_unref(app);
    for (const char* scheme : {"http", "https"})
        if ((app = unlessThisProgram(g_app_info_get_default_for_uri_scheme(scheme))))
            return app;
    GList* listed = g_app_info_get_all_for_type(mime.constData());
    for (GList* l = listed; l && !app; l = l->next)
        app = unlessThisProgram(G_APP_INFO(g_object_ref(l->data)));
    g_list_free_full(listed, g_object_unref);
    return app;
}

// The launcher in front of the program (GLib's desktop launcher, or a shell's exec) ends with
// one of these when it cannot execute the program.
bool launcherFailed(int status)
{
    if (!WIFEXITED(status))
        return false;
    const int code = WEXITSTATUS(status);
    return code == 255 || code == 127 || code == 126;
}

// Reaps the started program whenever it ends. When it ends at once with the launcher's
// failure, the program never ran: `failedToStart` is called on the receiver's thread.
void watch(GPid pid, QObject* receiver, std::function<void()> failedToStart)
{
    const auto started = std::chrono::steady_clock::now();
    std::thread([pid, started, guard = QPointer<QObject>(receiver),
                 failedToStart = std::move(failedToStart)]() mutable {
        int status = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        const bool atOnce = std::chrono::steady_clock::now() - started < std::chrono::seconds(5);
        QCoreApplication* app = QCoreApplication::instance();
        if (!atOnce || !launcherFailed(status) || !failedToStart || !app)
            return;
        // The receiver is only looked at on its own thread.
        QMetaObject::invokeMethod(
            app,
            [guard = std::move(guard), failedToStart = std::move(failedToStart)] {
                if (guard)
                    failedToStart();
            },
            Qt::QueuedConnection);
    }).detach();
}

void rememberPid(GDesktopAppInfo*, GPid pid, gpointer user_data) { *static_cast<GPid*>(user_data) = pid; }

} // namespace

Association associationFor(const QString& existingFile)
{
    Association a;
    GAppInfo* app = defaultApplicationFor(existingFile);
    if (!app)
        return a;
    ObjectRef owner(app);
    if (const char* id = g_app_info_get_id(app))
        a.desktopEntry = QString::fromUtf8(id);
    if (const char* executable = g_app_info_get_executable(app))
        a.program = QString::fromUtf8(executable);
    return a;
}

Launch openWith(const QString& lookupFile, const QString& page, QObject* receiver,
                std::function<void()> failedToStart)
{
    GAppInfo* app = defaultApplicationFor(lookupFile);
    if (!app)
        return Launch::NotFound;
    ObjectRef owner(app);

    // A page is a local file's path; a link followed elsewhere (http:, mailto:) goes as it is.
    const QUrl link(page);
    const bool remote = !page.startsWith(QLatin1Char('/')) && link.isValid() &&
                        link.scheme().size() > 1 && !link.isLocalFile();
    const QByteArray uri = remote ? link.toEncoded()
                                  : QUrl::fromLocalFile(QFileInfo(page).absoluteFilePath()).toEncoded();
    GList uris{};
    uris.data = const_cast<char*>(uri.constData());
    GAppLaunchContext* context = g_app_launch_context_new();
    ObjectRef contextOwner(context);
    GError* error = nullptr;
    gboolean started = FALSE;
    if (G_IS_DESKTOP_APP_INFO(app)) {
        // Started as our child so that a program that cannot run is noticed; the watcher
        // reaps it.
        GPid pid = 0;
        started = g_desktop_app_info_launch_uris_as_manager(
            G_DESKTOP_APP_INFO(app), &uris, context,
            GSpawnFlags(G_SPAWN_SEARCH_PATH | G_SPAWN_DO_NOT_REAP_CHILD), nullptr, nullptr,
            rememberPid, &pid, &error);
        if (started && pid > 0)
            watch(pid, receiver, std::move(failedToStart));
    } else {
        started = g_app_info_launch_uris(app, &uris, context, &error);
    }
    if (error)
        g_error_free(error);
    return started ? Launch::Started : Launch::Failed;
}

} // namespace platform::browser
