// The object model of the class library: TObject with its metaclass, published properties and methods,
// the class registry, TPersistent and the owned, named TComponent.
#pragma once
#include <any>
#include <concepts>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "SysUtils.h"

namespace cl {

class TObject;
class TPersistent;
class TComponent;
class TMetaClass;
class TFiler;
using TClass = const TMetaClass*;

// ---------------------------------------------------------------------------------------------------------
// Small helpers used throughout the library.

// A letter or '_' followed by letters, digits and '_' (ASCII).
bool IsValidIdent(std::string_view s) noexcept;

// A set of up to 64 elements of an enumeration whose values are 0, 1, 2, ...; element n is bit n.
template <class E>
class TSet {
 public:
  constexpr TSet() = default;
  constexpr TSet(std::initializer_list<E> elements) {
    for (E e : elements) Include(e);
  }
  static constexpr TSet FromMask(uint64_t mask) {
    TSet s;
    s.bits_ = mask;
    return s;
  }
  constexpr uint64_t Mask() const { return bits_; }
  constexpr bool Contains(E e) const { return (bits_ & Bit(e)) != 0; }
  constexpr bool Empty() const { return bits_ == 0; }
  constexpr TSet& Include(E e) {
    bits_ |= Bit(e);
    return *this;
  }
  constexpr TSet& Exclude(E e) {
    bits_ &= ~Bit(e);
    return *this;
  }
  friend constexpr TSet operator+(TSet a, TSet b) { return FromMask(a.bits_ | b.bits_); }
  friend constexpr TSet operator-(TSet a, TSet b) { return FromMask(a.bits_ & ~b.bits_); }
  friend constexpr TSet operator*(TSet a, TSet b) { return FromMask(a.bits_ & b.bits_); }
  friend constexpr bool operator==(TSet a, TSet b) = default;

 private:
  static constexpr uint64_t Bit(E e) { return uint64_t{1} << static_cast<unsigned>(e); }
  uint64_t bits_ = 0;
};

// ---------------------------------------------------------------------------------------------------------
// Window messages handed to an object's own dispatch (non-visual components with a hidden window).

struct TMessage {
  uint32_t Msg;
  uintptr_t WParam;
  intptr_t LParam;
  intptr_t Result;
};

// ---------------------------------------------------------------------------------------------------------
// Published methods and events.

struct TMethodInfo;

// A published method bound to an instance: what a form resource names as an event handler.
struct TMethod {
  TObject* Data = nullptr;
  const TMethodInfo* Code = nullptr;
  explicit operator bool() const noexcept { return Code != nullptr && Data != nullptr; }
  friend bool operator==(const TMethod&, const TMethod&) = default;
};

// A component field of a form class (see CL_FIELDS), set from the component of the same name once its
// description is read.
struct TFieldInfo {
  std::string Name;
  TClass FieldClass = nullptr;  // what the component must be
  bool (*Accepts)(const TComponent* component) = nullptr;
  void (*Set)(TObject* instance, TComponent* component) = nullptr;
};

// An entry of a class's published method table. Bind returns, for an instance of the declaring class, a
// std::function<void(Args...)> in a std::any; an event accepts it only when Args match its own.
struct TMethodInfo {
  std::string Name;
  std::function<std::any(TObject* instance)> Bind;
};

// An event: a method pointer that receives the sender first. Calling an unassigned event does nothing.
template <class... Args>
class TEvent {
 public:
  using Function = std::function<void(Args...)>;

  TEvent() = default;
  TEvent(std::nullptr_t) {}
  template <class F>
    requires(!std::is_same_v<std::decay_t<F>, TEvent> && std::is_invocable_v<F&, Args...>)
  TEvent(F f) : fn_(std::move(f)) {}
  // Binds a member function of an object: TEvent(this, &TForm1::Button1Click).
  template <class C, class B>
    requires std::is_base_of_v<B, C>
  TEvent(C* object, void (B::*method)(Args...))
      : fn_([object, method](Args... args) { (object->*method)(std::forward<Args>(args)...); }) {}

  explicit operator bool() const noexcept { return static_cast<bool>(fn_); }
  void operator()(Args... args) const {
    if (fn_) fn_(std::forward<Args>(args)...);
  }

