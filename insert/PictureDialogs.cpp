#include "insert/PictureDialogs.h"

#include "document/Forms.h"
#include "insert/Browse.h"
#include "insert/PictureMarkup.h"
#include "platform/FileChooser.h"
#include "platform/Twips.h"

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The three picture dialogs share one Open dialog, which starts at the file last chosen.
QString& lastPicture()
{
    static QString path;
    return path;
}

// Before writing, the dialog steps off the visible screen (it unloads right after).
void moveOffScreen(QWidget* dialog) { dialog->move(platform::twipsToPixels(9999), dialog->y()); }

// A small framed landscape beside the options; only decoration.
QPixmap landscape()
{
    QPixmap pm(56, 44);
    pm.fill(QColor(128, 200, 255));
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 0));
    p.drawEllipse(QPointF(42, 12), 6, 6);
    p.setBrush(QColor(0, 140, 60));
    p.drawPolygon(QPolygonF({QPointF(0, 44), QPointF(18, 18), QPointF(32, 36), QPointF(40, 28),
                             QPointF(56, 44)}));
    return pm;
}

// A file-name dialog: label, box with Browse beside it, Apply and Cancel below.
void layOutNameDialog(QWidget* dialog, QLabel* label, QLineEdit* box, QPushButton* apply,
                      QPushButton* cancel, QPushButton* browse)
{
    box->setMinimumWidth(260);
    auto* field = new QHBoxLayout;
    field->addWidget(box, 1);
    field->addWidget(browse);
    auto* buttons = GeneratorDialog::buttonRow({apply, cancel});
    auto* outer = new QVBoxLayout(dialog);
    outer->addWidget(label);
    outer->addLayout(field);
    outer->addSpacing(6);
    outer->addLayout(buttons);
    outer->setSizeConstraint(QLayout::SetFixedSize);
}

} // namespace

frmImg::frmImg() : GeneratorDialog(QStringLiteral("frmImg"), QStringLiteral("Insert Picture"))
{
    m_name = makeLineEdit(QStringLiteral("Text1"), QString());
    QLabel* label1 = makeLabel(QStringLiteral("Label1"),
                               QStringLiteral("Type Name Of Picture Below...i.e. Picture.jpg"), m_name);
    m_centre = makeCheck("Check1", "Center");
    m_lineBreak = makeCheck("Check2", "Add Line Break");
    QLabel* label2 = makeLabel(QStringLiteral("Label2"), QStringLiteral("Center"), m_centre);
    QLabel* label3 = makeLabel(QStringLiteral("Label3"), QStringLiteral("Add Line Break"), m_lineBreak);

    auto* apply = makeButton(QStringLiteral("Command1"), QStringLiteral("Apply"));
    auto* cancelButton = makeButton(QStringLiteral("Command2"), QStringLiteral("Cancel"));
    auto* browse = makeButton(QStringLiteral("Command3"), QStringLiteral("Browse"));
    apply->setDefault(true);
    connect(apply, &QPushButton::clicked, this, &frmImg::apply);
    connect(cancelButton, &QPushButton::clicked, this, &frmImg::cancel);
    connect(browse, &QPushButton::clicked, this, [this] {
        insertdialogs::browseInto(this, m_name, platform::withAllPictures(QLatin1String(pictures::imageFilter)), lastPicture());
    });

    auto* picCont = new QFrame(this);
    picCont->setObjectName(QStringLiteral("picCont"));
    picCont->setFrameShape(QFrame::Panel);
    picCont->setFrameShadow(QFrame::Sunken);
    picCont->setStyleSheet(QStringLiteral("QFrame#picCont { background: white; }"));
    auto* pic = new QLabel(picCont);
    pic->setObjectName(QStringLiteral("pic"));
    pic->setPixmap(landscape());
    auto* inCont = new QVBoxLayout(picCont);
    inCont->setContentsMargins(3, 3, 3, 3);
    inCont->addWidget(pic);

    m_name->setMinimumWidth(260);
    auto* field = new QHBoxLayout;
    field->addWidget(m_name, 1);
    field->addWidget(browse);
    auto* checks = new QGridLayout;
    checks->setHorizontalSpacing(4);
    checks->addWidget(m_centre, 0, 0);
    checks->addWidget(label2, 0, 1);
    checks->addWidget(m_lineBreak, 1, 0);
    checks->addWidget(label3, 1, 1);
    checks->setColumnStretch(2, 1);
    auto* middle = new QHBoxLayout;
    middle->addLayout(checks, 1);
    middle->addWidget(picCont);
    auto* buttons = GeneratorDialog::buttonRow({apply, cancelButton});
    auto* outer = new QVBoxLayout(this);
    outer->addWidget(label1);
    outer->addLayout(field);
    outer->addLayout(middle);
    outer->addLayout(buttons);
    outer->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrderList({m_name, m_centre, m_lineBreak, apply, cancelButton, browse});
    m_name->setFocus();
}

