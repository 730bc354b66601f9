// Collections: an owned, ordered list of items of one class, each with published properties of its own
// (list view columns, status bar panels). Form descriptions store them as "Columns = < item ... end >".
#pragma once
#include <vector>

#include "Classes.h"

namespace cl {

class TCollection;

// An item joins its collection in its constructor and leaves it in its destructor; `delete item` is
// allowed. Setters of item properties call Changed so that the collection's owner can follow.
class TCollectionItem : public TPersistent {
  CL_PLAIN_CLASS(TCollectionItem, TPersistent)

  explicit TCollectionItem(TCollection* collection);
  ~TCollectionItem() override;

  TCollection* Collection() const noexcept { return collection_; }
  // Position in the collection; -1 without one.
  int Index() const noexcept;
  // Moves the item to another position (EListError for a bad index).
  void SetIndex(int index);

 protected:
  // Tells the collection that this item (or, with allItems, the whole collection) changed.
  void Changed(bool allItems);

 private:
  friend class TCollection;
  TCollection* collection_ = nullptr;
};

class TCollection : public TPersistent {
  CL_PLAIN_CLASS(TCollection, TPersistent)

  using TItemFactory = TCollectionItem* (*)(TCollection* collection);
  // The factory of an item class: new T(collection).
  template <class T>
  static TItemFactory FactoryOf() {
    return [](TCollection* c) -> TCollectionItem* { return new T(c); };
  }

  // owner: the object the collection belongs to (may be null); factory creates one item.
  TCollection(TPersistent* owner, TItemFactory factory);
  ~TCollection() override;

  TPersistent* Owner() const noexcept { return owner_; }
  int Count() const noexcept { return static_cast<int>(items_.size()); }
  // EListError "List index out of bounds (%d)" for a bad index.
  TCollectionItem* Items(int index) const;
  template <class T>
  T* ItemAs(int index) const {
    return Items(index)->template As<T>();
  }

  TCollectionItem* Add();
  TCollectionItem* Insert(int index);  // 0..Count
  void Delete(int index);
  void Clear();

  // Batches changes: Update(nullptr) runs once when the outermost EndUpdate is reached after a change.
  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const noexcept { return updateCount_; }

  // Another collection: clears, then adds an item per source item, each assigned from its source.
  void Assign(const TPersistent* source) override;

 protected:
  // After an item changed (item) or the items were added, removed, moved or all changed (null). The
  // owner's collection class overrides it to follow; the base does nothing.
  virtual void Update(TCollectionItem* item) {}

 private:
  friend class TCollectionItem;
  void Changed(TCollectionItem* item);
  void InsertItem(TCollectionItem* item);
  void RemoveItem(TCollectionItem* item);
  void Check(int index) const;

  TPersistent* owner_;
  TItemFactory factory_;
  std::vector<TCollectionItem*> items_;
  int updateCount_ = 0;
  bool changedWhileUpdating_ = false;
};

}  // namespace cl
