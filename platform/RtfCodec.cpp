#include "platform/RtfCodec.h"
#include "platform/RtfWhole.h"

#include "platform/TextCodec.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstring>
#include <string_view>
#include <unordered_map>

namespace platform::rtf {

void append(Runs& runs, QStringView text, QRgb colour)
{
    if (text.isEmpty())
        return;
    if (!runs.empty() && runs.back().colour == colour)
        runs.back().text += text;
    else
        runs.push_back({text.toString(), colour});
}

QString plainText(const Runs& runs)
{
    QString out;
    qsizetype n = 0;
    for (const Run& r : runs)
        n += r.text.size();
    out.reserve(n);
    for (const Run& r : runs)
        out += r.text;
    return out;
}

bool looksLikeRtf(QByteArrayView bytes) { return bytes.startsWith("{\\rtf"); }

// --- writing -----------------------------------------------------------------------------

namespace {

void appendNumber(QByteArray& out, long long n) { out.append(QByteArray::number(n)); }

void appendHexByte(QByteArray& out, int b)
{
    static const char digits[] = "0123456789abcdef";
    out.append("\\'");
    out.append(digits[(b >> 4) & 0xF]);
    out.append(digits[b & 0xF]);
}

void appendEscaped(QByteArray& out, QStringView text)
{
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text[i].unicode();
        switch (c) {
        case u'\\':
        case u'{':
        case u'}':
            out.append('\\');
            out.append(static_cast<char>(c));
            continue;
        case u'\r':
            if (i + 1 < n && text[i + 1] == QLatin1Char('\n'))
                ++i;
            out.append("\\par\r\n");
            continue;
        case u'\n':
            out.append("\\par\r\n");
            continue;
        case u'\t':
            out.append("\\tab ");
            continue;
        default:
            break;
        }
        if (c < 0x20 || c == 0x7F) {
            appendHexByte(out, c);
        } else if (c < 0x80) {
            out.append(static_cast<char>(c));
        } else {
            // \uN takes a signed 16-bit number; readers without Unicode use the fallback.
            out.append("\\u");
            appendNumber(out, static_cast<int16_t>(c));
            const int fallback = text::toWindows1252(c);
            if (fallback >= 0x80)
                appendHexByte(out, fallback);
            else
                out.append('?');
        }
    }
}

QByteArray fontNameBytes(const QString& name)
{
    QByteArray out;
    for (const QChar ch : name) {
        const char16_t c = ch.unicode();
        // A font name ends at ';' and cannot hold braces or backslashes.
        if (c == u';' || c == u'{' || c == u'}' || c == u'\\' || c < 0x20 || c >= 0x80)
            continue;
        out.append(static_cast<char>(c));
    }
    return out.isEmpty() ? QByteArray("MS Sans Serif") : out;
}

} // namespace

QByteArray write(const Runs& runs, const WriteOptions& options)
{
    std::vector<QRgb> table;
    std::unordered_map<QRgb, int> index;
    for (const Run& r : runs) {
        const QRgb c = r.colour | 0xFF000000u;
        if (!r.text.isEmpty() && index.emplace(c, static_cast<int>(table.size()) + 1).second)
            table.push_back(c);
    }

    qsizetype size = 0;
    for (const Run& r : runs)
        size += r.text.size();
    QByteArray out;
    out.reserve(size + size / 8 + 256);
    out.append("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil\\fcharset0 ");
    out.append(fontNameBytes(options.fontName));
    out.append(";}}\r\n{\\colortbl ;");
    for (QRgb c : table) {
        out.append("\\red");
        appendNumber(out, qRed(c));
        out.append("\\green");
        appendNumber(out, qGreen(c));
        out.append("\\blue");
        appendNumber(out, qBlue(c));
        out.append(';');
    }
    out.append("}\r\n\\viewkind4\\uc1\\pard\\f0\\fs");
    appendNumber(out, std::clamp(options.halfPoints, 1, 3276));
    out.append(' ');

    int current = 0;
    for (const Run& r : runs) {
        if (r.text.isEmpty())
            continue;
        const int cf = index.at(r.colour | 0xFF000000u);
        if (cf != current) {
            out.append("\\cf");
            appendNumber(out, cf);
            out.append(' ');
            current = cf;
        }
        appendEscaped(out, r.text);
    }
    out.append("}\r\n");
    return out;
}

// --- reading -----------------------------------------------------------------------------

