#include "TypInfo.h"

#include <limits>

namespace cl {

namespace {

const TPropInfo& Need(const TObject* obj, std::string_view name) {
  const TPropInfo* p = GetPropInfo(obj, name);
  if (!p) throw EPropertyError(Format("Property %s does not exist", std::string(name).c_str()));
  return *p;
}

[[noreturn]] void BadType(const TPropInfo& p) {
  throw EPropertyError(Format("Invalid property type: %s", p.Name.c_str()));
}
[[noreturn]] void BadValue() { throw EPropertyError("Invalid property value"); }
[[noreturn]] void ReadOnly() { throw EPropertyError("Property is read-only"); }

bool IsEnumLike(const TPropInfo& p) { return p.Kind == TTypeKind::Enumeration || p.Kind == TTypeKind::Boolean; }

void CheckOrdinal(const TPropInfo& p, int64_t v) {
  switch (p.Kind) {
    case TTypeKind::Integer:
      if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max()) BadValue();
      break;
    case TTypeKind::Boolean:
    case TTypeKind::Enumeration:
      if (v < 0 || v >= static_cast<int64_t>(p.ElementNames.size())) BadValue();
      break;
    case TTypeKind::Set: {
      const size_t n = p.ElementNames.size();
      if (n < 64 && (static_cast<uint64_t>(v) >> n) != 0) BadValue();
      break;
    }
    default:
      break;
  }
}

}  // namespace

const TPropInfo* GetPropInfo(const TObject* obj, std::string_view name) {
  return obj ? obj->ClassType()->FindProperty(name) : nullptr;
}

const TPropInfo* GetPropInfo(TClass cls, std::string_view name) { return cls ? cls->FindProperty(name) : nullptr; }

bool IsPublishedProp(const TObject* obj, std::string_view name) { return GetPropInfo(obj, name) != nullptr; }

std::vector<const TPropInfo*> GetPropList(const TObject* obj) {
  return obj ? obj->ClassType()->Properties() : std::vector<const TPropInfo*>{};
}

std::optional<int64_t> FindOrdProp(const TObject* obj, std::string_view name) {
  const TPropInfo* p = GetPropInfo(obj, name);
  if (!p || !p->IsOrdinal() || !p->GetOrd) return std::nullopt;
  return p->GetOrd(obj);
}

std::optional<std::string> FindStrProp(const TObject* obj, std::string_view name) {
  const TPropInfo* p = GetPropInfo(obj, name);
  if (!p || p->Kind != TTypeKind::String || !p->GetStr) return std::nullopt;
  return p->GetStr(obj);
}

TObject* FindObjectProp(const TObject* obj, std::string_view name) {
  const TPropInfo* p = GetPropInfo(obj, name);
  if (!p || p->Kind != TTypeKind::Class || !p->GetObject) return nullptr;
  return p->GetObject(obj);
}

bool IsStoredProp(const TObject* obj, const TPropInfo* prop) {
  if (!obj || !prop) return false;
  if (prop->IsStored && !prop->IsStored(obj)) return false;
  switch (prop->Kind) {
    case TTypeKind::String:
      return !prop->GetStr(obj).empty();
    case TTypeKind::Float:
      return prop->GetFloat(obj) != 0.0;
    case TTypeKind::Class:
      return prop->GetObject(obj) != nullptr;
    case TTypeKind::Method:
      return static_cast<bool>(prop->GetMethod(obj));
    default:
      return !prop->Default || prop->GetOrd(obj) != *prop->Default;
  }
}

// --- ordinal -----------------------------------------------------------------------------------------------

int64_t GetOrdProp(const TObject* obj, const TPropInfo* prop) {
  if (!prop->IsOrdinal()) BadType(*prop);
  return prop->GetOrd(obj);
}
int64_t GetOrdProp(const TObject* obj, std::string_view name) { return GetOrdProp(obj, &Need(obj, name)); }

void SetOrdProp(TObject* obj, const TPropInfo* prop, int64_t value) {
  if (!prop->IsOrdinal()) BadType(*prop);
  if (!prop->SetOrd) ReadOnly();
  CheckOrdinal(*prop, value);
  prop->SetOrd(obj, value);
}
void SetOrdProp(TObject* obj, std::string_view name, int64_t value) { SetOrdProp(obj, &Need(obj, name), value); }

// --- enumerations ------------------------------------------------------------------------------------------

