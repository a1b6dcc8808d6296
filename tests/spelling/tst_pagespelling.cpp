#include "support/TestKit.h"

#include "app/frmMain.h"
#include "document/RichEdit.h"
#include "document/frmDocument.h"
#include "editing/SelectionLayers.h"
#include "spelling/Dictionaries.h"
#include "spelling/PageSpelling.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QMenu>
#include <QSettings>
#include <QTest>

using testkit::App;

// The system's locale here is Greenlandic, which no test machine has a dictionary for: the
// page's own language and a lang attribute are what make words checked.
namespace {

QStringList underlined(const RichEdit* edit) {
    QStringList out;
    for (const spelling::Underline& u : spelling::underlines(edit))
        out << u.word;
    return out;
}

// The page's context menu, as a right click on its first character opens it.
QMenu* contextMenu(RichEdit* edit) {
    const QPoint at = edit->cursorRect(QTextCursor(edit->document())).center();
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, edit->viewport()->mapToGlobal(at));
    QCoreApplication::sendEvent(edit->viewport(), &event);
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* m = qobject_cast<QMenu*>(w);
            m && m->isVisible() && m->findChild<QMenu*>(QStringLiteral("mnuSpellingLanguage")))
            return m;
    return nullptr;
}

QAction* languageChoice(QMenu* menu, const QString& caption) {
    auto* languages = menu ? menu->findChild<QMenu*>(QStringLiteral("mnuSpellingLanguage")) : nullptr;
    if (languages)
        for (QAction* a : languages->actions())
            if (a->text() == caption)
                return a;
    return nullptr;
}

} // namespace

class TestPageSpelling : public QObject {
    Q_OBJECT

    static void remember(int on) {
        QSettings store = testkit::settings();
        if (on < 0)
            store.remove(QStringLiteral("Settings/CheckSpelling"));
        else
            store.setValue(QStringLiteral("Settings/CheckSpelling"), QString::number(on));
    }

  private slots:
    void initTestCase() {
        testkit::isolate();
        if (!spelling::Dictionaries::shared().dictionaryFor(QStringLiteral("kl_GL")).isEmpty())
            QSKIP("a Greenlandic dictionary is installed");
        QVERIFY2(!spelling::Dictionaries::shared().dictionaryFor("en").isEmpty(),
                 "hunspell-en-us missing");
    }

    // Without a remembered choice checking is on only when the system's locale has a
    // dictionary; a remembered choice wins.
    void defaultFollowsTheDictionaries() {
        remember(-1);
        {
            App app;
            app.newDocument();
            QTRY_VERIFY(!spelling::checkingOn());
            QAction* item = app.main().findChild<QAction*>(QStringLiteral("mnuViewCheckSpelling"));
            QVERIFY(item && !item->isChecked());
            app.type(QStringLiteral("a speling"));
            QTest::qWait(50);
            QVERIFY(spelling::underlines(app.edit()).isEmpty());
        }
        remember(1);
        App app;
        app.newDocument();
        QVERIFY(spelling::checkingOn());
        app.type(QStringLiteral("<p lang=en>a speling</p>"));
        QTRY_COMPARE(underlined(app.edit()), QStringList{"speling"});
    }

    // The word being typed is checked and underlined once it ends or the caret leaves it.
    void wordBeingTyped() {
        remember(1);
        App app;
        app.newDocument();
        spelling::setPageLanguage(app.edit(), QStringLiteral("en_US"));
        app.type(QStringLiteral("a speling"));
        QTRY_VERIFY(spelling::isSettled(app.edit()));
        QTest::qWait(100);
        QVERIFY(spelling::underlines(app.edit()).isEmpty());
        app.key(Qt::Key_Left);
        QTRY_COMPARE(underlined(app.edit()), QStringList{"speling"});
        QTRY_COMPARE(editing::layer(app.edit(), editing::Layer::Spelling).size(), 1);
        app.edit()->moveCursor(QTextCursor::End);
        app.type(QStringLiteral(" wrnog."));
        QTRY_COMPARE(underlined(app.edit()), (QStringList{"speling", "wrnog"}));
    }

    // Answers held while the user types in one window still reach another window.
    void typingElsewhere() {
        remember(1);
        App app;
        app.newDocument();
        RichEdit* other = app.edit();
        spelling::setPageLanguage(other, QStringLiteral("en_US"));
        QString page;
        for (int i = 0; i < 4000; ++i)
            page += QStringLiteral("<p>The visitors read this paragraph.</p>\n");
        other->setWholeText(page + QStringLiteral("<p>a speling</p>"));
        app.newDocument();
        QElapsedTimer typing;
        typing.start();
        while (typing.elapsed() < 1500) {
            app.type(QStringLiteral("ab "));
            QTest::qWait(20);
        }
        QTRY_VERIFY(spelling::isSettled(other));
        QTRY_COMPARE(underlined(other), QStringList{"speling"});
    }

    // Words outside any lang attribute follow the page's own language, chosen in its context
    // menu for that window only; a lang attribute still wins.
    void pageLanguage() {
        remember(1);
        App app;
        const QString page = QStringLiteral("<p>a speling</p><p lang=en-US>anothr</p>");
        app.newDocument();
        RichEdit* first = app.edit();
        app.type(page);
        QTRY_VERIFY(spelling::isSettled(first));
        QTRY_COMPARE(underlined(first), QStringList{"anothr"});

        QMenu* menu = contextMenu(first);
        QAction* system = languageChoice(menu, QStringLiteral("System Language (kl_GL)"));
        QAction* english = languageChoice(menu, QStringLiteral("en_US"));
        QVERIFY(system && system->isChecked());
        QVERIFY(english && !english->isChecked());
        english->trigger();
        menu->close();
        QCOMPARE(spelling::pageLanguage(first), QStringLiteral("en_US"));
        QTRY_COMPARE(underlined(first), (QStringList{"speling", "anothr"}));

        app.newDocument(); // another page keeps the system's language
        app.type(page);
        QTRY_VERIFY(spelling::isSettled(app.edit()));
        QTRY_COMPARE(underlined(app.edit()), QStringList{"anothr"});
        QCOMPARE(underlined(first), (QStringList{"speling", "anothr"}));

        menu = contextMenu(first);
        QVERIFY(languageChoice(menu, QStringLiteral("en_US"))->isChecked());
        languageChoice(menu, QStringLiteral("System Language (kl_GL)"))->trigger();
        menu->close();
        QTRY_COMPARE(underlined(first), QStringList{"anothr"});
    }
};

int main(int argc, char** argv) {
    // Read by the system locale as the application starts.
    qputenv("LC_ALL", "kl_GL.UTF-8");
    qputenv("LANG", "kl_GL.UTF-8");
    QApplication app(argc, argv);
    TestPageSpelling test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_pagespelling.moc"
