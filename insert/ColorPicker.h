#pragma once

#include "document/GeneratorDialog.h"
#include "insert/PageColours.h"

#include <array>

class QLineEdit;
class QPlainTextEdit;
class QScrollBar;

// The page-colours dialog that follows File > New ("color"): twelve bars set the four page
// colours, previewed live; Apply writes the body tag into the new page.
class ColorPicker : public GeneratorDialog {
    Q_OBJECT
public:
    ColorPicker();

    pagecolours::Colours colours() const;

protected:
    // No Cancel button: Escape and the close box close the picker and write nothing.
    void cancel() override;

private:
    void apply();
    void barChanged(int bar);
    void updatePreview();

    std::array<QScrollBar*, 12> m_bars{};   // HS1..HS12
    std::array<QLineEdit*, 12> m_values{};  // Text5..Text16
    std::array<QPlainTextEdit*, 4> m_preview{}; // Text1..Text4
    QLineEdit* m_poText = nullptr;
};
