#include "effects/frmFrame.h"

#include "document/RichEdit.h"
#include "document/UpDown.h"
#include "document/Workspace.h"
#include "effects/FramesetPage.h"
#include "platform/FileChooser.h"
#include "platform/FileIo.h"
#include "platform/Prompts.h"
#include "platform/TextCodec.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

frmFrame::frmFrame()
    : GeneratorDialog(QStringLiteral("frmFrame"), QStringLiteral("Create A Frameset Page"))
{
    m_vertical = makeOption(QStringLiteral("Option1"), QStringLiteral("Vertical"));
    m_horizontal = makeOption(QStringLiteral("Option2"), QStringLiteral("Horizontal"));
    m_vertical->setChecked(true);
    m_noBorder = makeCheck("Check1", "No Border");

    auto share = [this](const char* boxName, const char* label, const char* upDownName, UpDown*& upDown) {
        QLineEdit* box = makeLineEdit(QLatin1String(boxName), QLatin1String(label));
        box->setFixedWidth(48);
        box->setText(QStringLiteral("50"));
        upDown = new UpDown(this);
        upDown->setObjectName(QLatin1String(upDownName));
        upDown->setAccessibleName(QLatin1String(label));
        upDown->setRange(0, 100);
        upDown->setSingleStep(1);
        upDown->setValue(50);
        return box;
    };
    m_firstShare = share("Text1", "First frame percentage", "UpDown1", m_firstUpDown);
    m_secondShare = share("Text2", "Second frame percentage", "UpDown2", m_secondUpDown);
    // Each up-down sets the other to the rest of 100, so the shares add up while they are
    // used; a share typed into a box moves neither.
    connect(m_firstUpDown, &UpDown::valueChanged, this, [this](int value) {
        m_firstShare->setText(QString::number(value));
        m_secondUpDown->setValue(100 - value);
        m_secondShare->setText(QString::number(m_secondUpDown->value()));
    });
    connect(m_secondUpDown, &UpDown::valueChanged, this, [this](int value) {
        m_secondShare->setText(QString::number(value));
        m_firstUpDown->setValue(100 - value);
        m_firstShare->setText(QString::number(m_firstUpDown->value()));
    });

    m_firstSource = makeLineEdit(QStringLiteral("Text3"), QStringLiteral("FileName of first frame"));
    m_secondSource = makeLineEdit(QStringLiteral("Text4"), QStringLiteral("FileName of second frame"));
    for (QLineEdit* box : {m_firstSource, m_secondSource})
        box->setMinimumWidth(300);

    m_page = new RichEdit(this);
    m_page->setObjectName(QStringLiteral("txtText"));
    m_page->setAccessibleName(QStringLiteral("Frameset page"));
    m_page->hide();

    auto* apply = makeButton(QStringLiteral("FB1"), QStringLiteral("Apply"));
    auto* cancelButton = makeButton(QStringLiteral("FB2"), QStringLiteral("Cancel"));
    apply->setDefault(true);
    connect(apply, &QPushButton::clicked, this, &frmFrame::apply);
    connect(cancelButton, &QPushButton::clicked, this, &frmFrame::cancel);

    auto* choices = new QHBoxLayout;
    choices->setSpacing(4);
    choices->addWidget(m_vertical);
    choices->addWidget(makeLabel(QStringLiteral("Label1"), QStringLiteral("Vertical"), m_vertical));
    choices->addSpacing(16);
    choices->addWidget(m_horizontal);
    choices->addWidget(makeLabel(QStringLiteral("Label2"), QStringLiteral("Horizontal"), m_horizontal));
    choices->addSpacing(16);
    choices->addWidget(m_noBorder);
    choices->addWidget(makeLabel(QStringLiteral("Label7"), QStringLiteral("No Border"), m_noBorder));
    choices->addStretch(1);

    auto* shares = new QGridLayout;
    shares->setHorizontalSpacing(6);
    auto withUpDown = [](QLineEdit* box, UpDown* upDown) {
        auto* row = new QHBoxLayout;
        row->setSpacing(2);
        row->addWidget(box);
        row->addWidget(upDown);
        row->addStretch(1);
        return row;
    };
    shares->addWidget(makeLabel(QStringLiteral("Label5"), QStringLiteral("First frame percentage"), m_firstShare), 0, 0);
    shares->addLayout(withUpDown(m_firstShare, m_firstUpDown), 0, 1);
    shares->addWidget(makeLabel(QStringLiteral("Label6"), QStringLiteral("Second frame percentage"), m_secondShare), 1, 0);
    shares->addLayout(withUpDown(m_secondShare, m_secondUpDown), 1, 1);
    shares->setColumnStretch(1, 1);

    auto* buttons = GeneratorDialog::buttonRow({apply, cancelButton});

    auto* outer = new QVBoxLayout(this);
    outer->addLayout(choices);
    outer->addSpacing(6);
    outer->addLayout(shares);
    outer->addSpacing(6);
    outer->addWidget(makeLabel(QStringLiteral("Label3"), QStringLiteral("FileName of first frame eg. index.htm"),
                               m_firstSource));
    outer->addWidget(m_firstSource);
    outer->addWidget(makeLabel(QStringLiteral("Label4"), QStringLiteral("FileName of first frame eg. main.htm"),
                               m_secondSource));
    outer->addWidget(m_secondSource);
    outer->addSpacing(8);
    outer->addLayout(buttons);
    outer->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrderList({m_vertical, m_horizontal, m_noBorder, m_firstShare, m_firstUpDown, m_secondShare,
                     m_secondUpDown, m_firstSource, m_secondSource, apply, cancelButton});
    m_vertical->setFocus();
}

void frmFrame::apply()
{
    if (unloading())
        return;
    // The options are read in order; the first one selected wins.
    frameset::Values v;
    if (m_vertical->isChecked())
        v.layout = frameset::Layout::Vertical;
    else if (m_horizontal->isChecked())
        v.layout = frameset::Layout::Horizontal;
    else
        return;
    v.noBorder = m_noBorder->isChecked();
    v.firstShare = m_firstShare->text();
    v.secondShare = m_secondShare->text();
    v.firstSource = m_firstSource->text();
    v.secondSource = m_secondSource->text();
    m_page->setWholeText(frameset::page(v));

    // The main window's file dialog state: it starts from the last name chosen anywhere and
    // keeps this one once the page is saved. A cancel writes nothing.
    QPointer<frmFrame> self(this);
    const QString name = platform::chooseFile(
        this, {platform::FileDialogKind::Save, frameset::saveFilter, workspace::shared().dialogFileName});
    if (!self)
        return;
    if (!name.isEmpty()) {
        const QByteArray bytes = platform::text::encodePage(m_page->text(), platform::text::newPageEncoding);
        QString reason;
        if (platform::files::writeFileAtomically(name, bytes, &reason))
            workspace::shared().dialogFileName = name;
        else
            platform::showMessage(this, platform::files::saveFailureText(name, reason));
        if (!self)
            return;
    }
    run({step::CloseDialog{}, step::FocusEditor{}});
}

void frmFrame::cancel() { run({step::CloseDialog{}, step::FocusEditor{}}); }
