// A read-only stream over a resource of a loaded module (forms, bitmaps, raw data).
#pragma once
#include <windows.h>

#include <string>

#include "Streams.h"

namespace cl {

// The resource stays in the module's memory, so the stream copies nothing. A missing resource throws
// EResNotFound "Resource %s not found"; writing throws EStreamError.
class TResourceStream : public TCustomMemoryStream {
 public:
  // type is a resource type such as RT_RCDATA or a type name.
  TResourceStream(HINSTANCE instance, const std::string& name, const wchar_t* type);
  TResourceStream(HINSTANCE instance, int id, const wchar_t* type);

  size_t Write(const void* buffer, size_t count) override;
  void SetSize(int64_t newSize) override;

 private:
  void Load(HINSTANCE instance, const wchar_t* name, const wchar_t* type, const std::string& shownName);
};

}  // namespace cl
