#include "Lists.h"

#include <algorithm>
#include <limits>

namespace cl {

namespace {
// The largest count or capacity a list accepts; beyond it a bad number would just exhaust memory.
constexpr int kMaxListSize = std::numeric_limits<int>::max() / 16;
}  // namespace

// ---------------------------------------------------------------------------------------------------------
// TList

void TList::Check(int index) const {
  if (index < 0 || index >= Count()) throw EListError(Format("List index out of bounds (%d)", index));
}

int TList::Add(void* item) {
  items_.push_back(item);
  return Count() - 1;
}

void TList::Insert(int index, void* item) {
  if (index < 0 || index > Count()) throw EListError(Format("List index out of bounds (%d)", index));
  items_.insert(items_.begin() + index, item);
}

void TList::Delete(int index) {
  Check(index);
  items_.erase(items_.begin() + index);
}

int TList::IndexOf(const void* item) const noexcept {
  auto it = std::find(items_.begin(), items_.end(), item);
  return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

int TList::Remove(const void* item) {
  const int i = IndexOf(item);
  if (i >= 0) Delete(i);
  return i;
}

void* TList::Extract(const void* item) {
  const int i = IndexOf(item);
  if (i < 0) return nullptr;
  void* p = items_[static_cast<size_t>(i)];
  Delete(i);
  return p;
}

void TList::Clear() noexcept {
  items_.clear();
  items_.shrink_to_fit();
}

void TList::SetCount(int count) {
  if (count < 0 || count > kMaxListSize) throw EListError(Format("List count out of bounds (%d)", count));
  items_.resize(static_cast<size_t>(count), nullptr);
}

void TList::SetCapacity(int capacity) {
  if (capacity < Count() || capacity > kMaxListSize)
    throw EListError(Format("List capacity out of bounds (%d)", capacity));
  if (capacity > Capacity()) {
    items_.reserve(static_cast<size_t>(capacity));
  } else if (capacity < Capacity()) {
    std::vector<void*> smaller;
    smaller.reserve(static_cast<size_t>(capacity));
    smaller.assign(items_.begin(), items_.end());
    items_.swap(smaller);
  }
}

void* TList::Get(int index) const {
  Check(index);
  return items_[static_cast<size_t>(index)];
}

void TList::Put(int index, void* item) {
  Check(index);
  items_[static_cast<size_t>(index)] = item;
}

void TList::Exchange(int index1, int index2) {
  Check(index1);
  Check(index2);
  std::swap(items_[static_cast<size_t>(index1)], items_[static_cast<size_t>(index2)]);
}

void TList::Move(int curIndex, int newIndex) {
  if (curIndex == newIndex) return;
  Check(curIndex);
  Check(newIndex);
  void* item = items_[static_cast<size_t>(curIndex)];
  items_.erase(items_.begin() + curIndex);
  items_.insert(items_.begin() + newIndex, item);
}

void TList::Pack() { std::erase(items_, nullptr); }

void TList::Sort(const std::function<int(void*, void*)>& compare) {
  // A stable merge sort stays within the list even for an inconsistent compare function; sorting a copy
  // keeps the list whole when compare throws.
  std::vector<void*> sorted = items_;
  std::stable_sort(sorted.begin(), sorted.end(), [&](void* a, void* b) { return compare(a, b) < 0; });
  items_.swap(sorted);
}

// ---------------------------------------------------------------------------------------------------------
// TStrings

namespace {
class UpdateScope {
 public:
  explicit UpdateScope(TStrings& s) : s_(s) { s_.BeginUpdate(); }
  ~UpdateScope() { s_.EndUpdate(); }
  UpdateScope(const UpdateScope&) = delete;
  UpdateScope& operator=(const UpdateScope&) = delete;

 private:
  TStrings& s_;
};

inline bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }
}  // namespace

void TStrings::IndexError(int index) {
  throw EStringListError(Format("List index out of bounds (%d)", index));
}

void TStrings::Put(int index, const std::string& s) {
  TObject* object = GetObject(index);
  UpdateScope update(*this);
  Delete(index);
  InsertObject(index, s, object);
}

TObject* TStrings::GetObject(int) const { return nullptr; }
void TStrings::PutObject(int, TObject*) {}

void TStrings::InsertObject(int index, const std::string& s, TObject* object) {
  UpdateScope update(*this);
  Insert(index, s);
  PutObject(index, object);
}

int TStrings::Add(const std::string& s) {
  const int index = Count();
  Insert(index, s);
  return index;
}

int TStrings::AddObject(const std::string& s, TObject* object) {
  UpdateScope update(*this);
  const int index = Add(s);
  PutObject(index, object);
  return index;
}

void TStrings::AddStrings(const TStrings& strings) {
  UpdateScope update(*this);
  const int n = strings.Count();
  for (int i = 0; i < n; ++i) AddObject(strings.Get(i), strings.GetObject(i));
}

int TStrings::IndexOf(std::string_view s) const {
  const int n = Count();
  for (int i = 0; i < n; ++i)
    if (CompareStrings(Get(i), s) == 0) return i;
  return -1;
}

int TStrings::IndexOfObject(const TObject* object) const {
  const int n = Count();
  for (int i = 0; i < n; ++i)
    if (GetObject(i) == object) return i;
  return -1;
}

int TStrings::IndexOfName(std::string_view name) const {
  const int n = Count();
  for (int i = 0; i < n; ++i) {
    const std::string s = Get(i);
    const size_t eq = s.find('=');
    if (eq != std::string::npos && CompareStrings(std::string_view(s).substr(0, eq), name) == 0) return i;
  }
  return -1;
}

std::string TStrings::Names(int index) const {
  const std::string s = Get(index);
  const size_t eq = s.find('=');
  return eq == std::string::npos ? std::string() : s.substr(0, eq);
}

std::string TStrings::ValueFromIndex(int index) const {
  const std::string s = Get(index);
  const size_t eq = s.find('=');
  return eq == std::string::npos ? std::string() : s.substr(eq + 1);
}

std::string TStrings::Values(std::string_view name) const {
  const int i = IndexOfName(name);
  return i < 0 ? std::string() : ValueFromIndex(i);
}

void TStrings::SetValues(std::string_view name, const std::string& value) {
  const int i = IndexOfName(name);
  if (value.empty()) {
    if (i >= 0) Delete(i);
    return;
  }
  std::string entry = std::string(name) + "=" + value;
  if (i < 0)
    Add(entry);
  else
    Put(i, entry);
}

void TStrings::SetValueFromIndex(int index, const std::string& value) {
  if (value.empty()) {
    Delete(index);
    return;
  }
  Put(index, Names(index) + "=" + value);
}

std::string TStrings::Text() const {
  std::string out;
  const int n = Count();
  for (int i = 0; i < n; ++i) {
    out += Get(i);
    out += "\r\n";
  }
  return out;
}

void TStrings::SetText(std::string_view text) {
  UpdateScope update(*this);
  Clear();
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) {
      Add(std::string(text.substr(pos)));
      break;
    }
    Add(std::string(text.substr(pos, end - pos)));
    pos = end + 1;
    if (text[end] == '\r' && pos < text.size() && text[pos] == '\n') ++pos;
  }
}

