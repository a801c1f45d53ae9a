#pragma once
// A folder of its own for a fuzz target that must hand its input to a reader as a file.

#include <errno.h>
#include <signal.h>
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

// One folder per fuzz target and process, emptied when the target starts: a run that
// libFuzzer ends leaves it behind. Runs of the same target at the same time (from other
// checkouts) must not write or remove each other's input.
inline const std::filesystem::path& Folder()
{
    static const std::filesystem::path folder = [] {
        const std::string prefix = std::string("zv-") + program_invocation_short_name + "-";
        const std::filesystem::path path = std::filesystem::temp_directory_path() / (prefix + std::to_string(getpid()));
        // the folders of earlier runs whose process is gone
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::temp_directory_path(), error)) {
            const std::string name = entry.path().filename().string();
            if (name.rfind(prefix, 0) != 0) continue;
            const long pid = std::strtol(name.c_str() + prefix.size(), nullptr, 10);
            if (pid > 0 && kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
                std::filesystem::remove_all(entry.path(), error);
        }
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
        return path;
    }();
    // Registered once the path is built, so that the handler runs before the path is
    // destroyed (handlers and statics go in the reverse order of their registration).
    static const bool removedAtExit = std::atexit([] {
        std::error_code error;
        std::filesystem::remove_all(Folder(), error);
    }) == 0;
    (void)removedAtExit;
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
