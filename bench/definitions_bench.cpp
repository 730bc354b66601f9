// Writes and reads a definitions file of 10,000 entries and prints how long each step takes.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "Definitions.h"
#include "HotkeyText.h"

namespace {

// Joins texts by appending (GCC 12 warns falsely about "literal" + std::string on 32-bit targets).
template <typename... T>
std::string Cat(const T&... parts) {
  std::string out;
  (out.append(parts), ...);
  return out;
}

hk::Definitions MakeDefinitions(int count) {
  hk::Definitions defs;
  defs.sortColumn = 2;
  defs.entries.reserve(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    hk::HotkeyEntry e;
    const int action = i % 16;
    const std::string n = std::to_string(i);
    e.description = Cat(i % 7 == 0 ? "Gr\xC3\xBC\xC3\x9F" "e Nummer " : "Entry number ", n);
    e.id = hk::IdFromText(Cat("E", n));
    e.actionNumber = action;
    e.action = action < hk::ActionNameCount ? std::string(hk::ActionNames[static_cast<size_t>(action)]) : std::string();
    switch (action) {
      case hk::haOpenProgram: e.data = Cat("C:\\Program Files\\Tool ", n, "\\tool.exe --open \"%TEMP%\\x.txt\""); break;
      case hk::haSendKeystrokes: e.data = "Hello{ENTER}{DELAY 100}^v"; break;
      case hk::haExecuteMultiple: e.data = "E1;D=250;E2;E3"; break;
      case hk::haExitWindows: e.data = std::string(hk::ExitWindowsParameterNames[static_cast<size_t>(i % 4)]); break;
      case hk::haSwitchClipboard: e.data = std::to_string(1 + i % 100); break;
      case hk::haOpenFolder: e.data = Cat("D:\\Dokumente\\\xC3\x9C" "bersicht ", n); break;
      case hk::haOpenDefinitions: e.data = "c:\\calderine\\other.hkd"; break;
      default: break;
    }
    e.hotkey.clear();
    if (i & 1) hk::AppendKeyPart(e.hotkey, "Ctrl");
    if (i & 2) hk::AppendKeyPart(e.hotkey, "Alt");
    if (i & 4) hk::AppendKeyPart(e.hotkey, "Shift");
    if (i & 8) hk::AppendKeyPart(e.hotkey, "Win");
    hk::AppendKeyPart(e.hotkey, hk::HotkeyKeyNames[static_cast<size_t>(i % hk::HotkeyKeyNameCount)]);
    e.active = i % 5 ? "True" : "False";
    if (action == hk::haOpenProgram) {
      e.show = std::string(hk::ShowNames[static_cast<size_t>(i % 3)]);
      e.startIn = "C:\\Work";
    }
    defs.entries.push_back(std::move(e));
  }
  return defs;
}

template <typename F>
double BestMs(int rounds, F&& step) {
  double best = 1e300;
  for (int r = 0; r < rounds; ++r) {
    const auto t0 = std::chrono::steady_clock::now();
    step();
    const std::chrono::duration<double, std::milli> d = std::chrono::steady_clock::now() - t0;
    best = std::min(best, d.count());
  }
  return best;
}

}  // namespace

int main() {
  constexpr int kEntries = 10000;
  constexpr int kRounds = 5;
  const hk::Definitions defs = MakeDefinitions(kEntries);
  const std::string file = (std::filesystem::temp_directory_path() / "definitions_bench.hkd").string();

  std::string bytes;
  const double toBytes = BestMs(kRounds, [&] { bytes = hk::DefinitionsToBytes(defs); });
  const double save = BestMs(kRounds, [&] { hk::SaveDefinitions(file, defs); });
  size_t rows = 0, records = 0;
  const double editor = BestMs(kRounds, [&] { rows = hk::LoadDefinitions(file).entries.size(); });
  const double registration = BestMs(kRounds, [&] { records = hk::LoadDefinitionRecords(file).records.size(); });
  std::error_code ec;
  std::filesystem::remove(file, ec);

  if (rows != kEntries || records != kEntries) {
    std::fprintf(stderr, "read back %zu rows and %zu records, expected %d\n", rows, records, kEntries);
    return 1;
  }
  std::printf("definitions file: %d entries, %zu bytes (best of %d)\n", kEntries, bytes.size(), kRounds);
  std::printf("  write to memory       %8.2f ms\n", toBytes);
  std::printf("  save to file          %8.2f ms\n", save);
  std::printf("  editor reader         %8.2f ms\n", editor);
  std::printf("  registration reader   %8.2f ms\n", registration);
  return 0;
}
