// The live preview's renderer: Qt WebEngine in a module of its own (see PreviewRenderer.h).
//
// The page is served by a URL scheme of our own rather than through setHtml (which refuses
// pages over 2 MB) or a file written to disk: "halvane-preview:" followed by the page file's
// absolute path. The page itself comes from memory. The page's scripts run, and they may be
// anyone's (a counter, an advertisement), so the preview gives out only what a page shows:
// - other addresses of the scheme are files of the page's folder (symbolic links followed
//   first, so none leads out), never hidden files or files in hidden folders, and only as
//   the kind of part of a page their name says: pictures to <img>, style sheets to <link>,
//   scripts to <script>, fonts, sound and video, pages to frames. Script reads (XMLHttpRequest,
//   fetch), workers, pings and prefetches get nothing;
// - a page without a file of its own gets nothing but itself;
// - nothing is asked of the network unless the user allows remote content.
// File URLs cannot be read at all, no window can be opened, and a link the user follows
// opens in the external browser: the preview never navigates away.
#include "review/PreviewRenderer.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStringList>
#include <QMimeDatabase>
#include <QObject>
#include <QOpenGLContext>
#include <QSurfaceFormat>
#include <QPointF>
#include <QPointer>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineUrlRequestInfo>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEnginePage>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>
#include <QWebEngineUrlSchemeHandler>
#include <QWebEngineView>
#include <algorithm>
#include <atomic>

// The toolkit's drawing context shared by every window, which the engine draws through. The
// program does not ask for it at start-up (making it maps the whole GL stack into every start,
// preview or not), so the renderer makes it when the preview is first shown.
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext* context);

