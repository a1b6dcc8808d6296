#pragma once

#include "document/GeneratorDialog.h"
#include "editing/SearchPattern.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class frmDocument;

namespace editing {

class MatchHighlighter;

// Find and Replace, one non-modal dialog: the search text with its options, the replacement
// (Replace only), and Find Next, Replace, Replace All and Close. Return is Find Next, Escape
// closes. It works on whichever document is active and marks the matches in view there.
class FindDialog : public GeneratorDialog {
    Q_OBJECT
public:
    FindDialog();

    void setReplacing(bool replacing);
    bool replacing() const { return m_replacing; }
    // Starts a search for this text (the selection of one line the dialog was opened on).
    void setSearchText(const QString& text);

protected:
    void cancel() override;

private:
    void searchChanged();
    // The pattern of the fields; an invalid one shows its error and gives an unusable pattern.
    SearchPattern checkedPattern();
    // The active document when the pattern is usable (the pattern is checked into `pattern`).
    frmDocument* replaceTarget(SearchPattern& pattern);
    void findNext();
    void replaceOne();
    void replaceEvery();

    QLineEdit* m_find = nullptr;
    QLineEdit* m_replace = nullptr;
    QLabel* m_replaceLabel = nullptr;
    QLabel* m_error = nullptr;
    QCheckBox* m_case = nullptr;
    QCheckBox* m_words = nullptr;
    QCheckBox* m_regex = nullptr;
    QPushButton* m_replaceButton = nullptr;
    QPushButton* m_replaceAllButton = nullptr;
    MatchHighlighter* m_highlighter = nullptr;
    bool m_replacing = false;
};

// Go to Line: asks for a line number and puts the caret at the start of that line.
class GoToLineDialog : public GeneratorDialog {
    Q_OBJECT
public:
    GoToLineDialog();

protected:
    void cancel() override;
    void showEvent(QShowEvent* event) override;

private:
    void go();
    void showRange();

    QLabel* m_prompt = nullptr;
    QLineEdit* m_line = nullptr;
    QLabel* m_error = nullptr;
};

} // namespace editing
