#include "SaHotKeyTable.h"

namespace toolkit {

namespace {
constexpr std::array<std::uint32_t, SaHotKeyKeyCount> BuildTable() {
  std::array<std::uint32_t, SaHotKeyKeyCount> t{};
  int i = 0;
  auto run = [&](std::uint32_t first, std::uint32_t last) {
    for (std::uint32_t vk = first; vk <= last; ++vk) t[i++] = vk;
  };
  run(0x00, 0x00);  // no key
  run(0x03, 0x03);  // VK_CANCEL
  run(0x08, 0x09);  // VK_BACK, VK_TAB
  run(0x0C, 0x0D);  // VK_CLEAR, VK_RETURN
  run(0x13, 0x14);  // VK_PAUSE, VK_CAPITAL
  run(0x1B, 0x1B);  // VK_ESCAPE
  run(0x20, 0x29);  // VK_SPACE .. VK_SELECT
  run(0x2B, 0x2F);  // VK_EXECUTE .. VK_HELP
  run(0x30, 0x39);  // digits
  run(0x41, 0x5A);  // letters
  run(0x60, 0x6F);  // keypad
  run(0x70, 0x87);  // F1 .. F24
  run(0x90, 0x91);  // VK_NUMLOCK, VK_SCROLL
  run(0x5D, 0x5D);  // VK_APPS
  run(0xBA, 0xC0);  // VK_OEM_1 .. VK_OEM_3
  run(0xDB, 0xDE);  // VK_OEM_4 .. VK_OEM_7
  return t;
}
}  // namespace

constinit const std::array<std::uint32_t, SaHotKeyKeyCount> SaHotKeyVirtualKeys = BuildTable();

static_assert(BuildTable()[89] == 0x7D && BuildTable()[90] == 0x7E && BuildTable()[113] == 0xDE);

}  // namespace toolkit