  // The published method the event was bound to by name; empty when unassigned or set from code.
  const TMethod& Method() const noexcept { return method_; }
  // Binds a published method (or clears the event for an empty TMethod). Throws EPropertyError
  // "Invalid property value" when the method's parameters differ from the event's.
  void SetMethod(const TMethod& m) {
    if (!m) {
      fn_ = nullptr;
      method_ = {};
      return;
    }
    std::any bound = m.Code->Bind(m.Data);
    auto* f = std::any_cast<Function>(&bound);
    if (!f) throw EPropertyError("Invalid property value");
    fn_ = std::move(*f);
    method_ = m;
  }

 private:
  Function fn_;
  TMethod method_;
};

using TNotifyEvent = TEvent<TObject*>;

// ---------------------------------------------------------------------------------------------------------
// Published properties.

enum class TTypeKind { Integer, Int64, Boolean, Enumeration, Set, String, Float, Class, Method };

// One published property. Exactly the accessor pair of its kind is set (ordinal kinds use GetOrd/SetOrd);
// a missing setter makes it read-only. Use the routines of TypInfo.h rather than the members directly:
// they check kinds and ranges.
struct TPropInfo {
  std::string Name;
  TTypeKind Kind = TTypeKind::Integer;
  std::vector<std::string> ElementNames;  // Enumeration, Set (element n = bit n), Boolean ("False", "True")
  TClass PropClass = nullptr;             // Class: the class of the object held
  // Ordinal kinds: the declared default; none means the value is always stored. Strings and floats are
  // stored when not empty / not zero, objects when not null, events when bound to a published method.
  std::optional<int64_t> Default;
  std::function<bool(const TObject*)> IsStored;  // an explicit "stored" rule, checked first; may be empty

  std::function<int64_t(const TObject*)> GetOrd;
  std::function<void(TObject*, int64_t)> SetOrd;
  std::function<std::string(const TObject*)> GetStr;
  std::function<void(TObject*, const std::string&)> SetStr;
  std::function<double(const TObject*)> GetFloat;
  std::function<void(TObject*, double)> SetFloat;
  std::function<TObject*(const TObject*)> GetObject;
  std::function<void(TObject*, TObject*)> SetObject;
  std::function<TMethod(const TObject*)> GetMethod;
  std::function<void(TObject*, const TMethod&)> SetMethod;

  bool IsOrdinal() const noexcept {
    return Kind == TTypeKind::Integer || Kind == TTypeKind::Int64 || Kind == TTypeKind::Boolean ||
           Kind == TTypeKind::Enumeration || Kind == TTypeKind::Set;
  }
};

// ---------------------------------------------------------------------------------------------------------
// Metaclasses.

template <class T>
class TClassBuilder;
namespace detail {
// The metaclass of a CL_PLAIN_CLASS; defined below TClassBuilder.
template <class T>
TClass PlainClass(const char* name);
}  // namespace detail

using TComponentFactory = TComponent* (*)(TComponent* owner);

class TMetaClass {
 public:
  TMetaClass(std::string name, TClass parent, TComponentFactory factory, std::vector<TPropInfo> properties,
             std::vector<TMethodInfo> methods, std::vector<TFieldInfo> fields = {});
  TMetaClass(const TMetaClass&) = delete;
  TMetaClass& operator=(const TMetaClass&) = delete;

  const std::string& ClassName() const noexcept { return name_; }
  TClass ClassParent() const noexcept { return parent_; }
  // Creates an instance with an owner; null for classes that are not creatable components.
  TComponentFactory Factory() const noexcept { return factory_; }
  // Factory()(owner); throws EInvalidOperation when the class has no factory.
  TComponent* CreateComponent(TComponent* owner) const;

  bool InheritsFrom(TClass cls) const noexcept;
  bool InheritsFrom(std::string_view className) const noexcept;  // case-insensitive

