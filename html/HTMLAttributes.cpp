#include "HTMLAttributes.h"

#include "NameTable.h"

namespace zv {

namespace {

// Order is the id order.
const char* const HtmlAttrNames[HtmlAttrCount] = {
    "abbr", "accept", "accept-charset", "accesskey", "action", "align", "alink", "alt", "archive",
    "autostart", "axis", "background", "behavior", "bgcolor", "border", "bottommargin",
    "cellpadding", "cellspacing", "char", "charoff", "charset", "checked", "cite", "class",
    "classid", "clear", "code", "codebase", "codetype", "color", "cols", "colspan", "compact",
    "content", "contentEditable", "coords", "data", "datetime", "declare", "defer", "dir",
    "direction", "disabled", "enctype", "face", "for", "frame", "frameborder", "headers", "height",
    "href", "hreflang", "hspace", "http-equiv", "id", "ismap", "label", "lang", "language",
    "leftmargin", "link", "longdesc", "loop", "marginheight", "marginwidth", "maxlength", "media",
    "method", "multiple", "name", "nohref", "noresize", "noshade", "nowrap", "object", "onActivate",
    "onAfterUpdate", "onBeforeActivate", "onBeforeCopy", "onBeforeCut", "onBeforeDeactivate",
    "onBeforeEditFocus", "onBeforePaste", "onBeforeUpdate", "onBlur", "onCellChange", "onChange",
    "onClick", "onContextMenu", "onControlSelect", "onCopy", "onCut", "onDataAvailable",
    "onDataSetChanged", "onDataSetComplete", "onDblClick", "onDeactivate", "onDrag", "onDragEnd",
    "onDragEnter", "onDragLeave", "onDragOver", "onDragStart", "onDrop", "onErrorUpdate",
    "onFilterChange", "onFocus", "onFocusIn", "onFocusOut", "onHelp", "onKeyDown", "onKeyPress",
    "onKeyUp", "onLayoutComplete", "onLoad", "onLoseCapture", "onMouseDown", "onMouseEnter",
    "onMouseLeave", "onMouseMove", "onMouseOut", "onMouseOver", "onMouseUp", "onMouseWheel",
    "onMove", "onMoveEnd", "onMoveStart", "onPage", "onPaste", "onPropertyChange",
    "onReadyStateChange", "onReset", "onResize", "onResizeEnd", "onResizeStart", "onRowEnter",
    "onRowExit", "onRowsDelete", "onRowsInserted", "onScroll", "onSelect", "onSelectStart",
    "onSubmit", "onUnload", "profile", "prompt", "readonly", "rel", "rev", "rightmargin", "rows",
    "rowspan", "rules", "scheme", "scope", "scrollamount", "scrolldelay", "scrolling", "selected",
    "shape", "size", "span", "src", "standby", "start", "style", "summary", "tabindex", "target",
    "text", "title", "topmargin", "type", "usemap", "valign", "value", "valuetype", "version",
    "vlink", "vspace", "width", "wrap",
};

}  // namespace

const TNameTable& AttrNameTable()
{
    static const TNameTable Table(HtmlAttrNames, HtmlAttrCount);
    return Table;
}

THtmlAttrId AttrIdFromName(std::string_view Name) { return AttrNameTable().Find(Name); }

THtmlAttrId AttrIdFromName(WideStringView Name) { return AttrNameTable().Find(Name); }

std::string_view AttrNameFromId(THtmlAttrId Id)
{
    if (Id < 0 || Id >= HtmlAttrCount)
        return {};
    return HtmlAttrNames[Id];
}

bool IsBooleanAttribute(THtmlAttrId Id)
{
    switch (Id) {
    case attrChecked: case attrCompact: case attrDeclare: case attrDefer: case attrDisabled:
    case attrIsmap: case attrMultiple: case attrNohref: case attrNoresize: case attrNoshade:
    case attrNowrap: case attrReadonly: case attrSelected:
        return true;
    default:
        return false;
    }
}

}  // namespace zv
