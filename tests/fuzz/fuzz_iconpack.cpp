// Arbitrary bytes read as an icon pack: a sound pack or "Invalid Zandovell Icon Pack file.",
// nothing else, and what loads is consistent.

#include <cstdint>
#include <cstdlib>

#include "IconPacks.h"
#include "Streams.h"

using namespace zv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    TMemoryStream Stream;
    Stream.WriteBuffer(Data, static_cast<int64_t>(Size));
    Stream.SetPosition(0);
    TIconPack Pack;
    try {
        Pack.LoadFromStream(Stream);
    } catch (const EIconPackError&) {
        if (!Pack.Names.empty() || !Pack.ImageList.Bitmap.empty())
            std::abort();
        return 0;
    }
    const TImageListBlock& L = Pack.ImageList;
    for (const std::string& Name : Pack.Names)
        if (!IsPlainFileName(Name))
            std::abort();
    if (L.Bitmap.size() > Size || L.CellWidth <= 0 || L.CellHeight <= 0 || L.Count < 0)
        std::abort();
    if (L.Count > 0) {
        const int64_t Last = L.Count - 1;
        if ((Last % L.Columns + 1) * L.CellWidth > L.BitmapWidth ||
            (Last / L.Columns + 1) * L.CellHeight > L.BitmapHeight)
            std::abort();
    }
    return 0;
}
