#include "formatting/TagChoiceDialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

const TagChoiceDialog::Layout TagChoiceDialog::heading{
    "frmHeading", "Headings", formatdialogs::headingChoices, "Type Heading Text Below",
    formatdialogs::TypedText::BeforeSelection};

const TagChoiceDialog::Layout TagChoiceDialog::style{
    "frmStyle", "Font Style", formatdialogs::styleChoices, "Text you would like tagged",
    formatdialogs::TypedText::AfterSelection};

TagChoiceDialog::TagChoiceDialog(const Layout& layout)
    : GeneratorDialog(QLatin1String(layout.name), QLatin1String(layout.caption)), m_layout(layout)
{
    auto* options = new QGridLayout;
    options->setHorizontalSpacing(4);
    options->setColumnStretch(2, 1);
    int n = 0;
    for (const formatdialogs::TagChoice& choice : layout.choices) {
        ++n;
        const QString label = QLatin1String(choice.label);
        QRadioButton* option = makeOption(QStringLiteral("Option%1").arg(n), label);
        m_options.push_back(option);
        options->addWidget(option, n - 1, 0);
        options->addWidget(makeLabel(QStringLiteral("Label%1").arg(n), label, option), n - 1, 1);
    }

    m_text = makeTextArea(QStringLiteral("Text1"), QLatin1String(layout.prompt));
    m_text->setMinimumSize(240, 70);
    auto* prompt = makeLabel(QStringLiteral("Label%1").arg(n + 1), QLatin1String(layout.prompt), m_text);

    auto* apply = makeButton(QStringLiteral("FB1"), QStringLiteral("Apply"));
    auto* cancelButton = makeButton(QStringLiteral("FB2"), QStringLiteral("Cancel"));
    apply->setDefault(true);
    connect(apply, &QPushButton::clicked, this, &TagChoiceDialog::apply);
    connect(cancelButton, &QPushButton::clicked, this, &TagChoiceDialog::cancel);

    auto* buttons = GeneratorDialog::buttonRow({apply, cancelButton});
    auto* outer = new QVBoxLayout(this);
    outer->addLayout(options);
    outer->addSpacing(6);
    outer->addWidget(prompt);
    outer->addWidget(m_text, 1);
    outer->addLayout(buttons);

    QWidget* previous = nullptr;
    for (QWidget* w : m_options) {
        if (previous)
            setTabOrder(previous, w);
        previous = w;
    }
    setTabOrderList({previous, m_text, apply, cancelButton});
    m_options.front()->setFocus();
}

void TagChoiceDialog::apply()
{
    // The first selected option wins (the group allows one at most).
    const formatdialogs::TagChoice* chosen = nullptr;
    for (std::size_t i = 0; i < m_options.size() && !chosen; ++i)
        if (m_options[i]->isChecked())
            chosen = &m_layout.choices[i];
    run(formatdialogs::applyChoice(chosen, typedText(m_text), m_layout.typed));
}
