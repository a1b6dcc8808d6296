#pragma once

#include "document/GeneratorDialog.h"
#include "formatting/FormatDialogs.h"

#include <span>
#include <vector>

class QPlainTextEdit;
class QRadioButton;

// frmHeading and frmStyle: a group of options, each naming a tag pair, and a box for text to
// wrap; Apply wraps the typed text and the document's selection in the chosen pair.
class TagChoiceDialog : public GeneratorDialog {
    Q_OBJECT
public:
    struct Layout {
        const char* name;
        const char* caption;
        std::span<const formatdialogs::TagChoice> choices;
        const char* prompt; // the label above Text1
        formatdialogs::TypedText typed;
    };
    static const Layout heading;
    static const Layout style;

    explicit TagChoiceDialog(const Layout& layout);

private:
    void apply();

    const Layout& m_layout;
    std::vector<QRadioButton*> m_options;
    QPlainTextEdit* m_text = nullptr;
};
