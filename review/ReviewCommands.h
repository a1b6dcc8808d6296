#pragma once

class QAction;
class QMainWindow;
class QMdiArea;

// Seeing the page while writing it: the markup check (View > Check Markup, F12) and the live
// preview (View > Live Preview, Shift+F12). Both work on the active document.
namespace review {

class MarkupPanel;
class PreviewDock;

// Sets the part up in a main window: its two panels, hidden until asked for (the markup list
// below the documents, the preview beside them). The preview's menu item carries a check mark
// while the preview is open. The preview's renderer is not loaded here: only when the preview
// is first shown.
// The item for remote content (checkable, remembered in the settings file) follows its setting.
void install(QMainWindow* window, QMdiArea* area, QAction* livePreviewItem,
             QAction* remoteContentItem = nullptr);

// Checks the active page's markup, shows the findings and focuses their list.
void runMarkupCheck();
// Opens the preview, or closes it (its renderer goes with it).
void toggleLivePreview();
// Lets the preview load from the network, or stops it (off by default; remembered).
void toggleRemoteContent();

// The panels of the installed main window (nullptr before install).
MarkupPanel* markupPanel();
PreviewDock* previewDock();

} // namespace review
