#include "site/FindPanel.h"

#include "document/RichEdit.h"
#include "document/frmDocument.h"
#include "platform/FileIo.h"
#include "platform/TextCodec.h"
#include "site/ResultsTree.h"
#include "site/SiteFiles.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QPointer>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QProgressBar>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace site {

namespace {

constexpr int matchStartRole = Qt::UserRole + 1;
constexpr int matchLengthRole = Qt::UserRole + 2;

// Draws a result line with its match marked in the selection colour.
class MatchDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override
    {
        QStyledItemDelegate::paint(painter, option, index);
        const QVariant start = index.data(matchStartRole);
        if (!start.isValid())
            return;
        const QString text = index.data().toString();
        const int from = start.toInt();
        const int length = index.data(matchLengthRole).toInt();
        if (from < 0 || from >= text.size())
            return;
        const QFontMetrics metrics(option.font);
        const int margin = option.widget ? option.widget->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1 : 3;
        QRect box = option.rect.adjusted(margin, 0, 0, 0);
        box.setLeft(box.left() + metrics.horizontalAdvance(text.left(from)));
        box.setWidth(metrics.horizontalAdvance(text.mid(from, length)));
        painter->save();
        painter->fillRect(box.intersected(option.rect), option.palette.highlight());
        painter->setPen(option.palette.highlightedText().color());
        painter->drawText(box, Qt::AlignVCenter | Qt::AlignLeft, text.mid(from, length));
        painter->restore();
    }
};

// A line break of an inserted run as the editor counts it: two characters (CR LF).
QString withCrlfBreaks(const QString& text)
{
    if (!text.contains(u'\n') && !text.contains(u'\r'))
        return text;
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\r' || c == u'\n') {
            out += QLatin1String("\r\n");
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace

// What Replace All in Files would change, counted on a worker thread.
struct FindPanel::Counted {
    QStringList closed; // relative paths
    QStringList open;   // relative paths of pages open in windows
    int matches = 0;
};

FindPanel::FindPanel(PageOpener opener, std::function<QString()> root, OpenPages openPages,
                     QWidget* parent)
    : QDockWidget(QStringLiteral("Find in Files"), parent)
    , m_opener(std::move(opener))
    , m_rootOf(std::move(root))
    , m_openPages(std::move(openPages))
    , m_feed(new ResultsFeed(this))
    , m_run(new FindInFilesRun(this))
    , m_writer(new FileWriteRun(this))
    , m_text(new QLineEdit(this))
    , m_replacement(new QLineEdit(this))
    , m_patterns(new QLineEdit(QLatin1String(defaultPatterns), this))
    , m_regex(new QCheckBox(QStringLiteral("Regular e&xpression"), this))
    , m_word(new QCheckBox(QStringLiteral("&Whole word"), this))
    , m_case(new QCheckBox(QStringLiteral("Match &case"), this))
    , m_find(new QPushButton(QStringLiteral("&Find"), this))
    , m_stop(new QPushButton(QStringLiteral("Stop"), this))
    , m_replace(new QPushButton(QStringLiteral("Replace &All in Files"), this))
    , m_undo(new QPushButton(QStringLiteral("&Undo Replace in Files"), this))
    , m_progress(new QProgressBar(this))
    , m_status(new QLabel(this))
    , m_view(new QTreeWidget(this))
{
    setObjectName(QStringLiteral("dockFindInFiles"));
    m_text->setObjectName(QStringLiteral("txtFindInFiles"));
    m_replacement->setObjectName(QStringLiteral("txtReplaceInFiles"));
    m_patterns->setObjectName(QStringLiteral("txtFilePatterns"));
    m_progress->setAccessibleName(QStringLiteral("Files searched"));
    m_replace->setObjectName(QStringLiteral("cmdReplaceAllInFiles"));
    m_undo->setObjectName(QStringLiteral("cmdUndoReplaceInFiles"));
    setUpResultsTree(m_view, "treeFindResults", QStringLiteral("Matches in the site's files"),
                     {QStringLiteral("File or line"), QStringLiteral("Column"),
                      QStringLiteral("Text")});
    m_view->setItemDelegateForColumn(2, new MatchDelegate(m_view));

    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(2, 2, 2, 2);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("F&ind:"), m_text);
    form->addRow(QStringLiteral("Replace wit&h:"), m_replacement);
    form->addRow(QStringLiteral("File &patterns:"), m_patterns);
    layout->addLayout(form);
    auto* options = new QHBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*>{m_regex, m_word, m_case})
        options->addWidget(w);
    options->addStretch();
    for (QWidget* w : std::initializer_list<QWidget*>{m_find, m_stop, m_replace, m_undo})
        options->addWidget(w);
    layout->addLayout(options);
    auto* progress = new QHBoxLayout;
    progress->addWidget(m_status, 1);
    progress->addWidget(m_progress);
    layout->addLayout(progress);
    layout->addWidget(m_view, 1);
    setWidget(body);
    m_stop->setEnabled(false);
    m_undo->setEnabled(false);
    m_progress->hide();

    connect(m_find, &QPushButton::clicked, this, &FindPanel::find);
    connect(m_text, &QLineEdit::returnPressed, this, &FindPanel::find);
    connect(m_stop, &QPushButton::clicked, this, &FindPanel::stopWork);
    connect(m_writer, &FileWriteRun::progress, this, [this](int done, int total) {
        m_progress->setRange(0, total);
        m_progress->setValue(done);
    });
    connect(m_writer, &FileWriteRun::finished, this, [this](const WriteOutcome& outcome) {
        m_stop->setEnabled(false);
        m_progress->hide();
        m_find->setEnabled(true);
        m_replace->setEnabled(true);
        if (m_undoing)
            undoWritten(outcome);
        else
            replaceWritten(outcome);
    });
    connect(m_replace, &QPushButton::clicked, this, &FindPanel::replaceAll);
    connect(m_undo, &QPushButton::clicked, this, &FindPanel::undoReplace);
    // Matches arrive a file at a time; their lines are listed a slice at a time.
    connect(m_run, &FindInFilesRun::found, this, [this](const FileMatches& matches) {
        m_feed->push([this, matches] { addFile(matches); });
    });
    connect(m_run, &FindInFilesRun::progress, this, [this](int done, int total) {
        m_progress->setRange(0, total);
        m_progress->setValue(done);
    });
    connect(m_run, &FindInFilesRun::finished, this, [this](int files, int matches, bool stopped) {
        m_feed->push([this, files, matches, stopped] {
            m_stop->setEnabled(false);
            m_progress->hide();
            m_status->setText(QStringLiteral("%1 matches in %2 files%3")
                                  .arg(matches).arg(files)
                                  .arg(stopped ? QStringLiteral(" (stopped)") : QString()));
            emit searchFinished();
        });
    });
    connect(m_view, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
        openFoundLine(m_opener, m_root, item);
    });
}

