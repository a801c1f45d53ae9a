#pragma once
// Where the data that ships with the program (word list, templates) is found.

#include <string>
#include <vector>

namespace zv {

// The folders searched for data, in order: the program's own folder, the installed data
// folder (beside the program as ../share/zandovell, then the configured install prefix), and
// the source tree's data folder.
std::vector<std::string> DataFolders();

// The full path of the first file or folder called Name in DataFolders(); empty when none has it.
std::string FindDataFile(const std::string& Name);

}  // namespace zv
