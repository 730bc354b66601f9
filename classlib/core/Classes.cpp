#include "Classes.h"

#include <algorithm>
#include <mutex>

namespace cl {

// ---------------------------------------------------------------------------------------------------------
// Helpers

namespace {
inline bool IsIdentStart(char c) noexcept {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}
}  // namespace

bool IsValidIdent(std::string_view s) noexcept {
  if (s.empty() || !IsIdentStart(s[0])) return false;
  return std::all_of(s.begin() + 1, s.end(), [](char c) { return IsIdentStart(c) || (c >= '0' && c <= '9'); });
}

// ---------------------------------------------------------------------------------------------------------
// TMetaClass

TMetaClass::TMetaClass(std::string name, TClass parent, TComponentFactory factory,
                       std::vector<TPropInfo> properties, std::vector<TMethodInfo> methods,
                       std::vector<TFieldInfo> fields)
    : name_(std::move(name)),
      parent_(parent),
      factory_(factory),
      properties_(std::move(properties)),
      methods_(std::move(methods)),
      fields_(std::move(fields)) {}

TComponent* TMetaClass::CreateComponent(TComponent* owner) const {
  if (!factory_) throw EInvalidOperation(Format("Cannot create an instance of %s", name_.c_str()));
  return factory_(owner);
}

bool TMetaClass::InheritsFrom(TClass cls) const noexcept {
  for (TClass c = this; c; c = c->parent_)
    if (c == cls) return true;
  return false;
}

bool TMetaClass::InheritsFrom(std::string_view className) const noexcept {
  for (TClass c = this; c; c = c->parent_)
    if (SameText(c->name_, className)) return true;
  return false;
}

const TPropInfo* TMetaClass::FindProperty(std::string_view name) const noexcept {
  for (TClass c = this; c; c = c->parent_)
    for (const TPropInfo& p : c->properties_)
      if (SameText(p.Name, name)) return &p;
  return nullptr;
}

const TMethodInfo* TMetaClass::FindMethod(std::string_view name) const noexcept {
  for (TClass c = this; c; c = c->parent_)
    for (const TMethodInfo& m : c->methods_)
      if (SameText(m.Name, name)) return &m;
  return nullptr;
}

std::vector<const TPropInfo*> TMetaClass::Properties() const {
  std::vector<TClass> chain;
  for (TClass c = this; c; c = c->parent_) chain.push_back(c);
  std::vector<const TPropInfo*> result;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    for (const TPropInfo& p : (*it)->properties_) {
      auto same = std::find_if(result.begin(), result.end(),
                               [&](const TPropInfo* q) { return SameText(q->Name, p.Name); });
      if (same != result.end())
        *same = &p;
      else
        result.push_back(&p);
    }
  }
  return result;
}

// ---------------------------------------------------------------------------------------------------------
// TObject

TClass TObject::StaticClass() {
  static const TMetaClass meta("TObject", nullptr, nullptr, {}, {});
  return &meta;
}

TMethod TObject::MethodAddress(std::string_view name) {
  const TMethodInfo* info = ClassType()->FindMethod(name);
  return info ? TMethod{this, info} : TMethod{};
}

// ---------------------------------------------------------------------------------------------------------
// Class registry

namespace {
struct Registry {
  std::mutex mutex;
  std::vector<TClass> classes;
};
Registry& TheRegistry() {
  static Registry registry;
  return registry;
}
TClass Lookup(const std::vector<TClass>& classes, std::string_view name) {
  for (TClass c : classes)
    if (SameText(c->ClassName(), name)) return c;
  return nullptr;
}
}  // namespace

void RegisterComponentClass(TClass cls) {
  if (!cls) return;
  Registry& r = TheRegistry();
  std::lock_guard lock(r.mutex);
  if (TClass known = Lookup(r.classes, cls->ClassName())) {
    if (known == cls) return;
    throw EFilerError(Format("A class named %s already exists", cls->ClassName().c_str()));
  }
  r.classes.push_back(cls);
}

void RegisterClasses(std::initializer_list<TClass> classes) {
  for (TClass c : classes) RegisterComponentClass(c);
}

void UnRegisterClass(TClass cls) {
  Registry& r = TheRegistry();
  std::lock_guard lock(r.mutex);
  std::erase(r.classes, cls);
}

TClass GetClass(std::string_view name) {
  Registry& r = TheRegistry();
  std::lock_guard lock(r.mutex);
  return Lookup(r.classes, name);
}

TClass FindClass(std::string_view name) {
  if (TClass c = GetClass(name)) return c;
  throw EClassNotFound(Format("Class %s not found", std::string(name).c_str()));
}

// ---------------------------------------------------------------------------------------------------------
// TPersistent

void TPersistent::Assign(const TPersistent* source) {
  if (!source) AssignError(nullptr);
  source->AssignTo(this);
}

void TPersistent::AssignTo(TPersistent* dest) const { dest->AssignError(this); }

void TPersistent::AssignError(const TPersistent* source) const {
  throw EConvertError(Format("Cannot assign a %s to a %s", source ? source->ClassName().c_str() : "nil",
                             ClassName().c_str()));
}

// ---------------------------------------------------------------------------------------------------------
// TComponent

