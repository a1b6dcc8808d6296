#include "Pages.h"

#include <QColor>
#include <array>

namespace benchpages {

namespace {

// A small linear congruential generator: the same sequence on every machine and build.
class Lcg {
public:
    explicit Lcg(unsigned seed) : m_state(seed * 2654435761u + 1u) {}
    unsigned next(unsigned bound)
    {
        m_state = m_state * 1664525u + 1013904223u;
        return (m_state >> 8) % bound;
    }

private:
    unsigned m_state;
};

constexpr std::array words{"the",     "page",   "source", "editor", "table",   "link",
                           "colour",  "heading", "image", "frame",  "marquee", "sound",
                           "paragraph", "list", "item",   "font",   "center",  "break",
                           "visitors", "welcome", "home", "news",   "contact", "about"};

constexpr std::array openers{"<P>",  "<B>",  "<I>",     "<H2>", "<LI>", "<TD>",
                             "<TR>", "<DIV>", "<FONT COLOR=\"#FF0000\">", "<A HREF=\"index.htm\">"};
constexpr std::array closers{"</P>",  "</B>",  "</I>",   "</H2>",   "</LI>",
                             "</TD>", "</TR>", "</DIV>", "</FONT>", "</A>"};

// One line of 60 to 100 characters: a tag pair with words between, sometimes an image tag.
QString line(Lcg& rng)
{
    const qsizetype target = 60 + rng.next(41);
    const unsigned tag = rng.next(openers.size());
    QString out = QString::fromLatin1(openers[tag]);
    const QString close = QString::fromLatin1(closers[tag]);
    if (rng.next(8) == 0)
        out += QStringLiteral("<IMG SRC=\"pic%1.gif\" ALT=\"\"> ").arg(rng.next(100));
    while (out.size() + close.size() < target) {
        out += QString::fromLatin1(words[rng.next(words.size())]);
        out += QLatin1Char(' ');
    }
    out.truncate(target - close.size());
    out += close;
    return out;
}

QString build(qsizetype chars, unsigned seed, QLatin1String separator)
{
    Lcg rng(seed);
    QString out;
    out.reserve(chars + 128);
    while (out.size() < chars) {
        out += line(rng);
        out += separator;
    }
    out.truncate(chars);
    // Never end between the CR and the LF of a break.
    if (out.endsWith(QLatin1Char('\r')))
        out.chop(1);
    return out;
}

} // namespace

QString page(qsizetype chars, unsigned seed) { return build(chars, seed, QLatin1String("\r\n")); }

QString singleLine(qsizetype chars, unsigned seed) { return build(chars, seed, QLatin1String(" ")); }

// A page coloured the way commands leave it: tags in their colours, text in black.
platform::rtf::Runs colouredRuns(qsizetype chars)
{
    const QString text = page(chars);
    platform::rtf::Runs runs;
    const QRgb colours[] = {qRgb(255, 0, 0), qRgb(0, 0, 255), qRgb(155, 150, 50), qRgb(0, 255, 255)};
    int k = 0;
    qsizetype i = 0;
    while (i < text.size()) {
        const qsizetype open = text.indexOf(QLatin1Char('<'), i);
        if (open < 0) {
            platform::rtf::append(runs, QStringView(text).mid(i), platform::rtf::defaultColour);
            break;
        }
        const qsizetype close = text.indexOf(QLatin1Char('>'), open);
        const qsizetype end = close < 0 ? text.size() : close + 1;
        platform::rtf::append(runs, QStringView(text).mid(i, open - i), platform::rtf::defaultColour);
        platform::rtf::append(runs, QStringView(text).mid(open, end - open), colours[k++ % 4]);
        i = end;
    }
    return runs;
}

} // namespace benchpages
