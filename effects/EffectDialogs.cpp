#include "effects/EffectDialogs.h"

#include "effects/DhtmlEffects.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

frmBTV::frmBTV() : GeneratorDialog(QStringLiteral("frmBTV"), QStringLiteral("BackTrack View"))
{
    auto* options = new QVBoxLayout;
    options->setSpacing(2);
    int n = 0;
    for (const dhtml::ColourOption& o : dhtml::backTrackOptions) {
        const QString label = QLatin1String(o.label);
        QRadioButton* option = makeOption(QStringLiteral("Option%1").arg(++n), label);
        option->setText(label);
        m_options.push_back(option);
        options->addWidget(option);
    }

    auto* apply = makeButton(QStringLiteral("FB1"), QStringLiteral("Apply"));
    auto* cancelButton = makeButton(QStringLiteral("FB2"), QStringLiteral("Cancel"));
    apply->setDefault(true);
    connect(apply, &QPushButton::clicked, this, &frmBTV::apply);
    connect(cancelButton, &QPushButton::clicked, this, &frmBTV::cancel);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(apply);
    buttons->addWidget(cancelButton);
    auto* outer = new QVBoxLayout(this);
    outer->addLayout(options);
    outer->addSpacing(8);
    outer->addLayout(buttons);
    outer->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrderList({m_options[0], m_options[1], m_options[2], m_options[3], apply, cancelButton});
    m_options.front()->setFocus();
}

void frmBTV::apply()
{
    // The first selected option wins; with none selected the word stays empty.
    m_colourWord.clear();
    for (std::size_t i = 0; i < m_options.size(); ++i) {
        if (m_options[i]->isChecked()) {
            m_colourWord = QLatin1String(dhtml::backTrackOptions[i].word);
            break;
        }
    }
    run(dhtml::backTrackView(m_colourWord));
}

void frmBTV::cancel() { run(dhtml::backTrackCancel()); }

frmShadow::frmShadow()
    : GeneratorDialog(QStringLiteral("frmShadow"), QStringLiteral("Shadowed Heading"))
{
    m_text = makeLineEdit(QStringLiteral("Text1"), QString());
    m_text->setMinimumWidth(320);
    QLabel* prompt = makeLabel(QStringLiteral("Label1"), QStringLiteral("Type Your Shadowed Heading Below"), m_text);
    m_centre = makeCheck("Check1", "Center");
    QLabel* centreLabel = makeLabel(QStringLiteral("Label2"), QStringLiteral("Center"), m_centre);

    auto* apply = makeButton(QStringLiteral("Command1"), QStringLiteral("Continue"));
    auto* cancelButton = makeButton(QStringLiteral("Command2"), QStringLiteral("Cancel"));
    apply->setDefault(true);
    connect(apply, &QPushButton::clicked, this,
            [this] { run(dhtml::shadowedHeading(m_text->text(), m_centre->isChecked())); });
    connect(cancelButton, &QPushButton::clicked, this, &frmShadow::cancel);

    auto* centreRow = new QHBoxLayout;
    centreRow->setSpacing(4);
    centreRow->addWidget(m_centre);
    centreRow->addWidget(centreLabel);
    centreRow->addStretch(1);
    auto* buttons = GeneratorDialog::buttonRow({apply, cancelButton});
    auto* outer = new QVBoxLayout(this);
    outer->addWidget(prompt);
    outer->addWidget(m_text);
    outer->addLayout(centreRow);
    outer->addSpacing(6);
    outer->addLayout(buttons);
    outer->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrderList({m_text, m_centre, apply, cancelButton});
    m_text->setFocus();
}
