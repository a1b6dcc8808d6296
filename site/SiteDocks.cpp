#include "site/SiteDocks.h"

#include "document/RichEdit.h"
#include "document/frmDocument.h"
#include "site/ResultsTree.h"

#include <QDir>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTextBlock>
#include <QTreeView>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace site {

void goToLine(frmDocument& doc, int line, int column)
{
    RichEdit* edit = doc.editor();
    QTextDocument* text = edit->document();
    const QTextBlock block = text->findBlockByNumber(std::clamp(line - 1, 0, text->blockCount() - 1));
    const int pos = block.position() + std::clamp(column - 1, 0, std::max(0, block.length() - 1));
    edit->setSelStart(edit->toCrlfPosition(pos));
    edit->setFocus();
    edit->ensureCursorVisible();
}

SitePanel::SitePanel(PageOpener opener, QWidget* parent)
    : QDockWidget(QStringLiteral("Site"), parent)
    , m_opener(std::move(opener))
    , m_model(new QFileSystemModel(this))
    , m_view(new QTreeView(this))
{
    setObjectName(QStringLiteral("dockSite"));
    m_model->setFilter(QDir::AllDirs | QDir::Files | QDir::NoDotAndDotDot); // no QDir::Hidden
    m_model->setReadOnly(true);
    m_view->setObjectName(QStringLiteral("treeSite"));
    m_view->setAccessibleName(QStringLiteral("Files of the site"));
    m_view->setHeaderHidden(true);
    setWidget(m_view);
    connect(m_view, &QTreeView::activated, this, [this](const QModelIndex& index) {
        if (!m_model->isDir(index) && m_opener)
            m_opener(m_model->filePath(index));
    });
}

void SitePanel::setRoot(const QString& root)
{
    if (root.isEmpty() || root == m_root)
        return;
    m_root = root;
    setWindowTitle(QStringLiteral("Site - %1").arg(QDir::toNativeSeparators(root)));
    if (!m_view->model()) {
        m_view->setModel(m_model);
        for (int c = 1; c < m_model->columnCount(); ++c)
            m_view->hideColumn(c);
    }
    m_view->setRootIndex(m_model->setRootPath(root));
}

SiteCheckPanel::SiteCheckPanel(PageOpener opener, QWidget* parent)
    : QDockWidget(QStringLiteral("Site Check"), parent)
    , m_opener(std::move(opener))
    , m_summary(new QLabel(this))
    , m_progress(new QProgressBar(this))
    , m_stop(new QPushButton(QStringLiteral("Stop"), this))
    , m_view(new QTreeWidget(this))
    , m_feed(new ResultsFeed(this))
{
    setObjectName(QStringLiteral("dockSiteCheck"));
    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(2, 2, 2, 2);
    m_summary->setObjectName(QStringLiteral("lblSiteSummary"));
    m_progress->setAccessibleName(QStringLiteral("Pages checked"));
    m_stop->setObjectName(QStringLiteral("cmdSiteStop"));
    setUpResultsTree(m_view, "treeSiteFindings", QStringLiteral("Findings of the site check"),
                     {QStringLiteral("Page or line"), QStringLiteral("Column"),
                      QStringLiteral("Finding")});
    auto* row = new QHBoxLayout;
    row->addWidget(m_summary, 1);
    row->addWidget(m_progress);
    row->addWidget(m_stop);
    layout->addLayout(row);
    layout->addWidget(m_view);
    setWidget(body);
    m_progress->hide();
    m_stop->hide();
    connect(m_stop, &QPushButton::clicked, this, &SiteCheckPanel::stop);
    connect(m_view, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
        const QString path = item->data(0, Qt::UserRole).toString();
        if (path.isEmpty() || !m_opener)
            return;
        if (frmDocument* doc = m_opener(QDir(m_root).filePath(path)))
            goToLine(*doc, item->data(1, Qt::UserRole).toInt(), item->data(2, Qt::UserRole).toInt());
    });
}

SiteCheckPanel::~SiteCheckPanel() { stop(); }

void SiteCheckPanel::stop()
{
    if (m_stopFlag)
        m_stopFlag->store(true);
    if (m_thread.joinable())
        m_thread.join();
    m_running = false;
    m_feed->clear();
    m_progress->hide();
    m_stop->hide();
}

