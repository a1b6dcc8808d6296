#pragma once

#include "document/GeneratorDialog.h"

#include <vector>

class QCheckBox;
class QLineEdit;
class QRadioButton;

// BackTrack View: four font colours, none chosen when it opens.
class frmBTV : public GeneratorDialog {
    Q_OBJECT
public:
    frmBTV();

protected:
    void cancel() override;

private:
    void apply();

    std::vector<QRadioButton*> m_options;
    // The colour word of the chosen option; empty on every load.
    QString m_colourWord;
};

// Shadowed Heading: the heading text and whether it is centred.
class frmShadow : public GeneratorDialog {
    Q_OBJECT
public:
    frmShadow();

private:
    QLineEdit* m_text = nullptr;
    QCheckBox* m_centre = nullptr;
};
