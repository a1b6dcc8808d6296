#include "review/MarkupPanel.h"

#include "document/RichEdit.h"
#include "document/Workspace.h"
#include "document/frmDocument.h"
#include "platform/SettingsStore.h"
#include "review/FindingsModel.h"
#include "review/MarkupApart.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTextBlock>
#include <QThreadPool>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>

namespace review {

namespace {

const QString oldStyleKey = QStringLiteral("MarkupOldStyle");
const QString accessibilityKey = QStringLiteral("MarkupAccessibility");

QMdiSubWindow* windowOf(QWidget* w)
{
    for (QWidget* p = w; p; p = p->parentWidget())
        if (auto* sub = qobject_cast<QMdiSubWindow*>(p))
            return sub;
    return nullptr;
}

QString counted(int n, const char* noun)
{
    return QStringLiteral("%1 %2%3").arg(n).arg(QLatin1String(noun)).arg(n == 1 ? "" : "s");
}

} // namespace

std::vector<int> positionsOf(const RichEdit& edit, const std::vector<std::pair<int, int>>& places)
{
    std::vector<int> out(places.size());
    // In the order of the page, so that one walk through a long line's display blocks serves
    // all the findings on it.
    std::vector<std::size_t> order(places.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&places](std::size_t a, std::size_t b) { return places[a] < places[b]; });
    const QTextDocument* doc = edit.document();
    auto codePoints = [](const QString& text) {
        int n = 0;
        for (const QChar c : text)
            n += !c.isLowSurrogate();
        return n;
    };
    int line = -1;
    QTextBlock block;
    int before = 0; // code points of the line in the blocks before `block`
    int count = 0;  // code points in `block`
    for (const std::size_t i : order) {
        const int wanted = std::clamp(places[i].first, 1, edit.lineCount());
        if (wanted != line) {
            line = wanted;
            block = doc->findBlock(edit.lineStart(line - 1));
            before = 0;
            count = codePoints(block.text());
        }
        const int column = std::max(places[i].second, 1) - 1; // code points before the place
        while (column >= before + count && block.next().isValid() && edit.continuesLine(block.next())) {
            before += count;
            block = block.next();
            count = codePoints(block.text());
        }
        const QString text = block.text();
        out[i] = block.position() + columnToOffset(text, column - before + 1);
    }
    return out;
}

int positionOf(const RichEdit& edit, int line, int column)
{
    return positionsOf(edit, {{line, column}}).front();
}

int markLength(const RichEdit& edit, int position)
{
    const QTextBlock block = edit.document()->findBlock(position);
    const QString text = block.text();
    const int from = position - block.position();
    if (from < 0 || from >= text.size())
        return 1;
    auto until = [&](auto stop) {
        int k = from + 1;
        while (k < text.size() && !stop(text.at(k)))
            ++k;
        return k;
    };
    int end;
    const QChar first = text.at(from);
    if (first == QLatin1Char('<')) { // a tag: to its ">" (or the block's end)
        end = until([](QChar c) { return c == QLatin1Char('>') || c == QLatin1Char('<'); });
        end += end < text.size() && text.at(end) == QLatin1Char('>');
    } else if (first == QLatin1Char('&')) { // a character reference
        end = until([](QChar c) { return !c.isLetterOrNumber() && c != QLatin1Char('#'); });
        end += end < text.size() && text.at(end) == QLatin1Char(';');
    } else if (first.isLetterOrNumber()) {
        end = until([](QChar c) { return !c.isLetterOrNumber(); });
    } else {
        end = from + 1;
    }
    return end - from;
}

