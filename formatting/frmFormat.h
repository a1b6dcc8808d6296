#pragma once

#include "document/GeneratorDialog.h"

// The Format palette: headings, font style, paragraph, font size, font colour, frames.
// Every button unloads it.
class frmFormat : public GeneratorDialog {
    Q_OBJECT
public:
    frmFormat();

protected:
    void cancel() override;

private:
    // Shows the dialog, then unloads the palette.
    // Unloads the palette, then shows the dialog.
};
