#include "support/TestKit.h"

#include "app/frmMain.h"
#include "document/RichEdit.h"
#include "document/frmDocument.h"
#include "platform/FileChooser.h"

#include <QApplication>
#include <QImage>
#include <QPalette>
#include <QTemporaryDir>
#include <QTest>

using testkit::App;

// The page shows black on white under a dark desktop theme: the template, an opened plain
// page and typed text alike.
class PageColoursTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        testkit::isolate();
        QPalette dark;
        for (auto role : {QPalette::Window, QPalette::Base, QPalette::AlternateBase, QPalette::Button})
            dark.setColor(role, QColor(35, 35, 40));
        for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
            dark.setColor(role, QColor(230, 230, 230));
        QApplication::setPalette(dark);
    }
    void cleanup() { platform::resetFileChooser(); }

    void pageIsBlackOnWhite_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("template") << "new";
        QTest::newRow("opened plain page") << "open";
        QTest::newRow("typed text") << "type";
    }
    void pageIsBlackOnWhite()
    {
        QFETCH(QString, how);
        QTemporaryDir dir;
        const QString file = dir.filePath("plain.htm");
        testkit::writeBytes(file, "<HTML>\r\n<P>Plain words on a plain page</P>\r\n</HTML>\r\n");
        platform::fileChooser() = [file](QWidget*, const platform::FileRequest&) { return file; };

        App app;
        if (how == "open") {
            app.trigger("mnuFileOpen");
            QCOMPARE(app.doc()->windowTitle(), file);
        } else {
            app.newDocument();
        }
        if (how == "type") {
            app.select(0, app.edit()->textLength());
            app.type("Typed words");
            QCOMPARE(app.edit()->text(), QStringLiteral("Typed words"));
        }

        // The page's own colours: without the syntax colours and the caret's line over them.
        for (const char* layer : {"mnuViewColourMarkup", "mnuViewCaretLine"})
            if (app.main().action(QString::fromLatin1(layer))->isChecked())
                app.trigger(QString::fromLatin1(layer));
        // Every pixel of the text area is white or a grey of the text's antialiasing, and the
        // text itself is near black.
        const QImage shot = app.edit()->viewport()->grab().toImage();
        QCOMPARE(shot.pixelColor(shot.width() - 2, shot.height() - 2), QColor(Qt::white));
        int darkest = 255;
        qsizetype white = 0;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x) {
                const QColor c = shot.pixelColor(x, y);
                darkest = std::min(darkest, c.value());
                white += c == QColor(Qt::white);
                QVERIFY2(qAbs(c.red() - c.blue()) < 40 && qAbs(c.red() - c.green()) < 40,
                         qPrintable(QStringLiteral("(%1,%2) %3").arg(x).arg(y).arg(c.name())));
            }
        QVERIFY2(darkest < 60, qPrintable(QString::number(darkest)));
        // The background is white, not the theme's dark grey: text covers little of the area.
        const qsizetype area = qsizetype(shot.width()) * shot.height();
        QVERIFY2(white * 10 >= area * 8, qPrintable(QStringLiteral("%1 of %2 pixels white").arg(white).arg(area)));
    }
};

QTEST_MAIN(PageColoursTest)
#include "tst_pagecolours.moc"
