#pragma once
// The attribute table: every attribute the document model knows, by id, spelled as written.

#include <string_view>

#include "WideText.h"

namespace zv {

class TNameTable;

using THtmlAttrId = int;

constexpr THtmlAttrId attrUnknown = -1;
constexpr int HtmlAttrCount = 182;

// Ids of the table's attributes.
enum : THtmlAttrId {
    attrAbbr = 0, attrAccept = 1, attrAcceptCharset = 2, attrAccesskey = 3, attrAction = 4,
    attrAlign = 5, attrAlink = 6, attrAlt = 7, attrArchive = 8, attrAutostart = 9, attrAxis = 10,
    attrBackground = 11, attrBehavior = 12, attrBgcolor = 13, attrBorder = 14,
    attrBottommargin = 15, attrCellpadding = 16, attrCellspacing = 17, attrChar = 18,
    attrCharoff = 19, attrCharset = 20, attrChecked = 21, attrCite = 22, attrClass = 23,
    attrClassid = 24, attrClear = 25, attrCode = 26, attrCodebase = 27, attrCodetype = 28,
    attrColor = 29, attrCols = 30, attrColspan = 31, attrCompact = 32, attrContent = 33,
    attrContentEditable = 34, attrCoords = 35, attrData = 36, attrDatetime = 37, attrDeclare = 38,
    attrDefer = 39, attrDir = 40, attrDirection = 41, attrDisabled = 42, attrEnctype = 43,
    attrFace = 44, attrFor = 45, attrFrame = 46, attrFrameborder = 47, attrHeaders = 48,
    attrHeight = 49, attrHref = 50, attrHreflang = 51, attrHspace = 52, attrHttpEquiv = 53,
    attrId = 54, attrIsmap = 55, attrLabel = 56, attrLang = 57, attrLanguage = 58,
    attrLeftmargin = 59, attrLink = 60, attrLongdesc = 61, attrLoop = 62, attrMarginheight = 63,
    attrMarginwidth = 64, attrMaxlength = 65, attrMedia = 66, attrMethod = 67, attrMultiple = 68,
    attrName = 69, attrNohref = 70, attrNoresize = 71, attrNoshade = 72, attrNowrap = 73,
    attrObject = 74, attrOnActivate = 75, attrOnAfterUpdate = 76, attrOnBeforeActivate = 77,
    attrOnBeforeCopy = 78, attrOnBeforeCut = 79, attrOnBeforeDeactivate = 80,
    attrOnBeforeEditFocus = 81, attrOnBeforePaste = 82, attrOnBeforeUpdate = 83, attrOnBlur = 84,
    attrOnCellChange = 85, attrOnChange = 86, attrOnClick = 87, attrOnContextMenu = 88,
    attrOnControlSelect = 89, attrOnCopy = 90, attrOnCut = 91, attrOnDataAvailable = 92,
    attrOnDataSetChanged = 93, attrOnDataSetComplete = 94, attrOnDblClick = 95,
    attrOnDeactivate = 96, attrOnDrag = 97, attrOnDragEnd = 98, attrOnDragEnter = 99,
    attrOnDragLeave = 100, attrOnDragOver = 101, attrOnDragStart = 102, attrOnDrop = 103,
    attrOnErrorUpdate = 104, attrOnFilterChange = 105, attrOnFocus = 106, attrOnFocusIn = 107,
    attrOnFocusOut = 108, attrOnHelp = 109, attrOnKeyDown = 110, attrOnKeyPress = 111,
    attrOnKeyUp = 112, attrOnLayoutComplete = 113, attrOnLoad = 114, attrOnLoseCapture = 115,
    attrOnMouseDown = 116, attrOnMouseEnter = 117, attrOnMouseLeave = 118, attrOnMouseMove = 119,
    attrOnMouseOut = 120, attrOnMouseOver = 121, attrOnMouseUp = 122, attrOnMouseWheel = 123,
    attrOnMove = 124, attrOnMoveEnd = 125, attrOnMoveStart = 126, attrOnPage = 127,
    attrOnPaste = 128, attrOnPropertyChange = 129, attrOnReadyStateChange = 130, attrOnReset = 131,
    attrOnResize = 132, attrOnResizeEnd = 133, attrOnResizeStart = 134, attrOnRowEnter = 135,
    attrOnRowExit = 136, attrOnRowsDelete = 137, attrOnRowsInserted = 138, attrOnScroll = 139,
    attrOnSelect = 140, attrOnSelectStart = 141, attrOnSubmit = 142, attrOnUnload = 143,
    attrProfile = 144, attrPrompt = 145, attrReadonly = 146, attrRel = 147, attrRev = 148,
    attrRightmargin = 149, attrRows = 150, attrRowspan = 151, attrRules = 152, attrScheme = 153,
    attrScope = 154, attrScrollamount = 155, attrScrolldelay = 156, attrScrolling = 157,
    attrSelected = 158, attrShape = 159, attrSize = 160, attrSpan = 161, attrSrc = 162,
    attrStandby = 163, attrStart = 164, attrStyle = 165, attrSummary = 166, attrTabindex = 167,
    attrTarget = 168, attrText = 169, attrTitle = 170, attrTopmargin = 171, attrType = 172,
    attrUsemap = 173, attrValign = 174, attrValue = 175, attrValuetype = 176, attrVersion = 177,
    attrVlink = 178, attrVspace = 179, attrWidth = 180, attrWrap = 181,
};

// The attribute's id, or -1. Matching ignores ASCII letter case only; a name with characters
// outside ASCII is never found.
// The attributes' names (see TNameTable).
const TNameTable& AttrNameTable();
THtmlAttrId AttrIdFromName(std::string_view Name);
THtmlAttrId AttrIdFromName(WideStringView Name);

// The table spelling for 0..181 (lower case, event handlers and "contentEditable" in mixed
// case); empty for any other id.
std::string_view AttrNameFromId(THtmlAttrId Id);

// The attributes that stand bare, without a value ("checked"), stored as the marker "TRUE".
bool IsBooleanAttribute(THtmlAttrId Id);

}  // namespace zv
