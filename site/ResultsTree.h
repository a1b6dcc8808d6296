#pragma once

#include <QElapsedTimer>
#include <QHeaderView>
#include <QObject>
#include <QStyle>
#include <QStringList>
#include <QTimer>
#include <QTreeWidget>
#include <deque>
#include <functional>

namespace site {

// The site docks' result lists: files or pages at the top level, their lines below, named for
// the accessibility layer.
inline void setUpResultsTree(QTreeWidget* view, const char* name, const QString& accessibleName,
                             const QStringList& headers)
{
    view->setObjectName(QLatin1String(name));
    view->setAccessibleName(accessibleName);
    view->setHeaderLabels(headers);
}

// Widens the first column to a new top-level entry's text, so that the column ends up as wide
// as the longest path. Measured entry by entry: fitting the column to its contents would
// measure every row again each time rows are added, which holds up the interface once there
// are thousands.
inline void widenFirstColumn(QTreeWidget* view, const QString& text)
{
    const int wanted = view->fontMetrics().horizontalAdvance(text) + view->indentation()
                       + 4 * view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 8;
    if (wanted > view->columnWidth(0))
        view->setColumnWidth(0, wanted);
}

// Entries are shown opened while the list shows fewer lines than this; later ones come
// closed (a click opens them). The list view lays out every shown line again whenever lines
// are added, so tens of thousands shown at once would hold up the interface.
inline constexpr int openedLines = 2000;

// Adds a top-level entry's lines, opening it while the list shows few enough lines.
inline void openIfFew(QTreeWidgetItem* entry, int* shownLines)
{
    if (*shownLines + entry->childCount() <= openedLines) {
        entry->setExpanded(true);
        *shownLines += entry->childCount();
    }
}

// Filling a result list a slice at a time: thousands of lines arrive at once, and building
// their items in one go would hold up the interface. Each turn of the event loop runs the
// queued jobs for at most a few milliseconds and leaves the rest for the next turn.
class ResultsFeed : public QObject {
public:
    static constexpr int sliceMs = 6;

    explicit ResultsFeed(QObject* parent) : QObject(parent), m_timer(new QTimer(this))
    {
        m_timer->setInterval(0);
        connect(m_timer, &QTimer::timeout, this, &ResultsFeed::drain);
    }
    void push(std::function<void()> job)
    {
        m_jobs.push_back(std::move(job));
        m_timer->start();
    }
    void clear()
    {
        m_jobs.clear();
        m_timer->stop();
    }
    bool idle() const { return m_jobs.empty(); }

private:
    void drain()
    {
        QElapsedTimer clock;
        clock.start();
        while (!m_jobs.empty() && clock.elapsed() < sliceMs) {
            const std::function<void()> job = std::move(m_jobs.front());
            m_jobs.pop_front();
            job();
        }
        if (m_jobs.empty())
            m_timer->stop();
    }
    QTimer* m_timer;
    std::deque<std::function<void()>> m_jobs;
};

} // namespace site
