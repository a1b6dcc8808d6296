#include "site/SiteDocks.h"

#include "document/RichEdit.h"
#include "document/frmDocument.h"
#include "site/ResultsTree.h"

#include <QDir>
#include <QFileIconProvider>
#include <QFileSystemModel>
#include <QPainter>
#include <QPainterPath>
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

void openFoundLine(const PageOpener& opener, const QString& root, const QTreeWidgetItem* item)
{
    const QString path = item->data(0, Qt::UserRole).toString();
    if (path.isEmpty() || !opener)
        return;
    if (frmDocument* doc = opener(QDir(root).filePath(path)))
        goToLine(*doc, item->data(1, Qt::UserRole).toInt(), item->data(2, Qt::UserRole).toInt());
}

namespace {

enum class Kind { Page, StyleSheet, Script, Image, Other };

Kind kindOf(const QFileInfo& info)
{
    const QString suffix = info.suffix().toLower();
    if (suffix == u"htm" || suffix == u"html" || suffix == u"xhtml" || suffix == u"shtml")
        return Kind::Page;
    if (suffix == u"css")
        return Kind::StyleSheet;
    if (suffix == u"js" || suffix == u"mjs" || suffix == u"vbs")
        return Kind::Script;
    for (const char* image : {"png", "gif", "jpg", "jpeg", "svg", "webp", "bmp", "ico", "avif"})
        if (suffix == QLatin1String(image))
            return Kind::Image;
    return Kind::Other;
}

// A sheet of paper with a folded corner, a band of the kind's colour and its short name:
// drawn, not read from a picture file, so the panel decodes no image to show it.
QPixmap drawnIcon(const QColor& colour, const QString& label, int size, qreal ratio)
{
    QPixmap pixmap(QSize(size, size) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    const qreal fold = s * 0.28;
    QPainterPath sheet;
    sheet.moveTo(s * 0.16, s * 0.06);
    sheet.lineTo(s * 0.84 - fold, s * 0.06);
    sheet.lineTo(s * 0.84, s * 0.06 + fold);
    sheet.lineTo(s * 0.84, s * 0.94);
    sheet.lineTo(s * 0.16, s * 0.94);
    sheet.closeSubpath();
    p.setPen(QPen(QColor(90, 90, 90), std::max(1.0, s / 16)));
    p.setBrush(Qt::white);
    p.drawPath(sheet);
    p.drawLine(QPointF(s * 0.84 - fold, s * 0.06), QPointF(s * 0.84 - fold, s * 0.06 + fold));
    p.drawLine(QPointF(s * 0.84 - fold, s * 0.06 + fold), QPointF(s * 0.84, s * 0.06 + fold));
    const QRectF band(s * 0.04, s * 0.48, s * 0.92, s * 0.36);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawRoundedRect(band, s / 12, s / 12);
    QFont font;
    font.setBold(true);
    font.setPixelSize(std::max(5, int(s * (label.size() > 3 ? 0.26 : 0.3))));
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(band, Qt::AlignCenter, label);
    return pixmap;
}

QIcon ownIcon(Kind kind)
{
    struct Look {
        QColor colour;
        const char* label;
    };
    const Look look = kind == Kind::Page         ? Look{QColor(200, 30, 30), "HTML"}
                      : kind == Kind::StyleSheet ? Look{QColor(30, 90, 200), "CSS"}
                      : kind == Kind::Script     ? Look{QColor(200, 150, 0), "JS"}
                                                 : Look{QColor(30, 140, 60), "IMG"};
    QIcon icon;
    for (int size : {16, 22, 32})
        for (qreal ratio : {1.0, 2.0})
            icon.addPixmap(drawnIcon(look.colour, QLatin1String(look.label), size, ratio));
    return icon;
}

// The site's pages, style sheets, scripts and pictures with icons of their own: the icon
// theme's where it has them for all four, else drawn ones. Made when the panel is.
class SiteIconProvider : public QFileIconProvider {
public:
    SiteIconProvider()
    {
        const char* names[] = {"text-html", "text-css", "text-javascript", "image-x-generic"};
        bool themed = true;
        for (const char* n : names)
            themed = themed && QIcon::hasThemeIcon(QLatin1String(n));
        for (int k = 0; k < 4; ++k)
            m_icons[k] = themed ? QIcon::fromTheme(QLatin1String(names[k])) : ownIcon(Kind(k));
    }
    QIcon icon(const QFileInfo& info) const override
    {
        const Kind kind = info.isDir() ? Kind::Other : kindOf(info);
        return kind == Kind::Other ? QFileIconProvider::icon(info) : m_icons[int(kind)];
    }
    using QFileIconProvider::icon;

private:
    QIcon m_icons[4];
};

} // namespace

SitePanel::SitePanel(PageOpener opener, QWidget* parent)
    : QDockWidget(QStringLiteral("Site"), parent)
    , m_opener(std::move(opener))
    , m_model(new QFileSystemModel(this))
    , m_view(new QTreeView(this))
{
    setObjectName(QStringLiteral("dockSite"));
    m_model->setFilter(QDir::AllDirs | QDir::Files | QDir::NoDotAndDotDot); // no QDir::Hidden
    m_model->setReadOnly(true);
    m_icons = std::make_unique<SiteIconProvider>();
    m_model->setIconProvider(m_icons.get());
    m_view->setObjectName(QStringLiteral("treeSite"));
    m_view->setAccessibleName(QStringLiteral("Files of the site"));
    m_view->setHeaderHidden(true);
    setWidget(m_view);
    connect(m_view, &QTreeView::activated, this, [this](const QModelIndex& index) {
        if (!m_model->isDir(index) && m_opener)
            m_opener(m_model->filePath(index));
    });
}

// The model goes first: its file information thread asks the icon provider for icons.
SitePanel::~SitePanel()
{
    m_view->setModel(nullptr);
    delete m_model;
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
        openFoundLine(m_opener, m_root, item);
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
