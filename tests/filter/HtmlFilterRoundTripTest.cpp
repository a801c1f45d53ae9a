// A page that passes through the design view unedited comes back as the writer writes it.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <vector>

#include "FilterTestUtils.h"
#include "HtmlConv.h"
#include "HtmlFilter.h"
#include "HtmlParser.h"
#include "HtmlWriter.h"
#include "NodeArena.h"
#include "support/TempFiles.h"

using namespace zv;
using zv::test::U8;

namespace {

TMemoryStream BytesStream(const std::string& Bytes)
{
    TMemoryStream Stream;
    Stream.WriteBuffer(Bytes.data(), static_cast<int64_t>(Bytes.size()));
    Stream.SetPosition(0);
    return Stream;
}

WideString WriteTree(THtmlRoot* Root)
{
    TMemoryStream Out;
    WriteDocument(Out, Root);
    WideString Text(static_cast<size_t>(Out.Size() / 2), u'\0');
    std::memcpy(Text.data(), Out.Memory(), Text.size() * sizeof(char16_t));
    return Text;
}

// What the writer makes of the parsed page, with the changes that loading is meant to make:
// our generator, and the page declared as it saves: 8-bit, or UTF-8 when a character beyond
// Latin-1 is written as itself.
WideString ExpectedSource(const std::string& Bytes)
{
    TMemoryStream File = BytesStream(Bytes), Text;
    LoadText(File, Text);
    std::unique_ptr<THtmlRoot> Root = ParseHtml(Text);
    WideString Written;
    for (const WideStringView Charset : {u"ISO-8859-1", u"UTF-8"}) {
        for (TLinkNode* N = Root->NextInTree(nullptr); N; N = Root->NextInTree(N)) {
            auto* Meta = dynamic_cast<THtmlTag*>(N);
            if (!Meta || Meta->Kind() != tagMeta)
                continue;
            if (SameTextAscii(Meta->GetAttribute(attrName), u"generator"))
                Meta->SetAttribute(attrContent, u"Gen");
            else if (SameTextAscii(Meta->GetAttribute(attrHttpEquiv), u"content-type"))
                Meta->SetAttribute(attrContent, u"text/html; charset=" + WideString(Charset));
            if (Meta->HasAttribute(attrCharset))
                Meta->SetAttribute(attrCharset, Charset);
        }
        Written = WriteTree(Root.get());
        if (std::all_of(Written.begin(), Written.end(), [](char16_t C) { return C <= 0xFF; })) {
            // an XML declaration before the page says so too
            if (Written.starts_with(u"<?xml") && Written.find(u"encoding=\"UTF-8\"") < Written.find(u"?>"))
                Written.replace(Written.find(u"encoding=\"UTF-8\""), 16, u"encoding=\"ISO-8859-1\"");
            break;
        }
    }
    return Written;
}

std::string FirstDifference(const WideString& A, const WideString& B)
{
    const size_t At = std::mismatch(A.begin(), A.end(), B.begin(), B.end()).first - A.begin();
    const size_t From = At < 80 ? 0 : At - 80;
    return U8(A.substr(From, 160)) + "\n---\n" + U8(B.substr(From, 160));
}

// The body of the filter's design document, as the engine hands it back unedited.
WideString DesignBody(THtmlFilter& F)
{
    const WideString Design = F.GetDesignHtml();
    const size_t Start = Design.find(u"</head>\r\n") + 9;
    return Design.substr(Start, Design.rfind(u"\r\n</html>") - Start);
}

// Loads the page, checks its source text, hands the design body back unedited and checks
// the source text and the saved bytes again. The text after the trip through the design
// view is compared with what the writer gives when its own text of the page is read again;
// the answer tells whether that is the text of the page itself.
bool CheckRoundTrip(const std::string& FileName, const std::string& Bytes)
{
    SCOPED_TRACE(FileName);
    const WideString Expected = ExpectedSource(Bytes);
    const WideString Reread = WriteTree(ParseHtml(Expected).get());

    THtmlFilter F;
    F.Generator = "Gen";
    F.SetBasePath(std::filesystem::path(FileName).parent_path().string());
    TMemoryStream File = BytesStream(Bytes);
    F.LoadFromStream(File);
    const WideString Loaded = F.GetSourceText();
    EXPECT_TRUE(Loaded == Expected) << FirstDifference(Loaded, Expected);

    const WideString Body = DesignBody(F);
    EXPECT_TRUE(Trim(Body).starts_with(u"<body id=\"dsgn_:::_")) << U8(Body.substr(0, 80));
    F.ReadDesign(Body);
    const WideString Back = F.GetSourceText();
    EXPECT_TRUE(Back == Reread) << FirstDifference(Back, Reread);

    TMemoryStream Saved, Text, Want;
    F.SaveToStream(Saved);
    Saved.SetPosition(0);
    if (std::all_of(Back.begin(), Back.end(), [](char16_t C) { return C <= 0xFF; })) {
        // Saved with one byte per character, as the source text shows it.
        Text.WriteBuffer(Back.data(), static_cast<int64_t>(Back.size() * 2));
        Text.SetPosition(0);
        SaveText(Text, Want);
        EXPECT_TRUE(Saved.Bytes() == Want.Bytes());
    } else {
        // Characters beyond Latin-1: saved in UTF-8, declared so, and read back as they were.
        EXPECT_TRUE(SameTextAscii(Utf8ToUtf16(DetectCharset(Saved)), u"UTF-8"));
        Saved.SetPosition(0);
        THtmlFilter Again;
        Again.LoadFromStream(Saved);
        const WideString Reopened = Again.GetSourceText();
        EXPECT_TRUE(Reopened == Back) << FirstDifference(Reopened, Back);
    }
    return Reread == Expected;
}

bool CheckRoundTrip(const std::string& FileName) { return CheckRoundTrip(FileName, test::ReadAll(FileName)); }

std::vector<std::string> HtmlFiles(const std::string& Folder)
{
    std::vector<std::string> Files;
    for (const auto& Entry : std::filesystem::directory_iterator(Folder))
        if (Entry.path().extension() == ".html")
            Files.push_back(Entry.path().string());
    std::sort(Files.begin(), Files.end());
    return Files;
}

}  // namespace

