#include "formatting/frmFormat.h"

#include "document/Forms.h"
#include "formatting/FormatDialogs.h"

#include <QPushButton>
#include <QVBoxLayout>

frmFormat::frmFormat() : GeneratorDialog(QStringLiteral("frmFormat"), QStringLiteral("Format"))
{
    addPaletteButtons(
        {
            {"FB1", "Headings", nullptr, [this] { showThenUnload(QStringLiteral("frmHeading")); }},
            {"FB2", "Font Style", nullptr, [this] { showThenUnload(QStringLiteral("frmStyle")); }},
            {"FB3", "Paragraph", nullptr, [this] { run(formatdialogs::paletteParagraph()); }},
            {"FB5", "FontSize", nullptr, [this] { unloadThenShow(QStringLiteral("frmFontSize")); }},
            {"FB6", "Font Color", nullptr, [this] { unloadThenShow(QStringLiteral("frmFColor")); }},
            {"FB7", "Frames", nullptr, [this] { unloadThenShow(QStringLiteral("frmFrame")); }},
            {"FB4", "Cancel", nullptr, [this] { cancel(); }},
        },
        110);
}

void frmFormat::cancel() { run(formatdialogs::paletteCancel()); }
