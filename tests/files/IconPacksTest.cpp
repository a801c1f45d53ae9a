// Icon packs: writing, reading, extracting, and hostile files that must be refused whole.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>

#include "IconPacks.h"
#include "Streams.h"
#include "support/TempFiles.h"

using namespace zv;
namespace fs = std::filesystem;

namespace {

void Put32(std::vector<uint8_t>& B, size_t At, uint32_t V)
{
    for (int I = 0; I < 4; ++I)
        B[At + I] = static_cast<uint8_t>(V >> (8 * I));
}

// A 24-bit BMP file of Width x Height.
std::vector<uint8_t> MakeBmp(int Width, int Height)
{
    const int Stride = (Width * 3 + 3) / 4 * 4;
    std::vector<uint8_t> B(54 + Stride * Height, 0x80);
    B[0] = 'B';
    B[1] = 'M';
    Put32(B, 2, static_cast<uint32_t>(B.size()));
    Put32(B, 6, 0);
    Put32(B, 10, 54);
    Put32(B, 14, 40);
    Put32(B, 18, Width);
    Put32(B, 22, Height);
    B[26] = 1;
    B[27] = 0;
    B[28] = 24;
    B[29] = 0;
    Put32(B, 30, 0);
    Put32(B, 34, Stride * Height);
    return B;
}

std::string PackBytes(const std::vector<std::pair<std::string, std::string>>& Icons,
                      const std::vector<uint8_t>& Bitmap, int CellW, int CellH, int Count, int Columns)
{
    TIconPackWriter W;
    for (const auto& [Name, Data] : Icons)
        W.AddIcon(Name, std::vector<uint8_t>(Data.begin(), Data.end()));
    W.SetImageList(Bitmap, CellW, CellH, Count, Columns);
    TMemoryStream S;
    W.SaveToStream(S);
    return std::string(S.Bytes().begin(), S.Bytes().end());
}

const std::vector<std::pair<std::string, std::string>> ThreeIcons = {
    {"a.png", "first"}, {"b.gif", "second icon"}, {"c.png", ""}};

std::string GoodPack()
{
    return PackBytes(ThreeIcons, MakeBmp(16, 16), 8, 8, 2, 2);
}

void Load(TIconPack& Pack, const std::string& Bytes)
{
    TMemoryStream S;
    S.WriteBuffer(Bytes.data(), static_cast<int64_t>(Bytes.size()));
    S.SetPosition(0);
    Pack.LoadFromStream(S);
}

// Loading fails with the pack's own message and leaves nothing behind.
void ExpectInvalid(const std::string& Bytes, const std::string& Why)
{
    TIconPack Pack;
    Load(Pack, GoodPack());
    try {
        Load(Pack, Bytes);
        ADD_FAILURE() << Why << ": loaded";
    } catch (const EIconPackError& E) {
        EXPECT_STREQ(E.what(), "Invalid Zandovell Icon Pack file.") << Why;
    }
    EXPECT_TRUE(Pack.Names.empty()) << Why;
    EXPECT_TRUE(Pack.ImageList.Bitmap.empty()) << Why;
}

// Offsets into GoodPack(): header string, block offset, first entry.
constexpr size_t OffsetAt = 4 + 19;
constexpr size_t FirstEntry = OffsetAt + 4;

}  // namespace

TEST(IconPacks, WriteLoadAndExtract)
{
    const std::string Bytes = GoodPack();
    TIconPack Pack;
    Load(Pack, Bytes);
    EXPECT_EQ(Pack.Names, (std::vector<std::string>{"a.png", "b.gif", "c.png"}));
    EXPECT_EQ(Pack.ImageList.Count, 2);  // the third icon has no picture
    EXPECT_EQ(Pack.ImageList.Columns, 2);
    EXPECT_EQ(Pack.ImageList.CellWidth, 8);
    EXPECT_EQ(Pack.ImageList.BitmapWidth, 16);
    EXPECT_EQ(Pack.ImageList.Bitmap, MakeBmp(16, 16));

    test::TempDir Dir;
    test::WriteAll(Dir / "pack.icp", Bytes);
    Pack.LoadFromFile(Dir / "pack.icp");
    EXPECT_EQ(Pack.FileName, Dir / "pack.icp");

    const std::string Images = Dir / "doc/images";
    EXPECT_EQ(Pack.ExtractIcon(1, Images), Images + "/b.gif");
    EXPECT_EQ(test::ReadAll(Images + "/b.gif"), "second icon");
    test::WriteAll(Images + "/a.png", "old");
    Pack.ExtractIcon(0, Images);
    EXPECT_EQ(test::ReadAll(Images + "/a.png"), "first");
    Pack.ExtractIcon(2, Images);
    EXPECT_TRUE(fs::exists(Images + "/c.png"));
    EXPECT_EQ(fs::file_size(Images + "/c.png"), 0u);
    EXPECT_EQ(Pack.ExtractIcon(3, Images), "");
    EXPECT_EQ(Pack.ExtractIcon(-1, Images), "");
    EXPECT_EQ(std::distance(fs::directory_iterator(Images), fs::directory_iterator()), 3);

    // The open document is never replaced.
    test::WriteAll(Images + "/doc.html", "<p>mine</p>");
    test::WriteAll(Dir / "other.icp", PackBytes({{"doc.html", "icon"}}, MakeBmp(8, 8), 8, 8, 1, 1));
    TIconPack Other;
    Other.LoadFromFile(Dir / "other.icp");
    EXPECT_THROW(Other.ExtractIcon(0, Images, Images + "/../images/doc.html"), EIconPackError);
    EXPECT_EQ(test::ReadAll(Images + "/doc.html"), "<p>mine</p>");

    // A pack changed on disk after loading is checked again; a vanished one cannot be opened.
    test::WriteAll(Dir / "pack.icp", PackBytes({{"../evil", "x"}}, MakeBmp(8, 8), 8, 8, 1, 1));
    EXPECT_THROW(Pack.ExtractIcon(0, Images), EIconPackError);
    EXPECT_FALSE(fs::exists(Dir / "doc/evil"));
    fs::remove(Dir / "pack.icp");
    EXPECT_THROW(Pack.ExtractIcon(0, Images), EFOpenError);
}

