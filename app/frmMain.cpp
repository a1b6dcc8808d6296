#include "app/frmMain.h"
#include "spelling/PageSpelling.h"

#include "app/CloseQuestions.h"
#include "app/CommandHandlers.h"
#include "app/Preview.h"
#include "app/Recovery.h"
#include "app/CommandTable.h"
#include "app/Drops.h"
#include "app/FindingsInPage.h"
#include "app/LastSession.h"
#include "app/Pictures.h"
#include "app/RecentPages.h"
#include "app/ToolbarStrip.h"
#include "app/frmAbout.h"
#include "document/Forms.h"
#include "document/RichEdit.h"
#include "document/Workspace.h"
#include "document/frmDocument.h"
#include "editing/EditingCommands.h"
#include "effects/EffectsForms.h"
#include "platform/AccessibleNames.h"
#include "platform/HelpViewer.h"
#include "formatting/FormattingForms.h"
#include "insert/InsertForms.h"
#include "platform/KeyLocks.h"
#include "platform/Prompts.h"
#include "platform/SettingsStore.h"
#include "platform/Twips.h"
#include "review/ReviewCommands.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDate>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLocale>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTime>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <limits>

static void initResources()
{
    // The pictures are compiled into this library; register them before first use.
    Q_INIT_RESOURCE(halvane);
    Q_INIT_RESOURCE(pictures);
}

namespace {

// Creation counters of the two ways a document window is made; process-wide, 32-bit,
// wrapping to 1 rather than overflowing.
int nextNumber(int& counter)
{
    counter = counter == std::numeric_limits<int>::max() ? 1 : counter + 1;
    return counter;
}
int newPageCounter = 0;
int loadDocCounter = 0;

struct Placement {
    const char* key;
    double defaultTwips;
};
constexpr Placement placementKeys[] = {
    {"MainLeft", 1000}, {"MainTop", 1000}, {"MainWidth", 6400}, {"MainHeight", 6400}};

const char* const buttonStyle =
    "QPushButton { background-color: rgb(255,0,0); color: rgb(255,255,0);"
    " border: 1px solid rgb(128,0,0); padding: 0px; }"
    "QPushButton:pressed { background-color: rgb(200,0,0); }"
    "QPushButton:disabled { color: rgb(255,150,150); }";

// The logo window's picture, drawn as it is even though its window is disabled.
class LogoPicture : public QWidget {
public:
    explicit LogoPicture(QPixmap picture) : m_picture(std::move(picture))
    {
        setObjectName(QStringLiteral("Form2Picture"));
        setMinimumSize(1, 1);
        resize(sizeHint());
    }
    // In the window's own units: a 2x picture covers the same area as the 1x one.
    QSize sizeHint() const override { return m_picture.deviceIndependentSize().toSize(); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        const QSize size = sizeHint();
        QPainter(this).drawPixmap((width() - size.width()) / 2, (height() - size.height()) / 2,
                                  m_picture);
    }

private:
    QPixmap m_picture;
};

} // namespace

