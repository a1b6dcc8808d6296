#pragma once

class QMdiArea;
class RichEdit;

// The writing aids of the page: end tags written as the user types, the completion list and
// the indentation kept on Return. They answer only keys the user types (the keystrokes that
// commands send while inserting are never touched), so generated text stays exactly as the
// commands write it. The choices hold for all windows and are remembered.
namespace editing {

struct WritingOptions {
    bool closeTags = true;
    bool suggest = true;
    bool keepIndent = false;
};
const WritingOptions& writingOptions();

// Gives one editor the aids (idempotent).
void attachWritingAids(RichEdit* edit);
// Reads the choices from the settings store, shows them through the Edit menu's check marks
// and attaches the aids to every document window of `area` as it comes up.
void installWritingAids(QMdiArea* area);

void toggleCloseTags();
void toggleSuggest();
void toggleKeepIndent();
// Edit > Insert Image Size: width="…" height="…" in the tag under the caret, read from the
// image its src names (relative to the page's folder); a notice says why when it cannot.
void insertImageSizeCommand();
// Opens the completion list at the caret of the active document, where one applies.
void suggestNow();

} // namespace editing
