#include "app/OpenPages.h"

#include "app/CommandLine.h"
#include "app/FileCommands.h"
#include "app/RecentPages.h"
#include "app/frmMain.h"
#include "document/RichEdit.h"
#include "document/Workspace.h"
#include "document/frmDocument.h"
#include "platform/Prompts.h"
#include "platform/TextCodec.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStatusBar>
#include <QTextCursor>

namespace files {

namespace {

constexpr int noteMilliseconds = 10000;

QMdiSubWindow* frameOf(frmDocument* doc) { return qobject_cast<QMdiSubWindow*>(doc->parentWidget()); }

void openStandardInput(frmMain& main, const QByteArray& bytes)
{
    frmDocument* doc = main.LoadANewDoc();
    platform::text::Decoded page = platform::text::decode(bytes);
    doc->editor()->setWholeText(page.text);
    doc->setPageEncoding(page.encoding);
    doc->editor()->moveCursor(QTextCursor::Start);
    doc->startHistoryHere();
    // The page exists nowhere else: closing it must ask, and a crash must keep it.
    doc->markUnsaved();
}

} // namespace

bool openPage(frmMain& main, const QString& path, QString* reason)
{
    for (frmDocument* doc : main.documents()) {
        if (doc->windowTitle() == path) {
            main.mdiArea()->setActiveSubWindow(frameOf(doc));
            recent::remember(path);
            return true;
        }
    }
    frmDocument* doc = main.LoadANewDoc();
    QString note;
    if (!loadInto(*doc, path, reason, &note)) {
        // The new window holds only its unchanged template: it goes without a question.
        if (QMdiSubWindow* frame = frameOf(doc))
            frame->close();
        return false;
    }
    // The page came into a window of its own: its history starts with its text.
    doc->startHistoryHere();
    workspace::shared().dialogFileName = path;
    doc->setWindowTitle(path);
    if (!note.isEmpty())
        main.statusBar()->showMessage(note, noteMilliseconds);
    recent::remember(path);
    return true;
}

void openPages(frmMain& main, const QStringList& paths, const QByteArray& standardInput)
{
    QStringList failures;
    for (const QString& path : paths) {
        if (path == cli::standardInput) {
            openStandardInput(main, standardInput);
            continue;
        }
        QString reason;
        if (!openPage(main, path, &reason))
            failures << QStringLiteral("\u201C%1\u201D: %2").arg(path, reason);
    }
    if (failures.size() == 1)
        platform::showMessage(&main, QStringLiteral("This file could not be opened:\n%1").arg(failures.first()));
    else if (failures.size() > 1)
        platform::showMessage(&main, QStringLiteral("These %1 files could not be opened:\n%2")
                                         .arg(failures.size())
                                         .arg(failures.join(QLatin1Char('\n'))));
}

void bringToFront(QWidget& window)
{
    if (window.isMinimized())
        window.setWindowState((window.windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    window.show();
    window.raise();
    window.activateWindow();
}

} // namespace files
