#pragma once

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

    // The encoding the page was read in; saving it as a plain page keeps that encoding when
    // it can hold every character. New pages are UTF-8.
    platform::text::PageEncoding pageEncoding() const { return m_pageEncoding; }
    void setPageEncoding(platform::text::PageEncoding encoding) { m_pageEncoding = encoding; }

    // The file the page was last read from or written to, as it was then: a save over it asks
    // first when another program has changed it since.
    const platform::files::FileIdentity& fileIdentity() const { return m_fileIdentity; }
    void setFileIdentity(platform::files::FileIdentity identity) { m_fileIdentity = std::move(identity); }

    // The load steps: lay out, start recording, take the first snapshot, show the window.
    void load();

    // Public operations reached by name from the main window's Edit menu.
    Q_INVOKABLE void cmdUndo_Click() { Undo(); }
    Q_INVOKABLE void cmdRedo_Click() { Redo(); }
    void Undo();
    void Redo();
    static QString Change(const QString& lParam1, const QString& lParam2, const int& startSearch)
    {
        return UndoHistory::Change(lParam1, lParam2, startSearch);
    }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void layoutEditor();
    void onChange();
    void onSelChange();
    void onClick();
    void closingSteps();

    RichEdit* m_text = nullptr;
    UndoHistory m_history;
    int m_savedCaret = 0;
    platform::text::PageEncoding m_pageEncoding = platform::text::newPageEncoding;
    platform::files::FileIdentity m_fileIdentity;
};
