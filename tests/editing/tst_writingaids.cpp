#include "support/TestKit.h"

#include "app/frmMain.h"
#include "document/RichEdit.h"
#include "document/frmDocument.h"
#include "editing/ClosingTags.h"
#include "editing/Completion.h"
#include "editing/CompletionPopup.h"
#include "editing/WritingAids.h"
#include "markup/TextPage.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>

using testkit::App;

namespace {

// "|" marks the caret.
std::pair<QString, int> caretIn(QString text) {
    const int at = int(text.indexOf(u'|'));
    text.remove(at, 1);
    return {text, at};
}

QStringList firstOffered(const QString& marked, int n) {
    const auto [text, at] = caretIn(marked);
    QStringList out;
    for (const editing::Suggestion& s :
         editing::suggestions(editing::completionContext(text, at, markup::startState)))
        if (out.size() < n)
            out << s.label;
    return out;
}

} // namespace

class TestWritingAids : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { testkit::isolate(); }

    void endTagOnSlash_data() {
        QTest::addColumn<QString>("page"); // "|" just after the typed "</"
        QTest::addColumn<QString>("name");
        QTest::newRow("innermost") << "<div><span>a</|"
                                   << "span";
        QTest::newRow("after a closed child") << "<div><p>a</p></|"
                                              << "div";
        QTest::newRow("void is never open") << "<div><br></|"
                                            << "div";
        QTest::newRow("optional end, open") << "<ul><li>a</|"
                                            << "li";
        QTest::newRow("optional end, implied") << "<ul><li>a<li>b</li></|"
                                               << "ul";
        QTest::newRow("script content") << "<script>var a = 1;</|"
                                        << "script";
        QTest::newRow("comment") << "<div><!-- a </|"
                                 << "";
        QTest::newRow("nothing open") << "text </|"
                                      << "";
    }
    void endTagOnSlash() {
        QFETCH(QString, page);
        QFETCH(QString, name);
        const auto [text, at] = caretIn(page);
        const markup::TextPage view(text);
        QCOMPARE(editing::elementToClose(view, at - 2), name);
    }

    void endTagOnGreaterThan_data() {
        QTest::addColumn<QString>("page"); // "|" just after the typed ">"
        QTest::addColumn<QString>("name");
        QTest::newRow("start tag") << "<p>|"
                                   << "p";
        QTest::newRow("with attributes") << "<a href=\"x\" class=c>|"
                                         << "a";
        QTest::newRow("upper case") << "<DIV>|"
                                    << "div";
        QTest::newRow("void") << "<br>|"
                              << "";
        QTest::newRow("void img") << "<img src=\"a.png\">|"
                                  << "";
        QTest::newRow("self-closing") << "<x-item/>|"
                                      << "";
        QTest::newRow("end tag") << "<p>a</p>|"
                                 << "";
        QTest::newRow("in script") << "<script>if (a >|"
                                   << "";
        QTest::newRow("in style") << "<style>a >|"
                                  << "";
        QTest::newRow("in comment") << "<!-- <b>|"
                                    << "";
        QTest::newRow("in a value") << "<a title=\"x>|"
                                    << "";
        QTest::newRow("already there") << "<p>|</p>"
                                       << "";
        QTest::newRow("other end tag follows") << "<b>|</i>"
                                               << "b";
        QTest::newRow("script tag itself") << "<script>|"
                                           << "script";
    }
    void endTagOnGreaterThan() {
        QFETCH(QString, page);
        QFETCH(QString, name);
        const auto [text, at] = caretIn(page);
        const markup::TextPage view(text);
        QCOMPARE(editing::endTagWanted(view, at, QStringView(text).mid(at)), name);
    }

    void offered_data() {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QStringList>("first");
        QTest::newRow("elements") << "<|" << QStringList{"a", "abbr", "acronym   (old-style)"};
        QTest::newRow("elements filtered") << "<ma|" << QStringList{"main", "map", "mark"};
        QTest::newRow("old-style marked") << "<cen|" << QStringList{"center   (old-style)"};
        QTest::newRow("attributes") << "<a hr|" << QStringList{"href", "hreflang"};
        QTest::newRow("global attributes") << "<p cl|" << QStringList{"class"};
        QTest::newRow("values") << "<a target=\"|"
                                << QStringList{"_blank", "_parent", "_self", "_top"};
        QTest::newRow("input type") << "<input type=\"ch|" << QStringList{"checkbox"};
        QTest::newRow("rel, any case") << "<LINK REL=\"st|" << QStringList{"stylesheet"};
        QTest::newRow("global dir") << "<p dir='|" << QStringList{"auto", "ltr", "rtl"};
        QTest::newRow("method") << "<form method=\"|" << QStringList{"dialog", "get", "post"};
        QTest::newRow("ol type") << "<ol type=\"|" << QStringList{"1", "A", "I", "a", "i"};
        QTest::newRow("script type") << "<script type=\"m|" << QStringList{"module"};
        QTest::newRow("values one element list shares") << "<iframe loading=\"|"
                                                        << QStringList{"eager", "lazy"};
        QTest::newRow("type differs by element") << "<embed type=\"|" << QStringList{};
        QTest::newRow("entities") << "a &nbs|" << QStringList{QString::fromUtf8("nbsp   \u00a0")};
        QTest::newRow("entity case") << "&Aac|" << QStringList{QString::fromUtf8("Aacute   Á")};
        QTest::newRow("entity in value") << "<a title=\"&amp|" << QStringList{"amp   &"};
        QTest::newRow("text") << "plain |" << QStringList{};
        QTest::newRow("closed value") << "<a target=\"_top\"|" << QStringList{};
        QTest::newRow("entity in script") << "<script>a &|" << QStringList{};
        QTest::newRow("element in comment") << "<!-- <|" << QStringList{};
    }
    void offered() {
        QFETCH(QString, page);
        QFETCH(QStringList, first);
        QCOMPARE(firstOffered(page, int(first.size()) + 1).mid(0, int(first.size())), first);
        if (first.isEmpty())
            QCOMPARE(firstOffered(page, 1), QStringList{});
    }

    void imageSize();
    void classesOfLinkedSheets();

    // An editor with no colours: the list keeps the lexer's states itself, and an edit above
    // the caret (a comment opened, then closed) changes what it offers below.
    void statesFollowEdits() {
        RichEdit edit;
        edit.setWholeText(QStringLiteral("<p>\n<!-- a\nb\nc <"));
        edit.show();
        editing::CompletionPopup popup(&edit);
        const auto offersAtEnd = [&] {
            edit.moveCursor(QTextCursor::End);
            popup.open(true);
            return popup.isOpen();
        };
        QVERIFY(!offersAtEnd());
        QTextCursor c = edit.textCursor();
        c.setPosition(4);
        c.insertText(QStringLiteral("<!-- -->"));
        c.setPosition(4 + 8);
        c.deleteChar(); // "<!-- -->\n!-- a": the second comment is gone
        QVERIFY(offersAtEnd());
        c.setPosition(0);
        c.insertText(QStringLiteral("<script>\n"));
        QVERIFY(!offersAtEnd());
    }

    void namesOfThePage() {
        const QString page = QStringLiteral(
            "<style>/* .gone */ .note, p.big > .x-1 { margin: .5em }</style>\n"
            "<link rel=\"stylesheet\" href=\"site.css\"><link rel=icon href=\"i.png\">\n"
            "<h2 id=\"top\">a</h2><p ID=intro>");
        QCOMPARE(editing::classNames(editing::pageStyle(page)),
                 (QStringList{"big", "note", "x-1"}));
        QCOMPARE(editing::idsOf(page), (QStringList{"intro", "top"}));
        QCOMPARE(editing::styleSheetsOf(page), QStringList{"site.css"});

        QTemporaryDir dir;
        QDir(dir.path()).mkdir(QStringLiteral("img"));
        for (const char* f : {"b.htm", "img/a.png"})
            QFile(dir.filePath(QLatin1String(f))).open(QIODevice::WriteOnly);
        QImage(5, 4, QImage::Format_RGB32).save(dir.filePath(QStringLiteral("z.png")));
        const editing::PageNames names{{"big", "note"}, {"intro", "top"}, dir.path()};
        const auto offered = [&](const QString& marked) {
            const auto [text, at] = caretIn(marked);
            QStringList out;
            for (const auto& s : editing::suggestions(
                     editing::completionContext(text, at, markup::startState), names))
                out << s.text;
            return out;
        };
        QCOMPARE(offered("<p class=\"big n|"), QStringList{"note"});
        QCOMPARE(offered("<a href=\"#|"), (QStringList{"intro", "top"}));
        QCOMPARE(offered("<label for=\"t|"), QStringList{"top"});
        QCOMPARE(offered("<img src=\"|"), (QStringList{"z.png", "img/", "b.htm"}));
        QCOMPARE(offered("<a href=\"|"), (QStringList{"img/", "b.htm", "z.png"}));
        QCOMPARE(offered("<img src=\"img/|"), QStringList{"img/a.png"});
        const auto [srcText, srcAt] = caretIn(QStringLiteral("<img src=\"z|"));
        QCOMPARE(editing::suggestions(
                     editing::completionContext(srcText, srcAt, markup::startState), names)
                     .front()
                     .label,
                 QString::fromUtf8("z.png   5 × 4"));
        QCOMPARE(editing::suggestions(
                     editing::completionContext(u"<a href=\"", 9, markup::startState), {})
                     .size(),
                 std::size_t(0)); // a page with no file: no paths
    }

    // Typed keys in the real window: the end tag is its own change after the ">", and the
    // Return a command sends never indents.
    void typingInTheWindow() {
        App app;
        app.newDocument();
        RichEdit* edit = app.edit();
        const auto typed = [&](const QString& keys) {
            edit->setWholeText(QString());
            QTest::keyClicks(edit, keys);
            return edit->toPlainText();
        };
        QCOMPARE(typed("<p>hi"), QStringLiteral("<p>hi</p>"));
        QCOMPARE(typed("<br>"), QStringLiteral("<br>"));
        const int before = app.doc()->history().undoCount();
        QTest::keyClicks(edit, "<b>");
        QCOMPARE(app.doc()->history().undoCount(), before + 4);
        app.trigger(QStringLiteral("mnuEditUndo"));
        QCOMPARE(edit->toPlainText(), QStringLiteral("<br><b>"));
        app.trigger(QStringLiteral("mnuEditUndo"));
        QCOMPARE(edit->toPlainText(), QStringLiteral("<br><b"));

        if (editing::writingOptions().closeTags)
            app.trigger(QStringLiteral("mnuEditCloseTags"));
        QVERIFY(!editing::writingOptions().closeTags);
        QCOMPARE(typed("<p>hi</"), QStringLiteral("<p>hi</p>"));
        app.trigger(QStringLiteral("mnuEditCloseTags"));

        auto* list = edit->viewport()->findChild<QListWidget*>(QStringLiteral("lstCompletion"));
        edit->setWholeText(QString());
        QTest::keyClicks(edit, "&nbs");
        list = edit->viewport()->findChild<QListWidget*>(QStringLiteral("lstCompletion"));
        QVERIFY(list && list->isVisible());
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(edit->toPlainText(), QStringLiteral("&nbsp;"));
        QVERIFY(!list->isVisible());
        QTest::keyClicks(edit, " <cen");
        QTest::keyClick(edit, Qt::Key_Escape);
        QVERIFY(!list->isVisible());
        QTest::keyClick(edit, Qt::Key_Return); // Escape closed the list: Return is a break
        QCOMPARE(edit->toPlainText(), QStringLiteral("&nbsp; <cen\n"));

        if (!editing::writingOptions().keepIndent)
            app.trigger(QStringLiteral("mnuEditKeepIndent"));
        QCOMPARE(typed("\t  x\ry"), QStringLiteral("\t  x\n\t  y"));
        edit->setWholeText(QStringLiteral("  a"));
        edit->moveCursor(QTextCursor::End);
        QKeyEvent ret(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
        QCoreApplication::sendEvent(edit, &ret); // as the insertion commands send it
        QCOMPARE(edit->toPlainText(), QStringLiteral("  a\n"));
        app.trigger(QStringLiteral("mnuEditKeepIndent"));
    }
};