std::string TStrings::CommaText() const {
  const int n = Count();
  if (n == 1 && Get(0).empty()) return "\"\"";
  std::string out;
  for (int i = 0; i < n; ++i) {
    const std::string s = Get(i);
    if (i > 0) out += ',';
    if (std::any_of(s.begin(), s.end(), [](char c) { return IsBlank(c) || c == '"' || c == ','; })) {
      out += '"';
      for (char c : s) {
        if (c == '"') out += '"';
        out += c;
      }
      out += '"';
    } else {
      out += s;
    }
  }
  return out;
}

void TStrings::SetCommaText(std::string_view text) {
  UpdateScope update(*this);
  Clear();
  size_t p = 0;
  const size_t n = text.size();
  auto skipBlanks = [&] {
    while (p < n && IsBlank(text[p])) ++p;
  };
  skipBlanks();
  while (p < n) {
    std::string item;
    if (text[p] == '"') {
      // Up to the closing quote (or the end of the text); a doubled quote stands for one.
      for (++p; p < n; ++p) {
        if (text[p] == '"') {
          if (p + 1 < n && text[p + 1] == '"') {
            item += '"';
            ++p;
          } else {
            ++p;
            break;
          }
        } else {
          item += text[p];
        }
      }
    } else {
      const size_t start = p;
      while (p < n && !IsBlank(text[p]) && text[p] != ',') ++p;
      item.assign(text.substr(start, p - start));
    }
    Add(item);
    skipBlanks();
    if (p < n && text[p] == ',') {
      if (p + 1 == n) Add(std::string());  // a trailing comma ends with an empty string
      ++p;
      skipBlanks();
    }
  }
}

void TStrings::Exchange(int index1, int index2) {
  UpdateScope update(*this);
  const std::string s1 = Get(index1);
  const std::string s2 = Get(index2);
  TObject* o1 = GetObject(index1);
  TObject* o2 = GetObject(index2);
  Put(index1, s2);
  PutObject(index1, o2);
  Put(index2, s1);
  PutObject(index2, o1);
}

void TStrings::Move(int curIndex, int newIndex) {
  if (curIndex == newIndex) return;
  if (newIndex < 0 || newIndex >= Count()) IndexError(newIndex);
  UpdateScope update(*this);
  const std::string s = Get(curIndex);
  TObject* object = GetObject(curIndex);
  Delete(curIndex);
  InsertObject(newIndex, s, object);
}

void TStrings::BeginUpdate() {
  if (updateCount_ == 0) SetUpdateState(true);
  ++updateCount_;
}

void TStrings::EndUpdate() {
  if (updateCount_ == 0) return;
  if (--updateCount_ == 0) SetUpdateState(false);
}

void TStrings::Assign(const TPersistent* source) {
  if (auto* strings = dynamic_cast<const TStrings*>(source)) {
    if (strings == this) return;
    UpdateScope update(*this);
    Clear();
    AddStrings(*strings);
    return;
  }
  inherited::Assign(source);
}