namespace {

enum class Destination : unsigned char { Text, Skip, ColourTable };

struct State {
    int colour = 0;  // index into the colour table
    int uc = 1;      // characters that follow \uN as its fallback
    Destination destination = Destination::Text;
    bool hidden = false;
};

// Destinations whose content is not page text.
constexpr std::string_view skippedDestinations[] = {
    "annotation", "atnauthor", "atndate", "atnid", "atnparent", "atnref", "atntime", "author",
    "bkmkend", "bkmkstart", "buptim", "category", "colorschememapping", "comment", "company",
    "creatim", "datastore", "docvar", "doccomm", "falt", "fchars", "ffdeftext", "ffentrymcr",
    "ffexitmcr", "ffformat", "ffhelptext", "ffl", "ffname", "ffstattext", "file",
    "filetbl", "fldinst", "fontemb", "fontfile", "fonttbl", "footer", "footerf", "footerl",
    "footerr", "footnote", "ftncn", "ftnsep", "ftnsepc", "generator", "header", "headerf",
    "headerl", "headerr", "hlinkbase", "info", "keywords", "latentstyles", "lchars", "listlevel",
    "listoverridetable", "listpicture", "listtable", "listtext", "manager", "mmath", "nonshppict",
    "object", "objdata", "operator", "pgdsctbl", "pict", "pn", "pnseclvl", "pntext", "pntxta",
    "pntxtb", "printim", "private", "revtbl", "revtim", "rsidtbl", "shp", "shpinst", "shppict",
    "sn", "sp", "stylesheet", "subject", "sv", "tc", "template", "themedata", "title", "txe",
    "userprops", "wgrffmtfilter", "xe", "xmlnstbl",
};

bool isSkippedDestination(std::string_view word)
{
    return std::find(std::begin(skippedDestinations), std::end(skippedDestinations), word) !=
           std::end(skippedDestinations);
}

struct Symbol {
    std::string_view word;
    char16_t ch;
};
constexpr Symbol symbols[] = {
    {"emdash", 0x2014}, {"endash", 0x2013},   {"emspace", 0x2003}, {"enspace", 0x2002},
    {"qmspace", 0x2005}, {"bullet", 0x2022},  {"lquote", 0x2018},  {"rquote", 0x2019},
    {"ldblquote", 0x201C}, {"rdblquote", 0x201D}, {"zwj", 0x200D}, {"zwnj", 0x200C},
    {"ltrmark", 0x200E}, {"rtlmark", 0x200F},
};

bool isHex(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return c - 'A' + 10;
}

class Reader {
public:
    Reader(QByteArrayView in, bool limited) : m_in(in), m_limited(limited) {}

    Runs run()
    {
        m_stack.reserve(64);
        const qsizetype n = m_in.size();
        while (m_pos < n && !full()) {
            const char c = m_in[m_pos];
            if (c == '{') {
                ++m_pos;
                m_skipPending = 0;
                if (static_cast<int>(m_stack.size()) < maxGroupDepth)
                    m_stack.push_back(m_state);
                else
                    ++m_overflow; // too deep: read on in the enclosing group's state
            } else if (c == '}') {
                ++m_pos;
                m_skipPending = 0;
                closeGroup();
            } else if (c == '\\') {
                controlSequence();
            } else if (c == '\r' || c == '\n') {
                ++m_pos; // line breaks in the file are not text
            } else {
                ++m_pos;
                if (m_state.destination == Destination::ColourTable) {
                    if (c == ';')
                        endColour();
                    continue;
                }
                if (m_state.destination == Destination::Skip && m_skipPending == 0) {
                    // Text nobody reads (pictures, embedded data): on to the next brace or
                    // control sequence at once.
                    while (m_pos < n && m_in[m_pos] != '{' && m_in[m_pos] != '}' && m_in[m_pos] != '\\')
                        ++m_pos;
                    continue;
                }
                character(text::fromWindows1252(static_cast<unsigned char>(c)).unicode());
            }
        }
        if (!full())
            flush();
        m_stoppedBy = limitPassed();
        return std::move(m_runs);
    }

    // The limit the page went past, if any; reading stopped there.
    Overflow stoppedBy() const { return m_stoppedBy; }
    // Whether the outermost group was closed: the file is not cut short.
    bool ended() const { return m_ended; }

private:
    Overflow limitPassed() const
    {
        if (!m_limited)
            return Overflow::None;
        if (m_runs.size() > maxRuns)
            return Overflow::Runs;
        if (m_lines > maxLines)
            return Overflow::Lines;
        if (m_characters > maxCharacters)
            return Overflow::Characters;
        return Overflow::None;
    }
    bool full() const { return limitPassed() != Overflow::None; }

