#include "site/SiteCommands.h"

#include "site/FindPanel.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMainWindow>
#include <QMessageBox>
#include <QPointer>
#include <QTreeView>

namespace site {

namespace {

struct State {
    QPointer<QMainWindow> main;
    Hooks hooks;
    QPointer<QAction> panelAction;
    QString chosenRoot; // for the rest of the session
    QPointer<SitePanel> panel;
    QPointer<SiteCheckPanel> check;
    QPointer<FindPanel> find;
};

State& state()
{
    static State s;
    return s;
}

bool haveRoot(QString* root)
{
    *root = siteRoot();
    if (!root->isEmpty())
        return true;
    QMessageBox::information(state().main, QStringLiteral("Halvane"),
                             QStringLiteral("Open a page of the site, or choose its folder with "
                                            "File > Open Folder, first."));
    return false;
}

} // namespace

void install(QMainWindow* main, Hooks hooks, QAction* panelAction)
{
    State& s = state();
    s.main = main;
    s.hooks = std::move(hooks);
    s.panelAction = panelAction;
    if (panelAction)
        panelAction->setCheckable(true);
}

QString siteRoot()
{
    State& s = state();
    if (!s.chosenRoot.isEmpty())
        return s.chosenRoot;
    const QString page = s.hooks.activePage ? s.hooks.activePage() : QString();
    const QFileInfo info(page);
    return !page.isEmpty() && info.exists() ? info.absolutePath() : QString();
}

void setSiteRoot(const QString& root)
{
    state().chosenRoot = QDir(root).absolutePath();
    if (SitePanel* p = state().panel)
        p->setRoot(state().chosenRoot);
}

SitePanel* sitePanel()
{
    State& s = state();
    if (!s.panel && s.main) {
        s.panel = new SitePanel(s.hooks.open, s.main);
        s.main->addDockWidget(Qt::LeftDockWidgetArea, s.panel);
        if (QAction* a = s.panelAction)
            QObject::connect(s.panel, &QDockWidget::visibilityChanged, a, &QAction::setChecked);
    }
    return s.panel;
}

SiteCheckPanel* siteCheckPanel()
{
    State& s = state();
    if (!s.check && s.main) {
        s.check = new SiteCheckPanel(s.hooks.open, s.main);
        s.main->addDockWidget(Qt::BottomDockWidgetArea, s.check);
    }
    return s.check;
}

void toggleSitePanel()
{
    SitePanel* p = sitePanel();
    if (!p)
        return;
    if (p->isVisible()) {
        p->hide();
        return;
    }
    p->setRoot(siteRoot());
    p->show();
    p->raise();
    p->view()->setFocus();
}

void openFolder()
{
    State& s = state();
    const QString folder = QFileDialog::getExistingDirectory(s.main, QStringLiteral("Open Folder"),
                                                             siteRoot());
    if (folder.isEmpty())
        return;
    setSiteRoot(folder);
    if (SitePanel* p = sitePanel()) {
        p->setRoot(s.chosenRoot);
        p->show();
        p->raise();
    }
}

void checkSite()
{
    QString root;
    if (!haveRoot(&root))
        return;
    if (SiteCheckPanel* p = siteCheckPanel())
        p->check(root, state().hooks.accessibility ? state().hooks.accessibility() : 0);
}

void findInFiles()
{
    State& s = state();
    if (!s.find && s.main) {
        s.find = new FindPanel(s.hooks.open, [] { return siteRoot(); }, s.hooks.openPages, s.main);
        s.main->addDockWidget(Qt::BottomDockWidgetArea, s.find);
    }
    if (FindPanel* f = s.find) {
        f->show();
        f->raise();
        f->focusText();
    }
}

} // namespace site
