#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "Folders.h"
#include "support/TempFiles.h"
#include "IniFile.h"
#include "IniUtils.h"
#include "VistaUtils.h"

namespace fs = std::filesystem;
using namespace zv;
using namespace zv::test;

namespace {

// Sets an environment variable for the life of the object.
class ScopedEnv {
public:
    ScopedEnv(const char* Name, const char* Value) : Name(Name)
    {
        if (const char* old = std::getenv(Name)) {
            Had = true;
            Old = old;
        }
        if (Value)
            ::setenv(Name, Value, 1);
        else
            ::unsetenv(Name);
    }
    ~ScopedEnv()
    {
        if (Had)
            ::setenv(Name, Old.c_str(), 1);
        else
            ::unsetenv(Name);
    }

private:
    const char* Name;
    bool Had = false;
    std::string Old;
};

}  // namespace

TEST(IniFile, WritesGiveExactBytes)
{
    TempDir dir;
    TIniFile ini(dir / "Config.ini");
    EXPECT_FALSE(fs::exists(dir / "Config.ini"));  // nothing written yet

    ini.WriteInteger("Form", "Left", 10);
    EXPECT_EQ(ReadAll(ini.FileName()), "[Form]\nLeft=10\n");
    ini.WriteInteger("Form", "Top", -20);
    ini.WriteBool("Form", "Maximized", true);
    ini.WriteString("Recents", "Item0", "/home/u/a b.html");
    // Names match without regard to case: the existing line is replaced in place.
    ini.WriteInteger("FORM", "left", 15);
    ini.WriteBool("form", "Maximized", false);
    // A new key goes after the last key of its section, before the blank separator.
    ini.WriteString("Form", "Width", "");
    EXPECT_EQ(ReadAll(ini.FileName()),
              "[Form]\nleft=15\nTop=-20\nMaximized=0\nWidth=\n\n[Recents]\nItem0=/home/u/a b.html\n");

    ini.EraseSection("form");
    EXPECT_EQ(ReadAll(ini.FileName()), "[Recents]\nItem0=/home/u/a b.html\n");
    ini.EraseSection("Missing");  // nothing to do
    ini.WriteString("Form", "Left", "1");
    EXPECT_EQ(ReadAll(ini.FileName()), "[Recents]\nItem0=/home/u/a b.html\n\n[Form]\nLeft=1\n");

    // A line break in a value cannot start a line of its own.
    ini.WriteString("Recents", "Item1", "a\n[Form]\r\nLeft=99");
    EXPECT_EQ(ini.ReadInteger("Form", "Left", 0), 1);
    EXPECT_EQ(ini.ReadString("Recents", "Item1", ""), "a [Form]  Left=99");
    EXPECT_EQ(ini.ReadSection("Form"), std::vector<std::string>{"Left"});

    // No temporary files are left beside it.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path), fs::directory_iterator()), 1);
}

TEST(IniFile, ReadsTypedValuesWithDefaults)
{
    TempDir dir;
    WriteAll(dir / "Config.ini",
             "[Form]\r\n"
             "  Left =  42  \r\n"
             "Top=$1F\r\n"
             "Width=0x10\r\n"
             "Height=12abc\r\n"
             "Big=99999999999\r\n"
             "Neg=-2147483648\r\n"
             "Empty=\r\n"
             "Maximized=yes\r\n"
             "Visible=7\r\n"
             "Docked=0\r\n"
             "[ Toolbar ]\r\n"
             "Standard Left=3\r\n");
    const TIniFile ini(dir / "Config.ini");
    EXPECT_EQ(ini.ReadInteger("form", "LEFT", 0), 42);
    EXPECT_EQ(ini.ReadString("Form", "Left", ""), "42");
    EXPECT_EQ(ini.ReadInteger("Form", "Top", 0), 31);
    EXPECT_EQ(ini.ReadInteger("Form", "Width", 0), 16);
    EXPECT_EQ(ini.ReadInteger("Form", "Height", 5), 5);
    EXPECT_EQ(ini.ReadInteger("Form", "Big", 5), 5);
    EXPECT_EQ(ini.ReadInteger("Form", "Neg", 5), INT32_MIN);
    EXPECT_EQ(ini.ReadInteger("Form", "Empty", 5), 5);
    EXPECT_EQ(ini.ReadString("Form", "Empty", "dflt"), "");  // present but empty
    EXPECT_EQ(ini.ReadString("Form", "Absent", "dflt"), "dflt");
    EXPECT_TRUE(ini.ReadBool("Form", "Maximized", true));
    EXPECT_FALSE(ini.ReadBool("Form", "Maximized", false));
    EXPECT_TRUE(ini.ReadBool("Form", "Visible", false));
    EXPECT_FALSE(ini.ReadBool("Form", "Docked", true));
    EXPECT_EQ(ini.ReadInteger("toolbar", "standard left", 0), 3);

    EXPECT_TRUE(ini.SectionExists("FORM"));
    EXPECT_FALSE(ini.SectionExists("Recents"));
    EXPECT_TRUE(ini.ValueExists("Form", "empty"));
    EXPECT_FALSE(ini.ValueExists("Form", "Absent"));
    EXPECT_FALSE(ini.ValueExists("Recents", "Left"));
    EXPECT_EQ(ini.ReadSection("Toolbar"), std::vector<std::string>{"Standard Left"});
    EXPECT_TRUE(ini.ReadSection("Nothing").empty());

    // A missing file reads as empty.
    const TIniFile none(dir / "none/Config.ini");
    EXPECT_EQ(none.ReadInteger("Form", "Left", 7), 7);
    EXPECT_FALSE(none.SectionExists("Form"));
}

