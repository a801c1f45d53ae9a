#pragma once
// The icon packs beside the program, one tab each with the pack's icons; a double-click on an
// icon reports it through OnIconSelect. Also the two loaders of image lists: from an icon
// pack's block and from a strip compiled into the program.

#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "IconPacks.h"
#include "ImageList.h"

class QListWidget;
class QTabWidget;

namespace zv {

class TStream;

// The cells of a checked image-list block, fuchsia (FF00FF) transparent. False when the
// picture cannot be decoded or disagrees with the block.
bool LoadImageListFromBlock(TImageList& List, const TImageListBlock& Block);
// The same from a stream at the block's content, ending at End; raises EIconPackError.
void LoadImageListFromStream(TImageList& List, TStream& Stream, int64_t End);
// A strip of square cells as high as the strip, compiled in under ":/rcdata/<Id>.png"
// (1000: the tool palette's 39 icons of 16 x 16); the list's cell size is kept. False when
// there is no such strip.
bool LoadImageList(TImageList& List, int ResourceId);

class TIconPackManager {
public:
    explicit TIconPackManager(QTabWidget* PageControl);
    ~TIconPackManager();

    struct TPack {
        TIconPack Pack;
        TImageList ImageList;
    };
    std::vector<std::unique_ptr<TPack>> Packs;
    QTabWidget* PageControl;  // not owned
    // Sender, pack, icon name, icon index.
    std::function<void(TIconPackManager*, TIconPack*, const QString&, int)> OnIconSelect;

    void Clear();
    TPack& AddPack();
    // Loads every "*.icp" of Folder (any case of the extension); a pack that fails to load is
    // left out silently. Packs are sorted by file name ignoring case, one tab each.
    void LoadFolder(const std::string& Folder);
    // The list views' double-click: the selected icon of the list's pack, if any.
    void IconClick(QListWidget* List);
};

}  // namespace zv
