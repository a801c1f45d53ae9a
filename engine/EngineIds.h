#pragma once
// Numbers of the engine interface: editing command ids, command status flags and the units
// by which a markup pointer moves.

namespace zv {

// Editing commands (TWebBrowser::QueryStatus, TWebBrowser::Exec).
constexpr int IDM_COPY = 15;
constexpr int IDM_CUT = 16;
constexpr int IDM_FONTNAME = 18;
constexpr int IDM_FONTSIZE = 19;
constexpr int IDM_PASTE = 26;
constexpr int IDM_REDO = 29;
constexpr int IDM_UNDO = 43;
constexpr int IDM_BACKCOLOR = 51;
constexpr int IDM_BOLD = 52;
constexpr int IDM_FORECOLOR = 55;
constexpr int IDM_ITALIC = 56;
constexpr int IDM_JUSTIFYCENTER = 57;
constexpr int IDM_JUSTIFYLEFT = 59;
constexpr int IDM_JUSTIFYRIGHT = 60;
constexpr int IDM_UNDERLINE = 63;
constexpr int IDM_FIND = 67;
constexpr int IDM_HYPERLINK = 2124;
constexpr int IDM_UNLINK = 2125;
constexpr int IDM_ORDERLIST = 2184;
constexpr int IDM_UNORDERLIST = 2185;
constexpr int IDM_INDENT = 2186;
constexpr int IDM_OUTDENT = 2187;
constexpr int IDM_GETBLOCKFMTS = 2233;
constexpr int IDM_BLOCKFMT = 2234;
constexpr int IDM_EMPTYGLYPHTABLE = 2336;
constexpr int IDM_ADDTOGLYPHTABLE = 2337;

// Command status bits.
constexpr int OLECMDF_SUPPORTED = 1;
constexpr int OLECMDF_ENABLED = 2;
constexpr int OLECMDF_LATCHED = 4;

// Markup pointer moves (TMarkupPointer::MoveUnit).
constexpr int MOVEUNIT_PREVWORDBEGIN = 6;
constexpr int MOVEUNIT_NEXTWORDBEGIN = 7;
constexpr int MOVEUNIT_PREVWORDEND = 8;
constexpr int MOVEUNIT_NEXTWORDEND = 9;

}  // namespace zv
