#pragma once

#include "document/GeneratorDialog.h"

class QLineEdit;

// frmLink, frmMail and frmButton: two one-line boxes (an address and a text), an insert
// button and a cancel button.
class LinkDialog : public GeneratorDialog {
    Q_OBJECT
public:
    struct Layout {
        const char* name;
        const char* caption;
        const char* label1;
        const char* label2;
        const char* applyName;
        const char* applyCaption;
        const char* cancelName;
        bool framed; // the labels stand in frames Frame1 and Frame2
        Steps (*generate)(const QString& first, const QString& second);
    };
    static const Layout hyperlink;
    static const Layout mail;
    static const Layout button;

    explicit LinkDialog(const Layout& layout);

private:
    const Layout& m_layout;
    QLineEdit* m_first = nullptr;
    QLineEdit* m_second = nullptr;
};

// The Links and Images palette: each button unloads it and shows its dialog.
class frmLnkImg : public GeneratorDialog {
    Q_OBJECT
public:
    frmLnkImg();
};
