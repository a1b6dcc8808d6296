#include "platform/TextCodec.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

namespace platform::text {

namespace {

// Windows-1252 bytes 0x80 to 0x9F; the undefined ones keep their C1 control.
constexpr std::array<char16_t, 32> highControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 98-9F
};

constexpr unsigned char utf8Bom[] = {0xEF, 0xBB, 0xBF};

bool startsWith(QByteArrayView bytes, std::initializer_list<unsigned char> prefix)
{
    if (bytes.size() < static_cast<qsizetype>(prefix.size()))
        return false;
    qsizetype i = 0;
    for (unsigned char b : prefix)
        if (static_cast<unsigned char>(bytes[i++]) != b)
            return false;
    return true;
}

// `bytes` holds whole code units (an even number of bytes).
QString decodeUtf16(QByteArrayView bytes, bool bigEndian)
{
    const qsizetype units = bytes.size() / 2;
    QString out(units, Qt::Uninitialized);
    char16_t* dst = reinterpret_cast<char16_t*>(out.data());
    const auto* src = reinterpret_cast<const unsigned char*>(bytes.data());
    for (qsizetype i = 0; i < units; ++i) {
        const unsigned hi = bigEndian ? src[2 * i] : src[2 * i + 1];
        const unsigned lo = bigEndian ? src[2 * i + 1] : src[2 * i];
        dst[i] = static_cast<char16_t>((hi << 8) | lo);
    }
    return out;
}

void appendUtf16(QByteArray& out, QStringView text, bool bigEndian)
{
    const qsizetype start = out.size();
    out.resize(start + text.size() * 2);
    auto* dst = reinterpret_cast<unsigned char*>(out.data()) + start;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        dst[2 * i] = static_cast<unsigned char>(bigEndian ? u >> 8 : u & 0xFF);
        dst[2 * i + 1] = static_cast<unsigned char>(bigEndian ? u & 0xFF : u >> 8);
    }
}

