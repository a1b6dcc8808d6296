#pragma once

// Steps written out one per line, so that a generator's output reads like its table in a
// failure message: Insert[r,g,b](text), Insert[none](text), NewLine, ...

#include "document/Steps.h"

#include <QStringList>
#include <type_traits>

namespace testkit {

inline QString stepText(const Step& s)
{
    using namespace step;
    auto colour = [](const std::optional<Rgb>& c) {
        return c ? QStringLiteral("%1,%2,%3").arg(c->r).arg(c->g).arg(c->b) : QStringLiteral("none");
    };
    return std::visit(
        [&](const auto& v) -> QString {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, InsertPiece>)
                return QStringLiteral("Insert[%1](%2)").arg(colour(v.colour), v.text);
            else if constexpr (std::is_same_v<T, InsertCaptured>)
                return QStringLiteral("Captured[%1]").arg(colour(v.colour));
            else if constexpr (std::is_same_v<T, InsertCapturedJoined>)
                return QStringLiteral("Joined[%1](%2|%3)").arg(colour(v.colour), v.before, v.after);
            else if constexpr (std::is_same_v<T, SetColour>)
                return QStringLiteral("SetColour[%1]").arg(colour(v.colour));
            else if constexpr (std::is_same_v<T, MoveCaret>)
                return QStringLiteral("MoveCaret(%1)").arg(v.position);
            else if constexpr (std::is_same_v<T, Select>)
                return QStringLiteral("Select(%1,%2)").arg(v.start).arg(v.length);
            else if constexpr (std::is_same_v<T, ActivateDocument>)
                return QStringLiteral("ActivateDocument");
            else if constexpr (std::is_same_v<T, FocusEditor>)
                return QStringLiteral("FocusEditor");
            else if constexpr (std::is_same_v<T, CaptureSelection>)
                return QStringLiteral("CaptureSelection");
            else if constexpr (std::is_same_v<T, NewLine>)
                return QStringLiteral("NewLine");
            else if constexpr (std::is_same_v<T, RecordCaret>)
                return QStringLiteral("RecordCaret");
            else
                return QStringLiteral("CloseDialog");
        },
        s);
}

inline QStringList stepsText(const Steps& steps)
{
    QStringList out;
    for (const Step& s : steps)
        out << stepText(s);
    return out;
}

} // namespace testkit
