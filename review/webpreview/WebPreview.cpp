// The live preview's renderer: Qt WebEngine in a module of its own (see PreviewRenderer.h).
//
// The page is served by a URL scheme of our own rather than through setHtml (which refuses
// pages over 2 MB) or a file written to disk: "halvane-preview:" followed by the page file's
// absolute path. The page itself comes from memory; every other address of the scheme is a
// file, given out only when it lies inside the page's folder (symbolic links followed first,
// so none leads out). File URLs cannot be read at all, no window can be opened, and a link
// the user follows opens in the external browser: the preview never navigates away.
#include "review/PreviewRenderer.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMimeDatabase>
#include <QObject>
#include <QPointF>
#include <QPointer>
#include <QWebEngineProfile>
#include <QWebEnginePage>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>
#include <QWebEngineUrlSchemeHandler>
#include <QWebEngineView>

namespace {

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

    void setPage(const QByteArray& html, const QString& pageFile)
    {
        m_html = html;
        m_pagePath = QDir::cleanPath(pageFile);
        m_folder = QFileInfo(m_pagePath).absolutePath();
    }

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
        if (folder.isEmpty() || file.isEmpty() || !QFileInfo(file).isFile() ||
            !file.startsWith(folder + QLatin1Char('/'))) {
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
    QByteArray m_html;
    QString m_pagePath;
    QString m_folder;
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

private:
    review::PreviewRenderer::Hooks* m_hooks;
};

class WebRenderer : public review::PreviewRenderer {
public:
    WebRenderer(QWidget* parent, Hooks hooks) : m_hooks(std::move(hooks))
    {
        registerScheme();
        // Off the record: nothing the page stores outlives the preview.
        m_profile = new QWebEngineProfile();
        m_profile->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
        m_profile->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
        m_source = new PageSource(m_profile);
        m_profile->installUrlSchemeHandler(schemeName, m_source);
        QWebEngineSettings* s = m_profile->settings();
        s->setAttribute(QWebEngineSettings::JavascriptEnabled, true);
        s->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
        s->setAttribute(QWebEngineSettings::JavascriptCanAccessClipboard, false);
        s->setAttribute(QWebEngineSettings::JavascriptCanPaste, false);
        s->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
        s->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
        s->setAttribute(QWebEngineSettings::LocalStorageEnabled, false);
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
        m_page = new PreviewPage(m_profile, m_view, &m_hooks);
        m_view->setPage(m_page);
        QObject::connect(m_page, &QWebEnginePage::loadFinished, m_view, [this](bool ok) {
            const QPointF at = m_scroll.value(m_page->current.path());
            if (!at.isNull())
                m_page->runJavaScript(QStringLiteral("window.scrollTo(%1, %2);").arg(at.x()).arg(at.y()));
            if (m_hooks.loaded)
                m_hooks.loaded(ok);
        });
    }

    ~WebRenderer() override
    {
        // The page goes before its profile; deleting the page ends its renderer process.
        delete m_view;
        delete m_profile;
    }

    QWidget* widget() override { return m_view; }

    void showPage(const QByteArray& html, const QString& pageFile) override
    {
        const QUrl url = pageUrl(pageFile);
        if (!m_page->current.isEmpty())
            m_scroll.insert(m_page->current.path(), m_page->scrollPosition());
        m_source->setPage(html, pageFile);
        m_page->current = url;
        m_page->load(url);
    }

    void runScript(const QString& script, std::function<void(const QVariant&)> done) override
    {
        m_page->runJavaScript(script, [done = std::move(done)](const QVariant& v) {
            if (done)
                done(v);
        });
    }

private:
    Hooks m_hooks;
    QWebEngineProfile* m_profile = nullptr;
    PageSource* m_source = nullptr;
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
