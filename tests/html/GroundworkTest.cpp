#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "Streams.h"
#include "WideText.h"
#include "support/Unprivileged.h"

using namespace zv;

namespace {

std::string MakeTempDir()
{
    char tmpl[] = "/tmp/zv-test-XXXXXX";
    return ::mkdtemp(tmpl);
}

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

}  // namespace

TEST(WideText, Utf8RoundTripKeepsEveryPlane)
{
    const WideString text = u"a\u00e9\u03a9\u4e2d\U0001F600z";
    EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(text)), text);
    EXPECT_EQ(Utf16ToUtf8(u"\U0001F600"), "\xF0\x9F\x98\x80");
}

TEST(WideText, BrokenInputBecomesReplacementCharacters)
{
    EXPECT_EQ(Utf16ToUtf8(WideString(1, char16_t(0xD800))), "\xEF\xBF\xBD");
    EXPECT_EQ(Utf8ToUtf16("a\xC3"), u"a\uFFFD");       // truncated sequence
    EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD");  // overlong form
    EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80x").back(), u'x');  // encoded surrogate skipped
}

TEST(WideText, AsciiCaseFoldingLeavesOtherLettersAlone)
{
    EXPECT_TRUE(SameTextAscii(u"TaBle", u"tAbLE"));
    EXPECT_FALSE(SameTextAscii(u"\u00C9", u"\u00E9"));
    EXPECT_LT(CompareTextAscii(u"abc", u"ABD"), 0);
    EXPECT_EQ(CompareTextAscii(u"ab", u"AB"), 0);
    EXPECT_GT(CompareTextAscii(u"abc", u"AB"), 0);
    EXPECT_TRUE(StartsWithTextAscii(u"Content-Type", u"content"));
    EXPECT_EQ(IntToHexWide(0x2122, 4), u"2122");
    EXPECT_EQ(IntToHexWide(0xAB, 4), u"00AB");
    EXPECT_EQ(Trim(u" \t\r\nx y \x01"), u"x y");
}

TEST(Streams, MemoryStreamReadsWritesAndSeeks)
{
    TMemoryStream s;
    s.WriteBuffer("hello", 5);
    EXPECT_EQ(s.Size(), 5);
    s.SetPosition(1);
    char buf[8] = {};
    EXPECT_EQ(s.Read(buf, 8), 4);
    EXPECT_STREQ(buf, "ello");
    EXPECT_EQ(s.Read(buf, 8), 0);
    EXPECT_THROW(s.ReadBuffer(buf, 1), EReadError);
    s.Seek(-2, TSeekOrigin::End);
    s.WriteBuffer("LOX", 3);  // overwrites and grows
    EXPECT_EQ(std::string(reinterpret_cast<char*>(s.Memory()), 6), "helLOX");
    s.Seek(-100, TSeekOrigin::Current);
    EXPECT_EQ(s.Position(), 0);
    s.Reserve(1000);  // room only: size, position and bytes stay
    EXPECT_GE(s.Bytes().capacity(), 1000u);
    EXPECT_EQ(s.Size(), 6);
    EXPECT_EQ(s.Position(), 0);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(s.Memory()), 6), "helLOX");
}

TEST(Streams, FileStreamErrorsNameTheFile)
{
    try {
        TFileStream f("/nonexistent/dir/file.html", TFileMode::OpenRead);
        FAIL();
    } catch (const EFOpenError& e) {
        EXPECT_NE(e.Message().find("/nonexistent/dir/file.html"), std::string::npos);
    }
    EXPECT_THROW(TFileStream("/nonexistent/dir/x", TFileMode::Create), EFCreateError);
}

TEST(Streams, AtomicSaveReplacesOrLeavesTheOldFile)
{
    const std::string dir = MakeTempDir();
    const std::string path = dir + "/page.html";
    SaveFileAtomically(path, "first", 5);
    EXPECT_EQ(ReadAll(path), "first");
    SaveFileAtomically(path, "second!", 7);
    EXPECT_EQ(ReadAll(path), "second!");
    // through a link the file it points to gets the text, and the link stays a link
    const std::string link = dir + "/link.html";
    ASSERT_EQ(::symlink("page.html", link.c_str()), 0);
    SaveFileAtomically(link, "linked", 6);
    EXPECT_EQ(ReadAll(path), "linked");
    struct stat linkInfo {};
    EXPECT_TRUE(::lstat(link.c_str(), &linkInfo) == 0 && S_ISLNK(linkInfo.st_mode));
    ::unlink(link.c_str());
    SaveFileAtomically(path, "second!", 7);

    // a folder the user may not write into (root may: the check runs as an ordinary user)
    zv::test::GiveToUnprivileged({dir, path});
    ::chmod(dir.c_str(), 0555);
    const std::optional<bool> Refused = zv::test::RunUnprivileged([&] {
        try {
            SaveFileAtomically(path, "third", 5);
        } catch (const EStreamError&) {
            return true;
        }
        return false;
    });
    ::chmod(dir.c_str(), 0755);
    EXPECT_NE(Refused, std::optional<bool>(false));
    EXPECT_EQ(ReadAll(path), "second!");
    // nor a read-only file in a folder the user may write into
    ::chmod(path.c_str(), 0444);
    const std::optional<bool> ReadOnly = zv::test::RunUnprivileged([&] {
        try {
            SaveFileAtomically(path, "third", 5);
        } catch (const EFCreateError& e) {
            return e.Message().find("Permission denied") != std::string::npos;
        }
        return false;
    });
    ::chmod(path.c_str(), 0644);
    EXPECT_NE(ReadOnly, std::optional<bool>(false));
    EXPECT_EQ(ReadAll(path), "second!");
    // A write error (the file-size limit stands in for a full disk) leaves the old file and
    // no temporary behind.
    struct rlimit old {};
    ::getrlimit(RLIMIT_FSIZE, &old);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 4;
    ::setrlimit(RLIMIT_FSIZE, &small);
    EXPECT_THROW(SaveFileAtomically(path, "much too long", 13), EWriteError);
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(ReadAll(path), "second!");
    EXPECT_EQ(std::system(("test $(ls -A " + dir + " | wc -l) -eq 1").c_str()), 0);
    // Written through a stream: in pieces; whatever stops the writing leaves the old file.
    SaveFileAtomically(path, [](TStream& File) {
        File.WriteBuffer("in ", 3);
        File.WriteBuffer("pieces", 6);
    });
    EXPECT_EQ(ReadAll(path), "in pieces");
    EXPECT_THROW(SaveFileAtomically(path,
                                    [](TStream& File) {
                                        File.WriteBuffer("half", 4);
                                        throw std::runtime_error("stopped");
                                    }),
                 std::runtime_error);
    EXPECT_EQ(ReadAll(path), "in pieces");
    EXPECT_EQ(std::system(("test $(ls -A " + dir + " | wc -l) -eq 1").c_str()), 0);
    std::system(("rm -rf " + dir).c_str());
}
