#include "support/TestKit.h"

#include "app/frmMain.h"
#include "document/PageTemplate.h"
#include "document/RichEdit.h"
#include "document/frmDocument.h"
#include "platform/Clipboard.h"
#include "platform/HelpViewer.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

using testkit::App;

class ShellCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { testkit::isolate(); }
    void init() { testkit::takeMessages(); }

    void copyCutPaste()
    {
        App app;
        app.click("FB3");
        RichEdit* e = app.edit();
        const QString page = page::newPageTemplate();

        platform::clipboard::setText("old");
        app.select(0, 0);
        app.click("FB5"); // Copy with nothing selected: an empty text on the clipboard
        QCOMPARE(platform::clipboard::text(), QString());

        const int head = page.indexOf("<HEAD>");
        app.select(head, 6);
        app.trigger("mnuEditCopy");
        QCOMPARE(platform::clipboard::text(), QStringLiteral("<HEAD>"));
        QCOMPARE(e->text(), page);
        QCOMPARE(app.doc()->savedCaret(), head);

        // Cut, then Paste elsewhere: the text moves; it takes the colour at the paste point.
        const int undoBefore = app.doc()->history().undoCount();
        app.click("FB4");
        QCOMPARE(e->text(), QString(page).remove(head, 6));
        QCOMPARE(app.doc()->history().undoCount(), undoBefore + 1);
        e->setSelStart(0);
        e->setSelColor(QColor(0, 0, 255));
        app.trigger("mnuEditPaste");
        QVERIFY(e->text().startsWith("<HEAD><HTML>"));
        QCOMPARE(testkit::colourAt(e, 0), QColor(0, 0, 255));
        QCOMPARE(app.doc()->savedCaret(), 6);

        // Text from elsewhere is pasted as plain text, line breaks kept.
        platform::clipboard::setText("a\nb");
        app.click("FB6");
        QVERIFY(e->text().startsWith("<HEAD>a\r\nb<HTML>"));

        // An empty clipboard inserts nothing.
        platform::clipboard::setText(QString());
        const QString before = e->text();
        app.trigger("mnuEditPaste");
        QCOMPARE(e->text(), before);
    }

    void menuShortcutsReachTheClipboardCommands()
    {
        App app;
        app.newDocument();
        app.select(0, 6);
        app.shortcut(Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(platform::clipboard::text(), QStringLiteral("<HTML>"));
        app.shortcut(Qt::Key_X, Qt::ControlModifier);
        QVERIFY(app.edit()->text().startsWith("\r\n<HEAD>"));
        app.shortcut(Qt::Key_V, Qt::ControlModifier);
        QVERIFY(app.edit()->text().startsWith("<HTML>\r\n<HEAD>"));
    }

    void tileVerticalSetsWindowsSideBySideWithTheLogo()
    {
        App app;
        app.newDocument();
        app.newDocument();
        app.main().resize(900, 600);
        QCoreApplication::processEvents();
        app.trigger("mnuWindowTileVertical");
        QList<QMdiSubWindow*> windows = app.main().mdiArea()->subWindowList();
        QCOMPARE(windows.size(), 3);
        QVERIFY(windows.contains(app.main().logoWindow()));
        const int h = app.main().mdiArea()->viewport()->height();
        QList<int> lefts;
        for (QMdiSubWindow* w : windows) {
            QCOMPARE(w->y(), 0);
            QCOMPARE(w->height(), h);
            lefts << w->x();
        }
        std::sort(lefts.begin(), lefts.end());
        QVERIFY(lefts[0] == 0 && lefts[1] > lefts[0] && lefts[2] > lefts[1]);

        app.trigger("mnuWindowTileHorizontal");
        const int w0 = app.main().mdiArea()->viewport()->width();
        for (QMdiSubWindow* w : windows) {
            QCOMPARE(w->x(), 0);
            QCOMPARE(w->width(), w0);
        }
        app.trigger("mnuWindowCascade");
        QVERIFY(windows[0]->pos() != windows[1]->pos());
    }

    void windowMenuListsTheDocuments()
    {
        App app;
        frmDocument* first = app.newDocument();
        app.newDocument();
        auto* menu = app.main().findChild<QMenu*>("mnuWindow");
        emit menu->aboutToShow();
        QStringList titles;
        for (QAction* a : menu->actions())
            if (a->text().startsWith('&') && a->text().contains("Document"))
                titles << a->text();
        QCOMPARE(titles.size(), 2);
        for (QAction* a : menu->actions())
            if (a->text() == titles.first())
                a->trigger();
        QCOMPARE(app.doc(), first);
    }

    void helpContentsShowsTheContentsPage()
    {
        App app;
        app.trigger("mnuHelpContents");
        auto* help = qobject_cast<QTextBrowser*>(platform::helpWindow());
        QVERIFY(help);
        QVERIFY(help->isVisible());
        QCOMPARE(help->documentTitle(), QStringLiteral("Halvane Help"));
        // Every menu has its page, reachable from the contents.
        for (const char* page : {"file", "edit", "view", "format", "effects", "insert", "window",
                                 "help", "toolbar"}) {
            QVERIFY2(help->toHtml().contains(QString("%1.html").arg(page)), page);
            QVERIFY(QFile::exists(QString(":/help/%1.html").arg(page)));
        }
        QVERIFY(!platform::showHelp(nullptr, "Missing.hlp", platform::helpContents));
        QCOMPARE(testkit::takeMessages(), QStringList{"Cannot find the help file Missing.hlp."});
        app.main().close();
        QTRY_VERIFY(!platform::helpWindow());
    }

    void aboutBox()
    {
        App app;
        const QByteArray path = qgetenv("PATH");
        QTemporaryDir empty;
        qputenv("PATH", empty.path().toLocal8Bit()); // no system information program
        QStringList seen;
        QTimer::singleShot(0, [&] {
            QWidget* box = QApplication::activeModalWidget();
            if (!box) {
                seen << "no modal box";
                return;
            }
            seen << box->objectName() << box->windowTitle()
                 << box->findChild<QLabel*>("lblTitle")->text()
                 << box->findChild<QLabel*>("lblVersion")->text()
                 << box->findChild<QPushButton*>("cmdSysInfo")->text();
            QTest::mouseClick(box->findChild<QPushButton*>("cmdSysInfo"), Qt::LeftButton);
            QTest::mouseClick(box->findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
        });
        app.trigger("mnuHelpAbout");
        qputenv("PATH", path);
        QCOMPARE(seen, QStringList({"frmAbout", "About Halvane", "Halvane", "Version 1.2.1",
                                    "&System Info..."}));
        QCOMPARE(testkit::takeMessages(),
                 QStringList{"System Information Is Unavailable At This Time"});
        QTRY_VERIFY(!QApplication::activeModalWidget());
    }

    void systemInfoStartsTheProgramFound()
    {
        QTemporaryDir bin;
        const QString marker = bin.filePath("started");
        QFile script(bin.filePath("hardinfo"));
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write(QString("#!/bin/sh\ntouch '%1'\n").arg(marker).toUtf8());
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", bin.path().toLocal8Bit() + ":/usr/bin:/bin");
        App app;
        QTimer::singleShot(0, [] {
            if (QWidget* box = QApplication::activeModalWidget()) {
                QTest::mouseClick(box->findChild<QPushButton*>("cmdSysInfo"), Qt::LeftButton);
                QTest::mouseClick(box->findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
            }
        });
        app.trigger("mnuHelpAbout");
        qputenv("PATH", path);
        QTRY_VERIFY(QFile::exists(marker));
        QVERIFY(testkit::takeMessages().isEmpty());
    }
};

QTEST_MAIN(ShellCommandsTest)
#include "tst_shellcommands.moc"
