#include "SaSysHot.h"

#include <memory>

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
  auto item = std::make_unique<TSaHotKeyItem>();
  item->Key = key;
  item->Modifiers = modifiers;
  const int index = list_.Add(item.get());
  item.release();
  if (active_) RegisterItem(index);
  return *Item(index);
}

void TSaSysHotKey::DeleteHotKey(int index) {
  TSaHotKeyItem* item = Item(index);  // checked before anything is unregistered
  if (active_) UnregisterAll();
  list_.Delete(index);
  delete item;
  if (active_) RegisterAll();
}

void TSaSysHotKey::Clear() {
  if (active_) UnregisterAll();
  for (void* item : list_) delete static_cast<TSaHotKeyItem*>(item);
  list_.Clear();
}

TSaHotKeyItem TSaSysHotKey::GetHotKey(int index) const { return *Item(index); }

void TSaSysHotKey::SetHotKey(int index, const TSaHotKeyItem& value) {
  TSaHotKeyItem* item = Item(index);
  if (active_) UnregisterItem(index);
  item->Modifiers = value.Modifiers;
  item->Key = value.Key;
  if (active_) RegisterItem(index);
}

void TSaSysHotKey::RegisterItem(int index) {
  TSaHotKeyItem* item = Item(index);
  // A registration still standing would make the new one fail while the old one stays; undo it first.
  UnregisterItem(index);
  // A key outside the table cannot be registered.
  item->Registered = item->Key < SaHotKeyVirtualKeys.size() &&
                     RegisterHotKey(Handle(), index, ModifiersToFlags(item->Modifiers), SaHotKeyVirtualKeys[item->Key]);
}

void TSaSysHotKey::UnregisterItem(int index) {
  TSaHotKeyItem* item = Item(index);
  if (!item->Registered) return;
  UnregisterHotKey(Handle(), index);
  item->Registered = false;
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
