// What the design view serves the page: the document, the files next to it, and the pictures
// of placeholders and object kinds.
#include <QBuffer>
#include <QImage>
#include <gtest/gtest.h>

#include <filesystem>

#include "DesignerHost.h"
#include "HtmlFilter.h"

using namespace zv;
using zv::test::TDesignerHost;

namespace {

std::string Png(int Width, int Height, QColor Color)
{
    QImage Image(Width, Height, QImage::Format_RGB32);
    Image.fill(Color);
    QBuffer Buffer;
    Buffer.open(QIODevice::WriteOnly);
    Image.save(&Buffer, "PNG");
    return Buffer.data().toStdString();
}

const char* const Pictures[] = {
    "absolute", "activex", "anchor",   "applet",   "asp",        "basefont", "bgsound",
    "broken",   "comment", "embed",    "flash",    "hidden",     "isindex",  "map",
    "marquee",  "mplayer", "noframes", "noscript", "php",        "quicktime", "real",
    "remote",   "script",  "scriptfile", "trans",  "unknown"};

// Loads each URL in the page as a picture: its natural width, -1 when it did not load.
std::map<std::string, int> PictureWidths(TDesignerHost& H, const std::vector<std::string>& Urls)
{
    QString List;
    for (const std::string& Url : Urls) List += "'" + QString::fromStdString(Url) + "',";
    H.Eval("window.zvWidths = {}; for (const u of [" + List + "]) { const i = new Image();"
           " i.onload = () => zvWidths[u] = i.naturalWidth; i.onerror = () => zvWidths[u] = -1;"
           " i.src = u; }");
    const int Count = static_cast<int>(Urls.size());
    EXPECT_TRUE(test::WaitFor([&] { return H.Eval("Object.keys(zvWidths).length").toInt() == Count; }));
    std::map<std::string, int> Result;
    const QVariantMap Widths = H.Eval("zvWidths").toMap();
    for (auto It = Widths.begin(); It != Widths.end(); ++It) Result[It.key().toStdString()] = It.value().toInt();
    return Result;
}

bool Serves(THtmlDesigner& D, const std::u16string& Url, std::string* Bytes = nullptr)
{
    bool Handled = false;
    int Size = 0;
    TMemoryStream Stream;
    D.NameSpaceRequest(nullptr, Url, Handled, Size, Stream);
    if (Bytes) Bytes->assign(reinterpret_cast<const char*>(Stream.Memory()), Stream.Size());
    EXPECT_EQ(Size, Handled ? Stream.Size() : 0);
    return Handled;
}

}  // namespace

TEST(DesignerNameSpace, PicturesNextToTheDocumentAndMissingOnes)
{
    TDesignerHost& H = TDesignerHost::Get();
    std::filesystem::create_directories(H.Folder() / "pics");
    test::WriteAll(H.Folder() / "pics/red.png", Png(12, 8, Qt::red));
    test::WriteAll(H.Folder() / "pics/bg.png", Png(4, 6, Qt::blue));
    H.LoadFile("pictures.html",
               "<html><body background=\"pics/bg.png\"><p><img id=\"red\" src=\"pics/red.png\">"
               "<img id=\"gone\" src=\"pics/missing.png\">"
               "<span style=\"background: url(pics/red.png)\">text</span></p></body></html>");
    // the page asks for what it needs, relative to "idoc:index.html"
    ASSERT_TRUE(test::WaitFor([&] {
        return H.Requests.contains("idoc:pics/bg.png") &&
               H.Eval("document.images[0].complete && document.images[1].complete").toBool();
    })) << H.Requests.join(' ').toStdString();
    EXPECT_TRUE(H.Requests.contains("idoc:index.html"));
    EXPECT_TRUE(H.Requests.contains("idoc:pics/red.png"));
    EXPECT_GT(H.Eval("document.images[0].naturalWidth").toInt(), 0);
    const std::map<std::string, int> Widths = PictureWidths(H, {"pics/bg.png", "pics/red.png", "pics/none.png"});
    EXPECT_EQ(Widths.at("pics/bg.png"), 4);
    EXPECT_EQ(Widths.at("pics/red.png"), 12);
    EXPECT_EQ(Widths.at("pics/none.png"), -1);
    // a missing picture shows the broken picture behind a transparent one
    EXPECT_EQ(H.Eval("document.images[1].className").toString(), "dsgn_broken");
    EXPECT_EQ(H.Eval("document.images[1].getAttribute('src')").toString(), "edit:trans.gif");
    EXPECT_TRUE(H.Eval("getComputedStyle(document.images[1]).backgroundImage").toString().contains("edit:broken.gif"));
    EXPECT_GT(PictureWidths(H, {"edit:broken.gif"}).at("edit:broken.gif"), 0);

    // nothing outside the document's folder, and nothing without a folder
    THtmlDesigner& D = H.Designer();
    EXPECT_TRUE(Serves(D, u"idoc:pics/red.png"));
    EXPECT_FALSE(Serves(D, u"idoc:pics"));
    EXPECT_FALSE(Serves(D, u"idoc:pics/none.png"));
    const std::string Base = D.Filter->BasePath();
    D.Filter->SetBasePath("");
    EXPECT_FALSE(Serves(D, u"idoc:pictures.html"));
    D.Filter->SetBasePath(Base);
    std::string Page;
    EXPECT_TRUE(Serves(D, u"idoc:Index.HTML", &Page));
    EXPECT_NE(Page.find("<style>"), std::string::npos);

    // a second design view serves its own document and pictures, and going takes nothing
    // from the first
    {
        test::TempDir Other;
        std::filesystem::create_directories(Other / "pics");
        test::WriteAll(Other / "pics/red.png", Png(7, 3, Qt::green));
        test::WriteAll(Other / "other.html", "<html><body><p><img src=\"pics/red.png\"></p></body></html>");
        THtmlDesigner Second;
        Second.resize(400, 300);
        Second.LoadFromFile(Other / "other.html");
        ASSERT_TRUE(test::WaitFor([&] { return test::PageEval(Second, "document.images[0].complete").toBool(); }));
        EXPECT_EQ(test::PageEval(Second, "document.images[0].naturalWidth").toInt(), 7);
        EXPECT_EQ(PictureWidths(H, {"pics/red.png?again"}).at("pics/red.png?again"), 12);
    }
    EXPECT_EQ(PictureWidths(H, {"pics/red.png?after"}).at("pics/red.png?after"), 12);
}

TEST(DesignerNameSpace, EveryPlaceholderPictureIsServed)
{
    TDesignerHost& H = TDesignerHost::Get();
    ASSERT_TRUE(H.LoadBody("<p>pictures</p>"));
    std::vector<std::string> Urls;
    for (const char* Name : Pictures) Urls.push_back(std::string("edit:") + Name + ".gif");
    for (const auto& [Url, Width] : PictureWidths(H, Urls)) EXPECT_GT(Width, 0) << Url;

    // the first letter after the colon is compared exactly, the rest without regard to case
    THtmlDesigner& D = H.Designer();
    EXPECT_TRUE(Serves(D, u"edit:cOMMENT.GIF"));
    EXPECT_FALSE(Serves(D, u"edit:Comment.gif"));
    EXPECT_FALSE(Serves(D, u"edit:comment.png"));
    EXPECT_FALSE(Serves(D, u"edit:nothing.gif"));
    EXPECT_FALSE(Serves(D, u"edit:"));
    EXPECT_FALSE(Serves(D, u"http://example.com/a.gif"));
}