QString SiteCheckPanel::summary() const { return m_summary->text(); }

void SiteCheckPanel::check(const QString& root, int accessibility)
{
    stop();
    m_root = root;
    m_view->clear();
    m_summary->setText(QStringLiteral("Checking %1...").arg(QDir::toNativeSeparators(root)));
    m_progress->setRange(0, 0);
    m_progress->show();
    m_stop->show();
    QDockWidget::show();
    raise();
    m_running = true;
    auto flag = std::make_shared<std::atomic_bool>(false);
    m_stopFlag = flag;
    QPointer<SiteCheckPanel> self(this);
    m_thread = std::thread([self, flag, root, accessibility] {
        // One progress notice in flight at a time: the workers never queue up more than the
        // interface takes in.
        auto pending = std::make_shared<std::atomic_bool>(false);
        auto progress = [self, flag, pending](int done, int total) {
            if (pending->exchange(true) && done < total)
                return;
            QMetaObject::invokeMethod(self.data(), [self, flag, pending, done, total] {
                pending->store(false);
                if (self && !flag->load() && self->m_stopFlag == flag) {
                    self->m_progress->setRange(0, total);
                    self->m_progress->setValue(done);
                }
            }, Qt::QueuedConnection);
        };
        CheckOptions options;
        options.accessibility = accessibility;
        SiteReport report = checkSite(root, options, progress, flag.get());
        QMetaObject::invokeMethod(self.data(), [self, flag, report = std::move(report)] {
            // The thread ends on its own; the next check or the panel's end joins it.
            if (!self || self->m_stopFlag != flag)
                return;
            self->m_running = false;
            self->m_progress->hide();
            self->m_stop->hide();
            self->show(report);
        }, Qt::QueuedConnection);
    });
}

void SiteCheckPanel::show(const SiteReport& report)
{
    m_report = report;
    m_summary->setText(summaryText(report) + (report.stopped ? QStringLiteral(" (stopped)") : QString()));
    // A page's lines go in a hundred at a time, each page under its own entry.
    constexpr qsizetype batch = 100;
    qsizetype shown = 0; // lines in opened entries
    for (const FileReport& f : m_report.files) {
        struct Line {
            int line, column;
            QString message;
        };
        QList<Line> lines;
        for (const BrokenLink& b : f.brokenLinks)
            lines.append({b.reference.line, b.reference.column, b.message});
        for (const review::Finding& m : f.markup.findings)
            if (!m.oldStyle)
                lines.append({m.line, m.column, m.message});
        const qsizetype count = lines.size() + (f.readError.isEmpty() ? 0 : 1);
        const bool open = shown + count <= openedLines;
        shown += open ? count : 0;
        auto page = std::make_shared<QTreeWidgetItem*>(nullptr);
        m_feed->push([this, page, open, path = f.path, readError = f.readError] {
            *page = new QTreeWidgetItem(m_view, {path});
            (*page)->setData(0, Qt::UserRole, path);
            widenFirstColumn(m_view, path);
            if (!readError.isEmpty())
                new QTreeWidgetItem(*page, {QString(), QString(), readError});
            (*page)->setExpanded(open);
        });
        for (qsizetype from = 0; from < lines.size(); from += batch)
            m_feed->push([page, path = f.path, part = lines.mid(from, batch)] {
                for (const Line& l : part) {
                    auto* item = new QTreeWidgetItem(*page, {QStringLiteral("Line %1").arg(l.line),
                                                             QString::number(l.column), l.message});
                    item->setData(0, Qt::UserRole, path);
                    item->setData(1, Qt::UserRole, l.line);
                    item->setData(2, Qt::UserRole, l.column);
                }
            });
    }
    m_feed->push([this, open = shown + m_report.orphans.size() <= openedLines] {
        if (!m_report.orphans.isEmpty()) {
            auto* group = new QTreeWidgetItem(m_view, {QStringLiteral("Pages no other page links to")});
            widenFirstColumn(m_view, group->text(0));
            for (const QString& o : m_report.orphans) {
                auto* item = new QTreeWidgetItem(group, {o});
                item->setData(0, Qt::UserRole, o);
            }
            group->setExpanded(open);
        }
        emit checkFinished();
    });
}

} // namespace site
