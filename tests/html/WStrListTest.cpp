#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "Streams.h"
#include "WStrList.h"

using namespace zv;

namespace {

std::vector<WideString> Items(const TWideStrings& List)
{
    std::vector<WideString> Result;
    for (int I = 0; I < List.Count(); ++I)
        Result.push_back(List.Get(I));
    return Result;
}

std::vector<uint8_t> Bytes(std::initializer_list<int> Values)
{
    std::vector<uint8_t> Result;
    for (int V : Values)
        Result.push_back(static_cast<uint8_t>(V));
    return Result;
}

void LoadBytes(TWideStrings& List, const std::vector<uint8_t>& Data)
{
    TMemoryStream Stream;
    if (!Data.empty())
        Stream.WriteBuffer(Data.data(), static_cast<int64_t>(Data.size()));
    Stream.SetPosition(0);
    List.LoadFromStream(Stream);
}

template <class TFn>
std::string ListErrorOf(TFn&& Fn)
{
    try {
        Fn();
    } catch (const EStringListError& E) {
        return E.what();
    }
    return "no error";
}

constexpr TLcid German = 0x0407;
constexpr TLcid Swedish = 0x041D;

}  // namespace

TEST(WideStringList, TextIsSplitAtEveryLineEndAndJoinedWithCrLf)
{
    TWideStringList List;
    List.SetTextStr(u"a\rb\nc\r\n");
    EXPECT_EQ(Items(List), (std::vector<WideString>{u"a", u"b", u"c"}));
    List.SetTextStr(u"a\r\n");
    EXPECT_EQ(Items(List), (std::vector<WideString>{u"a"}));
    List.SetTextStr(u"x\n\ny");  // an empty line stays an item; text after the last break too
    EXPECT_EQ(Items(List), (std::vector<WideString>{u"x", u"", u"y"}));
    EXPECT_EQ(List.GetTextStr(), u"x\r\n\r\ny\r\n");
    List.SetTextStr(u"");
    EXPECT_EQ(List.Count(), 0);
    EXPECT_EQ(List.GetTextStr(), u"");

    List.Add(u"a");
    List.Add(u"b");
    EXPECT_EQ(List.GetTextStr(), u"a\r\nb\r\n");
    auto Buffer = List.GetText();
    EXPECT_EQ(WideString(Buffer.get()), u"a\r\nb\r\n");
    List.SetText(u"p\rq");
    EXPECT_EQ(Items(List), (std::vector<WideString>{u"p", u"q"}));
    List.SetText(nullptr);
    EXPECT_EQ(List.Count(), 0);
}

TEST(WideStringList, StringsOutsideAnyCodePageComeBackUnchanged)
{
    const WideString Greek = u"\u0391\u03b8\u03ae\u03bd\u03b1";
    const WideString Cyrillic = u"\u041c\u043e\u0441\u043a\u0432\u0430";
    const WideString Astral = u"x\U0001F600y";
    TWideStringList List;
    List.Add(Greek);
    List.Insert(0, Cyrillic);
    List.Add(u"tmp");
    List.Put(2, Astral);
    EXPECT_EQ(Items(List), (std::vector<WideString>{Cyrillic, Greek, Astral}));

    TMemoryStream Stream;
    List.SaveToStream(Stream);
    Stream.SetPosition(0);
    TWideStringList Loaded;
    Loaded.LoadFromStream(Stream);
    EXPECT_TRUE(Loaded.Equals(List));
}

