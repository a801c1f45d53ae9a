#pragma once
// Where the data that ships with the program (word list, templates) is found.

#include <string>
#include <vector>

namespace zv {

// The folders searched for data, in order: the program's own folder, the installed data
// folder (beside the program as ../share/zandovell, then the configured install prefix), and
// the source tree's data folder.
std::vector<std::string> DataFolders();

// The full path of the first regular file called Name in DataFolders(); empty when none has
// it. A folder, pipe or device of that name is passed over for the next data folder.
std::string FindDataFile(const std::string& Name);
// The same for a folder called Name.
std::string FindDataFolder(const std::string& Name);

}  // namespace zv
