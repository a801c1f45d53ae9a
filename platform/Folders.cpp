#include "Folders.h"

#include <sys/stat.h>

#include <cerrno>

#include "Streams.h"

namespace zv {

static bool IsFolder(const std::string& Dir)
{
    struct stat st {};
    return ::stat(Dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool ForceDirectories(const std::string& Dir)
{
    if (Dir.empty())
        return false;
    // Create each prefix that ends before a "/", then the whole name.
    for (size_t slash = Dir.find('/', 1); ; slash = Dir.find('/', slash + 1)) {
        const std::string part = Dir.substr(0, slash);
        if (!part.empty() && ::mkdir(part.c_str(), 0777) != 0 && errno != EEXIST)
            return false;
        if (slash == std::string::npos)
            break;
    }
    return IsFolder(Dir);
}

bool FileExists(const std::string& FileName)
{
    return IsRegularFile(FileName);
}

std::string ExtractFilePath(const std::string& FileName)
{
    const size_t slash = FileName.rfind('/');
    return slash == std::string::npos ? std::string() : FileName.substr(0, slash + 1);
}

}  // namespace zv