std::string GetEnumName(const TPropInfo* prop, int64_t value) {
  if (!IsEnumLike(*prop) || value < 0 || value >= static_cast<int64_t>(prop->ElementNames.size())) return {};
  return prop->ElementNames[static_cast<size_t>(value)];
}

int GetEnumValue(const TPropInfo* prop, std::string_view identifier) {
  if (!IsEnumLike(*prop)) return -1;
  for (size_t i = 0; i < prop->ElementNames.size(); ++i)
    if (SameText(prop->ElementNames[i], identifier)) return static_cast<int>(i);
  return -1;
}

std::string GetEnumProp(const TObject* obj, const TPropInfo* prop) {
  if (!IsEnumLike(*prop)) BadType(*prop);
  return GetEnumName(prop, prop->GetOrd(obj));
}
std::string GetEnumProp(const TObject* obj, std::string_view name) { return GetEnumProp(obj, &Need(obj, name)); }

void SetEnumProp(TObject* obj, const TPropInfo* prop, std::string_view value) {
  if (!IsEnumLike(*prop)) BadType(*prop);
  const int v = GetEnumValue(prop, value);
  if (v < 0) BadValue();
  SetOrdProp(obj, prop, v);
}
void SetEnumProp(TObject* obj, std::string_view name, std::string_view value) {
  SetEnumProp(obj, &Need(obj, name), value);
}

// --- strings and floats ------------------------------------------------------------------------------------

std::string GetStrProp(const TObject* obj, const TPropInfo* prop) {
  if (prop->Kind != TTypeKind::String) BadType(*prop);
  return prop->GetStr(obj);
}
std::string GetStrProp(const TObject* obj, std::string_view name) { return GetStrProp(obj, &Need(obj, name)); }

void SetStrProp(TObject* obj, const TPropInfo* prop, const std::string& value) {
  if (prop->Kind != TTypeKind::String) BadType(*prop);
  if (!prop->SetStr) ReadOnly();
  prop->SetStr(obj, value);
}
void SetStrProp(TObject* obj, std::string_view name, const std::string& value) {
  SetStrProp(obj, &Need(obj, name), value);
}

double GetFloatProp(const TObject* obj, const TPropInfo* prop) {
  if (prop->Kind != TTypeKind::Float) BadType(*prop);
  return prop->GetFloat(obj);
}
double GetFloatProp(const TObject* obj, std::string_view name) { return GetFloatProp(obj, &Need(obj, name)); }

void SetFloatProp(TObject* obj, const TPropInfo* prop, double value) {
  if (prop->Kind != TTypeKind::Float) BadType(*prop);
  if (!prop->SetFloat) ReadOnly();
  prop->SetFloat(obj, value);
}
void SetFloatProp(TObject* obj, std::string_view name, double value) { SetFloatProp(obj, &Need(obj, name), value); }

// --- objects and events ------------------------------------------------------------------------------------

TObject* GetObjectProp(const TObject* obj, const TPropInfo* prop) {
  if (prop->Kind != TTypeKind::Class) BadType(*prop);
  return prop->GetObject(obj);
}
TObject* GetObjectProp(const TObject* obj, std::string_view name) { return GetObjectProp(obj, &Need(obj, name)); }

void SetObjectProp(TObject* obj, const TPropInfo* prop, TObject* value) {
  if (prop->Kind != TTypeKind::Class) BadType(*prop);
  if (!prop->SetObject) ReadOnly();
  prop->SetObject(obj, value);
}
void SetObjectProp(TObject* obj, std::string_view name, TObject* value) {
  SetObjectProp(obj, &Need(obj, name), value);
}

TMethod GetMethodProp(const TObject* obj, const TPropInfo* prop) {
  if (prop->Kind != TTypeKind::Method) BadType(*prop);
  return prop->GetMethod(obj);
}
TMethod GetMethodProp(const TObject* obj, std::string_view name) { return GetMethodProp(obj, &Need(obj, name)); }

void SetMethodProp(TObject* obj, const TPropInfo* prop, const TMethod& value) {
  if (prop->Kind != TTypeKind::Method) BadType(*prop);
  if (!prop->SetMethod) ReadOnly();
  prop->SetMethod(obj, value);
}
void SetMethodProp(TObject* obj, std::string_view name, const TMethod& value) {
  SetMethodProp(obj, &Need(obj, name), value);
}

}  // namespace cl
