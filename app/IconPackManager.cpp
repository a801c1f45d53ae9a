#include "IconPackManager.h"

#include <QFileInfo>
#include <QImage>
#include <QListWidget>
#include <QTabWidget>
#include <algorithm>
#include <filesystem>

#include "Streams.h"

static void InitAppResources()
{
    Q_INIT_RESOURCE(app);
}

namespace fs = std::filesystem;

namespace zv {

namespace {

// A cell with fuchsia made transparent.
QPixmap MaskedCell(const QImage& Source, const QRect& Cell)
{
    QImage Image = Source.copy(Cell).convertToFormat(QImage::Format_ARGB32);
    for (int Y = 0; Y < Image.height(); ++Y) {
        auto* Line = reinterpret_cast<QRgb*>(Image.scanLine(Y));
        for (int X = 0; X < Image.width(); ++X)
            if ((Line[X] & 0xFFFFFF) == 0xFF00FF)
                Line[X] = 0;
    }
    return QPixmap::fromImage(Image);
}

bool LessIgnoringCase(const std::string& A, const std::string& B)
{
    return std::lexicographical_compare(A.begin(), A.end(), B.begin(), B.end(), [](char X, char Y) {
        auto Lower = [](unsigned char C) { return C >= 'A' && C <= 'Z' ? C + 32 : C; };
        return Lower(X) < Lower(Y);
    });
}

}  // namespace

bool LoadImageListFromBlock(TImageList& List, const TImageListBlock& Block)
{
    const QImage Picture = QImage::fromData(Block.Bitmap.data(), static_cast<int>(Block.Bitmap.size()), "BMP");
    if (Picture.isNull() || Picture.width() != Block.BitmapWidth || Picture.height() != Block.BitmapHeight)
        return false;
    List.Clear();
    List.CellSize = QSize(Block.CellWidth, Block.CellHeight);
    for (int I = 0; I < Block.Count; ++I)
        List.Images << MaskedCell(Picture, QRect(I % Block.Columns * Block.CellWidth,
                                                 I / Block.Columns * Block.CellHeight,
                                                 Block.CellWidth, Block.CellHeight));
    return true;
}

void LoadImageListFromStream(TImageList& List, TStream& Stream, int64_t End)
{
    if (!LoadImageListFromBlock(List, ReadImageListBlock(Stream, End)))
        throw EIconPackError("Invalid Zandovell Icon Pack file.");
}

bool LoadImageList(TImageList& List, int ResourceId)
{
    InitAppResources();
    const QImage Strip(QString(":/rcdata/%1.png").arg(ResourceId));
    if (Strip.isNull() || Strip.height() == 0)
        return false;
    const int Size = Strip.height();
    for (int I = 0; I < Strip.width() / Size; ++I)
        List.Images << MaskedCell(Strip, QRect(I * Size, 0, Size, Size));
    return true;
}

// ------------------------------------------------------------------ TIconPackManager

TIconPackManager::TIconPackManager(QTabWidget* PageControl) : PageControl(PageControl) {}

TIconPackManager::~TIconPackManager()
{
    Clear();
}

void TIconPackManager::Clear()
{
    Packs.clear();
}

TIconPackManager::TPack& TIconPackManager::AddPack()
{
    Packs.push_back(std::make_unique<TPack>());
    return *Packs.back();
}

void TIconPackManager::LoadFolder(const std::string& Folder)
{
    std::error_code Error;
    for (fs::directory_iterator It(Folder, Error), End; !Error && It != End; It.increment(Error)) {
        const std::string Name = It->path().filename().string();
        std::string Extension = It->path().extension().string();
        std::transform(Extension.begin(), Extension.end(), Extension.begin(), ::tolower);
        if (Extension != ".icp" || !IsRegularFile(It->path().string()))
            continue;
        TPack& Pack = AddPack();
        bool Loaded = false;
        try {
            Pack.Pack.LoadFromFile(It->path().string());
            Loaded = LoadImageListFromBlock(Pack.ImageList, Pack.Pack.ImageList);
        } catch (const std::exception&) {
        }
        if (!Loaded)
            Packs.pop_back();
    }
    std::stable_sort(Packs.begin(), Packs.end(), [](const auto& A, const auto& B) {
        return LessIgnoringCase(A->Pack.FileName, B->Pack.FileName);
    });
    if (!PageControl)
        return;
    for (size_t I = 0; I < Packs.size(); ++I) {
        TPack& Pack = *Packs[I];
        auto* List = new QListWidget;
        List->setViewMode(QListView::IconMode);
        List->setIconSize(Pack.ImageList.CellSize);
        List->setResizeMode(QListView::Adjust);
        List->setMovement(QListView::Static);
        List->setWordWrap(true);
        List->setProperty("Tag", static_cast<int>(I));
        for (size_t N = 0; N < Pack.Pack.Names.size(); ++N) {
            auto* Item = new QListWidgetItem(QString::fromStdString(Pack.Pack.Names[N]), List);
            if (N < static_cast<size_t>(Pack.ImageList.Count()))
                Item->setIcon(QIcon(Pack.ImageList.Images[static_cast<int>(N)]));
        }
        QObject::connect(List, &QListWidget::itemDoubleClicked, List,
                         [this, List](QListWidgetItem*) { IconClick(List); });
        PageControl->addTab(List, QFileInfo(QString::fromStdString(Pack.Pack.FileName)).completeBaseName());
    }
}

void TIconPackManager::IconClick(QListWidget* List)
{
    if (!OnIconSelect || !List->currentItem() || !List->currentItem()->isSelected())
        return;
    const int Tag = List->property("Tag").toInt();
    if (Tag < 0 || Tag >= static_cast<int>(Packs.size()))
        return;
    OnIconSelect(this, &Packs[Tag]->Pack, List->currentItem()->text(), List->currentRow());
}

}  // namespace zv
