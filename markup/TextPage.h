#pragma once

#include "markup/Tags.h"

#include <QString>
#include <functional>
#include <vector>

// A PageView over a plain text: each line is one piece, or, when longer than `blockWidth`,
// pieces of that width continued by the next, as the editor holds long lines. The states
// are lexed once, when it is made. For tests, benchmarks and any pure caller; one that needs
// the lexer's spans too reads them from `sink` in the same pass (each piece's spans with its
// text and its position in the page).
namespace markup {

class TextPage : public PageView {
public:
    using SpanSink =
        std::function<void(int position, QStringView piece, const std::vector<Span>& spans)>;
    explicit TextPage(const QString& text, int blockWidth = 128, const SpanSink& sink = {});

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
