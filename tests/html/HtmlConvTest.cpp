#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "HtmlConv.h"
#include "Streams.h"
#include "WideText.h"

using namespace zv;

namespace {

TMemoryStream StreamOf(const std::string& Bytes)
{
    TMemoryStream s;
    s.WriteBuffer(Bytes.data(), static_cast<int64_t>(Bytes.size()));
    s.SetPosition(0);
    return s;
}

std::string Detect(const std::string& Bytes)
{
    TMemoryStream s = StreamOf(Bytes);
    return DetectCharset(s);
}

WideString WideOf(TMemoryStream& S)
{
    WideString text(static_cast<size_t>(S.Size() / 2), u'\0');
    for (size_t i = 0; i < text.size(); ++i)
        text[i] = static_cast<char16_t>(S.Memory()[2 * i] | (S.Memory()[2 * i + 1] << 8));
    return text;
}

WideString Load(const std::string& Bytes)
{
    TMemoryStream source = StreamOf(Bytes), dest;
    LoadText(source, dest);
    EXPECT_EQ(dest.Position(), 0);
    return WideOf(dest);
}

// The message LoadText fails with, or "" when it does not.
std::string LoadError(const std::string& Bytes, WideString* Partial = nullptr)
{
    TMemoryStream source = StreamOf(Bytes), dest;
    try {
        LoadText(source, dest);
    } catch (const Exception& e) {
        if (Partial)
            *Partial = WideOf(dest);
        return e.Message();
    }
    return "";
}

std::string Save(const WideString& Text, int64_t From = 0)
{
    TMemoryStream source, dest;
    for (char16_t c : Text) {
        const uint8_t b[2] = {static_cast<uint8_t>(c & 0xFF), static_cast<uint8_t>(c >> 8)};
        source.WriteBuffer(b, 2);
    }
    source.SetPosition(From);
    SaveText(source, dest);
    return std::string(reinterpret_cast<const char*>(dest.Memory()), dest.Size());
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
    EXPECT_EQ(Detect(""), "ISO-8859-1");
    EXPECT_EQ(Detect("<?xml version=\"1.0\"?><html>"), "utf-8");
    EXPECT_EQ(Detect("<?xml version='1.0' encoding='windows-1250'?>"), "windows-1250");
    EXPECT_EQ(Detect("<META HTTP-EQUIV=\"content-type\" CONTENT=\"text/html; charset=UTF-8\">"),
              "utf-8");
    EXPECT_EQ(Detect("<meta http-equiv=content-type content='text/html;charset= KOI8-R '>"),
              "koi8-r");
    EXPECT_EQ(Detect("<meta charset=\"Shift_JIS\">"), "Shift_JIS");
    EXPECT_EQ(Detect("<meta\tCharSet = ' utf-8 ' >"), "utf-8");
    EXPECT_EQ(Detect(Meta + "koi8-r\">" + Meta + "windows-1251\">"), "windows-1251");
    EXPECT_EQ(Detect("<?xml version='1.0' encoding='utf-8'?>" + Meta + "koi8-r\">"), "koi8-r");
    // Not declarations.
    EXPECT_EQ(Detect("<body>" + Meta + "utf-8\">"), "ISO-8859-1");
    EXPECT_EQ(Detect("<BODY bgcolor=white><meta charset=utf-8>"), "ISO-8859-1");
    EXPECT_EQ(Detect("<!-- " + Meta + "utf-8\"> -->"), "ISO-8859-1");
    EXPECT_EQ(Detect("<meta http-equiv=\"refresh\" content=\"0; charset=utf-8\">"), "ISO-8859-1");
    EXPECT_EQ(Detect(Meta.substr(0, Meta.size() - 8) + "\">"), "ISO-8859-1");
    EXPECT_EQ(Detect("<p title='<meta charset=utf-8>'>"), "ISO-8859-1");
    // A comment ends at its first "-->", also when more dashes precede it.
    EXPECT_EQ(Detect("<!-- x --->" + Meta + "utf-8\">"), "utf-8");
    EXPECT_EQ(Detect("<!---->" + Meta + "utf-8\">"), "utf-8");
    // An empty value is no value; an empty charset stays empty (read as the default).
    EXPECT_EQ(Detect("<?xml encoding=''?>"), "utf-8");
    EXPECT_EQ(Detect(Meta + "\">"), "");
    // Text stored as UTF-16 without a mark stops the scan at its first zero byte.
    EXPECT_EQ(Detect(std::string("<\0m\0e\0t\0a\0", 10) + "<meta charset=utf-8>"), "ISO-8859-1");
}

TEST(HtmlConv, DetectionRecognisesByteOrderMarksAndStopsWhereTheScanEnded)
{
    EXPECT_EQ(Detect("\xEF\xBB\xBF<meta charset=koi8-r>"), "UTF-8");
    EXPECT_EQ(Detect("\xFF\xFE<\0"), "UTF-16LE");
    EXPECT_EQ(Detect("\xFE\xFF\0<"), "UTF-16BE");
    EXPECT_EQ(Detect("\xEF\xBB"), "ISO-8859-1");
    EXPECT_EQ(Detect("\xFF"), "ISO-8859-1");

    TMemoryStream s = StreamOf("\xEF\xBB\xBFrest");
    DetectCharset(s);
    EXPECT_EQ(s.Position(), 3);
    s = StreamOf("<head></head><body class=x>text");
    DetectCharset(s);
    EXPECT_EQ(s.Position(), 27);
    s = StreamOf("xx<meta charset=utf-8>");
    s.SetPosition(2);
    EXPECT_EQ(DetectCharset(s), "utf-8");
    EXPECT_EQ(s.Position(), s.Size());

    // Input ending anywhere inside a construct.
    for (const char* text : {"<", "<!", "<!-", "<!--", "<!-- -", "<?xml", "<?xml ", "<?xml encoding",
                             "<?xml encoding=", "<?xml encoding='x", "<meta charset", "<meta a=\"",
                             "<meta charset=x", "<meta charset=x ", "<body", "&#"})
        EXPECT_EQ(Detect(text), "ISO-8859-1") << text;
}

TEST(HtmlConv, LoadsSampleDocumentsAcrossBlockBoundaries)
{
    for (const char* name : {"windows-1250", "koi8-r", "shift_jis", "utf-8"}) {
        const std::string html = ReadFile(std::string(name) + ".html");
        const std::string expected = ReadFile(std::string(name) + ".expected");
        ASSERT_GT(html.size(), 8192u) << name;
        TMemoryStream source = StreamOf(html), dest;
        LoadText(source, dest);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(dest.Memory()), dest.Size()), expected)
            << name;
    }
    // Shift_JIS keeps backslash and tilde.
    EXPECT_EQ(Load("<meta charset=shift_jis>~\\\x82\xa0"), u"<meta charset=shift_jis>~\\\u3042");

    // Output far larger than one block, many multi-byte characters cut at every boundary.
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
    EXPECT_EQ(Load("abc"), u"abc");
    EXPECT_EQ(Load("caf\xE9"), u"caf\u00E9");
    EXPECT_EQ(Load(""), u"");
    EXPECT_EQ(Load("<meta charset=utf-8>a\xFF" "b\xC3\xA9"), u"<meta charset=utf-8>ab\u00E9");
    EXPECT_EQ(Load("<meta charset=utf-8>\xE2\x28\xA1x"), u"<meta charset=utf-8>(x");

    // Invalid bytes in every block, among output that fills blocks.
    std::string noisy = "<meta charset=utf-8>";
    WideString clean = u"<meta charset=utf-8>";
    for (int i = 0; i < 6000; ++i) {
        noisy += (i % 3 == 0) ? "\xFF\xFE" : "\xC3\xA4";
        if (i % 3)
            clean += u'\u00E4';
    }
    EXPECT_EQ(Load(noisy), clean);

    WideString partial;
    EXPECT_EQ(LoadError("<meta charset=utf-8>ok\xE2\x82", &partial),
              "incomplete character or shift sequence");
    EXPECT_EQ(partial, u"<meta charset=utf-8>ok");
    EXPECT_EQ(LoadError("\xFF\xFE" "a\0b"), "incomplete character or shift sequence");
    EXPECT_EQ(LoadError("<meta charset=utf-8>\xF0"), "incomplete character or shift sequence");
}

