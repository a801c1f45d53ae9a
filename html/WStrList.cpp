#include "WStrList.h"
#include "WideText.h"

#include <unicode/coll.h>
#include <unicode/locid.h>
#include <unicode/uloc.h>

#include <cstring>
#include <map>
#include <mutex>

namespace zv {

namespace {

const char* const SListIndexError = "List index out of bounds (%d)";
const char* const SListCapacityError = "List capacity out of bounds (%d)";
const char* const SSortedListError = "Operation not allowed on sorted list";
const char* const SDuplicateString = "String list does not allow duplicates";

[[noreturn]] void ListError(const char* Message, int Data)
{
    std::string Text = Message;
    const auto Pos = Text.find("%d");
    if (Pos != std::string::npos)
        Text.replace(Pos, 2, std::to_string(Data));
    throw EStringListError(Text);
}

// One collator per locale id, made on first use and kept for the run. ICU collators are
// safe to share for comparisons once made.
const icu::Collator* CollatorFor(TLcid Language)
{
    static std::mutex Lock;
    static std::map<TLcid, std::unique_ptr<icu::Collator>> Cache;
    std::lock_guard<std::mutex> Guard(Lock);
    auto It = Cache.find(Language);
    if (It != Cache.end())
        return It->second.get();

    char Name[ULOC_FULLNAME_CAPACITY] = "";
    UErrorCode Status = U_ZERO_ERROR;
    if (Language != 0)
        uloc_getLocaleForLCID(Language, Name, sizeof(Name), &Status);
    icu::Locale Locale(U_FAILURE(Status) ? "" : Name);
    // The POSIX variant orders by code, letter case first: take its language's rules instead.
    if (std::strcmp(Locale.getVariant(), "POSIX") == 0)
        Locale = icu::Locale(Locale.getLanguage());
    Status = U_ZERO_ERROR;
    std::unique_ptr<icu::Collator> Collator(icu::Collator::createInstance(Locale, Status));
    if (U_FAILURE(Status) || !Collator) {
        Status = U_ZERO_ERROR;
        Collator.reset(icu::Collator::createInstance(icu::Locale::getRoot(), Status));
    }
    if (Collator) {
        Status = U_ZERO_ERROR;
        Collator->setStrength(icu::Collator::SECONDARY);
    }
    return (Cache[Language] = std::move(Collator)).get();
}

// Ends an update bracket even when the bracketed code raises.
class TUpdateGuard {
public:
    explicit TUpdateGuard(TWideStrings& List) : FList(List) { FList.BeginUpdate(); }
    ~TUpdateGuard() { FList.EndUpdate(); }
    TUpdateGuard(const TUpdateGuard&) = delete;
    TUpdateGuard& operator=(const TUpdateGuard&) = delete;

private:
    TWideStrings& FList;
};

}  // namespace

TLcid GetUserDefaultLcid()
{
    return static_cast<TLcid>(uloc_getLCID(uloc_getDefault()));
}

int CompareWideText(TLcid Language, WideStringView A, WideStringView B)
{
    const icu::Collator* Collator = CollatorFor(Language);
    if (!Collator)
        return A.compare(B);
    UErrorCode Status = U_ZERO_ERROR;
    const UCollationResult Result = Collator->compare(
        A.data(), static_cast<int32_t>(A.size()), B.data(), static_cast<int32_t>(B.size()), Status);
    if (U_FAILURE(Status))
        return A.compare(B);
    return static_cast<int>(Result);
}

// ---------------------------------------------------------------------------------------------
// TWideStrings

TWideStrings::TWideStrings() : FLanguage(GetUserDefaultLcid()) {}

int TWideStrings::GetCapacity() const { return GetCount(); }

TObjectValue TWideStrings::GetObject(int) const { return 0; }

WideString TWideStrings::GetTextStr() const
{
    WideString Result;
    const int N = GetCount();
    for (int I = 0; I < N; ++I) {
        Result += Get(I);
        Result += u"\r\n";
    }
    return Result;
}

void TWideStrings::Put(int Index, WideStringView S)
{
    const TObjectValue Obj = GetObject(Index);
    const WideString Copy(S);
    TUpdateGuard Guard(*this);
    Delete(Index);
    InsertObject(Index, Copy, Obj);
}

void TWideStrings::PutObject(int, TObjectValue) {}

void TWideStrings::SetCapacity(int) {}

void TWideStrings::SetTextStr(WideStringView Text)
{
    TUpdateGuard Guard(*this);
    Clear();
    size_t Start = 0;
    const size_t Len = Text.size();
    while (Start < Len) {
        size_t P = Start;
        while (P < Len && Text[P] != u'\r' && Text[P] != u'\n')
            ++P;
        Add(Text.substr(Start, P - Start));
        if (P < Len && Text[P] == u'\r')
            ++P;
        if (P < Len && Text[P] == u'\n')
            ++P;
        Start = P;
    }
}

void TWideStrings::SetUpdateState(bool) {}

void TWideStrings::SetLanguage(TLcid Value) { FLanguage = Value; }

TLcid TWideStrings::GetLanguage() const { return FLanguage; }

int TWideStrings::Add(WideStringView S)
{
    const int Index = GetCount();
    Insert(Index, S);
    return Index;
}

int TWideStrings::AddObject(WideStringView S, TObjectValue Obj)
{
    const int Index = Add(S);
    PutObject(Index, Obj);
    return Index;
}

void TWideStrings::AddStrings(const TWideStrings& Strings)
{
    TUpdateGuard Guard(*this);
    const int N = Strings.GetCount();
    for (int I = 0; I < N; ++I)
        AddObject(Strings.Get(I), Strings.GetObject(I));
}

void TWideStrings::Exchange(int Index1, int Index2)
{
    TUpdateGuard Guard(*this);
    const WideString S1 = Get(Index1);
    const TObjectValue O1 = GetObject(Index1);
    const WideString S2 = Get(Index2);
    const TObjectValue O2 = GetObject(Index2);
    Put(Index1, S2);
    PutObject(Index1, O2);
    Put(Index2, S1);
    PutObject(Index2, O1);
}

std::unique_ptr<char16_t[]> TWideStrings::GetText() const
{
    const WideString Text = GetTextStr();
    auto Buffer = std::make_unique<char16_t[]>(Text.size() + 1);
    std::copy(Text.begin(), Text.end(), Buffer.get());
    Buffer[Text.size()] = 0;
    return Buffer;
}

int TWideStrings::IndexOf(WideStringView S) const
{
    const int N = GetCount();
    for (int I = 0; I < N; ++I)
        if (CompareWideText(FLanguage, Get(I), S) == 0)
            return I;
    return -1;
}

void TWideStrings::LoadFromFile(const std::string& FileName)
{
    TFileStream Stream(FileName, TFileMode::OpenRead);
    LoadFromStream(Stream);
}

void TWideStrings::LoadFromStream(TStream& Stream)
{
    TUpdateGuard Guard(*this);
    uint8_t Mark[2] = {0, 0};
    const int64_t Got = Stream.Read(Mark, 2);
    if (Got < 2) {
        SetTextStr(u"");
        return;
    }
    bool BigEndian = false;
    if (Mark[0] == 0xFE && Mark[1] == 0xFF)
        BigEndian = true;
    else if (!(Mark[0] == 0xFF && Mark[1] == 0xFE))
        Stream.Seek(-2, TSeekOrigin::Current);

    const int64_t Remainder = Stream.Size() - Stream.Position();
    std::vector<uint8_t> Bytes(Remainder > 0 ? static_cast<size_t>(Remainder) : 0);
    const int64_t Read = Bytes.empty() ? 0 : Stream.Read(Bytes.data(), static_cast<int64_t>(Bytes.size()));
    WideString Text(static_cast<size_t>(Read / 2), u'\0');
    for (size_t I = 0; I < Text.size(); ++I) {
        const uint8_t Lo = BigEndian ? Bytes[2 * I + 1] : Bytes[2 * I];
        const uint8_t Hi = BigEndian ? Bytes[2 * I] : Bytes[2 * I + 1];
        Text[I] = static_cast<char16_t>(Lo | (Hi << 8));
    }
    SetTextStr(Text);
}

void TWideStrings::Move(int CurIndex, int NewIndex)
{
    if (CurIndex == NewIndex)
        return;
    TUpdateGuard Guard(*this);
    const WideString S = Get(CurIndex);
    const TObjectValue Obj = GetObject(CurIndex);
    Delete(CurIndex);
    InsertObject(NewIndex, S, Obj);
}

void TWideStrings::SaveToFile(const std::string& FileName) const
{
    TFileStream Stream(FileName, TFileMode::Create);
    SaveToStream(Stream);
}

void TWideStrings::SaveToStream(TStream& Stream) const
{
    const WideString Text = GetTextStr();
    std::vector<uint8_t> Bytes;
    Bytes.reserve(2 + 2 * Text.size());
    Bytes.push_back(0xFF);
    Bytes.push_back(0xFE);
    for (char16_t C : Text) {
        Bytes.push_back(static_cast<uint8_t>(C & 0xFF));
        Bytes.push_back(static_cast<uint8_t>(C >> 8));
    }
    Stream.WriteBuffer(Bytes.data(), static_cast<int64_t>(Bytes.size()));
}

void TWideStrings::SetText(const char16_t* Text)
{
    SetTextStr(Text ? WideStringView(Text) : WideStringView());
}

void TWideStrings::Assign(const TWideStrings& Source)
{
    if (&Source == this)
        return;
    TUpdateGuard Guard(*this);
    Clear();
    AddStrings(Source);
}

void TWideStrings::BeginUpdate()
{
    if (FUpdateCount == 0)
        SetUpdateState(true);
    ++FUpdateCount;
}

void TWideStrings::EndUpdate()
{
    if (FUpdateCount == 0)
        return;
    --FUpdateCount;
    if (FUpdateCount == 0)
        SetUpdateState(false);
}

bool TWideStrings::Equals(const TWideStrings& Strings) const
{
    const int N = GetCount();
    if (N != Strings.GetCount())
        return false;
    for (int I = 0; I < N; ++I)
        if (Get(I) != Strings.Get(I))
            return false;
    return true;
}

void TWideStrings::InsertObject(int Index, WideStringView S, TObjectValue Obj)
{
    Insert(Index, S);
    PutObject(Index, Obj);
}

bool TWideStrings::ShouldStoreProperty(const TWideStrings* Ancestor) const
{
    if (Ancestor)
        return !Equals(*Ancestor);
    return GetCount() > 0;
}

std::string TWideStrings::WriteData() const
{
    static const char Digits[] = "0123456789ABCDEF";
    const WideString Text = GetTextStr();
    std::string Result;
    Result.reserve(Text.size() * 4);
    for (char16_t C : Text)
        for (int Shift = 12; Shift >= 0; Shift -= 4)
            Result.push_back(Digits[(C >> Shift) & 0xF]);
    return Result;
}

void TWideStrings::ReadData(std::string_view Value)
{
    WideString Text;
    Text.reserve(Value.size() / 4);
    for (size_t I = 0; I + 4 <= Value.size(); I += 4) {
        unsigned Unit = 0;
        for (size_t K = I; K < I + 4; ++K) {
            const int D = HexDigit(Value[K]);
            if (D < 0)
                throw EConvertError("'" + std::string(Value.substr(I, 4)) + "' is not a valid hexadecimal value");
            Unit = (Unit << 4) | static_cast<unsigned>(D);
        }
        Text.push_back(static_cast<char16_t>(Unit));
    }
    TUpdateGuard Guard(*this);
    Clear();
    SetTextStr(Text);
}

// ---------------------------------------------------------------------------------------------
// TWideStringList

TWideStringList::~TWideStringList()
{
    OnChange = nullptr;
    OnChanging = nullptr;
}

void TWideStringList::CheckIndex(int Index) const
{
    if (Index < 0 || Index >= GetCount())
        ListError(SListIndexError, Index);
}

WideString TWideStringList::Get(int Index) const
{
    CheckIndex(Index);
    return FList[static_cast<size_t>(Index)].Text;
}

WideStringView TWideStringList::GetView(int Index) const
{
    CheckIndex(Index);
    return FList[static_cast<size_t>(Index)].Text;
}

TObjectValue TWideStringList::GetObject(int Index) const
{
    CheckIndex(Index);
    return FList[static_cast<size_t>(Index)].Object;
}

void TWideStringList::Put(int Index, WideStringView S)
{
    if (FSorted)
        ListError(SSortedListError, 0);
    CheckIndex(Index);
    Changing();
    FList[static_cast<size_t>(Index)].Text.assign(S);
    Changed();
}

void TWideStringList::PutObject(int Index, TObjectValue Obj)
{
    CheckIndex(Index);
    Changing();
    FList[static_cast<size_t>(Index)].Object = Obj;
    Changed();
}

void TWideStringList::SetCapacity(int NewCapacity)
{
    if (NewCapacity < GetCount() || NewCapacity > MaxListSize)
        ListError(SListCapacityError, NewCapacity);
    if (static_cast<size_t>(NewCapacity) < FList.capacity()) {
        std::vector<TItem> Smaller;
        Smaller.reserve(static_cast<size_t>(NewCapacity));
        std::move(FList.begin(), FList.end(), std::back_inserter(Smaller));
        FList.swap(Smaller);
    } else {
        FList.reserve(static_cast<size_t>(NewCapacity));
    }
    FCapacity = NewCapacity;
}

void TWideStringList::Grow()
{
    int Delta = 4;
    if (FCapacity > 64)
        Delta = FCapacity / 4;
    else if (FCapacity > 8)
        Delta = 16;
    SetCapacity(FCapacity + Delta);
}

void TWideStringList::SetUpdateState(bool Updating)
{
    if (Updating)
        Changing();
    else
        Changed();
}

void TWideStringList::SetLanguage(TLcid Value)
{
    TWideStrings::SetLanguage(Value);
    if (FSorted)
        SortItems();
}

int TWideStringList::Add(WideStringView S)
{
    if (!FSorted) {
        const int Index = GetCount();
        InsertItem(Index, S);
        return Index;
    }
    int Index = 0;
    if (Find(S, Index)) {
        if (FDuplicates == dupIgnore)
            return Index;
        if (FDuplicates == dupError)
            ListError(SDuplicateString, 0);
    }
    InsertItem(Index, S);
    return Index;
}

void TWideStringList::Clear()
{
    if (FList.empty())
        return;
    Changing();
    std::vector<TItem>().swap(FList);
    FCapacity = 0;
    Changed();
}

void TWideStringList::Delete(int Index)
{
    CheckIndex(Index);
    Changing();
    FList.erase(FList.begin() + Index);
    Changed();
}

void TWideStringList::Exchange(int Index1, int Index2)
{
    CheckIndex(Index1);
    CheckIndex(Index2);
    Changing();
    std::swap(FList[static_cast<size_t>(Index1)], FList[static_cast<size_t>(Index2)]);
    Changed();
}

int TWideStringList::IndexOf(WideStringView S) const
{
    if (!FSorted)
        return TWideStrings::IndexOf(S);
    int Index = 0;
    return Find(S, Index) ? Index : -1;
}

void TWideStringList::Insert(int Index, WideStringView S)
{
    if (FSorted)
        ListError(SSortedListError, 0);
    if (Index < 0 || Index > GetCount())
        ListError(SListIndexError, Index);
    InsertItem(Index, S);
}

void TWideStringList::InsertItem(int Index, WideStringView S)
{
    if (GetCount() == FCapacity)
        Grow();
    Changing();
    FList.insert(FList.begin() + Index, TItem{WideString(S), 0});
    Changed();
}

void TWideStringList::Move(int CurIndex, int NewIndex)
{
    if (FSorted)
        ListError(SSortedListError, 0);
    CheckIndex(CurIndex);
    CheckIndex(NewIndex);
    TWideStrings::Move(CurIndex, NewIndex);
}

void TWideStringList::Changed()
{
    if (UpdateCount() == 0 && OnChange)
        OnChange(this);
}

void TWideStringList::Changing()
{
    if (UpdateCount() == 0 && OnChanging)
        OnChanging(this);
}

bool TWideStringList::Find(WideStringView S, int& Index) const
{
    bool Result = false;
    int L = 0;
    int H = GetCount() - 1;
    const TLcid Language = GetLanguage();
    while (L <= H) {
        const int I = L + (H - L) / 2;
        const int C = CompareWideText(Language, FList[static_cast<size_t>(I)].Text, S);
        if (C < 0) {
            L = I + 1;
        } else {
            H = I - 1;
            if (C == 0) {
                Result = true;
                // Accepting duplicates, any equal item will do; else look for the first.
                if (FDuplicates == dupAccept)
                    L = I;
            }
        }
    }
    Index = L;
    return Result;
}

void TWideStringList::QuickSort(int L, int R)
{
    const TLcid Language = GetLanguage();
    while (L < R) {
        int I = L;
        int J = R;
        const WideString Pivot = FList[static_cast<size_t>(L + (R - L) / 2)].Text;
        do {
            while (CompareWideText(Language, FList[static_cast<size_t>(I)].Text, Pivot) < 0)
                ++I;
            while (CompareWideText(Language, FList[static_cast<size_t>(J)].Text, Pivot) > 0)
                --J;
            if (I <= J) {
                if (I != J)
                    std::swap(FList[static_cast<size_t>(I)], FList[static_cast<size_t>(J)]);
                ++I;
                --J;
            }
        } while (I <= J);
        // Recurse into the smaller part and loop on the larger, so the depth stays logarithmic.
        if (J - L < R - I) {
            if (L < J)
                QuickSort(L, J);
            L = I;
        } else {
            if (I < R)
                QuickSort(I, R);
            R = J;
        }
    }
}

void TWideStringList::SortItems()
{
    if (GetCount() < 2)
        return;
    Changing();
    QuickSort(0, GetCount() - 1);
    Changed();
}

void TWideStringList::Sort()
{
    if (!FSorted)
        SortItems();
}

void TWideStringList::SetSorted(bool Value)
{
    if (FSorted == Value)
        return;
    if (Value)
        Sort();
    FSorted = Value;
}

}  // namespace zv
