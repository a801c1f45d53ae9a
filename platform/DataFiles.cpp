#include "DataFiles.h"

#include <filesystem>

#include <QCoreApplication>

#include "Streams.h"

namespace fs = std::filesystem;

namespace zv {

std::vector<std::string> DataFolders()
{
    std::vector<std::string> result;
    if (QCoreApplication::instance()) {
        const std::string own = QCoreApplication::applicationDirPath().toStdString();
        result.push_back(own);
        result.push_back((fs::path(own) / ".." / "share" / "zandovell").lexically_normal().string());
    }
#ifdef ZV_INSTALL_DATA_DIR
    result.push_back(ZV_INSTALL_DATA_DIR);
#endif
#ifdef ZV_SOURCE_DATA_DIR
    result.push_back(ZV_SOURCE_DATA_DIR);
#endif
    return result;
}

namespace {

std::string FindData(const std::string& Name, bool (*Matches)(const std::string&))
{
    for (const std::string& folder : DataFolders()) {
        const std::string path = (fs::path(folder) / Name).string();
        if (Matches(path))
            return path;
    }
    return {};
}

bool IsFolder(const std::string& Path)
{
    std::error_code error;
    return fs::is_directory(Path, error);
}

}  // namespace

std::string FindDataFile(const std::string& Name)
{
    return FindData(Name, IsRegularFile);
}

std::string FindDataFolder(const std::string& Name)
{
    return FindData(Name, IsFolder);
}

}  // namespace zv
