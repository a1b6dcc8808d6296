#include "effects/frmLoader.h"

#include "document/RichEdit.h"
#include "document/Workspace.h"
#include "document/frmDocument.h"
#include "effects/PageTransitions.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

frmLoader::frmLoader() : GeneratorDialog(QStringLiteral("frmLoader"), QStringLiteral("Page Loads"))
{
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(4);
    grid->setColumnMinimumWidth(2, 24);
    for (std::size_t i = 0; i < m_options.size(); ++i) {
        const transitions::Choice& c = transitions::choices[i];
        QRadioButton* option = makeOption(QLatin1String(c.option), QLatin1String(c.label));
        m_options[i] = option;
        const int row = static_cast<int>(i % 5);
        const int column = i < 5 ? 0 : 3;
        grid->addWidget(option, row, column);
        grid->addWidget(makeLabel(QStringLiteral("Label%1").arg(i + 1), QLatin1String(c.label), option),
                        row, column + 1);
    }
    m_options[0]->setChecked(true);

    auto* apply = makeButton(QStringLiteral("FB1"), QStringLiteral("Apply"));
    auto* cancelButton = makeButton(QStringLiteral("FB2"), QStringLiteral("Cancel"));
    apply->setDefault(true);
    connect(apply, &QPushButton::clicked, this, &frmLoader::apply);
    connect(cancelButton, &QPushButton::clicked, this, &frmLoader::cancel);
    auto* buttons = GeneratorDialog::buttonRow({apply, cancelButton});

    auto* outer = new QVBoxLayout(this);
    outer->addLayout(grid);
    outer->addSpacing(8);
    outer->addLayout(buttons);
    outer->setSizeConstraint(QLayout::SetFixedSize);

    QWidget::setTabOrder(m_options.back(), apply);
    for (std::size_t i = 1; i < m_options.size(); ++i)
        QWidget::setTabOrder(m_options[i - 1], m_options[i]);
    QWidget::setTabOrder(apply, cancelButton);
    m_options[0]->setFocus();
}

void frmLoader::apply()
{
    if (unloading())
        return;
    // The first selected option wins; one always is.
    int transition = transitions::choices[0].transition;
    for (std::size_t i = 0; i < m_options.size(); ++i) {
        if (m_options[i]->isChecked()) {
            transition = transitions::choices[i].transition;
            break;
        }
    }
    const QString tag = transitions::tag(transition);
    transitions::Page page;
    if (frmDocument* doc = workspace::activeDocument()) {
        page.savedCaret = doc->savedCaret();
        page.textLength = doc->editor()->textLength();
        // Kept for the dynamic animation, which finds the BODY tag moved on by its length;
        // with no page to take the tag, it is not kept either.
        workspace::shared().pageTransitionTag = tag;
    }
    run(transitions::pageTransition(tag, page));
}

void frmLoader::cancel() { run({step::CloseDialog{}}); }