bool TStrings::Equals(const TStrings& other) const {
  const int n = Count();
  if (n != other.Count()) return false;
  for (int i = 0; i < n; ++i)
    if (Get(i) != other.Get(i)) return false;
  return true;
}

// ---------------------------------------------------------------------------------------------------------
// TStringList

void TStringList::Check(int index) const {
  if (index < 0 || index >= Count()) IndexError(index);
}

void TStringList::CheckUnsorted() const {
  if (sorted_) throw EStringListError("Operation not allowed on sorted list");
}

void TStringList::Changing() {
  if (UpdateCount() == 0 && OnChanging) OnChanging(this);
}

void TStringList::Changed() {
  if (UpdateCount() == 0 && OnChange) OnChange(this);
}

void TStringList::SetUpdateState(bool updating) {
  if (updating)
    Changing();
  else
    Changed();
}

int TStringList::CompareStrings(std::string_view a, std::string_view b) const {
  return caseSensitive_ ? a.compare(b) : CompareText(a, b);
}

std::string TStringList::Get(int index) const {
  Check(index);
  return items_[static_cast<size_t>(index)].s;
}

void TStringList::Put(int index, const std::string& s) {
  CheckUnsorted();
  Check(index);
  Changing();
  items_[static_cast<size_t>(index)].s = s;
  Changed();
}

TObject* TStringList::GetObject(int index) const {
  Check(index);
  return items_[static_cast<size_t>(index)].object;
}

void TStringList::PutObject(int index, TObject* object) {
  Check(index);
  Changing();
  items_[static_cast<size_t>(index)].object = object;
  Changed();
}

void TStringList::InsertObject(int index, const std::string& s, TObject* object) {
  CheckUnsorted();
  if (index < 0 || index > Count()) IndexError(index);
  Changing();
  items_.insert(items_.begin() + index, Item{s, object});
  Changed();
}

int TStringList::AddObject(const std::string& s, TObject* object) {
  int index = Count();
  if (sorted_ && Find(s, index)) {
    if (duplicates_ == dupIgnore) return index;
    if (duplicates_ == dupError) throw EStringListError("String list does not allow duplicates");
  }
  Changing();
  items_.insert(items_.begin() + index, Item{s, object});
  Changed();
  return index;
}

void TStringList::Delete(int index) {
  Check(index);
  Changing();
  items_.erase(items_.begin() + index);
  Changed();
}

void TStringList::Clear() {
  if (items_.empty()) return;
  Changing();
  items_.clear();
  Changed();
}

int TStringList::IndexOf(std::string_view s) const {
  if (!sorted_) return TStrings::IndexOf(s);
  int index = 0;
  return Find(s, index) ? index : -1;
}

void TStringList::Exchange(int index1, int index2) {
  CheckUnsorted();
  Check(index1);
  Check(index2);
  Changing();
  std::swap(items_[static_cast<size_t>(index1)], items_[static_cast<size_t>(index2)]);
  Changed();
}

void TStringList::Move(int curIndex, int newIndex) {
  if (curIndex == newIndex) return;
  CheckUnsorted();
  Check(curIndex);
  Check(newIndex);
  Changing();
  Item item = std::move(items_[static_cast<size_t>(curIndex)]);
  items_.erase(items_.begin() + curIndex);
  items_.insert(items_.begin() + newIndex, std::move(item));
  Changed();
}

bool TStringList::Find(std::string_view s, int& index) const {
  // The first position whose string is not less than s.
  size_t lo = 0, hi = items_.size();
  while (lo < hi) {
    const size_t mid = lo + (hi - lo) / 2;
    if (CompareStrings(items_[mid].s, s) < 0)
      lo = mid + 1;
    else
      hi = mid;
  }
  index = static_cast<int>(lo);
  return lo < items_.size() && CompareStrings(items_[lo].s, s) == 0;
}

void TStringList::SortItems(const std::function<int(const TStringList&, int, int)>& compare) {
  if (items_.size() < 2) return;
  // The order first, while the list is still untouched; then one change.
  std::vector<int> order(items_.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return compare(*this, a, b) < 0; });
  std::vector<Item> sorted;
  sorted.reserve(items_.size());
  Changing();
  for (int i : order) sorted.push_back(std::move(items_[static_cast<size_t>(i)]));
  items_.swap(sorted);
  Changed();
}

void TStringList::SortAll() {
  SortItems([](const TStringList& list, int a, int b) {
    return list.CompareStrings(list.items_[static_cast<size_t>(a)].s, list.items_[static_cast<size_t>(b)].s);
  });
}

void TStringList::CustomSort(const std::function<int(const TStringList&, int, int)>& compare) {
  if (!sorted_) SortItems(compare);
}

void TStringList::Sort() {
  if (!sorted_) SortAll();
}

void TStringList::SetSorted(bool sorted) {
  if (sorted == sorted_) return;
  if (sorted) SortAll();
  sorted_ = sorted;
}

void TStringList::SetCaseSensitive(bool caseSensitive) {
  if (caseSensitive == caseSensitive_) return;
  caseSensitive_ = caseSensitive;
  if (sorted_) SortAll();
}

}  // namespace cl
