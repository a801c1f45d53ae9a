#include "ToolLoader.h"

#include "ToolAnchor.h"
#include "ToolBody.h"
#include "ToolBr.h"
#include "ToolComment.h"
#include "ToolDate.h"
#include "ToolForm.h"
#include "ToolHr.h"
#include "ToolImg.h"
#include "ToolInputButton.h"
#include "ToolInputCheck.h"
#include "ToolInputEdit.h"
#include "ToolInputHidden.h"
#include "ToolInputImage.h"
#include "ToolManager.h"
#include "ToolMarquee.h"
#include "ToolSelect.h"
#include "ToolTable.h"
#include "ToolTd.h"
#include "ToolTextArea.h"

namespace zv {

// A tool joins the palette with one line at its place below (and the include of its unit).
void RegisterTools(TToolManager& Manager)
{
    Manager.BeginUpdate();
    Manager.AddTool<TToolBody>();
    Manager.AddTool<TToolImg>();
    Manager.AddTool<TToolTable>();
    Manager.AddTool<TToolHr>();
    Manager.AddTool<TToolDate>();
    Manager.AddTool<TToolComment>();
    Manager.AddTool<TToolBr>();
    Manager.AddTool<TToolAnchor>();
    Manager.AddTool<TToolTd>();
    // TToolScript
    // TToolScriptFile
    Manager.AddSeparator();
    Manager.AddTool<TToolForm>();
    Manager.AddTool<TToolInputEdit>();
    Manager.AddTool<TToolInputPassword>();
    Manager.AddTool<TToolInputButton>();
    Manager.AddTool<TToolInputCheck>();
    Manager.AddTool<TToolInputRadio>();
    Manager.AddTool<TToolInputFile>();
    Manager.AddTool<TToolInputHidden>();
    Manager.AddTool<TToolInputImage>();
    Manager.AddTool<TToolSelectCombo>();
    Manager.AddTool<TToolSelectList>();
    Manager.AddTool<TToolTextArea>();
    Manager.AddSeparator();
    // TToolBgSound
    Manager.AddTool<TToolMarquee>();
    // TToolObjFlash (the four media objects before the ActiveX tool, which takes any object)
    // TToolObjQuickTime
    // TToolObjReal
    // TToolObjMPlayer
    // TToolObjApplet
    // TToolObjActiveX
    Manager.EndUpdate();
}

}  // namespace zv
