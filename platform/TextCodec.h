#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Text encodings of plain page files.
//
// Reading: a byte-order mark decides (UTF-8, UTF-16 LE or BE); without one, bytes that are
// valid UTF-8 are UTF-8, anything else is a legacy Windows-1252 page. Bytes that do not decode
// cleanly in the encoding their mark claims (invalid UTF-8, a stray last byte of UTF-16) are
// read as Windows-1252 as a whole, mark included, so that every byte comes back on saving.
// Writing: the page goes back in the encoding it was read in (with its byte-order mark, if it
// had one) when that encoding can hold every character of the text, otherwise in UTF-8, and
// with the line ends it was read with. No character is ever replaced by '?'.
namespace platform::text {

enum class Encoding { Utf8, Utf16LE, Utf16BE, Windows1252 };

// How the lines of a page file end.
enum class LineEnd { CrLf, Lf, Cr };

struct PageEncoding {
    Encoding encoding = Encoding::Utf8;
    bool bom = false;
    LineEnd lineEnd = LineEnd::CrLf;
    friend bool operator==(const PageEncoding&, const PageEncoding&) = default;
};

// What new pages are written in: UTF-8 without a byte-order mark, CR LF line ends.
inline constexpr PageEncoding newPageEncoding{};

struct Decoded {
    QString text;
    PageEncoding encoding;
    // The byte-order mark named an encoding the bytes are not in: read as Windows-1252.
    bool markMismatch = false;
    // Lines ended in more than one way: encoding.lineEnd is the most frequent (CR LF, then LF,
    // on a tie).
    bool mixedLineEnds = false;
};

Decoded decode(QByteArrayView bytes);

// The names shown to the user: "UTF-8", "UTF-16 LE", "Windows-1252"; "CR LF", "LF", "CR".
QString encodingName(Encoding encoding);
QString lineEndName(LineEnd lineEnd);

// Whether the bytes are well-formed UTF-8 (no overlong forms, no surrogates, nothing above
// U+10FFFF, no truncated sequence).
bool isValidUtf8(QByteArrayView bytes);

// Windows-1252. The five bytes the code page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D)
// stand for the C1 controls of the same value, so every byte string survives a round trip.
QChar fromWindows1252(unsigned char byte);
// The byte for a character, or -1 when the code page has none.
int toWindows1252(char16_t ch);
QString decodeWindows1252(QByteArrayView bytes);

bool canEncode(QStringView text, Encoding encoding);
// The text in the given encoding, with the byte-order mark when asked for. Characters the
// encoding cannot hold must have been ruled out with canEncode(); UTF-8 writes a lone
// surrogate (which no Unicode form can carry) as U+FFFD.
QByteArray encode(QStringView text, PageEncoding encoding);

// The encoding a page read in `read` is saved in.
PageEncoding encodingForSave(QStringView text, PageEncoding read);

// Line breaks as CR LF: a lone LF or a lone CR becomes CR LF, CR LF stays.
QString withCrlfBreaks(QStringView text);
// Every line break (CR LF, lone LF, lone CR) written as `lineEnd`.
QString withBreaks(QStringView text, LineEnd lineEnd);

// A plain page file's bytes: the line ends and, when it can hold the text, the encoding the
// page was read in (encodingForSave); `used` receives what was chosen.
QByteArray encodePage(QStringView text, PageEncoding read, PageEncoding* used = nullptr);

} // namespace platform::text
