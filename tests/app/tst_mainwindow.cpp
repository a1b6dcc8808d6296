#include "support/TestKit.h"

#include "app/CommandHandlers.h"
#include "app/CommandTable.h"
#include "app/Pictures.h"
#include "app/ToolbarStrip.h"
#include "app/frmMain.h"
#include "document/PageTemplate.h"
#include "document/RichEdit.h"
#include "document/frmDocument.h"
#include "platform/Clipboard.h"
#include "platform/Pictures.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScreen>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using testkit::App;
using testkit::Run;

namespace {

const QColor red(255, 0, 0);
const QColor black(0, 0, 0);
const QColor blue(0, 0, 255);
const QColor olive(155, 150, 50);

// The placement section of the settings store, as a test sees it.
struct Store {
    QSettings s{QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Halvane"), QStringLiteral("Halvane")};
    Store() { s.beginGroup(QStringLiteral("Settings")); }
    QVariant value(const char* key) { return s.value(QLatin1String(key)); }
    void setValue(const QString& key, const QString& v) { s.setValue(key, v); }
    bool contains(const char* key) { return s.contains(QLatin1String(key)); }
};
Store store() { return {}; }

void clearStore() { testkit::settings().remove(QStringLiteral("Settings")); }

// Twips to pixels by the primary screen's logical resolution (1440 twips a logical inch), so
// that the figures hold on any screen, not only at 96 dpi.
double twipsPerPixel() { return 1440.0 / QGuiApplication::primaryScreen()->logicalDotsPerInchX(); }
int px(double twips) { return qRound(twips / twipsPerPixel()); }

QRect available() { return QGuiApplication::primaryScreen()->availableGeometry(); }

// The main window's first-run rectangle, 1000 twips from the desktop's corner and 6400 twips
// square, no larger than the screen.
QSize defaultSize() { return QSize(px(6400), px(6400)).boundedTo(available().size()); }
QRect defaultPlacement() { return QRect(QPoint(px(1000), px(1000)), defaultSize()); }

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { testkit::isolate(); }
    void init()
    {
        clearStore();
        platform::clipboard::setText(QStringLiteral("clipboard before"));
        testkit::takeMessages();
    }

    // A start shows only the program's own pictures: it loads none of the toolkit's
    // picture-format plug-ins (each brings a library of its own: WebP, TIFF, SVG...). First
    // here, before any other test of this process reads a picture.
    void startLoadsNoPictureFormats()
    {
        platform::deferStockIcons(*qApp);
        App app;
        QVERIFY(app.main().LoadANewDoc());
        QVERIFY(QTest::qWaitForWindowExposed(&app.main()));
        QVERIFY(!app.main().logoWindow()->windowIcon().isNull());
        QCOMPARE(platform::picture(QStringLiteral("splash")).size(), QSize(420, 240));
        QFile maps(QStringLiteral("/proc/self/maps"));
        QVERIFY(maps.open(QIODevice::ReadOnly));
        const QByteArray mapped = maps.readAll();
        QVERIFY2(!mapped.contains("/imageformats/"), mapped.constData());
    }

    void startsWithLogoOnlyAndOpenNewEnabled()
    {
        App app;
        frmMain& m = app.main();
        QCOMPARE(m.windowTitle(), QStringLiteral("Halvane"));
        QVERIFY(m.documents().isEmpty());
        QVERIFY(!app.doc());
        QMdiSubWindow* logo = m.logoWindow();
        QCOMPARE(logo->objectName(), QStringLiteral("Form2"));
        QCOMPARE(logo->windowTitle(), QStringLiteral("Form2"));
        QVERIFY(logo->isVisible());
        QVERIFY(!logo->isEnabled());
        for (const commands::ToolButton& b : commands::toolbar()) {
            const QString name = QString::fromLatin1(b.name);
            QCOMPARE(app.enabled(name), name == "FB1" || name == "FB3");
        }
        QStatusBar* bar = m.findChild<QStatusBar*>(QStringLiteral("sbStatusBar"));
        QVERIFY(bar && bar->isVisible());
        QCOMPARE(m.findChild<QLabel*>(QStringLiteral("sbPanel1"))->text(),
                 QStringLiteral("Halvane 1.2 HTML Editor from Moravel"));
        QCOMPARE(m.findChild<QLabel*>(QStringLiteral("sbPanel2"))->text(), QStringLiteral("CAPS"));
        QCOMPARE(m.findChild<QLabel*>(QStringLiteral("sbPanel3"))->text(), QStringLiteral("NUM"));
        QCOMPARE(m.findChild<QLabel*>(QStringLiteral("sbPanel4"))->text(), QStringLiteral("SCRL"));
        QVERIFY(!m.findChild<QLabel*>(QStringLiteral("sbPanel5"))->text().isEmpty());
        QVERIFY(!m.findChild<QLabel*>(QStringLiteral("sbPanel6"))->text().isEmpty());
    }

