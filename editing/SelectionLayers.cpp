#include "editing/SelectionLayers.h"

#include "document/RichEdit.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextLayout>
#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace editing {
namespace {

// Whether a mark does nothing but underline its text with a wave (misspelt words, findings).
// The editor itself draws an extra selection by drawing its whole line again clipped to it,
// once per mark, and on a page with many marks in view that costs more than the text; such
// marks are drawn here instead, as a wave over the text once the editor has drawn it.
bool isWave(const QTextCharFormat& format)
{
    if (format.underlineStyle() != QTextCharFormat::WaveUnderline)
        return false;
    const QMap<int, QVariant> properties = format.properties();
    for (auto it = properties.cbegin(); it != properties.cend(); ++it)
        if (it.key() != QTextFormat::TextUnderlineStyle && it.key() != QTextFormat::TextUnderlineColor &&
            it.key() != QTextFormat::FontUnderline)
            return false;
    return true;
}

// One period-aligned strip of wave: a row of quadratic arcs whose half period follows the
// golden ratio of the radius, as text underlines are drawn.
QPixmap makeWave(qreal radiusBase, qreal penWidth, const QColor& colour)
{
    const qreal base = std::max<qreal>(1, radiusBase);
    const qreal halfPeriod = std::max<qreal>(2, base * 1.61803399);
    const int width = int(std::ceil(100 / (2 * halfPeriod)) * (2 * halfPeriod));
    const qreal radius = std::floor(base * 2) / 2.;
    QPainterPath path;
    qreal x = 0, y = radius;
    while (x < width) {
        x += halfPeriod;
        y = -y;
        path.quadTo(x - halfPeriod / 2, y, x, 0);
    }
    QPixmap pixmap(width, int(radius * 2));
    pixmap.fill(Qt::transparent);
    QPen pen(colour, std::min(penWidth, .8 * radius));
    pen.setCapStyle(Qt::SquareCap);
    QPainter painter(&pixmap);
    painter.setPen(pen);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(0, radius);
    painter.drawPath(path);
    return pixmap;
}

// The strips drawn so far, by size and colour (a page shows a few kinds at most).
const QPixmap& wavePixmap(qreal radius, qreal penWidth, const QColor& colour)
{
    struct Strip {
        qreal radius, penWidth;
        QRgb colour;
        QPixmap pixmap;
    };
    static std::vector<Strip> strips;
    for (const Strip& s : strips)
        if (s.radius == radius && s.penWidth == penWidth && s.colour == colour.rgba())
            return s.pixmap;
    if (strips.size() >= 32)
        strips.clear();
    strips.push_back({radius, penWidth, colour.rgba(), makeWave(radius, penWidth, colour)});
    return strips.back().pixmap;
}

struct Wave {
    QTextCursor cursor;
    QColor colour;
    int start() const { return cursor.selectionStart(); }
    int end() const { return cursor.selectionEnd(); }
};

// Each editor's layers, kept by a child object so that they go with the editor.
class Layers : public QObject {
public:
    explicit Layers(QPlainTextEdit* edit) : QObject(edit), m_edit(edit), m_rich(qobject_cast<RichEdit*>(edit))
    {
        setObjectName(QString::fromLatin1(name));
    }
    static constexpr const char* name = "halvaneSelectionLayers";
    std::array<QList<QTextEdit::ExtraSelection>, static_cast<int>(Layer::Count)> lists;

    // What a layer's list holds: marks the editor draws itself, and waves drawn here.
    struct Kinds {
        bool selections = false, waves = false;
    };
    Kinds kindsIn(const QList<QTextEdit::ExtraSelection>& list) const
    {
        Kinds k;
        for (const QTextEdit::ExtraSelection& s : list)
            (drawnHere(s) ? k.waves : k.selections) = true;
        return k;
    }

