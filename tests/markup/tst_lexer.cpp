#include "markup/Lexer.h"
#include "markup/LexerTags.h"
#include "markup/Tables.h"

#include <QTest>

using markup::Span;
using markup::State;
using markup::Token;

namespace {

// One letter per token kind, so that a row reads as the text with its kinds beneath it.
char letter(Token kind)
{
    static const char letters[] = " <nav-d&xspumqkj9/t";
    return letters[int(kind)];
}

void paint(QByteArray& codes, int offset, const std::vector<Span>& spans)
{
    for (const Span& s : spans)
        for (int k = 0; k < s.length; ++k)
            codes[offset + s.start + k] = letter(s.kind);
}

// The kinds of every character of `text`, lexed a line at a time ("\n" stays "\n").
QByteArray kinds(const QString& text, State* end = nullptr)
{
    QByteArray codes(text.size(), ' ');
    State state = markup::startState;
    qsizetype lineStart = 0;
    for (const QString& line : text.split(u'\n')) {
        std::vector<Span> spans;
        state = markup::lex(line, state, true, spans);
        paint(codes, int(lineStart), spans);
        lineStart += line.size() + 1;
        if (lineStart <= text.size())
            codes[lineStart - 1] = '\n';
    }
    if (end)
        *end = state;
    return codes;
}

// The same, each line cut into pieces before the given offsets (each continued by the next).
QByteArray kindsInPieces(const QString& text, const std::vector<int>& cuts, State* end)
{
    QByteArray codes(text.size(), ' ');
    State state = markup::startState;
    qsizetype lineStart = 0;
    for (const QString& line : text.split(u'\n')) {
        int from = 0;
        auto lexTo = [&](int to, bool endsLine) {
            std::vector<Span> spans;
            const QStringView piece = QStringView(line).mid(from, to - from);
            state = markup::lex(piece, state, endsLine, spans,
                                QStringView(line).mid(to, markup::lookahead));
            for (const Span& s : spans)
                QVERIFY(s.start >= 0 && s.length > 0 && s.start + s.length <= piece.size());
            paint(codes, int(lineStart) + from, spans);
            from = to;
        };
        for (int cut : cuts)
            if (cut > from && cut < line.size())
                lexTo(cut, false);
        lexTo(int(line.size()), true);
        lineStart += line.size() + 1;
        if (lineStart <= text.size())
            codes[lineStart - 1] = '\n';
    }
    *end = state;
    return codes;
}

const char* const snippets[] = {
    "<p class=note id=\"a\">Fish &amp; chips &#233;&#x00E9; AT&T &copy 2020 &nope; a < b</p>",
    "<script>var s = \"</scr\" + \"ipt>\"; if (a < b) x = /re[/]g/.test(s) / 2; // </b>\n"
    "/* multi\n line */ `t ${a + `in`} e` return 0x1F;</SCRIPT ><b>",
    "<!-- a -- b --><!--><!---><!-- x --!><?php x ?><!x><!DOCTYPE html><![CDATA[ <a> ]]>",
    "<style>@media screen { a:hover, p > b { color: red; /* c */ font: 'x' } }\n"
    "@font-face { font-family: f } h1{margin:0}</style>",
    "<div style=\"color: red; background: url('x.png')\" onclick=\"if (x) go('a', 1)\">",
    "<script type=\"text/template\"><b>{{x}}</b></script><script type=module>let a</script>",
    "<textarea>&lt;b&gt; <i></textarea><title>a &amp; b</title><input value=x/>",
    "<a href=x\n  title='multi\nline'\n>text</a\n>",
    "<p>an unfinished <a href=\"x",
};

} // namespace

