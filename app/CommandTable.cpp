#include "app/CommandTable.h"



namespace commands {

namespace {

constexpr MenuEntry menuEntries[] = {
    {"mnuFile", "&File", nullptr, 0},
    {"mnuFileNew", "&New", "Ctrl+N", 1},
    {"mnuFileOpen", "&Open", "Ctrl+O", 1},
    {"mnuFileBar1", "-", nullptr, 1},
    {"mnuFileSave", "&Save", "Ctrl+S", 1},
    {"mnuFileSaveAs", "Save &As...", "Ctrl+A", 1},
    {"mnuSaveEdit", "Save For Editing", "Ctrl+E", 1},
    {"mnuFileBar2", "-", nullptr, 1},
    {"mnuFilePageSetup", "Page Set&up...", nullptr, 1},
    {"mnuFilePrint", "&Print...", "Ctrl+P", 1},
    {"mnuFileBar4", "-", nullptr, 1},
    {"mnuFileClose", "&Close", "Ctrl+W", 1},
    {"mnuFileExit", "E&xit", "Ctrl+Q", 1},

    {"mnuEdit", "&Edit", nullptr, 0},
    {"mnuEditUndo", "&Undo", "Ctrl+Z", 1},
    {"mnuRedo", "&Redo", "Ctrl+R", 1},
    {"mnuEditBar1", "-", nullptr, 1},
    {"mnuEditCut", "Cu&t", "Ctrl+X", 1},
    {"mnuEditCopy", "&Copy", "Ctrl+C", 1},
    {"mnuEditPaste", "&Paste", "Ctrl+V", 1},
    {"filMnuItems", "&Menu Items", nullptr, 1},
    {"mnuEditBar2", "-", nullptr, 1},
    {"mnuEditFind", "&Find...", "Ctrl+F", 1},
    {"mnuEditFindNext", "Find &Next", "Ctrl+G", 1},
    {"mnuEditFindPrevious", "Find Pre&vious", "Shift+Ctrl+G", 1},
    {"mnuEditReplace", "R&eplace...", "Ctrl+H", 1},
    {"mnuEditGoToLine", "&Go to Line...", "Ctrl+L", 1},
    {"mnuEditSelectAll", "Select A&ll", "Shift+Ctrl+A", 1},

    {"mnuView", "&View", nullptr, 0},
    {"mnuViewToolbar", "&Toolbar", "Ctrl+T", 1},
    {"mnuViewStatusBar", "Status &Bar", "Ctrl+B", 1},
    {"mnuViewBar1", "-", nullptr, 1},
    {"mnuViewLineNumbers", "Line &Numbers", nullptr, 1},
    {"mnuViewBar2", "-", nullptr, 1},
    {"mnuViewCheckMarkup", "Check &Markup", "F12", 1},
    {"mnuViewLivePreview", "&Live Preview", "Shift+F12", 1},
    {"mnuViewPreviewRemote", "Allow &remote content in the preview", nullptr, 1},
    {"mnuViewPreviewFollowsCaret", "Preview &Follows Caret", nullptr, 1},

    {"mnuFormat", "&Format", nullptr, 0},
    {"mnuFormatFont", "&Font", nullptr, 1},
    {"mnuFormatFontSize", "Font &Size", "F1", 2},
    {"mnuFormatFontColor", "Font &Color", "F2", 2},
    {"mnuFS", "Font S&tyle", nullptr, 2},
    {"mnuFSBold", "&Bold", "F3", 3},
    {"mnuFSItalic", "&Italic", "F4", 3},
    {"mnuFSUline", "&Underline", "F5", 3},
    {"mnuFSSThru", "&StrikeThrough", "F6", 3},
    {"mnuFSSuper", "Su&perscript", "F7", 3},
    {"mnuFSSub", "Su&bscript", "F8", 3},
    {"mnuFSTeletype", "&Teletype", "F9", 3},
    {"mnuFormatFrames", "F&rames", "F11", 1},
    {"mnuFormatHeadings", "&Headings", nullptr, 1},
    {"mnuFrmtHdingH1", "H&1", "Shift+F1", 2},
    {"mnuFrmtHdingH2", "H&2", "Shift+F2", 2},
    {"mnuFrmtHdingH3", "H&3", "Shift+F3", 2},
    {"mnuFrmtHdingH4", "H&4", "Shift+F4", 2},
    {"mnuFrmtHdingH5", "H&5", "Shift+F5", 2},
    {"mnuFrmtHdingH6", "H&6", "Shift+F6", 2},
    {"mnuFormatJmpTrg", "&Jumps and Targets", nullptr, 1},
    {"mnuFormatTarget", "&Target", "Shift+F7", 2},
    {"mnuFormatJump", "&Jump", "Shift+F8", 2},
    {"mnuFPara", "&Paragraph", "Shift+F9", 1},

    {"mnuEff", "&Effects", nullptr, 0},
    {"mnuEffDynAni", "Dynamic Animation", "Ctrl+F1", 1},
    {"mnuEffDate", "&Date Time", "Ctrl+F2", 1},
    {"mnuEffGradHR", "Gradient Horizontal Rule", "Ctrl+F3", 1},
    {"mnuEffMod", "L&ast Modified", "Ctrl+F4", 1},
    {"mnuEffLayer", "&Layer Images", "Ctrl+F5", 1},
    {"mnuEffBGColor", "Random BG Color", "Ctrl+F6", 1},
    {"mnuEffScrolly", "&Scrolly", "Ctrl+F7", 1},
    {"mnuEffMarq", "&Marquee", "Ctrl+F8", 1},
    {"mnuEffShad", "S&hadow", "Ctrl+F9", 1},
    {"mnuEffBTV", "&BackTrack View", "Ctrl+F11", 1},

    {"mnuIns", "&Insert", nullptr, 0},
    {"mnuInsList", "&Bulleted List", "Shift+Ctrl+F1", 1},
    {"mnuInsButton", "&Command Button", "Shift+Ctrl+F2", 1},
    {"mnuInsMail", "&E-Mail Link", "Shift+Ctrl+F3", 1},
    {"mnuInsHyper", "&Hyperlink", "Shift+Ctrl+F4", 1},
    {"mnuInsIMg", "&Image", "Shift+Ctrl+F5", 1},
    {"mnuInsSnd", "&Sound", "Shift+Ctrl+F6", 1},
    {"mnuInsTable", "&Table", "Shift+Ctrl+F7", 1},

    {"mnuWindow", "&Window", nullptr, 0},
    {"mnuWindowNewWindow", "&New Window", "Shift+Ctrl+F8", 1},
    {"mnuWindowBar1", "-", nullptr, 1},
    {"mnuWindowCascade", "&Cascade", "Shift+Ctrl+F9", 1},
    {"mnuWindowTileHorizontal", "Tile &Horizontal", "Shift+Ctrl+F11", 1},
    {"mnuWindowTileVertical", "Tile &Vertical", "Shift+Ctrl+F12", 1},

    {"mnuHelp", "&Help", nullptr, 0},
    {"mnuHelpContents", "&Contents", "Ctrl+Ins", 1},
    {"mnuHelpBar1", "-", nullptr, 1},
    {"mnuHelpAbout", "&About Halvane...", "Shift+Ins", 1},
};

constexpr ToolButton toolButtons[] = {
    {"FB1", "Open", 1, 0, 510, "Open An existing Text or HTML file"},
    {"FB2", "Save", 1, 520, 510, "Save the active Document"},
    {"FB3", "New", 1, 1050, 450, "Start a new HTML Document"},
    {"FB4", "Cut", 1, 1600, 360, "Cut the selected text to the Clipboard"},
    {"FB5", "Copy", 1, 1980, 480, "Copy the selected text to the Clipboard"},
    {"FB6", "Paste", 1, 2470, 540, "Paste text from the Clipboard to the current cursor location"},
    {"FB7", "Format", 1, 3060, 600, "Page formatting tools"},
    {"FB8", "Java", 2, 5760, 480, "Assorted Java scripts"},
    {"FB9", "List ", 1, 3735, 420, "Bulleted lists"},
    {"FB10", "Center", 1, 4240, 600, "Center selected text"},
    {"FB11", "Links & Images", 1, 4910, 1200, "Hyperlinks, Images & more"},
    {"FB12", "Marquees & Sounds", 1, 6140, 1560, "Marquees For IE & Background sounds"},
    {"FB13", "Table", 1, 7740, 540, "Place a table on the document"},
    {"FB14", "Break", 1, 8300, 540, "Insert a hard line break"},
    {"FB15", "Horiz Rule", 2, 600, 870, "Place a Horizontal Rule on the page"},
    {"FB16", "Command Button", 2, 1560, 1350, "Place a Command Button on the page"},
    {"FB17", "Jumps & Targets", 2, 3000, 1290, "Insert a Jump or a Jump Target"},
    {"FB18", "WebBot Search", 2, 4440, 1260, "Insert a WebBot Search"},
    {"FB19", "VB Script", 2, 6360, 780, "Assorted VB Scripts"},
    {"FB20", "Dynamic HTML", 2, 7200, 1230, "Assorted Dynamic HTML functions"},
    {"FB23", "View", 2, 0, 480, "View Page in default Browser"},
};

} // namespace

std::span<const MenuEntry> menuTree() { return menuEntries; }
std::span<const ToolButton> toolbar() { return toolButtons; }

} // namespace commands
