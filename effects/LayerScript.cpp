#include "effects/LayerScript.h"

#include <limits>

namespace layering {

using namespace step;

namespace {

bool isBlank(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); }
bool isDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

// Exponents beyond this make any non-zero mantissa far too large (or round it to zero).
constexpr long long exponentCap = 1000000;

} // namespace

std::optional<qint32> toWholeNumber(QStringView text)
{
    qsizetype i = 0;
    qsizetype end = text.size();
    while (i < end && isBlank(text[i]))
        ++i;
    while (end > i && isBlank(text[end - 1]))
        --end;

    bool negative = false;
    if (i < end && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    // The mantissa's digits without the point, and how many stood before it.
    QString digits;
    long long pointAt = 0;
    while (i < end && isDigit(text[i])) {
        digits += text[i++];
        ++pointAt;
    }
    if (i < end && text[i] == QLatin1Char('.')) {
        ++i;
        while (i < end && isDigit(text[i]))
            digits += text[i++];
    }
    if (digits.isEmpty())
        return std::nullopt;
    if (i < end && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        ++i;
        bool negativeExponent = false;
        if (i < end && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
            negativeExponent = text[i] == QLatin1Char('-');
            ++i;
        }
        if (i == end || !isDigit(text[i]))
            return std::nullopt;
        long long exponent = 0;
        while (i < end && isDigit(text[i])) {
            exponent = std::min(exponentCap, exponent * 10 + text[i].digitValue());
            ++i;
        }
        pointAt += negativeExponent ? -exponent : exponent;
    }
    if (i != end)
        return std::nullopt;

    // Leading zeros move the point; trailing zeros of the fraction change nothing.
    qsizetype first = 0;
    while (first < digits.size() && digits[first] == QLatin1Char('0')) {
        ++first;
        --pointAt;
    }
    digits = digits.mid(first);
    while (!digits.isEmpty() && digits.back() == QLatin1Char('0'))
        digits.chop(1);
    if (digits.isEmpty())
        return 0;
    if (pointAt > 10) // eleven or more whole digits
        return std::nullopt;

    long long whole = 0;
    for (long long k = 0; k < pointAt; ++k)
        whole = whole * 10 + (k < digits.size() ? digits[k].digitValue() : 0);
    if (pointAt >= 0 && pointAt < digits.size()) {
        // Round to the nearest; exactly half goes to the even neighbour.
        const int firstFraction = digits[pointAt].digitValue();
        const bool moreAfterIt = pointAt + 1 < digits.size();
        if (firstFraction > 5 || (firstFraction == 5 && (moreAfterIt || whole % 2 == 1)))
            ++whole;
    }
    const long long value = negative ? -whole : whole;
    if (value < std::numeric_limits<qint32>::min() || value > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return static_cast<qint32>(value);
}

QString imageTag1(const Values& v, qint32 top1)
{
    return QStringLiteral("<IMG SRC=\"") + v.image1 +
           QStringLiteral("\" ID=graphic1 STYLE=\"container:positioned; position:absolute; top:") +
           QString::number(top1) + QStringLiteral("; left:0; height:") + v.height1 +
           QStringLiteral("; width:") + v.width1 + QStringLiteral("; zIndex:1\" > ");
}

QString imageTag2(const Values& v, qint32 top2, qint32 left)
{
    return QStringLiteral("<IMG SRC=\"") + v.image2 +
           QStringLiteral("\" ID=graphic2 STYLE=\"container:positioned; position:absolute; top:") +
           QString::number(top2) + QStringLiteral("; left:") + QString::number(left) +
           QStringLiteral("; height:") + v.height2 + QStringLiteral("; width:") + v.width2 +
           QStringLiteral("; zIndex:2\">");
}

Outcome apply(const Values& v)
{
    const std::optional<qint32> left = toWholeNumber(v.left);
    const std::optional<qint32> top1 = toWholeNumber(v.top1);
    const std::optional<qint32> top2 = toWholeNumber(v.top2);
    Outcome out;
    if (!left || !top1 || !top2) {
        out.failed = true; // before anything is inserted
        return out;
    }
    Steps& s = out.steps;
    auto piece = [&s](const QString& text) {
        s.push_back(InsertPiece{text, colour});
        s.push_back(NewLine{});
    };
    s.push_back(FocusEditor{});
    piece(imageTag1(v, *top1));
    piece(imageTag2(v, *top2, *left));
    piece(QStringLiteral("<SCRIPT LANGUAGE=\"JavaScript\">"));
    piece(QStringLiteral("function slide_em() {"));
    piece(QStringLiteral("where++;"));

    // The turning point 2L is needed from the sixth piece on; what went in before stays.
    const long long twice = 2LL * *left;
    if (twice < std::numeric_limits<qint32>::min() || twice > std::numeric_limits<qint32>::max()) {
        out.failed = true;
        return out;
    }
    const QString l = QString::number(*left);
    const QString l2 = QString::number(twice);
    piece(QStringLiteral("if (where<") + l2 + QStringLiteral(") {"));
    piece(QStringLiteral("place=where;"));
    piece(QStringLiteral("if (place>") + l + QStringLiteral(") {place=(") + l2 +
          QStringLiteral("-where);}"));
    piece(QStringLiteral("graphic1.style.left=place;"));
    piece(QStringLiteral("graphic2.style.left=(") + l + QStringLiteral("-place);"));
    piece(QStringLiteral("if (where==") + l + QStringLiteral(") {"));
    piece(QStringLiteral("graphic2.style.zIndex=1;"));
    piece(QStringLiteral("graphic1.style.zIndex=2;"));
    piece(QStringLiteral("}"));
    piece(QStringLiteral("timer=setTimeout(\"slide_em()\", 20);"));
    piece(QStringLiteral("}"));
    piece(QStringLiteral("}"));
    piece(QStringLiteral("var where=0;"));
    piece(QStringLiteral("slide_em();"));
    piece(QStringLiteral("</SCRIPT>"));
    s.insert(s.end(), {SetColour{colours::black}, CloseDialog{}, RecordCaret{}});
    return out;
}

Steps unloadSteps() { return {CloseDialog{}, RecordCaret{}}; }

} // namespace layering
