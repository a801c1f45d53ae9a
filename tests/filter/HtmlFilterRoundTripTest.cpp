// A page that passes through the design view unedited comes back as the writer writes it.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "FilterTestUtils.h"
#include "HtmlConv.h"
#include "HtmlFilter.h"
#include "HtmlParser.h"
#include "HtmlWriter.h"
#include "support/TempFiles.h"

using namespace zv;
using zv::test::U8;

namespace {

const char* const Generator = "Zandovell v1.00";

TMemoryStream BytesStream(const std::string& Bytes)
{
    TMemoryStream Stream;
    Stream.WriteBuffer(Bytes.data(), static_cast<int64_t>(Bytes.size()));
    Stream.SetPosition(0);
    return Stream;
}

WideString StreamText(TMemoryStream& Stream)
{
    WideString Text(static_cast<size_t>(Stream.Size() / 2), u'\0');
    std::memcpy(Text.data(), Stream.Memory(), Text.size() * sizeof(char16_t));
    return Text;
}

// What the writer makes of the parsed page, with the changes that loading is meant to make:
// a DOCTYPE where there was none, our generator, and the page declared as 8-bit.
WideString ExpectedSource(const std::string& Bytes)
{
    TMemoryStream File = BytesStream(Bytes), Text;
    LoadText(File, Text);
    std::unique_ptr<THtmlRoot> Root = ParseHtml(Text);
    bool HasDocType = false;
    for (THtmlNode* N = Root->FirstNode(); N; N = N->NextNode())
        HasDocType |= N->Kind() == tagDocType;
    if (!HasDocType)
        Root->AddFirst(new THtmlDocType);
    for (TLinkNode* N = Root->NextInTree(nullptr); N; N = Root->NextInTree(N)) {
        auto* Meta = dynamic_cast<THtmlTag*>(N);
        if (!Meta || Meta->Kind() != tagMeta)
            continue;
        if (SameTextAscii(Meta->GetAttribute(attrName), u"generator"))
            Meta->SetAttribute(attrContent, Utf8ToUtf16(Generator));
        else if (SameTextAscii(Meta->GetAttribute(attrHttpEquiv), u"content-type"))
            Meta->SetAttribute(attrContent, u"text/html; charset=ISO-8859-1");
        if (Meta->HasAttribute(attrCharset))
            Meta->SetAttribute(attrCharset, u"ISO-8859-1");
    }
    TMemoryStream Out;
    WriteDocument(Out, Root.get());
    return StreamText(Out);
}

// The body part of a design document: what the engine would hand back unedited.
WideString DesignBody(const WideString& Design)
{
    const size_t Start = Design.find(u"</head>\r\n");
    const size_t End = Design.rfind(u"\r\n</html>");
    if (Start == WideString::npos || End == WideString::npos || End < Start)
        return {};
    return Design.substr(Start + 9, End - Start - 9);
}

std::string FirstDifference(const WideString& A, const WideString& B)
{
    const size_t At = std::mismatch(A.begin(), A.end(), B.begin(), B.end()).first - A.begin();
    const size_t From = At < 80 ? 0 : At - 80;
    return "at " + std::to_string(At) + ":\n" + U8(A.substr(From, 160)) + "\n---\n" +
           U8(B.substr(From, 160));
}

WideString WriteTree(THtmlRoot* Root)
{
    TMemoryStream Out;
    WriteDocument(Out, Root);
    return StreamText(Out);
}

// Loads the page, checks its source text, hands the design body back unedited and checks
// the source text again. Answers false when the writer alone does not read back its own text
// of the page: the text after the trip through the design view is compared with that.
bool CheckRoundTrip(const std::string& FileName)
{
    SCOPED_TRACE(FileName);
    const std::string Bytes = test::ReadAll(FileName);
    const WideString Expected = ExpectedSource(Bytes);
    const WideString Reread = WriteTree(ParseHtml(Expected).get());

    THtmlFilter F;
    F.Generator = Generator;
    F.SetBasePath(std::filesystem::path(FileName).parent_path().string());
    TMemoryStream File = BytesStream(Bytes);
    F.LoadFromStream(File);
    const WideString Loaded = F.GetSourceText();
    EXPECT_TRUE(Loaded == Expected) << FirstDifference(Loaded, Expected);

    const WideString Design = F.GetDesignHtml();
    if (F.Root()->FindFirstOfKind(tagBody)) {  // the tree keeps its design form
        EXPECT_TRUE(F.GetDesignHtml() == Design);
    }
    const WideString Body = DesignBody(Design);
    EXPECT_TRUE(Trim(Body).starts_with(u"<body id=\"dsgn_:::_")) << U8(Body.substr(0, 80));
    F.ReadDesign(Body);
    const WideString Back = F.GetSourceText();
    EXPECT_TRUE(Back == Reread) << FirstDifference(Back, Reread);

    // Saved bytes are the source text, one byte per character.
    TMemoryStream Saved, Text, Want;
    F.SaveToStream(Saved);
    Text.WriteBuffer(Back.data(), static_cast<int64_t>(Back.size() * 2));
    Text.SetPosition(0);
    SaveText(Text, Want);
    EXPECT_TRUE(Saved.Bytes() == Want.Bytes());
    return Reread == Expected;
}

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
}

TEST(HtmlFilterRoundTrip, BenchmarkCorpus)
{
    const std::vector<std::string> Files = HtmlFiles(ZV_SOURCE_DIR "/bench/data/corpus");
    ASSERT_GE(Files.size(), 10u);
    for (const std::string& File : Files)
        if (!CheckRoundTrip(File))
            std::printf("note: the writer alone does not read back its text of %s\n",
                        File.c_str());
}

TEST(HtmlFilterRoundTrip, SavedPageDeclaresWhatItHolds)
{
    THtmlFilter F;
    TMemoryStream File = BytesStream(test::ReadAll(ZV_TEST_DATA "/placeholders/utf8.html"));
    F.LoadFromStream(File);
    TMemoryStream Saved;
    F.SaveToStream(Saved);
    const std::string Bytes(reinterpret_cast<const char*>(Saved.Memory()), Saved.Size());
    EXPECT_NE(Bytes.find("charset=ISO-8859-1"), std::string::npos);
    EXPECT_EQ(Bytes.find("utf-8"), std::string::npos);

    // Read back as the page now declares it, the accented text is what was loaded.
    THtmlFilter Again;
    TMemoryStream Reread = BytesStream(Bytes);
    Again.LoadFromStream(Reread);
    EXPECT_TRUE(Again.GetSourceText() == F.GetSourceText());
    EXPECT_NE(U8(F.GetSourceText()).find("<!-- commentaire \xc3\xa9t\xc3\xa9 -->"),
              std::string::npos);
}
