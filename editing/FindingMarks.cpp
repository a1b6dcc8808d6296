#include "editing/FindingMarks.h"

#include "document/RichEdit.h"
#include "editing/LineNumberGutter.h"
#include "editing/SelectionLayers.h"

#include <QEvent>
#include <QHelpEvent>
#include <QPointer>
#include <QScrollBar>
#include <QTextBlock>
#include <QTimer>
#include <QToolTip>
#include <algorithm>

namespace editing {

namespace {

// At most this many underlines at once: a view holds far fewer findings unless it is huge.
constexpr int markLimit = 2000;

// One editor's findings, kept by a child object so that they go with the editor. Only the
// findings in view are handed to the editor as extra selections, again after every scroll,
// resize or edit, so that a page with ten thousand findings costs what its view shows.
class Marks : public QObject {
  public:
    static constexpr const char* name = "halvaneFindingMarks";

    explicit Marks(RichEdit* edit) : QObject(edit), m_edit(edit) {
        setObjectName(QString::fromLatin1(name));
        m_refresh.setSingleShot(true);
        m_refresh.setInterval(0);
        connect(&m_refresh, &QTimer::timeout, this, &Marks::refresh);
        const auto later = [this] { m_refresh.start(); };
        connect(edit->verticalScrollBar(), &QScrollBar::valueChanged, this, later);
        connect(edit->horizontalScrollBar(), &QScrollBar::valueChanged, this, later);
        connect(edit->document(), &QTextDocument::contentsChange, this, &Marks::follow);
        edit->viewport()->installEventFilter(this);
    }

    void set(std::vector<PageFinding> findings) {
        std::stable_sort(
            findings.begin(), findings.end(),
            [](const PageFinding& a, const PageFinding& b) { return a.start < b.start; });
        m_findings = std::move(findings);
        m_longest = 0;
        for (const PageFinding& f : m_findings)
            m_longest = std::max(m_longest, f.length);
        refresh();
    }

    const std::vector<PageFinding>& findings() const { return m_findings; }

    // The first finding whose range may reach `position` or beyond.
    std::vector<PageFinding>::const_iterator from(int position) const {
        return std::lower_bound(m_findings.begin(), m_findings.end(), position - m_longest - 1,
                                [](const PageFinding& f, int p) { return f.start < p; });
    }

