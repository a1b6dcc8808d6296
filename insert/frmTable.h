#pragma once

#include "document/GeneratorDialog.h"

class QLineEdit;
class UpDown;

// "Insert Table": row and column counts from two up-downs, the table's attributes and
// caption from text boxes; Apply writes the skeleton in grey.
class frmTable : public GeneratorDialog {
    Q_OBJECT
public:
    frmTable();

private:
    void apply();

    QLineEdit* m_rows = nullptr;
    QLineEdit* m_columns = nullptr;
    UpDown* m_rowCount = nullptr;    // VScroll2
    UpDown* m_columnCount = nullptr; // VScroll1
    QLineEdit* m_borderWidth = nullptr;
    QLineEdit* m_width = nullptr;
    QLineEdit* m_height = nullptr;
    QLineEdit* m_padding = nullptr;
    QLineEdit* m_spacing = nullptr;
    QLineEdit* m_caption = nullptr;
};
