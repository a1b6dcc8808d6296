#include "effects/frmLayer.h"

#include "effects/LayerScript.h"
#include "platform/FileChooser.h"
#include "platform/Prompts.h"

#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

frmLayer::frmLayer() : GeneratorDialog(QStringLiteral("frmLayer"), QStringLiteral("Image Layering"))
{
    m_image1 = makeLineEdit(QStringLiteral("Text1"), QStringLiteral("Image 1 Name"));
    m_image2 = makeLineEdit(QStringLiteral("Text2"), QStringLiteral("Image 2 Name"));
    m_height1 = makeLineEdit(QStringLiteral("Text3"), QStringLiteral("Image 1 Height (Pixels)"));
    m_width1 = makeLineEdit(QStringLiteral("Text4"), QStringLiteral("Image 1 Width (Pixels)"));
    m_height2 = makeLineEdit(QStringLiteral("Text5"), QStringLiteral("Image 2 Height (Pixels)"));
    m_width2 = makeLineEdit(QStringLiteral("Text6"), QStringLiteral("Image 2 Width (Pixels)"));
    m_left = makeLineEdit(QStringLiteral("Text7"), QStringLiteral("Left (Pixels)"));
    m_top1 = makeLineEdit(QStringLiteral("Text8"), QStringLiteral("Image 1 Top (Pixels)"));
    m_top2 = makeLineEdit(QStringLiteral("Text9"), QStringLiteral("Image 2 Top (Pixels)"));
    for (QLineEdit* name : {m_image1, m_image2})
        name->setMinimumWidth(160);
    for (QLineEdit* number : {m_height1, m_width1, m_height2, m_width2, m_left, m_top1, m_top2})
        number->setFixedWidth(56);

    auto* apply = makeButton(QStringLiteral("FB1"), QStringLiteral("Apply"));
    auto* cancelButton = makeButton(QStringLiteral("FB2"), QStringLiteral("Cancel"));
    auto* browse1 = makeButton(QStringLiteral("FB3"), QStringLiteral("Browse 1"));
    auto* browse2 = makeButton(QStringLiteral("FB4"), QStringLiteral("Browse 2"));
    apply->setDefault(true);
    connect(apply, &QPushButton::clicked, this, &frmLayer::apply);
    connect(cancelButton, &QPushButton::clicked, this, &frmLayer::cancel);
    connect(browse1, &QPushButton::clicked, this, [this] { browse(m_image1); });
    connect(browse2, &QPushButton::clicked, this, [this] { browse(m_image2); });

    // One column per image, a thin divider between them.
    auto imageColumn = [this](const char* nameLabel, const char* nameText, QLineEdit* name,
                              QPushButton* browseButton, const char* sizeLabel, const char* sizeText,
                              const char* heightLabel, QLineEdit* height, const char* widthLabel,
                              QLineEdit* width) {
        auto* column = new QVBoxLayout;
        column->setSpacing(4);
        column->addWidget(makeLabel(QLatin1String(nameLabel), QLatin1String(nameText), name));
        auto* nameRow = new QHBoxLayout;
        nameRow->addWidget(name, 1);
        nameRow->addWidget(browseButton);
        column->addLayout(nameRow);
        column->addSpacing(6);
        column->addWidget(makeLabel(QLatin1String(sizeLabel), QLatin1String(sizeText)));
        auto* sizeRow = new QHBoxLayout;
        sizeRow->addWidget(makeLabel(QLatin1String(heightLabel), QStringLiteral("Height"), height));
        sizeRow->addWidget(height);
        sizeRow->addSpacing(10);
        sizeRow->addWidget(makeLabel(QLatin1String(widthLabel), QStringLiteral("Width"), width));
        sizeRow->addWidget(width);
        sizeRow->addStretch(1);
        column->addLayout(sizeRow);
        return column;
    };
    auto* divider = new QFrame(this);
    divider->setObjectName(QStringLiteral("Frame1"));
    divider->setFixedWidth(2);
    divider->setStyleSheet(QStringLiteral("QFrame#Frame1 { background: rgb(255,255,0); }"));
    QLabel* tiny = makeLabel(QStringLiteral("Label3"), QString());
    tiny->setFixedSize(4, 4);
    auto* middle = new QVBoxLayout;
    middle->addWidget(divider, 1, Qt::AlignHCenter);
    middle->addWidget(tiny, 0, Qt::AlignHCenter);

    auto* images = new QHBoxLayout;
    images->setSpacing(12);
    images->addLayout(imageColumn("Label1", "Image 1 Name", m_image1, browse1, "Label4",
                                  "Image 1 Size (Pixels)", "Label6", m_height1, "Label7", m_width1),
                      1);
    images->addLayout(middle);
    images->addLayout(imageColumn("Label2", "Image 2 Name", m_image2, browse2, "Label5",
                                  "Image 2 Size (Pixels)", "Label8", m_height2, "Label9", m_width2),
                      1);

    auto* positions = new QHBoxLayout;
    positions->addWidget(makeLabel(QStringLiteral("Label10"), QStringLiteral("Top (Pixels)"), m_top1));
    positions->addWidget(m_top1);
    positions->addStretch(1);
    positions->addWidget(makeLabel(QStringLiteral("Label11"), QStringLiteral("Left (Pixels)"), m_left));
    positions->addWidget(m_left);
    positions->addStretch(1);
    positions->addWidget(makeLabel(QStringLiteral("Label12"), QStringLiteral("Top (Pixels)"), m_top2));
    positions->addWidget(m_top2);

    auto* buttons = GeneratorDialog::buttonRow({apply, cancelButton});

    auto* outer = new QVBoxLayout(this);
    outer->addLayout(images);
    outer->addSpacing(8);
    outer->addLayout(positions);
    outer->addSpacing(8);
    outer->addLayout(buttons);
    outer->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrderList({m_image1, m_image2, m_height1, m_width1, m_height2, m_width2, m_top1, m_left,
                     m_top2, apply, cancelButton, browse1, browse2});
    m_image1->setFocus();
}

void frmLayer::apply()
{
    if (unloading())
        return;
    layering::Values v;
    v.image1 = m_image1->text();
    v.image2 = m_image2->text();
    v.height1 = m_height1->text();
    v.width1 = m_width1->text();
    v.height2 = m_height2->text();
    v.width2 = m_width2->text();
    v.left = m_left->text();
    v.top1 = m_top1->text();
    v.top2 = m_top2->text();
    const layering::Outcome outcome = layering::apply(v);
    run(outcome.steps);
    if (!outcome.failed)
        return;
    // What went in before the error stays; the dialog goes once the message is closed.
    QPointer<frmLayer> self(this);
    platform::showMessage(this, layering::errorMessage);
    if (self)
        run(layering::unloadSteps());
}

void frmLayer::cancel() { run(layering::unloadSteps()); }

void frmLayer::browse(QLineEdit* nameBox)
{
    if (unloading())
        return;
    QPointer<frmLayer> self(this);
    const QString path =
        platform::chooseFile(this, {platform::FileDialogKind::Open, platform::withAllPictures(layering::browseFilter), QString()});
    if (!self)
        return;
    activateWindow();
    // A cancelled dialog leaves the name as it was.
    if (!path.isEmpty())
        nameBox->setText(QFileInfo(path).fileName());
}
