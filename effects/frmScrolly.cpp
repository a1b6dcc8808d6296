#include "effects/frmScrolly.h"

#include "effects/ScrollyScript.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

frmScrolly::frmScrolly()
    : GeneratorDialog(QStringLiteral("frmScrolly"), QStringLiteral("StatusBar Scrolly"))
{
    m_message = makeLineEdit(QStringLiteral("Text1"), QString());
    m_message->setMinimumWidth(360);
    QLabel* label = makeLabel(QStringLiteral("Label1"), QStringLiteral("Type your Scrolly message below"),
                              m_message);

    auto* apply = makeButton(QStringLiteral("FB1"), QStringLiteral("Apply"));
    auto* cancelButton = makeButton(QStringLiteral("FB2"), QStringLiteral("Cancel"));
    apply->setDefault(true);
    connect(apply, &QPushButton::clicked, this, [this] { run(scrolly::apply(m_message->text())); });
    connect(cancelButton, &QPushButton::clicked, this, &frmScrolly::cancel);

    auto* buttons = GeneratorDialog::buttonRow({apply, cancelButton});
    auto* outer = new QVBoxLayout(this);
    outer->addWidget(label);
    outer->addWidget(m_message);
    outer->addSpacing(8);
    outer->addLayout(buttons);
    outer->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrderList({m_message, apply, cancelButton});
    m_message->setFocus();
}

void frmScrolly::cancel() { run({step::CloseDialog{}, step::RecordCaret{}}); }