class LexerTest : public QObject {
    Q_OBJECT
private slots:
    void tokens_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("expected");
        auto row = [](const char* name, const char* text, const char* expected) {
            QTest::newRow(name) << QString::fromUtf8(text) << QByteArray(expected);
        };
        // Letters: < delimiter, n tag name, a attribute name, v value, - comment, d doctype,
        // & reference, x CDATA, s p u m q CSS selector, property, value, comment, string,
        // k j 9 / t JavaScript keyword, string, number, comment, other; blank: text.
        row("tag, attributes, unquoted value",
            "<p class=note id=\"a\" hidden>",
            "<n aaaaa vvvv aa vvv aaaaaa<");
        row("end tag and a lone <",
            "a < b</p>",
            "     <<n<");
        row("references, and & that is none",
            "&amp; &#233;&#x00E9; &copy 2020 &nope; AT&T & x",
            "&&&&& &&&&&&&&&&&&&& &&&&&                     ");
        row("script with </scr + ipt> in strings",
            "<script>s = \"</scr\" + \"ipt>\";</script>",
            "<nnnnnn<t t jjjjjjj t jjjjjjt<<nnnnnn<");
        row("keywords, numbers, regular expression, division",
            "<script>return /a[/]b/g.x / 2.5 + typeof a</script>",
            "<nnnnnn<kkkkkk jjjjjjjttt t 999 t kkkkkk t<<nnnnnn<");
        row("line comment ends with the line, block comment does not",
            "<script>a // b\nc /* d\ne */ f</script>",
            "<nnnnnn<t ////\nt ////\n//// t<<nnnnnn<");
        row("template literal with an expression",
            "<script>`a${b}c`</script>",
            "<nnnnnn<jjttttjj<<nnnnnn<");
        row("unterminated string ends at the line's end",
            "<script>'ab\nc'</script>",
            "<nnnnnn<jjj\ntj<<nnnnnn<");
        row("comments with -- inside, and the short forms",
            "<!-- a -- b --><!--><!--->x<!-- y --!>",
            "-------------------------- -----------");
        row("bogus comments, doctype, CDATA",
            "<?x?><!y><!DOCTYPE html><![CDATA[<a>]]>",
            "---------dddddddddddddddxxxxxxxxxxxxxxx");
        row("CSS in style element",
            "<style>a:hover{color:red}</style>",
            "<nnnnn<sssssss ppppp uuu <<nnnnn<");
        row("at-rules with rules and with declarations",
            "<style>@media x{b{c:d}}@page{e:f}</style>",
            "<nnnnn<ssssss s s p u  sssss p u <<nnnnn<");
        row("CSS in style attribute",
            "<b style=\"color: red; /*c*/ font: 'x'\">",
            "<n aaaaa vppppp  uuu  mmmmm pppp  qqqv<");
        row("JavaScript in on... attribute",
            "<b onclick=\"if (x) go('a', 1)\">",
            "<n aaaaaaa vkk ttt tttjjjt 9tv<");
        row("script of another type is plain text",
            "<script type=\"text/template\"><b>x</b></script>",
            "<nnnnnn aaaa vvvvvvvvvvvvvvv<        <<nnnnnn<");
        row("RCDATA keeps references, no tags",
            "<title>&lt;b&gt; <i></title>",
            "<nnnnn<&&&& &&&&    <<nnnnn<");
        row("self-closing and a page that ends in a tag",
            "<br/><a href=\"x",
            "<nn<<<n aaaa vv");
        row("end tag of the script in any case",
            "<script>a</SCRIPT >b",
            "<nnnnnn<t<<nnnnnn < ");
        QCOMPARE(std::strlen(" <nav-d&xspumqkj9/t"), std::size_t(int(Token::JsText) + 1));
    }
    void tokens()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, expected);
        QCOMPARE(kinds(text), expected);
    }

    // Cutting a line anywhere into pieces gives the tokens and the state of the whole line.
    void piecesGiveTheTokensOfTheWhole()
    {
        for (const char* snippet : snippets) {
            const QString text = QString::fromUtf8(snippet);
            State whole = 0;
            const QByteArray expected = kinds(text, &whole);
            int longest = 0;
            for (const QString& line : text.split(u'\n'))
                longest = std::max(longest, int(line.size()));
            for (int cut = 1; cut < longest; ++cut) {
                State end = 0;
                const QByteArray got = kindsInPieces(text, {cut}, &end);
                if (got != expected || end != whole)
                    QFAIL(qPrintable(QStringLiteral("%1\ncut at %2:\n%3\n%4")
                                         .arg(text).arg(cut)
                                         .arg(QString::fromLatin1(expected),
                                              QString::fromLatin1(got))));
            }
            std::vector<int> everywhere(longest);
            for (int k = 0; k < longest; ++k)
                everywhere[k] = k + 1;
            State end = 0;
            QCOMPARE(kindsInPieces(text, everywhere, &end), expected);
            QCOMPARE(end, whole);
        }
    }

    // The tag matching's fast lexing gives the tag spans of the full one, from the same states.
    void tagsOnlyGivesTheTags()
    {
        for (const char* snippet : snippets) {
            const QString text = QString::fromUtf8(snippet) + QStringLiteral(
                "<script>x = \"\\</script><b>\"</script><style>a{b:'</style><i>'}</style>");
            State state = markup::startState;
            for (const QString& line : text.split(u'\n')) {
                for (int cut = 0; cut <= line.size(); ++cut) {
                    QByteArray full(line.size(), ' '), tags(line.size(), ' ');
                    State s = state;
                    for (auto [from, to] : {std::pair(0, cut), std::pair(cut, int(line.size()))}) {
                        const bool ends = to == line.size();
                        const QStringView piece = QStringView(line).mid(from, to - from);
                        const QStringView following = QStringView(line).mid(to, markup::lookahead);
                        std::vector<Span> all, only;
                        markup::lexTags(piece, s, ends, only, following);
                        s = markup::lex(piece, s, ends, all, following);
                        std::erase_if(all, [](const Span& x) {
                            return x.kind != Token::TagDelimiter && x.kind != Token::TagName;
                        });
                        paint(full, from, all);
                        paint(tags, from, only);
                    }
                    QCOMPARE(tags, full);
                }
                std::vector<Span> spans;
                state = markup::lex(line, state, true, spans);
            }
        }
    }

    // Whatever the input, a state is never negative, and a state read back lexes without fault.
    void statesStayValid()
    {
        for (const char* snippet : snippets) {
            const QString text = QString::fromUtf8(snippet);
            State state = 0;
            for (int k = 0; k < text.size(); ++k) {
                std::vector<Span> spans;
                state = markup::lex(QStringView(text).mid(k, 1), state, k % 7 == 0, spans);
                QVERIFY(state >= 0);
            }
        }
        std::vector<Span> spans;
        for (State s : {-1, 31, 0x7FFFFFFF, 0x1F | (63 << 5)})
            QVERIFY(markup::lex(u"<a href=x>&amp;", s, true, spans) >= 0);
    }

    void tables()
    {
        QVERIFY(markup::findElement(u"BR") && markup::findElement(u"br")->isVoid);
        QVERIFY(markup::findElement(u"font")->obsolete);
        QVERIFY(!markup::findElement(u"div")->obsolete && !markup::findElement(u"div")->isVoid);
        QVERIFY(!markup::findElement(u"garden"));
        QVERIFY(markup::namedReferences().size() > 2000);
        const auto* e = markup::findNamedReference(u"eacute");
        QVERIFY(e && e->first == 0xE9 && e->legacy);
        QVERIFY(!markup::findNamedReference(u"Amp") && markup::findNamedReference(u"AMP"));
        QCOMPARE(markup::findNamedReference(u"NotEqualTilde")->second, char32_t(0x338));
    }
};

QTEST_APPLESS_MAIN(LexerTest)
#include "tst_lexer.moc"
