#include "editing/PageDisplay.h"

#include "document/RichEdit.h"
#include "document/WindowLayer.h"
#include "document/frmDocument.h"
#include "editing/EditingCommands.h"
#include "editing/MatchingTags.h"
#include "editing/SelectionLayers.h"
#include "editing/SyntaxColours.h"
#include "platform/SettingsStore.h"

#include <QAction>
#include <QFontDatabase>
#include <QFontInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QTextBlock>
#include <QTextLayout>
#include <QWheelEvent>
#include <algorithm>
#include <array>
#include <cmath>

namespace editing {

namespace {

const QString colourMarkupKey = QStringLiteral("ColourMarkup");
const QString caretLineKey = QStringLiteral("CaretLine");
const QString fixedWidthKey = QStringLiteral("FixedWidthFont");
const QString zoomKey = QStringLiteral("Zoom");

constexpr std::array zoomLadder{50, 67, 75, 80, 90, 100, 110, 125, 150, 175, 200, 250, 300, 400};

// A soft blue-grey behind the caret's line, lighter than any colour of the text.
const QColor caretLineColour(236, 242, 250);

using Installed = WindowLayer<DisplayOptions>;
Installed& installed() {
    return Installed::installed();
}
QAction* item(const char* name) {
    return installed().item(name);
}

// What an editor needs beside its page for the display: the caret's line kept marked, Ctrl
// with the wheel zooming, and the tab stops of the page's own size to scale.
class ReadingAids : public QObject {
  public:
    static constexpr const char* name = "halvanePageDisplay";
    static ReadingAids* of(RichEdit* edit) {
        auto* aids = dynamic_cast<ReadingAids*>(
            edit->findChild<QObject*>(QLatin1String(name), Qt::FindDirectChildrenOnly));
        return aids ? aids : new ReadingAids(edit);
    }

