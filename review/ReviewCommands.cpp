#include "review/ReviewCommands.h"

#include "review/MarkupPanel.h"
#include "review/PreviewDock.h"

#include "platform/SettingsStore.h"

#include <QAction>
#include <QMainWindow>
#include <QPointer>
#include <algorithm>

namespace review {

namespace {

struct Installed {
    QPointer<QMainWindow> window;
    bool previewSized = false;
    QPointer<MarkupPanel> markup;
    QPointer<PreviewDock> preview;
    QPointer<QAction> remoteItem;
};

const QString remoteKey = QStringLiteral("PreviewRemoteContent");
Installed& installed()
{
    static Installed state;
    return state;
}

} // namespace

void install(QMainWindow* window, QMdiArea* area, QAction* livePreviewItem,
             QAction* remoteContentItem)
{
    installed().window = window;
    auto* markup = new MarkupPanel(area, window);
    window->addDockWidget(Qt::BottomDockWidgetArea, markup);
    markup->hide();
    installed().markup = markup;

    auto* preview = new PreviewDock(area, window);
    window->addDockWidget(Qt::RightDockWidgetArea, preview);
    preview->hide();
    installed().preview = preview;
    if (livePreviewItem) {
        livePreviewItem->setCheckable(true);
        livePreviewItem->setChecked(false);
        QObject::connect(preview, &PreviewDock::openChanged, livePreviewItem, &QAction::setChecked);
    }
    preview->setRemoteAllowed(platform::SettingsStore().readNumber(remoteKey, 0) != 0);
    installed().remoteItem = remoteContentItem;
    if (remoteContentItem) {
        remoteContentItem->setCheckable(true);
        remoteContentItem->setChecked(preview->remoteAllowed());
    }
}

void toggleRemoteContent()
{
    PreviewDock* preview = installed().preview;
    if (!preview)
        return;
    preview->setRemoteAllowed(!preview->remoteAllowed());
    platform::SettingsStore store;
    store.writeNumber(remoteKey, preview->remoteAllowed() ? 1 : 0);
    store.sync();
    if (installed().remoteItem)
        installed().remoteItem->setChecked(preview->remoteAllowed());
}

void runMarkupCheck()
{
    if (MarkupPanel* panel = installed().markup)
        panel->check();
}

void toggleLivePreview()
{
    PreviewDock* preview = installed().preview;
    if (!preview)
        return;
    if (preview->isHidden()) {
        preview->show();
        preview->raise();
        // The first time, a third of the window, enough to read a page.
        if (!installed().previewSized && installed().window) {
            installed().previewSized = true;
            QMainWindow* w = installed().window;
            w->resizeDocks({preview}, {std::max(360, w->width() / 3)}, Qt::Horizontal);
        }
    } else {
        preview->close();
    }
}

MarkupPanel* markupPanel() { return installed().markup; }
PreviewDock* previewDock() { return installed().preview; }

} // namespace review
