#include <gtest/gtest.h>

#include <unistd.h>

#include <vector>

#include "Streams.h"
#include "WStrList.h"

using namespace zv;

namespace {

// The items joined by "|", as UTF-8.
std::string Joined(const TWideStrings& List)
{
    std::string Result;
    for (int I = 0; I < List.Count(); ++I)
        Result += (I ? "|" : "") + Utf16ToUtf8(List.Get(I));
    return Result;
}

void LoadBytes(TWideStrings& List, const std::vector<uint8_t>& Data)
{
    TMemoryStream Stream;
    Stream.Bytes() = Data;
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

TEST(WideStringList, TextLinesAndLosslessStrings)
{
    TWideStringList List;
    List.SetTextStr(u"a\rb\nc\r\n");
    EXPECT_EQ(Joined(List), "a|b|c");
    List.SetTextStr(u"a\r\n");
    EXPECT_EQ(Joined(List), "a");
    List.SetTextStr(u"x\n\ny");
    EXPECT_EQ(List.GetTextStr(), u"x\r\n\r\ny\r\n");
    List.SetTextStr(u"");
    EXPECT_EQ(List.Count(), 0);
    EXPECT_EQ(List.GetTextStr(), u"");
    List.SetText(u"p\rq");
    EXPECT_EQ(WideString(List.GetText().get()), u"p\r\nq\r\n");

    // Greek, Cyrillic and characters beyond the BMP are kept as they are.
    List.Add(u"\u0391\u03b8\u03ae\u03bd\u03b1");
    List.Insert(0, u"\u041c\u043e\u0441\u043a\u0432\u0430");
    List.Put(1, u"x\U0001F600y");
    EXPECT_EQ(Joined(List), "\u041c\u043e\u0441\u043a\u0432\u0430|x\U0001F600y|q|\u0391\u03b8\u03ae\u03bd\u03b1");
}

TEST(WideStringList, ComparisonIgnoresCaseButNotAccentsAndFollowsTheLocale)
{
    TWideStringList List;  // the environment's locale, which may be plain C
    List.SetTextStr(u"\u03b1\u03b2\u03b3\nresume");
    EXPECT_EQ(List.IndexOf(u"\u0391\u0392\u0393"), 0);
    EXPECT_EQ(List.IndexOf(u"RESUME"), 1);
    EXPECT_EQ(List.IndexOf(u"r\u00e9sum\u00e9"), -1);
    EXPECT_EQ(List.IndexOf(u"resumes"), -1);

    // In German the umlaut sorts with its base letter, in Swedish after z.
    TWideStringList Sorted;
    Sorted.SetLanguage(German);
    Sorted.AddObject(u"z", 1);
    Sorted.AddObject(u"\u00e4", 2);
    Sorted.SetSorted(true);
    EXPECT_EQ(Joined(Sorted), "\u00e4|z");
    Sorted.SetLanguage(Swedish);
    EXPECT_EQ(Joined(Sorted), "z|\u00e4");
    EXPECT_EQ(Sorted.GetObject(0), 1);
}

TEST(WideStringList, SortedListsHandleDuplicatesAndRefuseUnorderedChanges)
{
    TWideStringList List;
    List.SetSorted(true);
    List.SetTextStr(u"pear\nApple\nfig\nbanana\ncherry");
    EXPECT_EQ(Joined(List), "Apple|banana|cherry|fig|pear");
    EXPECT_EQ(List.Add(u"FIG"), 3);  // ignored: the existing index
    EXPECT_EQ(List.Count(), 5);
    EXPECT_EQ(List.IndexOf(u"BANANA"), 1);
    int Index = -1;
    EXPECT_FALSE(List.Find(u"grape", Index));
    EXPECT_EQ(Index, 4);

    List.SetDuplicates(dupError);
    EXPECT_EQ(ListErrorOf([&] { List.Add(u"Pear"); }), "String list does not allow duplicates");
    List.SetDuplicates(dupAccept);
    for (int I = 0; I < 6; ++I)
        List.Add(I % 2 ? u"Fig" : u"fig");
    EXPECT_EQ(List.Count(), 11);
    EXPECT_EQ(List.Get(10), u"pear");
    List.SetDuplicates(dupIgnore);
    EXPECT_TRUE(List.Find(u"fig", Index));
    EXPECT_EQ(Index, 3);  // the first of the equal items

    EXPECT_EQ(ListErrorOf([&] { List.Insert(0, u"a"); }), "Operation not allowed on sorted list");
    EXPECT_EQ(ListErrorOf([&] { List.Put(0, u"a"); }), "Operation not allowed on sorted list");
    EXPECT_EQ(ListErrorOf([&] { List.Move(0, 1); }), "Operation not allowed on sorted list");
    EXPECT_EQ(List.Get(0), u"Apple");
    EXPECT_EQ(List.Count(), 11);

    // A large shuffled list sorts in order, objects staying with their strings.
    TWideStringList Big;
    Big.SetLanguage(German);
    uint32_t Seed = 12345;
    for (int I = 0; I < 3000; ++I) {
        Seed = Seed * 1103515245u + 12345u;
        Big.AddObject(IntToWide((Seed >> 8) % 100000), static_cast<TObjectValue>((Seed >> 8) % 100000));
    }
    Big.Sort();
    for (int I = 0; I < Big.Count(); ++I) {
        ASSERT_EQ(Big.Get(I), IntToWide(Big.GetObject(I)));
        ASSERT_TRUE(I == 0 || CompareWideText(German, Big.Get(I - 1), Big.Get(I)) <= 0);
    }
}

TEST(WideStringList, BadIndexesAndCapacitiesAreRefusedWithoutChange)
{
    TWideStringList List;
    List.AddObject(u"a", 7);
    List.Add(u"b");
    EXPECT_EQ(ListErrorOf([&] { List.Get(-1); }), "List index out of bounds (-1)");
    EXPECT_EQ(ListErrorOf([&] { List.Get(2); }), "List index out of bounds (2)");
    EXPECT_EQ(ListErrorOf([&] { List.PutObject(-3, 1); }), "List index out of bounds (-3)");
    EXPECT_EQ(ListErrorOf([&] { List.Insert(3, u"x"); }), "List index out of bounds (3)");
    EXPECT_EQ(ListErrorOf([&] { List.Exchange(0, 9); }), "List index out of bounds (9)");
    EXPECT_EQ(ListErrorOf([&] { List.Move(0, 2); }), "List index out of bounds (2)");
    EXPECT_EQ(ListErrorOf([&] { List.SetCapacity(1); }), "List capacity out of bounds (1)");
    EXPECT_EQ(Joined(List), "a|b");
    EXPECT_EQ(List.GetObject(0), 7);
    List.SetCapacity(2);
    List.Insert(2, u"c");  // Count itself is a place to insert at

    // Growth steps, and Clear gives the room back.
    std::vector<int> Seen{List.GetCapacity()};
    while (List.Count() < 100) {
        List.Add(u"x");
        if (Seen.back() != List.GetCapacity())
            Seen.push_back(List.GetCapacity());
    }
    EXPECT_EQ(Seen, (std::vector<int>{6, 10, 26, 42, 58, 74, 92, 115}));
    List.Clear();
    EXPECT_EQ(List.GetCapacity(), 0);
}

TEST(WideStringList, EditsKeepObjectsAndEventsFireOutsideUpdates)
{
    TWideStringList List;
    int Changing = 0;
    int Changed = 0;
    List.OnChanging = [&](TWideStrings*) { ++Changing; };
    List.OnChange = [&](TWideStrings*) { ++Changed; };
    List.AddObject(u"one", 1);  // insert and object: two changes
    List.AddObject(u"two", 2);
    List.AddObject(u"three", 3);
    EXPECT_EQ(Changing + Changed, 12);
    List.Move(0, 2);
    List.Exchange(0, 1);
    List.Put(0, u"THREE");
    EXPECT_EQ(Joined(List), "THREE|two|one");
    EXPECT_EQ(List.GetObject(0) * 100 + List.GetObject(1) * 10 + List.GetObject(2), 321);

    Changing = Changed = 0;
    List.BeginUpdate();
    List.BeginUpdate();
    List.Add(u"four");
    List.EndUpdate();
    List.Delete(0);
    EXPECT_EQ(Changed, 0);
    List.EndUpdate();
    EXPECT_EQ(Changing + Changed, 2);

    TWideStringList Other;
    Other.AddObject(u"x", 9);
    List.Assign(Other);
    EXPECT_TRUE(List.Equals(Other));
    EXPECT_EQ(List.GetObject(0), 9);
    List.Assign(List);
    List.AddStrings(List);
    EXPECT_EQ(Joined(List), "x|x");
    EXPECT_EQ(List.GetObject(1), 9);
    List.Put(0, u"X");
    EXPECT_FALSE(List.Equals(Other) || Other.Equals(List));  // exact, not by locale
}

TEST(WideStringList, StreamsCarryAByteOrderMarkAndPropertiesHex)
{
    TWideStringList List;
    List.SetTextStr(u"A\u0416\nb");
    TMemoryStream Stream;
    List.SaveToStream(Stream);
    EXPECT_EQ(Stream.Bytes(), (std::vector<uint8_t>{0xFF, 0xFE, 'A', 0, 0x16, 4, 13, 0, 10, 0, 'b', 0, 13, 0, 10, 0}));

    TWideStringList Loaded;
    Loaded.Add(u"old");
    LoadBytes(Loaded, {0xFE, 0xFF, 0, 'A', 4, 0x16, 0, 10, 0, 'b'});
    EXPECT_TRUE(Loaded.Equals(List));
    LoadBytes(Loaded, {'A', 0, 0x16, 4, 13, 0, 'b', 0, 'z'});  // no mark; odd last byte unused
    EXPECT_TRUE(Loaded.Equals(List));
    LoadBytes(Loaded, {'A'});
    EXPECT_EQ(Loaded.Count(), 0);

    char Dir[] = "/tmp/zv-wsl-XXXXXX";
    ASSERT_NE(::mkdtemp(Dir), nullptr);
    const std::string File = std::string(Dir) + "/list.txt";
    List.SaveToFile(File);
    Loaded.LoadFromFile(File);
    EXPECT_TRUE(Loaded.Equals(List));
    EXPECT_THROW(Loaded.LoadFromFile(File + ".missing"), EFOpenError);
    EXPECT_TRUE(Loaded.Equals(List));
    ::unlink(File.c_str());
    ::rmdir(Dir);

    TWideStringList Prop;
    EXPECT_FALSE(Prop.ShouldStoreProperty(nullptr));
    Prop.Add(u"Ab");
    EXPECT_TRUE(Prop.ShouldStoreProperty(nullptr));
    EXPECT_FALSE(Prop.ShouldStoreProperty(&Prop));
    EXPECT_EQ(Prop.WriteData(), "00410062000D000A");
    Loaded.ReadData(Prop.WriteData() + "04");  // a short last group is ignored
    EXPECT_TRUE(Loaded.Equals(Prop));
    EXPECT_THROW(Loaded.ReadData("03A9zz41"), EConvertError);
    EXPECT_TRUE(Loaded.Equals(Prop));
}
