#include "review/PreviewDock.h"

#include "review/MarkupApart.h"

#include "document/RichEdit.h"
#include "document/Workspace.h"
#include "platform/Browser.h"
#include "platform/Prompts.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPluginLoader>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <unistd.h>

namespace review {

namespace {

const char* const moduleName = "halvane_webpreview";

// Starts the desktop's browser on a link, found the same way as for the View button: the
// program associated with pages, looked up through a throw-away page of that type.
platform::browser::Launch launchBrowser(const QUrl& url)
{
    using platform::browser::Launch;
    QTemporaryFile probe(QDir(QDir::tempPath()).filePath(QStringLiteral("temphtm-XXXXXX.HTM")));
    if (!probe.open())
        return Launch::NotFound;
    probe.write("<HTML> <\\HTML>\r\n");
    probe.close();
    // A link to a file of the page's folder is handed over as that file, any other as it is.
    const bool local = url.scheme() == QLatin1String("halvane-preview");
    return platform::browser::openWith(probe.fileName(), local ? url.path() : url.toString());
}

} // namespace

PreviewDock::PreviewDock(QMdiArea* area, QWidget* parent)
    : QDockWidget(tr("Live Preview"), parent), m_area(area)
{
    setObjectName(QStringLiteral("dockPreview"));
    m_placeholder = new QLabel(this);
    m_placeholder->setAlignment(Qt::AlignCenter);
    m_placeholder->setWordWrap(true);
    setWidget(m_placeholder);
    m_settle.setSingleShot(true);
    connect(&m_settle, &QTimer::timeout, this, &PreviewDock::refresh);
    connect(area, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow*) {
        follow(workspace::activeDocument());
    });
}

PreviewDock::~PreviewDock()
{
    // The view is a child of this panel: it must go with its renderer, before the panel.
    m_renderer.reset();
}

QStringList PreviewDock::moduleCandidates()
{
#ifdef HALVANE_PREVIEW_MODULE
    return apart::besideProgram(QLatin1String(moduleName), QStringLiteral(HALVANE_PREVIEW_MODULE));
#else
    return apart::besideProgram(QLatin1String(moduleName));
#endif
}

QString PreviewDock::pageFileFor(const frmDocument* doc)
{
    const QString caption = doc ? doc->windowTitle() : QString();
    if (QFileInfo(caption).isAbsolute())
        return QDir::cleanPath(caption);
    QString name = caption;
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    if (name.isEmpty())
        name = QStringLiteral("page");
    return QDir::home().filePath(name + QStringLiteral(".htm"));
}

// The web engine will not start its sandbox for the administrator, and its start-up then
// ends the whole process: every unsaved page would be lost. Running without the sandbox is
// the user's own choice to make, through the engine's variable or switch.
static bool sandboxRefused()
{
    if (geteuid() != 0 || qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        return false;
    return !qEnvironmentVariable("QTWEBENGINE_CHROMIUM_FLAGS").contains(QLatin1String("--no-sandbox"));
}

void PreviewDock::ensureRenderer()
{
    if (m_renderer)
        return;
    if (sandboxRefused()) {
        m_loadError = tr("The preview cannot run as the administrator (root): its web engine "
                         "refuses to start without its sandbox. Run Halvane as an ordinary user, "
                         "or set QTWEBENGINE_DISABLE_SANDBOX=1 to run the preview unprotected.");
        m_placeholder->setText(m_loadError);
        return;
    }
    QPluginLoader loader;
    QStringList errors;
    for (const QString& path : moduleCandidates()) {
        loader.setFileName(path);
        if (loader.load())
            break;
        errors << loader.errorString();
    }
    auto* factory = qobject_cast<PreviewRendererFactory*>(loader.instance());
    if (!factory) {
        m_loadError = errors.join(QLatin1Char('\n'));
        m_placeholder->setText(tr("The preview cannot be shown: its renderer did not load.\n%1").arg(m_loadError));
        return;
    }
    m_loadError.clear();
    PreviewRenderer::Hooks hooks;
    QPointer<PreviewDock> self(this);
    hooks.loaded = [self](bool ok) {
        if (self)
            emit self->refreshed(ok, self->m_sinceChange.isValid() ? self->m_sinceChange.elapsed() : 0);
    };
    hooks.linkClicked = [self](const QUrl& url) {
        if (self)
            self->openLink(url);
    };
    m_renderer.reset(factory->create(this, std::move(hooks)));
    m_renderer->setRemoteAllowed(m_remoteAllowed);
    setWidget(m_renderer->widget());
}

void PreviewDock::releaseRenderer()
{
    if (!m_renderer)
        return;
    m_settle.stop();
    // The placeholder takes the view's place; the view goes with the renderer.
    m_placeholder = new QLabel(this);
    m_placeholder->setAlignment(Qt::AlignCenter);
    m_placeholder->setWordWrap(true);
    setWidget(m_placeholder);
    m_renderer.reset();
}

void PreviewDock::showEvent(QShowEvent* event)
{
    QDockWidget::showEvent(event);
    emit openChanged(true);
    ensureRenderer();
    follow(workspace::activeDocument());
}

void PreviewDock::hideEvent(QHideEvent* event)
{
    QDockWidget::hideEvent(event);
    if (isHidden())
        emit openChanged(false);
    // Closed or hidden by its menu item (not merely behind another panel's tab, nor with the
    // main window minimised): the renderer goes.
    if (isHidden() && parentWidget() && parentWidget()->isVisible() &&
        !parentWidget()->isMinimized())
        releaseRenderer();
}

void PreviewDock::closeEvent(QCloseEvent* event)
{
    QDockWidget::closeEvent(event);
    if (event->isAccepted())
        releaseRenderer();
}

void PreviewDock::follow(frmDocument* doc)
{
    if (!m_renderer)
        return;
    if (doc != m_document || !m_editWatch) {
        QObject::disconnect(m_editWatch);
        m_document = doc;
        if (doc)
            m_editWatch = connect(doc->editor(), &RichEdit::changed, this, [this] {
                if (!m_changePending)
                    m_sinceChange.start();
                m_changePending = true;
                scheduleRefresh(settleMs);
            });
    }
    m_sinceChange.start();
    m_changePending = true;
    scheduleRefresh(0);
}

void PreviewDock::scheduleRefresh(int delayMs) { m_settle.start(delayMs); }

void PreviewDock::refresh()
{
    if (!m_renderer)
        return;
    m_changePending = false;
    frmDocument* doc = m_document;
    const QByteArray html = doc ? doc->editor()->text().toUtf8() : QByteArray();
    const bool ownFile = doc && QFileInfo(doc->windowTitle()).isAbsolute();
    m_renderer->showPage(html, pageFileFor(doc), ownFile);
}

void PreviewDock::setRemoteAllowed(bool allowed)
{
    if (allowed == m_remoteAllowed)
        return;
    m_remoteAllowed = allowed;
    if (m_renderer) {
        m_renderer->setRemoteAllowed(allowed);
        scheduleRefresh(0);
    }
}

void PreviewDock::openLink(const QUrl& url)
{
    using platform::browser::Launch;
    const Launch result = launchBrowser(url);
    if (result == Launch::NotFound)
        platform::showWarning(this, QStringLiteral("Browser Not Found"),
                              QStringLiteral("Could not find associated Browser"));
    else if (result == Launch::Failed)
        platform::showWarning(this, QStringLiteral("URL Failed"), QStringLiteral("Web Page not Opened"));
}

} // namespace review