TEST(WideStringList, ComparisonIgnoresCaseButNotAccentsAndFollowsTheLocale)
{
    TWideStringList List;
    List.Add(u"\u03b1\u03b2\u03b3");  // Greek lower case
    List.Add(u"Stra\u00dfe");
    List.Add(u"resume");
    EXPECT_EQ(List.IndexOf(u"\u0391\u0392\u0393"), 0);
    EXPECT_EQ(List.IndexOf(u"STRA\u1e9eE"), 1);  // capital sharp s
    EXPECT_EQ(List.IndexOf(u"RESUME"), 2);
    EXPECT_EQ(List.IndexOf(u"r\u00e9sum\u00e9"), -1);
    EXPECT_EQ(List.IndexOf(u"resumes"), -1);
    EXPECT_EQ(CompareWideText(German, u"abc", u"ABC"), 0);
    EXPECT_LT(CompareWideText(German, u"abc", u"ABD"), 0);

    // In German the umlaut sorts with its base letter, in Swedish after z.
    TWideStringList Sorted;
    Sorted.SetLanguage(German);
    Sorted.AddObject(u"z", 1);
    Sorted.AddObject(u"\u00e4", 2);
    Sorted.SetSorted(true);
    EXPECT_EQ(Items(Sorted), (std::vector<WideString>{u"\u00e4", u"z"}));
    Sorted.SetLanguage(Swedish);
    EXPECT_EQ(Items(Sorted), (std::vector<WideString>{u"z", u"\u00e4"}));
    EXPECT_EQ(Sorted.GetObject(0), 1);
    EXPECT_EQ(Sorted.GetObject(1), 2);
}

TEST(WideStringList, SortedListsHandleDuplicatesAndRefuseUnorderedChanges)
{
    TWideStringList List;
    List.SetSorted(true);
    for (const char16_t* S : {u"pear", u"Apple", u"fig", u"banana", u"cherry"})
        List.Add(S);
    EXPECT_EQ(Items(List), (std::vector<WideString>{u"Apple", u"banana", u"cherry", u"fig", u"pear"}));

    // Ignore: an existing string (other letter case) gives its index, nothing is added.
    EXPECT_EQ(List.Add(u"FIG"), 3);
    EXPECT_EQ(List.Count(), 5);
    EXPECT_EQ(List.IndexOf(u"BANANA"), 1);
    EXPECT_EQ(List.IndexOf(u"grape"), -1);
    int Index = -1;
    EXPECT_FALSE(List.Find(u"grape", Index));
    EXPECT_EQ(Index, 4);
    EXPECT_FALSE(List.Find(u"zzz", Index));
    EXPECT_EQ(Index, 5);

    List.SetDuplicates(dupError);
    EXPECT_EQ(ListErrorOf([&] { List.Add(u"Pear"); }), "String list does not allow duplicates");
    EXPECT_EQ(List.Count(), 5);

    List.SetDuplicates(dupAccept);
    for (int I = 0; I < 6; ++I)
        List.Add(I % 2 ? u"Fig" : u"fig");
    EXPECT_EQ(List.Count(), 11);
    for (int I = 3; I < 10; ++I)
        EXPECT_TRUE(SameTextAscii(List.Get(I), u"fig")) << I;
    EXPECT_EQ(List.Get(10), u"pear");
    List.SetDuplicates(dupIgnore);
    EXPECT_TRUE(List.Find(u"fig", Index));
    EXPECT_EQ(Index, 3);  // the first of the equal items

    EXPECT_EQ(ListErrorOf([&] { List.Insert(0, u"a"); }), "Operation not allowed on sorted list");
    EXPECT_EQ(ListErrorOf([&] { List.Put(0, u"a"); }), "Operation not allowed on sorted list");
    EXPECT_EQ(ListErrorOf([&] { List.Move(0, 1); }), "Operation not allowed on sorted list");
    EXPECT_EQ(List.Get(0), u"Apple");
    EXPECT_EQ(List.Count(), 11);
}

TEST(WideStringList, SortKeepsObjectsWithTheirStringsOnLargeInput)
{
    TWideStringList List;
    List.SetLanguage(German);
    uint32_t Seed = 12345;
    for (int I = 0; I < 3000; ++I) {
        Seed = Seed * 1103515245u + 12345u;
        List.AddObject(IntToWide((Seed >> 8) % 100000), I);
    }
    std::vector<WideString> Before = Items(List);
    std::vector<TObjectValue> Objects;
    for (int I = 0; I < List.Count(); ++I)
        Objects.push_back(List.GetObject(I));
    List.Sort();
    for (int I = 1; I < List.Count(); ++I)
        ASSERT_LE(CompareWideText(German, List.Get(I - 1), List.Get(I)), 0);
    for (int I = 0; I < List.Count(); ++I)
        ASSERT_EQ(List.Get(I), Before[static_cast<size_t>(List.GetObject(I))]);

    // Already ordered input (a classic worst case) sorts as well.
    TWideStringList Ordered;
    for (int I = 0; I < 2000; ++I)
        Ordered.Add(IntToHexWide(static_cast<uint32_t>(I), 4));
    Ordered.SetSorted(true);
    EXPECT_EQ(Ordered.Get(0), u"0000");
    EXPECT_EQ(Ordered.Get(1999), u"07CF");
    EXPECT_EQ(Ordered.IndexOf(u"04d2"), 1234);
}

