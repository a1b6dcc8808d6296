#include "app/Drops.h"

#include "app/OpenPages.h"
#include "app/frmMain.h"

#include <QDropEvent>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

namespace drops {

namespace {

// The local files a drag carries; empty when it carries none (text, web links).
QStringList localFiles(const QMimeData* data)
{
    QStringList paths;
    if (!data || !data->hasUrls())
        return paths;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            paths << url.toLocalFile();
    return paths;
}

class FileDropFilter : public QObject {
public:
    FileDropFilter(QWidget* target, frmMain& main) : QObject(target), m_main(main) {}

    bool eventFilter(QObject*, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDropEvent*>(event);
            if (localFiles(drag->mimeData()).isEmpty())
                return false;
            drag->setDropAction(Qt::CopyAction);
            drag->accept();
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            const QStringList paths = localFiles(drop->mimeData());
            if (paths.isEmpty())
                return false;
            drop->setDropAction(Qt::CopyAction);
            drop->accept();
            // Opened once the drag is over: the source is not kept waiting on messages.
            QTimer::singleShot(0, &m_main, [main = &m_main, paths] { files::openPages(*main, paths); });
            return true;
        }
        default:
            return false;
        }
    }

private:
    frmMain& m_main;
};

} // namespace

void openFilesDroppedOn(QWidget* target, frmMain& main)
{
    target->setAcceptDrops(true);
    target->installEventFilter(new FileDropFilter(target, main));
}

} // namespace drops
