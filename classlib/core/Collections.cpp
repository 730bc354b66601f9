#include "Collections.h"

#include <algorithm>

namespace cl {

// ---------------------------------------------------------------------------------------------------------
// TCollectionItem

TCollectionItem::TCollectionItem(TCollection* collection) {
  if (collection) collection->InsertItem(this);
}

TCollectionItem::~TCollectionItem() {
  if (collection_) collection_->RemoveItem(this);
}

int TCollectionItem::Index() const noexcept {
  if (!collection_) return -1;
  const auto& items = collection_->items_;
  return static_cast<int>(std::find(items.begin(), items.end(), this) - items.begin());
}

void TCollectionItem::SetIndex(int index) {
  int current = Index();
  if (!collection_ || index == current) return;
  collection_->Check(index);
  auto& items = collection_->items_;
  items.erase(items.begin() + current);
  items.insert(items.begin() + index, this);
  collection_->Changed(nullptr);
}

void TCollectionItem::Changed(bool allItems) {
  if (collection_) collection_->Changed(allItems ? nullptr : this);
}

// ---------------------------------------------------------------------------------------------------------
// TCollection

TCollection::TCollection(TPersistent* owner, TItemFactory factory) : owner_(owner), factory_(factory) {}

TCollection::~TCollection() {
  // No owner notification from a collection that is going away.
  updateCount_ = 1;
  Clear();
}

TCollectionItem* TCollection::Items(int index) const {
  Check(index);
  return items_[static_cast<size_t>(index)];
}

void TCollection::Check(int index) const {
  if (index < 0 || index >= Count()) throw EListError(Format("List index out of bounds (%d)", index));
}

TCollectionItem* TCollection::Add() {
  TCollectionItem* item = factory_(this);
  if (item->collection_ != this) {
    // A factory whose item did not join this collection: take it in rather than lose it.
    if (item->collection_) item->collection_->RemoveItem(item);
    InsertItem(item);
  }
  return item;
}

TCollectionItem* TCollection::Insert(int index) {
  if (index < 0 || index > Count()) throw EListError(Format("List index out of bounds (%d)", index));
  BeginUpdate();
  TCollectionItem* item = nullptr;
  try {
    item = Add();
    item->SetIndex(index);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
  return item;
}

void TCollection::Delete(int index) { delete Items(index); }

void TCollection::Clear() {
  if (items_.empty()) return;
  BeginUpdate();
  while (!items_.empty()) delete items_.back();
  EndUpdate();
}

void TCollection::BeginUpdate() { ++updateCount_; }

void TCollection::EndUpdate() {
  if (updateCount_ > 0 && --updateCount_ == 0 && changedWhileUpdating_) {
    changedWhileUpdating_ = false;
    Update(nullptr);
  }
}

void TCollection::Changed(TCollectionItem* item) {
  if (updateCount_ > 0)
    changedWhileUpdating_ = true;
  else
    Update(item);
}

void TCollection::InsertItem(TCollectionItem* item) {
  items_.push_back(item);
  item->collection_ = this;
  Changed(nullptr);
}

void TCollection::RemoveItem(TCollectionItem* item) {
  std::erase(items_, item);
  item->collection_ = nullptr;
  Changed(nullptr);
}

void TCollection::Assign(const TPersistent* source) {
  auto* other = dynamic_cast<const TCollection*>(source);
  if (!other) {
    inherited::Assign(source);
    return;
  }
  if (other == this) return;
  BeginUpdate();
  try {
    Clear();
    for (TCollectionItem* from : other->items_) Add()->Assign(from);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

}  // namespace cl
