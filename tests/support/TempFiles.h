#pragma once
// Test helpers: a temporary folder removed with its contents, whole-file reads and writes.

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace zv::test {

class TempDir {
public:
    TempDir()
    {
        std::string tmpl = (std::filesystem::temp_directory_path() / "zv-test-XXXXXX").string();
        Path = ::mkdtemp(tmpl.data());
    }
    ~TempDir() { std::filesystem::remove_all(Path); }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string operator/(const std::string& Name) const { return Path + "/" + Name; }
    std::string Path;
};

inline std::string ReadAll(const std::string& FileName)
{
    std::ifstream in(FileName, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void WriteAll(const std::string& FileName, const std::string& Bytes)
{
    std::ofstream(FileName, std::ios::binary | std::ios::trunc) << Bytes;
}

}  // namespace zv::test
