// A picture of the design view with every placeholder kind, a table and a picture, for the eye
// (written to the temporary folder) and for checks that each of them shows.
#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "DesignerHost.h"

using namespace zv;
using zv::test::TDesignerHost;

TEST(DesignerScreenshot, EveryPlaceholderKindTableAndPicture)
{
    TDesignerHost& H = TDesignerHost::Get();
    THtmlDesigner& D = H.Designer();
    // a picture of the document's own, in a subfolder
    QImage Photo(96, 64, QImage::Format_RGB32);
    QPainter P(&Photo);
    P.fillRect(Photo.rect(), QColor(70, 140, 210));
    P.fillRect(0, 40, 96, 24, QColor(60, 160, 70));
    P.setBrush(QColor(250, 220, 60));
    P.drawEllipse(QPoint(70, 18), 9, 9);
    P.end();
    QBuffer Bytes;
    Bytes.open(QIODevice::WriteOnly);
    Photo.save(&Bytes, "PNG");
    std::filesystem::create_directories(H.Folder() / "images");
    test::WriteAll(H.Folder() / "images/photo.png", Bytes.data().toStdString());

    H.LoadFile("every.html", R"(<html><head><title>Every kind</title></head><body>
<h1>Design view</h1>
<p>Text <!-- a comment --> <?php echo 1; ?> <% asp %> <blink>unknown</blink>
<script>/* code */</script> <script src="lib.js"></script>
<noscript>no script</noscript> <noframes>no frames</noframes>
<map name="m"><area href="a.html"></map> <embed src="e.swf"> <isindex> <basefont size="3">
<bgsound src="s.wav"> <input type="hidden" name="h" value="1"> <a name="here"></a> end.</p>
<p><object classid="clsid:D27CDB6E-AE6D-11cf-96B8-444553540000" width="72" height="56"></object>
<object classid="clsid:6BF52A52-394A-11D3-B153-00C04F79FAA6" width="72" height="56"></object>
<object classid="clsid:02BF25D5-8C17-4B23-BC80-D3488ABDDC6B" width="72" height="56"></object>
<object classid="clsid:CFCDAA03-8BE4-11cf-B84B-0020AFBBCCFA" width="72" height="56"></object>
<object classid="clsid:00000000-0000-0000-0000-000000000000" width="72" height="56"></object>
<applet code="A.class" width="72" height="56"></applet>
<marquee width="72" height="56">news</marquee></p>
<p><img src="images/photo.png" width="96" height="64" alt="photo">
<img src="images/missing.png" width="56" height="56" alt="missing">
<img src="http://example.com/remote.png" width="56" height="56">
<img src="file:///elsewhere/absolute.png" width="56" height="56"></p>
<table border="1" cellpadding="4"><tr><th>Name</th><th>Value</th></tr>
<tr><td>one</td><td align="right">1</td></tr></table>
<table><tr><td>layout cell</td><td>second cell</td></tr></table>
<div>A block<br>with a line break</div>
</body></html>)");
    D.SetShowTagGlyphs(true);
    H.WaitForPictures();
    // every picture of the page and every background has loaded, and the page has drawn them
    ASSERT_TRUE(test::WaitFor([&] {
        return H.Eval("[...document.images].every(i => i.complete && i.naturalWidth > 0)").toBool();
    }));
    ASSERT_TRUE(test::WaitForFrames(D));

    const QVariantList Pictures =
        H.Eval("[...document.images].map(i => { const r = i.getBoundingClientRect();"
               " return [i.className, i.getAttribute('src'), r.left, r.top, r.width, r.height]; })")
            .toList();
    const QVariantList Box = H.Eval("(function(){ const r = document.images[document.images.length - 4]"
                                    ".getBoundingClientRect(); return [r.left, r.top]; })()")
                                 .toList();
    const QPoint Sky(Box.value(0).toInt() + 10, Box.value(1).toInt() + 10);
    const QPoint Flash = H.Centre("img.dsgn_flash");
    // the view shows a frame of the page some time after the page drew it: the picture is taken
    // once the view shows the layout read above
    const QVariantList FlashBox =
        H.Eval("(function(){ const r = document.querySelector('img.dsgn_flash').getBoundingClientRect();"
               " return [r.left, r.top + r.height / 2]; })()")
            .toList();
    const QPoint FlashEdge(FlashBox.value(0).toInt() + 3, FlashBox.value(1).toInt());
    QImage Shot;
    ASSERT_TRUE(test::WaitFor([&] {
        Shot = D.grab().toImage();
        return Shot.pixelColor(Sky) == QColor(70, 140, 210) &&
               Shot.pixelColor(FlashEdge) == QColor(0xee, 0xee, 0xee) &&
               Shot.pixelColor(Flash.x() - 8, Flash.y() + 6).red() > 150;
    }, 10000)) << "the view never showed the page as laid out";
    const QString File = QDir::tempPath() + "/zv-design-view.png";
    ASSERT_TRUE(Shot.save(File));
    EXPECT_EQ(Shot.size(), QSize(800, 600));
    const auto Colours = [&](const QRect& R) {
        std::set<QRgb> Seen;
        for (int Y = R.top(); Y <= R.bottom(); ++Y)
            for (int X = R.left(); X <= R.right(); ++X) Seen.insert(Shot.pixel(X, Y));
        return Seen.size();
    };

    // every placeholder kind shows its picture: something is drawn where it stands
    std::set<std::string> Kinds;
    for (const QVariant& V : Pictures) {
        const QVariantList P = V.toList();
        const QString Class = P[0].toString(), Src = P[1].toString();
        const QRect Box(P[2].toInt(), P[3].toInt(), P[4].toInt(), P[5].toInt());
        const std::string Kind = Class.isEmpty() ? Src.section(':', 1).section('.', 0, 0).toStdString()
                                                 : Class.toStdString();
        SCOPED_TRACE(Kind);
        Kinds.insert(Kind);
        ASSERT_TRUE(QRect(0, 0, 800, 600).contains(Box)) << File.toStdString();
        EXPECT_GE(Colours(Box.adjusted(1, 1, -1, -1)), 3u) << File.toStdString();
        // objects: a picture in the middle of a grey box
        if (Class.startsWith("dsgn_") && Class != "dsgn_remote" && Class != "dsgn_absolute" &&
            Class != "dsgn_broken") {
            EXPECT_EQ(Shot.pixelColor(Box.left() + 3, Box.top() + Box.height() / 2), QColor(0xee, 0xee, 0xee));
        }
    }
    for (const char* Kind : {"comment", "php", "asp", "unknown", "script", "scriptfile", "noscript",
                             "noframes", "map", "embed", "isindex", "basefont", "bgsound", "hidden",
                             "anchor", "dsgn_flash", "dsgn_mplayer", "dsgn_quicktime", "dsgn_real",
                             "dsgn_activex", "dsgn_applet", "dsgn_marquee", "dsgn_broken",
                             "dsgn_remote", "dsgn_absolute"})
        EXPECT_TRUE(Kinds.count(Kind)) << Kind;

    // the document's picture shows where the page has it
    EXPECT_EQ(Shot.pixelColor(Sky), QColor(70, 140, 210)) << File.toStdString();
    // the Flash object: its picture in the middle of a grey box
    EXPECT_EQ(Shot.pixelColor(Flash.x() - 30, Flash.y()), QColor(0xee, 0xee, 0xee));
    EXPECT_GT(Shot.pixelColor(Flash.x() - 8, Flash.y() + 6).red(), 150);
    EXPECT_LT(Shot.pixelColor(Flash.x() - 8, Flash.y() + 6).green(), 80);

    // the bordered table draws its border and its text; the layout table its text alone
    const QVariantList Tables = H.Eval("[...document.querySelectorAll('table')].map(t => {"
                                       " const r = t.getBoundingClientRect(); return [r.left, r.top, r.width, r.height]; })")
                                    .toList();
    ASSERT_EQ(Tables.size(), 2);
    const QVariantList Bordered = Tables[0].toList(), Layout = Tables[1].toList();
    const QRect T1(Bordered[0].toInt(), Bordered[1].toInt(), Bordered[2].toInt(), Bordered[3].toInt());
    const QRect T2(Layout[0].toInt(), Layout[1].toInt(), Layout[2].toInt(), Layout[3].toInt());
    EXPECT_LT(Shot.pixelColor(T1.left(), T1.center().y()).lightness(), 200) << File.toStdString();
    EXPECT_GE(Colours(T1.adjusted(3, 3, -3, -3)), 3u);
    EXPECT_GE(Colours(T2), 3u);
    // the tag glyphs stand at the block's start
    const QPoint Div = H.Centre("div");
    EXPECT_GE(Colours(QRect(8, Div.y() - 6, 30, 12)), 3u);
    D.SetShowTagGlyphs(false);
}
