#include "support/TestKit.h"

#include "app/OpenPages.h"
#include "app/frmMain.h"
#include "document/RichEdit.h"
#include "document/frmDocument.h"
#include "site/FindPanel.h"
#include "site/SiteCommands.h"

#include <QCheckBox>
#include <QDockWidget>
#include <QFileIconProvider>
#include <QIcon>
#include <QImage>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
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
    void findInFilesAndSitePanel();
    void replaceAllInFilesOpenAndClosedAlike();
    void chosenFolderStaysTheRoot();
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

// Find in Files lists the matches of the site's files by file; a match opens its page at its
// line. The site panel shows the site root without its hidden files.
void tst_SiteCommands::findInFilesAndSitePanel()
{
    QTemporaryDir tmp;
    QDir().mkpath(tmp.filePath(".cache"));
    const QString index = tmp.filePath("index.html");
    for (const auto& [path, text] : {std::pair{index, QByteArray("<p>one</p>\n<p>rose</p>\n")},
                                     std::pair{tmp.filePath("b.css"), QByteArray("/* rose */\n")},
                                     std::pair{tmp.filePath(".cache/c.html"), QByteArray("rose\n")}}) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    App app;
    site::setSiteRoot(tmp.path());
    app.trigger("mnuEditFindInFiles");
    auto* text = app.main().findChild<QLineEdit*>("txtFindInFiles");
    QVERIFY(text);
    text->setText("rose");
    auto* panel = app.main().findChild<site::FindPanel*>();
    QSignalSpy finished(panel->run(), &site::FindInFilesRun::finished);
    panel->find();
    QVERIFY(finished.wait());
    QTreeWidget* view = panel->view();
    QCOMPARE(view->topLevelItemCount(), 2);
    QCOMPARE(view->topLevelItem(0)->text(0), QString("b.css"));
    QCOMPARE(view->topLevelItem(1)->text(0), QString("index.html"));
    emit view->itemActivated(view->topLevelItem(1)->child(0), 0);
    QTRY_VERIFY(app.doc() && app.doc()->windowTitle() == index);
    QCOMPARE(app.edit()->textCursor().block().blockNumber(), 1);
    if (qEnvironmentVariableIsSet("HALVANE_SHOT"))
        app.main().grab().save(qEnvironmentVariable("HALVANE_SHOT"));

    // Replace All in Files: the open page changes in its window (its Undo takes it back),
    // the closed style sheet on disk; Undo Replace in Files restores the style sheet.
    app.main().findChild<QLineEdit*>("txtReplaceInFiles")->setText("tulip");
    {
        const auto yes = testkit::answerNextModal([](QWidget* box) {
            qobject_cast<QMessageBox*>(box)->button(QMessageBox::Yes)->click();
        });
        QSignalSpy replaced(panel, &site::FindPanel::replaceFinished);
        panel->replaceAll();
        QTRY_VERIFY(yes.shown());
        QVERIFY(replaced.count() || replaced.wait());
    }
    QCOMPARE(app.edit()->text(), QString("<p>one</p>\r\n<p>tulip</p>\r\n"));
    QFile css(tmp.filePath("b.css"));
    QVERIFY(css.open(QIODevice::ReadOnly));
    QCOMPARE(css.readAll(), QByteArray("/* tulip */\n"));
    css.close();
    QCOMPARE(panel->lastEdits().size(), 1);
    QSignalSpy undone(panel, &site::FindPanel::undoFinished);
    panel->undoReplace();
    QVERIFY(undone.wait());
    QVERIFY(css.open(QIODevice::ReadOnly));
    QCOMPARE(css.readAll(), QByteArray("/* rose */\n"));
    app.trigger("mnuEditUndo");
    QCOMPARE(app.edit()->text(), QString("<p>one</p>\r\n<p>rose</p>\r\n"));

    app.trigger("mnuViewSite");
    site::SitePanel* sitePanel = site::sitePanel();
    QVERIFY(sitePanel && sitePanel->isVisible());
    QCOMPARE(sitePanel->root(), QDir(tmp.path()).absolutePath());
    QAbstractItemModel* model = sitePanel->view()->model();
    const QModelIndex root = sitePanel->view()->rootIndex();
    QTRY_COMPARE(model->rowCount(root), 2);
    QStringList names;
    for (int r = 0; r < model->rowCount(root); ++r)
        names << model->index(r, 0, root).data().toString();
    names.sort();
    QCOMPARE(names, (QStringList{"b.css", "index.html"}));
    // Pages and style sheets have icons of their own, not the plain file's.
    auto iconOf = [&](const QString& name) {
        for (int r = 0; r < model->rowCount(root); ++r)
            if (model->index(r, 0, root).data().toString() == name)
                return model->index(r, 0, root).data(Qt::DecorationRole).value<QIcon>().pixmap(16).toImage();
        return QImage();
    };
    const QImage plain = QFileIconProvider().icon(QFileIconProvider::File).pixmap(16).toImage();
    QTRY_VERIFY(iconOf("b.css") != plain && iconOf("index.html") != plain);
    QVERIFY(iconOf("b.css") != iconOf("index.html"));
    app.trigger("mnuViewSite");
    QVERIFY(!sitePanel->isVisible());
}

