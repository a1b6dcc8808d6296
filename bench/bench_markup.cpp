// Benchmarks of the HTML lexer and of the tag matching.
//
// Usage: halvane_bench_markup lexer
//   lexer   characters lexed per second (millions of characters: the bytes of a page in
//           ASCII) over a 10 MiB page of everyday markup, line by line as the background
//           colouring lexes it; and the time to go from a tag to its partner across a 1 MiB
//           element, both ways, in lines and in one long line of 128-character blocks.

#include "Probe.h"

#include "markup/Lexer.h"
#include "markup/Tags.h"
#include "markup/TextPage.h"

#include <QString>
#include <QStringView>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr qsizetype MiB = 1024 * 1024;

// A section of a hand-written page: text, inline tags, links, references, a table, a list
// with omitted end tags, a comment, inline style and script.
QString section(int n)
{
    return QStringLiteral(
               "<h2 id=\"s%1\" class=\"title\">Section %1 &mdash; garden notes</h2>\n"
               "<p>The <b>roses</b> are <i>in bloom</i> &amp; the beans are up; see "
               "<a href=\"page%1.html#top\" title=\"more\">the next page</a>.\n"
               "<img src=\"img/p%1.png\" alt=\"photo %1\" width=120 height=80><br>\n"
               "<!-- planted in spring, row %1 -->\n"
               "<table border=1 style=\"border-collapse: collapse; color: #333\">\n"
               "<tr><th>Plant<th>Count</tr>\n<tr><td>Tomatoes<td>%1</tr>\n</table>\n"
               "<ul><li>Water daily<li>Weed on Sundays &nbsp;<li>Harvest &#8594; kitchen</ul>\n"
               "<button onclick=\"toggle('s%1', %1); return false;\">Show more</button>\n"
               "<div class=\"note\"><p>Written by hand, &copy; 2026.</p></div>\n")
        .arg(n);
}

QString page(qsizetype chars)
{
    QString text = QStringLiteral(
        "<!DOCTYPE html>\n<html lang=en>\n<head>\n<meta charset=\"utf-8\">\n"
        "<title>Garden &amp; kitchen</title>\n<style>\n"
        "body { font: 14px/1.4 sans-serif; margin: 0 auto; max-width: 60em; }\n"
        "/* notes */ .note, h2 > a:hover { color: #080; background: url('leaf.png'); }\n"
        "</style>\n<script>\nfunction toggle(id, n) {\n"
        "  var e = document.getElementById(id); // the section\n"
        "  if (e && /s\\d+/.test(id)) { e.hidden = !e.hidden; return n * 2; }\n"
        "  return `none ${id}`;\n}\n</script>\n</head>\n<body>\n");
    text.reserve(chars + 4096);
    for (int n = 0; text.size() < chars - 2048; ++n)
        text += section(n);
    text += QStringLiteral("</body>\n</html>\n");
    return text;
}

void lexerSpeed()
{
    const QString text = page(10 * MiB);
    std::vector<QStringView> lines;
    for (qsizetype start = 0; start < text.size();) {
        qsizetype end = text.indexOf(u'\n', start);
        if (end < 0)
            end = text.size();
        lines.push_back(QStringView(text).mid(start, end - start));
        start = end + 1;
    }
    std::vector<markup::Span> spans;
    spans.reserve(4096);
    double best = 1e30;
    std::size_t count = 0;
    for (int run = 0; run < 5; ++run) {
        probe::Stopwatch watch;
        markup::State state = markup::startState;
        for (QStringView line : lines) {
            spans.clear();
            state = markup::lex(line, state, true, spans);
            count += spans.size();
        }
        best = std::min(best, watch.ms());
    }
    if (count == 0)
        std::puts("lexer: no tokens?");
    probe::report("lexer.mb_per_s", double(text.size()) / 1e6 / (best / 1e3), "MB/s");
}

// The longer of the two ways across an element of 1 MiB: start tag to end tag, and back. The
// best of ten runs of each: the CPU time of a run grows with what else the machine does.
double matchingTagMs(const QString& text, int blockWidth)
{
    const markup::TextPage view(text, blockWidth);
    const int start = int(text.indexOf(u"<div id=outer>")) + 2;
    const int end = int(text.lastIndexOf(u"</div>")) + 3;
    double worst = 0;
    for (int position : {start, end}) {
        double best = 1e30;
        for (int run = 0; run < 10; ++run) {
            probe::Stopwatch watch;
            const auto match = markup::matchingTag(view, position);
            best = std::min(best, watch.ms());
            if (!match || match->status != markup::TagStatus::Matched)
                std::fprintf(stderr, "markup: the outer element is not matched\n");
        }
        worst = std::max(worst, best);
    }
    return worst;
}

void matchingTag()
{
    QString inner;
    for (int n = 0; inner.size() < MiB; ++n)
        inner += section(n);
    const QString lines = QStringLiteral("<body>\n<div id=outer>\n") + inner +
                          QStringLiteral("</div>\n</body>\n");
    QString oneLine = lines;
    oneLine.replace(u'\n', u' ');
    probe::report("markup.matching_tag_ms_1MiB", matchingTagMs(lines, 128), "ms", 2);
    probe::report("markup.matching_tag_ms_1MiB_one_line", matchingTagMs(oneLine, 128), "ms", 2);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || std::strcmp(argv[1], "lexer") != 0) {
        std::fprintf(stderr, "usage: halvane_bench_markup lexer\n");
        return 2;
    }
    lexerSpeed();
    matchingTag();
    return 0;
}
