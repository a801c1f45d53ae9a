// The URL namespace: the protocol's state machine on its own, URL normalisation, and the
// schemes as the engine uses them.
#include <gtest/gtest.h>

#include "EngineHost.h"
#include "NameSpace.h"

using namespace zv;
using zv::test::TEngineHost;

namespace {

// Answers "idoc:data" with Bytes, anything else not.
TNameSpaceRequestEvent Serve(const QByteArray& Bytes, QStringList* Seen = nullptr)
{
    return [Bytes, Seen](QObject* Sender, const WideString& Url, bool& Handled,
                                    int& Size, TMemoryStream& Stream) {
        EXPECT_NE(dynamic_cast<TEditorNameSpace*>(Sender), nullptr);
        if (Seen) Seen->append(QString::fromStdU16String(Url));
        if (Url != u"idoc:data") return;
        Stream.WriteBuffer(Bytes.constData(), Bytes.size());
        Size = static_cast<int>(Bytes.size());
        Handled = true;
    };
}

}  // namespace

TEST(NameSpace, StartAndReadFollowTheProtocol)
{
    TEditorNameSpace P(Serve("0123456789"));
    ASSERT_EQ(P.Start(QUrl("idoc:data")), S_OK);
    EXPECT_TRUE(P.HasData());
    EXPECT_EQ(P.TotalSize(), 10);
    char Buffer[16] = {};
    int64_t Done = 0;
    EXPECT_EQ(P.Read(Buffer, 4, Done), E_PENDING);
    EXPECT_EQ(Done, 4);
    EXPECT_EQ(P.Read(Buffer + 4, 4, Done), E_PENDING);
    EXPECT_EQ(P.Read(Buffer + 8, 8, Done), S_FALSE);
    EXPECT_EQ(Done, 2);
    EXPECT_EQ(QByteArray(Buffer), QByteArray("0123456789"));
    EXPECT_EQ(P.BytesRead(), 10);
    EXPECT_EQ(P.Terminate(), S_OK);
    EXPECT_FALSE(P.HasData());

    // the same object serves a second request from the start
    ASSERT_EQ(P.Start(QUrl("idoc:data")), S_OK);
    EXPECT_EQ(P.readAll(), QByteArray("0123456789"));

    // an empty answer still succeeds, and its first read is the last
    TEditorNameSpace Empty(Serve(""));
    ASSERT_EQ(Empty.Start(QUrl("idoc:data")), S_OK);
    EXPECT_EQ(Empty.TotalSize(), 0);
    EXPECT_EQ(Empty.Read(Buffer, 4, Done), S_FALSE);
    EXPECT_EQ(Done, 0);

    // unknown names, and no callback at all, are not found
    EXPECT_EQ(Empty.Start(QUrl("idoc:other")), INET_E_OBJECT_NOT_FOUND);
    EXPECT_FALSE(Empty.HasData());
    TEditorNameSpace None;
    EXPECT_EQ(None.Start(QUrl("idoc:data")), INET_E_OBJECT_NOT_FOUND);
}

TEST(NameSpace, UrlsAreDecodedAndKeptInsideTheirFolder)
{
    auto N = [](const char* Url) { return NormalizeNameSpaceUrl(QUrl(Url)).value_or("<refused>"); };
    EXPECT_EQ(N("idoc:index.html"), "idoc:index.html");
    EXPECT_EQ(N("edit:trans.gif"), "edit:trans.gif");
    EXPECT_EQ(N("idoc:pics/a%20b.png"), "idoc:pics/a b.png");
    EXPECT_EQ(N("idoc:pics/%C3%A4.png"), QString::fromUtf8("idoc:pics/\xC3\xA4.png"));
    EXPECT_EQ(N("idoc:pics/./x/../red.png"), "idoc:pics/red.png");
    EXPECT_EQ(N("idoc:/pics//red.png"), "idoc:pics/red.png");
    EXPECT_EQ(N("idoc:../secret.png"), "<refused>");
    EXPECT_EQ(N("idoc:pics/../../secret.png"), "<refused>");
    EXPECT_EQ(N("idoc:%2e%2e/secret.png"), "<refused>");
    EXPECT_EQ(N("idoc:pics%2f..%2f..%2fsecret.png"), "<refused>");
    EXPECT_EQ(N("idoc:a%00b"), "<refused>");

    // the callback never sees a refused request
    QStringList Seen;
    TEditorNameSpace P(Serve("x", &Seen));
    EXPECT_EQ(P.Start(QUrl("idoc:../data")), INET_E_OBJECT_NOT_FOUND);
    EXPECT_EQ(P.Start(QUrl("idoc:x/../data")), S_OK);
    EXPECT_EQ(Seen, QStringList{"idoc:data"});
}

TEST(NameSpace, EngineLoadsThePageAndItsPicturesThroughTheSchemes)
{
    TEngineHost& H = TEngineHost::Get();
    ASSERT_TRUE(H.Load("<p>Hello</p><img id=red src=\"pics/red.png\">"
                       "<img id=spaced src=\"pics/a b.png\"><img id=missing src=\"pics/none.png\">"
                       "<img id=edit src=\"edit:trans.gif\"><img id=empty src=\"edit:empty.gif\">"
                       "<img id=up src=\"../secret.png\"><img id=up2 src=\"pics/../../secret.png\">"));
    auto Width = [&](const char* Id) {
        return H.Eval(QString("document.getElementById('%1').naturalWidth").arg(Id)).toInt();
    };
    EXPECT_EQ(Width("red"), 12);
    EXPECT_EQ(Width("spaced"), 6);
    EXPECT_EQ(Width("missing"), 0);
    EXPECT_EQ(Width("edit"), 5);
    EXPECT_EQ(Width("empty"), 0);
    EXPECT_EQ(Width("up"), 0);
    EXPECT_EQ(Width("up2"), 0);
    for (const QString& R : H.Requests)
        EXPECT_FALSE(R.mid(5).split('/').contains("..")) << R.toStdString();
    EXPECT_EQ(QString::fromStdU16String(H.Browser().Document().body().innerText()), "Hello");

    // non-ASCII text of the design document arrives intact
    ASSERT_TRUE(H.Load(QString::fromUtf8("<p id=p>Gr\xC3\xBC\xC3\x9F \xE2\x82\xAC</p>")));
    EXPECT_EQ(H.Eval("document.getElementById('p').textContent").toString(),
              QString::fromUtf8("Gr\xC3\xBC\xC3\x9F \xE2\x82\xAC"));

    // without the namespace the engine resolves neither scheme
    UnregisterNameSpace();
    EXPECT_FALSE(H.Load("<p>gone</p>"));
    H.Register();
    EXPECT_TRUE(H.Load("<p>back</p>"));
}
