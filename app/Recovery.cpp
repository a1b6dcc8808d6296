#include "app/Recovery.h"

#include "app/FileCommands.h"
#include "app/frmMain.h"
#include "document/RichEdit.h"
#include "document/frmDocument.h"
#include "platform/Prompts.h"
#include "platform/RtfCodec.h"
#include "platform/RtfWhole.h"

#include <QDir>
#include <QFileInfo>
#include <QMainWindow>
#include <QMessageBox>
#include <QStatusBar>
#include <QTextCursor>
#include <QTimer>
#include <cstdio>
#include <utility>

namespace recovery {

namespace {

using platform::text::Encoding;
using platform::text::PageEncoding;

// "UTF-8 with BOM, LF": the codec's names; line ends other than CR LF follow the encoding's.
QString nameOf(PageEncoding encoding)
{
    QString name = platform::text::encodingName(encoding.encoding);
    if (encoding.bom)
        name += QLatin1String(" with BOM");
    if (encoding.lineEnd != platform::text::LineEnd::CrLf)
        name += QLatin1String(", ") + platform::text::lineEndName(encoding.lineEnd);
    return name;
}

PageEncoding encodingNamed(const QString& name)
{
    using platform::text::LineEnd;
    for (const Encoding e : {Encoding::Utf8, Encoding::Utf16LE, Encoding::Utf16BE, Encoding::Windows1252})
        for (const bool bom : {false, true})
            for (const LineEnd lineEnd : {LineEnd::CrLf, LineEnd::Lf, LineEnd::Cr})
                if (const PageEncoding candidate{e, bom, lineEnd}; nameOf(candidate) == name)
                    return candidate;
    return platform::text::newPageEncoding;
}

// A caption names the page's file once the page was opened or saved under a name.
QString fileOf(const QString& caption)
{
    return QDir::isAbsolutePath(caption) ? caption : QString();
}

} // namespace

Keeper::Keeper(QObject* parent, const QString& folder)
    : QObject(parent), m_store(std::make_unique<platform::recovery::Store>(folder))
{
    m_writer.setMaxThreadCount(1); // one writer: copies and removals land in order
}

Keeper::~Keeper() { waitForWrites(); }

void Keeper::watch(frmDocument* doc)
{
    Watched w;
    w.id = m_store->copyId(++m_next);
    w.quiet = new QTimer(this);
    w.quiet->setSingleShot(true);
    connect(w.quiet, &QTimer::timeout, this, [this, doc] { snapshot(doc); });
    m_docs.insert(doc, w);
    connect(doc->editor(), &RichEdit::changed, this, [this, doc] { edited(doc); });
    connect(doc, &frmDocument::modificationChanged, this,
            [this, doc](bool modified) { modificationChanged(doc, modified); });
    connect(doc, &QObject::destroyed, this, [this, doc] { forget(doc); });
}

void Keeper::edited(frmDocument* doc)
{
    auto it = m_docs.find(doc);
    if (it == m_docs.end() || !doc->isModified())
        return;
    Watched& w = *it;
    if (!w.pendingSince.isValid())
        w.pendingSince.start();
    if (w.pendingSince.elapsed() >= longestWaitMs)
        snapshot(doc);
    else
        w.quiet->start(quietMs);
}

bool Keeper::snapshot(frmDocument* doc)
{
    auto it = m_docs.find(doc);
    if (it == m_docs.end() || !doc->isModified())
        return false;
    Watched& w = *it;
    if (w.copied && !w.pendingSince.isValid() && !w.failed)
        return false; // the copy already holds this text
    w.quiet->stop();
    w.pendingSince.invalidate();
    if (!m_store->isReady()) {
        w.failed = true;
        noteOutcome({w.id, doc->windowTitle(), m_store->error()});
        return false;
    }
    w.copied = true;
    platform::recovery::PageInfo info{doc->windowTitle(), fileOf(doc->windowTitle()),
                                      nameOf(doc->pageEncoding()),
                                      QDateTime::currentDateTimeUtc()};
    m_writer.start([this, id = w.id, capture = doc->editor()->captureColours(),
                    options = files::editingOptions(*doc), info = std::move(info)] {
        QString reason;
        if (m_store->write(id, platform::rtf::write(RichEdit::runsOf(capture), options), info, &reason))
            reason.clear();
        else if (reason.isEmpty())
            reason = QStringLiteral("The copy could not be written.");
        noteOutcome({id, info.caption, reason});
    });
    return true;
}

void Keeper::noteOutcome(Outcome outcome)
{
    {
        const std::lock_guard<std::mutex> lock(m_outcomesLock);
        m_outcomes.append(std::move(outcome));
    }
    QMetaObject::invokeMethod(this, [this] { settle(); }, Qt::QueuedConnection);
}

void Keeper::settle(bool toStandardError)
{
    QList<Outcome> outcomes;
    {
        const std::lock_guard<std::mutex> lock(m_outcomesLock);
        outcomes.swap(m_outcomes);
    }
    if (outcomes.isEmpty())
        return;
    QString failure;
    for (const Outcome& o : std::as_const(outcomes)) {
        for (Watched& w : m_docs) {
            if (w.id == o.id) {
                w.failed = !o.reason.isEmpty();
                break;
            }
        }
        if (o.reason.isEmpty())
            continue;
        failure = o.reason;
        if (toStandardError)
            std::fprintf(stderr, "Halvane: the recovery copy of \"%s\" could not be written in \"%s\": %s\n",
                         qPrintable(o.caption), qPrintable(m_store->folder()), qPrintable(o.reason));
    }
    if (!failure.isEmpty()) {
        warn(failure);
        return;
    }
    // Copies are written again: the status bar no longer warns.
    for (const Watched& w : std::as_const(m_docs))
        if (w.failed)
            return;
    if (auto* window = qobject_cast<QMainWindow*>(parent());
        window && !m_shownStatus.isEmpty() && window->statusBar()->currentMessage() == m_shownStatus)
        window->statusBar()->clearMessage();
    m_shownStatus.clear();
}

void Keeper::warn(const QString& reason)
{
    auto* window = qobject_cast<QMainWindow*>(parent());
    if (!window)
        return;
    m_shownStatus = QStringLiteral("Recovery copies of unsaved pages cannot be written in \"%1\": %2")
                        .arg(m_store->folder(), reason);
    window->statusBar()->showMessage(m_shownStatus);
    if (m_warned)
        return;
    m_warned = true;
    // Told once, without stopping the typing: the status bar goes on saying it.
    auto* box = new QMessageBox(
        QMessageBox::Warning, platform::applicationTitle(),
        m_shownStatus + QStringLiteral("\n\nUntil copies can be written again, changes that are "
                                       "not saved are lost if Halvane or the session ends "
                                       "unexpectedly: save your pages."),
        QMessageBox::Ok, window);
    box->setObjectName(QStringLiteral("recoveryWarning"));
    box->setModal(false);
    box->setWindowModality(Qt::NonModal);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setAttribute(Qt::WA_ShowWithoutActivating);
    box->show();
}

void Keeper::writeAllNow()
{
    for (auto it = m_docs.keyBegin(); it != m_docs.keyEnd(); ++it)
        snapshot(*it);
    waitForWrites();
    settle(true);
}

bool Keeper::copyNow(frmDocument* doc)
{
    snapshot(doc);
    waitForWrites();
    settle();
    const auto it = m_docs.constFind(doc);
    return it != m_docs.constEnd() && it->copied && !it->failed;
}

void Keeper::waitForWrites() { m_writer.waitForDone(); }

void Keeper::removeCopy(Watched& w)
{
    w.quiet->stop();
    w.pendingSince.invalidate();
    w.failed = false;
    if (!w.copied)
        return;
    w.copied = false;
    m_writer.start([store = m_store.get(), id = w.id] { store->remove(id); });
}

void Keeper::modificationChanged(frmDocument* doc, bool modified)
{
    auto it = m_docs.find(doc);
    if (it != m_docs.end() && !modified)
        removeCopy(*it);
}

void Keeper::forget(frmDocument* doc)
{
    auto it = m_docs.find(doc);
    if (it == m_docs.end())
        return;
    if (!m_keepCopies)
        removeCopy(*it);
    delete it->quiet;
    m_docs.erase(it);
}

void offerOrphans(frmMain& main, Keeper& keeper)
{
    platform::recovery::Store& store = keeper.store();
    QStringList damaged;
    const QList<platform::recovery::Copy> copies = store.claimOrphans(&damaged);
    if (!copies.isEmpty()) {
        platform::Question q;
        q.text = copies.size() == 1
                     ? QStringLiteral("Halvane found 1 page that was not saved when it last ended.")
                     : QStringLiteral("Halvane found %1 pages that were not saved when it last ended.")
                           .arg(copies.size());
        QStringList pages;
        for (const platform::recovery::Copy& c : copies)
            pages << c.info.caption;
        q.details = pages.join(QLatin1Char('\n'));
        q.buttons = {QStringLiteral("&Recover"), QStringLiteral("&Discard"), QStringLiteral("&Later")};
        q.defaultButton = 0;
        q.escapeButton = 2;
        const int answer = platform::ask(&main, q);
        for (const platform::recovery::Copy& c : copies) {
            if (answer == 1) {
                store.discard(c);
                continue;
            }
            if (answer != 0)
                continue; // Later: the copies stay for the next start
            QByteArray bytes;
            QString reason;
            platform::rtf::Runs runs;
            // A copy is the program's own file: read whole, whatever its size; one cut short
            // is kept aside rather than brought back in part.
            if (!platform::recovery::Store::readPage(c, &bytes, &reason) ||
                !platform::rtf::looksLikeRtf(bytes) || !platform::rtf::readWhole(bytes, &runs)) {
                damaged << QFileInfo(c.pagePath).fileName();
                continue;
            }
            bytes = QByteArray();
            frmDocument* doc = main.LoadANewDoc();
            doc->setWindowTitle(c.info.caption);
            doc->editor()->setWholeRuns(runs);
            runs = {};
            doc->editor()->moveCursor(QTextCursor::Start);
            doc->startHistoryHere();
            doc->setPageEncoding(encodingNamed(c.info.encoding));
            doc->markUnsaved();
            // The page is safe in a copy of this program's own before the old one goes; when
            // that cannot be written, the old one stays for the next start.
            if (keeper.copyNow(doc))
                store.discard(c);
        }
    }
    for (const QString& name : std::as_const(damaged))
        store.setAside(name);
    store.releaseClaims();
    if (!damaged.isEmpty())
        platform::showMessage(
            &main, QStringLiteral("These recovery copies could not be read; they were set aside "
                                  "in \"%1\":\n%2")
                       .arg(store.folder(), damaged.join(QLatin1Char('\n'))));
}

} // namespace recovery
