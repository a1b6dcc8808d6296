#include "effects/PageTransitions.h"

#include "document/PageTemplate.h"

#include <algorithm>

namespace transitions {

QString tag(int transition)
{
    return QStringLiteral("<meta http-equiv=\"Page-Enter\" content=\"revealTrans(Duration=1,Transition=%1)\">")
        .arg(transition);
}

Steps pageTransition(const QString& tag, const Page& page)
{
    const int caret = std::clamp(page.savedCaret, 0, page.textLength);
    // A page shorter than the template takes the tag at its end.
    const int at = std::min(page::headEndOffset, page.textLength);
    // The saved caret keeps to the text it stood before: a caret in front of the head (a page
    // just opened has it at 0) would otherwise land inside the new tag.
    const int after = at <= caret ? caret + static_cast<int>(tag.size()) : caret;
    return {
        step::FocusEditor{},
        step::MoveCaret{caret},
        step::MoveCaret{at},
        step::InsertPiece{tag, std::nullopt},
        step::MoveCaret{after},
        step::RecordCaret{},
        step::CloseDialog{},
    };
}

} // namespace transitions
