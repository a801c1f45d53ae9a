#include "VistaUtils.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "Folders.h"

namespace zv {

static std::string HomeFolder()
{
    if (const char* home = std::getenv("HOME"); home && *home)
        return home;
    // No HOME: ask the password database.
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<size_t>(size) : 16384);
    struct passwd pw {};
    struct passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &pw, buffer.data(), buffer.size(), &found) == 0 && found &&
        found->pw_dir && *found->pw_dir)
        return found->pw_dir;
    return {};
}

static std::string WithoutTrailingSlash(std::string Path)
{
    while (Path.size() > 1 && Path.back() == '/')
        Path.pop_back();
    return Path;
}

std::string GetAppDataFolder()
{
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && config[0] == '/')
        return WithoutTrailingSlash(config);
    const std::string home = HomeFolder();
    if (home.empty())
        return {};
    return WithoutTrailingSlash(home) + (home == "/" ? ".config" : "/.config");
}

std::string GetAppDataSubFolder(const std::string& Name)
{
    std::string folder = GetAppDataFolder();
    if (folder != "/")
        folder += '/';
    folder = WithoutTrailingSlash(folder + Name);
    ForceDirectories(folder);
    return folder;
}

}  // namespace zv
