#include "support/TestKit.h"

#include "app/OpenPages.h"
#include "app/frmMain.h"
#include "document/RichEdit.h"
#include "document/frmDocument.h"
#include "site/SiteCommands.h"

#include <QDockWidget>
#include <QFile>
#include <QMdiSubWindow>
#include <QSignalSpy>
#include <QTextBlock>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

using testkit::App;

class tst_SiteCommands : public QObject {
    Q_OBJECT
private slots:
    void checkSiteOfTheActivePage();
};

// Check Site on the active page's folder (the site root): the findings come grouped by page under the
// summary, and a finding opens its page at the line once, never in a second window.
void tst_SiteCommands::checkSiteOfTheActivePage()
{
    QTemporaryDir tmp;
    QDir().mkpath(tmp.filePath("pages"));
    const QString index = tmp.filePath("index.html");
    const QString contact = tmp.filePath("pages/contact.html");
    for (const auto& [path, text] :
         {std::pair{index, QByteArray("<!DOCTYPE html>\n<html><head><title>H</title></head><body>\n"
                                      "<p><a href=\"pages/contact.html\">C</a>\n<a href=\"gone.html\">G</a></p>\n</body></html>\n")},
          std::pair{contact, QByteArray("<!DOCTYPE html>\n<html><head><title>C</title></head><body>\n"
                                        "<a href=\"../index.html#nowhere\">H</a></body></html>\n")}}) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    App app;
    QString reason;
    QVERIFY2(files::openPage(app.main(), index, &reason), qPrintable(reason));
    app.trigger("mnuEditCheckSite");
    site::SiteCheckPanel* panel = site::siteCheckPanel();
    QVERIFY(panel);
    QSignalSpy done(panel, &site::SiteCheckPanel::checkFinished);
    QVERIFY(done.wait());
    QCOMPARE(panel->summary(), QString("2 pages, 2 broken links, 0 errors, 0 warnings"));
    QTreeWidget* view = panel->view();
    QCOMPARE(view->topLevelItemCount(), 2);
    QCOMPARE(view->topLevelItem(0)->text(0), QString("index.html"));
    QCOMPARE(view->topLevelItem(1)->text(0), QString("pages/contact.html"));
    emit view->itemActivated(view->topLevelItem(1)->child(0), 0);
    QTRY_COMPARE(app.doc()->windowTitle(), contact);
    const int windows = int(app.main().findChildren<frmDocument*>().size());
    QCOMPARE(windows, 2);
    // The open page is brought forward, at the finding's line.
    emit view->itemActivated(view->topLevelItem(0)->child(0), 0);
    QTRY_COMPARE(app.doc()->windowTitle(), index);
    QCOMPARE(int(app.main().findChildren<frmDocument*>().size()), windows);
    QCOMPARE(app.edit()->textCursor().block().blockNumber(), 4 - 1);
    if (qEnvironmentVariableIsSet("HALVANE_SHOT"))
        app.main().grab().save(qEnvironmentVariable("HALVANE_SHOT"));
}

QTEST_MAIN(tst_SiteCommands)
#include "tst_sitecommands.moc"
