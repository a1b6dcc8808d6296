#include "app/frmAbout.h"

#include "app/Pictures.h"
#include "platform/Prompts.h"
#include "platform/SystemInfo.h"

#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace {

QFrame* line(QWidget* parent)
{
    auto* l = new QFrame(parent);
    l->setObjectName(QStringLiteral("Line1"));
    l->setFrameShape(QFrame::HLine);
    l->setFrameShadow(QFrame::Sunken);
    return l;
}

} // namespace

frmAbout::frmAbout(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About Halvane"));
    setModal(true);
    setStyleSheet(QStringLiteral(
        "frmAbout { background-color: rgb(255,0,0); }"
        "QLabel { color: rgb(255,255,0); }"
        "QPushButton { background-color: rgb(255,0,0); color: rgb(255,255,0);"
        " border: 1px solid rgb(255,255,0); padding: 3px 14px; }"
        "QPushButton:focus { border: 2px solid rgb(255,255,0); }"
        "QPushButton:pressed { background-color: rgb(200,0,0); }"));

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("picIcon"));
    icon->setPixmap(pictures::load(QStringLiteral(":/icon.png")));
    auto* title = new QLabel(platform::applicationTitle(), this);
    title->setObjectName(QStringLiteral("lblTitle"));
    QFont big = title->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    title->setFont(big);
    auto* version = new QLabel(versionText(), this);
    version->setObjectName(QStringLiteral("lblVersion"));
    auto* disclaimer = new QLabel(
        QStringLiteral("Warning: this computer program is protected by copyright law and "
                       "international treaties. Unauthorized reproduction or distribution of "
                       "this program, or any portion of it, may result in severe civil and "
                       "criminal penalties, and will be prosecuted to the maximum extent possible "
                       "under the law."),
        this);
    disclaimer->setObjectName(QStringLiteral("lblDisclaimer"));
    disclaimer->setWordWrap(true);
    disclaimer->setFixedWidth(330);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    auto* sysInfo = new QPushButton(QStringLiteral("&System Info..."), this);
    sysInfo->setObjectName(QStringLiteral("cmdSysInfo"));

    auto* grid = new QGridLayout(this);
    grid->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);
    grid->addWidget(title, 0, 1, 1, 2);
    grid->addWidget(version, 1, 1, 1, 2);
    grid->addWidget(line(this), 2, 0, 1, 3);
    grid->addWidget(disclaimer, 3, 0, 1, 2);
    grid->addWidget(ok, 3, 2, Qt::AlignTop);
    grid->addWidget(line(this), 4, 0, 1, 2);
    grid->addWidget(sysInfo, 4, 2);
    grid->setColumnStretch(1, 1);
    grid->setSizeConstraint(QLayout::SetFixedSize);

    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(sysInfo, &QPushButton::clicked, this, &frmAbout::StartSysInfo);
}

void frmAbout::StartSysInfo()
{
    if (!platform::startSystemInfo())
        platform::showMessage(this, QStringLiteral("System Information Is Unavailable At This Time"));
}
