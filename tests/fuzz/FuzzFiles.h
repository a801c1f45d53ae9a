#pragma once
// A folder of its own for a fuzz target that must hand its input to a reader as a file.

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "Streams.h"

namespace zv::fuzz {

inline void Require(bool Condition)
{
    if (!Condition)
        std::abort();
}

inline const std::filesystem::path& Folder()
{
    static const std::filesystem::path folder = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "zv-fuzz-XXXXXX").string();
        Require(::mkdtemp(pattern.data()) != nullptr);
        std::atexit([] { std::filesystem::remove_all(Folder()); });
        return std::filesystem::path(pattern);
    }();
    return folder;
}

// Writes the input as Name in the folder; answers its full path.
inline std::string InputFile(const char* Name, const uint8_t* Data, size_t Size)
{
    const std::string path = (Folder() / Name).string();
    SaveFileAtomically(path, Data, static_cast<int64_t>(Size));
    return path;
}

}  // namespace zv::fuzz
