#pragma once

#include <QElapsedTimer>
#include <QHeaderView>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <QTreeWidget>
#include <deque>
#include <functional>

namespace site {

// The site docks' result lists: files or pages at the top level, their lines below, named for
// the accessibility layer, the first column as wide as its longest path.
inline void setUpResultsTree(QTreeWidget* view, const char* name, const QString& accessibleName,
                             const QStringList& headers)
{
    view->setObjectName(QLatin1String(name));
    view->setAccessibleName(accessibleName);
    view->setHeaderLabels(headers);
    view->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
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
