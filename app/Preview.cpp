#include "app/Preview.h"

#include "app/FileCommands.h"
#include "app/frmMain.h"
#include "document/Workspace.h"
#include "document/frmDocument.h"
#include "platform/Browser.h"
#include "platform/Prompts.h"
#include "platform/SettingsStore.h"
#include "review/PreviewDock.h"
#include "review/ReviewCommands.h"

#include <QAction>

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace preview {

namespace {

// A document's caption names its file once it has been opened or saved under a name; only a
// page file (".htm", ".html") is ever written for the browser, never an editing file or any
// other file the caption may name.
bool captionNamesAPage(const QString& caption)
{
    return QFileInfo(caption).isAbsolute() &&
           (caption.endsWith(QLatin1String(".htm"), Qt::CaseInsensitive) ||
            caption.endsWith(QLatin1String(".html"), Qt::CaseInsensitive));
}

void reportFailedStart(frmMain& main)
{
    platform::showWarning(&main, QStringLiteral("URL Failed"), QStringLiteral("Web Page not Opened"));
}

// Starts the browser for `page`; a browser that cannot be started is reported, also when
// the desktop's launcher tells it only a moment later.
void launch(frmMain& main, const QString& lookupFile, const QString& page)
{
    using platform::browser::Launch;
    const Launch result = platform::browser::openWith(lookupFile, page, &main,
                                                      [&main] { reportFailedStart(main); });
    if (result == Launch::NotFound)
        platform::showWarning(&main, QStringLiteral("Browser Not Found"),
                              QStringLiteral("Could not find associated Browser"));
    else if (result == Launch::Failed)
        reportFailedStart(main);
}

} // namespace

QString previewFilePath()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return QDir(folder).filePath(QStringLiteral("Temp.htm"));
}

void showInBrowser(frmMain& main)
{
    frmDocument* doc = workspace::activeDocument();
    if (!doc)
        return;
    QString reason;
    const QString caption = doc->windowTitle();

    // A saved page previews through its own file: the one just saved, or the one its caption
    // names (previewing another document must never write over the saved page's file).
    if (workspace::shared().pageSaved && captionNamesAPage(caption)) {
        if (!files::mayOverwrite(main, *doc, caption))
            return;
        if (!files::writePage(*doc, caption, &reason)) {
            files::reportSaveFailure(&main, caption, reason);
            return;
        }
        launch(main, caption, caption);
        return;
    }

    // Otherwise through the preview file, which the document is then captioned with.
    const QString page = previewFilePath();
    QDir().mkpath(QFileInfo(page).absolutePath());
    if (!files::writePage(*doc, page, &reason)) {
        files::reportSaveFailure(&main, page, reason);
        return;
    }
    doc->setWindowTitle(page);

    // The browser is looked up through a throw-away page of the same type, deleted whatever
    // happens (a unique name in the temporary folder, so nothing planted there is followed).
    QTemporaryFile probe(QDir(QDir::tempPath()).filePath(QStringLiteral("temphtm-XXXXXX.HTM")));
    if (probe.open()) {
        probe.write("<HTML> <\\HTML>\r\n");
        probe.close();
        launch(main, probe.fileName(), doc->windowTitle());
    } else {
        launch(main, page, doc->windowTitle());
    }
}

namespace {

const QString followsKey = QStringLiteral("PreviewFollowsCaret");

QAction*& followsItem()
{
    static QAction* item = nullptr;
    return item;
}

} // namespace

void installFollowsCaret(QAction* item)
{
    followsItem() = item;
    const bool follows = platform::SettingsStore().readNumber(followsKey, 1) != 0;
    if (review::PreviewDock* dock = review::previewDock())
        dock->setFollowsCaret(follows);
    if (item) {
        item->setCheckable(true);
        item->setChecked(follows);
    }
}

void toggleFollowsCaret(frmMain&)
{
    review::PreviewDock* dock = review::previewDock();
    if (!dock)
        return;
    dock->setFollowsCaret(!dock->followsCaret());
    platform::SettingsStore().writeNumber(followsKey, dock->followsCaret() ? 1 : 0);
    if (followsItem())
        followsItem()->setChecked(dock->followsCaret());
}

} // namespace preview
