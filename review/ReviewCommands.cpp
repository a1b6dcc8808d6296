#include "review/ReviewCommands.h"

#include "review/MarkupPanel.h"
#include "review/PreviewDock.h"

#include <QAction>
#include <QMainWindow>
#include <QPointer>

namespace review {

namespace {

struct Installed {
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
    } else {
        preview->close();
    }
}

MarkupPanel* markupPanel() { return installed().markup; }
PreviewDock* previewDock() { return installed().preview; }

} // namespace review
