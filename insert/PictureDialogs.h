#pragma once

#include "document/GeneratorDialog.h"

class QCheckBox;
class QLineEdit;

// "Insert Picture": a picture name, centred and/or followed by a line break.
class frmImg : public GeneratorDialog {
    Q_OBJECT
public:
    frmImg();

private:
    void apply();

    QLineEdit* m_name = nullptr;
    QCheckBox* m_centre = nullptr;
    QCheckBox* m_lineBreak = nullptr;
};

// "Video": a video clip for browsers that play an image's dynsrc. Cancel only closes it.
class frmVideo : public GeneratorDialog {
    Q_OBJECT
public:
    frmVideo();

protected:
    void cancel() override;

private:
    QLineEdit* m_name = nullptr;
};

// "Background Image": a body tag naming the page's background picture. Cancel only closes it.
class bgImg : public GeneratorDialog {
    Q_OBJECT
public:
    bgImg();

protected:
    void cancel() override;

private:
    void apply();

    QLineEdit* m_name = nullptr;
};

// The small palette of the Edit menu's "Menu Items", placed by the first toolbar buttons.
// "Background Image" leads on to bgImg; "Font" does nothing; "Exit" closes the palette.
class mnu1 : public GeneratorDialog {
    Q_OBJECT
public:
    mnu1();

protected:
    void cancel() override;

private:
    void placeByToolbar();
};
