#include "review/PreviewDock.h"

#include "review/MarkupApart.h"

#include "document/RichEdit.h"
#include "document/Workspace.h"
#include "platform/Browser.h"
#include "platform/Prompts.h"

#include <QBoxLayout>
#include <QCloseEvent>
#include <QJsonArray>
#include <QJsonDocument>
#include <QKeyEvent>
#include <QLoggingCategory>
#include <QToolButton>
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
#include <algorithm>
#include <unistd.h>

namespace review {

Q_LOGGING_CATEGORY(lcPreview, "halvane.preview")

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
    m_caretSettle.setSingleShot(true);
    m_caretSettle.setInterval(0); // the moves of one turn of the event loop come as one
    connect(&m_caretSettle, &QTimer::timeout, this, &PreviewDock::markCaret);
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
    hooks.elementPicked = [self](const QString& path) {
        if (self)
            self->pickElement(path);
    };
    hooks.loaded = [self, shown = std::move(hooks.loaded)](bool ok) {
        if (!self)
            return;
        self->m_loading = std::max(0, self->m_loading - 1);
        if (shown)
            shown(ok);
        // The page's source is lexed now, while the user looks at the page, so that the next
        // change and the caret find it ready.
        if (self->m_shown && self->m_loading == 0)
            self->m_shown->page();
        if (self->m_changedWhileLoading) {
            self->m_changedWhileLoading = false;
            self->scheduleRefresh(0);
        } else if (self->m_loading == 0) {
            self->m_caretSettle.start();
        }
    };
    m_frame = new QWidget(this);
    auto* layout = new QVBoxLayout(m_frame);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(2, 2, 2, 2);
    auto* refreshButton = new QToolButton(m_frame);
    refreshButton->setObjectName(QStringLiteral("cmdPreviewRefresh"));
    refreshButton->setText(tr("Refresh"));
    refreshButton->setToolTip(tr("Show the page again (F5)"));
    refreshButton->setAccessibleName(tr("Refresh the preview"));
    connect(refreshButton, &QToolButton::clicked, this, &PreviewDock::refreshNow);
    bar->addWidget(refreshButton);
    bar->addStretch();
    layout->addLayout(bar);
    m_renderer.reset(factory->create(m_frame, std::move(hooks)));
    m_renderer->setRemoteAllowed(m_remoteAllowed);
    layout->addWidget(m_renderer->widget(), 1);
    setWidget(m_frame);
    qApp->installEventFilter(this);
}

// F5 anywhere in the preview shows the page again; elsewhere it stays the menu's key.
bool PreviewDock::eventFilter(QObject* watched, QEvent* event)
{
    if ((event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) &&
        m_frame && watched->isWidgetType() && m_frame->isAncestorOf(static_cast<QWidget*>(watched))) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_F5 && key->modifiers() == Qt::NoModifier) {
            event->accept();
            if (event->type() == QEvent::KeyPress && !key->isAutoRepeat())
                refreshNow();
            return event->type() == QEvent::KeyPress;
        }
    }
    return QDockWidget::eventFilter(watched, event);
}

void PreviewDock::releaseRenderer()
{
    if (!m_renderer)
        return;
    m_settle.stop();
    qApp->removeEventFilter(this);
    m_shown.reset();
    m_loading = 0;
    m_changedWhileLoading = false;
    m_markInFlight = m_markAgain = false;
    // The placeholder takes the view's place; the view goes with the renderer.
    m_placeholder = new QLabel(this);
    m_placeholder->setAlignment(Qt::AlignCenter);
    m_placeholder->setWordWrap(true);
    setWidget(m_placeholder);
    m_renderer.reset();
    delete m_frame;
    m_frame = nullptr;
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
        QObject::disconnect(m_caretWatch);
        if (doc)
            m_caretWatch = connect(doc->editor(), &QPlainTextEdit::cursorPositionChanged, this,
                                   [this] { m_caretSettle.start(); });
        m_forceReload = m_forceReload || doc != m_document;
        m_document = doc;
        if (doc)
            m_editWatch = connect(doc->editor(), &RichEdit::changed, this, [this] {
                if (!m_changePending)
                    m_sinceChange.start();
                m_changePending = true;
                const bool big = m_document && m_document->editor()->textLength() > onDemandChars;
                if (big != m_onDemand) {
                    m_onDemand = big;
                    updateTitle();
                }
                if (!m_onDemand)
                    scheduleRefresh(settleMs);
            });
    }
    m_onDemand = doc && doc->editor()->textLength() > onDemandChars;
    updateTitle();
    m_sinceChange.start();
    m_changePending = true;
    scheduleRefresh(0);
}

void PreviewDock::updateTitle()
{
    setWindowTitle(m_onDemand ? tr("Live Preview (large page: Refresh or F5 shows changes)")
                              : tr("Live Preview"));
}