    // Shows the layers after one of them changed from a list holding `had`; only the kinds of
    // marks the old or the new list holds are set again (the matching tag's marks move with
    // the caret and leave the waves alone).
    void show(const QList<QTextEdit::ExtraSelection>& changed, Kinds had)
    {
        const Kinds has = kindsIn(changed);
        if (had.selections || has.selections) {
            QList<QTextEdit::ExtraSelection> all;
            for (const QList<QTextEdit::ExtraSelection>& one : lists)
                for (const QTextEdit::ExtraSelection& s : one)
                    if (!drawnHere(s))
                        all.append(s);
            m_edit->setExtraSelections(all);
        }
        if (!m_rich || !(had.waves || has.waves))
            return;
        std::vector<Wave> waves;
        for (const QList<QTextEdit::ExtraSelection>& one : lists)
            for (const QTextEdit::ExtraSelection& s : one)
                if (drawnHere(s) && s.cursor.hasSelection())
                    waves.push_back({s.cursor, s.format.underlineColor()});
        std::stable_sort(waves.begin(), waves.end(),
                         [](const Wave& a, const Wave& b) { return a.start() < b.start(); });
        repaintChanged(waves);
        m_waves = std::move(waves);
        m_longest = 0;
        for (const Wave& w : m_waves)
            m_longest = std::max(m_longest, w.end() - w.start());
        if (!m_hooked && !m_waves.empty()) {
            m_hooked = true;
            m_rich->setAfterPaint([this](QPainter& painter, const QRect& area) { paint(painter, area); });
        }
    }

    bool drawnHere(const QTextEdit::ExtraSelection& s) const { return m_rich && isWave(s.format); }

private:
    // The blocks in view with their places in the viewport.
    template <typename F> void forEachBlockInView(F f) const
    {
        QTextBlock block = m_rich->firstVisibleBlock();
        if (!block.isValid())
            return;
        const QRectF first = m_rich->blockGeometry(block);
        const qreal left = first.left(), bottom = m_rich->viewport()->height();
        QAbstractTextDocumentLayout* layout = m_rich->document()->documentLayout();
        for (qreal top = first.top(); block.isValid() && top <= bottom; block = block.next()) {
            if (!block.isVisible())
                continue;
            const qreal height = layout->blockBoundingRect(block).height();
            if (!f(block, QRectF(left, top, m_rich->viewport()->width() - left, height)))
                return;
            top += height;
        }
    }

    // Repaints the lines in view whose waves come or go.
    void repaintChanged(const std::vector<Wave>& next)
    {
        std::vector<std::pair<int, int>> changed;
        const auto key = [](const Wave& w) { return std::tuple(w.start(), w.end(), w.colour.rgba()); };
        std::size_t i = 0, j = 0;
        while (i < m_waves.size() || j < next.size()) {
            if (j == next.size() || (i < m_waves.size() && key(m_waves[i]) < key(next[j]))) {
                changed.emplace_back(m_waves[i].start(), m_waves[i].end());
                ++i;
            } else if (i == m_waves.size() || key(next[j]) < key(m_waves[i])) {
                changed.emplace_back(next[j].start(), next[j].end());
                ++j;
            } else {
                ++i, ++j;
            }
        }
        if (changed.empty())
            return;
        if (changed.size() > 256) {
            m_rich->viewport()->update();
            return;
        }
        forEachBlockInView([&](const QTextBlock& block, const QRectF& rect) {
            const int from = block.position(), to = from + block.length();
            if (std::any_of(changed.begin(), changed.end(),
                            [&](const auto& c) { return c.first < to && c.second >= from; }))
                m_rich->viewport()->update(rect.toAlignedRect());
            return true;
        });
    }

