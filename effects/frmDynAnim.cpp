#include "effects/frmDynAnim.h"

#include "document/Inserter.h"
#include "document/RichEdit.h"
#include "document/UpDown.h"
#include "document/Workspace.h"
#include "document/frmDocument.h"
#include "effects/DynamicAnimation.h"
#include "platform/FileChooser.h"

#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

constexpr int sizeStart = 50;
constexpr int sizeMaximum = 500;
constexpr int sizeStep = 10;

const char* const pictureFilter = "Jpeg Files(*.jpg, *.jpeg)|*.jpg;*.jpeg|Gif Files(*.gif)|*.gif";

} // namespace

frmDynAnim::frmDynAnim()
    : GeneratorDialog(QStringLiteral("frmDynAnim"), QStringLiteral("Dynamic Animation"))
{
    m_image = makeLineEdit(QStringLiteral("Text1"), QStringLiteral("Image Name"));
    m_image->setMinimumWidth(220);
    auto* browseButton = makeButton(QStringLiteral("FB3"), QStringLiteral("Browse"));
    connect(browseButton, &QPushButton::clicked, this, &frmDynAnim::browse);

    // The sizes change only through their up-downs: the boxes show the value, disabled.
    auto sizeControl = [this](const char* boxName, const char* upDownName, const char* label,
                              QLineEdit*& box, UpDown*& upDown) {
        box = makeLineEdit(QLatin1String(boxName), QLatin1String(label));
        box->setFixedWidth(48);
        upDown = new UpDown(this);
        upDown->setObjectName(QLatin1String(upDownName));
        upDown->setAccessibleName(QLatin1String(label));
        upDown->setRange(0, sizeMaximum);
        upDown->setSingleStep(sizeStep);
        upDown->setPageStep(5 * sizeStep);
        upDown->setValue(sizeStart);
        upDown->setFixedSize(upDown->sizeHint());
        box->setText(QString::number(sizeStart));
        box->setEnabled(false);
        connect(upDown, &UpDown::valueChanged, box, [box](int v) { box->setText(QString::number(v)); });
    };
    sizeControl("Text3", "UpDown2", "Image Width(Pixels)", m_width, m_widthUpDown);
    sizeControl("Text2", "UpDown1", "Image Height(Pixels)", m_height, m_heightUpDown);

    // The effects, listed top to bottom in this order; each label stands right of its option.
    struct Row {
        int effect;        // index into dynanim::effects
        const char* label; // the label's name
    };
    static constexpr Row rows[] = {{4, "Label6"}, {5, "Label7"}, {2, "Label4"}, {3, "Label5"},
                                   {1, "Label3"}, {0, "Label2"}, {6, "Label8"}};
    auto* effectsGrid = new QGridLayout;
    effectsGrid->setHorizontalSpacing(4);
    effectsGrid->setVerticalSpacing(2);
    for (int r = 0; r < 7; ++r) {
        const dynanim::Effect& e = dynanim::effects[static_cast<std::size_t>(rows[r].effect)];
        QRadioButton* option = makeOption(QLatin1String(e.option), QLatin1String(e.label));
        m_options[static_cast<std::size_t>(rows[r].effect)] = option;
        effectsGrid->addWidget(option, r, 0);
        effectsGrid->addWidget(makeLabel(QLatin1String(rows[r].label), QLatin1String(e.label), option), r, 1);
    }
    m_options[0]->setChecked(true);

    auto* imageRow = new QHBoxLayout;
    imageRow->addWidget(makeLabel(QStringLiteral("Label1"), QStringLiteral("Image Name"), m_image));
    imageRow->addWidget(m_image, 1);
    imageRow->addWidget(browseButton);

    auto* sizes = new QGridLayout;
    sizes->setHorizontalSpacing(4);
    sizes->setVerticalSpacing(8);
    sizes->addWidget(makeLabel(QStringLiteral("Label10"), QStringLiteral("Image Width(Pixels)"), m_widthUpDown), 0, 0);
    sizes->addWidget(m_width, 0, 1);
    sizes->addWidget(m_widthUpDown, 0, 2);
    sizes->addWidget(makeLabel(QStringLiteral("Label9"), QStringLiteral("Image Height(Pixels)"), m_heightUpDown), 1, 0);
    sizes->addWidget(m_height, 1, 1);
    sizes->addWidget(m_heightUpDown, 1, 2);
    sizes->setRowStretch(2, 1);

    // Dividers without behaviour: a thin line under the name, another between the columns.
    auto divider = [this](const char* name, QFrame::Shape shape) {
        auto* line = new QFrame(this);
        line->setObjectName(QLatin1String(name));
        line->setFrameShape(shape);
        line->setStyleSheet(QStringLiteral("color: rgb(255,255,0);"));
        return line;
    };

    auto* middle = new QHBoxLayout;
    middle->addLayout(effectsGrid);
    middle->addSpacing(8);
    middle->addWidget(divider("Command1", QFrame::VLine));
    middle->addSpacing(8);
    middle->addLayout(sizes);

    auto* apply = makeButton(QStringLiteral("FB1"), QStringLiteral("Apply"));
    auto* cancelButton = makeButton(QStringLiteral("FB2"), QStringLiteral("Cancel"));
    apply->setDefault(true);
    connect(apply, &QPushButton::clicked, this, &frmDynAnim::apply);
    connect(cancelButton, &QPushButton::clicked, this, &frmDynAnim::cancel);
    auto* buttons = GeneratorDialog::buttonRow({apply, cancelButton});

    auto* outer = new QVBoxLayout(this);
    outer->addLayout(imageRow);
    outer->addWidget(divider("Frame2", QFrame::HLine));
    outer->addLayout(middle);
    outer->addSpacing(6);
    outer->addLayout(buttons);
    outer->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrderList({m_image, browseButton, m_options[4], m_options[5], m_options[2], m_options[3],
                     m_options[1], m_options[0], m_options[6], m_widthUpDown, m_heightUpDown, apply,
                     cancelButton});
    m_image->setFocus();

    // Apply starts from the caret the document had when the dialog came up.
    inserter::run({step::RecordCaret{}});
}

