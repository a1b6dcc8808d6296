#include "effects/DynamicAnimation.h"

#include "document/PageTemplate.h"

#include <QFile>
#include <algorithm>

namespace {

QStringList loadScript()
{
    QFile file(QStringLiteral(":/effects/dynanim_script.txt"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QString text = QString::fromUtf8(file.readAll());
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    return text.split(QLatin1Char('\n'));
}

} // namespace

// The resource lives in this static library: registered here, where it is used, since nothing
// else would pull its object file into the program.
static void initResource() { Q_INIT_RESOURCE(dynanim); }

namespace dynanim {

const QStringList& scriptPieces()
{
    static const QStringList pieces = [] {
        initResource();
        return loadScript();
    }();
    return pieces;
}

int scriptLength()
{
    static const int length = [] {
        int n = 0;
        for (const QString& piece : scriptPieces())
            n += static_cast<int>(piece.size()) + 2;
        return n;
    }();
    return length;
}

QString element(const Values& v)
{
    return QStringLiteral("<p dynamicanimation=\"") + v.effect +
           QStringLiteral("\" Style = \"position: relative !important; left: 10000 !important\" ><img src=\"") +
           v.image + QStringLiteral("\" width=\"") + v.width + QStringLiteral("\" height=\"") + v.height +
           QStringLiteral("\" alt=\"") + v.image + QStringLiteral("\"></p>");
}

Steps dynamicAnimation(const Values& v, const Page& page)
{
    int caret = std::clamp(page.savedCaret, 0, page.textLength);
    Steps s{step::MoveCaret{caret}};
    if (page.markerAt >= 0) {
        // The search leaves the marker selected; the caret moves below clear it.
        s.push_back(step::Select{page.markerAt, static_cast<int>(sizeof marker) - 1});
    } else {
        // Offsets past the end of a short page fall at its end, as the caret does.
        const QString attribute = QString::fromLatin1(onloadAttribute);
        const int attributeAt = std::min(bodyAttributeOffset + page.transitionTagLength, page.textLength);
        s.push_back(step::FocusEditor{});
        s.push_back(step::MoveCaret{attributeAt});
        s.push_back(step::InsertPiece{attribute, std::nullopt});
        if (attributeAt <= caret)
            caret += static_cast<int>(attribute.size());
        const int scriptAt = std::min(page::headEndOffset, page.textLength + static_cast<int>(attribute.size()));
        s.push_back(step::MoveCaret{scriptAt});
        for (const QString& piece : scriptPieces()) {
            s.push_back(step::InsertPiece{piece, std::nullopt});
            s.push_back(step::NewLine{});
        }
        if (scriptAt <= caret)
            caret += scriptLength();
    }
    s.push_back(step::FocusEditor{});
    s.push_back(step::MoveCaret{caret});
    s.push_back(step::InsertPiece{element(v), std::nullopt});
    s.push_back(step::RecordCaret{});
    // Unloading gives the editor the focus and records the caret once more.
    s.push_back(step::CloseDialog{});
    s.push_back(step::FocusEditor{});
    s.push_back(step::RecordCaret{});
    s.push_back(step::FocusEditor{});
    return s;
}

} // namespace dynanim