    void closeGroup()
    {
        if (m_overflow > 0) {
            --m_overflow;
            return;
        }
        if (m_stack.empty())
            return; // an unbalanced closing brace
        m_state = m_stack.back();
        m_stack.pop_back();
        if (m_stack.empty())
            m_ended = true;
    }

    // Whether the next character is a \uN fallback, which is dropped.
    bool swallowedByFallback()
    {
        if (m_skipPending == 0)
            return false;
        --m_skipPending;
        return true;
    }

    void emitText(QStringView text)
    {
        if (m_state.destination != Destination::Text || m_state.hidden)
            return;
        m_characters += text.size();
        const QRgb colour = resolveColour(m_state.colour);
        if (colour != m_colour && !m_text.isEmpty())
            flush();
        m_colour = colour;
        m_text.append(text);
    }

    void character(char16_t ch)
    {
        if (!swallowedByFallback())
            emitText(QStringView(&ch, 1));
    }

    void breakLine()
    {
        if (swallowedByFallback() || m_state.destination != Destination::Text || m_state.hidden)
            return;
        ++m_lines;
        emitText(u"\r\n");
    }

    QRgb resolveColour(int index) const
    {
        if (index < 0 || index >= static_cast<int>(m_colours.size()) || !m_colours[index].set)
            return defaultColour;
        return m_colours[index].rgb;
    }

    void flush()
    {
        if (m_text.isEmpty())
            return;
        // A lone surrogate (from a stray \uN) is no character: keep the place, not the half.
        for (qsizetype i = 0; i < m_text.size(); ++i) {
            const QChar c = m_text[i];
            if (c.isHighSurrogate() && i + 1 < m_text.size() && m_text[i + 1].isLowSurrogate())
                ++i;
            else if (c.isSurrogate())
                m_text[i] = QChar(QChar::ReplacementCharacter);
        }
        if (!m_runs.empty() && m_runs.back().colour == m_colour)
            m_runs.back().text += m_text;
        else
            m_runs.push_back({std::move(m_text), m_colour});
        m_text = QString();
    }

    void endColour()
    {
        if (static_cast<int>(m_colours.size()) < maxColours)
            m_colours.push_back(m_entry);
        m_entry = {};
    }

    void controlSequence()
    {
        const qsizetype n = m_in.size();
        ++m_pos; // the backslash
        if (m_pos >= n)
            return;
        const char c = m_in[m_pos];
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) {
            controlWord();
            return;
        }
        ++m_pos;
        switch (c) {
        case '\'': {
            if (m_pos + 1 < n && isHex(m_in[m_pos]) && isHex(m_in[m_pos + 1])) {
                const int b = hexValue(m_in[m_pos]) * 16 + hexValue(m_in[m_pos + 1]);
                m_pos += 2;
                if (m_state.destination == Destination::ColourTable)
                    return;
                character(text::fromWindows1252(static_cast<unsigned char>(b)).unicode());
            }
            return;
        }
        case '*':
            if (!swallowedByFallback())
                m_state.destination = Destination::Skip;
            return;
        case '\\':
        case '{':
        case '}':
            if (m_state.destination != Destination::ColourTable)
                character(static_cast<char16_t>(c));
            return;
        case '~':
            character(0x00A0);
            return;
        case '_':
            character(u'-');
            return;
        case '\r':
        case '\n':
            breakLine();
            return;
        default:
            // \- (optional hyphen), \: (index entry) and unknown symbols: nothing, but a
            // \uN fallback counts them.
            swallowedByFallback();
            return;
        }
    }

    void controlWord()
    {
        const qsizetype n = m_in.size();
        char name[33];
        int len = 0;
        while (m_pos < n && ((m_in[m_pos] >= 'a' && m_in[m_pos] <= 'z') ||
                             (m_in[m_pos] >= 'A' && m_in[m_pos] <= 'Z'))) {
            if (len < 32)
                name[len++] = m_in[m_pos];
            ++m_pos;
        }
        const std::string_view word(name, static_cast<std::size_t>(len));
        bool hasParam = false;
        bool negative = false;
        long long param = 0;
        if (m_pos + 1 < n && m_in[m_pos] == '-' && m_in[m_pos + 1] >= '0' && m_in[m_pos + 1] <= '9') {
            negative = true;
            ++m_pos;
        }
        while (m_pos < n && m_in[m_pos] >= '0' && m_in[m_pos] <= '9') {
            hasParam = true;
            if (param < INT_MAX)
                param = param * 10 + (m_in[m_pos] - '0');
            ++m_pos;
        }
        param = std::min<long long>(param, INT_MAX);
        if (negative)
            param = -param;
        if (m_pos < n && m_in[m_pos] == ' ')
            ++m_pos; // the delimiting space belongs to the word

        if (word == "bin") {
            // Binary data: its bytes are not RTF. Never skip past the end.
            const long long count = hasParam ? std::max<long long>(0, param) : 0;
            m_pos += static_cast<qsizetype>(std::min<long long>(count, n - m_pos));
            return;
        }
        if (swallowedByFallback() || m_state.destination == Destination::Skip)
            return;
        if (m_state.destination == Destination::ColourTable) {
            const int v = static_cast<int>(std::clamp<long long>(param, 0, 255));
            if (word == "red")
                m_entry.rgb = qRgb(v, qGreen(m_entry.rgb), qBlue(m_entry.rgb));
            else if (word == "green")
                m_entry.rgb = qRgb(qRed(m_entry.rgb), v, qBlue(m_entry.rgb));
            else if (word == "blue")
                m_entry.rgb = qRgb(qRed(m_entry.rgb), qGreen(m_entry.rgb), v);
            else
                return;
            m_entry.set = true;
            return;
        }
        handleWord(word, hasParam, static_cast<int>(param));
    }

