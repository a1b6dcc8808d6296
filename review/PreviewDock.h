#pragma once

#include "document/frmDocument.h"
#include "review/PreviewPatch.h"
#include "review/PreviewRenderer.h"

#include <QDockWidget>
#include <QElapsedTimer>
#include <QMetaObject>
#include <QPointer>
#include <QTimer>
#include <memory>

class QLabel;
class QToolButton;
class QMdiArea;

namespace review {

// The live preview's panel (beside the documents): the active page as a browser shows it,
// shown again a moment after typing stops and whenever another page becomes active.
//
// The renderer is loaded the first time the panel is shown and let go when the panel is
// closed (its renderer process ends with it), so the program pays for it only while the
// preview is in use.
class PreviewDock : public QDockWidget {
    Q_OBJECT
public:
    // How long typing must pause before the page is shown again.
    static constexpr int settleMs = 250;
    // Past this size (in characters) the page is shown again only on demand: Refresh or F5.
    static constexpr int onDemandChars = 2 * 1024 * 1024;

    explicit PreviewDock(QMdiArea* area, QWidget* parent = nullptr);
    ~PreviewDock() override;

    // The renderer while the panel is open (nullptr when closed or when it could not load).
    PreviewRenderer* renderer() const { return m_renderer.get(); }
    // Why the renderer could not be loaded (empty when it could).
    QString loadError() const { return m_loadError; }
    // The file a document's page is shown as: its own file when its caption names one, else
    // a page of that caption in the home folder (relative addresses resolve there).
    static QString pageFileFor(const frmDocument* doc);

    // Whether the element under the caret is outlined in the page and scrolled into view.
    bool followsCaret() const { return m_followsCaret; }
    void setFollowsCaret(bool follows);

    // Whether the page shown may load anything from the network (off by default).
    bool remoteAllowed() const { return m_remoteAllowed; }
    void setRemoteAllowed(bool allowed);

    // Where the renderer module is looked for, in order.
    static QStringList moduleCandidates();

signals:
    // The panel was opened or closed.
    void openChanged(bool open);
    // A page was shown: `ms` from the text change (or document switch) to the load's end.
    void refreshed(bool ok, qint64 ms);
    // The page shown was brought up to date in place: `ms` from the text change to the
    // changed element being in the page.
    void patched(qint64 ms);
    // The whole page is loaded again, and why (also in the debug log, halvane.preview).
    void reloading(const QString& reason);
    // The element under the caret was outlined in the page.
    void caretShown();

public slots:
    // Shows the page again now (the Refresh button and F5 in the preview).
    void refreshNow();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void ensureRenderer();
    void releaseRenderer();
    void follow(frmDocument* doc);
    void scheduleRefresh(int delayMs);
    void refresh();
    // Loads the whole page again: `source` when it is the editor's text already at hand.
    void reload(const QString& reason, std::unique_ptr<ShownSource> source = nullptr);
    void updateTitle();
    void markCaret();
    void pickElement(const QString& path);
    void openLink(const QUrl& url);

    QMdiArea* m_area;
    QLabel* m_placeholder;
    std::unique_ptr<PreviewRenderer> m_renderer;
    QString m_loadError;
    QPointer<frmDocument> m_document;
    QMetaObject::Connection m_editWatch;
    QTimer m_settle;
    QElapsedTimer m_sinceChange; // from the change that the pending refresh answers
    bool m_changePending = false;
    qint64 m_requestAt = 0;
    bool m_remoteAllowed = false;
    QWidget* m_frame = nullptr;          // the view with the Refresh button above it
    std::unique_ptr<ShownSource> m_shown; // the source of the page in the view
    QString m_shownFile;
    int m_loading = 0;                  // whole pages loading: changes in place wait for them
    bool m_changedWhileLoading = false;
    bool m_forceReload = false;
    bool m_onDemand = false;
    bool m_followsCaret = true;
    QTimer m_caretSettle;
    QMetaObject::Connection m_caretWatch;
    bool m_markInFlight = false;
    bool m_markAgain = false;
    int m_generation = 0;               // counts whole loads: answers of older patches are stale
};

} // namespace review
