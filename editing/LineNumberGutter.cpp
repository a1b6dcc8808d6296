#include "editing/LineNumberGutter.h"

#include "document/RichEdit.h"
#include "editing/FindingMarks.h"

#include <QEvent>
#include <QHelpEvent>
#include <QToolTip>
#include <QPainter>
#include <QTextBlock>

namespace editing {

namespace {
const QColor face(240, 240, 240);
const QColor digits(128, 128, 128);
constexpr int padding = 4;
} // namespace

LineNumberGutter::LineNumberGutter(RichEdit* edit) : QWidget(edit), m_edit(edit)
{
    setObjectName(QStringLiteral("lineNumbers"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    connect(edit, &QPlainTextEdit::blockCountChanged, this, &LineNumberGutter::fitWidth);
    connect(edit, &QPlainTextEdit::updateRequest, this, &LineNumberGutter::viewUpdated);
    edit->installEventFilter(this);
}

LineNumberGutter* LineNumberGutter::of(const RichEdit* edit)
{
    return edit ? edit->findChild<LineNumberGutter*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

void LineNumberGutter::showFor(RichEdit* edit, bool on)
{
    const LineNumberGutter* gutter = of(edit);
    configure(edit, on, gutter && gutter->m_markers);
}

void LineNumberGutter::showMarkers(RichEdit* edit, bool on)
{
    const LineNumberGutter* gutter = of(edit);
    configure(edit, gutter && gutter->m_numbers, on);
}

void LineNumberGutter::configure(RichEdit* edit, bool numbers, bool markers)
{
    if (!edit)
        return;
    LineNumberGutter* gutter = of(edit);
    if ((numbers || markers) && !gutter) {
        gutter = new LineNumberGutter(edit);
        gutter->show();
    } else if (!numbers && !markers && gutter) {
        edit->removeEventFilter(gutter);
        delete gutter;
        edit->setLeftMargin(0);
        return;
    }
    if (!gutter || (gutter->m_numbers == numbers && gutter->m_markers == markers))
        return;
    gutter->m_numbers = numbers;
    gutter->m_markers = markers;
    gutter->m_width = -1;
    gutter->fitWidth();
    gutter->update();
}

void LineNumberGutter::fitWidth()
{
    int places = 1;
    for (int n = std::max(1, m_edit->blockCount()); n >= 10; n /= 10)
        ++places;
    const int numbers =
        m_numbers ? 2 * padding + m_edit->fontMetrics().horizontalAdvance(QLatin1Char('9')) * places : 0;
    const int width = numbers + (m_markers ? markerWidth : 0);
    if (width == m_width)
        return;
    m_width = width;
    m_edit->setLeftMargin(width);
    place();
}

void LineNumberGutter::place()
{
    const QRect r = m_edit->contentsRect();
    setGeometry(r.left(), r.top(), m_width, r.height());
}

std::size_t LineNumberGutter::layoutKey() const
{
    // Where the numbers stand: the first block in view and its top, the number of blocks,
    // and how many lines each block in view takes.
    QTextBlock b = m_edit->firstVisibleBlock();
    std::size_t key = static_cast<std::size_t>(b.blockNumber()) * 1000003u +
                      static_cast<std::size_t>(qRound(m_edit->blockGeometry(b).top())) * 8191u +
                      static_cast<std::size_t>(m_edit->blockCount());
    const int lineHeight = std::max(1, m_edit->fontMetrics().height());
    const int linesInView = height() / lineHeight + 2;
    for (int lines = 0; b.isValid() && lines < linesInView; b = b.next()) {
        const int n = b.isVisible() ? b.lineCount() : 0;
        key = key * 31u + static_cast<std::size_t>(n);
        lines += std::max(1, n);
    }
    return key;
}

void LineNumberGutter::viewUpdated(const QRect&, int dy)
{
    if (dy != 0) {
        scroll(0, dy);
        m_layoutKey = layoutKey();
        return;
    }
    // The editor asks for a repaint on every keystroke and cursor blink; the numbers only
    // need one when they have moved.
    const std::size_t key = layoutKey();
    if (key == m_layoutKey)
        return;
    m_layoutKey = key;
    update();
}

bool LineNumberGutter::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_edit && event->type() == QEvent::Resize)
        place();
    return QWidget::eventFilter(watched, event);
}

void LineNumberGutter::prepareDigits()
{
    const QFont font = m_edit->font();
    const qreal ratio = devicePixelRatioF();
    if (m_digitWidth > 0 && font == m_digitsFont && ratio == m_digitsRatio)
        return;
    m_digitsFont = font;
    m_digitsRatio = ratio;
    const QFontMetrics metrics(font);
    m_digitWidth = metrics.horizontalAdvance(QLatin1Char('9'));
    for (int d = 0; d < 10; ++d) {
        QPixmap digit(QSize(m_digitWidth, metrics.height()) * ratio);
        digit.setDevicePixelRatio(ratio);
        digit.fill(face);
        QPainter p(&digit);
        p.setFont(font);
        p.setPen(digits);
        p.drawText(QRect(0, 0, m_digitWidth, metrics.height()), Qt::AlignRight,
                   QString(QChar(u'0' + d)));
        m_digits[static_cast<std::size_t>(d)] = digit;
    }
}

std::vector<LineNumberGutter::Marker> LineNumberGutter::markers(const QRect& area) const
{
    std::vector<Marker> out;
    for (QTextBlock block = m_edit->firstVisibleBlock(); block.isValid(); block = block.next()) {
        const QRectF at = m_edit->blockGeometry(block);
        if (at.top() > area.bottom())
            break;
        if (!block.isVisible() || at.bottom() < area.top())
            continue;
        const int from = block.position();
        const int to = from + block.length();
        const auto found = findingsStartingIn(m_edit, from, to);
        if (found.empty())
            continue;
        int kind = static_cast<int>(PageFinding::Kind::Accessibility);
        for (const PageFinding* f : found)
            kind = std::min(kind, static_cast<int>(f->kind)); // errors first
        out.push_back({qRound(at.top()), qRound(at.height()), from, to, kind});
    }
    return out;
}

bool LineNumberGutter::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip && m_markers) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QRect row(0, help->pos().y(), width(), 1);
        QStringList messages;
        for (const Marker& m : markers(row))
            for (const PageFinding* f : findingsStartingIn(m_edit, m.from, m.to))
                messages << f->message.toHtmlEscaped();
        if (messages.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(),
                               QStringLiteral("<p style='white-space:pre'>%1</p>")
                                   .arg(messages.join(QStringLiteral("<br>"))),
                               this);
        return true;
    }
    return QWidget::event(event);
}