TEST(WideStringList, BadIndexesAndCapacitiesAreRefusedWithoutChange)
{
    TWideStringList List;
    List.AddObject(u"a", 7);
    List.Add(u"b");
    EXPECT_EQ(ListErrorOf([&] { List.Get(-1); }), "List index out of bounds (-1)");
    EXPECT_EQ(ListErrorOf([&] { List.Get(2); }), "List index out of bounds (2)");
    EXPECT_EQ(ListErrorOf([&] { List.GetObject(2); }), "List index out of bounds (2)");
    EXPECT_EQ(ListErrorOf([&] { List.PutObject(-3, 1); }), "List index out of bounds (-3)");
    EXPECT_EQ(ListErrorOf([&] { List.Insert(3, u"x"); }), "List index out of bounds (3)");
    EXPECT_EQ(ListErrorOf([&] { List.Delete(5); }), "List index out of bounds (5)");
    EXPECT_EQ(ListErrorOf([&] { List.Exchange(0, 9); }), "List index out of bounds (9)");
    EXPECT_EQ(ListErrorOf([&] { List.Move(0, 2); }), "List index out of bounds (2)");
    EXPECT_EQ(ListErrorOf([&] { List.SetCapacity(1); }), "List capacity out of bounds (1)");
    EXPECT_EQ(ListErrorOf([&] { List.SetCapacity(-1); }), "List capacity out of bounds (-1)");
    EXPECT_EQ(Items(List), (std::vector<WideString>{u"a", u"b"}));
    EXPECT_EQ(List.GetObject(0), 7);
    List.Insert(2, u"c");  // Count itself is a valid insertion place
    EXPECT_EQ(List.Get(2), u"c");

    List.SetCapacity(3);
    EXPECT_EQ(List.GetCapacity(), 3);
    EXPECT_EQ(Items(List), (std::vector<WideString>{u"a", u"b", u"c"}));
}

TEST(WideStringList, CapacityGrowsInStepsAndClearReleasesIt)
{
    TWideStringList List;
    std::vector<int> Seen;
    for (int I = 0; I < 100; ++I) {
        List.Add(u"x");
        if (Seen.empty() || Seen.back() != List.GetCapacity())
            Seen.push_back(List.GetCapacity());
    }
    EXPECT_EQ(Seen, (std::vector<int>{4, 8, 12, 28, 44, 60, 76, 95, 118}));
    List.Clear();
    EXPECT_EQ(List.Count(), 0);
    EXPECT_EQ(List.GetCapacity(), 0);
}

TEST(WideStringList, EditsKeepObjectsAndEventsFireOutsideUpdates)
{
    TWideStringList List;
    int Changing = 0;
    int Changed = 0;
    List.OnChanging = [&](TWideStrings*) { ++Changing; };
    List.OnChange = [&](TWideStrings*) { ++Changed; };
    List.AddObject(u"one", 1);  // insert and PutObject: two changes
    List.AddObject(u"two", 2);
    List.AddObject(u"three", 3);
    EXPECT_EQ(Changing, 6);
    EXPECT_EQ(Changed, 6);

    List.Move(0, 2);
    EXPECT_EQ(Items(List), (std::vector<WideString>{u"two", u"three", u"one"}));
    EXPECT_EQ(List.GetObject(2), 1);
    List.Exchange(0, 1);
    EXPECT_EQ(List.Get(0), u"three");
    EXPECT_EQ(List.GetObject(0), 3);
    List.Put(0, u"THREE");
    EXPECT_EQ(List.GetObject(0), 3);

    Changing = Changed = 0;
    List.BeginUpdate();
    List.BeginUpdate();
    List.Add(u"four");
    List.Delete(0);
    List.EndUpdate();
    EXPECT_EQ(Changed, 0);
    List.EndUpdate();
    EXPECT_EQ(Changing, 1);
    EXPECT_EQ(Changed, 1);

    TWideStringList Other;
    Other.AddObject(u"x", 9);
    Changing = Changed = 0;
    List.Assign(Other);
    EXPECT_EQ(Changing, 1);
    EXPECT_EQ(Changed, 1);
    EXPECT_TRUE(List.Equals(Other));
    EXPECT_EQ(List.GetObject(0), 9);
    List.Assign(List);
    EXPECT_EQ(Items(List), (std::vector<WideString>{u"x"}));
    Other.Put(0, u"X");
    EXPECT_FALSE(List.Equals(Other));  // exact, code unit by code unit

    List.AddStrings(List);
    EXPECT_EQ(Items(List), (std::vector<WideString>{u"x", u"x"}));
    EXPECT_EQ(List.GetObject(1), 9);
}