namespace {

void ensureSharedDrawingContext()
{
    if (QOpenGLContext::globalShareContext())
        return;
    auto* context = new QOpenGLContext(QCoreApplication::instance());
    context->setFormat(QSurfaceFormat::defaultFormat());
    context->create();
    qt_gl_set_global_share_context(context);
}

// The preview's own helper, in a world of its own (see PreviewRenderer.h). It watches the
// document from the moment it is parsed: a change the page's own scripts make (an effect, a
// counter written into the page) means the source no longer says what is shown.
// Its source is the module's resource PreviewHelper.js.
QString helperScript()
{
    QFile file(QStringLiteral(":/webpreview/PreviewHelper.js"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

const QByteArray schemeName = QByteArrayLiteral("halvane-preview");

QUrl pageUrl(const QString& pageFile)
{
    QUrl url;
    url.setScheme(QString::fromLatin1(schemeName));
    url.setPath(QDir::cleanPath(pageFile));
    return url;
}

// Scheme registration must come before the engine starts, that is before the first profile.
void registerScheme()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    QWebEngineUrlScheme scheme(schemeName);
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Path);
    scheme.setFlags(QWebEngineUrlScheme::SecureScheme);
    QWebEngineUrlScheme::registerScheme(scheme);
}

class PageSource : public QWebEngineUrlSchemeHandler {
public:
    using QWebEngineUrlSchemeHandler::QWebEngineUrlSchemeHandler;

    void setPage(const QByteArray& html, const QString& pageFile, bool ownFile)
    {
        m_html = html;
        m_pagePath = QDir::cleanPath(pageFile);
        m_folder = QFileInfo(m_pagePath).absolutePath();
        m_ownFile = ownFile;
    }
    QString pagePath() const { return m_pagePath; }

    void requestStarted(QWebEngineUrlRequestJob* job) override
    {
        const QString path = QDir::cleanPath(job->requestUrl().path());
        if (path == m_pagePath) {
            auto* buffer = new QBuffer(job);
            buffer->setData(m_html);
            job->reply(QByteArrayLiteral("text/html;charset=utf-8"), buffer);
            return;
        }
        const QString folder = QFileInfo(m_folder).canonicalFilePath();
        const QString file = QFileInfo(path).canonicalFilePath();
        if (!m_ownFile || folder.isEmpty() || file.isEmpty() || !QFileInfo(file).isFile() ||
            !file.startsWith(folder + QLatin1Char('/')) || hidden(m_folder, path) ||
            hidden(folder, file)) {
            job->fail(QWebEngineUrlRequestJob::RequestDenied);
            return;
        }
        auto* device = new QFile(file, job);
        if (!device->open(QIODevice::ReadOnly)) {
            job->fail(QWebEngineUrlRequestJob::UrlNotFound);
            return;
        }
        job->reply(QMimeDatabase().mimeTypeForFile(file).name().toUtf8(), device);
    }

private:
    // Whether a file's path below `folder` passes through a hidden folder or names a hidden file.
    static bool hidden(const QString& folder, const QString& file)
    {
        if (!file.startsWith(folder + QLatin1Char('/')))
            return false;
        const QStringList parts = file.mid(folder.size() + 1).split(QLatin1Char('/'));
        return std::any_of(parts.begin(), parts.end(),
                           [](const QString& part) { return part.startsWith(QLatin1Char('.')); });
    }

    QByteArray m_html;
    QString m_pagePath;
    QString m_folder;
    bool m_ownFile = false;
};

// The kinds of part of a page a file may be given out as, by the ending of its name.
bool fitsRequest(const QString& path, QWebEngineUrlRequestInfo::ResourceType type)
{
    using Info = QWebEngineUrlRequestInfo;
    static const QHash<Info::ResourceType, QStringList> endings{
        {Info::ResourceTypeImage,
         {"png", "jpg", "jpeg", "gif", "webp", "svg", "bmp", "ico", "avif", "apng"}},
        {Info::ResourceTypeFavicon, {"ico", "png", "gif", "svg"}},
        {Info::ResourceTypeStylesheet, {"css"}},
        {Info::ResourceTypeScript, {"js", "mjs"}},
        {Info::ResourceTypeFontResource, {"woff", "woff2", "ttf", "otf", "eot"}},
        {Info::ResourceTypeMedia,
         {"mp3", "mp4", "m4a", "m4v", "ogg", "oga", "ogv", "opus", "webm", "wav", "flac", "aac",
          "mid", "midi", "vtt"}},
        {Info::ResourceTypeSubFrame, {"htm", "html"}},
    };
    const auto it = endings.constFind(type);
    return it != endings.constEnd() && it->contains(QFileInfo(path).suffix().toLower());
}

// Lets through only what the page shows (see the top of this file).
class RequestFilter : public QWebEngineUrlRequestInterceptor {
public:
    RequestFilter(const PageSource* source, QObject* parent)
        : QWebEngineUrlRequestInterceptor(parent), m_source(source)
    {
    }
    void setRemoteAllowed(bool allowed) { m_remote = allowed; }

    void interceptRequest(QWebEngineUrlRequestInfo& info) override
    {
        const QUrl url = info.requestUrl();
        const QString scheme = url.scheme().toLower();
        bool allowed = false;
        if (scheme == QLatin1String(schemeName)) {
            const QString path = QDir::cleanPath(url.path());
            if (info.resourceType() == QWebEngineUrlRequestInfo::ResourceTypeMainFrame)
                allowed = path == m_source->pagePath();
            else
                allowed = path != m_source->pagePath() && fitsRequest(path, info.resourceType());
        } else if (scheme == QLatin1String("data") || scheme == QLatin1String("blob")) {
            allowed = true; // made by the page itself: nothing is read
        } else if (m_remote && (scheme == QLatin1String("http") || scheme == QLatin1String("https") ||
                                scheme == QLatin1String("ws") || scheme == QLatin1String("wss"))) {
            allowed = true;
        }
        info.block(!allowed);
    }

private:
    const PageSource* m_source;
    std::atomic<bool> m_remote{false};
};

class PreviewPage : public QWebEnginePage {
public:
    PreviewPage(QWebEngineProfile* profile, QObject* parent, review::PreviewRenderer::Hooks* hooks)
        : QWebEnginePage(profile, parent), m_hooks(hooks)
    {
    }
    QUrl current;

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override
    {
        const bool samePage = url.adjusted(QUrl::RemoveFragment | QUrl::RemoveQuery) == current;
        if (type == NavigationTypeLinkClicked) {
            if (samePage && url.hasFragment())
                return true; // a jump within the page
            if (m_hooks->linkClicked)
                m_hooks->linkClicked(url);
            return false;
        }
        // The page itself, and frames inside it; nothing else replaces the page.
        return samePage || !isMainFrame;
    }
    QWebEnginePage* createWindow(WebWindowType) override { return nullptr; }
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message,
                                  int line, const QString& source) override
    {
        static const QString pick = QStringLiteral("halvane-preview:pick ");
        if (message.startsWith(pick)) {
            if (m_hooks->elementPicked)
                m_hooks->elementPicked(message.mid(pick.size()));
            return;
        }
        QWebEnginePage::javaScriptConsoleMessage(level, message, line, source);
    }

private:
    review::PreviewRenderer::Hooks* m_hooks;
};

class WebRenderer : public review::PreviewRenderer {
public:
    WebRenderer(QWidget* parent, Hooks hooks) : m_hooks(std::move(hooks))
    {
        ensureSharedDrawingContext();
        registerScheme();
        // Off the record: nothing the page stores outlives the preview.
        m_profile = new QWebEngineProfile();
        m_profile->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
        m_profile->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
        m_source = new PageSource(m_profile);
        m_profile->installUrlSchemeHandler(schemeName, m_source);
        m_filter = new RequestFilter(m_source, m_profile);
        m_profile->setUrlRequestInterceptor(m_filter);
        QWebEngineSettings* s = m_profile->settings();
        s->setAttribute(QWebEngineSettings::JavascriptEnabled, true);
        s->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
        s->setAttribute(QWebEngineSettings::JavascriptCanAccessClipboard, false);
        s->setAttribute(QWebEngineSettings::JavascriptCanPaste, false);
        s->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
        s->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
        s->setAttribute(QWebEngineSettings::LocalStorageEnabled, false);
        s->setAttribute(QWebEngineSettings::DnsPrefetchEnabled, false);
        s->setAttribute(QWebEngineSettings::HyperlinkAuditingEnabled, false);
        s->setAttribute(QWebEngineSettings::WebRTCPublicInterfacesOnly, true);
        s->setAttribute(QWebEngineSettings::PluginsEnabled, false);
        s->setAttribute(QWebEngineSettings::PdfViewerEnabled, false);
        s->setAttribute(QWebEngineSettings::FullScreenSupportEnabled, false);
        s->setAttribute(QWebEngineSettings::ScreenCaptureEnabled, false);
        s->setAttribute(QWebEngineSettings::WebGLEnabled, false);
        s->setAttribute(QWebEngineSettings::AllowRunningInsecureContent, false);
        s->setAttribute(QWebEngineSettings::AllowGeolocationOnInsecureOrigins, false);
        s->setAttribute(QWebEngineSettings::PlaybackRequiresUserGesture, true);
        s->setAttribute(QWebEngineSettings::FocusOnNavigationEnabled, false);

        m_view = new QWebEngineView(parent);
        m_view->setObjectName(QStringLiteral("webPreview"));
        m_view->setAccessibleName(QStringLiteral("Page preview"));
        m_view->setContextMenuPolicy(Qt::NoContextMenu);
        m_page = newPage();
        m_view->setPage(m_page);
    }

