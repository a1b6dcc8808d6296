#pragma once

#include "site/FindPanel.h"
#include "site/SiteDocks.h"

#include <QString>
#include <functional>

class QMainWindow;
class QAction;

// The whole-site commands of the main window. The panels are made on first use.
namespace site {

struct Hooks {
    PageOpener open;                     // opens or activates a page
    OpenPages openPages;                 // the pages open in windows
    std::function<QString()> activePage; // the active page's file ("" without one)
    std::function<int()> accessibility;  // the markup check's accessibility level
};
void install(QMainWindow* main, Hooks hooks, QAction* panelAction);

// The site root: the folder chosen with Open Folder, else the active page's folder.
QString siteRoot();
void setSiteRoot(const QString& root);

void toggleSitePanel();
void openFolder();
void checkSite();
void findInFiles();

SitePanel* sitePanel();
SiteCheckPanel* siteCheckPanel();

} // namespace site
