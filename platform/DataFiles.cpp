#include "DataFiles.h"

#include <filesystem>

#include <QCoreApplication>

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

std::string FindDataFile(const std::string& Name)
{
    for (const std::string& folder : DataFolders()) {
        std::error_code error;
        const fs::path path = fs::path(folder) / Name;
        if (fs::exists(path, error))
            return path.string();
    }
    return {};
}

}  // namespace zv
