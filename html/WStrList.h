#pragma once
// Lists of UTF-16 strings, each with an object (a pointer-sized value) beside it. Strings are
// kept losslessly; comparisons ignore case and follow the list's locale.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "Exceptions.h"
#include "Streams.h"
#include "WideText.h"

namespace zv {

// The value kept beside each string: a number or a pointer cast to an integer.
using TObjectValue = std::intptr_t;
// A Windows-style locale id (language and sub-language).
using TLcid = uint16_t;

// The locale of the user's environment, as a locale id (0 when it has none).
TLcid GetUserDefaultLcid();

// The one comparison of the program: locale-aware, without regard to letter case (accents
// still count). Negative, zero or positive.
int CompareWideText(TLcid Language, WideStringView A, WideStringView B);

class TWideStrings;
using TNotifyEvent = std::function<void(TWideStrings* Sender)>;

class TWideStrings {
public:
    TWideStrings();
    virtual ~TWideStrings() = default;
    TWideStrings(const TWideStrings&) = delete;
    TWideStrings& operator=(const TWideStrings&) = delete;

    virtual WideString Get(int Index) const = 0;
    virtual int GetCapacity() const;
    virtual int GetCount() const = 0;
    virtual TObjectValue GetObject(int Index) const;
    virtual WideString GetTextStr() const;
    virtual void Put(int Index, WideStringView S);
    virtual void PutObject(int Index, TObjectValue Obj);
    virtual void SetCapacity(int NewCapacity);
    virtual void SetTextStr(WideStringView Text);
    virtual void SetUpdateState(bool Updating);
    virtual void SetLanguage(TLcid Value);
    virtual TLcid GetLanguage() const;
    virtual int Add(WideStringView S);
    virtual int AddObject(WideStringView S, TObjectValue Obj);
    virtual void AddStrings(const TWideStrings& Strings);
    virtual void Clear() = 0;
    virtual void Delete(int Index) = 0;
    virtual void Exchange(int Index1, int Index2);
    // The text as a zero-terminated buffer owned by the caller.
    virtual std::unique_ptr<char16_t[]> GetText() const;
    virtual int IndexOf(WideStringView S) const;
    virtual void Insert(int Index, WideStringView S) = 0;
    virtual void LoadFromFile(const std::string& FileName);
    virtual void LoadFromStream(TStream& Stream);
    virtual void Move(int CurIndex, int NewIndex);
    virtual void SaveToFile(const std::string& FileName) const;
    virtual void SaveToStream(TStream& Stream) const;
    // Takes a zero-terminated buffer (nullptr reads as empty).
    virtual void SetText(const char16_t* Text);
    // Replaces the items by those of Source; assigning a list to itself changes nothing.
    virtual void Assign(const TWideStrings& Source);

    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }
    // Same count and the same strings index by index, compared code unit by code unit.
    bool Equals(const TWideStrings& Strings) const;
    void InsertObject(int Index, WideStringView S, TObjectValue Obj);
    int Count() const { return GetCount(); }

    // Stored form: the property "WideStrings", written when the list has items (or differs
    // from its ancestor); the value is the text with each code unit as four upper-case
    // hexadecimal digits.
    static constexpr const char* PropertyName = "WideStrings";
    bool ShouldStoreProperty(const TWideStrings* Ancestor) const;
    std::string WriteData() const;
    // Raises EConvertError, leaving the list as it was, when a group is not hexadecimal.
    void ReadData(std::string_view Value);

private:
    int FUpdateCount = 0;
    TLcid FLanguage;
};

enum TDuplicates : uint8_t { dupIgnore = 0, dupAccept = 1, dupError = 2 };

class TWideStringList : public TWideStrings {
public:
    TWideStringList() = default;
    ~TWideStringList() override;

    WideString Get(int Index) const override;
    // The string at Index without a copy, valid until the list changes; the same check as Get.
    WideStringView GetView(int Index) const;
    int GetCapacity() const override { return FCapacity; }
    int GetCount() const override { return static_cast<int>(FList.size()); }
    TObjectValue GetObject(int Index) const override;
    void Put(int Index, WideStringView S) override;
    void PutObject(int Index, TObjectValue Obj) override;
    // Raises EStringListError when NewCapacity is below Count or above the list's limit.
    void SetCapacity(int NewCapacity) override;
    void SetUpdateState(bool Updating) override;
    void SetLanguage(TLcid Value) override;
    int Add(WideStringView S) override;
    void Clear() override;
    void Delete(int Index) override;
    void Exchange(int Index1, int Index2) override;
    int IndexOf(WideStringView S) const override;
    void Insert(int Index, WideStringView S) override;
    // Refused on a sorted list and for an index out of range, before anything changes.
    void Move(int CurIndex, int NewIndex) override;

    virtual void Changed();
    virtual void Changing();
    // Binary search: true when S is present; Index is the first equal item (when duplicates
    // are accepted, the equal item met first) or the place where S would be inserted.
    virtual bool Find(WideStringView S, int& Index) const;
    virtual void Sort();

    bool Sorted() const { return FSorted; }
    void SetSorted(bool Value);
    TDuplicates Duplicates() const { return FDuplicates; }
    void SetDuplicates(TDuplicates Value) { FDuplicates = Value; }

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

    // Upper limit of Capacity.
    static constexpr int MaxListSize = 0x7FFFFFFF / 16;

private:
    struct TItem {
        WideString Text;
        TObjectValue Object = 0;
    };

    void CheckIndex(int Index) const;
    void InsertItem(int Index, WideStringView S);
    void Grow();
    void QuickSort(int L, int R);
    void SortItems();

    std::vector<TItem> FList;
    int FCapacity = 0;
    bool FSorted = false;
    TDuplicates FDuplicates = dupIgnore;
};

}  // namespace zv