TEST(IconPacks, HostileFilesAreRefused)
{
    const std::string Good = GoodPack();
    auto Patched = [&](size_t At, uint32_t V) {
        std::string B = Good;
        for (int I = 0; I < 4; ++I)
            B[At + I] = static_cast<char>(V >> (8 * I));
        return B;
    };
    uint32_t Offset;
    std::memcpy(&Offset, Good.data() + OffsetAt, 4);

    ExpectInvalid("", "empty");
    ExpectInvalid("\x13\0\0\0Zandovell Icon PacK" + Good.substr(23), "header");
    ExpectInvalid(Patched(FirstEntry + 4, 0xFFFFFFF0u), "negative name length");
    ExpectInvalid(Patched(FirstEntry + 4, 0x7FFFFFFFu), "huge name length");
    ExpectInvalid(Patched(FirstEntry + 4 + 4 + 5, 0x40000000u), "huge data length");
    ExpectInvalid(Patched(OffsetAt, static_cast<uint32_t>(Good.size())), "offset past the end");
    ExpectInvalid(Patched(OffsetAt, 0xFFFFFF00u), "negative offset");
    ExpectInvalid(Patched(Offset, 0x7FFFFFFFu), "huge block length");
    ExpectInvalid(Patched(Offset + 4 + 2, 0x00100000u), "bitmap larger than the block");
    ExpectInvalid(Patched(Offset + 4 + 18, 100000u), "bitmap pixels missing");
    ExpectInvalid(Patched(Offset + 4 + 22, 0x80000000u), "bitmap height of -2^31");
    ExpectInvalid(PackBytes(ThreeIcons, MakeBmp(16, 16), 8, 8, 5, 2), "more cells than the grid");
    ExpectInvalid(PackBytes(ThreeIcons, MakeBmp(16, 16), 8, 8, 2, 0), "zero columns");
    ExpectInvalid(PackBytes(ThreeIcons, MakeBmp(16, 16), 8, 8, 2, -1), "negative columns");
    ExpectInvalid(PackBytes(ThreeIcons, MakeBmp(16, 16), 0, 8, 2, 2), "zero cell width");
    ExpectInvalid(PackBytes(ThreeIcons, MakeBmp(16, 16), 8, 8, -2, 2), "negative count");
    ExpectInvalid(PackBytes(ThreeIcons, MakeBmp(16, 16), 0x10000000, 0x10000000, 1, 1), "huge cells");
    std::vector<uint8_t> Small = MakeBmp(8, 8);
    Small.resize(Small.size() - 10);
    ExpectInvalid(PackBytes(ThreeIcons, Small, 8, 8, 1, 1), "bitmap cut short");
    ExpectInvalid(PackBytes({{std::string(5000, 'n'), "x"}}, MakeBmp(8, 8), 8, 8, 1, 1), "long name");
    for (const char* Name : {"a/b.png", "a\\b.png", "..", ".", "C:x.png", "/etc/x", "", "a\nb"})
        ExpectInvalid(PackBytes({{Name, "x"}}, MakeBmp(8, 8), 8, 8, 1, 1), Name);
    // Every truncation of a sound pack.
    for (size_t N = 0; N < Good.size(); ++N)
        ExpectInvalid(Good.substr(0, N), "cut at " + std::to_string(N));
    // The empty pack is sound.
    TIconPack Empty;
    Load(Empty, PackBytes({}, MakeBmp(8, 8), 8, 8, 0, 0));
    EXPECT_TRUE(Empty.Names.empty());
}
