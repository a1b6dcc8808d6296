#pragma once

#include "document/Steps.h"

#include <array>

// The one-click formatting commands: tag pairs around the selection, or a single tag at the
// caret. Each command is a record; the functions turn a record into the steps it inserts.
namespace tags {

struct WrapCommand {
    const char* menuItem;
    const char* opening;
    const char* closing;
};

// The headings and font styles of the Format menu, all wrapped the same way in red.
inline constexpr std::array<WrapCommand, 13> menuWraps{{
    {"mnuFrmtHdingH1", "<H1>", "</H1>"},
    {"mnuFrmtHdingH2", "<H2>", "</H2>"},
    {"mnuFrmtHdingH3", "<H3>", "</H3>"},
    {"mnuFrmtHdingH4", "<H4>", "</H4>"},
    {"mnuFrmtHdingH5", "<H5>", "</H5>"},
    {"mnuFrmtHdingH6", "<H6>", "</H6>"},
    {"mnuFSBold", "<STRONG>", "</STRONG>"},
    {"mnuFSItalic", "<I>", "</I>"},
    {"mnuFSUline", "<U>", "</U>"},
    {"mnuFSSThru", "<STRIKE>", "</STRIKE>"},
    {"mnuFSSuper", "<SUP>", "</SUP>"},
    {"mnuFSSub", "<SUB>", "</SUB>"},
    {"mnuFSTeletype", "<TT>", "</TT>"},
}};

// Focus, capture the selection, opening tag in red, the selection in black, closing tag in
// red, black again, Enter, record the caret.
Steps menuWrap(const WrapCommand& command);

// The Center button: as a menu wrap, but the editor is focused only before the Enter and
// the colour stays red.
Steps centreWrap();

// The Break and Horiz Rule buttons: the tag in blue replaces the selection.
Steps singleTag(const QString& tag);
inline const QString lineBreakTag = QStringLiteral("<BR>");
inline const QString horizontalRuleTag = QStringLiteral("<HR><BR>");

// Format > Paragraph: "<P>" in olive replaces the selection; no closing tag.
Steps paragraph();

} // namespace tags
