#include "insert/PageColours.h"

namespace pagecolours {

using namespace step;

QString hexComponent(int value)
{
    QString digits = QString::number(value, 16).toUpper();
    if (digits.size() == 1)
        digits.prepend(QLatin1Char('0'));
    return digits;
}

namespace {

bool isBlack(const Rgb& c) { return c == colours::black; }

QString hex(const Rgb& c) { return hexComponent(c.r) + hexComponent(c.g) + hexComponent(c.b); }

} // namespace

std::pair<QString, QString> bodyTagHalves(const Colours& in)
{
    Colours c = in;
    if (isBlack(c.background) && isBlack(c.text) && isBlack(c.link)) {
        c.background = {255, 255, 255};
        c.link = {255, 0, 0};
        c.visited = {0, 0, 255};
    }
    const QString quote = QStringLiteral("\"");
    QString first = QStringLiteral("<BODY BGCOLOR=\"#") + hex(c.background) + quote +
                    QStringLiteral(" TEXT= \"#") + hex(c.text) + quote;
    QString second = QStringLiteral(" LINK= \"#") + hex(c.link) + quote +
                     QStringLiteral(" VLINK= \"#") + hex(c.visited) + quote + QStringLiteral(" > ");
    return {first, second};
}

QString bodyTag(const Colours& colours)
{
    const auto [first, second] = bodyTagHalves(colours);
    return first + second;
}

Steps applySteps(const QString& tag)
{
    return {Select{bodyOffset, bodyLength},
            InsertPiece{QStringLiteral("   "), std::nullopt},
            MoveCaret{bodyOffset},
            InsertPiece{tag, std::nullopt},
            MoveCaret{caretAfter},
            CloseDialog{},
            FocusEditor{},
            RecordCaret{}};
}

} // namespace pagecolours
