#pragma once

#include "document/GapText.h"
#include "document/Splices.h"

#include <QString>
#include <cstddef>
#include <memory>
#include <vector>

class UndoTarget;

// One recorded state of a document: caret and length right after a change, and the text of
// that moment. The text is not copied: an element keeps only what its change replaced
// (position, removed run, inserted run), and the history rebuilds a text when asked.
struct UndoElement {
    int SelStart = 0;
    int TextLen = 0;

    int pos = 0;            // where the change starts, in the previous recorded text
    int insertedLength = 0; // length of the run the change put in place of `removed`
    PackedText removed;     // the run the change took out of the previous recorded text
    // The run it put in its place, held only while the element is in the redo list: in the
    // undo list the history's copy of the newest text holds it (the element's own change is
    // the newest one whenever it is undone).
    PackedText inserted;

    // A change made as a set of splices (Replace All) is taken back and made again exactly,
    // looks included. While the element is in the undo list this holds the set that takes
    // it back; in the redo list, the set that makes it again. pos/removed/inserted then only
    // bring the history's copy of the previous text up to the text the splices were made in
    // (usually nothing).
    std::unique_ptr<SpliceSet> splices;
};

// The undo and redo lists of one document window.
//
// Every document edit, recorded or not, is reported through noteEdit(); record() takes a
// snapshot. The history keeps one copy of the text of the newest undo element (the "head")
// and the span in which the document has drifted from it since, so a snapshot costs the size
// of its change, not the size of the page.
class UndoHistory {
public:
    bool recording() const { return m_recording; }
    void setRecording(bool on) { m_recording = on; }

    // An edit of the document: at pos, `removed` characters were replaced by `inserted`
    // characters; newLength is the document length afterwards.
    void noteEdit(int pos, int removed, int inserted, int newLength);

    // The change handler: while recording, empties the redo list and appends a snapshot of the
    // document's current text and caret. Returns whether a snapshot was taken.
    bool record(const UndoTarget& doc);

    // Makes the splices in the document as one change and, while recording, records it as
    // one snapshot whose Undo and Redo restore the text and its looks exactly. Returns
    // whether a snapshot was taken.
    bool applySplices(UndoTarget& doc, const SpliceSet& set);

    // Drops every recorded state and starts again with the document's text as the first one
    // (a page that opened into a window of its own: there is nothing before it to go back to).
    void startOver(const UndoTarget& doc);

    // The history steps of Undo and Redo, without their closing steps (which belong to the
    // document window). They edit the document with recording switched off and leave it off.
    // Each returns false, doing nothing, when there is nothing to undo or redo or when the
    // history is not recording.
    //
    // A change that only added or only removed a run at the caret is taken back and made
    // again by the difference rule: the run by which the lengths differ goes or comes back at
    // the recorded caret. Any other change (a replacement) would come out scrambled that way:
    // its neighbouring state's text is restored exactly instead, the restored run selected
    // (unless it is shorter than two characters or a single line break: the caret then
    // follows it). Either way the text is exactly the neighbouring state's.
    bool undo(UndoTarget& doc);
    bool redo(UndoTarget& doc);

    int undoCount() const { return static_cast<int>(m_undo.size()); }
    int redoCount() const { return static_cast<int>(m_redo.size()); }
    const UndoElement& undoAt(int i) const { return m_undo.at(static_cast<std::size_t>(i)); }
    const UndoElement& redoAt(int i) const { return m_redo.at(static_cast<std::size_t>(i)); }

    // The whole text of a recorded state (rebuilt from the head; costs the page size times
    // the distance from the head, so it is for inspection, not for the editing paths).
    QString undoText(int i) const;
    QString redoText(int i) const;

    // Bytes held by the recorded elements (the head copy of the text is reported apart).
    std::size_t elementBytes() const;
    std::size_t headBytes() const { return m_head.capacityBytes(); }

    // The run of characters by which two texts differ, ending just before the 1-based
    // position startSearch of the longer text (the shorter one first when lengths differ;
    // equal lengths give the empty string). A start below 1 is taken as 1.
    static QString Change(const QString& lParam1, const QString& lParam2, const int& startSearch);

private:
    UndoElement diffFromHead(const UndoTarget& doc) const;
    // Appends a snapshot of the document's caret and length with this change; empties redo.
    void push(UndoElement e, const UndoTarget& doc);
    bool inSync() const;
    void spliceHead(const SpliceSet& set);
    void undoSplices(UndoTarget& doc, UndoElement& e);
    void redoSplices(UndoTarget& doc, UndoElement& e);
    void keepDriftAfter(bool exact, int from);
    void clearDrift();
    void headReplaced(int pos, int removed, int inserted);
    // Replaces [pos, pos + cut) of the document by `run` and selects it as Undo and Redo do.
    static void restore(UndoTarget& doc, int pos, int cut, const QString& run);

    bool m_recording = false;
    bool m_started = false;
    std::vector<UndoElement> m_undo;
    std::vector<UndoElement> m_redo;
    GapText m_head;   // text of m_undo.back()
    int m_docLength = 0;
    int m_samePrefix = 0; // document and head agree on this many leading characters
    int m_sameSuffix = 0; // ... and on this many trailing ones
};
