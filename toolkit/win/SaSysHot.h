// A list of system-wide hot keys: while active, item i is registered under id i, and a press of its
// combination raises OnHotKey with Index i.
#pragma once
#include <cstdint>
#include <unordered_set>
#include <vector>

#include "SaHotKeyTable.h"
#include "SaWComp.h"

namespace toolkit {

struct TSaHotKeyItem {
  TSaHotKeyModifiers Modifiers;
  std::uint8_t Key;  // index into SaHotKeyVirtualKeys
  bool Registered;   // the last registration succeeded and has not been undone
};
static_assert(sizeof(TSaHotKeyItem) == 3);

using TSaHotKeyEvent = cl::TEvent<cl::TObject*, int>;  // (Sender, Index)

class TSaSysHotKey : public TSaWindowedComponent {
  CL_CLASS(TSaSysHotKey, TSaWindowedComponent)

  explicit TSaSysHotKey(cl::TComponent* owner);
  ~TSaSysHotKey() override;

  bool Active() const { return active_; }
  void SetActive(bool value);
  TSaHotKeyEvent OnHotKey;

  // Appends a combination (registered at once while active); the copy tells whether the system took it.
  TSaHotKeyItem AddHotKey(std::uint8_t key, TSaHotKeyModifiers modifiers);
  // Removes an item; the items behind it move up and are registered again under their new ids.
  void DeleteHotKey(int index);
  void Clear();
  int Count() const { return static_cast<int>(items_.size()); }
  // Index errors raise EListError "List index out of bounds (%d)" and change nothing.
  virtual TSaHotKeyItem GetHotKey(int index) const;
  // Takes Modifiers and Key of the value; Registered reflects the new registration.
  virtual void SetHotKey(int index, const TSaHotKeyItem& value);
  TSaHotKeyItem HotKeys(int index) const { return GetHotKey(index); }

  void Dispatch(cl::TMessage& message) override;

 protected:
  void Loaded() override;

 private:
  // EListError "List index out of bounds (%d)" for a bad index.
  void CheckIndex(int index) const;
  TSaHotKeyItem& Item(int index);
  const TSaHotKeyItem& Item(int index) const;
  void RegisterItem(int index);
  void UnregisterItem(int index);
  void RegisterAll();
  void UnregisterAll();
  // The combination of an item as one number (modifier flags and virtual key).
  static std::uint32_t CombinationOf(const TSaHotKeyItem& item);

  bool active_ = false;
  std::vector<TSaHotKeyItem> items_;
  // The combinations registered now: the system refuses a second registration of one, and asking it
  // costs a search of every registered key, so a repeated combination is not asked for.
  std::unordered_set<std::uint32_t> registered_;
};

}  // namespace toolkit