void PreviewDock::refreshNow()
{
    if (!m_changePending)
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
    if (!m_shown || m_forceReload || pageFileFor(doc) != m_shownFile)
        return reload(m_shown ? QStringLiteral("another page or other rules") : QStringLiteral("first showing"));
    QString text = doc ? doc->editor()->text() : QString();
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    auto now = std::make_unique<ShownSource>(std::move(text));
    const UpdatePlan plan = planUpdate(*m_shown, *now);
    if (plan.kind == UpdatePlan::Nothing)
        return;
    if (plan.kind == UpdatePlan::Reload)
        return reload(plan.reason, std::move(now));
    if (m_loading > 0) {
        // The page is not there to be changed yet: the change goes in once it has loaded.
        m_changedWhileLoading = true;
        return;
    }
    m_shown = std::move(now);
    const auto quoted = [](const QString& s) {
        QString out = s;
        out.replace(QLatin1String("\\"), QLatin1String("\\\\")).replace(QLatin1String("`"), QLatin1String("\\`"))
            .replace(QLatin1String("${"), QLatin1String("\\${"));
        return QLatin1Char('`') + out + QLatin1Char('`');
    };
    const QString call = QStringLiteral("typeof halvanePreview === 'undefined' ? 'the page has no helper' : "
                                        "halvanePreview.patch(%1, %2, %3, %4, %5)")
                             .arg(quoted(plan.tag))
                             .arg(plan.index)
                             .arg(plan.countBefore)
                             .arg(plan.countAfter)
                             .arg(quoted(plan.html));
    QPointer<PreviewDock> self(this);
    const int generation = m_generation;
    m_renderer->runOwnScript(call, [self, generation](const QVariant& answer) {
        if (!self || generation != self->m_generation)
            return;
        if (answer.toString() == QLatin1String("ok")) {
            emit self->patched(self->m_sinceChange.isValid() ? self->m_sinceChange.elapsed() : 0);
            self->m_caretSettle.start();
        } else
            self->reload(answer.isValid() ? answer.toString() : QStringLiteral("the page did not answer"));
    });
}

void PreviewDock::reload(const QString& reason, std::unique_ptr<ShownSource> source)
{
    qCDebug(lcPreview) << "whole page loaded again:" << reason;
    emit reloading(reason);
    m_changePending = false;
    m_forceReload = false;
    m_markInFlight = m_markAgain = false; // an answer from the page going away may never come
    ++m_generation;
    frmDocument* doc = m_document;
    if (!source) {
        QString text = doc ? doc->editor()->text() : QString();
        text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        source = std::make_unique<ShownSource>(std::move(text));
    }
    m_shown = std::move(source);
    const QByteArray html = m_shown->text().toUtf8();
    m_shownFile = pageFileFor(doc);
    const bool ownFile = doc && QFileInfo(doc->windowTitle()).isAbsolute();
    ++m_loading;
    m_renderer->showPage(html, m_shownFile, ownFile);
}

void PreviewDock::setFollowsCaret(bool follows)
{
    m_followsCaret = follows;
    if (follows)
        m_caretSettle.start();
}

// The element around the caret, found in the source shown (only while that is the text in
// the editor), is outlined by its name and its place among the elements of that name.
void PreviewDock::markCaret()
{
    if (!m_followsCaret || !m_renderer || !m_shown || m_loading > 0 || m_changePending || !m_document)
        return;
    const int caret = m_document->editor()->textCursor().position();
    const auto element = markup::enclosingElement(m_shown->page(), caret, caret);
    const ShownSource::StartTag* tag = element ? m_shown->startTagAt(element->start) : nullptr;
    if (!tag || tag->name == QLatin1String("html") || tag->name == QLatin1String("head") ||
        tag->name == QLatin1String("title") || isPageWideName(tag->name))
        return;
    const QString call = QStringLiteral("typeof halvanePreview !== 'undefined' && halvanePreview.mark('%1', %2, %3)")
                             .arg(tag->name)
                             .arg(m_shown->countOf(tag->name, 0, element->start))
                             .arg(m_shown->countOf(tag->name, 0, int(m_shown->text().size())));
    // One outline at a time: moves made while the page draws one are answered by the next.
    if (m_markInFlight) {
        m_markAgain = true;
        return;
    }
    m_markInFlight = true;
    QPointer<PreviewDock> self(this);
    m_renderer->runOwnScript(call, [self](const QVariant& shown) {
        if (!self)
            return;
        self->m_markInFlight = false;
        if (shown.toBool())
            emit self->caretShown();
        if (self->m_markAgain) {
            self->m_markAgain = false;
            self->markCaret();
        }
    });
}

// Ctrl+click in the page: the caret goes to the start tag of the innermost element clicked
// that the source holds as the page does (elements the parser made up are passed over).
void PreviewDock::pickElement(const QString& path)
{
    if (!m_shown || !m_document)
        return;
    const QJsonArray chain = QJsonDocument::fromJson(path.toUtf8()).array();
    for (const QJsonValue& link : chain) {
        const QJsonArray item = link.toArray();
        const QString name = item.at(0).toString();
        const int index = item.at(1).toInt(-1);
        if (index < 0 || m_shown->countOf(name, 0, int(m_shown->text().size())) != item.at(2).toInt())
            continue;
        const int at = m_shown->positionOf(name, index);
        if (at < 0)
            continue;
        RichEdit* edit = m_document->editor();
        const int breaks = int(std::count(m_shown->text().begin(), m_shown->text().begin() + at, u'\n'));
        edit->setSelStart(std::min(at + breaks, edit->textLength()));
        edit->setSelLength(0);
        m_document->activateWindow();
        edit->setFocus();
        return;
    }
}

void PreviewDock::setRemoteAllowed(bool allowed)
{
    if (allowed == m_remoteAllowed)
        return;
    m_remoteAllowed = allowed;
    if (m_renderer) {
        m_renderer->setRemoteAllowed(allowed);
        m_forceReload = true;
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
