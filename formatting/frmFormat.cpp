#include "formatting/frmFormat.h"

#include "document/Forms.h"
#include "formatting/FormatDialogs.h"

#include <QPushButton>
#include <QVBoxLayout>

frmFormat::frmFormat() : GeneratorDialog(QStringLiteral("frmFormat"), QStringLiteral("Format"))
{
    struct Entry {
        const char* name;
        const char* caption;
        std::function<void()> action;
    };
    const Entry entries[] = {
        {"FB1", "Headings", [this] { showThenUnload(QStringLiteral("frmHeading")); }},
        {"FB2", "Font Style", [this] { showThenUnload(QStringLiteral("frmStyle")); }},
        {"FB3", "Paragraph", [this] { run(formatdialogs::paletteParagraph()); }},
        {"FB5", "FontSize", [this] { unloadThenShow(QStringLiteral("frmFontSize")); }},
        {"FB6", "Font Color", [this] { unloadThenShow(QStringLiteral("frmFColor")); }},
        {"FB7", "Frames", [this] { unloadThenShow(QStringLiteral("frmFrame")); }},
        {"FB4", "Cancel", [this] { cancel(); }},
    };
    auto* column = new QVBoxLayout(this);
    column->setSpacing(4);
    for (const Entry& e : entries) {
        QPushButton* b = makeButton(QLatin1String(e.name), QLatin1String(e.caption));
        b->setMinimumWidth(110);
        connect(b, &QPushButton::clicked, this, e.action);
        appendInTabOrder(column, b);
    }
    column->setSizeConstraint(QLayout::SetFixedSize);
}



void frmFormat::cancel() { run(formatdialogs::paletteCancel()); }
