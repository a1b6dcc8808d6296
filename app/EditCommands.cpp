#include "app/EditCommands.h"

#include "document/RichEdit.h"
#include "document/Workspace.h"
#include "document/frmDocument.h"
#include "platform/Clipboard.h"

#include <QMdiArea>
#include <QMdiSubWindow>

namespace editing {

void copy()
{
    frmDocument* doc = workspace::activeDocument();
    if (!doc)
        return;
    platform::clipboard::setText(doc->editor()->selText());
    doc->recordCaret();
}

void cut()
{
    frmDocument* doc = workspace::activeDocument();
    if (!doc)
        return;
    platform::clipboard::setText(doc->editor()->selText());
    doc->recordCaret();
    doc->editor()->setSelText(QString());
    doc->recordCaret();
}

void paste()
{
    frmDocument* doc = workspace::activeDocument();
    if (!doc)
        return;
    doc->editor()->setSelText(platform::clipboard::text());
    doc->recordCaret();
}

void arrange(QMdiArea* area, Arrangement how)
{
    if (how == Arrangement::Cascade) {
        area->cascadeSubWindows();
        return;
    }
    QList<QMdiSubWindow*> windows;
    for (QMdiSubWindow* w : area->subWindowList(QMdiArea::CreationOrder))
        if (w->isVisible() && !w->isMinimized())
            windows.append(w);
    if (windows.isEmpty())
        return;
    // Horizontal tiling stacks the windows one above another, each as wide as the area;
    // vertical tiling sets them side by side, each as tall as the area.
    const QRect client = area->viewport()->rect();
    const int n = static_cast<int>(windows.size());
    for (int i = 0; i < n; ++i) {
        QMdiSubWindow* w = windows.at(i);
        if (w->isMaximized())
            w->showNormal();
        QRect r;
        if (how == Arrangement::TileHorizontal) {
            const int top = client.height() * i / n;
            r = QRect(0, top, client.width(), client.height() * (i + 1) / n - top);
        } else {
            const int left = client.width() * i / n;
            r = QRect(left, 0, client.width() * (i + 1) / n - left, client.height());
        }
        w->setGeometry(r);
    }
}

} // namespace editing
