#include "support/TestKit.h"

#include "app/frmMain.h"
#include "document/PageTemplate.h"
#include "document/RichEdit.h"
#include "document/frmDocument.h"
#include "platform/Clipboard.h"

#include <QAction>
#include <QApplication>
#include <QTest>

using testkit::App;
using testkit::Run;

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { testkit::isolate(); }

    void boldWrapsSelection()
    {
        App app;
        app.newDocument();
        QVERIFY(app.edit());
        QCOMPARE(app.edit()->text(), page::newPageTemplate());
        app.select(0, 6);
        app.shortcut(Qt::Key_F3, Qt::NoModifier);
        QVERIFY(app.edit()->text().startsWith(QStringLiteral("<STRONG><HTML></STRONG>\r\n\r\n<HEAD>")));
        QCOMPARE(platform::clipboard::text(), QStringLiteral("<HTML>"));
        const QList<Run> runs = testkit::colourRuns(app.edit());
        QVERIFY2(runs.size() >= 3, qPrintable(testkit::describe(runs)));
        QCOMPARE(runs[0], (Run{QStringLiteral("<STRONG>"), QColor(255, 0, 0)}));
    }
};

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