// The writer's own end waits for the file it is writing and ends its thread; the files
// written so far stay written.
FindPanel::~FindPanel() { stopCounting(); }

void FindPanel::stopWork()
{
    m_stop->setEnabled(false);
    if (m_writer->isRunning()) {
        // The file being written is finished first; the outcome's summary follows.
        m_writer->stop();
        m_status->setText(QStringLiteral("Stopping after the file being written..."));
        return;
    }
    m_progress->hide();
    if (m_countStop && !m_countStop->load() && !m_replace->isEnabled()) {
        m_countStop->store(true);
        m_replace->setEnabled(true);
        m_status->setText(QStringLiteral("Replace All in Files stopped before anything was changed."));
        emit replaceFinished();
        return;
    }
    m_run->stop();
    m_status->setText(m_status->text() + QStringLiteral(" (stopped)"));
}

void FindPanel::stopCounting()
{
    if (m_countStop)
        m_countStop->store(true);
    if (m_counter.joinable())
        m_counter.join();
}

void FindPanel::focusText()
{
    m_text->setFocus();
    m_text->selectAll();
}

FindQuery FindPanel::query() const
{
    return {m_text->text(), m_regex->isChecked(), m_word->isChecked(), m_case->isChecked(),
            m_patterns->text().trimmed().isEmpty() ? QLatin1String(defaultPatterns) : m_patterns->text()};
}

void FindPanel::find()
{
    if (m_writer->isRunning())
        return; // the files are being written
    m_root = m_rootOf ? m_rootOf() : QString();
    m_feed->clear();
    m_view->clear();
    m_shownLines = 0;
    if (m_root.isEmpty()) {
        m_status->setText(QStringLiteral("Open a page of the site, or choose its folder with File > Open Folder, first."));
        return;
    }
    QString reason;
    if (!m_run->start(m_root, query(), &reason)) {
        m_status->setText(reason);
        return;
    }
    m_status->setText(QStringLiteral("Searching %1...").arg(QDir::toNativeSeparators(m_root)));
    m_progress->setRange(0, 0);
    m_progress->show();
    m_stop->setEnabled(true);
}

