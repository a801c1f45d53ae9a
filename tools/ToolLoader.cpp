#include "ToolLoader.h"

#include "ToolAnchor.h"
#include "ToolBgSound.h"
#include "ToolBody.h"
#include "ToolBr.h"
#include "ToolComment.h"
#include "ToolDate.h"
#include "ToolHr.h"
#include "ToolManager.h"
#include "ToolObjActiveX.h"
#include "ToolObjApplet.h"
#include "ToolObjFlash.h"
#include "ToolObjMPlayer.h"
#include "ToolObjQuickTime.h"
#include "ToolObjReal.h"
#include "ToolScript.h"
#include "ToolScriptFile.h"

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
    Manager.AddTool<TToolScript>();
    Manager.AddTool<TToolScriptFile>();
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
    Manager.AddTool<TToolBgSound>();
    // TToolMarquee
    // the four media objects before the ActiveX tool, which takes any object
    Manager.AddTool<TToolObjFlash>();
    Manager.AddTool<TToolObjQuickTime>();
    Manager.AddTool<TToolObjReal>();
    Manager.AddTool<TToolObjMPlayer>();
    Manager.AddTool<TToolObjApplet>();
    Manager.AddTool<TToolObjActiveX>();
    Manager.EndUpdate();
}

}  // namespace zv
