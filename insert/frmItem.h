#pragma once

#include "document/GeneratorDialog.h"

#include <array>

class QPlainTextEdit;
class QRadioButton;

// "List Items": choose how many items (1 to 8), type them, Apply writes the bulleted list.
class frmItem : public GeneratorDialog {
    Q_OBJECT
public:
    frmItem();

private:
    void choose(int n);
    void apply();

    std::array<QRadioButton*, 8> m_options{};
    std::array<QPlainTextEdit*, 8> m_texts{};
};
