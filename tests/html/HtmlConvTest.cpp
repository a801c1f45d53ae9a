#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <sstream>

#include "HtmlConv.h"
#include "WideText.h"
#include "support/Converted.h"

using namespace zv;
using zv::test::Converted;

namespace {

// A memory stream that can hand out at most a few bytes per read, as pipes do.
class TTestStream : public TMemoryStream {
public:
    explicit TTestStream(const std::string& Bytes = "", int64_t MaxRead = 1 << 30) : MaxRead(MaxRead)
    {
        WriteBuffer(Bytes.data(), static_cast<int64_t>(Bytes.size()));
        SetPosition(0);
    }
    int64_t Read(void* Buffer, int64_t Count) override
    {
        return TMemoryStream::Read(Buffer, std::min(Count, MaxRead));
    }
    std::string Text() { return std::string(reinterpret_cast<const char*>(Memory()), Size()); }
    int64_t MaxRead;
};

std::string Detect(const std::string& Bytes)
{
    TTestStream s(Bytes);
    return DetectCharset(s);
}

// The UTF-16 text loaded, or the failure's message (and what was loaded before it).
WideString Load(const std::string& Bytes, std::string* Error = nullptr, int64_t MaxRead = 1 << 30)
{
    TTestStream source(Bytes, MaxRead), dest;
    try {
        LoadText(source, dest);
        EXPECT_EQ(dest.Position(), 0);
    } catch (const Exception& e) {
        EXPECT_TRUE(Error) << e.what();
        if (Error)
            *Error = e.Message();
    }
    const std::string bytes = dest.Text();
    WideString text(bytes.size() / 2, u'\0');
    std::memcpy(text.data(), bytes.data(), text.size() * 2);
    return text;
}

std::string LoadError(const std::string& Bytes)
{
    std::string error;
    Load(Bytes, &error);
    return error;
}

std::string Save(const WideString& Text, int64_t MaxRead = 1 << 30)
{
    TTestStream source(std::string(reinterpret_cast<const char*>(Text.data()), Text.size() * 2), MaxRead);
    TTestStream dest;
    SaveText(source, dest);
    // Text in memory is measured before it is written: the output is sized exactly.
    EXPECT_EQ(dest.Bytes().capacity(), dest.Bytes().size());
    return dest.Text();
}

std::string ReadFile(const std::string& Name)
{
    std::ifstream in(std::string(ZV_TEST_DATA) + "/charsets/" + Name, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

const std::string Meta = "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=";

}  // namespace

TEST(HtmlConv, DetectsDeclarations)
{
    EXPECT_EQ(Detect("<html><head><title>x</title></head><body>a</body></html>"), "ISO-8859-1");
    EXPECT_EQ(Detect("<?xml version=\"1.0\"?><html>"), "utf-8");
    EXPECT_EQ(Detect("<?xml version='1.0' encoding='windows-1250'?>"), "windows-1250");
    EXPECT_EQ(Detect("<META HTTP-EQUIV=content-type CONTENT='text/html;charset= UTF-8 '>"), "utf-8");
    EXPECT_EQ(Detect("<meta\tCharSet = \" Shift_JIS \" >"), "Shift_JIS");
    EXPECT_EQ(Detect("<?xml encoding='utf-8'?>" + Meta + "koi8-r\">" + Meta + "cp1251\">"), "cp1251");
    EXPECT_EQ(Detect("<body>" + Meta + "utf-8\">"), "ISO-8859-1");
    EXPECT_EQ(Detect("<BODY bgcolor=white><meta charset=utf-8>"), "ISO-8859-1");
    EXPECT_EQ(Detect("<!-- " + Meta + "utf-8\"> -->"), "ISO-8859-1");
    EXPECT_EQ(Detect("<meta http-equiv=\"refresh\" content=\"0; charset=utf-8\">"), "ISO-8859-1");
    EXPECT_EQ(Detect("<p title='<meta charset=utf-8>'>"), "ISO-8859-1");
    // A comment ends at its first "-->", also after more dashes.
    EXPECT_EQ(Detect("<!-- x --->" + Meta + "utf-8\">"), "utf-8");
    EXPECT_EQ(Detect("<!---->" + Meta + "utf-8\">"), "utf-8");
    // An empty value is no value; an empty charset stays empty (loaded as the default).
    EXPECT_EQ(Detect("<?xml encoding=''?>"), "utf-8");
    EXPECT_EQ(Detect(Meta + "\">"), "");
    // A bare charset attribute declares nothing.
    EXPECT_EQ(Detect("<meta charset><meta CHARSET >"), "ISO-8859-1");
    EXPECT_EQ(Detect("<?xml version=\"1.0\" encoding?>"), "utf-8");
    // UTF-16 without a mark is known by the zero bytes beside its first characters.
    EXPECT_EQ(Detect(std::string("<\0m\0e\0t\0a\0", 10) + "<meta charset=utf-8>"), "UTF-16LE");
    EXPECT_EQ(Detect(std::string("\0<\0p", 4)), "UTF-16BE");
    EXPECT_EQ(Detect(std::string("<\0", 2)), "ISO-8859-1");
    // Without a declaration, well-formed UTF-8 beyond ASCII is UTF-8; anything else the default.
    EXPECT_EQ(Detect("<p>\xC3\xA4 \xE2\x82\xAC \xF0\x9F\x98\x80"), "UTF-8");
    for (const char* text : {"<p>plain", "<p>caf\xE9", "<p>\xC0\xAF", "<p>\xED\xA0\x80", "<p>\xF4\x90\x80\x80",
                             "<p>\xE2\x82", "<p>\xC3\xA4\xFF", "<meta charset=iso-8859-1>\xC3\xA4"})
        EXPECT_EQ(Detect(text), std::string(text).starts_with("<meta") ? "iso-8859-1" : "ISO-8859-1") << text;
    // Byte-order marks come first.
    EXPECT_EQ(Detect("\xEF\xBB\xBF<meta charset=koi8-r>"), "UTF-8");
    TTestStream s("<head></head><body class=x>text");
    DetectCharset(s);
    EXPECT_EQ(s.Position(), 27);
    EXPECT_EQ(Detect("\xFF\xFE<\0"), "UTF-16LE");
    EXPECT_EQ(Detect("\xFE\xFF\0<"), "UTF-16BE");
    EXPECT_EQ(Detect("\xEF\xBB"), "ISO-8859-1");
    // Input ending anywhere inside a construct.
    for (const char* text : {"", "\xFF", "<", "<!", "<!--", "<!-- -", "<?xml", "<?xml encoding",
                             "<?xml encoding='x", "<meta charset", "<meta a=\"", "<meta charset=x "})
        EXPECT_EQ(Detect(text), "ISO-8859-1") << text;
}

TEST(HtmlConv, LoadsSampleDocumentsAcrossBlockBoundaries)
{
    for (const char* name : {"windows-1250", "koi8-r", "shift_jis", "utf-8"}) {
        const std::string html = ReadFile(std::string(name) + ".html");
        const std::string expected = ReadFile(std::string(name) + ".expected");
        ASSERT_GT(html.size(), 8192u) << name;
        for (int64_t maxRead : {1 << 30, 7}) {
            const WideString text = Load(html, nullptr, maxRead);
            EXPECT_TRUE(std::memcmp(text.data(), expected.data(), expected.size()) == 0 &&
                        text.size() * 2 == expected.size())
                << name << " " << maxRead;
        }
    }
    // The text is sized once from the input: two bytes a byte at most (exactly that for a
    // one-byte character set), and a UTF-16 source its own size.
    for (const auto& [name, oneByte] : {std::pair{"windows-1250", true}, {"koi8-r", true},
                                        {"shift_jis", false}, {"utf-8", false}}) {
        TTestStream source(ReadFile(std::string(name) + ".html")), dest;
        LoadText(source, dest);
        EXPECT_LE(dest.Bytes().capacity(), static_cast<size_t>(2 * source.Size())) << name;
        EXPECT_TRUE(!oneByte || dest.Bytes().capacity() == dest.Bytes().size()) << name;
    }
    const WideString Wide = u"<p>" + WideString(20000, u'\u0436') + u"</p>";
    TTestStream wideSource("\xFF\xFE" + std::string(reinterpret_cast<const char*>(Wide.data()), Wide.size() * 2)), wideDest;
    LoadText(wideSource, wideDest);
    EXPECT_EQ(wideDest.Bytes().size(), Wide.size() * 2);
    EXPECT_LE(wideDest.Bytes().capacity(), static_cast<size_t>(wideSource.Size()));

    // Output of many blocks, with four-byte characters cut at every boundary.
    std::string big = "<meta charset=utf-8>";
    WideString expected = u"<meta charset=utf-8>";
    for (int i = 0; i < 5000; ++i) {
        big += "\xE2\x82\xAC\xF0\x9F\x98\x80";
        expected += u"\u20AC\U0001F600";
    }
    EXPECT_EQ(Load(big), expected);
}

TEST(HtmlConv, LoadDropsInvalidBytesAndReportsTruncation)
{
    EXPECT_EQ(Load("caf\xE9"), u"caf\u00E9");
    EXPECT_EQ(Load(""), u"");
    EXPECT_EQ(Load("<meta charset=utf-8>a\xFF" "b\xE2\x28\xA1x"), u"<meta charset=utf-8>ab(x");
    std::string noisy = "<meta charset=utf-8>";
    WideString clean = u"<meta charset=utf-8>";
    for (int i = 0; i < 6000; ++i) {
        noisy += (i % 3 == 0) ? "\xFF\xFE" : "\xC3\xA4";
        if (i % 3)
            clean += u'\u00E4';
    }
    EXPECT_EQ(Load(noisy), clean);

    std::string error;
    EXPECT_EQ(Load("<meta charset=utf-8>ok\xE2\x82", &error), u"<meta charset=utf-8>ok");
    EXPECT_EQ(error, "incomplete character or shift sequence");
    EXPECT_EQ(LoadError("\xFF\xFE" "a\0b"), "incomplete character or shift sequence");
}

TEST(HtmlConv, LoadGivesWhatTheConverterGivesOnRandomBytes)
{
    uint32_t seed = 1;
    auto next = [&seed](uint32_t range) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % range;
    };
    // Bytes that make many well-formed and ill-formed sequences: lead bytes of every length,
    // continuation bytes, overlong and surrogate forms, ASCII (no "<", which would declare).
    const uint8_t pieces[] = {'a', ' ', 0, 0x7F, 0x80, 0x9F, 0xBF, 0xC0, 0xC1, 0xC2, 0xDF, 0xE0,
                              0xED, 0xEF, 0xF0, 0xF4, 0xF5, 0xF7, 0xF8, 0xFC, 0xFE, 0xFF, 0xA0, 0x8F};
    for (const char* charset : {"UTF-8", "ISO-8859-1", "windows-1252", "iso-8859-7", "KOI8-R", "us-ascii"}) {
        const std::string prefix = std::string(charset) == "UTF-8" ? "\xEF\xBB\xBF" : Meta + charset + "\">";
        for (int round = 0; round < 3000; ++round) {
            std::string bytes;
            for (uint32_t n = next(40); n > 0; --n)
                bytes += static_cast<char>(next(3) ? pieces[next(std::size(pieces))] : next(256));
            std::replace(bytes.begin(), bytes.end(), '<', '>');
            bool incomplete = false;
            const WideString want = Converted(charset, prefix.substr(prefix[0] == '<' ? 0 : 3) + bytes, incomplete);
            std::string error;
            EXPECT_EQ(Load(prefix + bytes, &error), want) << charset << " " << testing::PrintToString(bytes);
            EXPECT_EQ(error, incomplete ? "incomplete character or shift sequence" : "") << charset << " " << testing::PrintToString(bytes);
        }
    }
}

TEST(HtmlConv, LoadChecksAndMapsCharsetNames)
{
    // A name the converter does not know, or one it must not be handed, reads as no
    // declaration.
    EXPECT_EQ(Load(Meta + "utf-8; x\">\xC3\xA4"), Utf8ToUtf16(Meta + "utf-8; x\">\xC3\xA4"));
    EXPECT_EQ(Load("<meta charset=no-such-charset>\xE9"), u"<meta charset=no-such-charset>\u00E9");
    EXPECT_EQ(Load("<meta charset=utf-8//TRANSLIT>\xE9"), u"<meta charset=utf-8//TRANSLIT>\u00E9");
    EXPECT_EQ(LoadError("<meta charset=\"" + std::string(41, 'a') + "\">"), "");
    EXPECT_EQ(Load("<meta charset=utf-7>+ADw-b+AD4-"), u"<meta charset=utf-7>+ADw-b+AD4-");
    EXPECT_EQ(Load("<meta charset=UNICODE-1-1-UTF-7>+ADw-"), u"<meta charset=UNICODE-1-1-UTF-7>+ADw-");
    EXPECT_EQ(LoadError("<meta charset=\"iso_8859-1:1987\">"), "");
    EXPECT_EQ(Load(Meta + "\">\xE9"), Latin1ToUtf16(Meta + "\">\xE9"));
    EXPECT_EQ(Load("<meta charset=KS_C_5601-1987>\xC7\xD1"), u"<meta charset=KS_C_5601-1987>\uD55C");
    EXPECT_EQ(Load("<meta charset=x-mac-cyrillic>\x86"), u"<meta charset=x-mac-cyrillic>\u0416");
    EXPECT_EQ(Load("<meta charset=iso-8859-8-i>\xF9"), u"<meta charset=iso-8859-8-i>\u05E9");
    EXPECT_EQ(Load("<meta charset=shift_jis>~\\\x82\xa0"), u"<meta charset=shift_jis>~\\\u3042");
    // The older CJK names read with their extensions, as browsers read them.
    EXPECT_EQ(Load("<meta charset=gb2312>\xD6\xEC\xE9\x46\xBB\xF9"), u"<meta charset=gb2312>\u6731\u9555\u57FA");
    EXPECT_EQ(Load("<meta charset=euc-kr>\x8C\x63"), u"<meta charset=euc-kr>\uB620");
    EXPECT_EQ(Load("<meta charset=big5>\xAD\xBB\xB4\xE4\x95\xA8"), u"<meta charset=big5>\u9999\u6E2F\U00025683");
    // Byte-order marks select the set and are dropped.
    EXPECT_EQ(Load("\xEF\xBB\xBF<meta charset=koi8-r>\xC3\xA4"), u"<meta charset=koi8-r>\u00E4");
    EXPECT_EQ(Load(std::string("\xFF\xFE<\0p\0>\0\xAC\x20=\xD8\0\xDE", 14)), u"<p>\u20AC\U0001F600");
    EXPECT_EQ(Load(std::string("\xFE\xFF\0<\0p\0>\x20\xAC", 10)), u"<p>\u20AC");
    // A declaration of a set of two bytes a character, read byte by byte, is no declaration.
    EXPECT_EQ(Load("<meta charset=utf-16>\xC3\xA4!"), u"<meta charset=utf-16>\u00E4!");
    EXPECT_EQ(Load("<?xml version='1.0' encoding='UTF-16'?><p>ab\xE9"), u"<?xml version='1.0' encoding='UTF-16'?><p>ab\u00E9");
    EXPECT_EQ(Load(std::string("<\0p\0>\0\xAC\x20", 8)), u"<p>\u20AC");
    EXPECT_EQ(Load(std::string("\0<\0p\0>\x20\xAC", 8)), u"<p>\u20AC");
}

TEST(HtmlConv, SaveWritesOneBytePerCharacter)
{
    EXPECT_EQ(Save(u"A\u00E9"), "A\xE9");
    EXPECT_EQ(Save(u"a\u0101b\u20AC"), "a&#x0101;b&#x20AC;");
    EXPECT_EQ(Save(u"\U0001F600!\U0010FFFF"), "&#x1F600;!&#x10FFFF;");
    EXPECT_EQ(Save(WideString(u"a\xD800" "b\xDC00\xD83D\xD83D\xDE00x\xD83D")),
              "a&#xFFFD;b&#xFFFD;&#xFFFD;&#x1F600;x&#xFFFD;");

    // Surrogate pairs and code units cut between reads.
    WideString text(2047, u'a');
    text += u"\U0001F600z\u0101";
    const std::string expected = std::string(2047, 'a') + "&#x1F600;z&#x0101;";
    EXPECT_EQ(Save(text), expected);
    EXPECT_EQ(Save(text, 7), expected);
}