    void placementDefaultsOnFirstRun()
    {
        App app;
        QCOMPARE(QRect(app.main().pos(), app.main().size()), defaultPlacement());
    }

    // Stored a moment after a move or resize, without closing: a kill keeps it.
    void placementStoredWhileRunning()
    {
        clearStore();
        App app;
        const QSize size = QSize(520, 380).boundedTo(available().size() - QSize(150, 100));
        app.main().move(available().topLeft() + QPoint(70, 40));
        app.main().resize(size);
        QTRY_VERIFY(store().contains("MainWidth"));
        QCOMPARE(qRound(store().value("MainWidth").toDouble()), qRound(size.width() * twipsPerPixel()));
        QCOMPARE(qRound(store().value("MainHeight").toDouble()), qRound(size.height() * twipsPerPixel()));
        QCOMPARE(qRound(store().value("MainLeft").toDouble()), qRound(app.main().x() * twipsPerPixel()));
    }

    void placementRoundTrip()
    {
        // A rectangle that fits on the screen, whatever its size.
        const QRect placed(QPoint(120, 90), QSize(600, 450).boundedTo(available().size() - QSize(150, 100)));
        {
            App app;
            app.main().move(placed.topLeft());
            app.main().resize(placed.size());
            app.main().close();
        }
        QCOMPARE(qRound(store().value("MainLeft").toDouble()), qRound(120 * twipsPerPixel()));
        QCOMPARE(qRound(store().value("MainWidth").toDouble()), qRound(placed.width() * twipsPerPixel()));
        App again;
        QCOMPARE(QRect(again.main().pos(), again.main().size()), placed);
    }

    void minimizedCloseKeepsStoredPlacement()
    {
        store().setValue("MainLeft", "1500");
        App app;
        app.main().move(300, 300);
        app.main().showMinimized();
        app.main().close();
        QCOMPARE(store().value("MainLeft").toString(), QStringLiteral("1500"));
        QVERIFY(!store().contains("MainTop"));
    }

    void maximizedCloseStoresMaximizedRectangle()
    {
        QSize maximised;
        {
            App app;
            app.main().showMaximized();
            QTRY_VERIFY(app.main().isMaximized());
            QTRY_COMPARE(app.main().frameGeometry().width(), available().width());
            maximised = app.main().size();
            app.main().close();
        }
        App again;
        QVERIFY(!again.main().isMaximized());
        QVERIFY(qAbs(again.main().width() - maximised.width()) <= 1);
        QVERIFY(qAbs(again.main().height() - maximised.height()) <= 1);
    }