void FindPanel::addFile(const FileMatches& matches)
{
    auto* file = new QTreeWidgetItem(m_view, {matches.path, QString(),
                                              matches.matches.size() == 1 ? QStringLiteral("1 match")
                                                                         : QStringLiteral("%1 matches").arg(matches.matches.size())});
    file->setData(0, Qt::UserRole, matches.path);
    widenFirstColumn(m_view, matches.path);
    for (const Match& m : matches.matches) {
        // Leading white space is left out of the shown line; the match's place moves with it.
        qsizetype lead = 0;
        while (lead < m.lineText.size() && m.lineText[lead].isSpace() && lead < m.column - 1)
            ++lead;
        auto* item = new QTreeWidgetItem(file, {QStringLiteral("Line %1").arg(m.line),
                                                QString::number(m.column), m.lineText.mid(lead)});
        item->setData(2, matchStartRole, int(m.column - 1 - lead));
        item->setData(2, matchLengthRole, int(m.length));
        item->setData(0, Qt::UserRole, matches.path);
        item->setData(1, Qt::UserRole, m.line);
        item->setData(2, Qt::UserRole, m.column);
    }
    openIfFew(file, &m_shownLines);
}

frmDocument* FindPanel::openPage(const QString& canonicalPath) const
{
    if (m_openPages)
        for (frmDocument* doc : m_openPages())
            if (const QFileInfo info(doc->windowTitle()); info.exists() && info.canonicalFilePath() == canonicalPath)
                return doc;
    return nullptr;
}

void FindPanel::replaceAll()
{
    if (m_writer->isRunning())
        return; // one replacement, or its undoing, at a time
    m_root = m_rootOf ? m_rootOf() : QString();
    const FindQuery q = query();
    if (m_root.isEmpty() || !q.expression().isValid()) {
        m_status->setText(m_root.isEmpty() ? QStringLiteral("There is no site folder to replace in.")
                                           : QStringLiteral("There is nothing valid to find."));
        emit replaceFinished();
        return;
    }
    m_run->stop();
    stopCounting();
    // Open pages are counted from their windows' text, which may hold changes not saved yet;
    // the texts are copied here, the counting is done on a worker thread.
    QHash<QString, QString> openTexts; // canonical path -> text
    if (m_openPages)
        for (frmDocument* doc : m_openPages())
            if (const QFileInfo info(doc->windowTitle()); info.exists())
                openTexts.insert(info.canonicalFilePath(), doc->editor()->text());
    m_status->setText(QStringLiteral("Counting the matches..."));
    m_replace->setEnabled(false);
    m_progress->setRange(0, 0);
    m_progress->show();
    m_stop->setEnabled(true);
    auto flag = std::make_shared<std::atomic_bool>(false);
    m_countStop = flag;
    QPointer<FindPanel> self(this);
    const QString root = m_root;
    const QString with = m_replacement->text();
    m_counter = std::thread([self, flag, root, q, with, openTexts] {
        const QDir base(root);
        const FilePatterns patterns(q.patterns);
        Counted counted;
        for (const QString& f : siteFiles(root)) {
            if (flag->load())
                return;
            if (!patterns.matches(f))
                continue;
            const QString canonical = QFileInfo(base.filePath(f)).canonicalFilePath();
            const auto open = openTexts.constFind(canonical);
            QString text;
            if (open != openTexts.cend()) {
                text = *open;
            } else {
                QByteArray bytes;
                QString why;
                if (!platform::files::readFile(base.filePath(f), &bytes, &why))
                    continue;
                text = platform::text::decode(bytes).text;
            }
            const int n = int(replacementsIn(text, q, with).size());
            if (n == 0)
                continue;
            (open != openTexts.cend() ? counted.open : counted.closed) << f;
            counted.matches += n;
        }
        QMetaObject::invokeMethod(self.data(), [self, flag, counted] {
            // The thread ends on its own; the next count or the panel's end joins it.
            if (!self || self->m_countStop != flag)
                return;
            self->confirmAndReplace(counted);
        }, Qt::QueuedConnection);
    });
}

