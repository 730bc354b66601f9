// Arbitrary bytes as a definitions file: both readers must stop cleanly, agree on where they stop, and
// what the editor read must survive a save and a second read unchanged.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "Definitions.h"
#include "Registration.h"
#include "HotkeyText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const hk::LoadedDefinitions loaded = hk::ReadDefinitions(bytes);
  const hk::DefinitionRecords records = hk::ReadDefinitionRecords(bytes);
  if (records.records.size() != loaded.entries.size() || records.complete != loaded.complete) __builtin_trap();
  for (const hk::DefinitionRecord& r : records.records) {
    (void)hk::IsRegistrable(r);
    (void)hk::CommandText(hk::CommandFromRecord(r));
  }

  hk::Definitions defs;
  defs.sortColumn = loaded.sortColumn.value_or(-1);
  defs.sortAscending = loaded.sortAscending.value_or(true);
  defs.entries = loaded.entries;
  const hk::LoadedDefinitions again = hk::ReadDefinitions(hk::DefinitionsToBytes(defs));
  // A key position without name reads as a text ending in "+", which is saved as the key "Num +" it
  // stands for: compare the combinations, not their texts.
  for (hk::HotkeyEntry& e : defs.entries) e.hotkey = hk::HotkeyTextFromFileForm(hk::HotkeyFileFormFromText(e.hotkey));
  if (!again.complete || again.entries != defs.entries || again.sortColumn != defs.sortColumn) __builtin_trap();
  return 0;
}
