#include "insert/MarqueeSoundDialogs.h"

#include "document/Forms.h"
#include "document/UpDown.h"
#include "insert/Browse.h"
#include "insert/MarqueeSoundMarkup.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

frmMrqSnd::frmMrqSnd() : GeneratorDialog(QStringLiteral("frmMrqSnd"), QStringLiteral("Marquee & Sound"))
{
    auto lead = [this](const char* dialog) {
        return [this, dialog] { showThenUnload(QLatin1String(dialog)); };
    };
    addPaletteButtons({{"FB1", "Marquee", nullptr, lead("frmMarquee")},
                       {"FB2", "Sound", nullptr, lead("sound")},
                       {"FB3", "Cancel", nullptr, [this] { cancel(); }}},
                      110);
}


frmMarquee::frmMarquee() : GeneratorDialog(QStringLiteral("frmMarquee"), QStringLiteral("Marquee"))
{
    m_text = makeTextArea(QStringLiteral("Text1"), QStringLiteral("Marquee text"));
    m_text->setMinimumWidth(420);
    m_text->setFixedHeight(100);
    auto* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("Frame1"));
    frame->setFrameShape(QFrame::StyledPanel);
    frame->setStyleSheet(QStringLiteral("QFrame#Frame1 { border: 1px solid rgb(255,255,0); }"));
    QLabel* label1 = makeLabel(
        QStringLiteral("Label1"),
        QStringLiteral("     Whatever you type below will scroll as a Marquee in an Internet Explorer Browser"),
        m_text);
    label1->setParent(frame);
    label1->setWordWrap(true);
    auto* inFrame = new QVBoxLayout(frame);
    inFrame->setContentsMargins(6, 4, 6, 4);
    inFrame->addWidget(label1);

    // The box takes Enter for its line breaks, so neither button is the default.
    auto* apply = makeButton(QStringLiteral("Apply"), QStringLiteral("Apply"));
    auto* cancelButton = makeButton(QStringLiteral("Cancel"), QStringLiteral("Cancel"));
    apply->setAutoDefault(false);
    cancelButton->setAutoDefault(false);
    connect(apply, &QPushButton::clicked, this, [this] { run(marquee::marquee(typedText(m_text))); });
    connect(cancelButton, &QPushButton::clicked, this, &frmMarquee::cancel);

    auto* buttons = GeneratorDialog::buttonRow({apply, cancelButton});
    auto* outer = new QVBoxLayout(this);
    outer->addWidget(frame);
    outer->addWidget(m_text);
    outer->addSpacing(6);
    outer->addLayout(buttons);
    outer->setSizeConstraint(QLayout::SetFixedSize);
    frame->setMaximumWidth(m_text->minimumWidth());

    setTabOrderList({m_text, apply, cancelButton});
    m_text->setFocus();
}

sound::sound() : GeneratorDialog(QStringLiteral("sound"), QStringLiteral("Insert Background Sound"))
{
    m_file = makeLineEdit(QStringLiteral("Text1"), QString());
    m_loops = makeLineEdit(QStringLiteral("Text2"), QString());
    QLabel* label1 = makeLabel(QStringLiteral("Label1"), QString(29, QLatin1Char(' ')) + QStringLiteral("Sound File Name"),
                               m_file);
    QLabel* label2 = makeLabel(QStringLiteral("Label2"), QStringLiteral("Number of Loops"), m_loops);
    m_file->setMinimumWidth(260);
    m_loops->setFixedWidth(40);

    m_loopCount = new UpDown(this);
    m_loopCount->setObjectName(QStringLiteral("UpDown1"));
    m_loopCount->setAccessibleName(QStringLiteral("Number of Loops"));
    m_loopCount->setRange(0, bgsound::maxLoops);
    m_loopCount->setValue(0);
    // The count box shows the up-down's value from the start and after every change.
    m_loops->setText(QString::number(m_loopCount->value()));
    connect(m_loopCount, &UpDown::valueChanged, m_loops,
            [this](int v) { m_loops->setText(QString::number(v)); });

    auto* apply = makeButton(QStringLiteral("cmdApply"), QStringLiteral("Apply"));
    auto* cancelButton = makeButton(QStringLiteral("cmdCancel"), QStringLiteral("Cancel"));
    auto* browse = makeButton(QStringLiteral("cmdBrowse"), QStringLiteral("Browse"));
    apply->setDefault(true);
    connect(apply, &QPushButton::clicked, this,
            [this] { run(bgsound::backgroundSound(m_file->text(), m_loops->text())); });
    connect(cancelButton, &QPushButton::clicked, this, &sound::cancel);
    connect(browse, &QPushButton::clicked, this, [this] {
        insertdialogs::browseInto(this, m_file, QLatin1String(bgsound::soundFilter), m_lastChosen);
    });

    auto* field = new QHBoxLayout;
    field->addWidget(m_file, 1);
    field->addWidget(browse);
    auto* loops = new QHBoxLayout;
    loops->setSpacing(2);
    loops->addWidget(label2);
    loops->addSpacing(6);
    loops->addWidget(m_loops);
    loops->addWidget(m_loopCount);
    loops->addStretch(1);
    auto* buttons = GeneratorDialog::buttonRow({apply, cancelButton});
    auto* outer = new QVBoxLayout(this);
    outer->addWidget(label1);
    outer->addLayout(field);
    outer->addLayout(loops);
    outer->addSpacing(6);
    outer->addLayout(buttons);
    outer->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrderList({m_file, m_loops, m_loopCount, apply, cancelButton, browse});
    m_file->setFocus();
}
