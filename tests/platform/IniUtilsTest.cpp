#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "Folders.h"
#include "IniUtils.h"
#include "VistaUtils.h"
#include "support/TempFiles.h"

namespace fs = std::filesystem;
using namespace zv;
using namespace zv::test;

TEST(IniUtils, SettingsFolderAndGlobalFile)
{
    TempDir dir;
    const std::string oldHome = getenv("HOME") ? getenv("HOME") : "";
    setenv("XDG_CONFIG_HOME", (dir.Path + "/cfg/").c_str(), 1);
    EXPECT_EQ(GetAppDataFolder(), dir.Path + "/cfg");
    EXPECT_FALSE(fs::exists(dir / "cfg"));

    // The folder chain is made at start-up, the file at the first write.
    InitializeIniUtils();
    EXPECT_EQ(SettingsFile().FileName(), dir.Path + "/cfg/Zandovell/Config.ini");
    EXPECT_TRUE(fs::is_directory(dir / "cfg/Zandovell"));
    EXPECT_FALSE(fs::exists(SettingsFile().FileName()));
    IniWriteInteger("Form", "Left", 5);
    IniWriteBool("Form", "Maximized", false);
    EXPECT_EQ(ReadAll(SettingsFile().FileName()), "[Form]\nLeft=5\nMaximized=0\n");
    EXPECT_TRUE(IniSectionExists("form") && IniValueExists("form", "left"));
    WriteAll(SettingsFile().FileName(), "[Form]\nLeft=abc\nMaximized=\xff\xfe\n");
    EXPECT_EQ(IniReadInteger("Form", "Left", 33), 33);
    EXPECT_TRUE(IniReadBool("Form", "Maximized", true));
    FinalizeIniUtils();

    // A relative XDG_CONFIG_HOME is ignored.
    setenv("XDG_CONFIG_HOME", "relative/cfg", 1);
    setenv("HOME", dir.Path.c_str(), 1);
    EXPECT_EQ(GetAppDataSubFolder("A/B"), dir.Path + "/.config/A/B");
    EXPECT_TRUE(fs::is_directory(dir / ".config/A/B"));
    EXPECT_FALSE(ForceDirectories(dir / "cfg/Zandovell/Config.ini/sub"));
    setenv("HOME", oldHome.c_str(), 1);
    unsetenv("XDG_CONFIG_HOME");
}