TEST(HtmlFilterRoundTrip, HandWrittenPagesWithEveryPlaceholder)
{
    const std::vector<std::string> Files = HtmlFiles(ZV_TEST_DATA "/placeholders");
    ASSERT_GE(Files.size(), 5u);
    for (const std::string& File : Files)
        EXPECT_TRUE(CheckRoundTrip(File)) << File << ": the writer does not read back its text";

    // The blank between a placeholder or an image and the text after it stays.
    THtmlFilter Kinds;
    TMemoryStream KindsPage = BytesStream(test::ReadAll(ZV_TEST_DATA "/placeholders/kinds.html"));
    Kinds.LoadFromStream(KindsPage);
    Kinds.ReadDesign(DesignBody(Kinds));
    EXPECT_NE(U8(Kinds.GetSourceText()).find("<p>a <input type=\"hidden\" name=\"h2\"> b <img src=\"x.gif\"> c</p>"),
              std::string::npos);

    // Saved as it now declares itself, a page that was UTF-8 reads back the same.
    THtmlFilter F, Again;
    TMemoryStream Page = BytesStream(test::ReadAll(ZV_TEST_DATA "/placeholders/utf8.html"));
    F.LoadFromStream(Page);
    TMemoryStream Saved;
    F.SaveToStream(Saved);
    Saved.SetPosition(0);
    Again.LoadFromStream(Saved);
    EXPECT_TRUE(Again.GetSourceText() == F.GetSourceText());
    EXPECT_NE(U8(F.GetSourceText()).find("<!-- commentaire \xc3\xa9t\xc3\xa9 -->"),
              std::string::npos);
}

TEST(HtmlFilterRoundTrip, BenchmarkCorpus)
{
    const std::vector<std::string> Files = HtmlFiles(ZV_SOURCE_DIR "/bench/data/corpus");
    ASSERT_GE(Files.size(), 10u);
    for (const std::string& File : Files)
        EXPECT_TRUE(CheckRoundTrip(File)) << File << ": the writer does not read back its text";
}

TEST(HtmlFilterRoundTrip, LargePageWithManyDesignElements)
{
    // A page of many arena segments, with design elements of every sort.
    std::string Page = "<html><head><title>t</title></head><body>\n";
    for (int I = 0; I < 1500; ++I)
        Page += "<p>text <img src=\"a.gif\"> more <!-- c --> <b>bold</b></p>\n<script>var a;</script>\n"
                "<table border=0><tr><td>x <input type=hidden name=h> y</td></tr></table>\n"
                "<object classid=\"clsid:x\"><param name=a value=b></object>\n";
    Page += "</body></html>\n";
    EXPECT_TRUE(CheckRoundTrip(ZV_TEST_DATA "/placeholders/large.html", Page));
    // Nothing of the page stays behind in the arena.
    EXPECT_EQ(NodeArenaBytes(), 0u);

    // A body read back replaces the loaded one in the arena; what the document keeps of the
    // loaded page does not hold on to it.
    THtmlFilter F;
    TMemoryStream File = BytesStream(Page);
    F.LoadFromStream(File);
    const size_t Loaded = NodeArenaBytes();
    const WideString Body = DesignBody(F);
    F.ReadDesign(Body);
    F.ReadDesign(Body);
    EXPECT_LT(NodeArenaBytes(), Loaded * 3 / 2);
}

