#include "app/FindingsInPage.h"

#include "document/RichEdit.h"
#include "document/Workspace.h"
#include "document/frmDocument.h"
#include "editing/EditingCommands.h"
#include "editing/FindingMarks.h"
#include "review/FindingsModel.h"
#include "review/MarkupPanel.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <algorithm>

namespace findings {

namespace {

struct Installed {
    QPointer<review::MarkupPanel> panel;
    QPointer<frmDocument> marked; // the page whose findings are drawn
};
Installed& installed() {
    static Installed state;
    return state;
}

editing::PageFinding::Kind kindOf(review::Severity s) {
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

void clearMarks() {
    if (installed().marked)
        editing::showFindings(installed().marked->editor(), {});
    installed().marked = nullptr;
}

// The findings on their way into a page: placed a slice at a time, so that a page with
// thousands of findings never holds up the window.
struct Placing {
    quint64 generation = 0;
    QPointer<frmDocument> doc;
    std::vector<review::Finding> findings; // in the page's order
    std::size_t next = 0;
    std::vector<editing::PageFinding> marks;
};
Placing& placing() {
    static Placing state;
    return state;
}
constexpr qint64 sliceNs = 4'000'000;
constexpr std::size_t sliceStep = 256;

void placeSlice(quint64 generation) {
    Placing& p = placing();
    if (generation != p.generation || !p.doc)
        return;
    RichEdit* edit = p.doc->editor();
    QElapsedTimer clock;
    clock.start();
    while (p.next < p.findings.size()) {
        const std::size_t end = std::min(p.findings.size(), p.next + sliceStep);
        std::vector<std::pair<int, int>> places;
        places.reserve(end - p.next);
        for (std::size_t i = p.next; i < end; ++i)
            places.emplace_back(p.findings[i].line, p.findings[i].column);
        const std::vector<int> at = review::positionsOf(*edit, places);
        for (std::size_t i = p.next; i < end; ++i) {
            const review::Finding& f = p.findings[i];
            const int start = at[i - p.next];
            p.marks.push_back(
                {kindOf(f.severity), start, review::markLength(*edit, start), f.message});
        }
        p.next = end;
        if (p.next < p.findings.size() && clock.nsecsElapsed() > sliceNs) {
            QTimer::singleShot(0, edit, [generation] { placeSlice(generation); });
            return;
        }
    }
    p.findings.clear();
    installed().marked = p.doc;
    editing::showFindings(edit, std::move(p.marks));
    p.marks.clear();
}

// The findings the list shows, in the page they are about.
void showMarks() {
    ++placing().generation; // findings still being placed are of an earlier result
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
    Placing& p = placing();
    p.doc = doc;
    p.findings.clear();
    p.marks.clear();
    p.next = 0;
    p.findings.reserve(static_cast<std::size_t>(model->rowCount()));
    for (int row = 0; row < model->rowCount(); ++row)
        if (const review::Finding* f = model->findingAt(row);
            f->line >= 1) // not about the whole page
            p.findings.push_back(*f);
    std::stable_sort(p.findings.begin(), p.findings.end(),
                     [](const review::Finding& a, const review::Finding& b) {
                         return std::pair(a.line, a.column) < std::pair(b.line, b.column);
                     });
    p.marks.reserve(p.findings.size());
    placeSlice(p.generation);
}

void go(bool backwards) {
    RichEdit* edit = editing::activeEditor();
    if (!edit)
        return;
    if (editing::goToFinding(edit, backwards))
        return;
    const review::MarkupPanel* panel = installed().panel;
    editing::notify(panel && panel->isVisible()
                        ? QStringLiteral("No findings in this page")
                        : QStringLiteral("No findings shown: check the markup first (F12)"));
}

} // namespace

void install(review::MarkupPanel* panel) {
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

void goToNext() {
    go(false);
}
void goToPrevious() {
    go(true);
}

} // namespace findings
