#include "support/TestKit.h"

#include "app/FileCommands.h"
#include "app/frmMain.h"
#include "document/RichEdit.h"
#include "document/frmDocument.h"
#include "editing/MatchingTags.h"
#include "editing/PageDisplay.h"
#include "editing/SelectionLayers.h"
#include "editing/SyntaxColours.h"
#include "markup/Lexer.h"
#include "markup/TextPage.h"
#include "platform/RtfCodec.h"
#include "spelling/PageSpelling.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QImage>
#include <QMenu>
#include <QSettings>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <functional>

using testkit::App;
using testkit::Run;

namespace {

const QColor red(255, 0, 0);
const QColor black(0, 0, 0);

using testkit::settings;

void fill(App& app, const QList<Run>& runs) {
    app.newDocument();
    platform::rtf::Runs page;
    for (const Run& r : runs)
        page.push_back({r.text, r.colour.rgb()});
    app.edit()->setWholeRuns(page);
}

bool coloured(const RichEdit* edit) {
    for (QTextBlock b = edit->document()->begin(); b.isValid(); b = b.next())
        if (b.layout() && !b.layout()->formats().isEmpty())
            return true;
    return false;
}

// What leaves the program from a page: its file, its editing file, the clipboard, and what
// the history and the modified flag say.
struct Output {
    QByteArray page, editing, clipboard;
    int undoSteps = 0;
    bool modified = false;
    bool operator==(const Output&) const = default;
};

Output output(App& app, const QString& folder) {
    Output out;
    QString reason;
    const QString htm = folder + QStringLiteral("/p.htm");
    const QString hted = folder + QStringLiteral("/p.hted");
    out.undoSteps = app.doc()->history().undoCount();
    out.modified = app.doc()->isModified();
    [&] {
        QVERIFY(files::writePage(*app.doc(), htm, &reason));
        QVERIFY(files::writeEditingFile(*app.doc(), hted, &reason, nullptr));
    }();
    out.page = testkit::readBytes(htm);
    out.editing = testkit::readBytes(hted);
    app.select(0, app.edit()->textLength());
    app.trigger(QStringLiteral("mnuEditCopy"));
    out.clipboard = QApplication::clipboard()->text().toUtf8();
    return out;
}

// How near two colours are (sum of the channel differences).
int distance(QRgb a, QRgb b) {
    return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
           std::abs(qBlue(a) - qBlue(b));
}

// Whether some pixel of `area` is drawn close to `colour` (glyph edges are blended with the
// page's white, their middle is the colour itself).
bool drawnIn(const QImage& image, const QRect& area, QColor colour) {
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.rect().contains(x, y) && distance(image.pixel(x, y), colour.rgb()) < 60)
                return true;
    return false;
}

// An edit of the page: at a CR LF position, text to put in (empty: two characters deleted).
struct Edit {
    int at;
    QString text;
};

} // namespace

Q_DECLARE_METATYPE(QList<Edit>)

namespace {

// Columns of the edit-following tests (a page and the edits made in it), and their usual
// page: `count` lines of `line` numbered through its %1.
QString pageAndEditsColumns(int count, const QString& line) {
    QTest::addColumn<QString>("page");
    QTest::addColumn<QList<Edit>>("edits");
    QString lines;
    for (int i = 0; i < count; ++i)
        lines += line.arg(i);
    return lines;
}

} // namespace

class DisplayTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { testkit::isolate(); }
    void init() { settings().remove(QStringLiteral("Settings")); }

    // Every display layer on (colours, caret line, zoom, fixed-width font) or all off: the
    // same page file, editing file, clipboard, history and modified flag, also for what is
    // typed while the layers are on.
    void layersLeaveThePageAlone() {
        QTemporaryDir folder;
        Output results[2];
        for (const bool on : {false, true}) {
            settings().remove(QStringLiteral("Settings"));
            App app;
            if (!on) {
                app.trigger(QStringLiteral("mnuViewColourMarkup"));
                app.trigger(QStringLiteral("mnuViewCaretLine"));
                app.trigger(QStringLiteral("mnuViewCheckSpelling"));
            }
            fill(app,
                 {{QStringLiteral(
                       "<!DOCTYPE html>\r\n<P class=\"a\" style=\"color: red\">caf&eacute; "),
                   black},
                  {QStringLiteral("<STRONG>"), red},
                  {QStringLiteral("x"), black},
                  {QStringLiteral("</STRONG>"), red},
                  {QStringLiteral("</P><!-- c -->\r\n<script>var n = 1;</script>\r\n"), black}});
            app.edit()->setSelStart(app.edit()->textLength());
            if (on) {
                app.trigger(QStringLiteral("mnuViewZoomIn"));
                app.trigger(QStringLiteral("mnuViewFixedWidthFont"));
                QCOMPARE(app.edit()->font().family(),
                         editing::displayFont(app.edit()->pageFont(), editing::displayOptions())
                             .family());
            }
            QSignalSpy edits(app.edit(), &RichEdit::edited);
            QSignalSpy changes(app.edit()->document(), &QTextDocument::contentsChanged);
            app.type(QStringLiteral("<B id=\"z\">y</B>\r"));
            const int typed = int(edits.count());
            const int changed = int(changes.count());
            // The layer comes with the window's activation, which may follow a moment later.
            QTRY_VERIFY(editing::SyntaxColours::of(app.edit()) &&
                        editing::SyntaxColours::of(app.edit())->isComplete());
            QCOMPARE(coloured(app.edit()), on);
            QTRY_VERIFY(spelling::isSettled(app.edit()));
            QTRY_COMPARE(editing::layer(app.edit(), editing::Layer::Spelling).size(), on ? 1 : 0);
            // Colouring and zooming is no edit of the text.
            app.trigger(QStringLiteral("mnuViewZoomIn"));
            QTest::qWait(0);
            QCOMPARE(int(edits.count()), typed);
            QCOMPARE(int(changes.count()), changed);
            // What is typed is stored with no font of its own: the page's font stays.
            QTextCursor at(app.edit()->document());
            at.setPosition(app.edit()->toDocumentPosition(
                app.edit()->text().lastIndexOf(QLatin1Char('y')) + 1));
            const QTextCharFormat typedFormat = at.charFormat();
            QVERIFY(!typedFormat.hasProperty(QTextFormat::FontPointSize));
            QVERIFY(!typedFormat.hasProperty(QTextFormat::FontFamilies));
            QCOMPARE(app.edit()->pageFont().pointSizeF(), 8.5);
            results[on] = output(app, folder.path());
        }
        QCOMPARE(results[1].page, results[0].page);
        QCOMPARE(results[1].editing, results[0].editing);
        QCOMPARE(results[1].clipboard, results[0].clipboard);
        QCOMPARE(results[1].undoSteps, results[0].undoSteps);
        QCOMPARE(results[1].modified, results[0].modified);
    }

    // A tag typed in black is drawn in the tag colour; a command's red tag stays red.
    // A suggestion replaces the underlined word as one step of the history; the spelling
    // commands go from one underlined word to the next.
    void spellingSuggestionsAndCommands() {
        App app;
        app.newDocument();
        app.type(QStringLiteral("<p class=wrnog title=\"Helo\">a speling <code>fooo</code></p>"));
        QTRY_VERIFY(spelling::isSettled(app.edit()));
        QTRY_COMPARE(spelling::underlines(app.edit()).size(), 2);
        const auto words = spelling::underlines(app.edit());
        QCOMPARE(words[0].word, QStringLiteral("Helo"));
        QCOMPARE(words[1].word, QStringLiteral("speling"));
        // Underlines found while typing are drawn with the next key or after a pause.
        QTRY_COMPARE(editing::layer(app.edit(), editing::Layer::Spelling).size(), 2);
        const QList<QTextEdit::ExtraSelection>& marks =
            editing::layer(app.edit(), editing::Layer::Spelling);
        QCOMPARE(marks[1].format.underlineStyle(), QTextCharFormat::WaveUnderline);
        QCOMPARE(marks[1].cursor.selectedText(), QStringLiteral("speling"));

        app.edit()->setSelStart(0);
        app.trigger(QStringLiteral("mnuEditNextMisspelling"));
        QCOMPARE(app.edit()->selText(), QStringLiteral("Helo"));
        app.trigger(QStringLiteral("mnuEditNextMisspelling"));
        QCOMPARE(app.edit()->selText(), QStringLiteral("speling"));
        app.trigger(QStringLiteral("mnuEditPreviousMisspelling"));
        QCOMPARE(app.edit()->selText(), QStringLiteral("Helo"));

        QVERIFY(spelling::suggestionsAt(app.edit(), words[1].start).contains("spelling"));
        const QString before = app.edit()->text();
        const int steps = app.doc()->history().undoCount();
        QVERIFY(
            spelling::replaceWordAt(app.edit(), words[1].start + 2, QStringLiteral("spelling")));
        QCOMPARE(app.edit()->text(), QString(before).replace("speling", "spelling"));
        QCOMPARE(app.doc()->history().undoCount(), steps + 1);
        QTRY_COMPARE(spelling::underlines(app.edit()).size(), 1);
        app.trigger(QStringLiteral("mnuEditUndo"));
        QCOMPARE(app.edit()->text(), before);
        QTRY_COMPARE(spelling::underlines(app.edit()).size(), 2);

        // The context menu on the word: its suggestions, and Ignore All takes the underline away.
        QTextCursor on(app.edit()->document());
        on.setPosition(words[1].start + 1);
        const QPoint at = app.edit()->cursorRect(on).center();
        QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, at,
                                    app.edit()->viewport()->mapToGlobal(at));
        QCoreApplication::sendEvent(app.edit()->viewport(), &menuEvent);
        QMenu* menu = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* m = qobject_cast<QMenu*>(w); m && m->isVisible())
                menu = m;
        QVERIFY(menu);
        QStringList captions;
        for (const QAction* a : menu->actions())
            captions << a->text();
        QVERIFY(captions.contains("spelling"));
        QVERIFY(captions.contains("Add to Dictionary"));
        menu->actions().at(captions.indexOf("Ignore All"))->trigger();
        menu->close();
        QTRY_COMPARE(spelling::underlines(app.edit()).size(), 1);
        QCOMPARE(app.edit()->text(), before);
    }

    // A language without a dictionary is said in the status bar and its words are left alone.
    void spellingLanguageWithoutDictionary() {
        App app;
        app.newDocument();
        app.type(QStringLiteral("<p lang=xx-yy>Hallo Welt</p>"));
        QTRY_VERIFY(app.main().statusBar()->currentMessage().contains(QStringLiteral("\"xx-yy\"")));
        QVERIFY(spelling::isSettled(app.edit()));
        QVERIFY(spelling::underlines(app.edit()).isEmpty());
    }

    // A wavy mark is drawn under its own word only, and follows the text when an edit before
    // it moves the word.
    void waveIsDrawnUnderItsWord() {
        App app;
        // Words spelt right: no misspelling's wave joins the one set here.
        fill(app, {{QStringLiteral("just some text"), black}});
        RichEdit* edit = app.edit();
        QTextEdit::ExtraSelection mark;
        mark.cursor = QTextCursor(edit->document());
        mark.cursor.setPosition(5);
        mark.cursor.setPosition(9, QTextCursor::KeepAnchor);
        mark.format.setUnderlineStyle(QTextCharFormat::WaveUnderline);
        mark.format.setUnderlineColor(QColor(0, 0, 255));
        editing::setLayer(edit, editing::Layer::Findings, {mark});
        const auto under = [&](int from, int to) { // below the characters' baseline
            QTextCursor c(edit->document());
            c.setPosition(from);
            const QRect a = edit->cursorRect(c);
            c.setPosition(to);
            const QRect b = edit->cursorRect(c);
            return QRect(QPoint(a.left() + 1, a.top() + a.height() * 3 / 4),
                         QPoint(b.left() - 1, b.bottom() + 2));
        };
        for (int shift : {0, 3}) {
            QCoreApplication::processEvents();
            const QImage shot = edit->viewport()->grab().toImage();
            // The wave is a thin antialiased line: bluish pixels, seldom the colour itself.
            const auto bluish = [&](const QRect& area) {
                for (int y = area.top(); y <= area.bottom(); ++y)
                    for (int x = area.left(); x <= area.right(); ++x)
                        if (shot.rect().contains(x, y) &&
                            qBlue(shot.pixel(x, y)) - qRed(shot.pixel(x, y)) > 80)
                            return true;
                return false;
            };
            QVERIFY(bluish(under(5 + shift, 9 + shift)));
            QVERIFY(!bluish(under(0, 4 + shift)));
            QVERIFY(!bluish(under(10 + shift, 14 + shift)));
            edit->setSelStart(0);
            edit->setSelText(QStringLiteral("xxx"));
        }
    }

    void typedTagIsColouredCommandTagKeepsItsColour() {
        App app;
        app.trigger(QStringLiteral("mnuViewCaretLine"));
        fill(app, {{QStringLiteral("<STRONG>"), red}, {QStringLiteral(" "), black}});
        app.edit()->setSelStart(app.edit()->textLength());
        app.type(QStringLiteral("<P>"));
        QTRY_VERIFY(coloured(app.edit()));
        const QImage shot = app.edit()->viewport()->grab().toImage();
        const auto area = [&](int from, int to) {
            QTextCursor c(app.edit()->document());
            c.setPosition(from);
            const QRect a = app.edit()->cursorRect(c);
            c.setPosition(to);
            const QRect b = app.edit()->cursorRect(c);
            return QRect(QPoint(a.left() + 1, a.top()), QPoint(b.left() - 1, b.bottom()));
        };
        const QColor tagName = editing::markupColour(markup::Token::TagName);
        const QRect typedName = area(10, 11); // the P of "<STRONG> <P>"
        const QRect strong = area(1, 7);
        QVERIFY(drawnIn(shot, typedName, tagName));
        QVERIFY(!drawnIn(shot, typedName, red));
        QVERIFY(drawnIn(shot, strong, red));
        QVERIFY(!drawnIn(shot, strong, tagName));

        // A line whose text shapes otherwise (Cyrillic) has its glyphs found run by run; a
        // selection is drawn in its own colours, not the tag's.
        app.edit()->textCursor().insertText(QStringLiteral(" <I class=\"\u0416\">"));
        QTRY_VERIFY(drawnIn(app.edit()->viewport()->grab().toImage(), area(16, 20),
                            editing::markupColour(markup::Token::AttributeName)));
        QVERIFY(drawnIn(app.edit()->viewport()->grab().toImage(), typedName, tagName));
        QTextCursor select(app.edit()->document());
        select.setPosition(10);
        select.setPosition(11, QTextCursor::KeepAnchor);
        app.edit()->setTextCursor(select);
        QTRY_VERIFY(!drawnIn(app.edit()->viewport()->grab().toImage(), typedName, tagName));
        // With the colours off the layer's text is drawn by the widget again, in black.
        app.edit()->setSelStart(0);
        app.trigger(QStringLiteral("mnuViewColourMarkup"));
        QTRY_VERIFY(drawnIn(app.edit()->viewport()->grab().toImage(), typedName, Qt::black));
        QVERIFY(!drawnIn(app.edit()->viewport()->grab().toImage(), typedName, tagName));
    }

    // After any run of edits the states in the blocks are those of lexing the page afresh,
    // also across long lines held as display blocks and edits that change every state after
    // them (a comment opened at the top).
    void statesFollowEdits_data() {
        const QString lines =
            pageAndEditsColumns(400, QStringLiteral("<p class=\"n%1\">line %1 &amp; <b>more</b></p>\r\n"));
        QString longLine;
        for (int i = 0; i < 300; ++i)
            longLine += QStringLiteral("<a href=\"x%1.htm\">x</a><!-- %1 -->").arg(i);
        QTest::newRow("comment opened and closed at the top")
            << lines << QList<Edit>{{0, QStringLiteral("<!--")}, {2000, QStringLiteral("-->")}};
        QTest::newRow("lines broken and joined")
            << lines
            << QList<Edit>{{30, QStringLiteral("\r\n")},
                           {500, QString()},
                           {4000, QStringLiteral("<script>\r\nvar s = '</p>")}};
        QTest::newRow("long line") << longLine
                                   << QList<Edit>{{5, QStringLiteral("\"")},
                                                  {3000, QStringLiteral("<style>p{")},
                                                  {200, QString()}};
    }
    void statesFollowEdits() {
        QFETCH(QString, page);
        QFETCH(QList<Edit>, edits);
        App app;
        fill(app, {{page, black}});
        RichEdit* edit = app.edit();
        for (const Edit& e : edits) {
            edit->setSelStart(e.at);
            edit->setSelLength(e.text.isEmpty() ? 2 : 0);
            edit->setSelText(e.text);
            QCoreApplication::processEvents();
        }
        QTRY_VERIFY(editing::SyntaxColours::of(edit));
        auto* layer = editing::SyntaxColours::of(edit);
        QTRY_VERIFY(layer->isComplete());
        markup::State state = markup::startState;
        std::vector<markup::Span> spans;
        int blocks = 0;
        for (QTextBlock b = edit->document()->begin(); b.isValid(); b = b.next(), ++blocks) {
            QString following;
            const bool ends = !b.next().isValid() || !edit->continuesLine(b.next());
            for (QTextBlock n = b.next(); !ends && n.isValid() && edit->continuesLine(n) &&
                                          following.size() < markup::lookahead;
                 n = n.next())
                following += n.text();
            state = markup::lex(b.text(), state, ends, spans, following);
            QVERIFY2(b.userState() == state, qPrintable(QStringLiteral("block %1").arg(blocks)));
        }
    }

    // The tag marks kept per block follow the edits: matching in the editor after each edit
    // finds what matching in the page's text finds. A tag cut by a display block's end whose
    // next block is edited, a tag renamed, a comment opened above the others.
    void keptTagsFollowEdits_data() {
        const QString lines = pageAndEditsColumns(60, QStringLiteral("<div><p>line %1 <b>more</b></div>\r\n"));
        // Display blocks of 128 characters, each ending in the "<" of a "</ >" that the next
        // one finishes (no tag: a bogus comment); the edit makes one an end tag.
        const QString chunk = QStringLiteral("/ >") + QString(124, u'w') + QStringLiteral("<");
        QTest::newRow("tag completed in the next display block")
            << chunk.repeated(40) << QList<Edit>{{128 * 7 + 1, QStringLiteral("b")}};
        QTest::newRow("end tag renamed")
            << lines
            << QList<Edit>{{int(lines.indexOf(QLatin1String("</b>"))) + 2, QStringLiteral("i")}};
        QTest::newRow("comment opened and closed")
            << lines << QList<Edit>{{40, QStringLiteral("<!--")}, {300, QStringLiteral("-->")}};
    }
    void keptTagsFollowEdits() {
        QFETCH(QString, page);
        QFETCH(QList<Edit>, edits);
        App app;
        fill(app, {{page, black}});
        RichEdit* edit = app.edit();
        QTRY_VERIFY(editing::SyntaxColours::of(edit) &&
                    editing::SyntaxColours::of(edit)->isComplete());
        if (edit->displayBreakCount() > 0) // the edit falls on a display block's start
            QVERIFY(edit->document()->findBlockByNumber(7).text().startsWith(QLatin1String("/ >")));
        const auto compare = [&] {
            QString text = edit->text();
            text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
            const markup::TextPage fresh(text);
            const editing::BlockPage kept(edit);
            for (int at = text.indexOf(u'<'); at >= 0; at = text.indexOf(u'<', at + 1)) {
                const auto want = markup::matchingTag(fresh, at);
                const auto got = markup::matchingTag(kept, at);
                QVERIFY2(want.has_value() == got.has_value(), qPrintable(QString::number(at)));
                if (want)
                    QVERIFY2(want->tag == got->tag && want->partner == got->partner &&
                                 want->status == got->status && want->element == got->element,
                             qPrintable(QString::number(at)));
            }
        };
        compare();
        for (const Edit& e : edits) { // typed over one character
            edit->setSelStart(e.at);
            edit->setSelLength(1);
            QTest::keyClicks(edit, e.text);
            QTRY_VERIFY(editing::SyntaxColours::of(edit)->isComplete());
            compare();
            if (QTest::currentTestFailed())
                return;
        }
    }

    // The caret's line is drawn behind the text, the page's full width, on the caret's line
    // only; turned off, on none.
    void caretLineFollowsTheCaret() {
        App app;
        fill(app, {{QStringLiteral("one\r\ntwo\r\nthree"), black}});
        RichEdit* edit = app.edit();
        const auto marked = [&](int line) {
            const QImage shot = edit->viewport()->grab().toImage();
            const QTextBlock b = edit->document()->findBlockByNumber(line);
            const int y = int(edit->blockGeometry(b).center().y());
            return distance(shot.pixel(shot.width() - 3, y), qRgb(236, 242, 250)) < 10;
        };
        edit->setSelStart(1);
        QTRY_VERIFY(marked(0));
        QVERIFY(!marked(1));
        edit->setSelStart(6);
        QTRY_VERIFY(marked(1));
        QVERIFY(!marked(0) && !marked(2));
        app.trigger(QStringLiteral("mnuViewCaretLine"));
        QTRY_VERIFY(!marked(1));
    }

    void zoomSteps_data() {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("steps");
        QTest::addColumn<int>("to");
        QTest::newRow("in") << 100 << 1 << 110;
        QTest::newRow("out") << 100 << -1 << 90;
        QTest::newRow("off the ladder, in") << 95 << 1 << 100;
        QTest::newRow("off the ladder, out") << 95 << -1 << 90;
        QTest::newRow("top") << 400 << 1 << 400;
        QTest::newRow("bottom") << 50 << -1 << 50;
        QTest::newRow("many") << 100 << 20 << 400;
    }
    void zoomSteps() {
        QFETCH(int, from);
        QFETCH(int, steps);
        QFETCH(int, to);
        QCOMPARE(editing::zoomAfter(from, steps), to);
    }

    // Zoom reaches every window, by its keys and the wheel, and is remembered; the page's
    // font stays as it is.
    void zoomIsSharedAndRemembered() {
        {
            App app;
            app.newDocument();
            RichEdit* first = app.edit();
            app.newDocument();
            RichEdit* second = app.edit();
            const qreal size = first->font().pointSizeF();
            app.shortcut(Qt::Key_Equal, Qt::ControlModifier);
            app.shortcut(Qt::Key_Plus, Qt::ControlModifier);
            QCOMPARE(editing::displayOptions().zoom, 125);
            QCOMPARE(first->font().pointSizeF(), size * 1.25);
            QCOMPARE(second->font().pointSizeF(), size * 1.25);
            QCOMPARE(first->pageFont().pointSizeF(), size);
            QWheelEvent wheel(QPointF(5, 5), second->viewport()->mapToGlobal(QPointF(5, 5)),
                              QPoint(), QPoint(0, -120), Qt::NoButton, Qt::ControlModifier,
                              Qt::NoScrollPhase, false);
            QCoreApplication::sendEvent(second->viewport(), &wheel);
            QCOMPARE(editing::displayOptions().zoom, 110);
            app.shortcut(Qt::Key_Minus, Qt::ControlModifier);
            QCOMPARE(editing::displayOptions().zoom, 100);
            app.shortcut(Qt::Key_Minus, Qt::ControlModifier);
        }
        App again;
        QCOMPARE(editing::displayOptions().zoom, 90);
        again.newDocument();
        again.shortcut(Qt::Key_0, Qt::ControlModifier);
        QCOMPARE(editing::displayOptions().zoom, 100);
        QCOMPARE(again.edit()->font(), again.edit()->pageFont());
    }

    // Go to Matching Tag from a caret position (CR LF, found by a marker in the page) to the
    // partner's "<", with void and optional-end elements and a long line held as display blocks.
    void goToMatchingTag_data() {
        QTest::addColumn<QString>("page");
        QTest::addColumn<int>("caret");
        QTest::addColumn<int>("partner"); // -1: none, the caret stays
        // 0 <table>, 9 <tr>, 13 <td>, 17 a, 18 <td>, 22 b, 23 </tr>, 30 </table>, 40 <br>,
        // 44 <p>, 47 x, 48 </b>
        const QString table =
            QStringLiteral("<table>\r\n<tr><td>a<td>b</tr>\r\n</table>\r\n<br><p>x</b>");
        QTest::newRow("start tag") << table << 3 << 30;
        QTest::newRow("end tag") << table << 33 << 0;
        QTest::newRow("row") << table << 10 << 23;
        QTest::newRow("cell closed by the next") << table << 14 << 18;
        QTest::newRow("cell closed by the row's end") << table << 21 << 23;
        QTest::newRow("void") << table << 41 << -1;
        QTest::newRow("stray end tag") << table << 50 << -1;
        QString line = QStringLiteral("<div class=\"a\">");
        for (int i = 0; i < 400; ++i)
            line += QStringLiteral("<span>w%1</span> ").arg(i);
        const int end = int(line.size());
        line += QStringLiteral("</div>");
        QTest::newRow("across a long line") << line << 2 << end;
        QTest::newRow("back across a long line") << line << end + 3 << 0;
    }
    void goToMatchingTag() {
        QFETCH(QString, page);
        QFETCH(int, caret);
        QFETCH(int, partner);
        App app;
        fill(app, {{page, black}});
        app.edit()->setSelStart(caret);
        app.trigger(QStringLiteral("mnuEditGoToMatchingTag"));
        QCOMPARE(app.edit()->selStart(), partner < 0 ? caret : partner);
        // The marks: the tag and its partner behind a soft background, a stray tag alone.
        if (partner >= 0 || caret == 50)
            QTRY_COMPARE(editing::layer(app.edit(), editing::Layer::MatchingTag).size(),
                         partner >= 0 ? 2 : 1);
    }

    // The partner far down a page is shown coloured: the view the command scrolled to gets
    // its colours before it is drawn, however the widget moved it.
    void goToMatchingTagShowsThePartnerColoured() {
        App app;
        QString page = QStringLiteral("<div>\r\n");
        for (int i = 0; i < 3000; ++i)
            page += QStringLiteral("<p class=\"c\">line %1</p>\r\n").arg(i);
        fill(app, {{page + QStringLiteral("</div>"), black}});
        RichEdit* e = app.edit();
        QTRY_VERIFY(editing::SyntaxColours::of(e) && editing::SyntaxColours::of(e)->isComplete());
        e->setSelStart(2);
        app.trigger(QStringLiteral("mnuEditGoToMatchingTag"));
        QCOMPARE(e->selStart(), int(page.size()));
        const QTextBlock shown = e->firstVisibleBlock();
        QVERIFY(shown.blockNumber() > 2900);
        QTRY_VERIFY(!shown.layout()->formats().isEmpty());
        const QImage shot = e->viewport()->grab().toImage();
        QTextCursor c(e->document());
        c.setPosition(e->toDocumentPosition(int(page.size()) + 2)); // the "d" of "</div>"
        const QRect name = e->cursorRect(c).adjusted(1, 0, 6, 0);
        QVERIFY(drawnIn(shot, name, editing::markupColour(markup::Token::TagName)));
        // Back at the top, what was edited there while it was out of view is coloured too.
        c.setPosition(e->document()->findBlockByNumber(1).position());
        c.insertText(QStringLiteral("word <strong>"));
        e->setSelStart(0);
        QTRY_COMPARE(e->firstVisibleBlock().blockNumber(), 0);
        c.setPosition(c.block().position() + 6);
        const QRect from = e->cursorRect(c);
        c.setPosition(c.position() + 6);
        const QRect strong(from.topLeft(), e->cursorRect(c).bottomLeft()); // its name
        QVERIFY(drawnIn(e->viewport()->grab().toImage(), strong,
                        editing::markupColour(markup::Token::TagName)));
    }

    // Select Element takes the element around the selection, each repeat the one around it.
    void selectElement() {
        App app;
        const QString page = QStringLiteral("<table>\r\n<tr><td>a<td>b</tr>\r\n</table>");
        fill(app, {{page, black}});
        app.edit()->setSelStart(page.indexOf(QLatin1String("b</tr>")));
        const QStringList expected{QStringLiteral("<td>b"), QStringLiteral("<tr><td>a<td>b</tr>"),
                                   page};
        for (const QString& element : expected) {
            app.trigger(QStringLiteral("mnuEditSelectElement"));
            QCOMPARE(app.edit()->selText(), element);
        }
        app.trigger(QStringLiteral("mnuEditSelectElement"));
        QCOMPARE(app.edit()->selText(), page);
    }

    void commandsWithoutADocument() {
        App app;
        for (const char* item : {"mnuViewColourMarkup", "mnuViewCaretLine", "mnuViewFixedWidthFont",
                                 "mnuViewZoomIn", "mnuViewZoomOut", "mnuViewActualSize",
                                 "mnuEditGoToMatchingTag", "mnuEditSelectElement"})
            app.trigger(QLatin1String(item));
        QVERIFY(!app.doc());
        // The choices hold for the next page.
        app.newDocument();
        QTRY_VERIFY(editing::SyntaxColours::of(app.edit()));
        QVERIFY(!editing::SyntaxColours::of(app.edit())->isPainting());
        QVERIFY(app.edit()->font().fixedPitch() || QFontInfo(app.edit()->font()).fixedPitch());
    }
};

QTEST_MAIN(DisplayTest)
#include "tst_display.moc"
