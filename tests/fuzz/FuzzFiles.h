#pragma once
// A folder of its own for a fuzz target that must hand its input to a reader as a file.

#include <errno.h>

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

// One folder per fuzz target, emptied when the target starts: a run that libFuzzer ends
// leaves it behind for the next one.
inline const std::filesystem::path& Folder()
{
    static const std::filesystem::path folder = [] {
        const std::filesystem::path path =
            std::filesystem::temp_directory_path() / (std::string("zv-") + program_invocation_short_name);
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
        std::atexit([] { std::filesystem::remove_all(Folder()); });
        return path;
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