MarkupPanel::MarkupPanel(QMdiArea* area, QWidget* parent)
    : QDockWidget(parent), m_area(area), m_model(new FindingsModel(this))
{
    setObjectName(QStringLiteral("dockMarkup"));
    setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable |
                QDockWidget::DockWidgetFloatable);
    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(2, 2, 2, 2);
    m_oldStyle = new QCheckBox(tr("Show warnings about &old-style markup"), body);
    m_oldStyle->setObjectName(QStringLiteral("chkMarkupOldStyle"));
    m_oldStyle->setToolTip(tr("Proprietary and retired markup such as FONT, CENTER and MARQUEE, "
                              "which the page commands write on purpose"));
    const bool show = platform::SettingsStore().readNumber(oldStyleKey, 0) != 0;
    m_oldStyle->setChecked(show);
    m_model->setShowOldStyle(show);
    m_accessibility = new QComboBox(body);
    m_accessibility->setObjectName(QStringLiteral("cboMarkupAccessibility"));
    m_accessibility->addItems({tr("Off"), tr("Priority 1"), tr("Priorities 1 and 2"), tr("Priorities 1 to 3")});
    m_accessibility->setToolTip(tr("Also check what keeps the page from being read by everyone: "
                                   "missing alt text, table headers, the page's language, link text"));
    m_accessibility->setAccessibleName(tr("Accessibility checks"));
    m_accessibility->view()->setAccessibleName(tr("Accessibility check levels"));
    m_accessibility->setCurrentIndex(
        static_cast<int>(std::clamp<qint64>(platform::SettingsStore().readNumber(accessibilityKey, 0), 0, 3)));
    auto* accessLabel = new QLabel(tr("&Accessibility:"), body);
    accessLabel->setBuddy(m_accessibility);
    m_view = new QTreeView(body);
    m_view->setObjectName(QStringLiteral("lstMarkup"));
    m_view->setAccessibleName(tr("Markup findings"));
    m_view->setRootIsDecorated(false);
    m_view->setUniformRowHeights(true);
    m_view->setAllColumnsShowFocus(true);
    m_view->setModel(m_model);
    m_view->setSortingEnabled(true);
    m_view->sortByColumn(FindingsModel::SeverityColumn, Qt::AscendingOrder);
    m_view->header()->setStretchLastSection(true);
    m_view->header()->resizeSection(FindingsModel::SeverityColumn, 110);
    m_view->header()->resizeSection(FindingsModel::LineColumn, 60);
    m_view->header()->resizeSection(FindingsModel::ColumnColumn, 60);
    m_view->installEventFilter(this);
    auto* options = new QHBoxLayout;
    options->addWidget(m_oldStyle);
    options->addSpacing(12);
    options->addWidget(accessLabel);
    options->addWidget(m_accessibility);
    options->addStretch(1);
    layout->addLayout(options);
    layout->addWidget(m_view, 1);
    setWidget(body);
    setFocusProxy(m_view);

    connect(m_view, &QTreeView::activated, this, [this](const QModelIndex& i) { activate(i.row()); });
    connect(m_oldStyle, &QCheckBox::toggled, this, [this](bool on) {
        m_model->setShowOldStyle(on);
        platform::SettingsStore store;
        store.writeNumber(oldStyleKey, on ? 1 : 0);
        store.sync();
        updateTitle();
    });
    connect(m_accessibility, &QComboBox::currentIndexChanged, this, [this](int level) {
        platform::SettingsStore store;
        store.writeNumber(accessibilityKey, level);
        store.sync();
        // Fewer checks hide what is listed at once; more need the page checked again.
        m_model->setShowAccessibility(level > 0);
        updateTitle();
        if (level > m_checkedLevel && m_checkedAny && isVisible())
            recheck();
    });
    m_model->setShowAccessibility(accessibilityLevel() > 0);
    m_recheck = new QTimer(this);
    m_recheck->setSingleShot(true);
    m_recheck->setInterval(recheckDelayMs);
    connect(m_recheck, &QTimer::timeout, this, [this] {
        if (isVisible() && m_document && m_document == workspace::activeDocument())
            recheck();
    });
    if (area)
        connect(area, &QMdiArea::subWindowActivated, this, &MarkupPanel::followActivePage);
    updateTitle();
}

int MarkupPanel::accessibilityLevel() const { return m_accessibility->currentIndex(); }

void MarkupPanel::setAccessibilityLevel(int level) { m_accessibility->setCurrentIndex(std::clamp(level, 0, 3)); }

void MarkupPanel::followActivePage(QMdiSubWindow* sub)
{
    // Only a switch to another page matters (the frame also reports the logo window and
    // activation going to a dialog and back).
    auto* doc = sub ? qobject_cast<frmDocument*>(sub->widget()) : nullptr;
    if (!doc || doc == m_document || !m_checkedAny || isHidden())
        return;
    recheck();
}

MarkupPanel::~MarkupPanel() = default;

void MarkupPanel::check() { start(true); }

void MarkupPanel::recheck() { start(false); }

void MarkupPanel::start(bool focusList)
{
    QElapsedTimer clock;
    clock.start();
    if (focusList) {
        show();
        raise();
        m_view->setFocus();
    }
    m_recheck->stop();
    QObject::disconnect(m_editWatch);
    ++m_generation; // a check still running for an earlier request is ignored when it ends
    frmDocument* previous = m_document;
    m_document = workspace::activeDocument();
    if (m_document != previous) // never another page's findings for this one
        m_model->setResult({});
    m_checkedLevel = accessibilityLevel();
    m_stale = false;
    m_checkedAny = true;
    m_noPage = !m_document;
    if (!m_document) {
        m_running = false;
        m_model->setResult({});
        updateTitle();
        m_requestMs = clock.elapsed();
        emit checkFinished();
        return;
    }
    // The copy the check reads is taken in slices of a few milliseconds, so that a long page
    // never holds up the window; a change to the page while it is being copied starts the
    // copy again (a copy must be of one version of the text).
    m_copy.clear();
    m_copy.reserve(m_document->editor()->document()->characterCount());
    m_nextBlock = 0;
    m_copyRestart = false;
    m_editWatch = connect(m_document->editor(), &RichEdit::edited, this, [this] {
        if (isVisible())
            m_recheck->start();
        if (m_copying)
            m_copyRestart = true;
        else
            markStale();
    });
    m_copying = true;
    m_running = true;
    updateTitle();
    m_requestMs = clock.elapsed();
    copySlice(m_generation);
}

