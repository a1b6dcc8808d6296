#include "insert/frmItem.h"

#include "insert/ListMarkup.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

frmItem::frmItem() : GeneratorDialog(QStringLiteral("frmItem"), QStringLiteral("List Items"))
{
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(4);
    grid->addWidget(makeLabel(QStringLiteral("Label9"), QStringLiteral("Items")), 0, 0, 1, 2);
    grid->addWidget(makeLabel(QStringLiteral("Label10"), QStringLiteral("Item Text")), 0, 2);
    for (int i = 0; i < bulleted::maxItems; ++i) {
        const int n = i + 1;
        QRadioButton* option = makeOption(QStringLiteral("Option%1").arg(n),
                                          n == 1 ? QStringLiteral("1 item") : QStringLiteral("%1 items").arg(n));
        QPlainTextEdit* text = makeTextArea(QStringLiteral("Text%1").arg(n), QStringLiteral("Item %1").arg(n));
        text->setFixedHeight(40);
        text->setMinimumWidth(300);
        m_options[i] = option;
        m_texts[i] = text;
        connect(option, &QRadioButton::toggled, this, [this, n](bool on) {
            if (on)
                choose(n);
        });
        grid->addWidget(makeLabel(QStringLiteral("Label%1").arg(n), QString::number(n), option), n, 0);
        grid->addWidget(option, n, 1);
        grid->addWidget(text, n, 2);
    }

    auto* apply = makeButton(QStringLiteral("Command1"), QStringLiteral("Apply"));
    auto* cancelButton = makeButton(QStringLiteral("Command2"), QStringLiteral("Cancel"));
    apply->setDefault(true);
    connect(apply, &QPushButton::clicked, this, &frmItem::apply);
    connect(cancelButton, &QPushButton::clicked, this, &frmItem::cancel);
    auto* buttons = GeneratorDialog::buttonRow({apply, cancelButton});

    auto* outer = new QVBoxLayout(this);
    outer->addLayout(grid);
    outer->addSpacing(6);
    outer->addLayout(buttons);
    outer->setSizeConstraint(QLayout::SetFixedSize);

    QWidget* previous = nullptr;
    for (QWidget* w : m_options) {
        if (previous)
            setTabOrder(previous, w);
        previous = w;
    }
    for (QWidget* w : m_texts) {
        setTabOrder(previous, w);
        previous = w;
    }
    setTabOrderList({previous, apply, cancelButton});
    m_options[0]->setFocus();
}

void frmItem::choose(int n)
{
    // Rows up to n take text; the others are disabled but keep what they hold.
    for (int i = 0; i < bulleted::maxItems; ++i)
        m_options[i]->setChecked(i == n - 1);
    for (int i = 0; i < bulleted::maxItems; ++i)
        m_texts[i]->setEnabled(i < n);
}

void frmItem::apply()
{
    int n = 0;
    for (int i = 0; i < bulleted::maxItems && n == 0; ++i)
        if (m_options[i]->isChecked())
            n = i + 1;
    QStringList items;
    for (const QPlainTextEdit* text : m_texts)
        items << typedText(text);
    run(bulleted::insertList(n, items));
}
