#include "platform/HelpViewer.h"

#include "platform/Prompts.h"

#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QTextBrowser>
#include <QUrl>

namespace platform {

namespace {
QPointer<QTextBrowser>& window()
{
    static QPointer<QTextBrowser> w;
    return w;
}
} // namespace

bool showHelp(QWidget* parent, const QString& helpFile, int command)
{
    // "Halvane.hlp" is the page set under ":/help/" whose contents page is index.html.
    const QString base = QFileInfo(helpFile).completeBaseName();
    const QString contents = QStringLiteral(":/help/index.html");
    if (base.compare(QLatin1String("Halvane"), Qt::CaseInsensitive) != 0 || !QFile::exists(contents)) {
        showMessage(parent, QStringLiteral("Cannot find the help file %1.").arg(helpFile));
        return false;
    }
    QPointer<QTextBrowser>& w = window();
    if (!w) {
        w = new QTextBrowser;
        w->setObjectName(QStringLiteral("frmHelp"));
        w->setAttribute(Qt::WA_DeleteOnClose);
        w->setOpenLinks(true);
        w->setSearchPaths({QStringLiteral(":/help")});
        w->resize(620, 520);
        QObject::connect(w, &QTextBrowser::sourceChanged, w, [b = w.data()] {
            b->setWindowTitle(QStringLiteral("Halvane Help - ") + b->documentTitle());
        });
    }
    if (command == helpContents || w->source().isEmpty())
        w->setSource(QUrl(QStringLiteral("qrc") + contents));
    w->setWindowTitle(QStringLiteral("Halvane Help - ") + w->documentTitle());
    w->show();
    w->raise();
    w->activateWindow();
    return true;
}

QWidget* helpWindow() { return window().data(); }

} // namespace platform
