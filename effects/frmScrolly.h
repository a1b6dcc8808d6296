#pragma once

#include "document/GeneratorDialog.h"

class QLineEdit;

// "StatusBar Scrolly": one message; Apply writes the script that runs it through the
// browser's status bar.
class frmScrolly : public GeneratorDialog {
    Q_OBJECT
public:
    frmScrolly();

protected:
    // Unloads and records the caret; nothing is inserted.
    void cancel() override;

private:
    QLineEdit* m_message = nullptr;
};
