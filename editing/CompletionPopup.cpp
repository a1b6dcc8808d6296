#include "editing/CompletionPopup.h"

#include "document/RichEdit.h"
#include "document/frmDocument.h"
#include "editing/MatchingTags.h"
#include "editing/SyntaxColours.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QUrl>
#include <algorithm>
#include <iterator>

namespace editing {

CompletionPopup::CompletionPopup(RichEdit* edit) : m_edit(edit) {
    // An edit in block b changes what the states before b and on depend on (block b - 1 is
    // lexed looking on into b when a long line goes on there).
    m_changes = QObject::connect(edit->document(), &QTextDocument::contentsChange, edit,
                                 [this](int position, int, int) {
                                     const int b =
                                         m_edit->document()->findBlock(position).blockNumber();
                                     if (int(m_states.size()) > std::max(b, 0))
                                         m_states.resize(std::max(b, 0));
                                 });
}

CompletionPopup::~CompletionPopup() {
    QObject::disconnect(m_changes);
}

markup::State CompletionPopup::stateBefore(int i) {
    if (i <= 0)
        return markup::startState;
    const BlockPage page(m_edit);
    if (SyntaxColours::of(m_edit))
        return page.stateBefore(i);
    if (m_states.empty())
        m_states.push_back(markup::startState);
    if (int(m_states.size()) > i)
        return m_states[i];
    std::vector<markup::Span> spans;
    int n = int(m_states.size()) - 1;
    for (QTextBlock b = m_edit->document()->findBlockByNumber(n); n < i && b.isValid();
         ++n, b = b.next()) {
        spans.clear();
        m_states.push_back(
            markup::lex(b.text(), m_states.back(), page.pieceEndsLine(n), spans, b.next().text()));
    }
    return m_states.back();
}

bool CompletionPopup::isOpen() const {
    return m_list && m_list->isVisible();
}

CompletionContext CompletionPopup::contextHere() {
    const QTextCursor c = m_edit->textCursor();
    if (c.hasSelection())
        return {};
    const QTextBlock block = c.block();
    return completionContext(block.text(), c.positionInBlock(), stateBefore(block.blockNumber()));
}

namespace {

// The folder of the page's file; empty for a page that has none.
QString pageFolder(const RichEdit* edit) {
    for (const QWidget* w = edit; w; w = w->parentWidget())
        if (auto* doc = qobject_cast<const frmDocument*>(w)) {
            const QFileInfo file(doc->windowTitle());
            return file.isAbsolute() ? file.absolutePath() : QString();
        }
    return {};
}

// The classes of a linked style sheet, read once and again only when the file changes.
QStringList sheetClasses(const QString& path) {
    struct Sheet {
        QDateTime modified;
        qint64 size = -1;
        QStringList classes;
    };
    static QHash<QString, Sheet> cache;
    const QFileInfo info(path);
    if (!info.isFile())
        return {};
    Sheet& sheet = cache[info.absoluteFilePath()];
    if (sheet.modified != info.lastModified() || sheet.size != info.size()) {
        QFile file(path);
        sheet.modified = info.lastModified();
        sheet.size = info.size();
        sheet.classes = file.open(QIODevice::ReadOnly)
                            ? classNames(QString::fromUtf8(file.readAll()))
                            : QStringList();
    }
    return sheet.classes;
}

PageNames namesFor(const RichEdit* edit, CompletionKind kind) {
    PageNames names;
    if (kind != CompletionKind::ClassName && kind != CompletionKind::Id &&
        kind != CompletionKind::Path)
        return names;
    names.folder = pageFolder(edit);
    if (kind == CompletionKind::Path)
        return names;
    const QString text = edit->toPlainText();
    if (kind == CompletionKind::Id) {
        names.ids = idsOf(text);
        return names;
    }
    // Each list comes sorted and without repeats: merged, not sorted again.
    QStringList classes = classNames(pageStyle(text));
    if (!names.folder.isEmpty())
        for (const QString& href : styleSheetsOf(text)) {
            if (href.contains(QLatin1String("://")) || href.startsWith(QLatin1String("//")))
                continue; // only the sheets of the page's own folders
            const QString local = QUrl::fromPercentEncoding(href.section(u'?', 0, 0).toUtf8());
            const QStringList sheet = sheetClasses(QDir(names.folder).filePath(local));
            if (classes.isEmpty()) {
                classes = sheet;
                continue;
            }
            QStringList merged;
            merged.reserve(classes.size() + sheet.size());
            std::set_union(classes.cbegin(), classes.cend(), sheet.cbegin(), sheet.cend(),
                           std::back_inserter(merged));
            classes = std::move(merged);
        }
    names.classes = std::move(classes);
    return names;
}

} // namespace

void CompletionPopup::open(bool forced) {
    (void)forced;
    m_context = contextHere();
    const std::vector<Suggestion> names = suggestions(m_context, namesFor(m_edit, m_context.kind));
    if (names.empty()) {
        close();
        return;
    }
    if (!m_list) {
        m_list = new QListWidget(m_edit->viewport());
        m_list->setObjectName(QStringLiteral("lstCompletion"));
        m_list->setAccessibleName(QStringLiteral("Suggestions"));
        m_list->setFocusPolicy(Qt::NoFocus);
        m_list->setUniformItemSizes(true);
        m_list->setFont(m_edit->font());
        QObject::connect(m_list, &QListWidget::itemClicked, m_list, [this] { accept(); });
    }
    // All rows in one insertion: thousands of class names or references added one by one
    // would each lay out the list again.
    QStringList labels;
    labels.reserve(qsizetype(names.size()));
    m_texts.clear();
    m_texts.reserve(names.size());
    for (const Suggestion& s : names) {
        labels << s.label;
        m_texts.push_back(s.text);
    }
    m_list->setUpdatesEnabled(false);
    m_list->clear();
    m_list->addItems(labels);
    m_list->setCurrentRow(0);
    m_list->setUpdatesEnabled(true);
    m_block = m_edit->textCursor().blockNumber();
    const QRect caret = m_edit->cursorRect();
    const int rows = std::min<int>(int(names.size()), 10);
    const int h = m_list->sizeHintForRow(0) * rows + 2 * m_list->frameWidth();
    // As wide as the longest of the first names (the width is bounded anyway).
    const QFontMetrics metrics(m_list->font());
    int widest = 0;
    for (qsizetype i = 0; i < std::min<qsizetype>(labels.size(), 200); ++i)
        widest = std::max(widest, metrics.horizontalAdvance(labels[i]));
    const int w = std::max(160, std::min(widest + 40, 420));
    QPoint at = caret.bottomLeft();
    if (at.y() + h > m_edit->viewport()->height() && caret.top() - h >= 0)
        at.setY(caret.top() - h);
    m_list->setGeometry(QRect(at, QSize(w, h)));
    m_list->show();
    m_list->raise();
}

void CompletionPopup::typed(QChar c, bool suggestAsYouType) {
    if (isOpen()) {
        open(false);
        return;
    }
    if (!suggestAsYouType)
        return;
    if (c == u'<' || c == u'&' || c == u' ' || c == u'"' || c == u'\'' || c == u'#' || c == u'/')
        open(false);
}

void CompletionPopup::refresh() {
    if (isOpen())
        open(false);
}

bool CompletionPopup::handleKey(QKeyEvent* key) {
    if (!isOpen())
        return false;
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    const int count = m_list->count();
    const int row = m_list->currentRow();
    const int page = std::max(1, m_list->height() / std::max(1, m_list->sizeHintForRow(0)) - 1);
    switch (key->key()) {
    case Qt::Key_Up:
        m_list->setCurrentRow(std::max(0, row - 1));
        return true;
    case Qt::Key_Down:
        m_list->setCurrentRow(std::min(count - 1, row + 1));
        return true;
    case Qt::Key_PageUp:
        m_list->setCurrentRow(std::max(0, row - page));
        return true;
    case Qt::Key_PageDown:
        m_list->setCurrentRow(std::min(count - 1, row + page));
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Tab:
        accept();
        return true;
    case Qt::Key_Escape:
        close();
        return true;
    default:
        return false;
    }
}

void CompletionPopup::accept() {
    const int row = m_list ? m_list->currentRow() : -1;
    const CompletionContext context = contextHere();
    close();
    if (row < 0 || row >= int(m_texts.size()) || context.kind != m_context.kind)
        return;
    QTextCursor c = m_edit->textCursor();
    const int blockStart = c.block().position();
    c.setPosition(blockStart + context.start);
    c.setPosition(blockStart + context.start + int(context.prefix.size()), QTextCursor::KeepAnchor);
    m_edit->setTextCursor(c);
    m_edit->setSelText(m_texts[row]);
}

void CompletionPopup::close() {
    if (m_list)
        m_list->hide();
}

} // namespace editing
