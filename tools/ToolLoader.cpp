#include "ToolLoader.h"

#include "ToolAnchor.h"
#include "ToolBody.h"
#include "ToolBr.h"
#include "ToolComment.h"
#include "ToolDate.h"
#include "ToolHr.h"
#include "ToolManager.h"

namespace zv {

// A tool joins the palette with one line at its place below (and the include of its unit).
void RegisterTools(TToolManager& Manager)
{
    Manager.BeginUpdate();
    Manager.AddTool<TToolBody>();
    // TToolImg
    // TToolTable
    Manager.AddTool<TToolHr>();
    Manager.AddTool<TToolDate>();
    Manager.AddTool<TToolComment>();
    Manager.AddTool<TToolBr>();
    Manager.AddTool<TToolAnchor>();
    // TToolTd
    // TToolScript
    // TToolScriptFile
    Manager.AddSeparator();
    // TToolForm
    // TToolInputEdit
    // TToolInputPassword
    // TToolInputButton
    // TToolInputCheck
    // TToolInputRadio
    // TToolInputFile
    // TToolInputHidden
    // TToolInputImage
    // TToolSelectCombo
    // TToolSelectList
    // TToolTextArea
    Manager.AddSeparator();
    // TToolBgSound
    // TToolMarquee
    // TToolObjFlash (the four media objects before the ActiveX tool, which takes any object)
    // TToolObjQuickTime
    // TToolObjReal
    // TToolObjMPlayer
    // TToolObjApplet
    // TToolObjActiveX
    Manager.EndUpdate();
}

}  // namespace zv