    void handleWord(std::string_view word, bool hasParam, int param)
    {
        if (word == "par" || word == "line" || word == "sect" || word == "page" || word == "row") {
            breakLine();
        } else if (word == "tab" || word == "cell") {
            character(u'\t');
        } else if (word == "cf") {
            m_state.colour = hasParam ? param : 0;
        } else if (word == "plain") {
            m_state.colour = 0;
            m_state.hidden = false;
        } else if (word == "uc") {
            m_state.uc = std::clamp(hasParam ? param : 1, 0, 16);
        } else if (word == "u") {
            if (!hasParam)
                return;
            character(static_cast<char16_t>(static_cast<unsigned>(param) & 0xFFFFu));
            m_skipPending = m_state.uc;
        } else if (word == "v") {
            m_state.hidden = !(hasParam && param == 0);
        } else if (word == "colortbl") {
            m_state.destination = Destination::ColourTable;
            m_colours.clear();
            m_entry = {};
        } else if (isSkippedDestination(word)) {
            m_state.destination = Destination::Skip;
        } else {
            for (const Symbol& s : symbols) {
                if (s.word == word) {
                    character(s.ch);
                    return;
                }
            }
        }
    }

    struct Colour {
        QRgb rgb = defaultColour;
        bool set = false; // an entry with no components is "auto"
    };

    QByteArrayView m_in;
    bool m_limited;
    bool m_ended = false;
    qsizetype m_pos = 0;
    State m_state;
    std::vector<State> m_stack;
    int m_overflow = 0;
    int m_skipPending = 0;
    qsizetype m_characters = 0;
    qsizetype m_lines = 0;
    Overflow m_stoppedBy = Overflow::None;
    std::vector<Colour> m_colours;
    Colour m_entry;
    QString m_text;
    QRgb m_colour = defaultColour;
    Runs m_runs;
};

} // namespace

Runs read(QByteArrayView rtf, Overflow* overflow)
{
    Reader reader(rtf, true);
    Runs runs = reader.run();
    if (overflow)
        *overflow = reader.stoppedBy();
    return runs;
}

bool readWhole(QByteArrayView rtf, Runs* runs)
{
    Reader reader(rtf, false);
    *runs = reader.run();
    return reader.ended();
}

Overflow overflowOf(const Runs& runs)
{
    // As write() puts them and the reader counts them: runs of one colour in a row are one,
    // every line end (CR LF, a lone CR or LF) is one line of two characters.
    std::size_t colourRuns = 0;
    qsizetype lines = 0;
    qsizetype characters = 0;
    QRgb last = 0;
    for (const Run& r : runs) {
        if (r.text.isEmpty())
            continue;
        const QRgb colour = r.colour | 0xFF000000u;
        if (colourRuns == 0 || colour != last)
            ++colourRuns;
        last = colour;
        const qsizetype n = r.text.size();
        characters += n;
        for (qsizetype i = 0; i < n; ++i) {
            const QChar c = r.text[i];
            if (c == QLatin1Char('\r') && i + 1 < n && r.text[i + 1] == QLatin1Char('\n')) {
                ++lines;
                ++i;
            } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
                ++lines;
                ++characters; // written as a break: read back as CR LF
            }
        }
    }
    if (colourRuns > maxRuns)
        return Overflow::Runs;
    if (lines > maxLines)
        return Overflow::Lines;
    if (characters > maxCharacters)
        return Overflow::Characters;
    return Overflow::None;
}

} // namespace platform::rtf
