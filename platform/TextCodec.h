#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Text encodings of plain page files.
//
// Reading: a byte-order mark decides (UTF-8, UTF-16 LE or BE); without one, bytes that are
// valid UTF-8 are UTF-8, anything else is a legacy Windows-1252 page. A UTF-8 mark on bytes
// that are not UTF-8 reads the whole file, mark included, as Windows-1252, so that every byte
// comes back on saving; a UTF-16 file of an odd length is read as UTF-16 and its stray last
// byte is kept aside, to be written back after the text.
// Writing: the page always goes back in the encoding it was read in (with its byte-order mark,
// if it had one). A character that encoding cannot hold is written as a numeric character
// reference ("&#8594;"); none is ever replaced by '?', and the encoding never changes.
namespace platform::text {

enum class Encoding { Utf8, Utf16LE, Utf16BE, Windows1252 };

// How the lines of a page file end.
enum class LineEnd { CrLf, Lf, Cr };

struct PageEncoding {
    Encoding encoding = Encoding::Utf8;
    bool bom = false;
    LineEnd lineEnd = LineEnd::CrLf;
    // The stray last byte of a UTF-16 file of an odd length (0-255), or -1.
    int trailingByte = -1;
    friend bool operator==(const PageEncoding&, const PageEncoding&) = default;
};

// What new pages are written in: UTF-8 without a byte-order mark, CR LF line ends.
inline constexpr PageEncoding newPageEncoding{};

struct Decoded {
    QString text;
    PageEncoding encoding;
    // The byte-order mark named an encoding the bytes are not in: read as Windows-1252.
    bool markMismatch = false;
    // Without a mark, the offset of the first byte that is not UTF-8, which made the page
    // Windows-1252; -1 otherwise.
    qsizetype invalidUtf8At = -1;
    // Lines ended in more than one way: encoding.lineEnd is the most frequent (CR LF, then LF,
    // on a tie).
    bool mixedLineEnds = false;
};

Decoded decode(QByteArrayView bytes);
// The text alone, decoded as decode() does, without its survey of the line ends (a search
// through files needs only the characters).
QString decodeText(QByteArrayView bytes);

// The names shown to the user: "UTF-8", "UTF-16 LE", "Windows-1252"; "CR LF", "LF", "CR".
QString encodingName(Encoding encoding);
QString lineEndName(LineEnd lineEnd);

// Whether the bytes are well-formed UTF-8 (no overlong forms, no surrogates, nothing above
// U+10FFFF, no truncated sequence); firstInvalidUtf8() gives where they stop being so, or -1.
bool isValidUtf8(QByteArrayView bytes);
qsizetype firstInvalidUtf8(QByteArrayView bytes);

// Windows-1252. The five bytes the code page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D)
// stand for the C1 controls of the same value, so every byte string survives a round trip.
QChar fromWindows1252(unsigned char byte);
// The byte for a character, or -1 when the code page has none.
int toWindows1252(char16_t ch);
QString decodeWindows1252(QByteArrayView bytes);

bool canEncode(QStringView text, Encoding encoding);
// The text in the given encoding, with the byte-order mark when asked for and the stray last
// byte after it. A character Windows-1252 cannot hold is written as a numeric character
// reference ("&#8594;", one for a whole surrogate pair); `references`, when given, receives
// how many were written. UTF-8 and Windows-1252 write a lone surrogate, which they cannot
// carry, as U+FFFD; UTF-16 writes it back as it was read.
QByteArray encode(QStringView text, PageEncoding encoding, qsizetype* references = nullptr);

// Line breaks as CR LF: a lone LF or a lone CR becomes CR LF, CR LF stays.
QString withCrlfBreaks(QStringView text);
// Every line break (CR LF, lone LF, lone CR) written as `lineEnd`.
QString withBreaks(QStringView text, LineEnd lineEnd);

// A plain page file's bytes from text with CR LF breaks: every break as the page's line end,
// in the page's encoding (encode()).
QByteArray encodePage(QStringView text, PageEncoding read, qsizetype* references = nullptr);

} // namespace platform::text
