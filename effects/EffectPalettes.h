#pragma once

#include "document/GeneratorDialog.h"

#include <functional>
#include <initializer_list>

// A palette of the Effects family: one column of flat buttons in the order given, the first
// focused. A palette closes itself when it writes or when it opens one of its dialogs.
class EffectPalette : public GeneratorDialog {
    Q_OBJECT
protected:
    EffectPalette(const QString& name, const QString& caption);
    void addButtons(std::initializer_list<PaletteButton> buttons) { addPaletteButtons(buttons, 130); }
};

// VB Scripts: the time-of-day welcome, the last-modified line and the random background.
class frmVBS : public EffectPalette {
    Q_OBJECT
public:
    frmVBS();
};

// Java: BackTrack View, the status-bar scrolly and image layering.
class frmJava : public EffectPalette {
    Q_OBJECT
public:
    frmJava();
};

// Dynamic HTML: the shadowed heading, the gradient rule, dynamic animation and page loads.
class frmDyn : public EffectPalette {
    Q_OBJECT
public:
    frmDyn();
};
