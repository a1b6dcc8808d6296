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
// the same rules in open pages (one undo step each, on the interface thread) and closed files
// (on disk, written on a worker thread with progress and Stop, as is their undoing).

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
    FileWriteRun* writer() const { return m_writer; }
    QTreeWidget* view() const { return m_view; }
    QLabel* status() const { return m_status; }
    const QList<FileEdit>& lastEdits() const { return m_edits; }

signals:
    void searchFinished();  // every match of the search is in the list
    void replaceFinished(); // Replace All in Files is done, or was not confirmed
    void undoFinished();    // Undo Replace in Files is done

private:
    struct Counted;
    void addFile(const FileMatches& matches);
    void confirmAndReplace(const Counted& counted);
    void stopCounting();
    void stopWork();
    void writingStarted(const QString& status, int files);
    void replaceWritten(const WriteOutcome& outcome);
    void undoWritten(const WriteOutcome& outcome);
    frmDocument* openPage(const QString& canonicalPath) const;
    PageOpener m_opener;
    std::function<QString()> m_rootOf;
    OpenPages m_openPages;
    QString m_root;
    ResultsFeed* m_feed;
    std::shared_ptr<std::atomic_bool> m_countStop;
    std::thread m_counter;
    FindInFilesRun* m_run;
    FileWriteRun* m_writer;
    bool m_undoing = false;      // the writer restores files, rather than replacing in them
    int m_replacedOpen = 0;      // open pages changed by the replacement being written
    QStringList m_openFailures;  // open pages it could not change
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
