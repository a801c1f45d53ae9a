// The engine round trip: a page shown in the design view and read back without editing gives
// the document's source text exactly, and so does the saved file opened again.
#include <gtest/gtest.h>

#include <filesystem>

#include "DesignerHost.h"
#include "HtmlFilter.h"

using namespace zv;
using zv::test::TDesignerHost;

namespace {

std::vector<std::string> Pages()
{
    std::vector<std::string> Result;
    for (const char* Folder : {ZV_SOURCE_DIR "/bench/data/corpus", ZV_TEST_DATA "/placeholders"})
        for (const auto& Entry : std::filesystem::directory_iterator(Folder))
            if (Entry.path().extension() == ".html") Result.push_back(Entry.path().string());
    std::sort(Result.begin(), Result.end());
    return Result;
}

void LoadFilter(THtmlFilter& Filter, const std::string& FileName)
{
    Filter.Generator = "Zandovell v1.00";
    Filter.SetBasePath(std::filesystem::path(FileName).parent_path().string());
    TFileStream File(FileName, TFileMode::OpenRead);
    Filter.LoadFromStream(File);
}

WideString FilterSource(const std::string& FileName)
{
    THtmlFilter Filter;
    LoadFilter(Filter, FileName);
    return Filter.GetSourceText();
}

std::string FilterSaved(const std::string& FileName)
{
    THtmlFilter Filter;
    LoadFilter(Filter, FileName);
    TMemoryStream Saved;
    Filter.SaveToStream(Saved);
    return std::string(reinterpret_cast<const char*>(Saved.Memory()), Saved.Size());
}

// A saved file holds one byte per character: where pre text or a value had characters
// beyond Latin-1, the file has references ("&#x2013;") in their place.
WideString WithoutReferences(const WideString& Text)
{
    WideString Out;
    for (size_t K = 0; K < Text.size(); ++K) {
        const size_t End = Text.find(u';', K);
        const char32_t Code = Text.compare(K, 3, u"&#x") == 0 && End != WideString::npos && End - K <= 9
                                  ? std::stoul(Utf16ToUtf8(Text.substr(K + 3, End - K - 3)), nullptr, 16)
                                  : 0;
        if (Code > 0xFF) {
            if (Code >= 0x10000) {
                Out += static_cast<char16_t>(0xD800 + ((Code - 0x10000) >> 10));
                Out += static_cast<char16_t>(0xDC00 + ((Code - 0x10000) & 0x3FF));
            } else {
                Out += static_cast<char16_t>(Code);
            }
            K = End;
        } else {
            Out += Text[K];
        }
    }
    return Out;
}

// The first line where two texts differ, for a readable failure.
std::string FirstDifference(const WideString& A, const WideString& B)
{
    size_t Line = 1, Start = 0, K = 0;
    for (; K < A.size() && K < B.size() && A[K] == B[K]; ++K)
        if (A[K] == u'\n') {
            ++Line;
            Start = K + 1;
        }
    auto LineOf = [&](const WideString& S) {
        const size_t End = S.find(u'\n', Start);
        return Utf16ToUtf8(S.substr(Start, End == WideString::npos ? End : End - Start));
    };
    return "line " + std::to_string(Line) + ":\n  expected: " + LineOf(A) + "\n  actual:   " + LineOf(B);
}

}  // namespace

TEST(DesignerRoundTrip, PagesComeBackAsTheirSourceText)
{
    TDesignerHost& H = TDesignerHost::Get();
    THtmlDesigner& D = H.Designer();
    int Pages_ = 0;
    for (const std::string& Page : Pages()) {
        SCOPED_TRACE(Page);
        const WideString Expected = FilterSource(Page);
        D.LoadFromFile(Page);
        const WideString Shown = D.GetHtml();
        EXPECT_TRUE(Shown == Expected) << FirstDifference(Expected, Shown);

        // the saved bytes are those of the document without the design view
        const std::string Saved = H.Folder() / "saved.html";
        D.SaveToFile(Saved);
        EXPECT_EQ(test::ReadAll(Saved), FilterSaved(Page));
        D.LoadFromFile(Saved);
        const WideString Again = D.GetHtml();
        // an XML declaration names the set the file was saved in
        WideString Declared = Expected;
        if (const size_t At = Declared.find(u"encoding=\"UTF-8\""); At < Declared.find(u"?>") &&
                                                                    Again.find(u"encoding=\"ISO-8859-1\"") < Again.find(u"?>"))
            Declared.replace(At, 16, u"encoding=\"ISO-8859-1\"");
        EXPECT_TRUE(Again == Declared || WithoutReferences(Again) == WithoutReferences(Declared))
            << FirstDifference(WithoutReferences(Declared), WithoutReferences(Again));
        ++Pages_;
    }
    EXPECT_GT(Pages_, 20);

    // a large page, all in one element, shows whole: read back after a change and its undo it
    // is the document again
    const std::string Corpus = test::ReadAll(ZV_SOURCE_DIR "/bench/data/corpus/nodejs_api_fs.html");
    const size_t Open = Corpus.find('>', Corpus.find("<body")), Close = Corpus.rfind("</body>");
    ASSERT_LT(Open, Close);
    std::string Large = Corpus.substr(0, Open + 1) + "<div id=\"all\" class=\"wrap\">";
    for (int K = 0; K < 4; ++K) Large += Corpus.substr(Open + 1, Close - Open - 1);
    Large += "</div><p id=\"last\" title=\"end\" lang=\"en\">end &#187;</p></body></html>";
    const std::string LargeFile = H.Folder() / "large.html";
    test::WriteAll(LargeFile, Large);
    const WideString Expected = FilterSource(LargeFile);
    D.LoadFromFile(LargeFile);
    EXPECT_GT(H.Eval("document.body.getElementsByTagName('*').length").toInt(), 20000);
    ASSERT_TRUE(D.Document().getElementById("last").removeAttribute("title"));
    D.Undo();
    const WideString Shown = D.GetHtml();
    EXPECT_TRUE(Shown == Expected) << FirstDifference(Expected, Shown);

    // a page's own attributes named as the design page names its marks come back as written
    const std::string MarksFile = H.Folder() / "marks.html";
    test::WriteAll(MarksFile, "<html><head><title>Marks</title></head><body zv-raw-0=\"b\" zv-ordered>\n"
                              "<p id=\"m\" zv-ordered=\"1\" title=\"t\" zv-spelling=\"\" zv-odd-0=\"a\" "
                              "zv-raw-0='say \"q\"'>marks &amp; more</p>\n<p zv-odd-0>x</p></body></html>");
    const WideString MarksExpected = FilterSource(MarksFile);
    D.LoadFromFile(MarksFile);
    THtmlFilter Read;
    LoadFilter(Read, MarksFile);
    Read.ReadDesign(D.CallLayer("bodySource", {-1}).toList().value(1).toString().toStdU16String());
    EXPECT_TRUE(Read.GetSourceText() == MarksExpected) << FirstDifference(MarksExpected, Read.GetSourceText());
    // and so does the element alone, read back after a change
    ASSERT_TRUE(D.Document().getElementById("m").removeAttribute("title"));
    D.Undo();
    const WideString MarksShown = D.GetHtml();
    EXPECT_TRUE(MarksShown == MarksExpected) << FirstDifference(MarksExpected, MarksShown);
}