    ~WebRenderer() override
    {
        // The page goes before its profile; deleting the page ends its renderer process.
        delete m_view;
        delete m_profile;
    }

    QWidget* widget() override { return m_view; }

    void setRemoteAllowed(bool allowed) override { m_filter->setRemoteAllowed(allowed); }

    // A page shown again goes to a new page of the view, in a renderer process of its own, as
    // the first one did: the old page's process simply ends, instead of first taking the old
    // document apart in the process that is to build the new one.
    void showPage(const QByteArray& html, const QString& pageFile, bool ownFile) override
    {
        const QUrl url = pageUrl(pageFile);
        PreviewPage* old = nullptr;
        if (!m_page->current.isEmpty()) {
            m_scroll.insert(m_page->current.path(), m_page->scrollPosition());
            old = m_page;
            m_page = newPage();
            m_view->setPage(m_page);
        }
        m_source->setPage(html, pageFile, ownFile);
        m_page->current = url;
        m_page->load(url);
        // The old page is let go once the new one's request is on its way.
        if (old)
            old->deleteLater();
    }

    void runScript(const QString& script, std::function<void(const QVariant&)> done) override
    {
        m_page->runJavaScript(script, [done = std::move(done)](const QVariant& v) {
            if (done)
                done(v);
        });
    }

    void runOwnScript(const QString& script, std::function<void(const QVariant&)> done) override
    {
        m_page->runJavaScript(script, QWebEngineScript::ApplicationWorld,
                              [done = std::move(done)](const QVariant& v) {
                                  if (done)
                                      done(v);
                              });
    }

private:
    PreviewPage* newPage()
    {
        auto* page = new PreviewPage(m_profile, m_view, &m_hooks);
        QWebEngineScript helper;
        helper.setName(QStringLiteral("halvane-preview-helper"));
        helper.setSourceCode(m_helper);
        helper.setInjectionPoint(QWebEngineScript::DocumentReady);
        helper.setWorldId(QWebEngineScript::ApplicationWorld);
        helper.setRunsOnSubFrames(false);
        page->scripts().insert(helper);
        QObject::connect(page, &QWebEnginePage::loadFinished, m_view, [this, page](bool ok) {
            if (page != m_page)
                return;
            const QPointF at = m_scroll.value(page->current.path());
            if (!at.isNull())
                page->runJavaScript(QStringLiteral("window.scrollTo(%1, %2);").arg(at.x()).arg(at.y()));
            if (m_hooks.loaded)
                m_hooks.loaded(ok);
        });
        return page;
    }

    Hooks m_hooks;
    QString m_helper = helperScript();
    QWebEngineProfile* m_profile = nullptr;
    PageSource* m_source = nullptr;
    RequestFilter* m_filter = nullptr;
    QWebEngineView* m_view = nullptr;
    PreviewPage* m_page = nullptr;
    QHash<QString, QPointF> m_scroll; // by page file: where each page was scrolled to
};

} // namespace

class WebPreviewFactory : public QObject, public review::PreviewRendererFactory {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID HalvanePreviewRendererFactory_iid)
    Q_INTERFACES(review::PreviewRendererFactory)
public:
    review::PreviewRenderer* create(QWidget* parent, review::PreviewRenderer::Hooks hooks) override
    {
        return new WebRenderer(parent, std::move(hooks));
    }
};

#include "WebPreview.moc"
