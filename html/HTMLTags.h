#pragma once
// The tag table: every tag the document model knows, its id, its spelling and the flags that
// the parser and the writer act on.

#include <string_view>

#include "WideText.h"

namespace zv {

class TNameTable;

using THtmlTagId = int;

// Ids of nodes that are not elements of the table.
constexpr THtmlTagId tagUnknown = -1;
constexpr THtmlTagId tagComment = -2;
constexpr THtmlTagId tagPhp = -3;
constexpr THtmlTagId tagAsp = -4;
constexpr THtmlTagId tagText = -5;
constexpr THtmlTagId tagRoot = -6;
constexpr THtmlTagId tagPlaceholder = -7;
// The content of a script or style element as it was written, kept verbatim (a THtmlText):
// never parsed as markup, and written back unchanged.
constexpr THtmlTagId tagRawText = -8;

// A closing tag has the id of its name plus this offset (999 when the name is unknown).
constexpr THtmlTagId tagClosingOffset = 1000;

constexpr int HtmlTagCount = 95;

// Ids of the table's tags.
enum : THtmlTagId {
    tagDocType = 0, tagA = 1, tagAbbr = 2, tagAcronym = 3, tagAddress = 4, tagApplet = 5,
    tagArea = 6, tagB = 7, tagBase = 8, tagBaseFont = 9, tagBdo = 10, tagBgSound = 11, tagBig = 12,
    tagBlockquote = 13, tagBody = 14, tagBr = 15, tagButton = 16, tagCaption = 17, tagCenter = 18,
    tagCite = 19, tagCode = 20, tagCol = 21, tagColGroup = 22, tagDd = 23, tagDel = 24, tagDfn = 25,
    tagDir = 26, tagDiv = 27, tagDl = 28, tagDt = 29, tagEm = 30, tagEmbed = 31, tagFieldSet = 32,
    tagFont = 33, tagForm = 34, tagFrame = 35, tagFrameSet = 36, tagH1 = 37, tagH2 = 38, tagH3 = 39,
    tagH4 = 40, tagH5 = 41, tagH6 = 42, tagHead = 43, tagHr = 44, tagHtml = 45, tagI = 46,
    tagIFrame = 47, tagImg = 48, tagInput = 49, tagIns = 50, tagIsIndex = 51, tagKbd = 52,
    tagLabel = 53, tagLegend = 54, tagLi = 55, tagLink = 56, tagMap = 57, tagMarquee = 58,
    tagMenu = 59, tagMeta = 60, tagNoFrames = 61, tagNoScript = 62, tagObject = 63, tagOl = 64,
    tagOptGroup = 65, tagOption = 66, tagP = 67, tagParam = 68, tagPre = 69, tagQ = 70, tagS = 71,
    tagSamp = 72, tagScript = 73, tagSelect = 74, tagSmall = 75, tagSpan = 76, tagStrike = 77,
    tagStrong = 78, tagStyle = 79, tagSub = 80, tagSup = 81, tagTable = 82, tagTBody = 83,
    tagTd = 84, tagTextArea = 85, tagTFoot = 86, tagTh = 87, tagTHead = 88, tagTitle = 89,
    tagTr = 90, tagTt = 91, tagU = 92, tagUl = 93, tagVar = 94,
};

// The tag's id: a name beginning with "/" gives the id of the rest plus 1000; an unknown name
// gives -1 (an unknown closing name 999). Matching ignores ASCII letter case only; a name with
// characters outside ASCII is never found.
// The tags' names, for a reader that packs names as it reads them (see TNameTable).
const TNameTable& TagNameTable();
THtmlTagId TagIdFromName(std::string_view Name);
THtmlTagId TagIdFromName(WideStringView Name);

// The table spelling for 0..94, a bracketed pseudo name for -2..-7, "<UNKNOWN>" otherwise.
std::string_view TagNameFromId(THtmlTagId Id);

// The flags of a table tag; false for every other id.
bool TagIsContainer(THtmlTagId Id);
bool TagCanHoldText(THtmlTagId Id);
bool TagIsInline(THtmlTagId Id);
bool TagIndentsChildren(THtmlTagId Id);

// Elements that show something of their own without holding text (pictures, form controls,
// embedded objects and frames): a blank after one is not folded into a blank before it.
bool TagShowsContent(THtmlTagId Id);
// Not inline by the table, but shown by browsers in the line of the text around it (or not
// at all, as script and style): a blank between it and that text shows.
bool TagRunsInline(THtmlTagId Id);

}  // namespace zv