TEST(WideStringList, StreamsCarryAByteOrderMark)
{
    TWideStringList List;
    List.Add(u"A\u0416");
    List.Add(u"b");
    TMemoryStream Stream;
    List.SaveToStream(Stream);
    EXPECT_EQ(Stream.Bytes(), Bytes({0xFF, 0xFE, 'A', 0, 0x16, 0x04, '\r', 0, '\n', 0, 'b', 0, '\r', 0, '\n', 0}));

    TWideStringList Big;
    Big.Add(u"old");
    LoadBytes(Big, Bytes({0xFE, 0xFF, 0, 'A', 0x04, 0x16, 0, '\r', 0, '\n', 0, 'b'}));
    EXPECT_TRUE(Big.Equals(List));

    TWideStringList NoMark;
    LoadBytes(NoMark, Bytes({'A', 0, 0x16, 0x04, '\n', 0, 'b', 0, 'z'}));  // odd last byte unused
    EXPECT_TRUE(NoMark.Equals(List));

    TWideStringList Short;
    Short.Add(u"old");
    LoadBytes(Short, Bytes({'A'}));
    EXPECT_EQ(Short.Count(), 0);
    Short.Add(u"old");
    LoadBytes(Short, {});
    EXPECT_EQ(Short.Count(), 0);
    LoadBytes(Short, Bytes({0xFF, 0xFE}));
    EXPECT_EQ(Short.Count(), 0);

    // A stream is read from its position on.
    TMemoryStream Offset;
    const auto Junk = Bytes({1, 2, 3});
    Offset.WriteBuffer(Junk.data(), 3);
    List.SaveToStream(Offset);
    Offset.SetPosition(3);
    TWideStringList FromOffset;
    FromOffset.LoadFromStream(Offset);
    EXPECT_TRUE(FromOffset.Equals(List));

    char Dir[] = "/tmp/zv-wsl-XXXXXX";
    ASSERT_NE(::mkdtemp(Dir), nullptr);
    const std::string File = std::string(Dir) + "/list.txt";
    List.SaveToFile(File);
    TWideStringList FromFile;
    FromFile.LoadFromFile(File);
    EXPECT_TRUE(FromFile.Equals(List));
    EXPECT_THROW(FromFile.LoadFromFile(std::string(Dir) + "/missing.txt"), EFOpenError);
    EXPECT_TRUE(FromFile.Equals(List));
    ::unlink(File.c_str());
    ::rmdir(Dir);
}

TEST(WideStringList, StoredPropertyIsHexOfTheText)
{
    TWideStringList List;
    EXPECT_FALSE(List.ShouldStoreProperty(nullptr));
    List.Add(u"Ab");
    EXPECT_TRUE(List.ShouldStoreProperty(nullptr));
    EXPECT_EQ(List.WriteData(), "00410062000D000A");

    TWideStringList Same;
    Same.Add(u"Ab");
    EXPECT_FALSE(List.ShouldStoreProperty(&Same));
    Same.Put(0, u"AB");
    EXPECT_TRUE(List.ShouldStoreProperty(&Same));

    TWideStringList Read;
    Read.Add(u"old");
    Read.ReadData(List.WriteData() + "04");  // a short last group is ignored
    EXPECT_TRUE(Read.Equals(List));
    Read.ReadData("03A9000d000a");
    EXPECT_EQ(Read.Get(0), u"\u03a9");
    EXPECT_THROW(Read.ReadData("0041zz41"), EConvertError);
    EXPECT_EQ(Read.Get(0), u"\u03a9");
}
