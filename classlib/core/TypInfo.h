// Access to published properties by name: what form resources, the value streams and the skin painters use
// to read and write components they know nothing else about.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Classes.h"

namespace cl {

// Searches the object's class, then its ancestors (case-insensitive); null when absent or obj is null.
const TPropInfo* GetPropInfo(const TObject* obj, std::string_view name);
const TPropInfo* GetPropInfo(TClass cls, std::string_view name);
bool IsPublishedProp(const TObject* obj, std::string_view name);
// Every published property in declaration order, ancestors' first.
std::vector<const TPropInfo*> GetPropList(const TObject* obj);

// False when the value equals the declared default (or an explicit stored rule says so): a resource
// writer leaves such a property out.
bool IsStoredProp(const TObject* obj, const TPropInfo* prop);

// For code that asks objects of any class for a property they may not have: the value, or nothing when
// the object is null or has no published property of that name and kind. Never throws for a missing
// property (a getter's own exception still passes).
std::optional<int64_t> FindOrdProp(const TObject* obj, std::string_view name);
std::optional<std::string> FindStrProp(const TObject* obj, std::string_view name);
TObject* FindObjectProp(const TObject* obj, std::string_view name);

// The routines below throw EPropertyError: "Property %s does not exist" for an unknown name, "Invalid
// property type: %s" when the property is of another kind, "Property is read-only" for a missing setter,
// and "Invalid property value" for a value outside the property's type (an ordinal out of range, an
// unknown identifier, an object of the wrong class).

// Integer, Int64, Boolean (0/1), Enumeration (the ordinal) and Set (bit n = element n).
int64_t GetOrdProp(const TObject* obj, const TPropInfo* prop);
int64_t GetOrdProp(const TObject* obj, std::string_view name);
void SetOrdProp(TObject* obj, const TPropInfo* prop, int64_t value);
void SetOrdProp(TObject* obj, std::string_view name, int64_t value);

// Enumeration and Boolean by identifier ("sfMainform", "True"); case-insensitive when setting.
std::string GetEnumProp(const TObject* obj, const TPropInfo* prop);
std::string GetEnumProp(const TObject* obj, std::string_view name);
void SetEnumProp(TObject* obj, const TPropInfo* prop, std::string_view value);
void SetEnumProp(TObject* obj, std::string_view name, std::string_view value);
// The identifier of an ordinal of an Enumeration or Boolean property ("" when out of range), and back
// (-1 when unknown).
std::string GetEnumName(const TPropInfo* prop, int64_t value);
int GetEnumValue(const TPropInfo* prop, std::string_view identifier);

std::string GetStrProp(const TObject* obj, const TPropInfo* prop);
std::string GetStrProp(const TObject* obj, std::string_view name);
void SetStrProp(TObject* obj, const TPropInfo* prop, const std::string& value);
void SetStrProp(TObject* obj, std::string_view name, const std::string& value);

double GetFloatProp(const TObject* obj, const TPropInfo* prop);
double GetFloatProp(const TObject* obj, std::string_view name);
void SetFloatProp(TObject* obj, const TPropInfo* prop, double value);
void SetFloatProp(TObject* obj, std::string_view name, double value);

TObject* GetObjectProp(const TObject* obj, const TPropInfo* prop);
TObject* GetObjectProp(const TObject* obj, std::string_view name);
void SetObjectProp(TObject* obj, const TPropInfo* prop, TObject* value);
void SetObjectProp(TObject* obj, std::string_view name, TObject* value);

// Events: the published method an event is bound to; setting one binds it (an empty TMethod clears).
TMethod GetMethodProp(const TObject* obj, const TPropInfo* prop);
TMethod GetMethodProp(const TObject* obj, std::string_view name);
void SetMethodProp(TObject* obj, const TPropInfo* prop, const TMethod& value);
void SetMethodProp(TObject* obj, std::string_view name, const TMethod& value);

}  // namespace cl