frmMain::frmMain(QWidget* parent) : QMainWindow(parent)
{
    initResources();
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(platform::applicationTitle());
    // Every window of the program (document windows and dialogs too) shows its icon.
    if (QApplication::windowIcon().isNull())
        QApplication::setWindowIcon(pictures::windowIcon());

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* strip = new ToolbarStrip(central);
    strip->setFixedHeight(platform::twipsToPixels(commands::stripHeight));
    layout->addWidget(strip);
    m_mdi = new QMdiArea(central);
    m_mdi->setObjectName(QStringLiteral("mdiArea"));
    layout->addWidget(m_mdi, 1);
    setCentralWidget(central);

    buildMenus();
    buildToolbar(strip);
    buildStatusBar();
    buildLogo();
    m_mdi->viewport()->installEventFilter(this);
    m_recovery = new recovery::Keeper(this);
    // A crash or a kill keeps the placement of a second after the last move or resize.
    m_placementTimer = new QTimer(this);
    m_placementTimer->setSingleShot(true);
    m_placementTimer->setInterval(1000);
    connect(m_placementTimer, &QTimer::timeout, this, [this] {
        if (isVisible() && !isMinimized() && QRect(pos(), size()) != m_storedPlacement)
            storePlacement();
    });

    workspace::setActiveLookup([this] { return activeDocument(); });
    Forms::registerFactory(QStringLiteral("frmAbout"), [this] { return new frmAbout(this); });
    formatting::registerForms();
    insert::registerForms();
    effects::registerForms();
    editing::install(m_mdi, statusBar(), m_actions.value(QStringLiteral("mnuViewLineNumbers")));
    spelling::installSpelling(m_mdi);
    review::install(this, m_mdi, m_actions.value(QStringLiteral("mnuViewLivePreview")),
                    m_actions.value(QStringLiteral("mnuViewPreviewRemote")));
    findings::install(review::markupPanel());
    preview::installFollowsCaret(m_actions.value(QStringLiteral("mnuViewPreviewFollowsCaret")));
    recent::install(*this);
    commands::installSiteCommands(*this);
    drops::openFilesDroppedOn(this, *this);
}

frmMain::~frmMain()
{
    workspace::setActiveLookup({});
}

void frmMain::buildMenus()
{
    // Parents by depth: index 0 is the menu bar, deeper levels the open submenus.
    QList<QWidget*> parents{menuBar()};
    const auto entries = commands::menuTree();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const commands::MenuEntry& e = entries[i];
        const QString name = QString::fromLatin1(e.name);
        const QString caption = QString::fromLatin1(e.caption);
        parents.resize(e.depth + 1);
        QWidget* parent = parents.at(e.depth);
        const bool submenu = i + 1 < entries.size() && entries[i + 1].depth > e.depth;
        QAction* act = nullptr;
        if (submenu) {
            auto* menu = new QMenu(caption, parent);
            menu->setObjectName(name);
            act = menu->menuAction();
            parent->addAction(act);
            parents.append(menu);
        } else {
            act = new QAction(caption == QLatin1String("-") ? QString() : caption, parent);
            act->setSeparator(caption == QLatin1String("-"));
            parent->addAction(act);
            if (e.shortcut)
                act->setShortcut(QKeySequence(QString::fromLatin1(e.shortcut)));
            connect(act, &QAction::triggered, this, [this, name] { runCommand(name); });
        }
        act->setObjectName(name);
        m_actions.insert(name, act);
    }
    for (const char* checked : {"mnuViewToolbar", "mnuViewStatusBar"}) {
        QAction* a = m_actions.value(QString::fromLatin1(checked));
        a->setCheckable(true);
        a->setChecked(true);
    }
    if (auto* windowMenu = findChild<QMenu*>(QStringLiteral("mnuWindow")))
        connect(windowMenu, &QMenu::aboutToShow, this, &frmMain::refreshWindowList);
}

void frmMain::buildToolbar(ToolbarStrip* strip)
{
    using platform::twipsToPixels;
    // The button widths were made for a narrow 8.25 point face; prefer narrow faces here.
    QFont captionFont;
    captionFont.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans Narrow"),
                             QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("Sans Serif")});
    captionFont.setPointSizeF(8.25);
    // One style sheet for every button of the strip, read once.
    strip->setStyleSheet(QString::fromLatin1(buttonStyle));
    auto* frame = new QFrame(strip);
    frame->setObjectName(QStringLiteral("Frame1"));
    frame->setFrameShape(QFrame::Box);
    frame->setFrameShadow(QFrame::Sunken);
    frame->setGeometry(twipsToPixels(commands::separatorLeft), twipsToPixels(commands::separatorTop),
                       twipsToPixels(commands::separatorWidth),
                       twipsToPixels(commands::separatorHeight));
    for (const commands::ToolButton& b : commands::toolbar()) {
        const QString name = QString::fromLatin1(b.name);
        // Captions are shown as written: "&" is a character here, not an access key.
        auto* button = new QPushButton(
            QString::fromLatin1(b.caption).replace(QLatin1Char('&'), QLatin1String("&&")), strip);
        button->setObjectName(name);
        button->setFlat(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setFont(captionFont);
        button->setToolTip(QString::fromLatin1(b.tooltip));
        button->setAccessibleName(QString::fromLatin1(b.caption).trimmed());
        const int top = b.row == 1 ? 0 : commands::secondRowTop;
        button->setGeometry(twipsToPixels(b.left), twipsToPixels(top), twipsToPixels(b.width),
                            twipsToPixels(commands::buttonHeight));
        connect(button, &QPushButton::clicked, this, [this, name] { runCommand(name); });
        m_buttons.insert(name, button);
    }
    strip->setButtons(m_buttons, QString::fromLatin1(buttonStyle), captionFont);
}