CL_BEGIN_CLASS(TComponent)
    .Str("Name", &TComponent::Name, &TComponent::SetName).Stored(false)  // the resource names it apart
    .Int("Tag", &TComponent::Tag, &TComponent::SetTag, 0)
CL_END_CLASS

TComponent::TComponent(TComponent* owner) {
  if (owner) owner->InsertComponent(this);
}

void TComponent::operator delete(TComponent* p, std::destroying_delete_t) {
  p->BeforeDestruction();
  void* block = dynamic_cast<void*>(p);  // the whole object, wherever TComponent sits in it
  p->~TComponent();
  ::operator delete(block);
}

void* TComponent::operator new(std::size_t size) { return ::operator new(size); }
void TComponent::operator delete(void* p) noexcept { ::operator delete(p); }

TComponent::~TComponent() {
  Destroying();
  // Those that asked to be told. A component with the same owner hears it from the owner's Notification
  // below, so it is not told twice.
  while (!freeNotifies_.empty()) {
    TComponent* c = freeNotifies_.back();
    freeNotifies_.pop_back();
    std::erase(c->freeNotifies_, this);
    if (!(owner_ && c->owner_ == owner_)) c->Notification(this, opRemove);
  }
  DestroyComponents();
  if (owner_) owner_->RemoveComponent(this);
}

TComponent* TComponent::Components(int index) const {
  if (index < 0 || index >= ComponentCount()) throw EListError(Format("List index out of bounds (%d)", index));
  return components_[static_cast<size_t>(index)];
}

int TComponent::ComponentIndex() const noexcept {
  if (!owner_) return -1;
  const auto& list = owner_->components_;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

TComponent* TComponent::FindComponent(std::string_view name) const noexcept {
  if (name.empty()) return nullptr;
  for (TComponent* c : components_)
    if (SameText(c->name_, name)) return c;
  return nullptr;
}

void TComponent::SetName(const std::string& name) {
  if (name == name_) return;
  if (!name.empty() && !IsValidIdent(name))
    throw EComponentError(Format("'%s' is not a valid component name", name.c_str()));
  if (owner_ && !SameText(name, name_) && owner_->FindComponent(name))
    throw EComponentError(Format("A component named %s already exists", name.c_str()));
  name_ = name;
}

void TComponent::InsertComponent(TComponent* component) {
  if (!component || component->owner_ == this) return;
  if (FindComponent(component->name_))
    throw EComponentError(Format("A component named %s already exists", component->name_.c_str()));
  if (component->owner_) component->owner_->RemoveComponent(component);
  components_.push_back(component);
  component->owner_ = this;
  Notification(component, opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
  if (!component || component->owner_ != this) return;
  Notification(component, opRemove);
  std::erase(components_, component);
  component->owner_ = nullptr;
}

void TComponent::DestroyComponents() {
  // Each one leaves this list in its destructor.
  while (!components_.empty()) delete components_.back();
}

void TComponent::Destroying() {
  if (state_.Contains(csDestroying)) return;
  state_.Include(csDestroying);
  for (TComponent* c : components_) c->Destroying();
}

void TComponent::FreeNotification(TComponent* component) {
  if (!component) return;
  state_.Include(csFreeNotification);
  if (component == this) return;
  component->state_.Include(csFreeNotification);
  if (std::find(freeNotifies_.begin(), freeNotifies_.end(), component) == freeNotifies_.end())
    freeNotifies_.push_back(component);
  auto& other = component->freeNotifies_;
  if (std::find(other.begin(), other.end(), this) == other.end()) other.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* component) {
  if (!component) return;
  std::erase(freeNotifies_, component);
  std::erase(component->freeNotifies_, this);
}

void TComponent::Notification(TComponent* component, TOperation operation) {
  // From the last to the first; a handler may remove components meanwhile.
  for (size_t i = components_.size(); i > 0;) {
    --i;
    components_[i]->Notification(component, operation);
    i = std::min(i, components_.size());
  }
}

void TComponent::Loaded() { state_.Exclude(csLoading); }

void TComponent::BeginLoading() {
  state_.Include(csLoading).Include(csReading);
  for (TComponent* c : components_) c->BeginLoading();
}

void TComponent::CollectLoading(std::vector<TComponent*>& out) {
  state_.Exclude(csReading);
  if (state_.Contains(csLoading)) out.push_back(this);
  for (TComponent* c : components_) c->CollectLoading(out);
}

void TComponent::EndLoading() {
  std::vector<TComponent*> loading;
  CollectLoading(loading);
  for (TComponent* c : loading) c->Loaded();
}

void BindFields(TComponent* root) {
  std::vector<std::pair<const TFieldInfo*, TComponent*>> found;
  for (TClass c = root->ClassType(); c; c = c->ClassParent()) {
    for (const TFieldInfo& f : c->OwnFields()) {
      TComponent* component = root->FindComponent(f.Name);
      if (!component || !f.Accepts(component)) {
        const std::string head = Format("%s: field %s expects a %s; ", root->ClassName().c_str(), f.Name.c_str(),
                                        f.FieldClass->ClassName().c_str());
        throw EComponentError(head + (component ? Format("%s is a %s", f.Name.c_str(), component->ClassName().c_str())
                                                : Format("no component %s", f.Name.c_str())));
      }
      found.emplace_back(&f, component);
    }
  }
  for (auto [field, component] : found) field->Set(root, component);
}

}  // namespace cl
