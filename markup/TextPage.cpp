#include "markup/TextPage.h"

#include <algorithm>

namespace markup {

TextPage::TextPage(const QString& text, int blockWidth, const SpanSink& sink) : m_text(text)
{
    blockWidth = std::max(blockWidth, 1);
    int lineStart = 0;
    while (true) {
        int lineEnd = int(m_text.indexOf(u'\n', lineStart));
        const bool last = lineEnd < 0;
        if (last)
            lineEnd = int(m_text.size());
        int from = lineStart;
        do {
            const int to = std::min(from + blockWidth, lineEnd);
            m_pieces.push_back({from, to - from, from, to == lineEnd, startState});
            from = to;
        } while (from < lineEnd);
        if (last)
            break;
        lineStart = lineEnd + 1;
    }
    State state = startState;
    std::vector<Span> spans;
    for (std::size_t i = 0; i < m_pieces.size(); ++i) {
        Piece& p = m_pieces[i];
        p.state = state;
        spans.clear();
        const QStringView piece = QStringView(m_text).mid(p.offset, p.length);
        if (p.endsLine)
            state = lex(piece, state, true, spans);
        else {
            QStringView following = QStringView(m_text).mid(p.offset + p.length, lookahead);
            following = following.left(following.indexOf(u'\n') < 0 ? following.size()
                                                                   : following.indexOf(u'\n'));
            state = lex(piece, state, false, spans, following);
        }
        if (sink)
            sink(p.position, piece, spans);
    }
}

QString TextPage::piece(int i) const
{
    return m_text.mid(m_pieces[i].offset, m_pieces[i].length);
}

int TextPage::pieceAt(int position) const
{
    const auto it = std::upper_bound(m_pieces.begin(), m_pieces.end(), position,
                                     [](int p, const Piece& piece) { return p < piece.position; });
    return it == m_pieces.begin() ? 0 : int(it - m_pieces.begin()) - 1;
}

} // namespace markup
