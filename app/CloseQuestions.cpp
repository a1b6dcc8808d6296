#include "app/CloseQuestions.h"

#include "app/FileCommands.h"
#include "app/frmMain.h"
#include "document/frmDocument.h"
#include "platform/Prompts.h"

#include <QMdiArea>
#include <QMdiSubWindow>

namespace closing {

namespace {

enum Answer { Save, Discard, Cancel };

// Brings the page forward first, so that the user sees which page a name dialog is for.
bool saveDocument(frmMain& main, frmDocument& doc)
{
    if (auto* frame = qobject_cast<QMdiSubWindow*>(doc.parentWidget()))
        main.mdiArea()->setActiveSubWindow(frame);
    return files::saveToItsFile(main, doc);
}

// Save / Discard / Cancel about one changed page; whether what was asked may go on.
bool askAboutPage(frmMain& main, frmDocument& doc, const QString& text)
{
    if (!doc.isModified())
        return true;
    platform::Question q;
    q.text = text.arg(doc.windowTitle());
    q.buttons = {QStringLiteral("&Save"), QStringLiteral("&Discard"), QStringLiteral("&Cancel")};
    q.defaultButton = Save;
    q.escapeButton = Cancel;
    switch (platform::ask(&main, q)) {
    case Save:
        return saveDocument(main, doc);
    case Discard:
        return true;
    default:
        return false;
    }
}

} // namespace

bool mayCloseDocument(frmMain& main, frmDocument& doc)
{
    return askAboutPage(main, doc, QStringLiteral("Save changes to \u201c%1\u201d before closing?"));
}

bool mayReplace(frmMain& main, frmDocument& doc)
{
    return askAboutPage(main, doc,
                        QStringLiteral("Save changes to \u201c%1\u201d before opening another page?"));
}

bool mayEnd(frmMain& main)
{
    QList<frmDocument*> modified;
    for (frmDocument* doc : main.documents())
        if (doc->isModified())
            modified.append(doc);
    if (modified.isEmpty())
        return true;
    platform::Question q;
    q.text = modified.size() == 1
                 ? QStringLiteral("This page has changes that are not saved:")
                 : QStringLiteral("These %1 pages have changes that are not saved:").arg(modified.size());
    QStringList captions;
    for (const frmDocument* doc : std::as_const(modified))
        captions << doc->windowTitle();
    q.details = captions.join(QLatin1Char('\n'));
    q.buttons = {QStringLiteral("&Save All"), QStringLiteral("&Discard All"), QStringLiteral("&Cancel")};
    q.defaultButton = Save;
    q.escapeButton = Cancel;
    switch (platform::ask(&main, q)) {
    case Save:
        for (frmDocument* doc : std::as_const(modified))
            if (!saveDocument(main, *doc))
                return false;
        return true;
    case Discard:
        return true;
    default:
        return false;
    }
}

} // namespace closing