TEST(IniFile, BrokenFileIsReadLenientlyAndKeptOnWrite)
{
    TempDir dir;
    const std::string huge(3 * 1024 * 1024, 'x');
    std::string bytes = "\xEF\xBB\xBF"
                        "Orphan=1\n"  // before any section
                        "[Form]\n"
                        "garbage without equals\n"
                        "=no name\n"
                        "; Left=5\n"
                        "Left=1\rTop=2\n"  // a lone CR ends a line
                        "Left=3\n"         // the first of two keys wins
                        "[Broken\n"        // no closing bracket: still in Form
                        "Width=300\n";
    bytes += std::string("\x00\x01\xff\xfe", 4) + "=binary\n";
    bytes += "[]\nEmptyName=1\n[Form]\nHeight=9\n[Recents]\nItem0=" + huge + "\n[Empty]\n";
    WriteAll(dir / "Config.ini", bytes);

    TIniFile ini(dir / "Config.ini");
    EXPECT_EQ(ini.ReadInteger("Form", "Left", 0), 1);
    EXPECT_EQ(ini.ReadInteger("Form", "Top", 0), 2);
    EXPECT_EQ(ini.ReadInteger("Form", "Width", 0), 300);
    EXPECT_EQ(ini.ReadInteger("Form", "Height", 0), 0);  // only the first Form section counts
    EXPECT_EQ(ini.ReadString("Recents", "Item0", "").size(), huge.size());
    EXPECT_FALSE(ini.ValueExists("Form", "garbage without equals"));
    EXPECT_FALSE(ini.ValueExists("Form", "; Left"));
    EXPECT_FALSE(ini.SectionExists("Broken"));
    EXPECT_FALSE(ini.SectionExists("Empty"));  // a header without keys
    EXPECT_EQ(ini.ReadSection("Form"),
              (std::vector<std::string>{"Left", "Top", "Width", std::string("\x00\x01\xff\xfe", 4)}));

    // A write changes only its own line; the garbage stays as it was.
    ini.WriteInteger("Form", "Top", 4);
    const std::string after = ReadAll(ini.FileName());
    EXPECT_NE(after.find("garbage without equals\n=no name\n; Left=5\nLeft=1\nTop=4\nLeft=3\n"),
              std::string::npos);
    EXPECT_NE(after.find(std::string("\x00\x01\xff\xfe", 4) + "=binary\n"), std::string::npos);
    EXPECT_NE(after.find("Item0=" + huge + "\n"), std::string::npos);

    // Erasing a name erases every section of it.
    ini.EraseSection("Form");
    EXPECT_FALSE(ini.SectionExists("Form"));
    EXPECT_EQ(ini.ReadInteger("Form", "Height", -1), -1);

    // Pure binary noise.
    std::string noise;
    for (int i = 0; i < 70000; ++i)
        noise += static_cast<char>((i * 7919) % 256);
    WriteAll(dir / "noise.ini", noise);
    TIniFile noisy(dir / "noise.ini");
    EXPECT_EQ(noisy.ReadInteger("Form", "Left", 12), 12);
    noisy.WriteInteger("Form", "Left", 13);
    EXPECT_EQ(noisy.ReadInteger("Form", "Left", 12), 13);
}

