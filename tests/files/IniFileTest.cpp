#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "IniFile.h"
#include "support/TempFiles.h"
#include "support/Unprivileged.h"

namespace fs = std::filesystem;
using namespace zv;
using namespace zv::test;

TEST(IniFile, WritesGiveExactBytes)
{
    TempDir dir;
    TIniFile ini(dir / "Config.ini");
    ini.WriteInteger("Form", "Left", 10);
    ini.WriteInteger("Form", "Top", -20);
    ini.WriteBool("Form", "Maximized", true);
    ini.WriteString("Recents", "Item0", "/home/u/a b.html");
    ini.WriteInteger("FORM", "left", 15);  // replaced in place, whatever the case
    ini.WriteBool("form", "Maximized", false);
    ini.WriteString("Form", "Width", "");  // after the section's last key
    EXPECT_EQ(ReadAll(ini.FileName()),
              "[Form]\nleft=15\nTop=-20\nMaximized=0\nWidth=\n\n[Recents]\nItem0=/home/u/a b.html\n");

    ini.EraseSection("form");
    ini.WriteString("Form", "Left", "1");
    EXPECT_EQ(ReadAll(ini.FileName()), "[Recents]\nItem0=/home/u/a b.html\n\n[Form]\nLeft=1\n");

    // A line break in a value cannot start a line of its own.
    ini.WriteString("Recents", "Item1", "a\n[Form]\r\nLeft=99");
    EXPECT_EQ(ini.ReadInteger("Form", "Left", 0), 1);
    EXPECT_EQ(ini.ReadString("Recents", "Item1", ""), "a [Form]  Left=99");
    // No temporary files are left beside it.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path), fs::directory_iterator()), 1);
}

TEST(IniFile, ReadsValuesWithDefaults)
{
    TempDir dir;
    WriteAll(dir / "Config.ini", "[Form]\r\n  Left =  42  \r\nTop=0x1F\r\nHeight=12abc\r\n"
                                 "Big=99999999999\r\nEmpty=\r\nMaximized=yes\r\nVisible=7\r\n");
    const TIniFile ini(dir / "Config.ini");
    EXPECT_EQ(ini.ReadInteger("form", "LEFT", 0), 42);
    EXPECT_EQ(ini.ReadInteger("Form", "Top", 0), 31);
    EXPECT_EQ(ini.ReadInteger("Form", "Height", 5), 5);
    EXPECT_EQ(ini.ReadInteger("Form", "Big", 5), 5);
    EXPECT_EQ(ini.ReadInteger("Form", "Empty", 5), 5);
    EXPECT_EQ(ini.ReadString("Form", "Empty", "dflt"), "");  // present but empty
    EXPECT_EQ(ini.ReadString("Form", "Absent", "dflt"), "dflt");
    EXPECT_TRUE(ini.ReadBool("Form", "Maximized", true));  // not a number: the default
    EXPECT_TRUE(ini.ReadBool("Form", "Visible", false));
    EXPECT_TRUE(ini.ValueExists("Form", "empty"));
    EXPECT_FALSE(TIniFile(dir / "none/Config.ini").SectionExists("Form"));

    // Changes made by others are seen.
    WriteAll(dir / "Config.ini", "[Form]\nLeft=2000000\n");
    EXPECT_EQ(ini.ReadInteger("Form", "Left", 0), 2000000);
}

