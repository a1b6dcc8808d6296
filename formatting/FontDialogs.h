#pragma once

#include "document/GeneratorDialog.h"

#include <array>

class QButtonGroup;
class QRadioButton;

// frmFontSize: a relative size and a named colour around the document's selection, which the
// dialog copies itself when Apply is pressed.
class frmFontSize : public GeneratorDialog {
    Q_OBJECT
public:
    frmFontSize();

protected:
    void cancel() override;

private:
    void apply();

    std::array<QRadioButton*, 6> m_sizes{};   // Option1..Option6
    std::array<QRadioButton*, 6> m_colours{}; // Option7..Option12
    // The selection copied at load and again at Apply; only the copy taken at Apply is used.
    QString m_saved;
};

// frmFColor: a named colour around the document's selection. No colour is chosen at load;
// Apply without one leaves the dialog open.
class frmFColor : public GeneratorDialog {
    Q_OBJECT
public:
    frmFColor();

protected:
    void cancel() override;

private:
    void apply();

    std::array<QRadioButton*, 6> m_colours{}; // Option1..Option6
    QString m_saved;
};