    void badStoredPlacementFallsBack_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QRect>("expected");
        const QRect defaults = defaultPlacement();
        QTest::newRow("left not a number") << "MainLeft" << "abc" << defaults;
        QTest::newRow("width empty") << "MainWidth" << "" << defaults;
        QTest::newRow("height negative") << "MainHeight" << "-500" << defaults;
        QTest::newRow("width zero") << "MainWidth" << "0" << defaults;
        QTest::newRow("fraction read as number")
            << "MainTop" << "1500.4" << QRect(QPoint(px(1000), px(1500.4)), defaultSize());
        QTest::newRow("far off every screen: back on the primary screen")
            << "MainLeft" << "9000000" << defaults.translated(available().topLeft());
        // Numbers past any desktop are clamped before the rectangle is built (3e10 twips is
        // more pixels than an int holds at some resolutions).
        const QRect offScreen = defaults.translated(available().topLeft());
        QTest::newRow("left 3e10") << "MainLeft" << "3e10" << offScreen;
        QTest::newRow("top -3e10") << "MainTop" << "-3e10" << offScreen;
        QTest::newRow("width 3e30")
            << "MainWidth" << "3e30" << QRect(defaults.topLeft(), QSize(available().width(), defaultSize().height()));
        QTest::newRow("height nan") << "MainHeight" << "nan" << defaults;
        QTest::newRow("left inf") << "MainLeft" << "inf" << defaults;
    }
    void badStoredPlacementFallsBack()
    {
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QRect, expected);
        store().setValue(key, value);
        App app;
        QCOMPARE(QRect(app.main().pos(), app.main().size()), expected);
    }

    void logoStaysCentred()
    {
        App app;
        QMdiArea* area = app.main().mdiArea();
        QMdiSubWindow* logo = app.main().logoWindow();
        for (const QSize size : {QSize(700, 560), QSize(900, 700), QSize(500, 420)}) {
            app.main().resize(size);
            QCoreApplication::processEvents();
            const QSize client = area->viewport()->size();
            QCOMPARE(logo->pos(), QPoint((client.width() - logo->width()) / 2,
                                         (client.height() - logo->height()) / 2));
        }
        // A client area smaller than the logo puts its corner at negative coordinates.
        area->viewport()->resize(logo->width() - 41, logo->height() - 21);
        QCOMPARE(logo->pos(), QPoint(-41 / 2, -21 / 2));
    }

    // Every entry of the command table is built as it says: its caption and shortcut, in its
    // menu (the entry before it one level up), and its key, pressed in the main window,
    // reaches the item (its command unhooked, so that nothing opens). A few captions and keys
    // are fixed texts of the product, kept here as their golden copy.
    void menuTreeMatchesTable()
    {
        App app;
        std::vector<QString> menus; // the open menu at each depth
        int items = 0;
        for (const commands::MenuEntry& e : commands::menuTree()) {
            menus.resize(std::size_t(e.depth));
            menus.push_back(QLatin1String(e.name));
            const QString name = QLatin1String(e.name);
            if (e.depth == 0 || QLatin1String(e.caption) == QLatin1String("-"))
                continue;
            QAction* a = app.main().action(name);
            if (!a) { // a submenu
                auto* sub = app.main().findChild<QMenu*>(name);
                QVERIFY2(sub && sub->title() == QLatin1String(e.caption), e.name);
                continue;
            }
            ++items;
            QCOMPARE(a->text(), QLatin1String(e.caption));
            QCOMPARE(a->shortcut(), QKeySequence(QLatin1String(e.shortcut ? e.shortcut : "")));
            auto* menu = app.main().findChild<QMenu*>(menus[std::size_t(e.depth) - 1]);
            QVERIFY2(menu && menu->actions().contains(a), e.name);
            if (!e.shortcut)
                continue;
            QObject::disconnect(a, &QAction::triggered, nullptr, nullptr);
            a->setEnabled(true);
            QSignalSpy fired(a, &QAction::triggered);
            const QKeyCombination key = QKeySequence(QLatin1String(e.shortcut))[0];
            app.shortcut(key.key(), key.keyboardModifiers());
            QVERIFY2(fired.count() == 1, e.name);
        }
        QVERIFY(items > 40);
        const char* golden[][4] = {
            {"mnuFileNew", "&New", "Ctrl+N", "mnuFile"},
            {"mnuFileSaveAs", "Save &As...", "Ctrl+A", "mnuFile"},
            {"mnuFilePageSetup", "Page Set&up...", "", "mnuFile"},
            {"mnuRedo", "&Redo", "Ctrl+R", "mnuEdit"},
            {"mnuFSSThru", "&StrikeThrough", "F6", "mnuFS"},
            {"mnuFormatFrames", "F&rames", "F11", "mnuFormat"},
            {"mnuFrmtHdingH6", "H&6", "Shift+F6", "mnuFormatHeadings"},
            {"mnuEffBTV", "&BackTrack View", "Ctrl+F11", "mnuEff"},
            {"mnuInsTable", "&Table", "Shift+Ctrl+F7", "mnuIns"},
            {"mnuWindowTileVertical", "Tile &Vertical", "Shift+Ctrl+F12", "mnuWindow"},
            {"mnuHelpAbout", "&About Halvane...", "Shift+Ins", "mnuHelp"},
        };
        for (const auto& [name, caption, shortcut, parent] : golden) {
            QAction* a = app.main().action(QLatin1String(name));
            QVERIFY2(a && a->text() == QLatin1String(caption), name);
            QCOMPARE(a->shortcut(), QKeySequence(QLatin1String(shortcut)));
            QVERIFY2(app.main().findChild<QMenu*>(QLatin1String(parent))->actions().contains(a), name);
        }
    }

    void menuBarOrderAndSeparators()
    {
        App app;
        QStringList top;
        for (QAction* a : app.main().menuBar()->actions())
            top << a->objectName();
        QCOMPARE(top, QStringList({"mnuFile", "mnuEdit", "mnuView", "mnuFormat", "mnuEff",
                                   "mnuIns", "mnuWindow", "mnuHelp"}));
        auto* file = app.main().findChild<QMenu*>(QStringLiteral("mnuFile"));
        QStringList items;
        for (QAction* a : file->actions())
            items << (a->isSeparator() ? QStringLiteral("-") : a->objectName());
        QCOMPARE(items, QStringList({"mnuFileNew", "mnuFileOpen", "-", "mnuFileSave",
                                     "mnuFileSaveAs", "mnuSaveEdit", "-", "mnuFilePageSetup",
                                     "mnuFilePrint", "-", "mnuFileRecent", "-", "mnuFileClose",
                                     "mnuFileExit", "-", "mnuFileOpenFolder"}));
        // No shortcut anywhere uses F10.
        for (QAction* a : app.main().findChildren<QAction*>())
            QVERIFY2(!a->shortcut().toString().contains(QLatin1String("F10")),
                     qPrintable(a->objectName()));
    }

    // Every toolbar button is built from its table entry: caption, tooltip and place in
    // twips on the strip. Some are fixed values of the product, kept here as their golden copy.
    void toolbarButtonsMatchTable()
    {
        App app;
        for (const commands::ToolButton& t : commands::toolbar()) {
            QPushButton* b = app.main().button(QLatin1String(t.name));
            QVERIFY2(b, t.name);
            QCOMPARE(b->parentWidget()->objectName(), QStringLiteral("Picture1"));
            // "&&" shows a literal ampersand: a button caption has no access key.
            QCOMPARE(b->text(), QString::fromLatin1(t.caption).replace(QLatin1Char('&'), QLatin1String("&&")));
            QCOMPARE(b->toolTip(), QLatin1String(t.tooltip));
            QCOMPARE(b->geometry(), QRect(px(t.left), t.row == 1 ? 0 : px(435), px(t.width), px(300)));
        }
        QCOMPARE(int(commands::toolbar().size()), 21);
        struct R { const char* n; const char* c; int row, left, width; const char* t; };
        const R golden[] = {
            {"FB1", "Open", 1, 0, 510, "Open An existing Text or HTML file"},
            {"FB9", "List ", 1, 3735, 420, "Bulleted lists"},
            {"FB11", "Links && Images", 1, 4910, 1200, "Hyperlinks, Images & more"},
            {"FB14", "Break", 1, 8300, 540, "Insert a hard line break"},
            {"FB15", "Horiz Rule", 2, 600, 870, "Place a Horizontal Rule on the page"},
            {"FB20", "Dynamic HTML", 2, 7200, 1230, "Assorted Dynamic HTML functions"},
            {"FB23", "View", 2, 0, 480, "View Page in default Browser"},
        };
        for (const R& r : golden) {
            QPushButton* b = app.main().button(QLatin1String(r.n));
            QVERIFY2(b && b->text() == QLatin1String(r.c) && b->toolTip() == QLatin1String(r.t), r.n);
            QCOMPARE(b->geometry(), QRect(px(r.left), r.row == 1 ? 0 : px(435), px(r.width), px(300)));
        }
    }

    // On the toolbar strip, in pixels: every button within its height (a narrow window cuts
    // the strip short on the right), in one of two rows, no two overlapping.
    void toolbarButtonsDoNotOverlap()
    {
        App app;
        QList<QRect> placed;
        for (const commands::ToolButton& b : commands::toolbar()) {
            const QPushButton* button = app.main().button(QString::fromLatin1(b.name));
            QVERIFY(button);
            const QRect r = button->geometry();
            QVERIFY2(r.left() >= 0 && r.top() >= 0 && r.bottom() < button->parentWidget()->height(), b.name);
            QVERIFY2(r.top() == 0 || r.top() > placed.value(0).bottom(), b.name);
            for (const QRect& other : std::as_const(placed))
                QVERIFY2(!other.intersects(r), b.name);
            placed << r;
        }
        QVERIFY(placed.size() >= 20);
    }

    // Strip width (twips, laid out one to one) -> the buttons the overflow menu offers, with
    // the overflow button taking 300 twips at the right end.
    void overflowAtStripWidths_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<QStringList>("hidden");
        const QStringList all{"FB1",  "FB2",  "FB3",  "FB4",  "FB5",  "FB6",  "FB7",
                              "FB9",  "FB10", "FB11", "FB12", "FB13", "FB14", "FB23",
                              "FB15", "FB16", "FB17", "FB18", "FB8",  "FB19", "FB20"};
        QTest::newRow("wide screen") << 19200 << QStringList();
        QTest::newRow("exactly the first row") << 8840 << QStringList();
        QTest::newRow("one twip short") << 8839 << QStringList{"FB14"};
        QTest::newRow("default width") << 6400
            << QStringList{"FB11", "FB12", "FB13", "FB14", "FB8", "FB19", "FB20"};
        QTest::newRow("right edge meets the overflow button") << 6410
            << QStringList{"FB12", "FB13", "FB14", "FB8", "FB19", "FB20"};
        QTest::newRow("room for the overflow button only") << 300 << all;
        QTest::newRow("no width") << 0 << all;
    }
    void overflowAtStripWidths()
    {
        QFETCH(int, width);
        QFETCH(QStringList, hidden);
        QStringList got;
        for (const commands::ToolButton* b :
             commands::overflowing(width, commands::moreButtonWidth, [](double t) { return int(t); }))
            got << QString::fromLatin1(b->name);
        QCOMPARE(got, hidden);
    }

    // At the default width the buttons cut off are hidden and offered by the overflow menu
    // with their captions, tooltips and enabled state; an entry clicks its button.
    void overflowMenuOffersHiddenButtons()
    {
        App app;
        auto* more = app.main().findChild<QToolButton*>(QStringLiteral("FBMore"));
        QVERIFY(more && more->isVisible());
        QVERIFY(more->geometry().right() < more->parentWidget()->width());
        QMenu* menu = more->menu();
        emit menu->aboutToShow();
        QStringList offered;
        for (QAction* a : menu->actions()) {
            if (a->isSeparator())
                continue;
            const QString name = a->objectName().chopped(4);
            const QPushButton* b = app.main().button(name);
            QVERIFY2(b && !b->isVisible(), qPrintable(name));
            QCOMPARE(a->text(), b->text());
            QCOMPARE(a->toolTip(), b->toolTip());
            QCOMPARE(a->isEnabled(), b->isEnabled());
            offered << name;
        }
        QVERIFY(offered.contains("FB14") && offered.contains("FB20"));
        for (const commands::ToolButton& b : commands::toolbar()) {
            const QPushButton* button = app.main().button(QString::fromLatin1(b.name));
            QVERIFY2(offered.contains(QLatin1String(b.name)) ||
                         (button->isVisible() && button->geometry().right() < more->x()),
                     b.name);
        }
        app.click("FB3");
        app.edit()->setSelStart(app.edit()->textLength());
        const int before = app.edit()->textLength();
        emit menu->aboutToShow();
        QAction* brk = menu->findChild<QAction*>(QStringLiteral("FB14More"));
        QVERIFY(brk && brk->isEnabled());
        brk->trigger();
        QVERIFY(app.edit()->textLength() > before);
        // Wide enough for both rows: no overflow button, every button shown.
        app.main().resize(px(9500), app.main().height());
        QTRY_VERIFY(!more->isVisible());
        QVERIFY(app.main().button("FB14")->isVisible());
    }

    // At 200 % each picture comes from its 2x source, covering the area of the 1x one.
    void picturesHaveTwiceAsLargeSources_data()
    {
        QTest::addColumn<QString>("path");
        for (const char* path : {":/logo.png", ":/splash.png", ":/icon.png"})
            QTest::newRow(path) << QString::fromLatin1(path);
    }
    void picturesHaveTwiceAsLargeSources()
    {
        QFETCH(QString, path);
        const QPixmap normal = pictures::load(path, 1.0);
        const QPixmap sharp = pictures::load(path, 2.0);
        QVERIFY(!normal.isNull());
        QCOMPARE(sharp.size(), normal.size() * 2);
        QCOMPARE(sharp.deviceIndependentSize(), QSizeF(normal.size()));
        QCOMPARE(pictures::load(path, 1.5).deviceIndependentSize(), QSizeF(normal.size()));
    }

    void enablingRule()
    {
        App app;
        app.newDocument(); // the menu's New leaves the toolbar as it was
        QVERIFY(!app.enabled("FB10"));
        const QString before = app.edit()->text();
        app.click("FB14"); // disabled: nothing happens
        QCOMPARE(app.edit()->text(), before);
        app.click("FB3");
        QCOMPARE(app.main().documents().size(), 2);
        for (const commands::ToolButton& b : commands::toolbar())
            QVERIFY2(app.enabled(QString::fromLatin1(b.name)), b.name);
        // Closing every document leaves them enabled.
        app.main().mdiArea()->closeAllSubWindows();
        QVERIFY(app.enabled("FB23"));
    }

    void openButtonEnablesToolbar()
    {
        App app;
        app.click("FB1");
        QVERIFY(app.enabled("FB2") && app.enabled("FB20") && app.enabled("FB23"));
    }

    void statusBarToggleAndToolbarCheck()
    {
        App app;
        QStatusBar* bar = app.main().statusBar();
        QAction* item = app.main().action("mnuViewStatusBar");
        app.shortcut(Qt::Key_B, Qt::ControlModifier);
        QVERIFY(bar->isHidden());
        QVERIFY(!item->isChecked());
        app.trigger("mnuViewStatusBar");
        QVERIFY(!bar->isHidden());
        QVERIFY(item->isChecked());

        QAction* toolbar = app.main().action("mnuViewToolbar");
        app.trigger("mnuViewToolbar");
        app.trigger("mnuViewToolbar");
        QVERIFY(toolbar->isChecked());
        QVERIFY(app.main().findChild<QWidget*>("Picture1")->isVisible());
    }

    void placeholderCommands()
    {
        App app;
        app.trigger("mnuFilePrint");
        app.trigger("mnuWindowNewWindow");
        QCOMPARE(testkit::takeMessages(),
                 QStringList({"Print Code goes here!", "New Window Code goes here!"}));
        QVERIFY(app.main().documents().isEmpty());
        const int before = testkit::pageSetupCount();
        app.trigger("mnuFilePageSetup");
        QCOMPARE(testkit::pageSetupCount(), before + 1);
    }

    void creationCountersAreIndependent()
    {
        App app;
        frmDocument* fromNew = app.newDocument();
        frmDocument* fromLoad = app.main().LoadANewDoc();
        frmDocument* secondNew = app.newDocument();
        QCOMPARE(fromNew->windowTitle().left(9), QStringLiteral("Document "));
        // Each routine counts on its own: the first of each has the same number.
        const int n1 = fromNew->windowTitle().mid(9).toInt();
        QCOMPARE(secondNew->windowTitle(), QStringLiteral("Document %1").arg(n1 + 1));
        QVERIFY(fromLoad->windowTitle().startsWith(QLatin1String("Document ")));
        QCOMPARE(app.doc(), secondNew);
        QCOMPARE(fromLoad->editor()->text(), page::newPageTemplate());
    }

    // Every heading and font-style command, from the menu, with and without a selection.
    void menuWraps_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("open");
        QTest::addColumn<QString>("close");
        const int shift = Qt::ShiftModifier, none = Qt::NoModifier;
        QTest::newRow("H1") << "mnuFrmtHdingH1" << int(Qt::Key_F1) << shift << "<H1>" << "</H1>";
        QTest::newRow("H2") << "mnuFrmtHdingH2" << int(Qt::Key_F2) << shift << "<H2>" << "</H2>";
        QTest::newRow("H3") << "mnuFrmtHdingH3" << int(Qt::Key_F3) << shift << "<H3>" << "</H3>";
        QTest::newRow("H4") << "mnuFrmtHdingH4" << int(Qt::Key_F4) << shift << "<H4>" << "</H4>";
        QTest::newRow("H5") << "mnuFrmtHdingH5" << int(Qt::Key_F5) << shift << "<H5>" << "</H5>";
        QTest::newRow("H6") << "mnuFrmtHdingH6" << int(Qt::Key_F6) << shift << "<H6>" << "</H6>";
        QTest::newRow("Bold") << "mnuFSBold" << int(Qt::Key_F3) << none << "<STRONG>" << "</STRONG>";
        QTest::newRow("Italic") << "mnuFSItalic" << int(Qt::Key_F4) << none << "<I>" << "</I>";
        QTest::newRow("Underline") << "mnuFSUline" << int(Qt::Key_F5) << none << "<U>" << "</U>";
        QTest::newRow("Strike") << "mnuFSSThru" << int(Qt::Key_F6) << none << "<STRIKE>" << "</STRIKE>";
        QTest::newRow("Super") << "mnuFSSuper" << int(Qt::Key_F7) << none << "<SUP>" << "</SUP>";
        QTest::newRow("Sub") << "mnuFSSub" << int(Qt::Key_F8) << none << "<SUB>" << "</SUB>";
        QTest::newRow("Teletype") << "mnuFSTeletype" << int(Qt::Key_F9) << none << "<TT>" << "</TT>";
    }
    void menuWraps()
    {
        QFETCH(QString, item);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, open);
        QFETCH(QString, close);
        App app;
        app.newDocument();
        RichEdit* e = app.edit();
        const QString page = page::newPageTemplate();

        // Nothing selected, caret at the start: the pair, a break, then the page.
        app.shortcut(key, Qt::KeyboardModifiers(modifiers));
        QCOMPARE(e->text(), open + close + "\r\n" + page);
        QCOMPARE(testkit::colourRuns(e).first(), (Run{open + close + "\r\n", red}));
        QCOMPARE(platform::clipboard::text(), QString());
        const int after = (open + close).size() + 2;
        QCOMPARE(e->selStart(), after);
        QCOMPARE(app.doc()->savedCaret(), after);
        app.type("x"); // typing goes on in black
        QCOMPARE(testkit::colourAt(e, after), black);

        // The word "<TITLE>" selected (it was red nowhere: re-inserted black anyway).
        const int title = e->text().indexOf("<TITLE>");
        app.select(title, 7);
        app.trigger(item);
        QCOMPARE(e->text().mid(title, open.size() + 7 + close.size() + 2),
                 open + "<TITLE>" + close + "\r\n");
        QCOMPARE(testkit::colourAt(e, title), red);
        QCOMPARE(testkit::colourAt(e, title + open.size()), black);
        QCOMPARE(testkit::colourAt(e, title + open.size() + 7), red);
        QCOMPARE(platform::clipboard::text(), QStringLiteral("<TITLE>"));
        QCOMPARE(app.doc()->savedCaret(), title + open.size() + 7 + close.size() + 2);
    }

    void wrapOfColouredMultiLineSelectionComesBackBlack()
    {
        App app;
        app.newDocument();
        RichEdit* e = app.edit();
        app.trigger("mnuFSBold"); // "<STRONG></STRONG>" in red, then a break
        app.select(0, 27);        // the red pair, its break and "<HTML>"... across lines
        const QString selected = e->selText();
        QVERIFY(selected.contains("\r\n"));
        app.trigger("mnuFSItalic");
        QVERIFY(e->text().startsWith("<I>" + selected + "</I>\r\n"));
        QCOMPARE(testkit::colourAt(e, 3), black); // was red
        QCOMPARE(platform::clipboard::text(), selected);
    }

    void centreLeavesColourRed()
    {
        App app;
        app.click("FB3");
        RichEdit* e = app.edit();
        app.click("FB10");
        QVERIFY(e->text().startsWith("<CENTER></CENTER>\r\n<HTML>"));
        QCOMPARE(testkit::colourRuns(e).first(), (Run{"<CENTER></CENTER>\r\n", red}));
        app.type("y");
        QCOMPARE(testkit::colourAt(e, 19), red);
        QCOMPARE(platform::clipboard::text(), QString());

        app.select(e->text().indexOf("<HEAD>"), 6);
        app.click("FB10");
        QVERIFY(e->text().contains("<CENTER><HEAD></CENTER>\r\n</HEAD>"));
        QCOMPARE(platform::clipboard::text(), QStringLiteral("<HEAD>"));
    }

    void singleTagsReplaceTheSelection_data()
    {
        QTest::addColumn<QString>("trigger");
        QTest::addColumn<QString>("tag");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("break") << "FB14" << "<BR>" << blue;
        QTest::newRow("rule") << "FB15" << "<HR><BR>" << blue;
        QTest::newRow("paragraph") << "mnuFPara" << "<P>" << olive;
    }
    void singleTagsReplaceTheSelection()
    {
        QFETCH(QString, trigger);
        QFETCH(QString, tag);
        QFETCH(QColor, colour);
        App app;
        app.click("FB3");
        RichEdit* e = app.edit();
        auto run = [&] {
            if (trigger.startsWith("FB"))
                app.click(trigger);
            else
                app.trigger(trigger);
        };
        run();
        run(); // twice in a row: two tags on two lines, no closing tag
        QVERIFY(e->text().startsWith(tag + "\r\n" + tag + "\r\n<HTML>"));
        QCOMPARE(testkit::colourAt(e, 0), colour);
        QCOMPARE(platform::clipboard::text(), QStringLiteral("clipboard before"));

        const int at = e->text().indexOf("<TITLE>");
        app.select(at, 7);
        run();
        QCOMPARE(e->text().mid(at, tag.size() + 2 + 8), tag + "\r\n</TITLE>");
        app.type("z");
        QCOMPARE(testkit::colourAt(e, at + tag.size() + 2), black);
        QCOMPARE(app.doc()->savedCaret(), at + tag.size() + 2);
    }

    void eachPieceIsAnUndoStep()
    {
        App app;
        app.newDocument();
        RichEdit* e = app.edit();
        const QString rest = page::newPageTemplate().mid(6);
        app.select(0, 6);
        app.trigger("mnuFSBold");
        // Opening tag, re-inserted selection, closing tag and break: four changes after the
        // template, undone one at a time, newest first.
        QCOMPARE(app.doc()->history().undoCount(), 5);
        QCOMPARE(e->text(), "<STRONG><HTML></STRONG>\r\n" + rest);
        const QStringList expected{"<STRONG><HTML></STRONG>" + rest, "<STRONG><HTML>" + rest,
                                   "<STRONG>" + rest, page::newPageTemplate()};
        for (const QString& text : expected) {
            app.trigger("mnuEditUndo");
            QCOMPARE(e->text(), text);
        }
        QCOMPARE(app.doc()->history().undoCount(), 1);
    }

    void undoRedoThroughTheEditMenu()
    {
        App app;
        app.newDocument();
        RichEdit* e = app.edit();
        const QString page = e->text();
        app.type("abc");
        QCOMPARE(e->text(), "abc" + page);
        app.shortcut(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(e->text(), "ab" + page);
        app.trigger("mnuEditUndo");
        app.trigger("mnuEditUndo");
        QCOMPARE(e->text(), page);
        app.trigger("mnuEditUndo"); // only the template is left
        QCOMPARE(e->text(), page);
        app.shortcut(Qt::Key_R, Qt::ControlModifier);
        QCOMPARE(e->text(), "a" + page);
        app.trigger("mnuRedo");
        app.trigger("mnuRedo");
        QCOMPARE(e->text(), "abc" + page);
        app.trigger("mnuRedo");
        QCOMPARE(e->text(), "abc" + page);
    }

    void ctrlKeysInTheTextAreDiscarded()
    {
        App app;
        app.newDocument();
        RichEdit* e = app.edit();
        const QString page = e->text();
        e->setSelStart(8);
        for (int k : {Qt::Key_I, Qt::Key_L, Qt::Key_Home, Qt::Key_End, Qt::Key_Right,
                      Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_Left, Qt::Key_Up}) {
            app.shortcut(k, Qt::ControlModifier);
            QCOMPARE(e->text(), page);
            QCOMPARE(e->selStart(), 8);
            QCOMPARE(e->selLength(), 0);
        }
        // Ctrl+B reaches the menu: the status bar goes, the text stays.
        app.shortcut(Qt::Key_B, Qt::ControlModifier);
        QVERIFY(app.main().statusBar()->isHidden());
        QCOMPARE(e->text(), page);
        // Ctrl+Shift reaches the control unchanged.
        app.shortcut(Qt::Key_End, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(e->selStart(), 8);
        QCOMPARE(e->selLength(), page.size() - 8);
        // Shift+Ins is Help > About, not paste.
        testkit::ModalCloser closer;
        app.shortcut(Qt::Key_Insert, Qt::ShiftModifier);
        QCOMPARE(closer.seen(), QStringList{"frmAbout"});
        QCOMPARE(e->text(), page);
    }

    void clickMakesTypingBlack()
    {
        App app;
        app.click("FB3");
        RichEdit* e = app.edit();
        app.click("FB10"); // leaves the insertion colour red
        const QRect r = e->cursorRect();
        QTest::mouseClick(e->viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
        const int at = e->selStart();
        QCOMPARE(app.doc()->savedCaret(), at);
        app.type("k");
        QCOMPARE(testkit::colourAt(e, at), black);

        // Selecting the red tags with the mouse leaves them red.
        e->setSelStart(0);
        const QPoint from = e->cursorRect().center();
        e->setSelStart(8);
        const QPoint to = e->cursorRect().center();
        QTest::mousePress(e->viewport(), Qt::LeftButton, Qt::NoModifier, from);
        QMouseEvent drag(QEvent::MouseMove, to, e->viewport()->mapToGlobal(to), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(e->viewport(), &drag);
        QTest::mouseRelease(e->viewport(), Qt::LeftButton, Qt::NoModifier, to);
        QVERIFY(e->selLength() > 0);
        QCOMPARE(testkit::colourAt(e, 1), red);
    }

    void everyCommandIsSafeWithNoDocument()
    {
        App app;
        app.main().enableToolbar();
        const QString clip = platform::clipboard::text();
        testkit::ModalCloser closer; // About is modal
        for (const commands::HandlerEntry& h : commands::handlers()) {
            const QString name = QString::fromLatin1(h.name);
            if (name == "mnuFileNew" || name == "FB3")
                continue; // these make a document
            if (name.startsWith("FB"))
                app.click(name);
            else
                app.trigger(name);
            QVERIFY2(app.main().documents().isEmpty(), qPrintable(name));
        }
        QCOMPARE(platform::clipboard::text(), clip);
    }

    void everyMenuItemAndButtonHasAHandler()
    {
        QStringList known;
        for (const commands::HandlerEntry& h : commands::handlers())
            known << QString::fromLatin1(h.name);
        App app;
        for (QAction* a : app.main().findChildren<QAction*>()) {
            if (a->objectName().startsWith("mnu") || a->objectName() == "filMnuItems") {
                if (a->isSeparator() || a->menu())
                    continue;
                QVERIFY2(known.contains(a->objectName()), qPrintable(a->objectName()));
            }
        }
        for (const commands::ToolButton& b : commands::toolbar())
            QVERIFY2(known.contains(QString::fromLatin1(b.name)), b.name);
        QCOMPARE(known.removeDuplicates(), 0);
    }
};

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
