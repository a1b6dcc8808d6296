#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QRgb>
#include <QString>
#include <QStringView>
#include <vector>

// Editing files: the coloured page source as Rich Text Format.
//
// The writer produces standard RTF (font table, colour table, \cfN runs, \par breaks,
// characters beyond ASCII as \uN with a Windows-1252 fallback) that word processors open with
// the colours. The reader takes what word processors write: unknown control words and \*
// destinations are skipped, \'hh is decoded with code page 1252, \uN honours \ucN. It reads
// malformed input without crashing, hanging or growing without bound: nesting deeper than
// maxGroupDepth is read flat, the colour table is capped, \binN cannot skip past the end, and
// the output is never longer than twice the input.
namespace platform::rtf {

inline constexpr QRgb defaultColour = 0xFF000000; // black: the "auto" colour
inline constexpr int maxGroupDepth = 1000;
inline constexpr int maxColours = 4096;

// A stretch of text in one colour; line breaks are "\r\n".
struct Run {
    QString text;
    QRgb colour = defaultColour;
    friend bool operator==(const Run& a, const Run& b)
    {
        return a.text == b.text && qRgb(qRed(a.colour), qGreen(a.colour), qBlue(a.colour)) ==
                                       qRgb(qRed(b.colour), qGreen(b.colour), qBlue(b.colour));
    }
};
using Runs = std::vector<Run>;

// Appends text in a colour, joining it to the last run when that has the same colour.
void append(Runs& runs, QStringView text, QRgb colour);
QString plainText(const Runs& runs);

struct WriteOptions {
    QString fontName = QStringLiteral("MS Sans Serif");
    int halfPoints = 17; // 8.5 points
};

// Whether a file's bytes are Rich Text Format (rather than a plain page).
bool looksLikeRtf(QByteArrayView bytes);

QByteArray write(const Runs& runs, const WriteOptions& options = {});
Runs read(QByteArrayView rtf);

} // namespace platform::rtf
