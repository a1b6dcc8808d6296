#pragma once

namespace review {
class MarkupPanel;
}

// The markup panel's findings drawn in their page (editing's finding marks), while the panel
// is open: its findings as the list shows them (the same filters), the marks taken away when
// it closes or checks another page. The two parts know nothing of each other; this joins them.
namespace findings {

void install(review::MarkupPanel* panel);

// Edit > Next Finding / Previous Finding: the caret to the next (previous) finding marked in
// the active page, wrapping round; says so in the status bar when there is none.
void goToNext();
void goToPrevious();

} // namespace findings
