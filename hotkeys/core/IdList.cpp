#include "IdList.h"

#include <algorithm>
#include <charconv>

namespace hk {

namespace {

bool SameAsciiText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]);
    unsigned char y = static_cast<unsigned char>(b[i]);
    if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

// A whole decimal number with an optional sign; anything else (also one out of range) is none.
bool ParseNumber(std::string_view text, int& value) {
  if (!text.empty() && text[0] == '+') text.remove_prefix(1);
  if (text.empty()) return false;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size();
}

}  // namespace

int ClampIdListDelay(int value) noexcept { return std::clamp(value, 0, MaxIdListDelay); }

int TakeDelayPrefix(std::string& s) {
  if (s.size() < 2 || s[0] != 'D' || s[1] != '=') return -1;
  s.erase(0, 2);
  const size_t semicolon = s.find(';');
  if (semicolon == std::string::npos) return 0;
  int value = 0;
  if (!ParseNumber(std::string_view(s).substr(0, semicolon), value)) value = 0;
  s.erase(0, semicolon + 1);
  return value;
}

std::string TakeNextId(std::string& s) {
  const size_t semicolon = s.find(';');
  std::string id;
  if (semicolon == std::string::npos) {
    id = std::move(s);
    s.clear();
  } else {
    id = s.substr(0, semicolon);
    s.erase(0, semicolon + 1);
  }
  return id;
}

std::vector<IdListItem> ParseIdList(std::string_view list) {
  std::string s(list);
  std::vector<IdListItem> items;
  int delay = 0;
  if (const int d = TakeDelayPrefix(s); d != -1) delay = ClampIdListDelay(d);
  while (!s.empty()) {
    std::string id = TakeNextId(s);
    // An empty element (";;", or a leading ";") ends the list: what follows it never runs. Stored lists
    // use it to keep entries listed but switched off.
    if (id.empty()) break;
    items.push_back({std::move(id), delay});
    if (const int d = TakeDelayPrefix(s); d != -1) delay = ClampIdListDelay(d);
  }
  return items;
}

int ActionNumberOfName(std::string_view name) {
  for (size_t i = 0; i < ActionNames.size(); ++i)
    if (SameAsciiText(ActionNames[i], name)) return static_cast<int>(i);
  return -1;
}

HotkeyCommand CommandOfEntry(const HotkeyEntry& entry, int action) {
  HotkeyCommand command;
  command.action = action;
  switch (action) {
    case haOpenProgram:
      command.data = entry.data;
      command.show = entry.show;
      command.startIn = entry.startIn;
      break;
    case haExitWindows: {
      int position = -1;
      for (size_t i = 0; i < ExitWindowsParameterNames.size(); ++i)
        if (SameAsciiText(ExitWindowsParameterNames[i], entry.data)) {
          position = static_cast<int>(i);
          break;
        }
      command.data = std::to_string(position);
      break;
    }
    case haSwitchClipboard: {
      int number = 0;
      command.data = std::to_string(ParseNumber(entry.data, number) && number > 0 ? number - 1 : -1);
      break;
    }
    default:
      command.data = entry.data;
      break;
  }
  return command;
}

std::vector<IdListStep> PlanIdList(const std::vector<HotkeyEntry>& rows, std::string_view list) {
  std::vector<IdListStep> steps;
  for (const IdListItem& item : ParseIdList(list)) {
    const auto row = std::find_if(rows.begin(), rows.end(), [&](const HotkeyEntry& e) { return e.id == item.id; });
    if (row == rows.end()) continue;
    const int action = ActionNumberOfName(row->action);
    const bool runs = action >= 0 && action != haExecuteMultiple;
    steps.push_back({runs ? CommandOfEntry(*row, action) : HotkeyCommand{}, steps.empty() ? 0 : item.delayMs, runs});
  }
  return steps;
}

bool ListSendsKeystrokes(const std::vector<HotkeyEntry>& rows, std::string_view list) {
  for (const IdListItem& item : ParseIdList(list))
    for (const HotkeyEntry& row : rows)
      if (row.id == item.id && ActionNumberOfName(row.action) == haSendKeystrokes) return true;
  return false;
}

}  // namespace hk