void frmMain::buildStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("sbStatusBar"));
    const QStringList fixed{QStringLiteral("Halvane 1.2 HTML Editor from Moravel"),
                            QStringLiteral("CAPS"), QStringLiteral("NUM"), QStringLiteral("SCRL"),
                            QString(), QString()};
    for (int i = 0; i < fixed.size(); ++i) {
        auto* panel = new QLabel(fixed.at(i), bar);
        panel->setObjectName(QStringLiteral("sbPanel%1").arg(i + 1));
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        panel->setContentsMargins(4, 0, 4, 0);
        if (i == 0)
            bar->addWidget(panel, 1);
        else
            bar->addPermanentWidget(panel);
        m_panels.append(panel);
    }
    auto* clock = new QTimer(this);
    connect(clock, &QTimer::timeout, this, &frmMain::updateStatusPanels);
    clock->start(1000);
    updateStatusPanels();
}

void frmMain::updateStatusPanels()
{
    const platform::LockKeys keys = platform::lockKeys();
    // A key panel shows its text greyed while its lock is off.
    m_panels[1]->setEnabled(keys.caps);
    m_panels[2]->setEnabled(keys.num);
    m_panels[3]->setEnabled(keys.scroll);
    const QLocale locale;
    m_panels[4]->setText(locale.toString(QTime::currentTime(), QLocale::ShortFormat));
    m_panels[5]->setText(locale.toString(QDate::currentDate(), QLocale::ShortFormat));
}

void frmMain::buildLogo()
{
    m_logo = new QMdiSubWindow;
    m_logo->setObjectName(QStringLiteral("Form2"));
    m_logo->setWidget(new LogoPicture(pictures::load(QStringLiteral(":/logo.png"))));
    m_logo->setWindowTitle(QStringLiteral("Form2"));
    platform::announceSubWindowAs(m_logo, QStringLiteral("Halvane logo"));
    m_logo->setWindowFlags(Qt::SubWindow | Qt::WindowTitleHint);
    m_mdi->addSubWindow(m_logo);
    m_logo->adjustSize();
    m_logo->setEnabled(false);
}

void frmMain::centreLogo()
{
    const QSize client = m_mdi->viewport()->size();
    const int left = (client.width() - m_logo->width()) / 2;
    const int top = (client.height() - m_logo->height()) / 2;
    m_logo->move(left, top);
    m_logo->show();
    m_logo->setEnabled(false);
}

