#pragma once
// Icon packs (".icp"): a header, the offset of the image-list block, then (marker 1, icon file
// name, icon file bytes) entries ended by any other integer; at the offset, a block holding a
// BMP picture of all cells on a grid followed by cell width, cell height, count and columns.
// Packs come from anywhere, so every length, offset, size and name is checked before use.

#include <cstdint>
#include <string>
#include <vector>

#include "Exceptions.h"

namespace zv {

class TStream;

// "Invalid Zandovell Icon Pack file."
class EIconPackError : public Exception { using Exception::Exception; };

// The image-list block, checked: the cells fit the picture, the picture fits the block.
struct TImageListBlock {
    std::vector<uint8_t> Bitmap;  // a whole BMP file
    int BitmapWidth = 0, BitmapHeight = 0;
    int CellWidth = 32, CellHeight = 32;
    int Count = 0;
    int Columns = 0;
};

// Reads the block's content (picture, then four integers) from Stream at its position; the
// content ends at End. Raises EIconPackError when anything disagrees.
TImageListBlock ReadImageListBlock(TStream& Stream, int64_t End);

// A file name that names a file inside a folder and nothing else: not empty, no "/", "\",
// ":", control characters, "." or "..".
bool IsPlainFileName(const std::string& Name);

class TIconPack {
public:
    std::string FileName;
    std::vector<std::string> Names;  // the icons' file names, in file order
    TImageListBlock ImageList;

    void LoadFromFile(const std::string& Name);
    // Raises EIconPackError for anything but a sound pack, and then holds nothing.
    void LoadFromStream(TStream& Stream);

    // Writes the data of entry Index into Folder (made when missing) under the entry's name and
    // answers the file's path; empty when there is no such entry. A file of that name is
    // replaced, except ProtectedFile (the open document): that raises EIconPackError.
    std::string ExtractIcon(int Index, const std::string& Folder,
                            const std::string& ProtectedFile = {}) const;
};

// Writes packs: the entries in order, then the image-list block.
class TIconPackWriter {
public:
    void AddIcon(const std::string& Name, const std::vector<uint8_t>& Data);
    // Bitmap is a whole BMP file holding the cells on a grid of Columns.
    void SetImageList(const std::vector<uint8_t>& Bitmap, int CellWidth, int CellHeight, int Count,
                      int Columns);
    void SaveToStream(TStream& Stream) const;
    void SaveToFile(const std::string& FileName) const;

private:
    std::vector<std::pair<std::string, std::vector<uint8_t>>> Icons;
    std::vector<uint8_t> Block;
};

}  // namespace zv
