#include "editing/CaretPanel.h"

#include "document/RichEdit.h"
#include "editing/EditingCommands.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTextBlock>

namespace editing {

namespace {
constexpr int frameMs = 16;
} // namespace

CaretPanel::CaretPanel(QMdiArea* area, QWidget* parent) : QLabel(parent), m_area(area)
{
    setObjectName(QStringLiteral("sbCaretPanel"));
    setAccessibleName(QStringLiteral("Caret position"));
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Sunken);
    setContentsMargins(4, 0, 4, 0);
    setTextFormat(Qt::PlainText);
    // Wide enough for most pages, so that the status bar keeps its layout while typing.
    setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("Ln 9999, Col 99")) + 8);
    m_refresh.setSingleShot(true);
    m_refresh.setInterval(frameMs);
    connect(&m_refresh, &QTimer::timeout, this, &CaretPanel::refresh);
    connect(area, &QMdiArea::subWindowActivated, this, &CaretPanel::follow);
    follow();
}

QString CaretPanel::placeOf(const RichEdit* edit)
{
    if (!edit)
        return QString();
    // Lines of the text, not display blocks: a long line held as several blocks is one line.
    const int p = edit->textCursor().position();
    return QStringLiteral("Ln %1, Col %2").arg(edit->lineOf(p) + 1).arg(edit->columnOf(p) + 1);
}

void CaretPanel::follow()
{
    RichEdit* edit = activeEditor();
    if (edit != m_edit) {
        for (const QMetaObject::Connection& c : std::as_const(m_links))
            disconnect(c);
        m_links.clear();
        m_edit = edit;
        if (edit)
            m_links = {connect(edit, &QPlainTextEdit::cursorPositionChanged, this, &CaretPanel::caretMoved),
                       connect(edit, &QObject::destroyed, this, &CaretPanel::caretMoved)};
    }
    refresh();
}

void CaretPanel::caretMoved()
{
    if (!m_refresh.isActive())
        m_refresh.start();
}

void CaretPanel::refresh()
{
    const QString place = placeOf(m_edit);
    if (place != text())
        setText(place);
}

} // namespace editing