    // The characters a finding's mark covers now.
    std::pair<int, int> range(const PageFinding& f) const {
        const QTextDocument* doc = m_edit->document();
        const int last = std::max(0, doc->characterCount() - 1);
        int start = std::clamp(f.start, 0, last);
        int end = std::clamp(f.start + f.length, start, last);
        if (end == start) {
            // An empty mark covers the character at its place; at a line end, the one before.
            const QTextBlock b = doc->findBlock(start);
            if (start < b.position() + b.length() - 1)
                ++end;
            else if (start > b.position())
                --start;
        }
        return {start, end};
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Resize) {
            m_refresh.start();
        } else if (event->type() == QEvent::ToolTip) {
            auto* help = static_cast<QHelpEvent*>(event);
            const QString text = messageAt(m_edit->cursorForPosition(help->pos()).position());
            if (text.isEmpty())
                QToolTip::hideText();
            else
                QToolTip::showText(help->globalPos(), text, m_edit->viewport());
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    // Edits move the findings after them; a finding the edit cuts into keeps what is left of it.
    void follow(int position, int removed, int added) {
        if (removed == added && removed > 0) {
            m_refresh.start(); // only looks changed, or one run typed over another as long
            return;
        }
        const int delta = added - removed;
        const int cut = position + removed;
        // The markup a finding was about is gone with the text removed.
        if (removed > 0)
            std::erase_if(m_findings, [&](const PageFinding& f) {
                return f.length > 0 && f.start >= position && f.start + f.length <= cut;
            });
        for (PageFinding& f : m_findings) {
            const int end = f.start + f.length;
            if (f.start >= cut) {
                f.start += delta;
            } else if (end > position) {
                const int kept = std::max(0, position - f.start) + std::max(0, end - cut);
                f.start = std::min(f.start, position);
                f.length = kept;
            }
        }
        m_refresh.start();
    }

    QString messageAt(int position) const {
        QStringList messages;
        for (auto it = from(position); it != m_findings.end() && it->start <= position; ++it) {
            const auto [start, end] = range(*it);
            if (position >= start && position < end)
                messages << it->message.toHtmlEscaped();
        }
        if (messages.isEmpty())
            return {};
        return QStringLiteral("<p style='white-space:pre'>%1</p>")
            .arg(messages.join(QStringLiteral("<br>")));
    }

    void refresh() {
        QList<QTextEdit::ExtraSelection> marks;
        std::size_t inView = 0; // which blocks in view have markers, of which kinds
        if (!m_findings.empty()) {
            // The blocks in view, from their geometry: no hit test of the layout.
            const int height = m_edit->viewport()->height();
            QTextBlock block = m_edit->firstVisibleBlock();
            const int first = block.position();
            int last = first;
            for (; block.isValid() && m_edit->blockGeometry(block).top() <= height;
                 block = block.next())
                last = block.position() + block.length();
            QTextDocument* doc = m_edit->document();
            for (auto it = from(first); it != m_findings.end() && it->start <= last; ++it) {
                const auto [start, end] = range(*it);
                if (end < first)
                    continue;
                if (marks.size() >= markLimit)
                    break;
                QTextEdit::ExtraSelection s;
                s.cursor = QTextCursor(doc);
                s.cursor.setPosition(start);
                s.cursor.setPosition(end, QTextCursor::KeepAnchor);
                s.format.setUnderlineStyle(QTextCharFormat::WaveUnderline);
                s.format.setUnderlineColor(findingColour(it->kind));
                marks.append(s);
                inView = inView * 1000003u +
                         static_cast<std::size_t>(s.cursor.block().blockNumber()) * 4u +
                         static_cast<std::size_t>(it->kind);
            }
            inView = inView * 31u + static_cast<std::size_t>(first);
        }
        setLayer(m_edit, Layer::Findings, marks);
        // The markers beside the lines only need painting again when they have changed.
        if (inView != m_markersInView || m_findings.empty()) {
            m_markersInView = inView;
            if (LineNumberGutter* gutter = LineNumberGutter::of(m_edit))
                gutter->update();
        }
    }

    RichEdit* m_edit;
    std::vector<PageFinding> m_findings;
    int m_longest = 0;
    std::size_t m_markersInView = 0;
    QTimer m_refresh;
};

Marks* marksOf(const RichEdit* edit) {
    return edit ? dynamic_cast<Marks*>(edit->findChild<QObject*>(QString::fromLatin1(Marks::name),
                                                                 Qt::FindDirectChildrenOnly))
                : nullptr;
}

} // namespace

QColor findingColour(PageFinding::Kind kind) {
    switch (kind) {
    case PageFinding::Kind::Error:
        return QColor(220, 30, 30);
    case PageFinding::Kind::Warning:
        return QColor(230, 150, 0);
    case PageFinding::Kind::Accessibility:
        return QColor(40, 110, 220);
    }
    return {};
}

void showFindings(RichEdit* edit, std::vector<PageFinding> findings) {
    if (!edit)
        return;
    Marks* marks = marksOf(edit);
    if (findings.empty()) {
        if (marks) {
            setLayer(edit, Layer::Findings, {});
            delete marks;
            LineNumberGutter::showMarkers(edit, false);
        }
        return;
    }
    if (!marks)
        marks = new Marks(edit);
    marks->set(std::move(findings));
    LineNumberGutter::showMarkers(edit, true);
}

const std::vector<PageFinding>& findingsIn(const RichEdit* edit) {
    static const std::vector<PageFinding> none;
    const Marks* marks = marksOf(edit);
    return marks ? marks->findings() : none;
}

std::vector<const PageFinding*> findingsStartingIn(const RichEdit* edit, int from, int to) {
    std::vector<const PageFinding*> out;
    const std::vector<PageFinding>& all = findingsIn(edit);
    auto it = std::lower_bound(all.begin(), all.end(), from,
                               [](const PageFinding& f, int p) { return f.start < p; });
    for (; it != all.end() && it->start < to; ++it)
        out.push_back(&*it);
    return out;
}

bool goToFinding(RichEdit* edit, bool backwards) {
    const std::vector<PageFinding>& all = findingsIn(edit);
    if (all.empty())
        return false;
    const int caret = edit->textCursor().position();
    const PageFinding* target = nullptr;
    if (backwards) {
        auto it = std::lower_bound(all.begin(), all.end(), caret,
                                   [](const PageFinding& f, int p) { return f.start < p; });
        target = it == all.begin() ? &all.back() : &*(it - 1);
    } else {
        auto it = std::upper_bound(all.begin(), all.end(), caret,
                                   [](int p, const PageFinding& f) { return p < f.start; });
        target = it == all.end() ? &all.front() : &*it;
    }
    QTextCursor c = edit->textCursor();
    c.setPosition(
        std::clamp(target->start, 0, std::max(0, edit->document()->characterCount() - 1)));
    edit->setTextCursor(c);
    edit->ensureCursorVisible();
    return true;
}

} // namespace editing