void frmDynAnim::apply()
{
    if (unloading())
        return;
    dynanim::Values v;
    v.effect = QLatin1String(dynanim::effects[0].name);
    for (std::size_t i = 0; i < m_options.size(); ++i) {
        if (m_options[i]->isChecked()) {
            v.effect = QLatin1String(dynanim::effects[i].name);
            break;
        }
    }
    v.image = m_image->text();
    v.width = m_width->text();
    v.height = m_height->text();

    dynanim::Page page;
    if (frmDocument* doc = workspace::activeDocument()) {
        RichEdit* edit = doc->editor();
        page.savedCaret = doc->savedCaret();
        page.textLength = edit->textLength();
        page.markerAt = edit->find(QString::fromLatin1(dynanim::marker), true, false);
        page.transitionTagLength = static_cast<int>(workspace::shared().pageTransitionTag.size());
    }
    run(dynanim::dynamicAnimation(v, page));
}

void frmDynAnim::browse()
{
    if (unloading())
        return;
    const QString path = platform::chooseFile(
        this, {platform::FileDialogKind::Open, platform::withAllPictures(QString::fromLatin1(pictureFilter)), QString()});
    activateWindow();
    // A cancelled choice leaves the name as it was.
    if (!path.isEmpty())
        m_image->setText(QFileInfo(path).fileName());
}

void frmDynAnim::cancel()
{
    // Unloading gives the editor the focus and records the caret; Cancel records it again.
    run({step::CloseDialog{}, step::FocusEditor{}, step::RecordCaret{}, step::FocusEditor{},
         step::RecordCaret{}});
}
