#pragma once

#include "review/MarkupCheck.h"

#include "document/frmDocument.h"

#include <QDockWidget>
#include <QPointer>
#include <QMetaObject>

class QCheckBox;
class QMdiArea;
class QTreeView;

namespace review {

class FindingsModel;

// The markup check's panel (below the documents): runs the check on a copy of the active
// page in a worker thread and lists what it finds. The window keeps responding meanwhile;
// once the page changes after the copy was taken, the findings are marked out of date.
class MarkupPanel : public QDockWidget {
    Q_OBJECT
public:
    explicit MarkupPanel(QMdiArea* area, QWidget* parent = nullptr);
    ~MarkupPanel() override;

    // Checks the active page (nothing to check without one), shows the panel and puts the
    // focus on its list.
    void check();
    // Shows the finding of a row in its page: activates the page's window and puts the caret
    // at the finding's line and column.
    void activate(int row);

    bool isRunning() const { return m_running; }
    bool isStale() const { return m_stale; }
    frmDocument* checkedDocument() const { return m_document; }
    FindingsModel* model() const { return m_model; }
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
    void copySlice(quint64 generation);
    void deliver(quint64 generation, CheckResult result);
    void markStale();
    void updateTitle();
    void returnToDocument();

    QMdiArea* m_area;
    FindingsModel* m_model;
    QTreeView* m_view;
    QCheckBox* m_oldStyle;
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

// Where a finding's line and column (1-based, the column in characters as tidy counts them:
// one per code point) stand in a text whose lines are given. Returns the offset of that
// place within its line in UTF-16 units, clamped to the line.
int columnToOffset(const QString& line, int column);

} // namespace review
