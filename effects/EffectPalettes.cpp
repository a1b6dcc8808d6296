#include "effects/EffectPalettes.h"

#include "document/Forms.h"
#include "effects/DhtmlEffects.h"
#include "effects/VBScripts.h"

#include <QPushButton>
#include <QVBoxLayout>

EffectPalette::EffectPalette(const QString& name, const QString& caption)
    : GeneratorDialog(name, caption)
{
}

frmVBS::frmVBS() : EffectPalette(QStringLiteral("frmVBS"), QStringLiteral("VB Scripts"))
{
    using vbscripts::Snippet;
    auto write = [this](Snippet s) {
        return [this, s] { run(vbscripts::snippet(s, effects::Producer::Palette)); };
    };
    addButtons({
        {"FB1", "Date && Time", "Place a welcome based on date and time", write(Snippet::Welcome)},
        {"FB2", "Last Modified", "Show document last modified info.", write(Snippet::LastModified)},
        {"FB3", "Random BG Color", "Generate random background colors with each load of the page",
         write(Snippet::RandomBackground)},
        {"FB4", "Cancel", nullptr, [this] { cancel(); }},
    });
}

frmJava::frmJava() : EffectPalette(QStringLiteral("frmJava"), QStringLiteral("Java"))
{
    addButtons({
        {"FB1", "BackTrack View", nullptr, [this] { unloadThenShow("frmBTV"); }},
        {"ARFlatBttn1", "StatusBar Scrolly", nullptr, [this] { unloadThenShow("frmScrolly"); }},
        {"FB3", "Layer Images", nullptr, [this] { unloadThenShow("frmLayer"); }},
        {"FB2", "Cancel", nullptr, [this] { cancel(); }},
    });
}

frmDyn::frmDyn() : EffectPalette(QStringLiteral("frmDyn"), QStringLiteral("Dynamic HTML"))
{
    addButtons({
        {"FB1", "Shadowed Heading", nullptr, [this] { showThenUnload("frmShadow"); }},
        {"FB2", "Gradient HR", nullptr,
         [this] { run(dhtml::gradientRule(effects::Producer::Palette)); }},
        {"FB4", "Dynamic Animation", nullptr, [this] { unloadThenShow("frmDynAnim"); }},
        {"FB5", "Page Load", nullptr, [this] { unloadThenShow("frmLoader"); }},
        {"FB3", "Cancel", nullptr, [this] { cancel(); }},
    });
}
