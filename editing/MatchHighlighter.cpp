#include "editing/MatchHighlighter.h"
#include "editing/SelectionLayers.h"

#include "document/RichEdit.h"
#include "editing/Finder.h"

#include <QEvent>
#include <QScrollBar>

namespace editing {

namespace {
// At most this many marks: a view holds far fewer matches than this unless the window is huge.
constexpr int markLimit = 2000;
} // namespace

MatchHighlighter::MatchHighlighter(QObject* parent) : QObject(parent)
{
    // One refresh for a burst of scroll steps or keystrokes, once the event loop is idle.
    m_refresh.setSingleShot(true);
    m_refresh.setInterval(0);
    connect(&m_refresh, &QTimer::timeout, this, &MatchHighlighter::refresh);
}

MatchHighlighter::~MatchHighlighter() { release(); }

void MatchHighlighter::setPattern(const SearchPattern& pattern)
{
    m_pattern = pattern;
    m_refresh.start();
}

void MatchHighlighter::follow(RichEdit* edit)
{
    if (edit == m_edit)
        return;
    release();
    m_edit = edit;
    if (!edit)
        return;
    const auto later = [this] { m_refresh.start(); };
    m_links = {connect(edit->verticalScrollBar(), &QScrollBar::valueChanged, this, later),
               connect(edit->horizontalScrollBar(), &QScrollBar::valueChanged, this, later),
               connect(edit->document(), &QTextDocument::contentsChanged, this, later)};
    edit->viewport()->installEventFilter(this);
    m_refresh.start();
}

void MatchHighlighter::release()
{
    for (const QMetaObject::Connection& c : std::as_const(m_links))
        disconnect(c);
    m_links.clear();
    if (m_edit) {
        m_edit->viewport()->removeEventFilter(this);
        setLayer(m_edit, Layer::SearchMatches, {});
    }
    m_edit = nullptr;
}

bool MatchHighlighter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Resize)
        m_refresh.start();
    return QObject::eventFilter(watched, event);
}

void MatchHighlighter::refresh()
{
    if (!m_edit)
        return;
    QTextCharFormat look;
    look.setBackground(QColor(255, 236, 140));
    setLayer(m_edit, Layer::SearchMatches, visibleMatches(*m_edit, m_pattern, look, markLimit));
}

} // namespace editing
