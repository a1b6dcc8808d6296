#pragma once

#include "document/Splices.h"

#include <QString>

// What the undo history needs from an edit control. Positions and lengths count a line
// break as two characters (CR LF), as everywhere in the document model.
class UndoTarget {
public:
    virtual ~UndoTarget() = default;
    virtual int textLength() const = 0;
    virtual QString textRange(int start, int length) const = 0;
    virtual int selStart() const = 0;
    virtual void setSelStart(int position) = 0;
    virtual void setSelLength(int length) = 0;
    virtual void setSelText(const QString& text) = 0;
    virtual void hideSelection(bool hide) = 0;
    // Makes every splice of the set as one edit and returns the set that takes them back:
    // the removed runs with their looks, at their positions in the new text.
    virtual SpliceSet applySplices(const SpliceSet& set) = 0;
};