    void paint(QPainter& painter, const QRect& area)
    {
        if (m_waves.empty())
            return;
        const QFontMetricsF metrics(m_rich->font());
        const qreal underline = metrics.underlinePos(), penWidth = metrics.lineWidth();
        forEachBlockInView([&](const QTextBlock& block, const QRectF& rect) {
            if (rect.top() > area.bottom())
                return false;
            if (rect.bottom() < area.top())
                return true;
            const int from = block.position(), to = from + block.length();
            // Waves are kept in the order of their starts; none is longer than m_longest.
            auto it = std::lower_bound(m_waves.begin(), m_waves.end(), from - m_longest,
                                       [](const Wave& w, int p) { return w.start() < p; });
            QTextLayout* layout = block.layout();
            if (it != m_waves.end() && it->start() < to)
                keepShaping(block);
            for (; it != m_waves.end() && it->start() < to; ++it) {
                const int start = std::max(it->start(), from) - from;
                const int end = std::min(it->end(), to) - from;
                if (start >= end)
                    continue;
                for (int l = 0; l < layout->lineCount(); ++l) {
                    const QTextLine line = layout->lineAt(l);
                    const int a = std::max(start, line.textStart());
                    const int b = std::min(end, line.textStart() + line.textLength());
                    if (a >= b)
                        continue;
                    const qreal x1 = line.cursorToX(a), x2 = line.cursorToX(b);
                    const qreal maxHeight = line.descent() - 1;
                    const QPixmap& wave = wavePixmap(
                        std::min(std::max(underline, penWidth), maxHeight / 2), penWidth, it->colour);
                    const QPointF origin = rect.topLeft() + layout->position();
                    const qreal baseline = std::round(origin.y() + line.y() + line.ascent() + 1);
                    painter.setBrushOrigin(QPointF(origin.x(), baseline));
                    painter.fillRect(QRectF(origin.x() + x1, baseline, x2 - x1,
                                            std::min<qreal>(wave.height(), std::floor(maxHeight))),
                                     wave);
                }
            }
            return true;
        });
    }

    // A marked line's layout keeps its shaped glyphs after the editor has drawn it: placing a
    // wave asks the layout for x positions, which would otherwise shape the line again after
    // each repaint. Kept for the lines last drawn with waves only, so that the memory stays
    // that of a few screens.
    void keepShaping(const QTextBlock& block)
    {
        QTextLayout* layout = block.layout();
        if (layout->cacheEnabled())
            return;
        layout->setCacheEnabled(true);
        // A cursor, not the block: it follows the edits, and the block may go.
        m_shaped.emplace_back(block);
        if (m_shaped.size() > 2 * keptShaped) {
            for (std::size_t i = 0; i < keptShaped; ++i)
                if (m_shaped[i].block().isValid())
                    m_shaped[i].block().layout()->setCacheEnabled(false);
            m_shaped.erase(m_shaped.begin(), m_shaped.begin() + keptShaped);
        }
    }
    static constexpr std::size_t keptShaped = 200;
    std::vector<QTextCursor> m_shaped;

    QPlainTextEdit* m_edit;
    RichEdit* m_rich;
    std::vector<Wave> m_waves; // in the order of their starts
    int m_longest = 0;
    bool m_hooked = false;
};

Layers* layersOf(const QPlainTextEdit* edit)
{
    return dynamic_cast<Layers*>(
        edit->findChild<QObject*>(QString::fromLatin1(Layers::name), Qt::FindDirectChildrenOnly));
}

} // namespace

void setLayer(QPlainTextEdit* edit, Layer which, QList<QTextEdit::ExtraSelection> selections)
{
    Layers* layers = layersOf(edit);
    if (!layers) {
        if (selections.isEmpty())
            return;
        layers = new Layers(edit);
    }
    QList<QTextEdit::ExtraSelection>& list = layers->lists[static_cast<int>(which)];
    if (list.isEmpty() && selections.isEmpty())
        return;
    const auto had = layers->kindsIn(list);
    list = std::move(selections);
    layers->show(list, had);
}

const QList<QTextEdit::ExtraSelection>& layer(const QPlainTextEdit* edit, Layer which)
{
    static const QList<QTextEdit::ExtraSelection> none;
    const Layers* layers = layersOf(edit);
    return layers ? layers->lists[static_cast<int>(which)] : none;
}

} // namespace editing