TEST(HtmlFilterRoundTrip, OpenAndSaveKeepWhatThePageHolds)
{
    // Each page goes through the design view unedited and is saved; the saved bytes read
    // back hold each piece.
    struct TCase {
        const char* Page;
        std::vector<const char16_t*> Pieces;
        const char* Charset;  // of the saved bytes
    };
    const TCase Cases[] = {
        // Empty values and attributes outside the table, on design elements and live ones.
        {"<body data-page=\"home\" class=\"\"><img src=\"\" alt=\"\" data-src=\"a.jpg\" loading=lazy>"
         "<input type=image src=\"\" aria-label=\"Go\"><table role=grid summary=\"\"><tr><td>x</td></tr></table>"
         "<a href=\"\" @click=\"go()\" :href=\"url\">y</a><div id=\"app\"></div>",
         {u"<body data-page=\"home\" class=\"\">", u"<img src=\"\" alt=\"\" data-src=\"a.jpg\" loading=\"lazy\">",
          u"<input type=\"image\" src=\"\" aria-label=\"Go\">", u"<table role=\"grid\" summary=\"\">",
          u"<a href=\"\" @click=\"go()\" :href=\"url\">y</a>", u"<div id=\"app\"></div>"},
         "ISO-8859-1"},
        // Characters beyond Latin-1 where references are no references: saved in UTF-8.
        {"<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">"
         "<style>p:after { content: \"\xE2\x86\x92\" }</style></head><body><p>caf\xC3\xA9 \xE2\x86\x92"
         "<script>var s = \"\xE2\x86\x92\";</script><!-- \xE4\xB8\xAD --><?php echo \"\xCE\xB1\"; ?></p>",
         {u"<meta http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\">",
          u"content: \"\u2192\"", u"caf&eacute; &rarr;<script>var s = \"\u2192\";</script><!-- \u4e2d -->"
          u"<?php echo \"\u03b1\"; ?>"},
         "UTF-8"},
        // A page without a declaration (but a byte-order mark) gains one.
        {"\xEF\xBB\xBF<p>a<script>x = '\xE2\x82\xAC'</script></p>", {u"<meta http-equiv=\"Content-Type\" content=\"text/html; "
                                                         u"charset=UTF-8\">", u"x = '\u20ac'"}, "UTF-8"},
        // Latin-1 alone stays 8-bit, also under an XML declaration that names another set.
        {"<p>caf\xE9<!-- \xE9 --></p>", {u"caf&eacute;<!-- \u00e9 -->"}, "ISO-8859-1"},
        {"<?xml version=\"1.0\" encoding=\"utf-8\"?><p>caf\xC3\xA9<!-- \xC3\xA9 --></p>", {u"<!-- \u00e9 -->"}, "UTF-8"},
        // An XML declaration agrees with the set the page is saved in.
        {"<?xml version='1.0' encoding='Shift_JIS'?><p>\x93\xfa<!-- \x93\xfa --></p>",
         {u"<?xml version='1.0' encoding='UTF-8'?>", u"<!-- \u65e5 -->"}, "UTF-8"},
        {"<?xml version=\"1.0\" encoding=\"UTF-8\"?><html><head><meta http-equiv=\"Content-Type\" "
         "content=\"text/html; charset=UTF-8\"></head><body><p title=\"caf\xC3\xA9\">x</p>",
         {u"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>", u"title=\"caf\u00e9\""}, "ISO-8859-1"},
        // A bare charset attribute declares nothing.
        {"<meta charset><p>caf\xE9</p>", {u"<meta charset=\"\">", u"caf&eacute;"}, "ISO-8859-1"},
    };
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(Case.Page);
        THtmlFilter F;
        TMemoryStream File = BytesStream(Case.Page);
        ASSERT_NO_THROW(F.LoadFromStream(File));
        F.ReadDesign(DesignBody(F));
        TMemoryStream Saved;
        F.SaveToStream(Saved);
        Saved.SetPosition(0);
        EXPECT_TRUE(SameTextAscii(Utf8ToUtf16(DetectCharset(Saved)), Utf8ToUtf16(Case.Charset)));
        Saved.SetPosition(0);
        TMemoryStream Text;
        LoadText(Saved, Text);
        const WideString Reopened(reinterpret_cast<const char16_t*>(Text.Memory()), static_cast<size_t>(Text.Size()) / 2);
        for (const char16_t* Piece : Case.Pieces)
            EXPECT_NE(Reopened.find(Piece), WideString::npos) << U8(Piece) << "\n" << U8(Reopened);
    }
}