// Replace All in Files counts an open page from its window's text (unsaved edits included), and
// replaces in it by the same rules as in a closed file: the two pages, alike but for the edit,
// come out alike.
void tst_SiteCommands::replaceAllInFilesOpenAndClosedAlike()
{
    QTemporaryDir tmp;
    const QByteArray page("<p>rose</p>\n<p>rose</p>\n");
    testkit::writeBytes(tmp.filePath("a.html"), page);
    testkit::writeBytes(tmp.filePath("b.html"), page);
    App app;
    QString reason;
    QVERIFY2(files::openPage(app.main(), tmp.filePath("a.html"), &reason), qPrintable(reason));
    app.edit()->setSelStart(0);
    app.edit()->setSelText("<p>rose</p>\r\n");
    site::setSiteRoot(tmp.path());
    app.trigger("mnuEditFindInFiles");
    auto* panel = app.main().findChild<site::FindPanel*>();
    QVERIFY(panel);
    panel->findChild<QLineEdit*>("txtFindInFiles")->setText("</p>\\s*<p>");
    panel->findChild<QLineEdit*>("txtReplaceInFiles")->setText("</p> <p>");
    for (QCheckBox* box : panel->findChildren<QCheckBox*>())
        box->setChecked(box->text() == "Regular e&xpression");
    QString question;
    {
        const auto yes = testkit::answerNextModal([&question](QWidget* box) {
            question = qobject_cast<QMessageBox*>(box)->text();
            qobject_cast<QMessageBox*>(box)->button(QMessageBox::Yes)->click();
        });
        panel->replaceAll();
        QTRY_VERIFY(yes.shown());
    }
    QVERIFY2(question.startsWith("Replace 3 matches in 2 files?"), qPrintable(question));
    QTRY_COMPARE(testkit::readBytes(tmp.filePath("b.html")), QByteArray("<p>rose</p> <p>rose</p>\n"));
    QTRY_COMPARE(app.edit()->text(), QString("<p>rose</p> <p>rose</p> <p>rose</p>\r\n"));
}

// A folder chosen with Open Folder stays the site root for the session: opening a page of
// another folder does not replace it, in the panel or for Check Site.
void tst_SiteCommands::chosenFolderStaysTheRoot()
{
    QTemporaryDir chosen, other;
    testkit::writeBytes(chosen.filePath("index.html"), "<p>a</p>\n");
    testkit::writeBytes(other.filePath("elsewhere.html"), "<p>b</p>\n");
    App app;
    site::setSiteRoot(chosen.path());
    QString reason;
    QVERIFY2(files::openPage(app.main(), other.filePath("elsewhere.html"), &reason), qPrintable(reason));
    const QString root = QDir(chosen.path()).absolutePath();
    QCOMPARE(site::siteRoot(), root);
    if (site::sitePanel()->isVisible())
        app.trigger("mnuViewSite");
    app.trigger("mnuViewSite");
    QCOMPARE(site::sitePanel()->root(), root);
    app.trigger("mnuEditCheckSite");
    QSignalSpy done(site::siteCheckPanel(), &site::SiteCheckPanel::checkFinished);
    QVERIFY(done.wait());
    QCOMPARE(site::siteCheckPanel()->report().pages, 1);
    QVERIFY(site::siteCheckPanel()->report().orphans.isEmpty()); // index.html, not elsewhere.html
}

QTEST_MAIN(tst_SiteCommands)
#include "tst_sitecommands.moc"
