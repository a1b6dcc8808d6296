#pragma once

#include <QStringView>
#include <cstddef>
#include <vector>

class UndoTarget;

// Whether a page's text differs from the text it was last read from or written to a file
// with (or, for a new page, from the template it started with).
//
// It keeps no copy of that text: only a hash of every fixed-size chunk of it, and the span
// of the page in which edits may have made the two differ. An edit only narrows the parts
// known to be equal (constant time); the page is compared, chunk by chunk over that span,
// only when its length is back to the saved length, and every chunk found equal leaves the
// span, so typing never costs a compare of the whole page.
class SaveTracker {
public:
    static constexpr int chunkLength = 4096;

    // The given text (line breaks as CR LF) is now the saved text.
    void setBaseline(QStringView text);
    void setBaseline(const UndoTarget& page);
    // The page differs from every saved text until the next setBaseline (a page recovered
    // after a crash, whose file may hold anything).
    void setUnsaved();

    // At pos, `removed` characters were replaced by `inserted`; the page is newLength long.
    void noteEdit(int pos, int removed, int inserted, int newLength);

    // Compares what is needed of the page; narrows the span by what it finds equal.
    bool isModified(const UndoTarget& page);

private:
    bool chunkMatches(const UndoTarget& page, int chunk) const;

    std::vector<std::size_t> m_chunks;
    int m_length = 0;  // length of the saved text; -1 when there is none
    int m_prefix = 0;  // the page and the saved text agree on this many leading characters
    int m_suffix = 0;  // ... and on this many trailing ones
};
