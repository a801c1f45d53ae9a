#pragma once
// Test helpers: a temporary folder removed with its contents, whole-file reads and writes.

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace zv::test {

struct TempDir {
    std::string Path = [] {
        std::string tmpl = (std::filesystem::temp_directory_path() / "zv-test-XXXXXX").string();
        return std::string(::mkdtemp(tmpl.data()));
    }();
    ~TempDir() { std::filesystem::remove_all(Path); }
    std::string operator/(const std::string& Name) const { return Path + "/" + Name; }
};

inline std::string ReadAll(const std::string& FileName)
{
    std::stringstream s;
    s << std::ifstream(FileName, std::ios::binary).rdbuf();
    return s.str();
}

inline void WriteAll(const std::string& FileName, const std::string& Bytes)
{
    std::ofstream(FileName, std::ios::binary | std::ios::trunc) << Bytes;
}

}  // namespace zv::test
