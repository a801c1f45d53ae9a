#pragma once
// Small helpers for file and folder names (POSIX paths with "/").

#include <string>

namespace zv {

// Creates the folder and any missing parents; true when the folder exists afterwards.
bool ForceDirectories(const std::string& Dir);

// True for an existing regular file (or a link to one); false for folders and missing names.
bool FileExists(const std::string& FileName);

// The folder part of a file name including its trailing "/"; empty when there is none.
std::string ExtractFilePath(const std::string& FileName);

}  // namespace zv