  // Declared by this class only, in declaration order.
  const std::vector<TPropInfo>& OwnProperties() const noexcept { return properties_; }
  const std::vector<TMethodInfo>& OwnMethods() const noexcept { return methods_; }
  const std::vector<TFieldInfo>& OwnFields() const noexcept { return fields_; }
  // By name (case-insensitive), this class first, then its ancestors; null when absent.
  const TPropInfo* FindProperty(std::string_view name) const noexcept;
  const TMethodInfo* FindMethod(std::string_view name) const noexcept;
  // Every published property, ancestors' first, in declaration order; a property redeclared by a
  // descendant keeps its ancestor's place and takes the descendant's declaration.
  std::vector<const TPropInfo*> Properties() const;

 private:
  std::string name_;
  TClass parent_;
  TComponentFactory factory_;
  std::vector<TPropInfo> properties_;
  std::vector<TMethodInfo> methods_;
  std::vector<TFieldInfo> fields_;
};

// Put first in the body of every class derived from TObject; leaves the access at public. The class's
// metaclass is defined in its .cpp file by a CL_BEGIN_CLASS block.
#define CL_CLASS(Self, Base)                                            \
 public:                                                                \
  using inherited = Base;                                               \
  using ThisClass = Self;                                               \
  static ::cl::TClass StaticClass();                                    \
  ::cl::TClass ClassType() const override { return StaticClass(); }

// CL_CLASS for a class that publishes no properties or methods (it may have CL_FIELDS): the metaclass is
// made here, and the class needs no block.
#define CL_PLAIN_CLASS(Self, Base)                                                    \
 public:                                                                              \
  using inherited = Base;                                                             \
  using ThisClass = Self;                                                             \
  static ::cl::TClass StaticClass() { return ::cl::detail::PlainClass<Self>(#Self); } \
  ::cl::TClass ClassType() const override { return StaticClass(); }

// Defines the metaclass in a .cpp file; the published properties and methods go in between, one line each:
//   CL_BEGIN_CLASS(TFoo)
//       .Int("Interval", &TFoo::Interval, &TFoo::SetInterval, 1000)
//       .Event("OnTimer", &TFoo::OnTimer)
//   CL_END_CLASS
#define CL_BEGIN_CLASS(Self)                                                   \
  ::cl::TClass Self::StaticClass() {                                           \
    static const ::cl::TMetaClass meta = ::cl::TClassBuilder<Self>(#Self)
#define CL_END_CLASS \
  ;                  \
  return &meta;      \
  }

// Declares a form's component fields, each as (class, name), in the access section where it stands:
//   CL_FIELDS((cl::TButton, btnOk),
//             (cl::TEdit, edtDelay))
// makes `cl::TButton* btnOk` and `cl::TEdit* edtDelay`, set to the components of those names when the
// form's description has been read (BindFields). Components the list does not name are allowed.
// The entries are made where the metaclass is (a template), so the classes named may be incomplete here.
#define CL_FIELDS(...)                                                               \
  CL_FOR_EACH_(CL_FIELD_MEMBER_, __VA_ARGS__)                                        \
  friend class ::cl::TClassBuilder<ThisClass>;                                       \
  template <std::same_as<ThisClass> Owner>                                           \
  static std::vector<::cl::TFieldInfo> DeclaredFields(std::type_identity<Owner>) {   \
    return {CL_FOR_EACH_(CL_FIELD_INFO_, __VA_ARGS__)};                              \
  }

#define CL_FIELD_MEMBER_(field) CL_FIELD_MEMBER_2_ field
#define CL_FIELD_MEMBER_2_(Type, name) Type* name = nullptr;
#define CL_FIELD_INFO_(field) CL_FIELD_INFO_2_ field
#define CL_FIELD_INFO_2_(Type, name) ::cl::detail::FieldInfo<&Owner::name>(#name),

// Applies macro to each argument (up to 256).
#define CL_FOR_EACH_(macro, ...) __VA_OPT__(CL_EXPAND_(CL_FOR_EACH_STEP_(macro, __VA_ARGS__)))
#define CL_FOR_EACH_STEP_(macro, first, ...) macro(first) __VA_OPT__(CL_FOR_EACH_AGAIN_ CL_PARENS_ (macro, __VA_ARGS__))
#define CL_FOR_EACH_AGAIN_() CL_FOR_EACH_STEP_
#define CL_PARENS_ ()
#define CL_EXPAND_(...) CL_EXPAND_4_(CL_EXPAND_4_(CL_EXPAND_4_(CL_EXPAND_4_(__VA_ARGS__))))
#define CL_EXPAND_4_(...) CL_EXPAND_3_(CL_EXPAND_3_(CL_EXPAND_3_(CL_EXPAND_3_(__VA_ARGS__))))
#define CL_EXPAND_3_(...) CL_EXPAND_2_(CL_EXPAND_2_(CL_EXPAND_2_(CL_EXPAND_2_(__VA_ARGS__))))
#define CL_EXPAND_2_(...) CL_EXPAND_1_(CL_EXPAND_1_(CL_EXPAND_1_(CL_EXPAND_1_(__VA_ARGS__))))
#define CL_EXPAND_1_(...) __VA_ARGS__

// ---------------------------------------------------------------------------------------------------------
// TObject.

class TObject {
 public:
  TObject() = default;
  virtual ~TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;

  static TClass StaticClass();
  virtual TClass ClassType() const { return StaticClass(); }
  const std::string& ClassName() const { return ClassType()->ClassName(); }
  TClass ClassParent() const { return ClassType()->ClassParent(); }
  bool InheritsFrom(TClass cls) const { return ClassType()->InheritsFrom(cls); }
  bool InheritsFrom(std::string_view className) const { return ClassType()->InheritsFrom(className); }

  template <class T>
  bool Is() const noexcept {
    return dynamic_cast<const T*>(this) != nullptr;
  }
  // Throws EInvalidCast "Invalid class typecast" when the object is not a T.
  template <class T>
  T* As() {
    if (auto* p = dynamic_cast<T*>(this)) return p;
    throw EInvalidCast("Invalid class typecast");
  }
  template <class T>
  const T* As() const {
    if (auto* p = dynamic_cast<const T*>(this)) return p;
    throw EInvalidCast("Invalid class typecast");
  }

  // The published method of this object's class (or an ancestor) named `name`, bound to this object;
  // empty when there is none.
  TMethod MethodAddress(std::string_view name);

  // Message dispatch: an override handles its messages in a switch and passes the rest to the inherited
  // Dispatch; what nobody handles reaches DefaultHandler, which does nothing here.
  virtual void Dispatch(TMessage& message) { DefaultHandler(message); }
  virtual void DefaultHandler(TMessage& message) {}
};

// ---------------------------------------------------------------------------------------------------------
// Class registry (for creating components by class name).

// Registering the same class again does nothing; another class under a registered name throws
// EFilerError "A class named %s already exists".
void RegisterComponentClass(TClass cls);
void RegisterClasses(std::initializer_list<TClass> classes);
void UnRegisterClass(TClass cls);
// Case-insensitive; GetClass returns null for an unknown name, FindClass throws EClassNotFound.
TClass GetClass(std::string_view name);
TClass FindClass(std::string_view name);

// ---------------------------------------------------------------------------------------------------------
// TPersistent: objects that can be copied with Assign.

class TPersistent : public TObject {
  CL_PLAIN_CLASS(TPersistent, TObject)

  // Copies source into this object: source->AssignTo(this) unless an override knows the source's class.
  virtual void Assign(const TPersistent* source);
  // Declares data stored in a form description besides the published properties (FormReader.h: TFiler).
  // Overrides call the inherited first.
  virtual void DefineProperties(TFiler& filer) {}

 protected:
  // Copies this object into dest; the base raises EConvertError "Cannot assign a %s to a %s".
  virtual void AssignTo(TPersistent* dest) const;
  // Raises EConvertError "Cannot assign a <source class, or nil> to a <this class>".
  [[noreturn]] void AssignError(const TPersistent* source) const;
};

// ---------------------------------------------------------------------------------------------------------
// TComponent.

enum TComponentStateFlag { csLoading, csReading, csWriting, csDestroying, csDesigning, csFreeNotification };
using TComponentState = TSet<TComponentStateFlag>;
enum TOperation { opInsert, opRemove };

// Components are created with `new T(owner)` and freed by their owner, last created first. Deleting one
// directly is also allowed: it leaves its owner, which is told (Notification opRemove).
class TComponent : public TPersistent {
  CL_CLASS(TComponent, TPersistent)

  explicit TComponent(TComponent* owner);
  ~TComponent() override;

  // `delete component` marks it csDestroying and calls BeforeDestruction while the object is still
  // whole, before any destructor runs. The plain pair serves allocation and a constructor that throws.
  void operator delete(TComponent* p, std::destroying_delete_t);
  static void* operator new(std::size_t size);
  static void operator delete(void* p) noexcept;
  // The first step of destruction, with the full object: sets csDestroying. Overrides call the inherited.
  virtual void BeforeDestruction() { Destroying(); }

  TComponent* Owner() const noexcept { return owner_; }
  int ComponentCount() const noexcept { return static_cast<int>(components_.size()); }
  // Owned components in creation order; EListError "List index out of bounds (%d)" for a bad index.
  TComponent* Components(int index) const;
  // Position in the owner's list; -1 without owner.
  int ComponentIndex() const noexcept;
  // Case-insensitive; null for an empty or unknown name.
  TComponent* FindComponent(std::string_view name) const noexcept;

  const std::string& Name() const noexcept { return name_; }
  // Empty, or an identifier unique (case-insensitively) among the owner's components. Throws
  // EComponentError "'%s' is not a valid component name" / "A component named %s already exists".
  virtual void SetName(const std::string& name);
  int32_t Tag() const noexcept { return tag_; }
  void SetTag(int32_t tag) noexcept { tag_ = tag; }
  TComponentState ComponentState() const noexcept { return state_; }

  // Takes ownership (leaving the old owner first) / gives it up; the owner's Notification is told.
  void InsertComponent(TComponent* component);
  void RemoveComponent(TComponent* component);
  // Frees the owned components, last created first.
  void DestroyComponents();
  // Sets csDestroying on this component and everything it owns.
  void Destroying();

  // Asks to be told (Notification opRemove) when `component` is freed; works both ways.
  void FreeNotification(TComponent* component);
  void RemoveFreeNotification(TComponent* component);

  // Reading from a resource: BeginLoading puts this component and what it owns into csLoading and
  // csReading (call it for the root and for each component the reader creates); EndLoading clears
  // csReading and calls Loaded on every component of the tree still in csLoading, this one first, then
  // the owned ones in creation order.
  void BeginLoading();
  void EndLoading();

  // Form descriptions nest a component under its parent (a control's parent window), which need not be
  // its owner. The reader calls SetParentComponent when HasParent; the writer nests by GetParentComponent.
  virtual bool HasParent() const { return false; }
  virtual TComponent* GetParentComponent() const { return nullptr; }
  virtual void SetParentComponent(TComponent* parent) {}

 protected:
  // Called after all properties were read; clears csLoading. Overrides call the inherited first.
  virtual void Loaded();
  // Told of components inserted into or removed from the owner, and of freed components this one asked
  // to be told about; the base forwards to the owned components. Overrides call the inherited.
  virtual void Notification(TComponent* component, TOperation operation);

  void SetComponentState(TComponentState state) noexcept { state_ = state; }

 private:
  friend class TFormReader;  // takes back the loading state of a root whose description failed

  void CollectLoading(std::vector<TComponent*>& out);

  TComponent* owner_ = nullptr;
  std::vector<TComponent*> components_;
  std::vector<TComponent*> freeNotifies_;
  std::string name_;
  int32_t tag_ = 0;
  TComponentState state_;
};

// Sets the CL_FIELDS of root's class and its ancestors to root's components of the same names; the form
// reader calls it once a description is read. A field whose component is missing or of another class
// raises EComponentError naming the form, the field and the class expected ("TfrmSelect: field btnOk
// expects a TButton; no component btnOk" / "...; btnOk is a TEdit"), and no field is set.
void BindFields(TComponent* root);

// ---------------------------------------------------------------------------------------------------------
// Declaring published properties and methods (see CL_BEGIN_CLASS). A getter is a const member function or
// a data member; a setter a member function taking the value, a data member, or nullptr (read-only).
// Ordinal kinds take an optional declared default as the last argument; without one the value is always
// stored.

namespace detail {
template <class V>
int64_t ToOrd(const V& v) {
  if constexpr (std::is_same_v<V, bool>)
    return v ? 1 : 0;
  else if constexpr (std::is_enum_v<V> || std::is_integral_v<V>)
    return static_cast<int64_t>(v);
  else
    return static_cast<int64_t>(v.Mask());
}
template <class V>
V FromOrd(int64_t x) {
  if constexpr (std::is_same_v<V, bool>)
    return x != 0;
  else if constexpr (std::is_enum_v<V> || std::is_integral_v<V>)
    return static_cast<V>(x);
  else
    return V::FromMask(static_cast<uint64_t>(x));
}
template <class T>
const T& Self(const TObject* o) {
  auto* p = dynamic_cast<const T*>(o);
  if (!p) throw EPropertyError("Invalid property value");
  return *p;
}
template <class T>
T& Self(TObject* o) {
  auto* p = dynamic_cast<T*>(o);
  if (!p) throw EPropertyError("Invalid property value");
  return *p;
}
template <class T, class S, class V>
void Write(S set, T& obj, V&& value) {
  if constexpr (std::is_member_object_pointer_v<S>)
    obj.*set = std::forward<V>(value);
  else
    (obj.*set)(std::forward<V>(value));
}

template <class M>
struct FieldTraits;
template <class C, class V>
struct FieldTraits<V* C::*> {
  using Owner = C;
  using Value = V;
};

// The field entry CL_FIELDS makes for the member `Member`.
template <auto Member>
TFieldInfo FieldInfo(const char* name) {
  using Owner = typename FieldTraits<decltype(Member)>::Owner;
  using Value = typename FieldTraits<decltype(Member)>::Value;
  TFieldInfo f;
  f.Name = name;
  f.FieldClass = Value::StaticClass();
  f.Accepts = [](const TComponent* c) { return dynamic_cast<const Value*>(c) != nullptr; };
  f.Set = [](TObject* o, TComponent* c) { Self<Owner>(o).*Member = dynamic_cast<Value*>(c); };
  return f;
}
}  // namespace detail

template <class T>
class TClassBuilder {
 public:
  explicit TClassBuilder(const char* name) : name_(name) {
    if constexpr (requires { typename T::inherited; }) parent_ = T::inherited::StaticClass();
    if constexpr (std::is_base_of_v<TComponent, T> && !std::is_abstract_v<T> &&
                  std::is_constructible_v<T, TComponent*>)
      factory_ = [](TComponent* owner) -> TComponent* { return new T(owner); };
    if constexpr (requires { T::DeclaredFields(std::type_identity<T>{}); })
      fields_ = T::DeclaredFields(std::type_identity<T>{});
  }

  template <class G, class S, class... D>
  TClassBuilder& Int(const char* name, G get, S set, D... def) {
    return Ordinal(name, TTypeKind::Integer, {}, get, set, def...);
  }
  template <class G, class S, class... D>
  TClassBuilder& Int64(const char* name, G get, S set, D... def) {
    return Ordinal(name, TTypeKind::Int64, {}, get, set, def...);
  }
  template <class G, class S, class... D>
  TClassBuilder& Bool(const char* name, G get, S set, D... def) {
    return Ordinal(name, TTypeKind::Boolean, {"False", "True"}, get, set, def...);
  }
  template <class G, class S, class... D>
  TClassBuilder& Enum(const char* name, G get, S set, std::vector<std::string> names, D... def) {
    return Ordinal(name, TTypeKind::Enumeration, std::move(names), get, set, def...);
  }
  template <class G, class S, class... D>
  TClassBuilder& Set(const char* name, G get, S set, std::vector<std::string> names, D... def) {
    return Ordinal(name, TTypeKind::Set, std::move(names), get, set, def...);
  }

  template <class G, class S>
  TClassBuilder& Str(const char* name, G get, S set) {
    TPropInfo& p = Add(name, TTypeKind::String);
    p.GetStr = [get](const TObject* o) { return std::string(std::invoke(get, detail::Self<T>(o))); };
    if constexpr (!std::is_null_pointer_v<S>)
      p.SetStr = [set](TObject* o, const std::string& v) { detail::Write(set, detail::Self<T>(o), v); };
    return *this;
  }

  template <class G, class S>
  TClassBuilder& Float(const char* name, G get, S set) {
    TPropInfo& p = Add(name, TTypeKind::Float);
    p.GetFloat = [get](const TObject* o) { return static_cast<double>(std::invoke(get, detail::Self<T>(o))); };
    if constexpr (!std::is_null_pointer_v<S>) {
      using V = std::decay_t<std::invoke_result_t<G, const T&>>;
      p.SetFloat = [set](TObject* o, double v) { detail::Write(set, detail::Self<T>(o), static_cast<V>(v)); };
    }
    return *this;
  }

  // An object property: an owned persistent object (TStrings, fonts, ...) or a reference to a component.
  template <class G, class S>
  TClassBuilder& Object(const char* name, G get, S set) {
    using R = std::remove_pointer_t<std::decay_t<std::invoke_result_t<G, const T&>>>;
    TPropInfo& p = Add(name, TTypeKind::Class);
    p.PropClass = R::StaticClass();
    p.GetObject = [get](const TObject* o) -> TObject* { return std::invoke(get, detail::Self<T>(o)); };
    if constexpr (!std::is_null_pointer_v<S>) {
      p.SetObject = [set](TObject* o, TObject* v) {
        R* value = v ? dynamic_cast<R*>(v) : nullptr;
        if (v && !value) throw EPropertyError("Invalid property value");
        detail::Write(set, detail::Self<T>(o), value);
      };
    }
    return *this;
  }

  // An event held in a TEvent data member.
  template <class C, class... A>
  TClassBuilder& Event(const char* name, TEvent<A...> C::*member) {
    TPropInfo& p = Add(name, TTypeKind::Method);
    p.GetMethod = [member](const TObject* o) { return (detail::Self<T>(o).*member).Method(); };
    p.SetMethod = [member](TObject* o, const TMethod& m) { (detail::Self<T>(o).*member).SetMethod(m); };
    return *this;
  }

  // A published method that resources name as an event handler.
  template <class C, class... A>
  TClassBuilder& Method(const char* name, void (C::*method)(A...)) {
    methods_.push_back({name, [method](TObject* instance) -> std::any {
                          C* self = dynamic_cast<C*>(instance);
                          if (!self) throw EPropertyError("Invalid property value");
                          return std::function<void(A...)>(
                              [self, method](A... args) { (self->*method)(std::forward<A>(args)...); });
                        }});
    return *this;
  }

  // The stored rule of the property declared last: a constant or a const member function.
  TClassBuilder& Stored(bool stored) {
    props_.back().IsStored = [stored](const TObject*) { return stored; };
    return *this;
  }
  template <class C>
  TClassBuilder& Stored(bool (C::*pred)() const) {
    props_.back().IsStored = [pred](const TObject* o) { return (detail::Self<T>(o).*pred)(); };
    return *this;
  }

  operator TMetaClass() const { return TMetaClass(name_, parent_, factory_, props_, methods_, fields_); }

 private:
  TPropInfo& Add(const char* name, TTypeKind kind) {
    TPropInfo& p = props_.emplace_back();
    p.Name = name;
    p.Kind = kind;
    return p;
  }

  template <class G, class S, class... D>
  TClassBuilder& Ordinal(const char* name, TTypeKind kind, std::vector<std::string> names, G get, S set,
                         D... def) {
    static_assert(sizeof...(D) <= 1, "at most one default");
    using V = std::decay_t<std::invoke_result_t<G, const T&>>;
    TPropInfo& p = Add(name, kind);
    p.ElementNames = std::move(names);
    ((p.Default = detail::ToOrd(static_cast<V>(def))), ...);
    p.GetOrd = [get](const TObject* o) { return detail::ToOrd<V>(std::invoke(get, detail::Self<T>(o))); };
    if constexpr (!std::is_null_pointer_v<S>)
      p.SetOrd = [set](TObject* o, int64_t v) { detail::Write(set, detail::Self<T>(o), detail::FromOrd<V>(v)); };
    return *this;
  }

  std::string name_;
  TClass parent_ = nullptr;
  TComponentFactory factory_ = nullptr;
  std::vector<TPropInfo> props_;
  std::vector<TMethodInfo> methods_;
  std::vector<TFieldInfo> fields_;
};

template <class T>
TClass detail::PlainClass(const char* name) {
  static const TMetaClass meta = TClassBuilder<T>(name);
  return &meta;
}

}  // namespace cl
