// The number of GDI objects this process holds, for leak tests: before and after a drawing path repeated
// many times. The system's count where it keeps one; under Wine, whose count is a stub, the live entries
// of the process's GDI handle table.
#pragma once
#include <windows.h>
#include <winternl.h>

#include <cstddef>
#include <cstdint>

namespace hktest {

namespace detail {
// One entry of the table as Wine lays it out (24 bytes on 64-bit); a free entry has type 0.
struct GdiTableEntry {
  std::uint64_t object;
  std::uint32_t owner;
  std::uint16_t unique;
  std::uint8_t type;
  std::uint8_t flags;
  std::uint64_t user;
};
static_assert(sizeof(GdiTableEntry) == 24);
constexpr std::size_t kGdiTableEntries = 0x10000;
constexpr std::size_t kPebGdiTableOffset = sizeof(void*) == 8 ? 0xF8 : 0x94;
}  // namespace detail

inline long GdiObjectsInProcess() {
  // A process always holds some (the stock objects), so 0 means there is no count to be had.
  if (const DWORD counted = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)) return static_cast<long>(counted);
  const auto* peb = reinterpret_cast<const std::uint8_t*>(NtCurrentTeb()->ProcessEnvironmentBlock);
  const auto* table = *reinterpret_cast<const detail::GdiTableEntry* const*>(peb + detail::kPebGdiTableOffset);
  if (!table) return -1;
  long live = 0;
  for (std::size_t i = 0; i < detail::kGdiTableEntries; ++i)
    if (table[i].type != 0) ++live;
  return live;
}

}  // namespace hktest
