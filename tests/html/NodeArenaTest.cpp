#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "HtmlParser.h"
#include "HtmlWriter.h"
#include "NodeArena.h"

using namespace zv;

namespace {

// A page of many segments, and what the writer makes of it.
constexpr int Paragraphs = 20000;

WideString LargePage()
{
    WideString Page = u"<body>";
    for (int I = 0; I < Paragraphs; ++I)
        Page += u"<p class=x>a <b>b</b></p>";
    return Page;
}

WideString WrittenLargePage()
{
    WideString Out = u"<html>\r\n  <body>\r\n";
    for (int I = 0; I < Paragraphs; ++I)
        Out += u"    <p class=\"x\">a <b>b</b></p>\r\n";
    return Out + u"  </body>\r\n</html>\r\n";
}

}  // namespace

TEST(NodeArena, LargeTreesAreBuiltThereAndGiveTheirSegmentsBack)
{
    ASSERT_EQ(NodeArenaBytes(), 0u);
    const WideString Page = LargePage();
    std::unique_ptr<THtmlRoot> Root = ParseHtml(Page);
    const size_t Held = NodeArenaBytes();
    EXPECT_GT(Held, 0u);
    EXPECT_EQ(NodeToHtml(Root.get()), WrittenLargePage());

    // Changed outside the arena, its nodes and attributes mix with others from the heap.
    auto* Body = static_cast<THtmlTag*>(Root->FindChild(tagBody, true));
    auto* First = static_cast<THtmlTag*>(Body->First());
    First->SetAttribute(attrClass, u"changed");
    Body->AddFirst(new THtmlText(tagText, u"x"));
    EXPECT_EQ(NodeArenaBytes(), Held);

    // One node that outlives its tree keeps no more than its own segment.
    auto* Last = static_cast<THtmlTag*>(Body->Last());
    Body->Remove(Last);
    Root.reset();
    EXPECT_GT(NodeArenaBytes(), 0u);
    EXPECT_LT(NodeArenaBytes(), Held / 2);
    EXPECT_EQ(NodeToHtml(Last), u"<p class=\"x\">a <b>b</b></p>\r\n");
    delete Last;
    EXPECT_EQ(NodeArenaBytes(), 0u);

    // A small page too is built there, and gives its segment back with its tree.
    Root = ParseHtml(u"<p>small</p>");
    EXPECT_GT(NodeArenaBytes(), 0u);
    Root.reset();
    EXPECT_EQ(NodeArenaBytes(), 0u);
}

TEST(NodeArena, ScopesNestAndNodesMayOutliveThem)
{
    std::unique_ptr<THtmlTag> Outer;
    {
        const TNodeArenaScope Closed(false);
        Outer = std::make_unique<THtmlTag>(tagDiv);
        EXPECT_EQ(NodeArenaBytes(), 0u);
        const TNodeArenaScope Open(true);
        {
            const TNodeArenaScope Inner(true);
            Outer->AddLast(new THtmlTag(tagImg));
        }
        Outer->AddLast(new THtmlText(tagText, u"text"));
        EXPECT_GT(NodeArenaBytes(), 0u);
    }
    // Made after the scopes closed, on the heap; the arena nodes are still fine.
    Outer->AddLast(new THtmlTag(tagBr));
    EXPECT_EQ(NodeToHtml(Outer.get()), u"<div>\r\n  <img>text<br>\r\n</div>\r\n");
    Outer->Clear();
    EXPECT_EQ(NodeArenaBytes(), 0u);

    // Within a heap scope the arena is paused: what is made there holds no segment.
    std::unique_ptr<THtmlText> Kept;
    {
        const TNodeArenaScope Open(true);
        std::unique_ptr<THtmlTag> Passing(new THtmlTag(tagP));
        const TNodeHeapScope Heap;
        Kept.reset(new THtmlText(tagText, u"kept"));
    }
    EXPECT_EQ(NodeArenaBytes(), 0u);
}

// A page loads on a thread of its own while the window goes on pasting; trees cross threads
// both ways and are freed where they end up.
TEST(NodeArena, ThreadsBuildAndFreeEachOthersTrees)
{
    constexpr int Rounds = 8;
    const WideString Page = LargePage();
    const WideString Written = WrittenLargePage();
    std::mutex Lock;
    std::deque<std::unique_ptr<THtmlRoot>> Loaded;  // built by the loader, freed here
    std::deque<std::unique_ptr<THtmlRoot>> Pasted;  // built here, freed by the loader
    bool Done = false;
    std::thread Loader([&] {
        for (int I = 0; I < Rounds; ++I) {
            std::unique_ptr<THtmlRoot> Root = ParseHtml(Page);
            std::deque<std::unique_ptr<THtmlRoot>> Free;
            const std::lock_guard Guard(Lock);
            Loaded.push_back(std::move(Root));
            Free.swap(Pasted);
        }
        const std::lock_guard Guard(Lock);
        Done = true;
    });
    int Received = 0;
    for (int Paste = 0;; ++Paste) {
        const WideString Number = WideString(1, static_cast<char16_t>(u'0' + Paste % 10));
        std::unique_ptr<THtmlRoot> Fragment = ParseHtml(u"<p>paste <b>" + Number + u"</b></p>");
        auto* Body = static_cast<THtmlTag*>(Fragment->FindChild(tagBody, true));
        Body->AddLast(new THtmlText(tagText, u"\u0436"));  // from the heap
        EXPECT_EQ(NodeToHtml(Body), 
                  u"  <body>\r\n    <p>paste <b>" + Number + u"</b></p>\r\n    &#x0436;\r\n  </body>\r\n");
        std::unique_ptr<THtmlRoot> Root;
        bool Finished;
        {
            const std::lock_guard Guard(Lock);
            if (!Loaded.empty()) {
                Root = std::move(Loaded.front());
                Loaded.pop_front();
            }
            Pasted.push_back(std::move(Fragment));
            Finished = Done && Loaded.empty();
        }
        if (Root) {
            EXPECT_EQ(NodeToHtml(Root.get()), Written);
            Root.reset();
            ++Received;
        }
        if (Finished)
            break;
    }
    Loader.join();
    EXPECT_EQ(Received, Rounds);
    Pasted.clear();
    EXPECT_EQ(NodeArenaBytes(), 0u);
}
