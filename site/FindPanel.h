#pragma once

#include "site/FindInFiles.h"
#include "site/SiteDocks.h"

#include <QDockWidget>
#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTreeWidget;
class frmDocument;

namespace site {

// The pages open in windows (each window's title names its file).
using OpenPages = std::function<QList<frmDocument*>()>;

class ResultsFeed;

// Find and replace in the files of the site: the search runs on a worker thread and its
// results stream into a list grouped by file; double-click opens the page at the match.
// Replace All counts on a worker thread, open pages from their windows' text, and replaces by
// the same rules in open pages (one undo step each) and closed files (on disk).

class FindPanel : public QDockWidget {
    Q_OBJECT
public:
    FindPanel(PageOpener opener, std::function<QString()> root, OpenPages openPages,
              QWidget* parent = nullptr);
    ~FindPanel() override;
    void focusText();
    void find();
    void replaceAll();
    void undoReplace();
    FindQuery query() const;
    FindInFilesRun* run() const { return m_run; }
    QTreeWidget* view() const { return m_view; }
    QLabel* status() const { return m_status; }
    const QList<FileEdit>& lastEdits() const { return m_edits; }

signals:
    void searchFinished();  // every match of the search is in the list
    void replaceFinished(); // Replace All in Files is done, or was not confirmed

private:
    struct Counted;
    void addFile(const FileMatches& matches);
    void confirmAndReplace(const Counted& counted);
    void stopCounting();
    frmDocument* openPage(const QString& canonicalPath) const;
    PageOpener m_opener;
    std::function<QString()> m_rootOf;
    OpenPages m_openPages;
    QString m_root;
    ResultsFeed* m_feed;
    std::shared_ptr<std::atomic_bool> m_countStop;
    std::thread m_counter;
    FindInFilesRun* m_run;
    QLineEdit* m_text;
    QLineEdit* m_replacement;
    QLineEdit* m_patterns;
    QCheckBox* m_regex;
    QCheckBox* m_word;
    QCheckBox* m_case;
    QPushButton* m_find;
    QPushButton* m_stop;
    QPushButton* m_replace;
    QPushButton* m_undo;
    QProgressBar* m_progress;
    QLabel* m_status;
    QTreeWidget* m_view;
    QList<FileEdit> m_edits; // the last replacement's files, kept for undoing it
    int m_shownLines = 0;    // match lines in opened entries
};

} // namespace site