void FindPanel::confirmAndReplace(const Counted& counted)
{
    m_replace->setEnabled(true);
    m_stop->setEnabled(false);
    m_progress->hide();
    const FindQuery q = query();
    const QString with = m_replacement->text();
    const QStringList& files = counted.closed;
    const QStringList& open = counted.open;
    if (files.isEmpty() && open.isEmpty()) {
        m_status->setText(QStringLiteral("No matches to replace."));
        emit replaceFinished();
        return;
    }
    QString question = QStringLiteral("Replace %1 matches in %2 files?").arg(counted.matches).arg(files.size() + open.size());
    if (!open.isEmpty())
        question += QStringLiteral("\n\nThese pages are open: they change in their windows, where Undo takes "
                                   "the change back:\n") + open.join(u'\n');
    if (QMessageBox::question(this, QStringLiteral("Replace All in Files"), question) != QMessageBox::Yes) {
        m_status->clear();
        emit replaceFinished();
        return;
    }
    const QDir base(m_root);
    m_edits.clear();
    m_undo->setEnabled(false);
    // An open page changes in its window, as one undo step, by the rules a closed file follows.
    m_replacedOpen = 0;
    m_openFailures.clear();
    for (const QString& f : open) {
        frmDocument* doc = openPage(QFileInfo(base.filePath(f)).canonicalFilePath());
        if (!doc) {
            m_openFailures << QStringLiteral("%1: Its window was closed before the replacement.").arg(f);
            continue;
        }
        SpliceSet set;
        for (const Replacement& r : replacementsIn(doc->editor()->text(), q, with)) {
            const QString text = withCrlfBreaks(r.text);
            set.splices.push_back({int(r.start), int(r.length), int(text.size())});
            set.text += text;
        }
        if (!set.empty()) {
            doc->applySplices(set);
            ++m_replacedOpen;
        }
    }
    // Closed files are read, replaced in and written on the writer's thread.
    m_undoing = false;
    writingStarted(QStringLiteral("Replacing in %1 files...").arg(files.size()), int(files.size()));
    m_writer->replace(m_root, files, q, with);
}

void FindPanel::writingStarted(const QString& status, int files)
{
    m_run->stop();
    m_status->setText(status);
    m_progress->setRange(0, files);
    m_progress->setValue(0);
    m_progress->show();
    m_stop->setEnabled(true);
    m_find->setEnabled(false);
    m_replace->setEnabled(false);
    m_undo->setEnabled(false);
}

void FindPanel::replaceWritten(const WriteOutcome& outcome)
{
    m_edits = outcome.edits;
    m_undo->setEnabled(!m_edits.isEmpty());
    const int changed = int(m_edits.size()) + m_replacedOpen;
    m_status->setText(outcome.stopped
                          ? QStringLiteral("Stopped: replaced in %1 files; %2 files were not reached.")
                                .arg(changed).arg(outcome.total - outcome.done)
                          : QStringLiteral("Replaced in %1 files.").arg(changed));
    const QStringList failures = m_openFailures + outcome.failures;
    if (!failures.isEmpty())
        QMessageBox::warning(this, QStringLiteral("Replace All in Files"),
                             QStringLiteral("These files were not changed:\n") + failures.join(u'\n'));
    emit replaceFinished();
}

void FindPanel::undoReplace()
{
    if (m_writer->isRunning() || m_edits.isEmpty())
        return;
    m_undoing = true;
    writingStarted(QStringLiteral("Undoing the replacement in %1 files...").arg(m_edits.size()),
                   int(m_edits.size()));
    m_writer->undo(m_edits);
}

void FindPanel::undoWritten(const WriteOutcome& outcome)
{
    // What was not restored (not reached before Stop, or not written) can be undone again.
    m_edits = outcome.edits;
    m_undo->setEnabled(!m_edits.isEmpty());
    const int restored = outcome.done - int(outcome.refused.size()) - int(outcome.failures.size());
    m_status->setText(outcome.stopped ? QStringLiteral("Stopped: %1 files restored; %2 files were not reached.")
                                            .arg(restored).arg(outcome.total - outcome.done)
                                      : QStringLiteral("Replacement undone."));
    if (!outcome.refused.isEmpty() || !outcome.failures.isEmpty())
        QMessageBox::warning(this, QStringLiteral("Undo Replace in Files"),
                             (outcome.refused.isEmpty() ? QString()
                                                        : QStringLiteral("These files changed since and were left as they are:\n")
                                                              + outcome.refused.join(u'\n') + u'\n')
                                 + outcome.failures.join(u'\n'));
    emit undoFinished();
}

} // namespace site
