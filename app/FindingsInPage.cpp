#include "app/FindingsInPage.h"

#include "document/RichEdit.h"
#include "document/Workspace.h"
#include "document/frmDocument.h"
#include "editing/EditingCommands.h"
#include "editing/FindingMarks.h"
#include "review/FindingsModel.h"
#include "review/MarkupPanel.h"

#include <QPointer>

namespace findings {

namespace {

struct Installed {
    QPointer<review::MarkupPanel> panel;
    QPointer<frmDocument> marked; // the page whose findings are drawn
};
Installed& installed()
{
    static Installed state;
    return state;
}

editing::PageFinding::Kind kindOf(review::Severity s)
{
    switch (s) {
    case review::Severity::Error:
        return editing::PageFinding::Kind::Error;
    case review::Severity::Accessibility:
        return editing::PageFinding::Kind::Accessibility;
    case review::Severity::Warning:
        break;
    }
    return editing::PageFinding::Kind::Warning;
}

void clearMarks()
{
    if (installed().marked)
        editing::showFindings(installed().marked->editor(), {});
    installed().marked = nullptr;
}

// The findings the list shows, in the page they are about.
void showMarks()
{
    review::MarkupPanel* panel = installed().panel;
    frmDocument* doc = panel ? panel->checkedDocument() : nullptr;
    if (doc != installed().marked)
        clearMarks();
    if (!doc || !panel->isVisible() || panel->isRunning())
        return;
    // Findings of a text that has changed since would stand in the wrong places; the marks
    // shown have moved with the edits, and the check runs again once typing pauses.
    if (panel->isStale() && doc == installed().marked)
        return;
    const review::FindingsModel* model = panel->model();
    std::vector<const review::Finding*> shown;
    std::vector<std::pair<int, int>> places;
    for (int row = 0; row < model->rowCount(); ++row) {
        const review::Finding* f = model->findingAt(row);
        if (f->line < 1) // about the whole page, not a place in it
            continue;
        shown.push_back(f);
        places.emplace_back(f->line, f->column);
    }
    RichEdit* edit = doc->editor();
    const std::vector<int> at = review::positionsOf(*edit, places);
    std::vector<editing::PageFinding> marks;
    marks.reserve(shown.size());
    for (std::size_t i = 0; i < shown.size(); ++i)
        marks.push_back({kindOf(shown[i]->severity), at[i], review::markLength(*edit, at[i]), shown[i]->message});
    installed().marked = doc;
    editing::showFindings(edit, std::move(marks));
}

void go(bool backwards)
{
    RichEdit* edit = editing::activeEditor();
    if (!edit)
        return;
    if (editing::goToFinding(edit, backwards))
        return;
    const review::MarkupPanel* panel = installed().panel;
    editing::notify(panel && panel->isVisible() ? QStringLiteral("No findings in this page")
                                                : QStringLiteral("No findings shown: check the markup first (F12)"));
}

} // namespace

void install(review::MarkupPanel* panel)
{
    installed().panel = panel;
    if (!panel)
        return;
    // The model is reset for every result (an empty one too) and every change of a filter.
    QObject::connect(panel->model(), &QAbstractItemModel::modelReset, panel, &showMarks);
    QObject::connect(panel, &QDockWidget::visibilityChanged, panel, [](bool) {
        if (installed().panel && installed().panel->isHidden())
            clearMarks();
        else
            showMarks();
    });
}

void goToNext() { go(false); }
void goToPrevious() { go(true); }

} // namespace findings