    void apply(const DisplayOptions& options) {
        const QFont font = displayFont(m_edit->pageFont(), options);
        if (m_edit->font() != font || m_zoom != options.zoom) {
            m_zoom = options.zoom;
            m_edit->setFont(font);
            m_edit->setTabStopDistance(m_pageTabStop * options.zoom / 100.0);
        }
        if (m_caretLine != options.caretLine) {
            m_caretLine = options.caretLine;
            markCaretLine();
        }
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && watched == m_edit->viewport())
            paintCaretLine(static_cast<QPaintEvent*>(event));
        if (event->type() == QEvent::Wheel) {
            auto* wheel = static_cast<QWheelEvent*>(event);
            if (wheel->modifiers() & Qt::ControlModifier) {
                // A notch of the wheel (120) is one step; finer wheels add up to one.
                m_wheel += wheel->angleDelta().y();
                const int steps = m_wheel / 120;
                m_wheel -= steps * 120;
                if (steps != 0)
                    zoomBy(steps);
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    explicit ReadingAids(RichEdit* edit)
        : QObject(edit), m_edit(edit), m_pageTabStop(edit->tabStopDistance()) {
        setObjectName(QLatin1String(name));
        edit->viewport()->installEventFilter(this);
        connect(edit, &QPlainTextEdit::cursorPositionChanged, this, &ReadingAids::markCaretLine);
        // A change of the layout (a line wrapping anew, zoom) can move the caret to another
        // line of its block without moving it in the text.
        connect(edit, &QPlainTextEdit::updateRequest, this, [this](const QRect&, int dy) {
            if (dy == 0)
                markCaretLine();
        });
    }

    // The caret's line, as drawn: one line of the layout (a long line wraps into several).
    // Its background is painted on the page before the widget draws the text over it (see
    // eventFilter), not given as a full-width extra selection: the widget would draw such a
    // line clipped around the selection at every repaint, which costs more than the rest of a
    // keystroke. Here the old and the new line are only drawn again when the caret leaves
    // its line.
    std::pair<int, int> caretLine() const {
        const QTextCursor c = m_edit->textCursor();
        const QTextBlock block = c.block();
        const QTextLayout* layout = block.layout();
        const int line = layout && layout->lineCount() > 0
                             ? layout->lineForTextPosition(c.positionInBlock()).lineNumber()
                             : 0;
        return {block.blockNumber(), std::max(line, 0)};
    }
    // Where line `at` (block number, line of its layout) is on the viewport, the full width.
    QRect lineRect(std::pair<int, int> at) const {
        const QTextBlock block = m_edit->document()->findBlockByNumber(at.first);
        if (!block.isValid())
            return {};
        const QRectF g = m_edit->blockGeometry(block); // lays the block out when it must
        const QTextLayout* layout = block.layout();
        if (!layout || at.second >= layout->lineCount())
            return {};
        const QTextLine line = layout->lineAt(at.second);
        const int top = static_cast<int>(std::floor(g.top() + line.y()));
        const int bottom = static_cast<int>(std::ceil(g.top() + line.y() + line.height()));
        return QRect(0, top, m_edit->viewport()->width(), bottom - top);
    }
    void markCaretLine() {
        const std::pair<int, int> at = m_caretLine ? caretLine() : std::pair{-1, -1};
        if (at == m_line)
            return;
        QWidget* viewport = m_edit->viewport();
        for (const std::pair<int, int>& line : {m_line, at}) {
            if (line.first < 0)
                continue;
            const QRect r = lineRect(line);
            if (r.isEmpty())
                viewport->update(); // the old line is gone: the whole page
            else
                viewport->update(r);
        }
        m_line = at;
    }
    void paintCaretLine(const QPaintEvent* event) {
        if (!m_caretLine)
            return;
        const QRect r = lineRect(caretLine()) & event->rect();
        if (r.isEmpty())
            return;
        QPainter painter(m_edit->viewport());
        painter.fillRect(r, caretLineColour);
    }

    RichEdit* m_edit;
    qreal m_pageTabStop;
    int m_zoom = 100;
    bool m_caretLine = false;
    std::pair<int, int> m_line{-1, -1};
    int m_wheel = 0;
};

void applyEverywhere() {
    if (QMdiArea* area = installed().area)
        for (QMdiSubWindow* sub : area->subWindowList())
            if (auto* doc = qobject_cast<frmDocument*>(sub->widget()))
                applyDisplay(doc->editor());
    const DisplayOptions& o = installed().options;
    for (const auto& [name, on] : {std::pair{"mnuViewColourMarkup", o.colourMarkup},
                                   std::pair{"mnuViewCaretLine", o.caretLine},
                                   std::pair{"mnuViewFixedWidthFont", o.fixedWidth}})
        if (QAction* a = item(name))
            a->setChecked(on);
}

void remember(const QString& key, double value) {
    platform::SettingsStore store;
    store.writeNumber(key, value);
    store.sync();
}

} // namespace

const DisplayOptions& displayOptions() {
    return installed().options;
}

int zoomAfter(int percent, int steps) {
    percent = std::clamp(percent, minimumZoom, maximumZoom);
    if (steps > 0) {
        // The first rung above, then the next ones.
        auto at = std::upper_bound(zoomLadder.begin(), zoomLadder.end(), percent);
        for (int i = 1; i < steps && at != zoomLadder.end(); ++i)
            ++at;
        return at == zoomLadder.end() ? maximumZoom : *at;
    }
    if (steps < 0) {
        auto at = std::lower_bound(zoomLadder.begin(), zoomLadder.end(), percent);
        for (int i = 0; i < -steps && at != zoomLadder.begin(); ++i)
            --at;
        return *at;
    }
    return percent;
}

QFont displayFont(const QFont& pageFont, const DisplayOptions& options) {
    QFont font = pageFont;
    if (options.fixedWidth) {
        font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        if (!QFontInfo(font).fixedPitch()) {
            // A platform that names no fixed-width font: the font matcher's own.
            font = QFont(QStringLiteral("monospace"));
            font.setStyleHint(QFont::TypeWriter);
            font.setFixedPitch(true);
        }
        if (pageFont.pointSizeF() > 0)
            font.setPointSizeF(pageFont.pointSizeF());
        else if (pageFont.pixelSize() > 0)
            font.setPixelSize(pageFont.pixelSize());
    }
    if (options.zoom != 100) {
        if (font.pointSizeF() > 0)
            font.setPointSizeF(font.pointSizeF() * options.zoom / 100.0);
        else if (font.pixelSize() > 0)
            font.setPixelSize(std::max(
                1, static_cast<int>(std::lround(font.pixelSize() * options.zoom / 100.0))));
    }
    return font;
}

void applyDisplay(RichEdit* edit) {
    if (!edit)
        return;
    const DisplayOptions& options = installed().options;
    ReadingAids::of(edit)->apply(options);
    SyntaxColours::showFor(edit, options.colourMarkup);
    markMatchingTags(edit);
}

void installDisplay(QMdiArea* area) {
    installed().area = area;
    const platform::SettingsStore store;
    DisplayOptions& o = installed().options;
    o.colourMarkup = store.readNumber(colourMarkupKey, 1) != 0;
    o.caretLine = store.readNumber(caretLineKey, 1) != 0;
    o.fixedWidth = store.readNumber(fixedWidthKey, 0) != 0;
    o.zoom = std::clamp(static_cast<int>(std::lround(store.readNumber(zoomKey, 100))), minimumZoom,
                        maximumZoom);
    for (const char* name : {"mnuViewColourMarkup", "mnuViewCaretLine", "mnuViewFixedWidthFont"})
        if (QAction* a = item(name))
            a->setCheckable(true);
    // Ctrl++ as well as Ctrl+=: on most keyboards "+" is Shift with "=".
    if (QAction* in = item("mnuViewZoomIn"))
        in->setShortcuts(
            {QKeySequence(Qt::CTRL | Qt::Key_Equal), QKeySequence(Qt::CTRL | Qt::Key_Plus)});
    QObject::connect(area, &QMdiArea::subWindowActivated, area, [](QMdiSubWindow* sub) {
        if (auto* doc = sub ? qobject_cast<frmDocument*>(sub->widget()) : nullptr)
            applyDisplay(doc->editor());
    });
    applyEverywhere();
}

void toggleColourMarkup() {
    DisplayOptions& o = installed().options;
    o.colourMarkup = !o.colourMarkup;
    remember(colourMarkupKey, o.colourMarkup ? 1 : 0);
    applyEverywhere();
}

void toggleCaretLine() {
    DisplayOptions& o = installed().options;
    o.caretLine = !o.caretLine;
    remember(caretLineKey, o.caretLine ? 1 : 0);
    applyEverywhere();
}

void toggleFixedWidth() {
    DisplayOptions& o = installed().options;
    o.fixedWidth = !o.fixedWidth;
    remember(fixedWidthKey, o.fixedWidth ? 1 : 0);
    applyEverywhere();
}

void zoomBy(int steps) {
    DisplayOptions& o = installed().options;
    const int zoom = steps == 0 ? 100 : zoomAfter(o.zoom, steps);
    if (zoom != o.zoom) {
        o.zoom = zoom;
        remember(zoomKey, zoom);
        applyEverywhere();
    }
    notify(QStringLiteral("Zoom %1 %").arg(o.zoom));
}

void goToMatchingTagCommand() {
    if (RichEdit* edit = activeEditor(); edit && !goToMatchingTag(edit))
        notify(QStringLiteral("No matching tag: the caret is not in a tag that has a partner"));
}

void selectElementCommand() {
    if (RichEdit* edit = activeEditor(); edit && !selectElement(edit))
        notify(QStringLiteral("No element encloses the selection"));
}

void zoomIn() {
    zoomBy(1);
}
void zoomOut() {
    zoomBy(-1);
}
void actualSize() {
    zoomBy(0);
}

} // namespace editing
