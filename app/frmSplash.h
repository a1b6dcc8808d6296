#pragma once

#include <QWidget>

// The splash window: one picture, no text, no buttons, no input.
class frmSplash : public QWidget {
    Q_OBJECT
public:
    explicit frmSplash(QWidget* parent = nullptr);
};
