// The picture, video, background, marquee and background-sound generators against their
// output tables: every piece, its colour (or none), and every step, in order.
#include "insert/MarqueeSoundMarkup.h"
#include "insert/PictureMarkup.h"
#include "support/StepsText.h"

#include <QTest>

Q_DECLARE_METATYPE(Steps)

namespace {
// Values go in exactly as typed: quotes, angle brackets, spaces and line breaks included.
const QString odd = QStringLiteral(" my \"pic\" <1>.jpg ");
} // namespace

class PictureSoundGeneratorsTest : public QObject {
    Q_OBJECT
private slots:
    void generators_data()
    {
        QTest::addColumn<Steps>("steps");
        QTest::addColumn<QStringList>("table");
        const QString name = QStringLiteral("Picture.jpg");
        const QStringList imageTail{"SetColour[0,0,0]", "NewLine", "RecordCaret", "CloseDialog"};
        QTest::newRow("image centred with line break")
            << pictures::image(name, true, true)
            << QStringList{"ActivateDocument", "Insert[255,0,255](<CENTER><IMG SRC=\")",
                           "Insert[0,0,0](Picture.jpg)", "Insert[255,0,255](\"></CENTER><BR>)"}
                   + imageTail + QStringList{"FocusEditor"};
        QTest::newRow("image centred")
            << pictures::image(name, true, false)
            << QStringList{"ActivateDocument", "Insert[255,0,255](<CENTER><IMG SRC=\")",
                           "Insert[0,0,0](Picture.jpg)", "Insert[255,0,255](\"></CENTER>)"}
                   + imageTail;
        QTest::newRow("image with line break")
            << pictures::image(name, false, true)
            << QStringList{"ActivateDocument", "Insert[255,0,255](<IMG SRC=\")",
                           "Insert[0,0,0](Picture.jpg)", "Insert[255,0,255](\"><BR>)"}
                   + imageTail + QStringList{"FocusEditor"};
        QTest::newRow("plain image")
            << pictures::image(name, false, false)
            << QStringList{"ActivateDocument", "Insert[255,0,255](<IMG SRC=\")",
                           "Insert[0,0,0](Picture.jpg)", "Insert[255,0,255](\">)"}
                   + imageTail;
        QTest::newRow("image name as typed")
            << pictures::image(odd, false, false)
            << QStringList{"ActivateDocument", "Insert[255,0,255](<IMG SRC=\")",
                           "Insert[0,0,0](" + odd + ")", "Insert[255,0,255](\">)"}
                   + imageTail;

        QTest::newRow("video: one string, no colour, caret not recorded")
            << pictures::video(QStringLiteral("clip.avi"))
            << QStringList{"FocusEditor",
                           R"(Insert[none](<p><img dynsrc="clip.avi" start="fileopen" width="382" height="65" alt="clip.avi"></p>))",
                           "NewLine", "CloseDialog"};
        QTest::newRow("video with an empty name keeps the whole element")
            << pictures::video(QString())
            << QStringList{"FocusEditor",
                           R"(Insert[none](<p><img dynsrc="" start="fileopen" width="382" height="65" alt=""></p>))",
                           "NewLine", "CloseDialog"};

        QTest::newRow("background image")
            << pictures::backgroundImage(QStringLiteral("back.gif"))
            << QStringList{"ActivateDocument", "Insert[255,0,255](<BODY BACKGROUND=\")",
                           "Insert[0,0,0](back.gif)", "Insert[255,0,255](\">)", "SetColour[0,0,0]",
                           "NewLine", "RecordCaret", "CloseDialog"};
        QTest::newRow("background image, empty name")
            << pictures::backgroundImage(QString())
            << QStringList{"ActivateDocument", "Insert[255,0,255](<BODY BACKGROUND=\")",
                           "Insert[0,0,0]()", "Insert[255,0,255](\">)", "SetColour[0,0,0]",
                           "NewLine", "RecordCaret", "CloseDialog"};

        const QString lines = QStringLiteral("first line\r\n  second <b>\"line\"</b>\r\n");
        QTest::newRow("marquee keeps its line breaks")
            << marquee::marquee(lines)
            << QStringList{"FocusEditor", "Insert[35,130,130](<Marquee>)", "Insert[0,0,0](" + lines + ")",
                           "Insert[35,130,130](</Marquee>)", "SetColour[0,0,0]", "NewLine",
                           "RecordCaret", "CloseDialog", "FocusEditor"};
        QTest::newRow("empty marquee")
            << marquee::marquee(QString())
            << QStringList{"FocusEditor", "Insert[35,130,130](<Marquee>)", "Insert[0,0,0]()",
                           "Insert[35,130,130](</Marquee>)", "SetColour[0,0,0]", "NewLine",
                           "RecordCaret", "CloseDialog", "FocusEditor"};

        const QStringList soundHead{"FocusEditor", "ActivateDocument", "Insert[185,80,85](<bgsound src = \")"};
        const QStringList soundTail{"Insert[185,80,85](\" > )", "SetColour[0,0,0]", "NewLine",
                                    "RecordCaret", "CloseDialog"};
        QTest::newRow("background sound")
            << bgsound::backgroundSound(QStringLiteral("tune.mid"), QStringLiteral("0"))
            << soundHead + QStringList{"Insert[0,0,0](tune.mid)", "Insert[185,80,85](\" loop=\")",
                                       "Insert[0,0,0](0)"} + soundTail;
        QTest::newRow("sound values as typed, count beyond the up-down's range")
            << bgsound::backgroundSound(odd, QStringLiteral("25 times"))
            << soundHead + QStringList{"Insert[0,0,0](" + odd + ")", "Insert[185,80,85](\" loop=\")",
                                       "Insert[0,0,0](25 times)"} + soundTail;
        QTest::newRow("empty sound values")
            << bgsound::backgroundSound(QString(), QString())
            << soundHead + QStringList{"Insert[0,0,0]()", "Insert[185,80,85](\" loop=\")",
                                       "Insert[0,0,0]()"} + soundTail;
    }
    void generators()
    {
        QFETCH(Steps, steps);
        QFETCH(QStringList, table);
        QCOMPARE(testkit::stepsText(steps), table);
    }
};

QTEST_MAIN(PictureSoundGeneratorsTest)
#include "tst_picturesoundgenerators.moc"
