#pragma once

#include <QDialog>

// The About box: title, version, a legal warning, OK and System Info.
class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(QWidget* parent = nullptr);

    static QString versionText() { return QStringLiteral("Version 1.2.1"); }

    // Starts the system information program, or says that there is none.
    void StartSysInfo();
};
