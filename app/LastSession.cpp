#include "app/LastSession.h"

#include "app/OpenPages.h"
#include "app/frmMain.h"
#include "document/frmDocument.h"
#include "platform/SettingsStore.h"

#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace session {

namespace {
const QString pagesKey = QStringLiteral("LastSession");
const QString activeKey = QStringLiteral("LastSessionActive");
const QString atStartKey = QStringLiteral("ReopenAtStart");
} // namespace

Pages lastSession()
{
    platform::SettingsStore store;
    Pages pages;
    for (const QString& path : store.readList(pagesKey))
        if (QDir::isAbsolutePath(path) && !pages.paths.contains(path))
            pages.paths << path;
    const double active = store.readNumber(activeKey, -1);
    if (active >= 0 && active < pages.paths.size())
        pages.active = int(active);
    return pages;
}

void record(const frmMain& main)
{
    Pages pages;
    const frmDocument* active = main.activeDocument();
    for (QMdiSubWindow* sub : main.mdiArea()->subWindowList(QMdiArea::CreationOrder)) {
        const auto* doc = qobject_cast<const frmDocument*>(sub->widget());
        // A page without a file (a new one, or one read from the standard input) has nothing
        // to reopen; its unsaved text is the recovery copies' business.
        if (!doc || !QDir::isAbsolutePath(doc->windowTitle()) || pages.paths.contains(doc->windowTitle()))
            continue;
        if (doc == active)
            pages.active = int(pages.paths.size());
        pages.paths << doc->windowTitle();
    }
    platform::SettingsStore store;
    store.writeList(pagesKey, pages.paths);
    store.writeNumber(activeKey, pages.active);
    store.sync();
}

void reopen(frmMain& main)
{
    const Pages pages = lastSession();
    if (pages.paths.isEmpty())
        return;
    files::openPages(main, pages.paths);
    if (pages.active < 0)
        return;
    for (frmDocument* doc : main.documents())
        if (doc->windowTitle() == pages.paths.at(pages.active))
            main.mdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(doc->parentWidget()));
}

bool reopensAtStart() { return platform::SettingsStore().readNumber(atStartKey, 0) != 0; }

void setReopensAtStart(bool on)
{
    platform::SettingsStore store;
    store.writeNumber(atStartKey, on ? 1 : 0);
    store.sync();
}

void reopenAtStart(frmMain& main)
{
    if (reopensAtStart())
        reopen(main);
}

} // namespace session
