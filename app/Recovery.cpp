#include "app/Recovery.h"

#include "app/FileCommands.h"
#include "app/frmMain.h"
#include "document/RichEdit.h"
#include "document/frmDocument.h"
#include "platform/Prompts.h"
#include "platform/RtfCodec.h"

#include <QDir>
#include <QFileInfo>
#include <QTextCursor>
#include <QTimer>
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
    if (it == m_docs.end() || !doc->isModified() || !m_store->isReady())
        return false;
    Watched& w = *it;
    if (w.copied && !w.pendingSince.isValid())
        return false; // the copy already holds this text
    w.quiet->stop();
    w.pendingSince.invalidate();
    w.copied = true;
    platform::recovery::PageInfo info{doc->windowTitle(), fileOf(doc->windowTitle()),
                                      nameOf(doc->pageEncoding()),
                                      QDateTime::currentDateTimeUtc()};
    m_writer.start([store = m_store.get(), id = w.id, capture = doc->editor()->captureColours(),
                    options = files::editingOptions(*doc), info = std::move(info)] {
        QString reason;
        store->write(id, platform::rtf::write(RichEdit::runsOf(capture), options), info, &reason);
    });
    return true;
}

void Keeper::writeAllNow()
{
    for (auto it = m_docs.keyBegin(); it != m_docs.keyEnd(); ++it)
        snapshot(*it);
    waitForWrites();
}

void Keeper::waitForWrites() { m_writer.waitForDone(); }

void Keeper::removeCopy(Watched& w)
{
    w.quiet->stop();
    w.pendingSince.invalidate();
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
            if (!platform::recovery::Store::readPage(c, &bytes, &reason) ||
                !platform::rtf::looksLikeRtf(bytes)) {
                damaged << QFileInfo(c.pagePath).fileName();
                continue;
            }
            frmDocument* doc = main.LoadANewDoc();
            doc->setWindowTitle(c.info.caption);
            doc->editor()->setWholeRuns(platform::rtf::read(bytes));
            doc->editor()->moveCursor(QTextCursor::Start);
            doc->startHistoryHere();
            doc->setPageEncoding(encodingNamed(c.info.encoding));
            doc->markUnsaved();
            // The page is safe in a copy of this program's own before the old one goes.
            keeper.snapshot(doc);
            keeper.waitForWrites();
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