void appendUtf8(QByteArray& out, QStringView text)
{
    out.reserve(out.size() + text.size() * 3 / 2 + 16);
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(static_cast<char16_t>(c), text[i + 1].unicode());
            ++i;
        } else if (QChar::isSurrogate(c)) {
            c = 0xFFFD;
        }
        if (c < 0x80) {
            out.append(static_cast<char>(c));
        } else if (c < 0x800) {
            out.append(static_cast<char>(0xC0 | (c >> 6)));
            out.append(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.append(static_cast<char>(0xE0 | (c >> 12)));
            out.append(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.append(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.append(static_cast<char>(0xF0 | (c >> 18)));
            out.append(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out.append(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.append(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
}

} // namespace

bool isValidUtf8(QByteArrayView bytes) { return firstInvalidUtf8(bytes) < 0; }

qsizetype firstInvalidUtf8(QByteArrayView bytes)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n) {
        const unsigned char b = p[i];
        if (b < 0x80) {
            ++i;
            continue;
        }
        int len = 0;
        unsigned char lo = 0x80, hi = 0xBF; // allowed range of the second byte
        if (b >= 0xC2 && b <= 0xDF) {
            len = 2;
        } else if (b >= 0xE0 && b <= 0xEF) {
            len = 3;
            if (b == 0xE0)
                lo = 0xA0; // no overlong forms
            else if (b == 0xED)
                hi = 0x9F; // no surrogates
        } else if (b >= 0xF0 && b <= 0xF4) {
            len = 4;
            if (b == 0xF0)
                lo = 0x90;
            else if (b == 0xF4)
                hi = 0x8F; // nothing above U+10FFFF
        } else {
            return i;
        }
        if (i + len > n)
            return i;
        if (p[i + 1] < lo || p[i + 1] > hi)
            return i;
        for (int k = 2; k < len; ++k)
            if ((p[i + k] & 0xC0) != 0x80)
                return i;
        i += len;
    }
    return -1;
}

QChar fromWindows1252(unsigned char byte)
{
    if (byte >= 0x80 && byte <= 0x9F)
        return QChar(highControls[byte - 0x80]);
    return QChar(static_cast<char16_t>(byte));
}

int toWindows1252(char16_t ch)
{
    if (ch < 0x80 || (ch >= 0xA0 && ch <= 0xFF))
        return ch;
    for (std::size_t i = 0; i < highControls.size(); ++i)
        if (highControls[i] == ch)
            return static_cast<int>(0x80 + i);
    return -1;
}

QString decodeWindows1252(QByteArrayView bytes)
{
    QString out(bytes.size(), Qt::Uninitialized);
    QChar* dst = out.data();
    for (qsizetype i = 0; i < bytes.size(); ++i)
        dst[i] = fromWindows1252(static_cast<unsigned char>(bytes[i]));
    return out;
}

namespace {

Decoded decodeBytes(QByteArrayView bytes)
{
    if (startsWith(bytes, {0xEF, 0xBB, 0xBF})) {
        if (!isValidUtf8(bytes.sliced(3))) {
            // A mark whose encoding the bytes are not in: the whole file, mark included, as
            // Windows-1252, which gives every byte back as it was.
            Decoded d{decodeWindows1252(bytes), {Encoding::Windows1252, false}};
            d.markMismatch = true;
            return d;
        }
        return {QString::fromUtf8(bytes.sliced(3)), {Encoding::Utf8, true}};
    }
    const bool littleEndian = startsWith(bytes, {0xFF, 0xFE});
    if (littleEndian || startsWith(bytes, {0xFE, 0xFF})) {
        // An odd length is a file cut short inside its last code unit: the whole units are
        // the page, the byte left over is written back after it.
        const qsizetype whole = bytes.size() & ~qsizetype(1);
        Decoded d{decodeUtf16(bytes.sliced(2, whole - 2), !littleEndian),
                  {littleEndian ? Encoding::Utf16LE : Encoding::Utf16BE, true}};
        if (whole < bytes.size())
            d.encoding.trailingByte = static_cast<unsigned char>(bytes.back());
        return d;
    }
    // Most pages are plain ASCII: the run of it at the start is passed over eight bytes at a
    // time, and a page that is nothing else is taken as it is.
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    qsizetype ascii = 0;
    for (std::uint64_t word; ascii + 8 <= bytes.size(); ascii += 8) {
        std::memcpy(&word, p + ascii, 8);
        if (word & 0x8080808080808080ULL)
            break;
    }
    while (ascii < bytes.size() && p[ascii] < 0x80)
        ++ascii;
    if (ascii == bytes.size())
        return {QString::fromLatin1(bytes), {Encoding::Utf8, false}};
    qsizetype invalid = firstInvalidUtf8(bytes.sliced(ascii));
    if (invalid < 0)
        return {QString::fromUtf8(bytes), {Encoding::Utf8, false}};
    invalid += ascii;
    Decoded d{decodeWindows1252(bytes), {Encoding::Windows1252, false}};
    d.invalidUtf8At = invalid;
    return d;
}

} // namespace

QString decodeText(QByteArrayView bytes)
{
    return decodeBytes(bytes).text;
}

Decoded decode(QByteArrayView bytes)
{
    Decoded d = decodeBytes(bytes);
    qsizetype crlf = 0, lf = 0, cr = 0;
    const QChar* p = d.text.constData();
    const qsizetype n = d.text.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (p[i] == QLatin1Char('\r')) {
            if (i + 1 < n && p[i + 1] == QLatin1Char('\n')) {
                ++crlf;
                ++i;
            } else {
                ++cr;
            }
        } else if (p[i] == QLatin1Char('\n')) {
            ++lf;
        }
    }
    if (lf > crlf && lf >= cr)
        d.encoding.lineEnd = LineEnd::Lf;
    else if (cr > crlf && cr > lf)
        d.encoding.lineEnd = LineEnd::Cr;
    d.mixedLineEnds = (crlf > 0) + (lf > 0) + (cr > 0) > 1;
    return d;
}

QString encodingName(Encoding encoding)
{
    switch (encoding) {
    case Encoding::Utf8:
        return QStringLiteral("UTF-8");
    case Encoding::Utf16LE:
        return QStringLiteral("UTF-16 LE");
    case Encoding::Utf16BE:
        return QStringLiteral("UTF-16 BE");
    case Encoding::Windows1252:
        break;
    }
    return QStringLiteral("Windows-1252");
}

QString lineEndName(LineEnd lineEnd)
{
    switch (lineEnd) {
    case LineEnd::Lf:
        return QStringLiteral("LF");
    case LineEnd::Cr:
        return QStringLiteral("CR");
    case LineEnd::CrLf:
        break;
    }
    return QStringLiteral("CR LF");
}

bool canEncode(QStringView text, Encoding encoding)
{
    if (encoding != Encoding::Windows1252)
        return true;
    for (const QChar c : text)
        if (toWindows1252(c.unicode()) < 0)
            return false;
    return true;
}

namespace {

// Windows-1252 bytes for the text; what the code page lacks as numeric character references.
qsizetype appendWindows1252(QByteArray& out, QStringView text)
{
    const qsizetype start = out.size();
    out.resize(start + text.size());
    char* dst = out.data() + start;
    qsizetype references = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (const int b = toWindows1252(u); b >= 0) {
            *dst++ = static_cast<char>(b);
            continue;
        }
        char32_t c = u;
        if (QChar::isHighSurrogate(u) && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            c = QChar::surrogateToUcs4(u, text[++i].unicode());
        else if (QChar::isSurrogate(u))
            c = 0xFFFD;
        const QByteArray reference = "&#" + QByteArray::number(static_cast<uint>(c)) + ';';
        // The references make the page longer than its characters: grow as they come.
        const qsizetype at = dst - out.constData();
        out.resize(out.size() + reference.size() - 1);
        dst = std::copy(reference.cbegin(), reference.cend(), out.data() + at);
        ++references;
    }
    out.truncate(dst - out.constData());
    return references;
}

} // namespace

QByteArray encode(QStringView text, PageEncoding encoding, qsizetype* references)
{
    QByteArray out;
    qsizetype written = 0;
    switch (encoding.encoding) {
    case Encoding::Utf8:
        if (encoding.bom)
            out.append(reinterpret_cast<const char*>(utf8Bom), 3);
        appendUtf8(out, text);
        break;
    case Encoding::Utf16LE:
        if (encoding.bom)
            out.append("\xFF\xFE", 2);
        appendUtf16(out, text, false);
        break;
    case Encoding::Utf16BE:
        if (encoding.bom)
            out.append("\xFE\xFF", 2);
        appendUtf16(out, text, true);
        break;
    case Encoding::Windows1252:
        written = appendWindows1252(out, text);
        break;
    }
    if (encoding.trailingByte >= 0)
        out.append(static_cast<char>(encoding.trailingByte));
    if (references)
        *references = written;
    return out;
}

QString withCrlfBreaks(QStringView text)
{
    bool alreadyCrlf = true;
    for (qsizetype i = 0; i < text.size() && alreadyCrlf; ++i) {
        if (text[i] == QLatin1Char('\r'))
            alreadyCrlf = i + 1 < text.size() && text[++i] == QLatin1Char('\n');
        else if (text[i] == QLatin1Char('\n'))
            alreadyCrlf = false;
    }
    if (alreadyCrlf)
        return text.toString();
    QString out;
    out.reserve(text.size() + text.size() / 32 + 16);
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\r')) {
            out += QLatin1String("\r\n");
            if (i + 1 < n && text[i + 1] == QLatin1Char('\n'))
                ++i;
        } else if (c == QLatin1Char('\n')) {
            out += QLatin1String("\r\n");
        } else {
            out += c;
        }
    }
    return out;
}

QString withBreaks(QStringView text, LineEnd lineEnd)
{
    if (lineEnd == LineEnd::CrLf)
        return withCrlfBreaks(text);
    const QChar end = lineEnd == LineEnd::Lf ? QLatin1Char('\n') : QLatin1Char('\r');
    QString out(text.size(), Qt::Uninitialized);
    QChar* dst = out.data();
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            if (c == QLatin1Char('\r') && i + 1 < n && text[i + 1] == QLatin1Char('\n'))
                ++i;
            *dst++ = end;
        } else {
            *dst++ = c;
        }
    }
    out.truncate(dst - out.constData());
    return out;
}

QByteArray encodePage(QStringView text, PageEncoding read, qsizetype* references)
{
    return encode(withBreaks(text, read.lineEnd), read, references);
}

} // namespace platform::text
