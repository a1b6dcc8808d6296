#pragma once

#include "document/frmDocument.h"
#include "review/PreviewRenderer.h"

#include <QDockWidget>
#include <QElapsedTimer>
#include <QMetaObject>
#include <QPointer>
#include <QTimer>
#include <memory>

class QLabel;
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

    explicit PreviewDock(QMdiArea* area, QWidget* parent = nullptr);
    ~PreviewDock() override;

    // The renderer while the panel is open (nullptr when closed or when it could not load).
    PreviewRenderer* renderer() const { return m_renderer.get(); }
    // Why the renderer could not be loaded (empty when it could).
    QString loadError() const { return m_loadError; }
    // The file a document's page is shown as: its own file when its caption names one, else
    // a page of that caption in the home folder (relative addresses resolve there).
    static QString pageFileFor(const frmDocument* doc);

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

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void ensureRenderer();
    void releaseRenderer();
    void follow(frmDocument* doc);
    void scheduleRefresh(int delayMs);
    void refresh();
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
};

} // namespace review
