#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <unistd.h>

#include <fcntl.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <thread>
#include <sstream>
#include <stdexcept>

#include "HtmlParser.h"
#include "HtmlWriter.h"
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

// Each case runs through an unnamed temporary file and through the named one that file
// systems without unnamed files get.
class AtomicSave : public testing::TestWithParam<bool> {
protected:
    void SetUp() override { SaveThroughUnnamedFile = GetParam(); }
    void TearDown() override { SaveThroughUnnamedFile = true; }
};
INSTANTIATE_TEST_SUITE_P(Streams, AtomicSave, testing::Values(true, false));

TEST_P(AtomicSave, ReplacesOrLeavesTheOldFile)
{
    const std::string dir = MakeTempDir();
    const std::string path = dir + "/page.html";
    SaveFileAtomically(path, "first", 5);
    EXPECT_EQ(ReadAll(path), "first");
    // a new file gets the usual permissions, a replaced one keeps its own
    struct stat info {};
    const mode_t mask = ::umask(022);
    ::umask(mask);
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0666 & ~mask);
    ::chmod(path.c_str(), 0640);
    SaveFileAtomically(path, "second!", 7);
    EXPECT_EQ(ReadAll(path), "second!");
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640);
    ::chmod(path.c_str(), 0644);
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

TEST_P(AtomicSave, KilledAtAnyMomentLeavesTheOldOrTheNewFileAndNothingElse)
{
    const std::string dir = MakeTempDir();
    const std::string path = dir + "/page.html";
    const bool unnamed = GetParam();
    if (const int probe = ::open(dir.c_str(), O_TMPFILE | O_RDWR, 0600); probe >= 0)
        ::close(probe);
    else if (unnamed)
        GTEST_SKIP() << "the temporary folder's file system makes no unnamed files";
    // two large pages, each as the writer saves it
    std::string bytes[2];
    for (int k = 0; k < 2; ++k) {
        WideString html = u"<!DOCTYPE html><html><head><title>\u00c9t\u00e9 " + WideString(k ? u"new" : u"old") +
                          u"</title></head><body>";
        for (int i = 0; i < 12000 + 3000 * k; ++i)
            html += u"<p class=\"c\" data-x=\"\" title=\"a &amp; b\">Paragraph &eacute; \u03a9 \u4e2d "
                    u"<a href=\"x.html#\u00e9\"><div>a block in a link</div></a><br></p>";
        html += u"</body></html>";
        const std::unique_ptr<THtmlRoot> page = ParseHtml(html);
        TMemoryStream memory;
        bool wide = false;
        WriteDocumentLatin1(memory, page.get(), wide);
        bytes[k].assign(reinterpret_cast<const char*>(memory.Memory()), static_cast<size_t>(memory.Size()));
    }
    ASSERT_GT(bytes[0].size(), 2000000u);
    auto startSave = [&](int k) {
        const pid_t child = ::fork();
        if (child == 0) {
            // in pieces, as the writer streams a page
            SaveFileAtomically(path, [&](TStream& file) {
                for (size_t at = 0; at < bytes[k].size(); at += 16384)
                    file.WriteBuffer(bytes[k].data() + at, static_cast<int64_t>(std::min<size_t>(16384, bytes[k].size() - at)));
            });
            ::_exit(0);
        }
        return child;
    };
    auto reap = [](pid_t child) {
        int status = 0;
        while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
    };
    SaveFileAtomically(path, bytes[0].data(), static_cast<int64_t>(bytes[0].size()));
    // how long one whole save takes, from the fork to its end
    const auto before = std::chrono::steady_clock::now();
    reap(startSave(1));
    const auto whole = std::chrono::steady_clock::now() - before;
    ASSERT_EQ(ReadAll(path), bytes[1]);

    std::mt19937 random(std::random_device{}());
    std::uniform_int_distribution<int64_t> moment(0, std::chrono::duration_cast<std::chrono::microseconds>(whole).count() * 3 / 2);
    int old = 0, replaced = 0, named = 0;
    for (int run = 0; run < 50; ++run) {
        const std::string previous = ReadAll(path);
        const int k = previous == bytes[0] ? 1 : 0;
        const pid_t child = startSave(k);
        ASSERT_GT(child, 0);
        std::this_thread::sleep_for(std::chrono::microseconds(moment(random)));
        ::kill(child, SIGKILL);
        reap(child);
        const std::string now = ReadAll(path);
        ASSERT_TRUE(now == bytes[0] || now == bytes[1]) << "run " << run << ": " << now.size() << " bytes";
        (now == previous ? old : replaced)++;
        // Through an unnamed file nothing part-written is left: a kill in the moment between
        // naming the new file and putting it in place leaves it whole under its temporary
        // name. A named temporary file is left as the kill found it. Either way the next save
        // removes it.
        int left = 0;
        for (const auto& entry : std::filesystem::directory_iterator(dir)) {
            if (entry.path() == path) continue;
            EXPECT_TRUE(entry.path().filename().string().starts_with(".page.html.~")) << entry.path();
            if (unnamed) {
                EXPECT_EQ(ReadAll(entry.path()), bytes[k]) << "run " << run;
            }
            ++left;
        }
        EXPECT_LE(left, 1) << "run " << run;
        named += left;
    }
    // the kills came before, during and after the writing
    EXPECT_GT(old, 0);
    EXPECT_GT(replaced, 0);
    if (unnamed) {
        EXPECT_LE(named, 5);
    }
    SaveFileAtomically(path, "done", 4);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator()), 1);
    std::system(("rm -rf " + dir).c_str());
}
