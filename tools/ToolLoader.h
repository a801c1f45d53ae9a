#pragma once
// The tools of the Objects palette.

namespace zv {

class TToolManager;

// Adds every tool and the two separators in palette order. The order also decides which tool
// edits an element two tools could take: the first.
void RegisterTools(TToolManager& Manager);

}  // namespace zv
