// TList, a list of untyped pointers (it owns none of them); TStrings and TStringList, lists of UTF-8 strings
// with an attached object each (not owned either).
#pragma once
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "Classes.h"

namespace cl {

// Every operation with a bad index throws EListError "List index out of bounds (%d)" and leaves the list
// as it was.
class TList : public TObject {
  CL_PLAIN_CLASS(TList, TObject)

  TList() = default;

  int Add(void* item);
  void Insert(int index, void* item);  // 0..Count
  void Delete(int index);
  // Removes the first occurrence; its former index, or -1.
  int Remove(const void* item);
  // Removes the first occurrence and returns it; null when absent.
  void* Extract(const void* item);
  int IndexOf(const void* item) const noexcept;
  void Clear() noexcept;

  int Count() const noexcept { return static_cast<int>(items_.size()); }
  // Grows with nulls or cuts; EListError "List count out of bounds (%d)" for a negative or huge count.
  void SetCount(int count);
  int Capacity() const noexcept { return static_cast<int>(items_.capacity()); }
  // EListError "List capacity out of bounds (%d)" below Count or when huge.
  void SetCapacity(int capacity);

  void* Get(int index) const;
  void* Items(int index) const { return Get(index); }
  void* operator[](int index) const { return Get(index); }
  void Put(int index, void* item);
  void* First() const { return Get(0); }
  void* Last() const { return Get(Count() - 1); }

  void Exchange(int index1, int index2);
  // Takes the item at curIndex out and puts it at newIndex.
  void Move(int curIndex, int newIndex);
  // Removes the null items.
  void Pack();
  // Ascending by compare (< 0: item1 first); items that compare equal keep their order.
  void Sort(const std::function<int(void* item1, void* item2)>& compare);

  std::vector<void*>::const_iterator begin() const noexcept { return items_.begin(); }
  std::vector<void*>::const_iterator end() const noexcept { return items_.end(); }

 private:
  void Check(int index) const;
  std::vector<void*> items_;
};

// ---------------------------------------------------------------------------------------------------------

// The abstract string list. A descendant supplies storage (Count, Get, Insert, Delete, Clear and, for
// attached objects, GetObject/PutObject); the rest is built on those. Indexes out of range throw
// EStringListError "List index out of bounds (%d)".
class TStrings : public TPersistent {
  CL_PLAIN_CLASS(TStrings, TPersistent)

  virtual int Count() const = 0;
  virtual std::string Get(int index) const = 0;
  virtual void Put(int index, const std::string& s);
  virtual TObject* GetObject(int index) const;
  virtual void PutObject(int index, TObject* object);
  virtual void Insert(int index, const std::string& s) = 0;
  virtual void InsertObject(int index, const std::string& s, TObject* object);
  virtual void Delete(int index) = 0;
  virtual void Clear() = 0;

  std::string Strings(int index) const { return Get(index); }
  std::string operator[](int index) const { return Get(index); }
  TObject* Objects(int index) const { return GetObject(index); }

  // Appends (or, in a sorted list, puts in order); returns the index.
  virtual int Add(const std::string& s);
  virtual int AddObject(const std::string& s, TObject* object);
  void AddStrings(const TStrings& strings);

  // The first matching string (case-insensitive unless the list says otherwise); -1 when absent.
  virtual int IndexOf(std::string_view s) const;
  int IndexOfObject(const TObject* object) const;

  // "name=value" entries. Names(i) is the part before the first "=" ("" without one); ValueFromIndex(i)
  // the part after it ("" without one). SetValues with an empty value deletes the entry.
  int IndexOfName(std::string_view name) const;
  std::string Names(int index) const;
  std::string Values(std::string_view name) const;
  void SetValues(std::string_view name, const std::string& value);
  std::string ValueFromIndex(int index) const;
  void SetValueFromIndex(int index, const std::string& value);

  // Every string followed by CR LF. Setting splits at CR LF, LF or CR; a final line break adds no empty
  // string.
  virtual std::string Text() const;
  virtual void SetText(std::string_view text);
  // Strings separated by ","; a string that is empty (as the only one) or holds a space, control
  // character, '"' or ',' is put in double quotes with inner quotes doubled. Setting also splits at
  // unquoted blanks.
  std::string CommaText() const;
  void SetCommaText(std::string_view text);

  virtual void Exchange(int index1, int index2);
  virtual void Move(int curIndex, int newIndex);

  // Batches changes: the list reports one change when the outermost EndUpdate is reached.
  void BeginUpdate();
  void EndUpdate();

  void Assign(const TPersistent* source) override;
  // Same strings in the same order (case-sensitive); attached objects are not compared.
  bool Equals(const TStrings& other) const;

 protected:
  virtual void SetUpdateState(bool updating) {}
  virtual int CompareStrings(std::string_view a, std::string_view b) const { return CompareText(a, b); }
  int UpdateCount() const noexcept { return updateCount_; }
  [[noreturn]] static void IndexError(int index);

 private:
  int updateCount_ = 0;
};

enum TDuplicates { dupIgnore, dupAccept, dupError };

class TStringList : public TStrings {
  CL_PLAIN_CLASS(TStringList, TStrings)

  TStringList() = default;

  int Count() const override { return static_cast<int>(items_.size()); }
  std::string Get(int index) const override;
  void Put(int index, const std::string& s) override;
  TObject* GetObject(int index) const override;
  void PutObject(int index, TObject* object) override;
  void Insert(int index, const std::string& s) override { InsertObject(index, s, nullptr); }
  void InsertObject(int index, const std::string& s, TObject* object) override;
  void Delete(int index) override;
  void Clear() override;
  int Add(const std::string& s) override { return AddObject(s, nullptr); }
  int AddObject(const std::string& s, TObject* object) override;
  int IndexOf(std::string_view s) const override;
  void Exchange(int index1, int index2) override;
  void Move(int curIndex, int newIndex) override;

  // Binary search of a sorted list: true when found; index is the first match, or where s belongs.
  bool Find(std::string_view s, int& index) const;
  // Sorts an unsorted list (a sorted one is in order already); the compare function sees the list as it
  // was before sorting. Equal strings keep their order.
  void Sort();
  void CustomSort(const std::function<int(const TStringList& list, int index1, int index2)>& compare);

  // A sorted list keeps its strings in order: Add puts them in place, Find searches it, and Put, Insert,
  // Exchange and Move throw EStringListError "Operation not allowed on sorted list".
  bool Sorted() const noexcept { return sorted_; }
  void SetSorted(bool sorted);
  // For a sorted list: ignore (Add returns the existing index), accept, or refuse a duplicate with
  // EStringListError "String list does not allow duplicates".
  TDuplicates Duplicates() const noexcept { return duplicates_; }
  void SetDuplicates(TDuplicates duplicates) noexcept { duplicates_ = duplicates; }
  bool CaseSensitive() const noexcept { return caseSensitive_; }
  void SetCaseSensitive(bool caseSensitive);

  TNotifyEvent OnChanging;
  TNotifyEvent OnChange;

 protected:
  void SetUpdateState(bool updating) override;
  int CompareStrings(std::string_view a, std::string_view b) const override;
  virtual void Changing();
  virtual void Changed();

 private:
  struct Item {
    std::string s;
    TObject* object;
  };
  void Check(int index) const;
  void CheckUnsorted() const;
  void SortItems(const std::function<int(const TStringList&, int, int)>& compare);
  void SortAll();

  std::vector<Item> items_;
  bool sorted_ = false;
  bool caseSensitive_ = false;
  TDuplicates duplicates_ = dupIgnore;
};

}  // namespace cl