bool frmMain::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_mdi->viewport() && event->type() == QEvent::Resize)
        centreLogo();
    if (event->type() == QEvent::Close && !m_closingAll) {
        // A document window about to close: its frame gets the close first.
        auto* frame = qobject_cast<QMdiSubWindow*>(watched);
        auto* doc = frame ? qobject_cast<frmDocument*>(frame->widget()) : nullptr;
        if (doc && !closing::mayCloseDocument(*this, *doc)) {
            event->ignore();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmMain::load()
{
    for (const commands::ToolButton& b : commands::toolbar()) {
        const QString name = QString::fromLatin1(b.name);
        m_buttons.value(name)->setEnabled(name == QLatin1String("FB1") ||
                                          name == QLatin1String("FB3"));
    }
    restorePlacement();
    workspace::shared().pageTransitionTag.clear();
    workspace::shared().pageTransitionNumber = 0;
}

void frmMain::restorePlacement()
{
    platform::SettingsStore store;
    double v[4];
    for (int i = 0; i < 4; ++i) {
        v[i] = store.readNumber(QString::fromLatin1(placementKeys[i].key),
                                placementKeys[i].defaultTwips);
        // Far beyond any desktop, and the pixels stay well inside int for the rectangle's
        // arithmetic (a stored 3e10 would overflow it).
        constexpr double reach = 1e6; // twips, about 17 metres
        v[i] = std::isfinite(v[i]) ? std::clamp(v[i], -reach, reach) : placementKeys[i].defaultTwips;
        // A size that is not positive cannot be a window: take its default.
        if (i >= 2 && v[i] <= 0)
            v[i] = placementKeys[i].defaultTwips;
    }
    using platform::twipsToPixels;
    QRect r(twipsToPixels(v[0]), twipsToPixels(v[1]), twipsToPixels(v[2]), twipsToPixels(v[3]));

    // Keep the window where the user can reach it: on some screen, and no larger than the desktop.
    const QList<QScreen*> screens = QGuiApplication::screens();
    if (!screens.isEmpty()) {
        QRect desktop;
        bool onScreen = false;
        for (const QScreen* s : screens) {
            desktop = desktop.united(s->availableGeometry());
            onScreen = onScreen || s->availableGeometry().intersects(r);
        }
        r.setWidth(std::min(r.width(), desktop.width()));
        r.setHeight(std::min(r.height(), desktop.height()));
        if (!onScreen) {
            const QRect primary = QGuiApplication::primaryScreen()->availableGeometry();
            r.moveTopLeft(primary.topLeft() + QPoint(twipsToPixels(placementKeys[0].defaultTwips),
                                                     twipsToPixels(placementKeys[1].defaultTwips)));
        }
    }
    move(r.topLeft());
    resize(r.size());
    m_storedPlacement = QRect(pos(), size());
}

void frmMain::storePlacement()
{
    m_placementTimer->stop();
    const QRect r(pos(), size());
    platform::SettingsStore store;
    // A Wayland window is not told where it is: keep the position stored before.
    const bool positionKnown = !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
    const int values[4] = {r.x(), r.y(), r.width(), r.height()};
    for (int i = positionKnown ? 0 : 2; i < 4; ++i)
        store.writeNumber(QString::fromLatin1(placementKeys[i].key),
                          platform::pixelsToTwips(values[i]));
    store.sync();
    m_storedPlacement = r;
}

void frmMain::placementChanged()
{
    if (isVisible() && !isMinimized())
        m_placementTimer->start();
}

void frmMain::moveEvent(QMoveEvent* event)
{
    QMainWindow::moveEvent(event);
    placementChanged();
}

void frmMain::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    placementChanged();
}

void frmMain::closeEvent(QCloseEvent* event)
{
    if (!m_sessionEnding && !closing::mayEnd(*this)) {
        event->ignore();
        return;
    }
    if (!isMinimized())
        storePlacement();
    session::record(*this);
    Forms::unloadAll();
    if (QWidget* help = platform::helpWindow())
        help->close();
    m_closingAll = true;
    m_mdi->closeAllSubWindows();
    m_closingAll = false;
    event->accept();
    if (m_endsProgram)
        QCoreApplication::quit();
}

void frmMain::endSession()
{
    m_recovery->writeAllNow();
    m_recovery->keepCopies();
    m_sessionEnding = true;
    close();
}

frmDocument* frmMain::activeDocument() const
{
    // The current subwindow stays the document while a dialog has the focus.
    QMdiSubWindow* sub = m_mdi->currentSubWindow();
    return sub ? qobject_cast<frmDocument*>(sub->widget()) : nullptr;
}

QList<frmDocument*> frmMain::documents() const
{
    QList<frmDocument*> docs;
    for (QMdiSubWindow* sub : m_mdi->subWindowList())
        if (auto* doc = qobject_cast<frmDocument*>(sub->widget()))
            docs.append(doc);
    return docs;
}

frmDocument* frmMain::createDocument(const QString& caption)
{
    auto* doc = new frmDocument;
    doc->setWindowTitle(caption);
    QMdiSubWindow* sub = m_mdi->addSubWindow(doc);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->installEventFilter(this);
    // The frame's own menu would close on Ctrl+W as well; File > Close owns that key.
    if (QMenu* frameMenu = sub->systemMenu()) {
        for (QAction* a : frameMenu->actions()) {
            QList<QKeySequence> keys = a->shortcuts();
            if (keys.removeAll(QKeySequence(Qt::CTRL | Qt::Key_W)) > 0)
                a->setShortcuts(keys);
        }
    }
    m_recovery->watch(doc);
    drops::openFilesDroppedOn(doc->editor()->viewport(), *this);
    sub->setWindowIcon(windowIcon());
    sub->resize(m_mdi->viewport()->width() * 3 / 4, m_mdi->viewport()->height() * 3 / 4);
    m_mdi->setActiveSubWindow(sub);
    doc->load();
    m_mdi->setActiveSubWindow(sub);
    return doc;
}

frmDocument* frmMain::newPage()
{
    frmDocument* doc =
        createDocument(QStringLiteral("Document %1").arg(nextNumber(newPageCounter)));
    Forms::showModal(QStringLiteral("color"));
    return doc;
}

frmDocument* frmMain::LoadANewDoc()
{
    return createDocument(QStringLiteral("Document %1").arg(nextNumber(loadDocCounter)));
}

void frmMain::runCommand(const QString& name)
{
    if (QPushButton* b = m_buttons.value(name); b && !b->isEnabled())
        return;
    for (const commands::HandlerEntry& h : commands::handlers()) {
        if (name == QLatin1String(h.name)) {
            if (h.run)
                h.run(*this);
            return;
        }
    }
}

void frmMain::enableToolbar()
{
    for (const commands::ToolButton& b : commands::toolbar())
        m_buttons.value(QString::fromLatin1(b.name))->setEnabled(true);
}

void frmMain::toggleStatusBar()
{
    // The item's mark is kept here: a checkable action flips its own mark before it runs.
    const bool hadMark = m_statusBarMark;
    statusBar()->setVisible(!hadMark);
    m_statusBarMark = !hadMark;
    m_actions.value(QStringLiteral("mnuViewStatusBar"))->setChecked(m_statusBarMark);
}

void frmMain::keepToolbarChecked() { m_actions.value(QStringLiteral("mnuViewToolbar"))->setChecked(true); }

void frmMain::refreshWindowList()
{
    auto* menu = findChild<QMenu*>(QStringLiteral("mnuWindow"));
    for (QAction* a : std::as_const(m_windowListActions)) {
        menu->removeAction(a);
        a->deleteLater();
    }
    m_windowListActions.clear();
    const QList<frmDocument*> docs = documents();
    if (docs.isEmpty())
        return;
    m_windowListActions.append(menu->addSeparator());
    int n = 0;
    for (frmDocument* doc : docs) {
        ++n;
        QAction* a = menu->addAction(QStringLiteral("&%1 %2").arg(n).arg(doc->windowTitle()));
        a->setCheckable(true);
        a->setChecked(doc == activeDocument());
        QMdiSubWindow* sub = qobject_cast<QMdiSubWindow*>(doc->parentWidget());
        connect(a, &QAction::triggered, this, [this, sub] { m_mdi->setActiveSubWindow(sub); });
        m_windowListActions.append(a);
    }
}