TEST(IniFile, BrokenFileIsReadLenientlyAndKeptOnWrite)
{
    TempDir dir;
    const std::string huge(3 * 1024 * 1024, 'x');
    const std::string binary("\x00\x01\xff\xfe", 4);
    WriteAll(dir / "Config.ini", "\xEF\xBB\xBFOrphan=1\n[Form]\ngarbage without equals\n=no name\n"
                                 "; Left=5\nLeft=1\rTop=2\nLeft=3\n[Broken\nWidth=300\n" +
                                     binary + "=binary\n[Form]\nHeight=9\n[Recents]\nItem0=" +
                                     huge + "\n[Empty]\n");
    TIniFile ini(dir / "Config.ini");
    EXPECT_EQ(ini.ReadInteger("Form", "Left", 0), 1);  // the first of two keys
    EXPECT_EQ(ini.ReadInteger("Form", "Top", 0), 2);   // a lone CR ends a line
    EXPECT_EQ(ini.ReadInteger("Form", "Width", 0), 300);
    EXPECT_EQ(ini.ReadInteger("Form", "Height", 0), 0);  // only the first Form section
    EXPECT_EQ(ini.ReadString("Recents", "Item0", "").size(), huge.size());
    EXPECT_FALSE(ini.SectionExists("Broken"));
    EXPECT_FALSE(ini.SectionExists("Empty"));  // a header without keys
    EXPECT_EQ(ini.ReadSection("Form"), (std::vector<std::string>{"Left", "Top", "Width", binary}));

    // A write changes only its own line; the garbage stays as it was.
    ini.WriteInteger("Form", "Top", 4);
    const std::string after = ReadAll(ini.FileName());
    EXPECT_NE(after.find("garbage without equals\n=no name\n; Left=5\nLeft=1\nTop=4\nLeft=3\n"),
              std::string::npos);
    EXPECT_NE(after.find(binary + "=binary\n"), std::string::npos);
    EXPECT_NE(after.find("Item0=" + huge + "\n"), std::string::npos);
    ini.EraseSection("Form");  // every section of the name
    EXPECT_EQ(ini.ReadInteger("Form", "Height", -1), -1);

    std::string noise;
    for (int i = 0; i < 70000; ++i)
        noise += static_cast<char>((i * 7919) % 256);
    WriteAll(dir / "noise.ini", noise);
    TIniFile noisy(dir / "noise.ini");
    EXPECT_EQ(noisy.ReadInteger("Form", "Left", 12), 12);
    noisy.WriteInteger("Form", "Left", 13);
    EXPECT_EQ(noisy.ReadInteger("Form", "Left", 12), 13);

    // Too large to read whole: the line the limit cuts is not read, and writes stay in
    // memory while the file stays as it was.
    const size_t limit = TIniFile::MaxFileSize;
    std::string large = "[Form]\nLeft=1\n[Big]\n";
    while (large.size() < limit - 2000)
        large += "; " + std::string(1000, 'z') + "\n";
    large += "Pad=" + std::string(limit - 6 - large.size() - 5, 'p') + "\n";
    ASSERT_EQ(large.size(), limit - 6);
    large += "Cut=1234567\nAfter=1\n";
    WriteAll(dir / "large.ini", large);
    TIniFile big(dir / "large.ini");
    EXPECT_TRUE(big.TooLarge());
    EXPECT_EQ(big.ReadInteger("Form", "Left", 0), 1);
    EXPECT_EQ(big.ReadString("Big", "Pad", "").size(), limit - 6 - large.find("Pad=") - 5);
    EXPECT_EQ(big.ReadInteger("Big", "Cut", -1), -1);
    EXPECT_FALSE(big.ValueExists("Big", "After"));
    big.WriteInteger("Form", "Left", 5);
    big.EraseSection("Big");
    EXPECT_EQ(big.ReadInteger("Form", "Left", 0), 5);
    EXPECT_FALSE(big.SectionExists("Big"));
    EXPECT_TRUE(ReadAll(dir / "large.ini") == large);
    EXPECT_FALSE(noisy.TooLarge());
}

TEST(IniFile, FailedWritesRaiseAndKeepTheFile)
{
    TempDir dir;
    WriteAll(dir / "plain", "x");
    TIniFile bad(dir / "plain/Config.ini");  // the folder is a plain file
    EXPECT_THROW(bad.WriteInteger("Form", "Left", 1), EIniFileException);
    EXPECT_EQ(ReadAll(dir / "plain"), "x");

    // a file the user may not read is neither read nor overwritten
    WriteAll(dir / "Config.ini", "[Form]\nLeft=2\n");
    GiveToUnprivileged({dir.Path, dir / "Config.ini"});
    ::chmod((dir / "Config.ini").c_str(), 0);
    const std::optional<bool> Held = RunUnprivileged([&] {
        TIniFile ini(dir / "Config.ini");
        if (ini.ReadInteger("Form", "Left", 3) != 3) return false;
        try {
            ini.WriteInteger("Form", "Top", 1);
            return false;
        } catch (const EIniFileException&) {
        }
        return true;
    });
    if (!Held) GTEST_SKIP() << "no unprivileged user to run the check as";
    EXPECT_TRUE(*Held);
    ::chmod((dir / "Config.ini").c_str(), 0600);
    EXPECT_EQ(ReadAll(dir / "Config.ini"), "[Form]\nLeft=2\n");
}
