#include "insert/LinkDialog.h"

#include "document/Forms.h"
#include "insert/LinkMarkup.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

const LinkDialog::Layout LinkDialog::hyperlink{
    "frmLink", "Hyperlink",
    "Type URL Below...i.e.  http://www.example.com",
    "Type Text To Highlight As Link Below...i.e   Microsoft",
    "Command1", "Continue", "Command2", false, &links::hyperlink};

const LinkDialog::Layout LinkDialog::mail{
    "frmMail", "E-Mail Link",
    "Type the E-Mail address to link to below  (eg. ... someone@example.com)",
    "Type the text you would like highlighted below (eg...Click here)",
    "Command1", "Apply", "Command2", false, &links::mailLink};

const LinkDialog::Layout LinkDialog::button{
    "frmButton", "Command Button",
    "                      URL to link button to  eg. http://www.example.com",
    "                                           Button Caption  eg. Click me",
    "Apply", "Apply", "Cancel", true, &links::commandButton};

LinkDialog::LinkDialog(const Layout& layout)
    : GeneratorDialog(QLatin1String(layout.name), QLatin1String(layout.caption)), m_layout(layout)
{
    m_first = makeLineEdit(QStringLiteral("Text1"), QString());
    m_second = makeLineEdit(QStringLiteral("Text2"), QString());
    QLabel* label1 = makeLabel(QStringLiteral("Label1"), QLatin1String(layout.label1), m_first);
    QLabel* label2 = makeLabel(QStringLiteral("Label2"), QLatin1String(layout.label2), m_second);
    for (QLineEdit* box : {m_first, m_second})
        box->setMinimumWidth(420);

    auto* apply = makeButton(QLatin1String(layout.applyName), QLatin1String(layout.applyCaption));
    auto* cancelButton = makeButton(QLatin1String(layout.cancelName), QStringLiteral("Cancel"));
    apply->setDefault(true);
    connect(apply, &QPushButton::clicked, this,
            [this] { run(m_layout.generate(m_first->text(), m_second->text())); });
    connect(cancelButton, &QPushButton::clicked, this, &LinkDialog::cancel);

    auto* outer = new QVBoxLayout(this);
    // A label stands directly above its box; in the button dialog it sits in a frame.
    auto addField = [&](QLabel* label, QLineEdit* box, const char* frameName) {
        if (layout.framed) {
            auto* frame = new QFrame(this);
            frame->setObjectName(QLatin1String(frameName));
            frame->setFrameShape(QFrame::StyledPanel);
            frame->setStyleSheet(QStringLiteral("QFrame#%1 { border: 1px solid rgb(255,255,0); }")
                                     .arg(QLatin1String(frameName)));
            auto* inFrame = new QVBoxLayout(frame);
            inFrame->setContentsMargins(4, 2, 4, 2);
            inFrame->addWidget(label);
            outer->addWidget(frame);
        } else {
            outer->addWidget(label);
        }
        outer->addWidget(box);
        outer->addSpacing(6);
    };
    addField(label1, m_first, "Frame1");
    addField(label2, m_second, "Frame2");
    auto* buttons = GeneratorDialog::buttonRow({apply, cancelButton});
    outer->addLayout(buttons);
    outer->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrderList({m_first, m_second, apply, cancelButton});
    m_first->setFocus();
}

frmLnkImg::frmLnkImg()
    : GeneratorDialog(QStringLiteral("frmLnkImg"), QStringLiteral("Links and Images"))
{
    auto lead = [this](const char* dialog) {
        return [this, dialog] { unloadThenShow(QLatin1String(dialog)); };
    };
    addPaletteButtons({{"FB1", "Hyperlinks", nullptr, lead("frmLink")},
                       {"FB2", "Images", nullptr, lead("frmImg")},
                       {"FB3", "E-Mail Link", nullptr, lead("frmMail")},
                       {"FB5", "Video", nullptr, lead("frmVideo")},
                       {"FB4", "Cancel", nullptr, [this] { cancel(); }}},
                      110);
}
