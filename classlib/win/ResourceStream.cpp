#include "ResourceStream.h"

#include "SysUtils.h"
#include "WinString.h"

namespace cl {

namespace {
const char kReadOnly[] = "Cannot write to a read-only resource stream";
}  // namespace

TResourceStream::TResourceStream(HINSTANCE instance, const std::string& name, const wchar_t* type) {
  Load(instance, ToWide(name).c_str(), type, name);
}

TResourceStream::TResourceStream(HINSTANCE instance, int id, const wchar_t* type) {
  Load(instance, MAKEINTRESOURCEW(id), type, std::to_string(id));
}

void TResourceStream::Load(HINSTANCE instance, const wchar_t* name, const wchar_t* type, const std::string& shownName) {
  HRSRC info = FindResourceW(instance, name, type);
  HGLOBAL handle = info ? LoadResource(instance, info) : nullptr;
  const void* data = handle ? LockResource(handle) : nullptr;
  if (!data) throw EResNotFound(Format("Resource %s not found", shownName.c_str()));
  // Loaded resources live as long as the module; there is nothing to free.
  SetPointer(data, SizeofResource(instance, info));
}

size_t TResourceStream::Write(const void*, size_t) { throw EStreamError(kReadOnly); }

void TResourceStream::SetSize(int64_t) { throw EStreamError(kReadOnly); }

}  // namespace cl
