#pragma once

#include "document/GeneratorDialog.h"

#include <array>

class QRadioButton;

// "Page Loads": ten entry transitions in two columns; Apply writes the chosen one's meta tag
// after "<HEAD>" and keeps it as the page-transition tag.
class frmLoader : public GeneratorDialog {
    Q_OBJECT
public:
    frmLoader();

protected:
    // Cancel only unloads: the caret and the saved caret stay as they are.
    void cancel() override;

private:
    void apply();

    std::array<QRadioButton*, 10> m_options{};
};
