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
// output is never longer than twice the input, and reading stops at a page larger than the
// editor is given (maxRuns, maxLines, maxCharacters).
namespace platform::rtf {

inline constexpr QRgb defaultColour = 0xFF000000; // black: the "auto" colour
inline constexpr int maxGroupDepth = 1000;
inline constexpr int maxColours = 4096;
// The largest page the editor is given, so that any editing file up to the size limit opens
// or is turned away within seconds and well under 1.5 GB. The editor takes about two
// microseconds and a hundred bytes for each colour run, two microseconds and 370 bytes for
// each line, and 40 nanoseconds and ten bytes for each character: a page at all three limits
// loads in about four seconds. A page coloured by the commands changes colour every ten to
// thirty characters, so these admit ten megabytes and more of densely marked source; a file
// that changes colour, or breaks the line, at every character is turned away after a few
// megabytes have been read, instead of taking gigabytes and minutes.
inline constexpr std::size_t maxRuns = 250'000;
inline constexpr qsizetype maxLines = 500'000;
inline constexpr qsizetype maxCharacters = qsizetype(32) * 1024 * 1024; // a break counts two

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
// Which limit a page went past; reading stopped there.
enum class Overflow { None, Runs, Lines, Characters };

// The page of an editing file. Reading stops as soon as the page goes past one of the limits;
// `overflow`, when given, says which (None: the whole content was read).
Runs read(QByteArrayView rtf, Overflow* overflow = nullptr);

} // namespace platform::rtf