TEST(HtmlConv, LoadChecksAndMapsCharsetNames)
{
    EXPECT_EQ(LoadError(Meta + "utf-8; x\">"), "internal error");
    EXPECT_EQ(LoadError("<meta charset=no-such-charset>"), "internal error");
    EXPECT_EQ(LoadError("<meta charset=utf-8//TRANSLIT>"), "internal error");
    EXPECT_EQ(LoadError("<meta charset=\"" + std::string(41, 'a') + "\">"), "internal error");
    EXPECT_EQ(LoadError("<meta charset=\"UTF 8\">"), "internal error");
    EXPECT_EQ(LoadError("<meta charset=\"iso_8859-1:1987\">"), "");

    // An empty name reads as Latin-1.
    EXPECT_EQ(Load(Meta + "\">\xE9"), Latin1ToUtf16(Meta + "\">\xE9"));
    EXPECT_EQ(Load("<meta charset=KS_C_5601-1987>\xC7\xD1"), u"<meta charset=KS_C_5601-1987>\uD55C");
    EXPECT_EQ(Load("<meta charset=x-mac-cyrillic>\x86"), u"<meta charset=x-mac-cyrillic>\u0416");
    EXPECT_EQ(Load("<meta charset=iso-8859-8-i>\xF9"), u"<meta charset=iso-8859-8-i>\u05E9");
}

