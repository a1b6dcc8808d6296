#include "formatting/AnchorDialogs.h"

#include "document/Forms.h"
#include "formatting/AnchorMarkup.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// A frame without caption around a prompt.
QFrame* framed(QWidget* parent, const char* name, QLabel* label)
{
    auto* frame = new QFrame(parent);
    frame->setObjectName(QLatin1String(name));
    frame->setFrameShape(QFrame::StyledPanel);
    frame->setAccessibleName(label->text().trimmed());
    frame->setStyleSheet(QStringLiteral("QFrame#%1 { border: 1px solid rgb(255,255,0); }").arg(QLatin1String(name)));
    auto* inFrame = new QVBoxLayout(frame);
    inFrame->setContentsMargins(4, 2, 4, 2);
    inFrame->addWidget(label);
    return frame;
}

} // namespace

frmTrgLnk::frmTrgLnk() : GeneratorDialog(QStringLiteral("frmTrgLnk"), QStringLiteral("Jumps & Targets"))
{
    struct Entry {
        const char* name;
        const char* caption;
        const char* dialog;
    };
    static constexpr Entry entries[] = {{"FB1", "Target", "frmTarget"}, {"FB2", "Jump", "frmJump"}};
    auto* row = new QHBoxLayout(this);
    for (const Entry& e : entries) {
        QPushButton* b = makeButton(QLatin1String(e.name), QLatin1String(e.caption));
        b->setMinimumWidth(90);
        const QString dialog = QLatin1String(e.dialog);
        connect(b, &QPushButton::clicked, this, [this, dialog] { unloadThenShow(dialog); });
        appendInTabOrder(row, b);
    }
    row->setSizeConstraint(QLayout::SetFixedSize);
}

void frmTrgLnk::cancel() { run({step::CloseDialog{}}); }

frmTarget::frmTarget() : GeneratorDialog(QStringLiteral("frmTarget"), QStringLiteral("Target"))
{
    m_name = makeLineEdit(QStringLiteral("Text1"), QString());
    m_name->setMinimumWidth(360);
    QLabel* prompt = makeLabel(QStringLiteral("Label1"),
                               QStringLiteral("Name for Target (can be anything, this is an internal link)"), m_name);
    auto* apply = makeButton(QStringLiteral("FB1"), QStringLiteral("Apply"));
    auto* cancelButton = makeButton(QStringLiteral("FB2"), QStringLiteral("Cancel"));
    apply->setDefault(true);
    connect(apply, &QPushButton::clicked, this, [this] { run(anchors::target(m_name->text())); });
    connect(cancelButton, &QPushButton::clicked, this, &frmTarget::cancel);

    auto* outer = new QVBoxLayout(this);
    outer->addWidget(prompt);
    outer->addWidget(m_name);
    outer->addSpacing(6);
    outer->addLayout(buttonRow({apply, cancelButton}));
    outer->setSizeConstraint(QLayout::SetFixedSize);
    setTabOrderList({m_name, apply, cancelButton});
    m_name->setFocus();
}

frmJump::frmJump() : GeneratorDialog(QStringLiteral("frmJump"), QStringLiteral("Insert Jump"))
{
    m_target = makeLineEdit(QStringLiteral("Text1"), QString());
    m_text = makeLineEdit(QStringLiteral("Text2"), QString());
    for (QLineEdit* box : {m_target, m_text})
        box->setMinimumWidth(420);
    QLabel* label1 = makeLabel(QStringLiteral("Label1"),
                               QString(14, QLatin1Char(' '))
                                   + QStringLiteral("Name of Target to Jump to...This should already be on page"),
                               m_target);
    QLabel* label2 = makeLabel(QStringLiteral("Label2"),
                               QStringLiteral("Text to Highlight.... e.g. ......Click here to return to top of page"),
                               m_text);
    auto* apply = makeButton(QStringLiteral("Apply"), QStringLiteral("Apply"));
    auto* cancelButton = makeButton(QStringLiteral("Cancel"), QStringLiteral("Cancel"));
    apply->setDefault(true);
    connect(apply, &QPushButton::clicked, this,
            [this] { run(anchors::jump(m_target->text(), m_text->text())); });
    connect(cancelButton, &QPushButton::clicked, this, &frmJump::cancel);

    auto* outer = new QVBoxLayout(this);
    outer->addWidget(framed(this, "Frame1", label1));
    outer->addWidget(m_target);
    outer->addSpacing(6);
    outer->addWidget(framed(this, "Frame2", label2));
    outer->addWidget(m_text);
    outer->addSpacing(6);
    outer->addLayout(buttonRow({apply, cancelButton}));
    outer->setSizeConstraint(QLayout::SetFixedSize);
    setTabOrderList({m_target, m_text, apply, cancelButton});
    m_target->setFocus();
}
