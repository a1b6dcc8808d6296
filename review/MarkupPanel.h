#pragma once

#include "review/MarkupCheck.h"

#include "document/frmDocument.h"

class RichEdit;

#include <QDockWidget>
#include <QPointer>
#include <QMetaObject>
#include <utility>
#include <vector>

class QTimer;

class QCheckBox;
class QComboBox;
class QMdiArea;
class QMdiSubWindow;
class QTreeView;

namespace review {

class FindingsModel;

// The markup check's panel (below the documents): runs the check on a copy of the active
// page in a worker thread and lists what it finds. The window keeps responding meanwhile;
// once the page changes after the copy was taken, the findings are marked out of date, and
// while the panel is open the check runs again once typing has paused. The panel follows
// the active page: another page's findings are never shown for it.
class MarkupPanel : public QDockWidget {
    Q_OBJECT
public:
    explicit MarkupPanel(QMdiArea* area, QWidget* parent = nullptr);
    ~MarkupPanel() override;

    // Checks the active page (nothing to check without one), shows the panel and puts the
    // focus on its list.
    void check();
    // Checks the active page again without showing the panel or moving the focus.
    void recheck();
    // Shows the finding of a row in its page: activates the page's window and puts the caret
    // at the finding's line and column.
    void activate(int row);

    bool isRunning() const { return m_running; }
    bool isStale() const { return m_stale; }
    frmDocument* checkedDocument() const { return m_document; }
    FindingsModel* model() const { return m_model; }
    // The accessibility checks asked for: 0 (none) or the lowest priority checked, 1 to 3.
    int accessibilityLevel() const;
    void setAccessibilityLevel(int level);
    QTreeView* view() const { return m_view; }
    // The longest the last check's request (one slice of its copy) and its result took on
    // the interface thread.
    qint64 lastRequestMs() const { return m_requestMs; }
    qint64 lastDeliveryMs() const { return m_deliveryMs; }

signals:
    void checkFinished();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The page is copied for the check a slice of at most this long at a time.
    static constexpr qint64 sliceNs = 4'000'000;
    // A pause in typing this long runs the check again while the panel is open.
    static constexpr int recheckDelayMs = 500;
    void start(bool focusList);
    void followActivePage(QMdiSubWindow* sub);
    void copySlice(quint64 generation);
    void deliver(quint64 generation, CheckResult result);
    void markStale();
    void updateTitle();
    void returnToDocument();

    QMdiArea* m_area;
    FindingsModel* m_model;
    QTreeView* m_view;
    QCheckBox* m_oldStyle;
    QComboBox* m_accessibility;
    QTimer* m_recheck;
    int m_checkedLevel = 0; // the accessibility level of the findings shown
    QPointer<frmDocument> m_document;
    QMetaObject::Connection m_editWatch;
    quint64 m_generation = 0;
    bool m_running = false;
    bool m_stale = false;
    bool m_checkedAny = false;
    bool m_noPage = false;
    bool m_copying = false;    // the page is being copied for the check
    bool m_copyRestart = false; // the page changed while being copied
    int m_nextBlock = 0;
    QString m_copy;
    qint64 m_requestMs = 0;
    qint64 m_deliveryMs = 0;
};

// The widget position of a finding's line and column (1-based; 0 for the whole page) in
// `edit`, whose long lines may be held as several display blocks. A line past the end is the
// last line; a column past the line's end is its end.
int positionOf(const RichEdit& edit, int line, int column);
// The same for many places (line, column) at once, in one walk through the page.
std::vector<int> positionsOf(const RichEdit& edit, const std::vector<std::pair<int, int>>& places);
// How many characters from `position` a finding's mark covers: the tag, character reference
// or word that starts there (at least one character, never past the display block).
int markLength(const RichEdit& edit, int position);

} // namespace review
