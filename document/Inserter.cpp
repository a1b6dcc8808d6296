#include "document/Inserter.h"

#include "document/RichEdit.h"
#include "document/Workspace.h"
#include "document/frmDocument.h"
#include "platform/Clipboard.h"
#include "platform/Keystrokes.h"

#include <QColor>

namespace inserter {

namespace {

QColor toColour(const Rgb& c) { return QColor(c.r, c.g, c.b); }

struct Runner {
    frmDocument* doc;
    RichEdit* edit;

    void operator()(const step::ActivateDocument&) const
    {
        doc->window()->activateWindow();
        edit->setFocus();
    }
    void operator()(const step::FocusEditor&) const
    {
        // A dialog may hold the activation: the editor's own window has to get it back for
        // the keyboard focus to reach the editor.
        if (!edit->window()->isActiveWindow())
            edit->window()->activateWindow();
        edit->setFocus();
    }
    void operator()(const step::CaptureSelection&) const
    {
        platform::clipboard::clear();
        platform::clipboard::setText(edit->selText());
    }
    void operator()(const step::InsertPiece& p) const
    {
        if (p.colour)
            edit->setSelColor(toColour(*p.colour));
        edit->setSelText(p.text);
    }
    void operator()(const step::InsertCaptured& p) const
    {
        edit->setSelColor(toColour(p.colour));
        edit->setSelText(platform::clipboard::text());
    }
    void operator()(const step::InsertCapturedJoined& p) const
    {
        edit->setSelColor(toColour(p.colour));
        edit->setSelText(p.before + platform::clipboard::text() + p.after);
    }
    void operator()(const step::SetColour& p) const { edit->setSelColor(toColour(p.colour)); }
    void operator()(const step::NewLine&) const { platform::sendReturn(edit); }
    void operator()(const step::RecordCaret&) const { doc->recordCaret(); }
    void operator()(const step::MoveCaret& m) const { edit->setSelStart(m.position); }
    void operator()(const step::Select& m) const
    {
        edit->setSelStart(m.start);
        edit->setSelLength(m.length);
    }
    void operator()(const step::CloseDialog&) const {}
};

} // namespace

void run(const Steps& steps, const std::function<void()>& closeDialog)
{
    for (const Step& s : steps) {
        if (std::holds_alternative<step::CloseDialog>(s)) {
            if (closeDialog)
                closeDialog();
            continue;
        }
        frmDocument* doc = workspace::activeDocument();
        if (!doc || !doc->editor())
            continue;
        std::visit(Runner{doc, doc->editor()}, s);
    }
}

} // namespace inserter
