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
    CompletionContext contextHere() const;
    void accept();

    RichEdit* m_edit;
    QPointer<QListWidget> m_list;
    CompletionContext m_context;
    int m_block = -1;
};

} // namespace editing
