#pragma once

#include "document/GeneratorDialog.h"

class QLineEdit;

// frmTrgLnk: the chooser between a target and a jump; either button unloads it.
class frmTrgLnk : public GeneratorDialog {
    Q_OBJECT
public:
    frmTrgLnk();

protected:
    // No Cancel button: the close box and Escape only unload it.
    void cancel() override;
};

// frmTarget: a named anchor at the caret, replacing the selection.
class frmTarget : public GeneratorDialog {
    Q_OBJECT
public:
    frmTarget();

private:
    QLineEdit* m_name = nullptr;
};

// frmJump: a link to a named anchor of the same page.
class frmJump : public GeneratorDialog {
    Q_OBJECT
public:
    frmJump();

private:
    QLineEdit* m_target = nullptr;
    QLineEdit* m_text = nullptr;
};
