#pragma once

#include <QString>
#include <QTextCharFormat>
#include <vector>

// Several disjoint replacements in one text, made together as one change (Replace All).
//
// Positions and lengths count a line break as two characters (CR LF), like the rest of the
// document model. Splices are in ascending order and do not overlap; each position is in the
// text before any of them is made. The inserted runs stand one after another in `text`.
struct SpliceSet {
    struct Splice {
        int pos = 0;
        int removed = 0;  // characters taken out at pos
        int inserted = 0; // characters of `text` put in their place
    };
    // The look of the inserted text from `from` (an offset in `text`) up to the next entry.
    struct Look {
        int from = 0;
        QTextCharFormat format;
    };

    std::vector<Splice> splices;
    QString text;
    // Empty: each inserted run takes the look of the first character it replaces (of the
    // character before it when it replaces nothing).
    std::vector<Look> looks;

    bool empty() const { return splices.empty(); }
    // Characters the set adds to the text (negative when it removes more than it adds).
    qsizetype growth() const
    {
        qsizetype g = 0;
        for (const Splice& s : splices)
            g += s.inserted - s.removed;
        return g;
    }
    std::size_t bytes() const
    {
        return splices.capacity() * sizeof(Splice) +
               static_cast<std::size_t>(text.capacity()) * sizeof(QChar) +
               looks.capacity() * sizeof(Look);
    }
};
