#include "app/CommandHandlers.h"

#include "app/EditCommands.h"
#include "app/FileCommands.h"
#include "app/FindingsInPage.h"
#include "app/OpenPages.h"
#include "app/Preview.h"
#include "app/frmMain.h"
#include "document/Forms.h"
#include "document/Inserter.h"
#include "document/Workspace.h"
#include "document/frmDocument.h"
#include "effects/DhtmlEffects.h"
#include "effects/VBScripts.h"
#include "editing/EditingCommands.h"
#include "editing/Finder.h"
#include "editing/PageDisplay.h"
#include "editing/WritingAids.h"
#include "formatting/FormattingForms.h"
#include "formatting/TagCommands.h"
#include "platform/HelpViewer.h"
#include "insert/WebBotSearch.h"
#include "platform/Prompts.h"
#include "spelling/PageSpelling.h"
#include "review/ReviewCommands.h"
#include "review/MarkupPanel.h"
#include "site/SiteCommands.h"

#include <QFileInfo>
#include <QMetaObject>
#include <array>
#include <vector>

namespace commands {

namespace {

Handler showForm(const char* form)
{
    return [form](frmMain&) { Forms::show(QString::fromLatin1(form)); };
}

Handler showModalForm(const char* form)
{
    return [form](frmMain&) { Forms::showModal(QString::fromLatin1(form)); };
}

Handler insert(Steps steps)
{
    return [steps = std::move(steps)](frmMain&) { inserter::run(steps); };
}

// Reaches a public operation of the active document by its name.
Handler callOnActiveDocument(const char* operation)
{
    return [operation](frmMain&) {
        if (frmDocument* doc = workspace::activeDocument())
            QMetaObject::invokeMethod(doc, operation);
    };
}

// A toolbar button that first enables the whole toolbar, then runs a menu command.
Handler enableThen(const char* menuItem)
{
    return [menuItem](frmMain& m) {
        m.enableToolbar();
        m.runCommand(QString::fromLatin1(menuItem));
    };
}

Handler same(const char* menuItem)
{
    return [menuItem](frmMain& m) { m.runCommand(QString::fromLatin1(menuItem)); };
}

Handler message(const char* text)
{
    return [text](frmMain& m) { platform::showMessage(&m, QString::fromLatin1(text)); };
}

Handler arrange(editing::Arrangement how)
{
    return [how](frmMain& m) { editing::arrange(m.mdiArea(), how); };
}

// Every command has its handler now; a command added to the menus before its behaviour is
// built goes here, so that it exists and does nothing until then.
constexpr std::array<const char*, 0> pending{};

std::vector<HandlerEntry> build()
{
    std::vector<HandlerEntry> h{
        {"mnuFileNew", [](frmMain& m) { m.newPage(); }},
        {"mnuFileOpen", files::open},
        {"mnuFileSave", files::save},
        {"mnuFileSaveAs", files::saveAs},
        {"mnuSaveEdit", files::saveForEditing},
        {"mnuFilePageSetup", [](frmMain& m) { platform::prompts().pageSetup(&m); }},
        {"mnuFilePrint", message("Print Code goes here!")},
        {"mnuFileClose",
         [](frmMain& m) {
             if (frmDocument* doc = m.activeDocument())
                 doc->parentWidget()->close(); // its frame, which asks first
         }},
        {"mnuFileExit", [](frmMain& m) { m.close(); }},
        {"mnuFileOpenFolder", [](frmMain&) { site::openFolder(); }},
        {"mnuEditUndo", callOnActiveDocument("cmdUndo_Click")},
        {"mnuRedo", callOnActiveDocument("cmdRedo_Click")},
        {"mnuEditCut", [](frmMain&) { editing::cut(); }},
        {"mnuEditCopy", [](frmMain&) { editing::copy(); }},
        {"mnuEditPaste", [](frmMain&) { editing::paste(); }},
        {"filMnuItems", showForm("mnu1")},
        {"mnuEditFind", [](frmMain&) { editing::showFind(); }},
        {"mnuEditFindNext", [](frmMain&) { editing::findNext(); }},
        {"mnuEditFindPrevious", [](frmMain&) { editing::findPrevious(); }},
        {"mnuEditReplace", [](frmMain&) { editing::showReplace(); }},
        {"mnuEditGoToLine", [](frmMain&) { editing::showGoToLine(); }},
        {"mnuEditSelectAll", [](frmMain&) { editing::selectAll(); }},
        {"mnuEditGoToMatchingTag", [](frmMain&) { editing::goToMatchingTagCommand(); }},
        {"mnuEditSelectElement", [](frmMain&) { editing::selectElementCommand(); }},
        {"mnuEditNextFinding", [](frmMain&) { findings::goToNext(); }},
        {"mnuEditPreviousFinding", [](frmMain&) { findings::goToPrevious(); }},
        {"mnuEditCloseTags", [](frmMain&) { editing::toggleCloseTags(); }},
        {"mnuEditSuggest", [](frmMain&) { editing::toggleSuggest(); }},
        {"mnuEditKeepIndent", [](frmMain&) { editing::toggleKeepIndent(); }},
        {"mnuEditInsertImageSize", [](frmMain&) { editing::insertImageSizeCommand(); }},
        {"mnuEditNextMisspelling", [](frmMain&) { spelling::nextMisspellingCommand(); }},
        {"mnuEditPreviousMisspelling", [](frmMain&) { spelling::previousMisspellingCommand(); }},
        {"mnuEditFindInFiles", [](frmMain&) { site::findInFiles(); }},
        {"mnuEditCheckSite", [](frmMain&) { site::checkSite(); }},
        {"mnuViewToolbar", [](frmMain& m) { m.keepToolbarChecked(); }},
        {"mnuViewStatusBar", [](frmMain& m) { m.toggleStatusBar(); }},
        {"mnuViewLineNumbers", [](frmMain&) { editing::toggleLineNumbers(); }},
        {"mnuViewCheckMarkup", [](frmMain&) { review::runMarkupCheck(); }},
        {"mnuViewLivePreview", [](frmMain&) { review::toggleLivePreview(); }},
        {"mnuViewPreviewRemote", [](frmMain&) { review::toggleRemoteContent(); }},
        {"mnuViewPreviewFollowsCaret", [](frmMain& m) { preview::toggleFollowsCaret(m); }},
        {"mnuViewColourMarkup", [](frmMain&) { editing::toggleColourMarkup(); }},
        {"mnuViewCaretLine", [](frmMain&) { editing::toggleCaretLine(); }},
        {"mnuViewFixedWidthFont", [](frmMain&) { editing::toggleFixedWidth(); }},
        {"mnuViewZoomIn", [](frmMain&) { editing::zoomIn(); }},
        {"mnuViewZoomOut", [](frmMain&) { editing::zoomOut(); }},
        {"mnuViewActualSize", [](frmMain&) { editing::actualSize(); }},
        {"mnuViewCheckSpelling", [](frmMain&) { spelling::toggleSpelling(); }},
        {"mnuViewSite", [](frmMain&) { site::toggleSitePanel(); }},
        {"mnuFormatFontSize", showForm("frmFontSize")},
        {"mnuFormatFontColor", showForm("frmFColor")},
        {"mnuFormatFrames", showForm("frmFrame")},
        {"mnuFormatTarget", showForm("frmTarget")},
        {"mnuFormatJump", showForm("frmJump")},
        {"mnuFPara", insert(tags::paragraph())},
        {"mnuEffDynAni", showForm("frmDynAnim")},
        {"mnuEffDate", insert(vbscripts::snippet(vbscripts::Snippet::Welcome, effects::Producer::Menu))},
        {"mnuEffGradHR", insert(dhtml::gradientRule(effects::Producer::Menu))},
        {"mnuEffMod", insert(vbscripts::snippet(vbscripts::Snippet::LastModified, effects::Producer::Menu))},
        {"mnuEffLayer", showForm("frmLayer")},
        {"mnuEffBGColor",
         insert(vbscripts::snippet(vbscripts::Snippet::RandomBackground, effects::Producer::Menu))},
        {"mnuEffScrolly", showForm("frmScrolly")},
        {"mnuEffMarq", showForm("frmMarquee")},
        {"mnuEffShad", showForm("frmShadow")},
        {"mnuEffBTV", showForm("frmBTV")},
        {"mnuInsList", showForm("frmItem")},
        {"mnuInsButton", showForm("frmButton")},
        {"mnuInsMail", showForm("frmMail")},
        {"mnuInsHyper", showForm("frmLink")},
        {"mnuInsIMg", showForm("frmImg")},
        {"mnuInsSnd", showForm("sound")},
        {"mnuInsTable", showForm("frmTable")},
        {"mnuWindowNewWindow", message("New Window Code goes here!")},
        {"mnuWindowCascade", arrange(editing::Arrangement::Cascade)},
        {"mnuWindowTileHorizontal", arrange(editing::Arrangement::TileHorizontal)},
        {"mnuWindowTileVertical", arrange(editing::Arrangement::TileVertical)},
        {"mnuHelpContents",
         [](frmMain& m) {
             platform::showHelp(&m, QStringLiteral("Halvane.hlp"), platform::helpContents);
         }},
        {"mnuHelpAbout", showModalForm("frmAbout")},

        {"FB1", enableThen("mnuFileOpen")},
        {"FB2", same("mnuFileSave")},
        {"FB3", enableThen("mnuFileNew")},
        {"FB4", same("mnuEditCut")},
        {"FB5", same("mnuEditCopy")},
        {"FB6", same("mnuEditPaste")},
        {"FB7", [](frmMain&) { formatting::openFormatPalette(); }},
        {"FB8", showForm("frmJava")},
        {"FB9", showForm("frmItem")},
        {"FB10", insert(tags::centreWrap())},
        {"FB11", showForm("frmLnkImg")},
        {"FB12", showForm("frmMrqSnd")},
        {"FB13", showForm("frmTable")},
        {"FB14", insert(tags::singleTag(tags::lineBreakTag))},
        {"FB15", insert(tags::singleTag(tags::horizontalRuleTag))},
        {"FB16", showForm("frmButton")},
        {"FB17", showForm("frmTrgLnk")},
        {"FB18", insert(webbot::searchForm())},
        {"FB19", showForm("frmVBS")},
        {"FB20", showForm("frmDyn")},
        {"FB23", [](frmMain& m) { preview::showInBrowser(m); }},
    };
    for (const tags::WrapCommand& w : tags::menuWraps)
        h.push_back({w.menuItem, insert(tags::menuWrap(w))});
    for (const char* name : pending)
        h.push_back({name, Handler()});
    return h;
}

} // namespace

std::span<const HandlerEntry> handlers()
{
    static const std::vector<HandlerEntry> table = build();
    return table;
}

std::span<const char* const> pendingCommands() { return pending; }

void installSiteCommands(frmMain& main)
{
    const auto pages = [&main] { return main.findChildren<frmDocument*>(); };
    site::Hooks hooks;
    hooks.open = [&main](const QString& path) -> frmDocument* {
        QString reason;
        if (!files::openPage(main, path, &reason)) {
            files::reportOpenFailure(&main, path, reason);
            return nullptr;
        }
        return main.activeDocument();
    };
    hooks.openPages = pages;
    hooks.activePage = [&main] {
        frmDocument* doc = main.activeDocument();
        return doc ? doc->windowTitle() : QString();
    };
    hooks.accessibility = [] {
        review::MarkupPanel* panel = review::markupPanel();
        return panel ? panel->accessibilityLevel() : 0;
    };
    site::install(&main, std::move(hooks), main.action(QStringLiteral("mnuViewSite")));
}

} // namespace commands