void MarkupPanel::copySlice(quint64 generation)
{
    if (generation != m_generation)
        return;
    QElapsedTimer clock;
    clock.start();
    if (!m_document) { // closed while being copied: nothing left to check
        m_copying = m_running = false;
        m_copy = QString();
        QObject::disconnect(m_editWatch);
        m_model->setResult({});
        updateTitle();
        emit checkFinished();
        return;
    }
    if (m_copyRestart) {
        m_copy.clear();
        m_nextBlock = 0;
        m_copyRestart = false;
    }
    // The widget's own text, one "\n" per line break: lines and columns as in the page file,
    // whatever its line breaks.
    // A long line shown as several blocks is still one line: no break where it only wraps.
    const RichEdit* edit = m_document->editor();
    const QTextDocument* text = edit->document();
    for (QTextBlock b = text->findBlockByNumber(m_nextBlock); b.isValid(); b = b.next()) {
        if (b.blockNumber() > 0 && !edit->continuesLine(b))
            m_copy += QLatin1Char('\n');
        m_copy += b.text();
        if ((b.blockNumber() & 63) == 63 && clock.nsecsElapsed() > sliceNs && b.next().isValid()) {
            m_nextBlock = b.blockNumber() + 1;
            m_requestMs = std::max(m_requestMs, clock.elapsed());
            QTimer::singleShot(0, this, [this, generation] { copySlice(generation); });
            return;
        }
    }
    m_copying = false;
    m_requestMs = std::max(m_requestMs, clock.elapsed());
    QPointer<MarkupPanel> self(this);
    QThreadPool::globalInstance()->start([self, generation, level = m_checkedLevel,
                                          text = std::move(m_copy)]() mutable {
        // In the helper process: a page the checker fails on cannot end the editor.
        CheckResult result = apart::checkMarkup(text, 0, level);
        text.clear();
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [self, generation, result = std::move(result)]() mutable {
                if (self)
                    self->deliver(generation, std::move(result));
            },
            Qt::QueuedConnection);
    });
    m_copy = QString();
}

void MarkupPanel::deliver(quint64 generation, CheckResult result)
{
    if (generation != m_generation)
        return;
    QElapsedTimer clock;
    clock.start();
    m_running = false;
    m_model->setResult(std::move(result));
    if (!m_document) // closed while the check ran
        QObject::disconnect(m_editWatch);
    if (m_model->rowCount() > 0 && !m_view->currentIndex().isValid())
        m_view->setCurrentIndex(m_model->index(0, 0));
    updateTitle();
    m_deliveryMs = clock.elapsed();
    emit checkFinished();
}

void MarkupPanel::markStale()
{
    if (m_stale)
        return;
    m_stale = true;
    updateTitle();
}

void MarkupPanel::updateTitle()
{
    QString title;
    if (!m_checkedAny) {
        title = tr("Markup");
    } else if (m_noPage) {
        title = tr("Markup: no page to check");
    } else if (m_running) {
        title = tr("Markup: checking…");
    } else {
        const CheckResult& r = m_model->result();
        title = tr("Markup: %1, %2").arg(counted(r.errors, "error"), counted(r.warnings, "warning"));
        if (m_checkedLevel > 0 && accessibilityLevel() > 0)
            title += QStringLiteral(", ") + counted(r.accessibility, "accessibility finding");
        if (const int hidden = m_model->hiddenCount(); hidden > 0)
            title += QStringLiteral(" (%1 old-style hidden)").arg(hidden);
        if (r.truncated)
            title += QStringLiteral(" ") + tr("(first %1 listed)").arg(maxFindings);
        if (!m_document)
            title += QStringLiteral(" — ") + tr("the page is closed");
        else if (m_stale)
            title += QStringLiteral(" — ") + tr("out of date: the page has changed since");
    }
    setWindowTitle(title);
}

void MarkupPanel::activate(int row)
{
    const Finding* f = m_model->findingAt(row);
    frmDocument* doc = m_document;
    if (!f || !doc)
        return;
    if (QMdiSubWindow* sub = windowOf(doc))
        m_area->setActiveSubWindow(sub);
    RichEdit* edit = doc->editor();
    // A finding about the whole page (line 0) goes to its start; a line past the end (the
    // page got shorter since the check) to the last line. Lines are the text's own, however
    // many blocks a long one is shown in.
    edit->setSelStart(edit->toCrlfPosition(positionOf(*edit, f->line, f->column)));
    edit->setFocus();
    edit->ensureCursorVisible();
}

void MarkupPanel::returnToDocument()
{
    if (frmDocument* doc = workspace::activeDocument())
        doc->editor()->setFocus();
}

bool MarkupPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_view && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        returnToDocument();
        return true;
    }
    return QDockWidget::eventFilter(watched, event);
}

} // namespace review
