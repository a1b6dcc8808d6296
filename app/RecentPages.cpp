#include "app/RecentPages.h"

#include "app/FileCommands.h"
#include "app/LastSession.h"
#include "app/OpenPages.h"
#include "app/frmMain.h"
#include "platform/Prompts.h"
#include "platform/RecentlyUsed.h"
#include "platform/SettingsStore.h"

#include <QAction>
#include <QCoreApplication>
#include <QFileInfo>
#include <QMenu>
#include <QMimeDatabase>
#include <QStyleOptionMenuItem>
#include <QThreadPool>

namespace recent {

namespace {

const QString listKey = QStringLiteral("RecentPages");
const QString editingType = QStringLiteral("application/x-halvane-page");
// How wide an entry may be before the middle of its path gives way to "…".
constexpr int entryWidthPixels = 480;

void store(const QStringList& list)
{
    platform::SettingsStore settings;
    settings.writeList(listKey, list);
    settings.sync();
}

// Writing the lists goes through to the disk (the settings file and the desktop's list, each
// replaced atomically): a page that opens is shown without waiting for that. One writer keeps
// the writes in order; reading the list waits for the writes queued before.
QThreadPool& writer()
{
    // The end of the application waits for the writes still queued, while what they use (the
    // settings, the MIME database) is still there.
    static QThreadPool pool;
    static const bool once = [] {
        pool.setMaxThreadCount(1);
        qAddPostRoutine([] { pool.waitForDone(); });
        return true;
    }();
    (void)once;
    return pool;
}

QString mimeTypeOf(const QString& path)
{
    if (files::isEditingFileName(path))
        return editingType;
    const QMimeType type = QMimeDatabase().mimeTypeForFile(path, QMimeDatabase::MatchExtension);
    return type.isDefault() ? QStringLiteral("text/html") : type.name();
}

// The submenu: entries of pages that no longer exist are drawn greyed, yet can still be
// chosen (which takes them off the list).
class RecentMenu : public QMenu {
public:
    RecentMenu(frmMain& main, QWidget* parent) : QMenu(QStringLiteral("Recent &Pages"), parent), m_main(main)
    {
        setObjectName(QStringLiteral("mnuFileRecent"));
        connect(this, &QMenu::aboutToShow, this, &RecentMenu::rebuild);
    }

protected:
    void initStyleOption(QStyleOptionMenuItem* option, const QAction* action) const override
    {
        QMenu::initStyleOption(option, action);
        if (action->property("missing").toBool()) {
            const QColor grey = option->palette.color(QPalette::Disabled, QPalette::Text);
            for (QPalette::ColorRole role : {QPalette::Text, QPalette::WindowText, QPalette::ButtonText}) {
                option->palette.setColor(QPalette::Active, role, grey);
                option->palette.setColor(QPalette::Inactive, role, grey);
            }
        }
    }

private:
    void rebuild()
    {
        clear();
        const QStringList list = pages();
        if (list.isEmpty())
            addAction(QStringLiteral("(No recent pages)"))->setEnabled(false);
        else
            addPages(list);
        addSessionEntries();
    }

    void addPages(const QStringList& list)
    {
        int n = 0;
        for (const QString& path : list) {
            ++n;
            QString shown = fontMetrics().elidedText(path, Qt::ElideMiddle, entryWidthPixels);
            shown.replace(QLatin1Char('&'), QLatin1String("&&"));
            const QString caption = n < 10 ? QStringLiteral("&%1 %2").arg(n).arg(shown)
                                           : QStringLiteral("1&0 %1").arg(shown);
            QAction* a = addAction(caption);
            a->setObjectName(QStringLiteral("mnuFileRecent%1").arg(n));
            a->setToolTip(path);
            a->setProperty("missing", !QFileInfo::exists(path));
            connect(a, &QAction::triggered, &m_main, [this, path] { choose(path); });
        }
        addSeparator();
        QAction* clearList = addAction(QStringLiteral("&Clear List"));
        clearList->setObjectName(QStringLiteral("mnuFileRecentClear"));
        connect(clearList, &QAction::triggered, &m_main, [] { recent::clear(); });
    }

    // The pages of the last normal end, and whether every start opens them.
    void addSessionEntries()
    {
        addSeparator();
        QAction* reopen = addAction(QStringLiteral("Reopen &Last Session"));
        reopen->setObjectName(QStringLiteral("mnuFileReopenSession"));
        reopen->setEnabled(!session::lastSession().paths.isEmpty());
        connect(reopen, &QAction::triggered, &m_main, [this] { session::reopen(m_main); });
        QAction* atStart = addAction(QStringLiteral("&Reopen pages at start"));
        atStart->setObjectName(QStringLiteral("mnuFileReopenAtStart"));
        atStart->setCheckable(true);
        atStart->setChecked(session::reopensAtStart());
        connect(atStart, &QAction::toggled, &m_main, [](bool on) { session::setReopensAtStart(on); });
    }

    void choose(const QString& path)
    {
        if (!QFileInfo::exists(path)) {
            forget(path);
            platform::showMessage(&m_main, QStringLiteral("\u201C%1\u201D no longer exists. It is "
                                                          "removed from the recent pages.")
                                               .arg(path));
            return;
        }
        files::openPages(m_main, {path});
    }

    frmMain& m_main;
};

} // namespace

QStringList pages()
{
    writer().waitForDone();
    QStringList list = platform::SettingsStore().readList(listKey);
    list.removeAll(QString());
    list.removeDuplicates();
    return list.mid(0, maxPages);
}

void remember(const QString& path)
{
    QStringList list = pages();
    list.removeAll(path);
    list.prepend(path);
    writer().start([list = list.mid(0, maxPages), path] {
        store(list);
        platform::recent::addToDesktopList(path, mimeTypeOf(path));
    });
}

void forget(const QString& path)
{
    QStringList list = pages();
    if (list.removeAll(path) > 0)
        store(list);
}

void clear() { store({}); }

void install(frmMain& main)
{
    auto* fileMenu = main.findChild<QMenu*>(QStringLiteral("mnuFile"));
    QAction* before = main.action(QStringLiteral("mnuFileClose"));
    if (!fileMenu || !before)
        return;
    auto* menu = new RecentMenu(main, fileMenu);
    menu->menuAction()->setObjectName(QStringLiteral("mnuFileRecent"));
    fileMenu->insertMenu(before, menu);
    QAction* bar = fileMenu->insertSeparator(before);
    bar->setObjectName(QStringLiteral("mnuFileBar5"));
}

} // namespace recent
