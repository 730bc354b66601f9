#include "SaSysHot.h"

#include "SysUtils.h"

namespace toolkit {

CL_BEGIN_CLASS(TSaSysHotKey)
    .Bool("Active", &TSaSysHotKey::Active, &TSaSysHotKey::SetActive)
    .Event("OnHotKey", &TSaSysHotKey::OnHotKey)
CL_END_CLASS

TSaSysHotKey::TSaSysHotKey(cl::TComponent* owner) : TSaWindowedComponent(owner) {}

TSaSysHotKey::~TSaSysHotKey() {
  Clear();
  // While this object is still whole, so that its WM_DESTROY handling runs.
  DestroyHandle();
}

void TSaSysHotKey::Loaded() {
  inherited::Loaded();
  if (active_) RegisterAll();
}

void TSaSysHotKey::SetActive(bool value) {
  if (value == active_) return;
  active_ = value;
  if (active_)
    RegisterAll();
  else
    UnregisterAll();
}

TSaHotKeyItem TSaSysHotKey::AddHotKey(std::uint8_t key, TSaHotKeyModifiers modifiers) {
  items_.push_back(TSaHotKeyItem{modifiers, key, false});
  const int index = Count() - 1;
  if (active_) RegisterItem(index);
  return Item(index);
}

void TSaSysHotKey::DeleteHotKey(int index) {
  CheckIndex(index);  // before anything is unregistered
  if (active_) UnregisterAll();
  items_.erase(items_.begin() + index);
  if (active_) RegisterAll();
}

void TSaSysHotKey::Clear() {
  if (active_) UnregisterAll();
  items_.clear();
}

TSaHotKeyItem TSaSysHotKey::GetHotKey(int index) const { return Item(index); }

void TSaSysHotKey::SetHotKey(int index, const TSaHotKeyItem& value) {
  TSaHotKeyItem& item = Item(index);
  if (active_) UnregisterItem(index);
  item.Modifiers = value.Modifiers;
  item.Key = value.Key;
  if (active_) RegisterItem(index);
}

void TSaSysHotKey::CheckIndex(int index) const {
  if (index < 0 || index >= Count()) throw cl::EListError(cl::Format("List index out of bounds (%d)", index));
}

TSaHotKeyItem& TSaSysHotKey::Item(int index) {
  CheckIndex(index);
  return items_[static_cast<size_t>(index)];
}

const TSaHotKeyItem& TSaSysHotKey::Item(int index) const {
  CheckIndex(index);
  return items_[static_cast<size_t>(index)];
}

void TSaSysHotKey::RegisterItem(int index) {
  TSaHotKeyItem& item = Item(index);
  // A registration still standing would make the new one fail while the old one stays; undo it first.
  UnregisterItem(index);
  // A key outside the table cannot be registered.
  item.Registered = item.Key < SaHotKeyVirtualKeys.size() && !registered_.count(CombinationOf(item)) &&
                    RegisterHotKey(Handle(), index, ModifiersToFlags(item.Modifiers), SaHotKeyVirtualKeys[item.Key]);
  if (item.Registered) registered_.insert(CombinationOf(item));
}

void TSaSysHotKey::UnregisterItem(int index) {
  TSaHotKeyItem& item = Item(index);
  if (!item.Registered) return;
  UnregisterHotKey(Handle(), index);
  item.Registered = false;
  registered_.erase(CombinationOf(item));
}

std::uint32_t TSaSysHotKey::CombinationOf(const TSaHotKeyItem& item) {
  return static_cast<std::uint32_t>(ModifiersToFlags(item.Modifiers)) << 8 | item.Key;
}

void TSaSysHotKey::RegisterAll() {
  for (int i = 0; i < Count(); ++i) RegisterItem(i);
}

void TSaSysHotKey::UnregisterAll() {
  for (int i = 0; i < Count(); ++i) UnregisterItem(i);
}

void TSaSysHotKey::Dispatch(cl::TMessage& message) {
  switch (message.Msg) {
    case WM_HOTKEY:
      OnHotKey(this, static_cast<int>(message.WParam & 0xFFFF));
      return;
    case WM_DESTROY:
      // Nothing may stay registered to a window that is going away.
      SetActive(false);
      break;
  }
  inherited::Dispatch(message);
}

}  // namespace toolkit
