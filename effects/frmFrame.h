#pragma once

#include "document/GeneratorDialog.h"

class QCheckBox;
class QLineEdit;
class QRadioButton;
class RichEdit;
class UpDown;

// "Create A Frameset Page": a two-frame frameset page, built in a hidden box and saved to a
// file the user names. It writes nothing into the active document.
class frmFrame : public GeneratorDialog {
    Q_OBJECT
public:
    frmFrame();

protected:
    // Unloads; every unload gives the active document's editor the focus.
    void cancel() override;

private:
    void apply();

    QRadioButton* m_vertical = nullptr;   // Option1
    QRadioButton* m_horizontal = nullptr; // Option2
    QCheckBox* m_noBorder = nullptr;      // Check1
    QLineEdit* m_firstShare = nullptr;    // Text1
    QLineEdit* m_secondShare = nullptr;   // Text2
    UpDown* m_firstUpDown = nullptr;      // UpDown1
    UpDown* m_secondUpDown = nullptr;     // UpDown2
    QLineEdit* m_firstSource = nullptr;   // Text3
    QLineEdit* m_secondSource = nullptr;  // Text4
    RichEdit* m_page = nullptr;           // txtText, hidden
};