void frmImg::apply()
{
    if (unloading())
        return;
    const bool centre = m_centre->isChecked();
    if (!centre)
        moveOffScreen(this);
    run(pictures::image(m_name->text(), centre, m_lineBreak->isChecked()));
}

frmVideo::frmVideo() : GeneratorDialog(QStringLiteral("frmVideo"), QStringLiteral("Video"))
{
    m_name = makeLineEdit(QStringLiteral("Text1"), QString());
    QLabel* label1 = makeLabel(QStringLiteral("Label1"), QStringLiteral("FileName (*.avi)"), m_name);
    auto* apply = makeButton(QStringLiteral("FB1"), QStringLiteral("Apply"));
    auto* cancelButton = makeButton(QStringLiteral("FB2"), QStringLiteral("Cancel"));
    auto* browse = makeButton(QStringLiteral("FB3"), QStringLiteral("Browse"));
    apply->setDefault(true);
    connect(apply, &QPushButton::clicked, this, [this] { run(pictures::video(m_name->text())); });
    connect(cancelButton, &QPushButton::clicked, this, &frmVideo::cancel);
    connect(browse, &QPushButton::clicked, this, [this] {
        insertdialogs::browseInto(this, m_name, QLatin1String(pictures::videoFilter), lastPicture());
    });
    layOutNameDialog(this, label1, m_name, apply, cancelButton, browse);
    setTabOrderList({m_name, apply, cancelButton, browse});
    m_name->setFocus();
}

void frmVideo::cancel() { unload(); }

bgImg::bgImg() : GeneratorDialog(QStringLiteral("bgImg"), QStringLiteral("Background Image"))
{
    m_name = makeLineEdit(QStringLiteral("Text1"), QString());
    QLabel* label1 = makeLabel(QStringLiteral("Label1"), QStringLiteral("Image Name"), m_name);
    auto* apply = makeButton(QStringLiteral("FB1"), QStringLiteral("Apply"));
    auto* cancelButton = makeButton(QStringLiteral("FB2"), QStringLiteral("Cancel"));
    auto* browse = makeButton(QStringLiteral("FB3"), QStringLiteral("Browse"));
    apply->setDefault(true);
    connect(apply, &QPushButton::clicked, this, &bgImg::apply);
    connect(cancelButton, &QPushButton::clicked, this, &bgImg::cancel);
    connect(browse, &QPushButton::clicked, this, [this] {
        insertdialogs::browseInto(this, m_name, platform::withAllPictures(QLatin1String(pictures::imageFilter)), lastPicture());
    });
    layOutNameDialog(this, label1, m_name, apply, cancelButton, browse);
    setTabOrderList({m_name, apply, cancelButton, browse});
    m_name->setFocus();
}

void bgImg::apply()
{
    if (unloading())
        return;
    moveOffScreen(this);
    run(pictures::backgroundImage(m_name->text()));
}

void bgImg::cancel() { unload(); }

mnu1::mnu1() : GeneratorDialog(QStringLiteral("mnu1"), QString())
{
    // These three keep the system's button colours on the red face.
    const QString systemLook = QStringLiteral(
        "QPushButton { background-color: palette(button); color: palette(button-text);"
        " border: 1px solid palette(mid); padding: 3px 12px; min-height: 16px; }"
        "QPushButton:focus { border: 1px dashed palette(button-text); }"
        "QPushButton:pressed { background-color: palette(mid); }");
    struct Entry {
        const char* name;
        const char* caption;
    };
    static constexpr Entry entries[] = {
        {"btnBkg", "Background Image"}, {"btnFont", "Font"}, {"btnExit", "Exit"}};
    auto* column = new QVBoxLayout(this);
    column->setSpacing(4);
    for (const Entry& e : entries) {
        QPushButton* b = makeButton(QLatin1String(e.name), QLatin1String(e.caption));
        b->setStyleSheet(systemLook);
        b->setMinimumWidth(130);
        appendInTabOrder(column, b);
    }
    connect(findChild<QPushButton*>(QStringLiteral("btnBkg")), &QPushButton::clicked, this, [this] {
        if (unloading())
            return;
        unload();
        Forms::show(QStringLiteral("bgImg"));
    });
    // Font has no action of its own.
    connect(findChild<QPushButton*>(QStringLiteral("btnExit")), &QPushButton::clicked, this,
            &mnu1::cancel);
    column->setSizeConstraint(QLayout::SetFixedSize);
    placeByToolbar();
}

void mnu1::cancel() { unload(); }

void mnu1::placeByToolbar()
{
    // Top: the first toolbar button's top plus 250 twips; left: the second button's left.
    // Both are the buttons' own coordinates within the toolbar strip, used as they are.
    QWidget* main = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("frmMain"))
            main = w;
    if (!main)
        return;
    const QWidget* open = main->findChild<QWidget*>(QStringLiteral("FB1"));
    const QWidget* save = main->findChild<QWidget*>(QStringLiteral("FB2"));
    if (!open || !save)
        return;
    using platform::pixelsToTwips;
    using platform::twipsToPixels;
    move(save->x(), twipsToPixels(pixelsToTwips(open->y()) + 250));
}
