#pragma once

#include "document/GeneratorDialog.h"

class QLineEdit;

// "Image Layering": two image names with their sizes, the tops of both images and the slide
// distance; Apply writes the two image tags and the script that slides them.
class frmLayer : public GeneratorDialog {
    Q_OBJECT
public:
    frmLayer();

protected:
    // Unloads and records the caret; nothing is inserted and the focus stays where it goes.
    void cancel() override;

private:
    void apply();
    void browse(QLineEdit* nameBox);

    QLineEdit* m_image1 = nullptr;  // Text1
    QLineEdit* m_image2 = nullptr;  // Text2
    QLineEdit* m_height1 = nullptr; // Text3
    QLineEdit* m_width1 = nullptr;  // Text4
    QLineEdit* m_height2 = nullptr; // Text5
    QLineEdit* m_width2 = nullptr;  // Text6
    QLineEdit* m_left = nullptr;    // Text7
    QLineEdit* m_top1 = nullptr;    // Text8
    QLineEdit* m_top2 = nullptr;    // Text9
};