// The class list joins the page's own style with its linked sheet, read again once the sheet
// changes on disk.
void TestWritingAids::classesOfLinkedSheets() {
    App app;
    app.newDocument();
    QTemporaryDir dir;
    const auto writeSheet = [&](const char* css) {
        QFile f(dir.filePath(QStringLiteral("s.css")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(css);
    };
    writeSheet(".b, .d { }");
    app.doc()->setWindowTitle(dir.filePath(QStringLiteral("page.htm")));
    app.edit()->setWholeText(QStringLiteral(
        "<style>.c, .a { }</style><link rel=stylesheet href=\"s.css\">\n<p class=\""));
    editing::CompletionPopup popup(app.edit());
    const auto offered = [&] {
        app.edit()->moveCursor(QTextCursor::End);
        popup.open(true);
        QStringList out;
        for (int i = 0; popup.isOpen() && i < popup.list()->count(); ++i)
            out << popup.list()->item(i)->text();
        return out;
    };
    QCOMPARE(offered(), (QStringList{"a", "b", "c", "d"}));
    writeSheet(".b, .e, .f { }");
    QCOMPARE(offered(), (QStringList{"a", "b", "c", "e", "f"}));
}

void TestWritingAids::imageSize() {
    App app;
    app.trigger(QStringLiteral("mnuEditInsertImageSize")); // no document: nothing happens
    app.newDocument();
    RichEdit* edit = app.edit();
    QTemporaryDir dir;
    QImage(7, 3, QImage::Format_RGB32).save(dir.filePath(QStringLiteral("a b.png")));
    const auto sized = [&](const QString& page, bool saved) {
        app.doc()->setWindowTitle(saved ? dir.filePath(QStringLiteral("page.htm"))
                                        : QStringLiteral("Untitled"));
        edit->setWholeText(page);
        QTextCursor c = edit->textCursor();
        c.setPosition(3);
        edit->setTextCursor(c);
        app.trigger(QStringLiteral("mnuEditInsertImageSize"));
        return edit->toPlainText();
    };
    QCOMPARE(sized("<img src=\"a%20b.png\" alt=x>", true),
             QStringLiteral("<img src=\"a%20b.png\" alt=x width=\"7\" height=\"3\">"));
    QCOMPARE(sized("<img src='a b.png'/>", true),
             QStringLiteral("<img src='a b.png' width=\"7\" height=\"3\"/>"));
    for (const QString& unchanged :
         {QStringLiteral("<img src=\"missing.png\">"),
          QStringLiteral("<img src=\"a b.png\" width=1>"), QStringLiteral("<p>no image</p>")})
        QCOMPARE(sized(unchanged, true), unchanged);
    QCOMPARE(sized("<img src=\"a b.png\">", false), QStringLiteral("<img src=\"a b.png\">"));
}

QTEST_MAIN(TestWritingAids)
#include "tst_writingaids.moc"
