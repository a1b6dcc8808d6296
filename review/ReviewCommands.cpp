#include "review/ReviewCommands.h"

#include "review/MarkupPanel.h"
#include "review/PreviewDock.h"

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
};
Installed& installed()
{
    static Installed state;
    return state;
}

} // namespace

void install(QMainWindow* window, QMdiArea* area, QAction* livePreviewItem)
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