std::vector<LineNumberGutter::Label> LineNumberGutter::labels(const QRect& area) const
{
    std::vector<Label> out;
    QTextBlock block = m_edit->firstVisibleBlock();
    // The line the first block in view is on; the view may start inside a long line, whose
    // first block (and number) is above it.
    int number = m_edit->lineOf(block.position()) + 1;
    for (bool first = true; block.isValid(); block = block.next(), first = false) {
        const bool continuation = m_edit->continuesLine(block);
        if (!continuation && !first)
            ++number;
        const QRectF at = m_edit->blockGeometry(block);
        if (at.top() > area.bottom())
            break;
        if (continuation || !block.isVisible() || at.bottom() < area.top())
            continue;
        out.push_back({qRound(at.top()), number});
    }
    return out;
}

void LineNumberGutter::paintEvent(QPaintEvent* event)
{
    prepareDigits();
    QPainter p(this);
    p.fillRect(event->rect(), face);
    if (m_markers) {
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        const int size = markerWidth - 4;
        for (const Marker& m : markers(event->rect())) {
            p.setBrush(findingColour(static_cast<PageFinding::Kind>(m.kind)));
            const int line = std::min(m.height, m_edit->fontMetrics().height());
            p.drawEllipse(QRectF(2, m.top + (line - size) / 2.0, size, size));
        }
    }
    if (!m_numbers)
        return;
    for (const Label& label : labels(event->rect())) {
        int x = m_width - padding;
        for (int n = label.number; n > 0; n /= 10) {
            x -= m_digitWidth;
            p.drawPixmap(x, label.top, m_digits[static_cast<std::size_t>(n % 10)]);
        }
    }
}

} // namespace editing
