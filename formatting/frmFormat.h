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
    void showThenUnload(const QString& dialog);
    // Unloads the palette, then shows the dialog.
    void unloadThenShow(const QString& dialog);
};
