#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <QVariant>
#include <QtPlugin>
#include <functional>

class QWidget;

// The live preview's renderer, as the program sees it. The renderer itself (a web engine) is
// a module of its own, loaded when the preview is first shown, so that the program neither
// links nor starts it before then. This header is all the two sides share.
namespace review {

class PreviewRenderer {
public:
    struct Hooks {
        std::function<void(bool ok)> loaded;              // a page has finished loading
        std::function<void(const QUrl& url)> linkClicked; // the user followed a link
        // The user Ctrl+clicked an element: a JSON list, from the element outwards, of
        // [name, index among the page's elements of that name, their number].
        std::function<void(const QString& path)> elementPicked;
    };
    virtual ~PreviewRenderer() = default;

    // The view to put in the preview panel (owned by the renderer).
    virtual QWidget* widget() = 0;
    // Shows `html` (UTF-8) as if it were the file `pageFile` (an absolute path): relative
    // pictures, style sheets, scripts, fonts and media are read from that file's folder, and
    // nothing outside that folder can be read. A page without a file of its own (`ownFile`
    // false) is shown alone: no file is read for it. Showing the same file again keeps the
    // scroll position.
    virtual void showPage(const QByteArray& html, const QString& pageFile, bool ownFile) = 0;
    // Whether the page may load anything from the network (off unless the user allows it).
    virtual void setRemoteAllowed(bool allowed) = 0;
    // Runs a script in the page shown; `done` gets its result.
    virtual void runScript(const QString& script, std::function<void(const QVariant&)> done) = 0;
    // Runs a script in the preview's own world: it sees the page's document, none of the
    // page's script variables, and the page's scripts never see it. That world holds
    // `halvanePreview.patch(tag, index, countBefore, countAfter, html)`, which replaces the
    // index-th element named tag by html and answers "ok", or why it could not: the page's
    // scripts changed the document since it loaded, or the element counts are not as said;
    // and `halvanePreview.mark(tag, index, count)`, which outlines that element and scrolls
    // it into view.
    virtual void runOwnScript(const QString& script, std::function<void(const QVariant&)> done) = 0;
};

class PreviewRendererFactory {
public:
    virtual ~PreviewRendererFactory() = default;
    virtual PreviewRenderer* create(QWidget* parent, PreviewRenderer::Hooks hooks) = 0;
};

} // namespace review

#define HalvanePreviewRendererFactory_iid "org.halvane.PreviewRendererFactory/3"
Q_DECLARE_INTERFACE(review::PreviewRendererFactory, HalvanePreviewRendererFactory_iid)
