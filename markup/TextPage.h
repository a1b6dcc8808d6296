#pragma once

#include "markup/Tags.h"

#include <QString>
#include <vector>

// A PageView over a plain text: each line is one piece, or, when longer than `blockWidth`,
// pieces of that width continued by the next, as the editor holds long lines. The states
// are lexed once, when it is made. For tests, benchmarks and any pure caller.
namespace markup {

class TextPage : public PageView {
public:
    explicit TextPage(const QString& text, int blockWidth = 128);

    int pieceCount() const override { return int(m_pieces.size()); }
    QString piece(int i) const override;
    int pieceStart(int i) const override { return m_pieces[i].position; }
    bool pieceEndsLine(int i) const override { return m_pieces[i].endsLine; }
    State stateBefore(int i) const override { return m_pieces[i].state; }
    int pieceAt(int position) const override;

private:
    struct Piece {
        int offset;    // in m_text
        int length;
        int position;  // in the page: the same as the offset, a line break counts one
        bool endsLine;
        State state;
    };
    QString m_text;
    std::vector<Piece> m_pieces;
};

} // namespace markup
