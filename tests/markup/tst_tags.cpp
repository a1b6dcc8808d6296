#include "markup/Tags.h"
#include "markup/TextPage.h"

#include <QTest>

using markup::Range;
using markup::TagStatus;
using markup::TextPage;

Q_DECLARE_METATYPE(TagStatus)

namespace {

// A row's text with its marks taken out: "|" the caret, "[" "]" around the partner tag.
struct Marked {
    QString text;
    int caret = -1;
    std::optional<Range> partner;
};

Marked unmark(const QString& marked)
{
    Marked m;
    int open = -1;
    for (QChar c : marked) {
        if (c == u'|')
            m.caret = int(m.text.size());
        else if (c == u'[')
            open = int(m.text.size());
        else if (c == u']')
            m.partner = Range{open, int(m.text.size())};
        else
            m.text += c;
    }
    return m;
}

constexpr int noTag = -1;

} // namespace

class TagsTest : public QObject {
    Q_OBJECT
private slots:
    void partner_data()
    {
        QTest::addColumn<QString>("marked");
        QTest::addColumn<int>("status");  // a TagStatus, or noTag
        auto row = [](const char* name, const char* marked, int status) {
            QTest::newRow(name) << QString::fromUtf8(marked) << status;
        };
        const int matched = int(TagStatus::Matched), implied = int(TagStatus::ImplicitlyClosed),
                  alone = int(TagStatus::Void), unmatched = int(TagStatus::Unmatched);
        row("start finds its end", "<d|iv><p>x</p>[</div>]", matched);
        row("end finds its start", "[<div>]<div></div><b></b></d|iv>", matched);
        row("nested same name", "<d|iv><div></div>[</div>]", matched);
        row("any case", "<DIV|>x[</div>]", matched);
        row("caret just after the tag", "<div>|x[</div>]", matched);
        row("caret just after a tag ending a piece", "<b>|x[</b>]", matched);
        row("li before the next li", "<ul><l|i>a[<li>]b</ul>", implied);
        row("last li at the list's end", "<ul><li>a<l|i>b[</ul>]", implied);
        row("p before a block", "<p|>text[<div>]", implied);
        row("p past open phrasing", "<p|>a<b>b[<div>]", implied);
        row("p keeps phrasing inside", "<p|>a<b>b</b>c[</p>]", matched);
        row("td before the next td", "<table><tr><t|d>a[<td>]b</table>", implied);
        row("tr past an open td", "<t|r><td>a<td>b[<tr>]", implied);
        row("dt before dd", "<dl><d|t>a[<dd>]b</dl>", implied);
        row("option before option", "<select><opti|on>a[<option>]b</select>", implied);
        row("li at the page's end", "<l|i>a", implied);
        row("void element", "<b|r>x</br>", alone);
        row("void with attributes", "<img src=x|>", alone);
        row("self-closing", "<my-x |/>", alone);
        row("end tag without start", "<div></div></sp|an>", unmatched);
        row("end tag of a void element", "</b|r>", unmatched);
        row("start tag never closed", "<div><sp|an>text</div>", unmatched);
        row("start tag at the page's end", "<b|>a", unmatched);
        row("stray end tag inside a block is skipped", "<d|iv>a</span>b[</div>]", matched);
        row("no tags in comments and scripts",
            "<d|iv><!-- </div> --><script>'</div>'</script><![CDATA[</div>]]>[</div>]", matched);
        row("end tag of a script", "[<script>]if (a<b) x='</p>'</scr|ipt>", matched);
        // Lines whose tags close among themselves are passed over, but not when they may
        // end an element open around them, nor when they hold the partner.
        row("start across closed lines", "<d|iv>\n<b>x</b><br>\n<div>y</div>\n[</div>]", matched);
        row("end across closed lines", "[<div>]\n<div>y</div>\n<i><b/></i>\n</d|iv>", matched);
        row("p before a block on a later line", "<p|>a\n<b>x</b>\n[<div>]y</div>\n</p>", implied);
        row("p inside, then a block on a later line",
            "<d|iv><p>a\n<div>y</div>\n</p></div>", unmatched);
        row("end tag whose name runs on", "<d|iv>\n<s>t</section></s></div>", unmatched);
        row("a line closing more than it opened", "<sp|an>\n<b><i>x</b><u>y</u>\n</i></span>", unmatched);
        row("a line whose p ends early", "<sp|an>\n<p>a<div>b</div></p>\n</span>", unmatched);
        row("text is no tag", "a|b<div>", noTag);
        row("comment is no tag", "<!-- <d|iv> -->", noTag);
    }
    void partner()
    {
        QFETCH(QString, marked);
        QFETCH(int, status);
        const Marked m = unmark(marked);
        // Whole lines, and the same text in pieces of 7 and 3 characters: tags cut anywhere.
        for (int width : {128, 7, 3}) {
            const TextPage page(m.text, width);
            const auto match = markup::matchingTag(page, m.caret);
            if (status == noTag) {
                QVERIFY(!match);
                continue;
            }
            QVERIFY(match);
            QCOMPARE(int(match->status), status);
            QCOMPARE(match->partner.has_value(), m.partner.has_value());
            if (m.partner)
                QCOMPARE(*match->partner, *m.partner);
            QVERIFY(match->tag.start <= m.caret && m.caret <= match->tag.end);
        }
    }

    // Each repeat selects the next element out, through implied ends, up to the page.
    void enclosingElementRepeats()
    {
        const QString text = QStringLiteral(
            "<html><body><div>\n<ul><li>one<li>t<b>w</b>o</ul>\n<p>a <i>it</i> c</p></div></body></html>");
        const TextPage page(text, 5);
        auto select = [&](int from, int to) -> QString {
            const auto r = markup::enclosingElement(page, from, to);
            return r ? text.mid(r->start, r->end - r->start) : QStringLiteral("none");
        };
        const int w = int(text.indexOf(u'w'));
        QCOMPARE(select(w, w), QStringLiteral("<b>w</b>"));
        // From the element's own range, outward: never the same range again.
        const QStringList outward = {QStringLiteral("<li>t<b>w</b>o"),
                                     QStringLiteral("<ul><li>one<li>t<b>w</b>o</ul>"),
                                     text.mid(12, text.indexOf(u"</body>") - 12),
                                     text.mid(6, text.indexOf(u"</html>") - 6), text};
        int from = w - 3, to = w + 5;
        for (const QString& expected : outward) {
            const auto r = markup::enclosingElement(page, from, to);
            QVERIFY(r);
            QCOMPARE(text.mid(r->start, r->end - r->start), expected);
            from = r->start;
            to = r->end;
        }
        QVERIFY(!markup::enclosingElement(page, from, to));
        const int it = int(text.indexOf(u"it<"));
        QCOMPARE(select(it, it + 2), QStringLiteral("<i>it</i>"));
        QCOMPARE(select(text.indexOf(u"a <i>"), text.indexOf(u"a <i>") + 1),
                 QStringLiteral("<p>a <i>it</i> c</p>"));
    }
};

QTEST_APPLESS_MAIN(TagsTest)
#include "tst_tags.moc"
