// The icon packs beside the program: the shipped packs load, bad ones are left out, tabs are
// sorted, a double-click reports the icon, and the tool strip is there.
#include <QApplication>
#include <QBuffer>
#include <QListWidget>
#include <QTabWidget>
#include <QTest>
#include <filesystem>
#include <gtest/gtest.h>

#include "DataFiles.h"
#include "IconPackManager.h"
#include "Streams.h"
#include "support/TempFiles.h"

namespace fs = std::filesystem;
using namespace zv;

namespace {

std::vector<uint8_t> Bmp(const QImage& Image)
{
    QByteArray Bytes;
    QBuffer Buffer(&Bytes);
    Buffer.open(QIODevice::WriteOnly);
    Image.save(&Buffer, "BMP");
    return std::vector<uint8_t>(Bytes.begin(), Bytes.end());
}

}  // namespace

TEST(IconPackManager, ShippedPacksTabsAndDoubleClick)
{
    const std::string Shipped = FindDataFolder("Icons");
    ASSERT_FALSE(Shipped.empty());
    test::TempDir Dir;
    fs::copy_file(Shipped + "/Bullets.icp", Dir / "bullets.icp");
    fs::copy_file(Shipped + "/Arrows.icp", Dir / "Arrows.ICP");
    fs::copy_file(Shipped + "/Arrows.icp", Dir / "arrows.icp.bak");
    fs::create_directory(Dir / "folder.icp");
    test::WriteAll(Dir / "broken.icp", "\x13\0\0\0Zandovell Icon Pack garbage");
    // Sound pack data, but a picture that does not decode.
    {
        TIconPackWriter W;
        W.AddIcon("x.png", {1, 2, 3});
        std::vector<uint8_t> Picture = Bmp(QImage(8, 8, QImage::Format_RGB888));
        Picture[28] = 7;  // no such bit count
        W.SetImageList(Picture, 8, 8, 1, 1);
        W.SaveToFile(Dir / "undecodable.icp");
    }
    // Three icons, two cells.
    {
        QImage Grid(32, 16, QImage::Format_RGB888);
        Grid.fill(QColor(255, 0, 255));
        Grid.setPixelColor(3, 3, Qt::blue);
        TIconPackWriter W;
        for (const char* Name : {"one.png", "two.png", "three.png"})
            W.AddIcon(Name, {'p'});
        W.SetImageList(Bmp(Grid), 16, 16, 2, 2);
        W.SaveToFile(Dir / "Small.icp");
    }

    QTabWidget Tabs;
    TIconPackManager Manager(&Tabs);
    std::vector<std::tuple<TIconPack*, QString, int>> Selected;
    Manager.OnIconSelect = [&](TIconPackManager* Sender, TIconPack* Pack, const QString& Name, int Index) {
        EXPECT_EQ(Sender, &Manager);
        Selected.emplace_back(Pack, Name, Index);
    };
    Manager.LoadFolder(Dir.Path);
    ASSERT_EQ(Tabs.count(), 3);
    EXPECT_EQ(Tabs.tabText(0), "Arrows");
    EXPECT_EQ(Tabs.tabText(1), "bullets");
    EXPECT_EQ(Tabs.tabText(2), "Small");
    ASSERT_EQ(Manager.Packs.size(), 3u);
    EXPECT_EQ(Manager.Packs[0]->Pack.Names.size(), 16u);
    EXPECT_EQ(Manager.Packs[0]->ImageList.Count(), 16);
    EXPECT_EQ(Manager.Packs[0]->ImageList.CellSize, QSize(32, 32));
    const QImage Cell = Manager.Packs[0]->ImageList.Images[0].toImage();
    EXPECT_EQ(Cell.pixelColor(0, 0).alpha(), 0);     // fuchsia is transparent
    EXPECT_EQ(Cell.pixelColor(16, 16).alpha(), 255);  // the arrow
    auto* Small = qobject_cast<QListWidget*>(Tabs.widget(2));
    ASSERT_TRUE(Small);
    ASSERT_EQ(Small->count(), 3);
    EXPECT_FALSE(Small->item(1)->icon().isNull());
    EXPECT_TRUE(Small->item(2)->icon().isNull());  // no cell for the third name

    Tabs.resize(220, 260);
    Tabs.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Tabs));
    Tabs.setCurrentIndex(1);
    auto* List = qobject_cast<QListWidget*>(Tabs.widget(1));
    ASSERT_TRUE(List);
    QTest::qWait(0);
    Tabs.grab().save("/tmp/zv-iconpacks.png");
    const QRect Item = List->visualItemRect(List->item(3));
    QTest::mouseClick(List->viewport(), Qt::LeftButton, {}, Item.center());
    QTest::mouseDClick(List->viewport(), Qt::LeftButton, {}, Item.center());
    ASSERT_EQ(Selected.size(), 1u);
    EXPECT_EQ(std::get<0>(Selected[0]), &Manager.Packs[1]->Pack);
    EXPECT_EQ(std::get<1>(Selected[0]), "square-green.png");
    EXPECT_EQ(std::get<2>(Selected[0]), 3);
    // Empty space: nothing.
    List->clearSelection();
    QTest::mouseDClick(List->viewport(), Qt::LeftButton, {}, QPoint(List->viewport()->width() - 3,
                                                                     List->viewport()->height() - 3));
    EXPECT_EQ(Selected.size(), 1u);

    // The chosen icon goes into the document's images folder as the picture file it is.
    TIconPack* Pack = std::get<0>(Selected[0]);
    const std::string Written = Pack->ExtractIcon(3, Dir / "site/images", Dir / "site/index.html");
    QImage Icon(QString::fromStdString(Written));
    EXPECT_EQ(Icon.size(), QSize(24, 24));

    // No folder, or nothing in it: no tabs.
    QTabWidget None;
    TIconPackManager Empty(&None);
    Empty.LoadFolder(Dir / "missing");
    Empty.LoadFolder(Dir / "folder.icp");
    EXPECT_EQ(None.count(), 0);
    EXPECT_TRUE(Empty.Packs.empty());
}

TEST(IconPackManager, ToolStrip)
{
    TImageList List;
    List.CellSize = QSize(16, 16);
    ASSERT_TRUE(LoadImageList(List, 1000));
    EXPECT_EQ(List.Count(), 39);
    EXPECT_EQ(List.CellSize, QSize(16, 16));
    for (const QPixmap& Icon : List.Images) {
        EXPECT_EQ(Icon.size(), QSize(16, 16));
        const QImage I = Icon.toImage();
        int Opaque = 0;
        for (int Y = 0; Y < 16; ++Y)
            for (int X = 0; X < 16; ++X)
                Opaque += I.pixelColor(X, Y).alpha() == 255;
        EXPECT_GT(Opaque, 20);  // something is drawn
    }
    TImageList Missing;
    EXPECT_FALSE(LoadImageList(Missing, 1));
    EXPECT_EQ(Missing.Count(), 0);
}
