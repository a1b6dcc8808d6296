#pragma once

#include "editing/Completion.h"

#include <QListWidget>
#include <QPointer>

class QKeyEvent;
class RichEdit;

// The completion list of one editor: a list drawn over the page under the caret that never
// takes the focus. The editor keeps every key except the few the open list answers (Up, Down,
// Page Up, Page Down, Return, Tab, Escape).
namespace editing {

class CompletionPopup {
  public:
    explicit CompletionPopup(RichEdit* edit);
    ~CompletionPopup();

    bool isOpen() const;
    // Shows the list for the caret's context; `forced` (Ctrl+Space) also when the context
    // was not opened by a typed character. Closes it where no name fits.
    void open(bool forced);
    // After a character was typed: follows the name, or opens where the character starts one.
    void typed(QChar c, bool suggestAsYouType);
    // After another key (Backspace, a caret move): follows the caret or closes.
    void refresh();
    // A key while the list is open: true when the list took it.
    bool handleKey(QKeyEvent* key);
    QListWidget* list() const { return m_list; }
    void close();

  private:
    CompletionContext contextHere();
    // The lexer's state before block `i`: the colours' states when the editor keeps them,
    // else the popup's own, kept from the top of the page down to the last block asked for
    // and dropped below an edit, so that typing on asks for one line's lexing at most.
    markup::State stateBefore(int i);
    void accept();

    RichEdit* m_edit;
    QPointer<QListWidget> m_list;
    CompletionContext m_context;
    std::vector<QString> m_texts; // what each row of the list writes
    std::vector<markup::State> m_states; // before blocks 0, 1, ...
    QMetaObject::Connection m_changes;
    int m_block = -1;
};

} // namespace editing
