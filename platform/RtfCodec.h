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
// maxGroupDepth is read flat, the colour table is capped, \binN cannot skip past the end, the
// output is never longer than twice the input, and reading stops after maxRuns colour runs.
namespace platform::rtf {

inline constexpr QRgb defaultColour = 0xFF000000; // black: the "auto" colour
inline constexpr int maxGroupDepth = 1000;
inline constexpr int maxColours = 4096;
// The most colour runs a page may have. Each costs the editor about two microseconds and a
// hundred bytes to show, so a million load in a couple of seconds; a page coloured by the
// commands changes colour every ten to thirty characters, so this admits tens of megabytes of
// densely marked source, while a file that changes colour at every character is turned away
// after reading a few megabytes of it, instead of taking gigabytes and minutes.
inline constexpr std::size_t maxRuns = 1'000'000;

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
// The page of an editing file. Reading stops once it has found more than maxRuns runs:
// `complete`, when given, says whether the whole content was read.
Runs read(QByteArrayView rtf, bool* complete = nullptr);

} // namespace platform::rtf
