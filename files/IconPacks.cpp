#include "IconPacks.h"

#include <filesystem>

#include "Streams.h"
#include "TypedStreams.h"

namespace fs = std::filesystem;

namespace zv {

namespace {

const std::string IconPackHeader = "Zandovell Icon Pack";

// Bounds that no sound pack comes near; they keep a hostile one from asking for gigabytes.
constexpr int64_t MaxBitmapPixels = 16 * 1024 * 1024;
constexpr int64_t MaxBitmapBytes = 4 * MaxBitmapPixels + 65536;
constexpr int64_t MaxIconBytes = 64 * 1024 * 1024;
constexpr int64_t MaxNameLength = 1024;
constexpr int MaxCellSize = 1024;

[[noreturn]] void Invalid()
{
    throw EIconPackError("Invalid Zandovell Icon Pack file.");
}

void Check(bool Condition)
{
    if (!Condition)
        Invalid();
}

uint32_t Le32(const uint8_t* P)
{
    return P[0] | P[1] << 8 | P[2] << 16 | static_cast<uint32_t>(P[3]) << 24;
}

// An icon's file name, checked to be a plain name.
std::string ReadName(TStream& Stream, TTypedStreamAdapter& In)
{
    const int64_t Length = In.ReadLength();
    Check(Length <= MaxNameLength);
    std::string Name(static_cast<size_t>(Length), '\0');
    Stream.ReadBuffer(Name.data(), Length);
    Check(IsPlainFileName(Name));
    return Name;
}

// Checks the header and answers the offset of the image-list block.
int64_t ReadHeader(TTypedStreamAdapter& In)
{
    if (In.ReadString() != IconPackHeader)
        Invalid();
    return In.ReadInteger();
}

}  // namespace

bool IsPlainFileName(const std::string& Name)
{
    if (Name.empty() || Name == "." || Name == "..")
        return false;
    for (unsigned char C : Name)
        if (C < 0x20 || C == 0x7F || C == '/' || C == '\\' || C == ':')
            return false;
    return true;
}

TImageListBlock ReadImageListBlock(TStream& Stream, int64_t End)
{
    TImageListBlock Result;
    const int64_t Start = Stream.Position();
    Check(End - Start >= 14 + 40 + 16);
    // The BMP file header and the info header.
    uint8_t Head[54];
    Stream.ReadBuffer(Head, sizeof Head);
    Check(Head[0] == 'B' && Head[1] == 'M');
    const int64_t FileSize = Le32(Head + 2), Bits = Le32(Head + 10), InfoSize = Le32(Head + 14);
    Check(FileSize >= 54 && FileSize <= End - Start - 16 && FileSize <= MaxBitmapBytes);
    Check(InfoSize >= 40 && 14 + InfoSize <= FileSize && Bits >= 14 + InfoSize && Bits <= FileSize);
    const int64_t Width = static_cast<int32_t>(Le32(Head + 18));
    const int64_t Height = std::abs(static_cast<int64_t>(static_cast<int32_t>(Le32(Head + 22))));
    const int BitCount = Head[28] | Head[29] << 8;
    const uint32_t Compression = Le32(Head + 30);
    Check(Width > 0 && Height > 0 && Width * Height <= MaxBitmapPixels);
    Check(BitCount == 1 || BitCount == 4 || BitCount == 8 || BitCount == 16 || BitCount == 24 ||
          BitCount == 32);
    // Uncompressed pixels must all be in the file.
    if (Compression == 0 || Compression == 3) {
        const int64_t Stride = (Width * BitCount + 31) / 32 * 4;
        Check(Bits + Stride * Height <= FileSize);
    }
    Result.Bitmap.resize(static_cast<size_t>(FileSize));
    std::copy(Head, Head + sizeof Head, Result.Bitmap.begin());
    Stream.ReadBuffer(Result.Bitmap.data() + sizeof Head, FileSize - static_cast<int64_t>(sizeof Head));
    Result.BitmapWidth = static_cast<int>(Width);
    Result.BitmapHeight = static_cast<int>(Height);

    TTypedStreamAdapter In(Stream);
    Result.CellWidth = In.ReadInteger();
    Result.CellHeight = In.ReadInteger();
    Result.Count = In.ReadInteger();
    Result.Columns = In.ReadInteger();
    Check(Stream.Position() <= End);
    Check(Result.CellWidth > 0 && Result.CellWidth <= MaxCellSize && Result.CellHeight > 0 &&
          Result.CellHeight <= MaxCellSize && Result.Count >= 0);
    if (Result.Count > 0) {
        // Every cell lies inside the picture.
        Check(Result.Columns >= 1);
        const int64_t Columns = std::min<int64_t>(Result.Columns, Result.Count);
        const int64_t Rows = (Result.Count + int64_t(Result.Columns) - 1) / Result.Columns;
        Check(Columns * Result.CellWidth <= Width && Rows * Result.CellHeight <= Height);
    }
    return Result;
}

void TIconPack::LoadFromFile(const std::string& Name)
{
    TFileStream File(Name, TFileMode::OpenRead);
    LoadFromStream(File);
    FileName = Name;
}

void TIconPack::LoadFromStream(TStream& Stream)
{
    Names.clear();
    ImageList = TImageListBlock();
    TTypedStreamAdapter In(Stream);
    try {
        const int64_t Offset = ReadHeader(In);
        std::vector<std::string> NewNames;
        while (In.ReadInteger() == 1) {
            std::string Name = ReadName(Stream, In);
            In.SkipStream();
            NewNames.push_back(std::move(Name));
        }
        Check(Offset > 0 && Offset <= Stream.Size() - 4);
        Stream.SetPosition(Offset);
        const int64_t Length = In.ReadLength();
        const int64_t Start = Stream.Position();
        TImageListBlock Block = ReadImageListBlock(Stream, Start + Length);
        Names = std::move(NewNames);
        ImageList = std::move(Block);
    } catch (const EIconPackError&) {
        throw;
    } catch (const EStreamError&) {
        Invalid();
    }
}

std::string TIconPack::ExtractIcon(int Index, const std::string& Folder,
                                   const std::string& ProtectedFile) const
{
    fs::create_directories(Folder);
    if (Index < 0)
        return {};
    TFileStream File(FileName, TFileMode::OpenRead);
    TTypedStreamAdapter In(File);
    std::string Name;
    TMemoryStream Data;
    try {
        ReadHeader(In);
        for (int I = 0;; ++I) {
            if (In.ReadInteger() != 1)
                return {};
            if (I < Index) {
                In.SkipStream();  // the name
                In.SkipStream();  // the data
                continue;
            }
            Name = ReadName(File, In);
            const int64_t Size = In.ReadLength();
            Check(Size <= MaxIconBytes);
            File.Seek(-4, TSeekOrigin::Current);
            In.ReadStream(Data);
            break;
        }
    } catch (const EStreamError&) {
        Invalid();
    }
    const fs::path Target = fs::path(Folder) / Name;
    if (!ProtectedFile.empty() &&
        fs::weakly_canonical(fs::absolute(Target)) == fs::weakly_canonical(fs::absolute(ProtectedFile)))
        throw EIconPackError("The icon \"" + Name + "\" would replace the open document.");
    SaveFileAtomically(Target.string(), Data.Memory(), Data.Size());
    return Target.string();
}

// ------------------------------------------------------------------ writer

void TIconPackWriter::AddIcon(const std::string& Name, const std::vector<uint8_t>& Data)
{
    Icons.emplace_back(Name, Data);
}

void TIconPackWriter::SetImageList(const std::vector<uint8_t>& Bitmap, int CellWidth, int CellHeight,
                                   int Count, int Columns)
{
    Block = Bitmap;
    for (int V : {CellWidth, CellHeight, Count, Columns})
        for (int Shift = 0; Shift < 32; Shift += 8)
            Block.push_back(static_cast<uint8_t>(static_cast<uint32_t>(V) >> Shift));
}

namespace {

void WriteInteger(TStream& S, int64_t V)
{
    const uint32_t U = static_cast<uint32_t>(V);
    const uint8_t Bytes[4] = {uint8_t(U), uint8_t(U >> 8), uint8_t(U >> 16), uint8_t(U >> 24)};
    S.WriteBuffer(Bytes, 4);
}

void WriteBlock(TStream& S, const void* Data, size_t Size)
{
    WriteInteger(S, static_cast<int64_t>(Size));
    if (Size)
        S.WriteBuffer(Data, static_cast<int64_t>(Size));
}

}  // namespace

void TIconPackWriter::SaveToStream(TStream& Stream) const
{
    const int64_t Start = Stream.Position();
    WriteBlock(Stream, IconPackHeader.data(), IconPackHeader.size());
    const int64_t OffsetAt = Stream.Position();
    WriteInteger(Stream, 0);
    for (const auto& [Name, Data] : Icons) {
        WriteInteger(Stream, 1);
        WriteBlock(Stream, Name.data(), Name.size());
        WriteBlock(Stream, Data.data(), Data.size());
    }
    WriteInteger(Stream, 0);
    const int64_t Offset = Stream.Position() - Start;
    WriteBlock(Stream, Block.data(), Block.size());
    const int64_t EndAt = Stream.Position();
    Stream.SetPosition(OffsetAt);
    WriteInteger(Stream, Offset);
    Stream.SetPosition(EndAt);
}

void TIconPackWriter::SaveToFile(const std::string& FileName) const
{
    TMemoryStream Memory;
    SaveToStream(Memory);
    SaveFileAtomically(FileName, Memory.Memory(), Memory.Size());
}

}  // namespace zv