TEST(HtmlConv, LoadHonoursByteOrderMarks)
{
    EXPECT_EQ(Load("\xEF\xBB\xBF<meta charset=koi8-r>\xC3\xA4"), u"<meta charset=koi8-r>\u00E4");
    EXPECT_EQ(Load(std::string("\xFF\xFE<\0p\0>\0\xAC\x20=\xD8\0\xDE", 14)), u"<p>\u20AC\U0001F600");
    EXPECT_EQ(Load(std::string("\xFE\xFF\0<\0p\0>\x20\xAC", 10)), u"<p>\u20AC");
    EXPECT_EQ(Load("\xEF\xBB\xBF"), u"");
}

TEST(HtmlConv, SaveWritesOneBytePerCharacter)
{
    EXPECT_EQ(Save(u"A\u00E9"), "A\xE9");
    EXPECT_EQ(Save(u""), "");
    EXPECT_EQ(Save(u"xyz", 2), "yz");
    EXPECT_EQ(Save(u"a\u0101b\u20AC"), "a&#x0101;b&#x20AC;");
    EXPECT_EQ(Save(u"\U0001F600!"), "&#x1F600;!");
    EXPECT_EQ(Save(u"\U0010FFFF"), "&#x10FFFF;");
    // Unpaired surrogates.
    EXPECT_EQ(Save(WideString(u"a\xD800" "b\xDC00")), "a&#xFFFD;b&#xFFFD;");
    EXPECT_EQ(Save(WideString(u"\xD83D\xD83D\xDE00")), "&#xFFFD;&#x1F600;");
    EXPECT_EQ(Save(WideString(u"x\xD83D")), "x&#xFFFD;");

    // A surrogate pair split between two 4096-byte blocks, and a block starting mid-unit.
    WideString text(2047, u'a');
    text += u"\U0001F600z";
    EXPECT_EQ(Save(text), std::string(2047, 'a') + "&#x1F600;z");
    std::string units;
    for (int i = 0; i < 2048; ++i)
        units += std::string("b\0", 2);
    TMemoryStream source = StreamOf("q" + units + "\x01\x01" "c");
    source.SetPosition(1);
    TMemoryStream dest;
    SaveText(source, dest);
    EXPECT_TRUE(std::string(reinterpret_cast<const char*>(dest.Memory()), dest.Size()) ==
                std::string(2048, 'b') + "&#x0101;");
}
