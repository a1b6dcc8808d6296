#pragma once

#include "document/GeneratorDialog.h"

class QLineEdit;
class QPlainTextEdit;
class UpDown;

// The "Marquee & Sound" palette: each choice shows its dialog, then the palette unloads.
class frmMrqSnd : public GeneratorDialog {
    Q_OBJECT
public:
    frmMrqSnd();

private:
};

// "Marquee": the typed text, line breaks and all, between marquee tags.
class frmMarquee : public GeneratorDialog {
    Q_OBJECT
public:
    frmMarquee();

private:
    QPlainTextEdit* m_text = nullptr;
};

// "Insert Background Sound": a sound file and a loop count. The count box shows the up-down's
// value (0 to 10) and can also be typed into; Apply writes whatever it holds.
class sound : public GeneratorDialog {
    Q_OBJECT
public:
    sound();

private:
    QLineEdit* m_file = nullptr;
    QLineEdit* m_loops = nullptr;
    UpDown* m_loopCount = nullptr;
    QString m_lastChosen; // the Open dialog of this showing starts at the file last chosen
};
