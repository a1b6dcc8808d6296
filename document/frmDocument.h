#pragma once

#include "document/SaveTracker.h"
#include "document/UndoHistory.h"
#include "platform/FileIdentity.h"
#include "platform/TextCodec.h"

#include <QWidget>

class RichEdit;

// A document window: one page's source in its edit control txtText, with its own undo
// history and the caret position saved by the last insertion or click.
class frmDocument : public QWidget {
    Q_OBJECT
public:
    explicit frmDocument(QWidget* parent = nullptr);

    RichEdit* editor() const { return m_text; }
    UndoHistory& history() { return m_history; }
    const UndoHistory& history() const { return m_history; }

    int savedCaret() const { return m_savedCaret; }
    void setSavedCaret(int position) { m_savedCaret = position; }
    // Stores the edit control's caret as the saved caret position.
    void recordCaret();

    // The encoding the page was read in; saving it as a plain page keeps that encoding (what
    // it cannot hold goes out as character references). New pages are UTF-8.
    platform::text::PageEncoding pageEncoding() const { return m_pageEncoding; }
    void setPageEncoding(platform::text::PageEncoding encoding) { m_pageEncoding = encoding; }
    // Whether the user was told that a save wrote character references (once per page read).
    bool toldOfReferences() const { return m_toldOfReferences; }
    void setToldOfReferences(bool told) { m_toldOfReferences = told; }

    // The file the page was last read from or written to, as it was then: a save over it asks
    // first when another program has changed it since.
    const platform::files::FileIdentity& fileIdentity() const { return m_fileIdentity; }
    void setFileIdentity(platform::files::FileIdentity identity) { m_fileIdentity = std::move(identity); }

    // The load steps: lay out, start recording, take the first snapshot, show the window.
    void load();
    // Makes the current text the first state of the undo history, with nothing to undo or
    // redo: for a page that came into a window of its own.
    void startHistoryHere();

    // Whether the text differs from what was last read from or written to a file (a new
    // page: from its template). The window frame shows a mark while it does; the caption
    // itself (windowTitle) never changes for it.
    bool isModified() const { return m_modified; }
    // The current text is what the file now holds (after an open or a save).
    void markSaved();
    // The text is unsaved whatever it holds (a page recovered after a crash).
    void markUnsaved();

    // Public operations reached by name from the main window's Edit menu.
    Q_INVOKABLE void cmdUndo_Click() { Undo(); }
    Q_INVOKABLE void cmdRedo_Click() { Redo(); }
    void Undo();
    void Redo();

    // Makes the splices as one change of the text, recorded as one undo step that restores
    // the text and its colours exactly (Replace, Replace All).
    void applySplices(const SpliceSet& set);
    static QString Change(const QString& lParam1, const QString& lParam2, const int& startSearch)
    {
        return UndoHistory::Change(lParam1, lParam2, startSearch);
    }

signals:
    void modificationChanged(bool modified);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void layoutEditor();
    void onChange();
    void afterRecord();
    void onSelChange();
    void onClick();
    void closingSteps();
    void updateModified();
    void showModifiedMark();
    void nameEditor();

    RichEdit* m_text = nullptr;
    UndoHistory m_history;
    SaveTracker m_saveTracker;
    bool m_modified = false;
    int m_savedCaret = 0;
    platform::text::PageEncoding m_pageEncoding = platform::text::newPageEncoding;
    bool m_toldOfReferences = false;
    platform::files::FileIdentity m_fileIdentity;
};
