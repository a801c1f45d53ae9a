#include "HtmlAttrDataDHTML.h"

namespace zv {

namespace {

constexpr TInspectorRowData Row(const char* Attr, uint8_t Kind, bool Deprecated, const char* Description,
                                const char* PickList = "")
{
    return {Attr, Kind, Deprecated, Description, PickList};
}

constexpr TInspectorRowData Category(const char* Caption)
{
    return {nullptr, ikText, false, Caption, ""};
}

}  // namespace

const TInspectorRowData InspectorRows[InspectorRowCount] = {
    // 1 a
    Row("href", ikText, false, "hypertext reference"),
    Row("name", ikText, false, "named link destination"),
    Row("rel", ikPickList, false, "relationship to link",
        "Alternate,StyleSheet,Start,Next,Prev,Contents,Index,Glossary,Copyright,Chapter,Section,Subsection,Appendix,Help,Bookmark"),
    Row("rev", ikPickList, false, "relationship from link",
        "Alternate,StyleSheet,Start,Next,Prev,Contents,Index,Glossary,Copyright,Chapter,Section,Subsection,Appendix,Help,Bookmark"),
    Row("type", ikText, false, "content-type of link"),
    Row("target", ikPickList, true, "frame to render link in (Deprecated)",
        "_blank,_self,_parent,_top"),
    Row("hreflang", ikText, false, "language of link"),
    Row("charset", ikText, false, "character encoding of link"),
    Row("accesskey", ikText, false, "shortcut key"),
    Row("tabindex", ikText, false, "position in tabbing order"),
    Row("shape", ikPickList, false, "client-side image map",
        "rect,circle,poly,default"),
    Row("coords", ikText, false, "client-side image map"),
    Row("onFocus", ikText, false, "element received focus"),
    Row("onBlur", ikText, false, "element lost focus"),
    // 5 applet
    Row("code", ikText, true, "applet class file (Deprecated)"),
    Row("codebase", ikText, true, "base URI for code (Deprecated)"),
    Row("width", ikText, true, "initial width (Deprecated)"),
    Row("height", ikText, true, "initial height (Deprecated)"),
    Row("archive", ikText, true, "list of archive files (Deprecated)"),
    Row("object", ikText, true, "serialized applet file (Deprecated)"),
    Row("name", ikText, true, "name of the element (Deprecated)"),
    Row("alt", ikText, true, "alternate text (Deprecated)"),
    Row("align", ikPickList, true, "alignment (Deprecated)",
        "top,middle,bottom,left,right"),
    Row("hspace", ikText, true, "horizontal gutter (Deprecated)"),
    Row("vspace", ikText, true, "vertical gutter (Deprecated)"),
    // 6 area
    Row("shape", ikPickList, false, "client-side image map",
        "rect,circle,poly,default"),
    Row("coords", ikText, false, "client-side image map"),
    Row("href", ikText, false, "hypertext reference of the region"),
    Row("target", ikPickList, true, "frame to render link in (Deprecated)",
        "_blank,_self,_parent,_top"),
    Row("nohref", ikCheck, false, "region has no action"),
    Row("alt", ikText, false, "alternate text"),
    Row("tabindex", ikText, false, "position in tabbing order"),
    Row("onFocus", ikText, false, "element received focus"),
    Row("onBlur", ikText, false, "element lost focus"),
    // 8 base
    Row("href", ikText, false, "URI that acts as base URI"),
    Row("target", ikPickList, true, "frame to render link in (Deprecated)",
        "_blank,_self,_parent,_top"),
    // 9 basefont
    Row("size", ikText, true, "base font size (Deprecated)"),
    Row("color", ikColor, true, "text color (Deprecated)"),
    Row("face", ikText, true, "font face (Deprecated)"),
    Row("id", ikText, true, "document-wide unique id (Deprecated)"),
    // 10 bdo
    Row("dir", ikPickList, false, "direction of text",
        "ltr,rtl"),
    Row("lang", ikText, false, "language code"),
    // 11 bgsound
    Row("autostart", ikPickList, false, "start playing on load",
        "true,false"),
    Row("loop", ikPickList, false, "number of times to play",
        "NUMBER,infinite"),
    Row("src", ikText, false, "source URI"),
    // 13 blockquote
    Row("cite", ikText, false, "URI for source document or message"),
    // 14 body
    Row("background", ikText, true, "texture tile for document (Deprecated)"),
    Row("bgcolor", ikColor, true, "background color for document (Deprecated)"),
    Row("text", ikColor, true, "document text color (Deprecated)"),
    Row("link", ikColor, true, "color of links (Deprecated)"),
    Row("vlink", ikColor, true, "color of visited links (Deprecated)"),
    Row("alink", ikColor, true, "color of selected links (Deprecated)"),
    Row("onLoad", ikText, false, "document has been loaded"),
    Row("onUnload", ikText, false, "document has been removed"),
    // 15 br
    Row("clear", ikPickList, true, "control of text flow (Deprecated)",
        "left,all,right,none"),
    // 16 button
    Row("name", ikText, false, "name of the element"),
    Row("value", ikText, false, "value sent with the form"),
    Row("type", ikPickList, false, "use as form button",
        "submit,reset,button"),
    Row("disabled", ikCheck, false, "unavailable in this context"),
    Row("accesskey", ikText, false, "shortcut key"),
    Row("tabindex", ikText, false, "position in tabbing order"),
    Row("onFocus", ikText, false, "element received focus"),
    Row("onBlur", ikText, false, "element lost focus"),
    // 17 caption
    Row("align", ikPickList, true, "alignment (Deprecated)",
        "top,bottom,left,right"),
    // 21 col
    Row("span", ikText, false, "number of columns spanned"),
    Row("width", ikText, false, "width"),
    Row("align", ikPickList, false, "alignment",
        "left,center,right,justify,char"),
    Row("char", ikText, false, "alignment character"),
    Row("charoff", ikText, false, "offset for alignment character"),
    Row("valign", ikPickList, false, "vertical alignment of cell content",
        "top,middle,bottom,baseline"),
    // 24 del
    Row("cite", ikText, false, "URI for source document or message"),
    Row("datetime", ikText, false, "date and time of change"),
    // 26 dir
    Row("compact", ikCheck, true, "reduced interitem spacing (Deprecated)"),
    // 27 div
    Row("align", ikPickList, true, "alignment (Deprecated)",
        "left,center,right,justify"),
    // 31 embed
    Row("src", ikText, false, "source URI"),
    Row("width", ikText, false, "width"),
    Row("height", ikText, false, "height"),
    // 33 font
    Row("size", ikText, true, "font size (Deprecated)"),
    Row("color", ikColor, true, "text color (Deprecated)"),
    Row("face", ikText, true, "font face (Deprecated)"),
    // 34 form
    Row("action", ikText, false, "server-side form handler"),
    Row("method", ikPickList, false, "HTTP method used to submit the form",
        "get,post"),
    Row("enctype", ikText, false, "content type of submitted data"),
    Row("accept-charset", ikText, false, "list of supported character sets"),
    Row("target", ikPickList, true, "frame to show the result in (Deprecated)",
        "_blank,_self,_parent,_top"),
    Row("onSubmit", ikText, false, "the form was submitted"),
    Row("onReset", ikText, false, "the form was reset"),
    // 35 frame
    Row("name", ikText, false, "name of the element"),
    Row("src", ikText, false, "source URI"),
    Row("longdesc", ikText, false, "link to long description"),
    Row("frameborder", ikPickList, false, "request frame borders",
        "1,0"),
    Row("marginwidth", ikText, false, "margin width in pixels"),
    Row("marginheight", ikText, false, "margin height in pixels"),
    Row("noresize", ikCheck, false, "frame cannot be resized"),
    Row("scrolling", ikPickList, false, "scroll bar or none",
        "yes,no,auto"),
    // 36 frameset
    Row("rows", ikText, false, "list of lengths of rows"),
    Row("cols", ikText, false, "list of lengths of columns"),
    Row("onLoad", ikText, false, "document has been loaded"),
    Row("onUnload", ikText, false, "document has been removed"),
    // 43 head
    Row("profile", ikText, false, "named dictionary of meta info"),
    // 44 hr
    Row("align", ikPickList, true, "alignment (Deprecated)",
        "left,center,right"),
    Row("noshade", ikCheck, true, "solid rule without shading (Deprecated)"),
    Row("size", ikText, true, "height of the rule (Deprecated)"),
    Row("width", ikText, true, "width (Deprecated)"),
    // 45 html
    Row("version", ikText, true, "HTML version (Deprecated)"),
    // 47 iframe
    Row("src", ikText, false, "source URI"),
    Row("name", ikText, false, "name of the element"),
    Row("longdesc", ikText, false, "link to long description"),
    Row("width", ikText, false, "width"),
    Row("height", ikText, false, "height"),
    Row("align", ikPickList, false, "alignment",
        "top,middle,bottom,left,right"),
    Row("frameborder", ikPickList, false, "request frame borders",
        "1,0"),
    Row("marginwidth", ikText, false, "margin width in pixels"),
    Row("marginheight", ikText, false, "margin height in pixels"),
    Row("scrolling", ikPickList, false, "scroll bar or none",
        "yes,no,auto"),
    // 48 img
    Row("src", ikText, false, "source URI"),
    Row("alt", ikText, false, "alternate text"),
    Row("longdesc", ikText, false, "link to long description"),
    Row("width", ikText, false, "width"),
    Row("height", ikText, false, "height"),
    Row("usemap", ikText, false, "use client-side image map"),
    Row("ismap", ikCheck, false, "use server-side image map"),
    Row("align", ikPickList, true, "alignment (Deprecated)",
        "top,middle,bottom,left,right"),
    Row("border", ikText, true, "border width (Deprecated)"),
    Row("hspace", ikText, true, "horizontal gutter (Deprecated)"),
    Row("vspace", ikText, true, "vertical gutter (Deprecated)"),
    // 49 input
    Category("Attributes"),
    Row("type", ikPickList, false, "kind of widget needed",
        "text,password,checkbox,radio,submit,reset,file,hidden,image,button"),
    Row("name", ikText, false, "name of the element"),
    Row("value", ikText, false, "value of the control"),
    Row("checked", ikCheck, false, "initial state of a check box or radio button"),
    Row("size", ikText, false, "width of the field"),
    Row("maxlength", ikText, false, "maximum number of characters"),
    Row("src", ikText, false, "source of the image for an image button"),
    Row("alt", ikText, false, "alternate text"),
    Row("usemap", ikText, false, "use client-side image map"),
    Row("align", ikPickList, true, "alignment (Deprecated)",
        "top,middle,bottom,left,right"),
    Row("disabled", ikCheck, false, "unavailable in this context"),
    Row("readonly", ikCheck, false, "value cannot be changed"),
    Row("accept", ikText, false, "list of accepted content types"),
    Row("accesskey", ikText, false, "shortcut key"),
    Row("tabindex", ikText, false, "position in tabbing order"),
    Category("Events"),
    Row("onFocus", ikText, false, "element received focus"),
    Row("onBlur", ikText, false, "element lost focus"),
    Row("onSelect", ikText, false, "some text was selected"),
    Row("onChange", ikText, false, "the value was changed"),
    // 51 isindex
    Row("prompt", ikText, true, "prompt message (Deprecated)"),
    // 53 label
    Row("for", ikText, false, "id of the labelled control"),
    Row("accesskey", ikText, false, "shortcut key"),
    Row("onFocus", ikText, false, "element received focus"),
    Row("onBlur", ikText, false, "element lost focus"),
    // 54 legend
    Row("accesskey", ikText, false, "shortcut key"),
    Row("align", ikPickList, true, "alignment (Deprecated)",
        "top,bottom,left,right"),
    // 55 li
    Row("type", ikPickList, true, "list item style (Deprecated)",
        "disc,square,circle,1,a,A,i,I"),
    Row("value", ikText, true, "reset sequence number (Deprecated)"),
    // 56 link
    Row("rel", ikPickList, false, "relationship to link",
        "Alternate,StyleSheet,Start,Next,Prev,Contents,Index,Glossary,Copyright,Chapter,Section,Subsection,Appendix,Help,Bookmark"),
    Row("rev", ikPickList, false, "relationship from link",
        "Alternate,StyleSheet,Start,Next,Prev,Contents,Index,Glossary,Copyright,Chapter,Section,Subsection,Appendix,Help,Bookmark"),
    Row("href", ikText, false, "hypertext reference"),
    Row("type", ikText, false, "content type"),
    Row("target", ikPickList, true, "frame to render link in (Deprecated)",
        "_blank,_self,_parent,_top"),
    Row("media", ikPickList, false, "designed for use with these media",
        "screen,tty,tv,projection,handheld,print,braille,aural,all"),
    Row("hreflang", ikText, false, "language of link"),
    Row("charset", ikText, false, "character encoding of linked resource"),
    // 57 map
    Row("name", ikText, false, "name of the element"),
    // 60 meta
    Row("name", ikText, false, "metainformation name"),
    Row("http-equiv", ikText, false, "HTTP response header name"),
    Row("content", ikText, false, "associated information"),
    Row("scheme", ikText, false, "select form of content"),
    // 63 object
    Row("data", ikText, false, "reference to object data"),
    Row("classid", ikText, false, "identifies an implementation"),
    Row("archive", ikText, false, "list of archive files"),
    Row("codebase", ikText, false, "base URI for code"),
    Row("width", ikText, false, "width"),
    Row("height", ikText, false, "height"),
    Row("name", ikText, false, "name of the element"),
    Row("usemap", ikText, false, "use client-side image map"),
    Row("type", ikText, false, "content type"),
    Row("codetype", ikText, false, "content type for code"),
    Row("standby", ikText, false, "message to show while loading"),
    Row("tabindex", ikText, false, "position in tabbing order"),
    Row("declare", ikCheck, false, "declare but do not instantiate"),
    Row("align", ikPickList, true, "alignment (Deprecated)",
        "top,middle,bottom,left,right"),
    Row("border", ikText, true, "border width (Deprecated)"),
    Row("hspace", ikText, true, "horizontal gutter (Deprecated)"),
    Row("vspace", ikText, true, "vertical gutter (Deprecated)"),
    // 64 ol
    Row("type", ikPickList, true, "numbering style (Deprecated)",
        "1,a,A,i,I"),
    Row("start", ikText, true, "starting sequence number (Deprecated)"),
    Row("compact", ikCheck, true, "reduced interitem spacing (Deprecated)"),
    // 65 optgroup
    Row("label", ikText, false, "label for use in hierarchical menus"),
    Row("disabled", ikCheck, false, "unavailable in this context"),
    // 66 option
    Row("value", ikText, false, "value sent when selected"),
    Row("selected", ikCheck, false, "initially selected"),
    Row("disabled", ikCheck, false, "unavailable in this context"),
    Row("label", ikText, false, "label for use in hierarchical menus"),
    // 68 param
    Row("name", ikText, false, "property name"),
    Row("value", ikText, false, "property value"),
    Row("valuetype", ikPickList, false, "how to interpret the value",
        "data,ref,object"),
    Row("type", ikText, false, "content type for value when valuetype is ref"),
    Row("id", ikText, false, "document-wide unique id"),
    // 69 pre
    Row("width", ikText, true, "width in characters (Deprecated)"),
    // 73 script
    Row("type", ikText, false, "content type of script language"),
    Row("language", ikText, false, "scripting language name"),
    Row("src", ikText, false, "source URI"),
    Row("charset", ikText, false, "character encoding of linked resource"),
    Row("defer", ikCheck, false, "script may be run after the page has loaded"),
    // 74 select
    Row("name", ikText, false, "name of the element"),
    Row("multiple", ikCheck, false, "allow several selections"),
    Row("size", ikText, false, "number of rows shown"),
    Row("disabled", ikCheck, false, "unavailable in this context"),
    Row("tabindex", ikText, false, "position in tabbing order"),
    Row("onFocus", ikText, false, "element received focus"),
    Row("onBlur", ikText, false, "element lost focus"),
    Row("onChange", ikText, false, "the value was changed"),
    // 79 style
    Row("type", ikText, false, "content type of style language"),
    Row("media", ikPickList, false, "designed for use with these media",
        "screen,tty,tv,projection,handheld,print,braille,aural,all"),
    Row("title", ikText, false, "advisory title"),
    // 82 table
    Row("summary", ikText, false, "purpose and structure of the table"),
    Row("width", ikText, false, "width"),
    Row("border", ikText, false, "width of the frame around the table"),
    Row("frame", ikPickList, false, "which parts of the frame to render",
        "void,above,below,hsides,lhs,rhs,vsides,box,border"),
    Row("rules", ikPickList, false, "rulings between rows and columns",
        "none,groups,rows,cols,all"),
    Row("cellspacing", ikText, false, "spacing between cells"),
    Row("cellpadding", ikText, false, "spacing within cells"),
    Row("align", ikPickList, true, "alignment (Deprecated)",
        "left,center,right"),
    Row("bgcolor", ikColor, true, "background color for table (Deprecated)"),
    // 83 tbody
    Row("align", ikPickList, false, "alignment",
        "left,center,right,justify,char"),
    Row("char", ikText, false, "alignment character"),
    Row("charoff", ikText, false, "offset for alignment character"),
    Row("valign", ikPickList, false, "vertical alignment of cell content",
        "top,middle,bottom,baseline"),
    // 84 td
    Row("rowspan", ikText, false, "number of rows spanned by cell"),
    Row("colspan", ikText, false, "number of columns spanned by cell"),
    Row("headers", ikText, false, "list of id values of header cells"),
    Row("abbr", ikText, false, "abbreviation for header cell"),
    Row("scope", ikPickList, false, "scope covered by header cells",
        "row,col,rowgroup,colgroup"),
    Row("axis", ikText, false, "names groups of related headers"),
    Row("align", ikPickList, false, "alignment",
        "left,center,right,justify,char"),
    Row("char", ikText, false, "alignment character"),
    Row("charoff", ikText, false, "offset for alignment character"),
    Row("valign", ikPickList, false, "vertical alignment of cell content",
        "top,middle,bottom,baseline"),
    Row("width", ikText, true, "width (Deprecated)"),
    Row("height", ikText, true, "height (Deprecated)"),
    Row("nowrap", ikCheck, true, "suppress word wrap (Deprecated)"),
    Row("bgcolor", ikColor, true, "background color for cell (Deprecated)"),
    // 85 textarea
    Row("name", ikText, false, "name of the element"),
    Row("rows", ikText, false, "number of visible lines"),
    Row("cols", ikText, false, "number of visible characters per line"),
    Row("wrap", ikPickList, false, "how lines are wrapped",
        "off,virtual,physical"),
    Row("disabled", ikCheck, false, "unavailable in this context"),
    Row("readonly", ikCheck, false, "value cannot be changed"),
    Row("accesskey", ikText, false, "shortcut key"),
    Row("tabindex", ikText, false, "position in tabbing order"),
    Row("onFocus", ikText, false, "element received focus"),
    Row("onBlur", ikText, false, "element lost focus"),
    Row("onSelect", ikText, false, "some text was selected"),
    Row("onChange", ikText, false, "the value was changed"),
    // 90 tr
    Row("align", ikPickList, false, "alignment",
        "left,center,right,justify,char"),
    Row("char", ikText, false, "alignment character"),
    Row("charoff", ikText, false, "offset for alignment character"),
    Row("valign", ikPickList, false, "vertical alignment of cell content",
        "top,middle,bottom,baseline"),
    Row("bgcolor", ikColor, true, "background color for row (Deprecated)"),
    // 93 ul
    Row("type", ikPickList, true, "bullet style (Deprecated)",
        "disc,square,circle"),
    Row("compact", ikCheck, true, "reduced interitem spacing (Deprecated)"),
};

// Tag id, long and short caption, first row and number of rows; tags with the same rows
// share them.
const TInspectorTagData InspectorTags[InspectorTagCount] = {
    {1, "A - Anchor", "Anchor", 0, 14},
    {2, "ABBR - Abbreviation", "Abbreviation", 14, 0},
    {3, "ACRONYM - Acronym", "Acronym", 14, 0},
    {4, "ADDRESS - Contact Information", "Contact Information", 14, 0},
    {5, "APPLET - Java Applet (Deprecated)", "Deprecated in favor of OBJECT", 14, 11},
    {6, "AREA - Image Map Region", "Image Map Region", 25, 9},
    {7, "B - Bold Text", "Bold Text", 34, 0},
    {8, "BASE - Document Base URI", "Document Base URI", 34, 2},
    {9, "BASEFONT - Base Font Change (Deprecated)", "Deprecated in favor of style sheets", 36, 4},
    {10, "BDO - BiDi Override", "BiDi Override", 40, 2},
    {11, "BGSOUND - Background Sound", "Background Sound", 42, 3},
    {12, "BIG - Large Font", "Large Font", 45, 0},
    {13, "BLOCKQUOTE - Block Quotation", "Block Quotation", 45, 1},
    {14, "BODY - Document Body", "Document Body", 46, 8},
    {15, "BR - Line Break", "Line Break", 54, 1},
    {16, "BUTTON - Button", "Button", 55, 8},
    {17, "CAPTION - Table Caption", "Table Caption", 63, 1},
    {18, "CENTER - Centered Block (Deprecated)", "Deprecated in favor of style sheets", 64, 0},
    {19, "CITE - Citation", "Citation", 64, 0},
    {20, "CODE - Computer Code", "Computer Code", 64, 0},
    {21, "COL - Table Column", "Table Column", 64, 6},
    {22, "COLGROUP - Table Column Group", "Table Column Group", 64, 6},  // the rows of col
    {23, "DD - Definition Description", "Definition Description", 70, 0},
    {24, "DEL - Deleted Text", "Deleted Text", 70, 2},
    {25, "DFN - Defined Term", "Defined Term", 72, 0},
    {26, "DIR - Directory List (Deprecated)", "Deprecated in favor of UL", 72, 1},
    {27, "DIV - Generic Block-level Container", "Generic Block-level Container", 73, 1},
    {28, "DL - Definition List", "Definition List", 72, 1},  // the rows of dir
    {29, "DT - Definition Term", "Definition Term", 74, 0},
    {30, "EM - Emphasis", "Emphasis", 74, 0},
    {31, "EMBED - Embedded Object", "Embedded Object", 74, 3},
    {32, "FIELDSET - Form Control Group", "Form Control Group", 77, 0},
    {33, "FONT - Font Change (Deprecated)", "Deprecated in favor of style sheets", 77, 3},
    {34, "FORM - Interactive Form", "Interactive Form", 80, 7},
    {35, "FRAME - Frame", "Frame", 87, 8},
    {36, "FRAMESET - Frameset", "Frameset", 95, 4},
    {37, "H1 - Level-one Heading", "Level-one Heading", 73, 1},  // the rows of div
    {38, "H2 - Level-two Heading", "Level-two Heading", 73, 1},  // the rows of div
    {39, "H3 - Level-three Heading", "Level-three Heading", 73, 1},  // the rows of div
    {40, "H4 - Level-four Heading", "Level-four Heading", 73, 1},  // the rows of div
    {41, "H5 - Level-five Heading", "Level-five Heading", 73, 1},  // the rows of div
    {42, "H6 - Level-six Heading", "Level-six Heading", 73, 1},  // the rows of div
    {43, "HEAD - Document Head", "Document Head", 99, 1},
    {44, "HR - Horizontal Rule", "Horizontal Rule", 100, 4},
    {45, "HTML - HTML Document", "HTML Document", 104, 1},
    {46, "I - Italic Text", "Italic Text", 105, 0},
    {47, "IFRAME - Inline Frame", "Inline Frame", 105, 10},
    {48, "IMG - Inline Image", "Inline Image", 115, 11},
    {49, "INPUT - Form Input", "Form Input", 126, 21},
    {50, "INS - Inserted Text", "Inserted Text", 70, 2},  // the rows of del
    {51, "ISINDEX - Input Prompt (Deprecated)", "Deprecated in favor of INPUT", 147, 1},
    {52, "KBD - Text to be Input", "Text to be Input", 148, 0},
    {53, "LABEL - Form Field Label", "Form Field Label", 148, 4},
    {54, "LEGEND - Fieldset Caption", "Fieldset Caption", 152, 2},
    {55, "LI - List Item", "List Item", 154, 2},
    {56, "LINK - Document Relationship", "Document Relationship", 156, 8},
    {57, "MAP - Image Map", "Image Map", 164, 1},
    {59, "MENU - Menu List (Deprecated)", "Deprecated in favor of UL", 72, 1},  // the rows of dir
    {60, "META - Metadata", "Metadata", 165, 4},
    {61, "NOFRAMES - Frames Alternate Content", "Frames Alternate Content", 169, 0},
    {62, "NOSCRIPT - Non-script Content", "Non-script Content", 169, 0},
    {63, "OBJECT - Embedded Object", "Embedded Object", 169, 17},
    {64, "OL - Ordered List", "Ordered List", 186, 3},
    {65, "OPTGROUP - Option Group", "Option Group", 189, 2},
    {66, "OPTION - Menu Option", "Menu Option", 191, 4},
    {67, "P - Paragraph", "Paragraph", 73, 1},  // the rows of div
    {68, "PARAM - Object Parameter", "Object Parameter", 195, 5},
    {69, "PRE - Preformatted Text", "Preformatted Text", 200, 1},
    {70, "Q - Short Quotation", "Short Quotation", 45, 1},  // the rows of blockquote
    {71, "S - Strike-through Text (Deprecated)", "Deprecated in favor of style sheets", 201, 0},
    {72, "SAMP - Sample Output", "Sample Output", 201, 0},
    {73, "SCRIPT - Client-side Script", "Client-side Script", 201, 5},
    {74, "SELECT - Option Selector", "Option Selector", 206, 8},
    {75, "SMALL - Small Font", "Small Font", 214, 0},
    {76, "SPAN - Generic Inline Container", "Generic Inline Container", 214, 0},
    {77, "STRIKE - Strike-through Text (Deprecated)", "Deprecated in favor of style sheets", 214, 0},
    {78, "STRONG - Strong Emphasis", "Strong Emphasis", 214, 0},
    {79, "STYLE - Embedded Style Sheet", "Embedded Style Sheet", 214, 3},
    {80, "SUB - Subscript", "Subscript", 217, 0},
    {81, "SUP - Superscript", "Superscript", 217, 0},
    {82, "TABLE - Table", "Table", 217, 9},
    {83, "TBODY - Table Body", "Table Body", 226, 4},
    {84, "TD - Table Data Cell", "Table Data Cell", 230, 14},
    {85, "TEXTAREA - Multi-line Text Input", "Multi-line Text Input", 244, 12},
    {86, "TFOOT - Table Foot", "Table Foot", 226, 4},  // the rows of tbody
    {87, "TH - Table Header Cell", "Table Header Cell", 230, 14},  // the rows of td
    {88, "THEAD - Table Head", "Table Head", 226, 4},  // the rows of tbody
    {89, "TITLE - Document Title", "Document Title", 256, 0},
    {90, "TR - Table Row", "Table Row", 256, 5},
    {91, "TT - Teletype Text", "Teletype Text", 261, 0},
    {92, "U - Underlined Text (Deprecated)", "Deprecated in favor of style sheets", 261, 0},
    {93, "UL - Unordered List", "Unordered List", 261, 2},
    {94, "VAR - Variable", "Variable", 263, 0},
};

void FillInspector(TInspector& Inspector, THtmlTagId Tag)
{
    for (const TInspectorTagData& T : InspectorTags) {
        if (T.Tag != Tag)
            continue;
        Inspector.SetCaptions(T.LongTitle, T.ShortTitle);
        for (int I = T.FirstRow; I < T.FirstRow + T.RowCount; ++I) {
            const TInspectorRowData& R = InspectorRows[I];
            if (!R.Attr)
                Inspector.AddCategory(R.Description);
            else
                Inspector.AddAttribute(AttrIdFromName(R.Attr), R.Deprecated ? InspectorDeprecatedColor : clBlack,
                                       R.Description, R.PickList, R.Kind);
        }
        return;
    }
}

}  // namespace zv
