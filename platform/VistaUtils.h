#pragma once
// Where the program keeps its per-user data.

#include <string>

namespace zv {

// The user's configuration folder: $XDG_CONFIG_HOME when it is an absolute path, else
// ~/.config. Not created here. Empty when no home folder is known.
std::string GetAppDataFolder();

// GetAppDataFolder() + "/" + Name, created with its parents when missing; no trailing "/".
// With no known home folder this gives "/" + Name.
std::string GetAppDataSubFolder(const std::string& Name);

}  // namespace zv
