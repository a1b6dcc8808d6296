#include "editing/CompletionPopup.h"

#include "document/RichEdit.h"
#include "document/frmDocument.h"
#include "editing/MatchingTags.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QUrl>
#include <set>

namespace editing {

CompletionPopup::CompletionPopup(RichEdit* edit) : m_edit(edit) {}

CompletionPopup::~CompletionPopup() = default;

bool CompletionPopup::isOpen() const {
    return m_list && m_list->isVisible();
}

CompletionContext CompletionPopup::contextHere() const {
    const QTextCursor c = m_edit->textCursor();
    if (c.hasSelection())
        return {};
    const QTextBlock block = c.block();
    const BlockPage page(m_edit);
    return completionContext(block.text(), c.positionInBlock(),
                             page.stateBefore(block.blockNumber()));
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
    std::set<QString> classes;
    for (const QString& c : classNames(pageStyle(text)))
        classes.insert(c);
    if (!names.folder.isEmpty())
        for (const QString& href : styleSheetsOf(text)) {
            if (href.contains(QLatin1String("://")) || href.startsWith(QLatin1String("//")))
                continue; // only the sheets of the page's own folders
            const QString local = QUrl::fromPercentEncoding(href.section(u'?', 0, 0).toUtf8());
            for (const QString& c : sheetClasses(QDir(names.folder).filePath(local)))
                classes.insert(c);
        }
    names.classes = QStringList(classes.begin(), classes.end());
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
    m_list->setUpdatesEnabled(false);
    m_list->clear();
    for (const Suggestion& s : names) {
        auto* item = new QListWidgetItem(s.label, m_list);
        item->setData(Qt::UserRole, s.text);
    }
    m_list->setCurrentRow(0);
    m_list->setUpdatesEnabled(true);
    m_block = m_edit->textCursor().blockNumber();
    const QRect caret = m_edit->cursorRect();
    const int rows = std::min<int>(int(names.size()), 10);
    const int h = m_list->sizeHintForRow(0) * rows + 2 * m_list->frameWidth();
    const int w = std::max(160, std::min(m_list->sizeHintForColumn(0) + 40, 420));
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
    QListWidgetItem* item = m_list ? m_list->currentItem() : nullptr;
    const CompletionContext context = contextHere();
    close();
    if (!item || context.kind != m_context.kind)
        return;
    QTextCursor c = m_edit->textCursor();
    const int blockStart = c.block().position();
    c.setPosition(blockStart + context.start);
    c.setPosition(blockStart + context.start + int(context.prefix.size()), QTextCursor::KeepAnchor);
    m_edit->setTextCursor(c);
    m_edit->setSelText(item->data(Qt::UserRole).toString());
}

void CompletionPopup::close() {
    if (m_list)
        m_list->hide();
}

} // namespace editing
