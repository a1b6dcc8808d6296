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

namespace site {

// Find and replace in the files of the site: the search runs on a worker thread and its
// results stream into a list grouped by file; double-click opens the page at the match.
// Replaces every match in the window of an open page (as one undo step of that page);
// returns how many were replaced.
using OpenReplacer = std::function<int(const QString& path, const FindQuery& query, const QString& with)>;

class FindPanel : public QDockWidget {
    Q_OBJECT
public:
    FindPanel(PageOpener opener, std::function<QString()> root,
              std::function<bool(const QString&)> isOpen, OpenReplacer replaceInOpen,
              QWidget* parent = nullptr);
    void focusText();
    void find();
    void replaceAll();
    void undoReplace();
    FindQuery query() const;
    FindInFilesRun* run() const { return m_run; }
    QTreeWidget* view() const { return m_view; }
    QLabel* status() const { return m_status; }
    const QList<FileEdit>& lastEdits() const { return m_edits; }

private:
    void addFile(const FileMatches& matches);
    PageOpener m_opener;
    std::function<QString()> m_rootOf;
    std::function<bool(const QString&)> m_isOpen;
    OpenReplacer m_replaceInOpen;
    QString m_root;
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
};

} // namespace site
