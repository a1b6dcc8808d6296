#include "formatting/FontDialogs.h"

#include "document/RichEdit.h"
#include "document/Workspace.h"
#include "document/frmDocument.h"
#include "formatting/FontMarkup.h"

#include <QButtonGroup>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

// The active document's selected text; nothing with no document open.
QString activeSelection()
{
    const frmDocument* doc = workspace::activeDocument();
    return doc && doc->editor() ? doc->editor()->selText() : QString();
}

// The first chosen option of a group, as its entry in the table of choices.
template <std::size_t N>
const fontmarkup::Choice* chosen(const std::array<QRadioButton*, N>& options,
                                 const std::array<fontmarkup::Choice, N>& choices)
{
    for (std::size_t i = 0; i < N; ++i)
        if (options[i]->isChecked())
            return &choices[i];
    return nullptr;
}

} // namespace

frmFontSize::frmFontSize() : GeneratorDialog(QStringLiteral("frmFontSize"), QStringLiteral("FontSize"))
{
    // Sizes in three rows of two; each option and its label in one grid cell pair.
    auto* sizeGroup = new QButtonGroup(this);
    auto* sizes = new QGridLayout;
    sizes->setHorizontalSpacing(4);
    sizes->setColumnMinimumWidth(2, 16);
    for (int i = 0; i < 6; ++i) {
        const QString label = QLatin1String(fontmarkup::sizeChoices[i].label);
        QRadioButton* option = makeOption(QStringLiteral("Option%1").arg(i + 1), QStringLiteral("Size ") + label);
        sizeGroup->addButton(option);
        m_sizes[i] = option;
        const int row = i / 2;
        const int column = (i % 2) * 3;
        sizes->addWidget(option, row, column);
        sizes->addWidget(makeLabel(QStringLiteral("Label%1").arg(i + 1), label, option), row, column + 1);
    }

    // The colours stand in one column inside a frame, under their heading.
    auto* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("Frame1"));
    frame->setFrameShape(QFrame::StyledPanel);
    frame->setAccessibleName(QStringLiteral("Color"));
    frame->setStyleSheet(QStringLiteral("QFrame#Frame1 { border: 1px solid rgb(255,255,0); }"));
    auto* colours = new QGridLayout(frame);
    colours->setContentsMargins(6, 4, 6, 4);
    colours->setHorizontalSpacing(4);
    colours->addWidget(makeLabel(QStringLiteral("Label7"), QStringLiteral("Color")), 0, 0, 1, 2);
    auto* colourGroup = new QButtonGroup(this);
    for (int i = 0; i < 6; ++i) {
        const QString label = QLatin1String(fontmarkup::sizeColourChoices[i].label);
        QRadioButton* option = makeOption(QStringLiteral("Option%1").arg(i + 7), label);
        colourGroup->addButton(option);
        m_colours[i] = option;
        colours->addWidget(option, i + 1, 0);
        colours->addWidget(makeLabel(QStringLiteral("Label%1").arg(i + 8), label, option), i + 1, 1);
    }

    auto* apply = makeButton(QStringLiteral("FB1"), QStringLiteral("Apply"));
    auto* cancelButton = makeButton(QStringLiteral("FB2"), QStringLiteral("Cancel"));
    apply->setDefault(true);
    connect(apply, &QPushButton::clicked, this, &frmFontSize::apply);
    connect(cancelButton, &QPushButton::clicked, this, &frmFontSize::cancel);

    auto* top = new QHBoxLayout;
    auto* sizeColumn = new QVBoxLayout;
    sizeColumn->addLayout(sizes);
    sizeColumn->addStretch(1);
    top->addLayout(sizeColumn);
    top->addSpacing(12);
    top->addWidget(frame);
    auto* outer = new QVBoxLayout(this);
    outer->addLayout(top);
    outer->addLayout(buttonRow({apply, cancelButton}));
    outer->setSizeConstraint(QLayout::SetFixedSize);

    QWidget* previous = nullptr;
    for (QRadioButton* o : m_sizes) {
        if (previous)
            setTabOrder(previous, o);
        previous = o;
    }
    for (QRadioButton* o : m_colours) {
        setTabOrder(previous, o);
        previous = o;
    }
    setTabOrderList({previous, apply, cancelButton});

    // Load: +1 and Black chosen, and a first copy of the selection.
    m_sizes[0]->setChecked(true);
    m_colours[0]->setChecked(true);
    m_saved = activeSelection();
    m_sizes[0]->setFocus();
}

void frmFontSize::apply()
{
    if (unloading())
        return;
    m_saved = activeSelection();
    run(fontmarkup::applyFontSize(chosen(m_sizes, fontmarkup::sizeChoices),
                                  chosen(m_colours, fontmarkup::sizeColourChoices), m_saved));
}

void frmFontSize::cancel() { run(fontmarkup::cancelFontDialog()); }

frmFColor::frmFColor() : GeneratorDialog(QStringLiteral("frmFColor"), QStringLiteral("Font Color"))
{
    // Two rows of three: Black, Blue, Green; Red, Yellow, White. None chosen at load.
    auto* group = new QButtonGroup(this);
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(4);
    grid->setColumnMinimumWidth(2, 16);
    grid->setColumnMinimumWidth(5, 16);
    for (int i = 0; i < 6; ++i) {
        const QString label = QLatin1String(fontmarkup::colourChoices[i].label);
        QRadioButton* option = makeOption(QStringLiteral("Option%1").arg(i + 1), label);
        group->addButton(option);
        m_colours[i] = option;
        const int row = i / 3;
        const int column = (i % 3) * 3;
        grid->addWidget(option, row, column);
        grid->addWidget(makeLabel(QStringLiteral("Label%1").arg(i + 1), label, option), row, column + 1);
    }

    auto* apply = makeButton(QStringLiteral("FB1"), QStringLiteral("Apply"));
    auto* cancelButton = makeButton(QStringLiteral("FB2"), QStringLiteral("Cancel"));
    apply->setDefault(true);
    connect(apply, &QPushButton::clicked, this, &frmFColor::apply);
    connect(cancelButton, &QPushButton::clicked, this, &frmFColor::cancel);

    auto* outer = new QVBoxLayout(this);
    outer->addLayout(grid);
    outer->addSpacing(6);
    outer->addLayout(buttonRow({apply, cancelButton}));
    outer->setSizeConstraint(QLayout::SetFixedSize);

    QWidget* previous = nullptr;
    for (QRadioButton* o : m_colours) {
        if (previous)
            setTabOrder(previous, o);
        previous = o;
    }
    setTabOrderList({previous, apply, cancelButton});
    m_colours[0]->setFocus();
}

void frmFColor::apply()
{
    if (unloading())
        return;
    m_saved = activeSelection();
    run(fontmarkup::applyFontColour(chosen(m_colours, fontmarkup::colourChoices), m_saved));
}

void frmFColor::cancel() { run(fontmarkup::cancelFontDialog()); }
