#pragma once

#include "document/GeneratorDialog.h"

#include <array>

class QLineEdit;
class QRadioButton;
class UpDown;

// "Dynamic Animation": an image that flies into place as the page loads. Apply prepares the
// page once (script and onload attribute) and puts the animated element at the saved caret.
class frmDynAnim : public GeneratorDialog {
    Q_OBJECT
public:
    frmDynAnim();

protected:
    void cancel() override;

private:
    void apply();
    void browse();

    QLineEdit* m_image = nullptr;  // Text1
    QLineEdit* m_width = nullptr;  // Text3
    QLineEdit* m_height = nullptr; // Text2
    UpDown* m_widthUpDown = nullptr;  // UpDown2
    UpDown* m_heightUpDown = nullptr; // UpDown1
    std::array<QRadioButton*, 7> m_options{}; // Option1 to Option7
};
