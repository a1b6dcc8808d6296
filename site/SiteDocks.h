#pragma once

#include "site/SiteCheck.h"

#include <QDockWidget>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <thread>

class QAbstractFileIconProvider;
class QFileSystemModel;
class QLabel;
class QMainWindow;
class QProgressBar;
class QPushButton;
class QTreeView;
class QTreeWidget;
class frmDocument;

class QTreeWidgetItem;

namespace site {

// Opens (or brings forward, when already open) the page at an absolute path; nullptr when it
// could not be opened (the opener reports why).
using PageOpener = std::function<frmDocument*(const QString& path)>;

// The site's folder tree: the site root's files, hidden ones left out, kept up to date by
// the file system's own change notices. Double-click opens a file.
class SitePanel : public QDockWidget {
    Q_OBJECT
public:
    SitePanel(PageOpener opener, QWidget* parent = nullptr);
    ~SitePanel() override;
    void setRoot(const QString& root);
    QString root() const { return m_root; }
    QTreeView* view() const { return m_view; }

private:
    PageOpener m_opener;
    std::unique_ptr<QAbstractFileIconProvider> m_icons; // outlives the model
    QFileSystemModel* m_model;
    QTreeView* m_view;
    QString m_root;
};

class ResultsFeed;

// The site check's findings, grouped by page, under a summary line. The check runs in
// worker threads; the interface receives the finished report and lists it a slice at a time.
class SiteCheckPanel : public QDockWidget {
    Q_OBJECT
public:
    SiteCheckPanel(PageOpener opener, QWidget* parent = nullptr);
    ~SiteCheckPanel() override;
    void check(const QString& root, int accessibility);
    void stop();
    bool isRunning() const { return m_running; }
    const SiteReport& report() const { return m_report; }
    QTreeWidget* view() const { return m_view; }
    QString summary() const;

signals:
    void checkFinished(); // the report is listed in full

private:
    void show(const SiteReport& report);
    PageOpener m_opener;
    QLabel* m_summary;
    QProgressBar* m_progress;
    QPushButton* m_stop;
    QTreeWidget* m_view;
    ResultsFeed* m_feed;
    QString m_root;
    SiteReport m_report;
    std::shared_ptr<std::atomic_bool> m_stopFlag;
    std::thread m_thread;
    bool m_running = false;
};

// Puts the caret of a page at a 1-based line and column.
void goToLine(frmDocument& doc, int line, int column);

// Opens (or activates) the page of a result list's line and puts the caret at it: the line
// holds the page's path under the site root and its line and column, in columns 0, 1 and 2
// of its Qt::UserRole data. A page's own entry (no path) does nothing.
void openFoundLine(const PageOpener& opener, const QString& root, const QTreeWidgetItem* item);

} // namespace site