TEST(IniFile, SeesOutsideChangesAndReportsFailedWrites)
{
    TempDir dir;
    TIniFile ini(dir / "Config.ini");
    ini.WriteInteger("Form", "Left", 1);
    WriteAll(ini.FileName(), "[Form]\nLeft=2000000\n");
    EXPECT_EQ(ini.ReadInteger("Form", "Left", 0), 2000000);

    // The folder part is a plain file: the write fails and says so.
    WriteAll(dir / "plain", "x");
    TIniFile bad(dir / "plain/Config.ini");
    EXPECT_THROW(bad.WriteInteger("Form", "Left", 1), EIniFileException);
    EXPECT_EQ(bad.ReadInteger("Form", "Left", 8), 8);
    EXPECT_EQ(ReadAll(dir / "plain"), "x");

    // A file that cannot be read is not overwritten (root reads anything).
    if (::geteuid() != 0) {
        ::chmod(ini.FileName().c_str(), 0);
        EXPECT_EQ(ini.ReadInteger("Form", "Left", 3), 3);
        EXPECT_THROW(ini.WriteInteger("Form", "Top", 1), EIniFileException);
        ::chmod(ini.FileName().c_str(), 0600);
        EXPECT_EQ(ReadAll(ini.FileName()), "[Form]\nLeft=2000000\n");
    }
}

TEST(IniUtils, SettingsFolderAndGlobalFile)
{
    TempDir dir;
    {
        ScopedEnv config("XDG_CONFIG_HOME", (dir.Path + "/cfg/").c_str());
        EXPECT_EQ(GetAppDataFolder(), dir.Path + "/cfg");
        EXPECT_FALSE(fs::exists(dir / "cfg"));  // not created by the lookup

        // First run: the folder chain is made at start-up, the file at the first write.
        InitializeIniUtils();
        EXPECT_TRUE(fs::is_directory(dir / "cfg/Zandovell"));
        EXPECT_EQ(SettingsFile().FileName(), dir.Path + "/cfg/Zandovell/Config.ini");
        EXPECT_FALSE(fs::exists(SettingsFile().FileName()));
        EXPECT_FALSE(IniSectionExists("Form"));
        EXPECT_EQ(IniReadInteger("Form", "Left", 33), 33);
        EXPECT_TRUE(IniReadBool("Form", "Maximized", true));

        IniWriteInteger("Form", "Left", 5);
        IniWriteBool("Form", "Maximized", false);
        EXPECT_EQ(ReadAll(SettingsFile().FileName()), "[Form]\nLeft=5\nMaximized=0\n");
        EXPECT_TRUE(IniValueExists("form", "left"));
        EXPECT_FALSE(IniReadBool("Form", "Maximized", true));

        // Garbage values fall back to each caller's default.
        WriteAll(SettingsFile().FileName(), "[Form]\nLeft=abc\nMaximized=\xff\xfe\n");
        EXPECT_EQ(IniReadInteger("Form", "Left", 33), 33);
        EXPECT_TRUE(IniReadBool("Form", "Maximized", true));
        FinalizeIniUtils();
    }
    {
        // A relative XDG_CONFIG_HOME is ignored.
        ScopedEnv config("XDG_CONFIG_HOME", "relative/cfg");
        ScopedEnv home("HOME", dir.Path.c_str());
        EXPECT_EQ(GetAppDataFolder(), dir.Path + "/.config");
        EXPECT_EQ(GetAppDataSubFolder("A/B"), dir.Path + "/.config/A/B");
        EXPECT_TRUE(fs::is_directory(dir / ".config/A/B"));
    }
    EXPECT_TRUE(FileExists(dir / "cfg/Zandovell/Config.ini"));
    EXPECT_FALSE(FileExists(dir / "cfg/Zandovell"));
    EXPECT_FALSE(FileExists(""));
    EXPECT_EQ(ExtractFilePath("/a/b/c.html"), "/a/b/");
    EXPECT_EQ(ExtractFilePath("c.html"), "");
    EXPECT_FALSE(ForceDirectories(dir / "cfg/Zandovell/Config.ini/sub"));
}
