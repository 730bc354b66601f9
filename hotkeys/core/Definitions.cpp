#include "Definitions.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <unordered_set>

#include "FileUtil.h"
#include "HotkeyText.h"
#include "Streams.h"
#include "SysUtils.h"
#include "ValueStream.h"

namespace hk {

namespace {

// Position of a name in a list, -1 when it is not there.
int PositionOf(const std::vector<std::string>& list, std::string_view name) {
  for (size_t i = 0; i < list.size(); ++i)
    if (cl::SameText(list[i], name)) return static_cast<int>(i);
  return -1;
}

// The name at a stored position; empty outside the list.
std::string NameAt(const std::vector<std::string>& list, std::int32_t position) {
  return position >= 0 && static_cast<size_t>(position) < list.size() ? list[static_cast<size_t>(position)] : std::string();
}

enum class DataKind { None, String, Integer };

DataKind DataKindOf(std::int32_t action) {
  switch (action) {
    case haOpenProgram:
    case haSendKeystrokes:
    case haExecuteMultiple:
    case haOpenFolder:
    case haOpenDefinitions:
      return DataKind::String;
    case haExitWindows:
    case haSwitchClipboard:
      return DataKind::Integer;
    default:
      return DataKind::None;
  }
}

// A clipboard number as the table shows it: the stored index plus one. Any index that is not negative
// names a clipboard, offered now or not, so the number is kept rather than blanked.
std::string ClipboardNumberText(std::int32_t index) {
  return index >= 0 ? std::to_string(static_cast<std::int64_t>(index) + 1) : std::string();
}

// The stored index of a clipboard number text: the number less one, -1 when the text is no number of
// a clipboard (not plain decimal digits, zero, leading zeros, or too large for the file).
std::int32_t ClipboardIndexOfText(std::string_view text) {
  if (text.empty() || text.front() == '0') return -1;
  std::int64_t n = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
  if (ec != std::errc() || end != text.data() + text.size() || n < 1 ||
      n > static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::max()) + 1)
    return -1;
  return static_cast<std::int32_t>(n - 1);
}

// The action number a row stores: the position of its action name, or its own number when the name is
// not in the list (an action without name, such as 15).
std::int32_t ActionNumberOf(const HotkeyEntry& e, const DefinitionsNaming& naming) {
  const int p = PositionOf(naming.actionNames, e.action);
  return p >= 0 ? p : e.actionNumber;
}

// A read-only stream over bytes it does not own, so reading a file image copies nothing.
class TBytesStream : public cl::TCustomMemoryStream {
 public:
  explicit TBytesStream(std::string_view bytes) { SetPointer(bytes.data(), bytes.size()); }
  // A read-ahead buffer no larger than the data: small files allocate little.
  static size_t BufferSizeFor(std::string_view bytes) { return std::clamp<size_t>(bytes.size(), 16, 64 * 1024); }
  size_t Write(const void*, size_t) override { throw cl::EWriteError("Stream write error"); }
  void SetSize(int64_t) override { throw cl::EWriteError("Stream write error"); }
};

void WriteHotkey(cl::TWriter& w, std::string_view hotkeyText) {
  const HotkeyFileForm f = HotkeyFileFormFromText(hotkeyText);
  w.WriteBoolean(f.ctrl);
  w.WriteBoolean(f.alt);
  w.WriteBoolean(f.shift);
  w.WriteBoolean(f.win);
  w.WriteInteger(f.keyPosition);
}

std::string ReadHotkeyText(cl::TReader& r) {
  HotkeyFileForm f;
  f.ctrl = r.ReadBoolean();
  f.alt = r.ReadBoolean();
  f.shift = r.ReadBoolean();
  f.win = r.ReadBoolean();
  f.keyPosition = r.ReadInteger();
  return HotkeyTextFromFileForm(f);
}

// One record as stored; both readers build their rows from it.
struct RawRecord {
  std::string description;
  std::string id;
  std::int32_t action = 0;
  std::string dataString;
  std::int32_t dataInteger = 0;
  std::string hotkey;
  bool active = false;
  std::string show{ShowNames[0]};
  std::string startIn;
};

int ReadHeader(cl::TReader& r) { return DefinitionsVersionOfHeader(r.ReadString()); }

// Reads one record into rec, which the caller uses only when this returns: a record cut off by an
// error never reaches a table.
void ReadRecord(cl::TReader& r, int version, RawRecord& rec) {
  rec.description = r.ReadString();
  rec.id = version != DefinitionsVersion100 ? r.ReadString() : std::string();
  rec.action = r.ReadInteger();
  // Version 1.0 had no action 2: its numbers above 1 are one lower.
  if (version == DefinitionsVersion100 && rec.action > 1 && rec.action < std::numeric_limits<std::int32_t>::max())
    ++rec.action;
  rec.dataString.clear();
  rec.dataInteger = 0;
  switch (DataKindOf(rec.action)) {
    case DataKind::String: rec.dataString = r.ReadString(); break;
    case DataKind::Integer: rec.dataInteger = r.ReadInteger(); break;
    case DataKind::None: break;
  }
  rec.hotkey = ReadHotkeyText(r);
  rec.active = r.ReadBoolean();
  rec.show = std::string(ShowNames[0]);
  rec.startIn.clear();
  if (rec.action == haOpenProgram) {
    if (version >= DefinitionsVersion120) rec.show = r.ReadString();
    if (version >= DefinitionsVersion130) rec.startIn = r.ReadString();
  }
}

// UniqueHotkeyId with the clash test given: the first of the numbered candidates that no other row has.
template <typename Taken>
std::string UniqueId(std::string_view text, Taken taken) {
  std::string id = IdFromText(text);
  id.append(4 - id.size(), '0');
  for (std::int64_t n = 1; taken(id); ++n) {
    const std::string digits = std::to_string(n);
    const size_t keep = digits.size() < 4 ? 4 - digits.size() : 0;
    id = id.substr(0, std::min(keep, id.size())) + digits;
  }
  return id;
}

}  // namespace

int DefinitionsVersionOfHeader(std::string_view header) {
  if (header == "Hotkey definitions, version 1.0") return DefinitionsVersion100;
  if (header == "Hotkey definitions, version 1.05") return DefinitionsVersion105;
  if (header == "Hotkey definitions, version 1.2") return DefinitionsVersion120;
  if (header == "Hotkey definitions, version 1.3") return DefinitionsVersion130;
  return DefinitionsVersion150;
}

// ---------------------------------------------------------------------------------------------- writing

std::string DefinitionsToBytes(const Definitions& defs, const DefinitionsNaming& naming) {
  cl::TMemoryStream stream;
  {
    cl::TWriter w(stream, 64 * 1024);
    w.WriteString(DefinitionsHeader);
    w.WriteInteger(defs.sortColumn);
    w.WriteBoolean(defs.sortAscending);
    w.WriteListBegin();
    for (const HotkeyEntry& e : defs.entries) {
      w.WriteString(e.description);
      w.WriteString(e.id);
      const std::int32_t action = ActionNumberOf(e, naming);
      w.WriteInteger(action);
      switch (action) {
        case haExitWindows: w.WriteInteger(PositionOf(naming.exitWindowsParameters, e.data)); break;
        case haSwitchClipboard: w.WriteInteger(ClipboardIndexOfText(e.data)); break;
        default:
          if (DataKindOf(action) == DataKind::String) w.WriteString(e.data);
          break;
      }
      WriteHotkey(w, e.hotkey);
      w.WriteBoolean(e.active == "True");
      if (action == haOpenProgram) {
        w.WriteString(e.show);
        w.WriteString(e.startIn);
      }
    }
    w.WriteListEnd();
    w.FlushBuffer();
  }
  return std::string(stream.Bytes());
}

std::string DefinitionsBackupFile(const std::string& fileName) { return fileName + ".bak"; }

void RemoveLeftoversOfSave(const std::string& fileName) {
  cl::RemoveLeftoverTemporaryFile(fileName);
  cl::RemoveLeftoverTemporaryFile(DefinitionsBackupFile(fileName));
}

void SaveDefinitions(const std::string& fileName, const Definitions& defs, const DefinitionsNaming& naming,
                     OldDefinitionsFile old) {
  if (fileName.empty()) throw cl::EFCreateError("Cannot create file \"\". No file name was given.");
  RemoveLeftoversOfSave(fileName);
  const std::string bytes = DefinitionsToBytes(defs, naming);
  // A read-only file is refused below; it needs no copy.
  if (old == OldDefinitionsFile::KeepBackup && cl::FileExists(fileName) && !cl::IsReadOnlyFile(fileName))
    cl::WriteFileAtomic(DefinitionsBackupFile(fileName), cl::ReadFileBytes(fileName));
  cl::WriteFileAtomic(fileName, bytes);
}

void CreateDefinitionsFile(const std::string& fileName, const std::string& previousFile) {
  HotkeyEntry e;
  e.description = "Load Previous HKD File";
  e.id = "PHKD";
  e.action.clear();
  e.actionNumber = haOpenDefinitions;
  // The whole path, so the entry finds the file wherever it lies (a path with a drive is used as it is).
  e.data = previousFile;
  e.hotkey = "Win+L";
  e.active = "True";
  Definitions defs;
  defs.entries.push_back(std::move(e));
  SaveDefinitions(fileName, defs);
}

// ------------------------------------------------------------------------------------- the editor reader

LoadedDefinitions ReadDefinitions(std::string_view bytes, const DefinitionsNaming& naming) {
  LoadedDefinitions out;
  std::unordered_set<std::string> ids;  // version 1.0: the IDs made so far
  try {
    TBytesStream stream(bytes);
    cl::TReader r(stream, TBytesStream::BufferSizeFor(bytes));
    out.version = ReadHeader(r);
    if (out.version == DefinitionsVersion150) {
      const std::int32_t column = r.ReadInteger();
      if (column >= -1 && column <= 5) out.sortColumn = column;
      out.sortAscending = r.ReadBoolean();
    } else {
      out.sortColumn = -1;
      out.sortAscending = true;
    }
    r.ReadListBegin();
    RawRecord rec;
    while (!r.EndOfList()) {
      ReadRecord(r, out.version, rec);
      HotkeyEntry& e = out.entries.emplace_back();
      e.description = std::move(rec.description);
      if (out.version == DefinitionsVersion100) {
        e.id = UniqueId(e.description, [&](const std::string& id) { return ids.count(id) != 0; });
        ids.insert(e.id);
      } else {
        e.id = std::move(rec.id);
      }
      e.actionNumber = rec.action;
      e.action = NameAt(naming.actionNames, rec.action);
      switch (rec.action) {
        case haExitWindows: e.data = NameAt(naming.exitWindowsParameters, rec.dataInteger); break;
        case haSwitchClipboard: e.data = ClipboardNumberText(rec.dataInteger); break;
        default: e.data = std::move(rec.dataString); break;
      }
      e.hotkey = std::move(rec.hotkey);
      e.active = rec.active ? "True" : "False";
      e.show = std::move(rec.show);
      e.startIn = std::move(rec.startIn);
    }
    r.ReadListEnd();
    out.complete = true;
  } catch (const cl::Exception&) {
    // Reading stops quietly at the first value that cannot be read; the complete rows stay.
  }
  return out;
}

LoadedDefinitions LoadDefinitions(const std::string& fileName, const DefinitionsNaming& naming) {
  std::string bytes;
  try {
    bytes = cl::ReadFileBytes(fileName);
  } catch (const cl::Exception&) {
    return {};
  }
  return ReadDefinitions(bytes, naming);
}

// -------------------------------------------------------------------------------- the registration reader

DefinitionRecords ReadDefinitionRecords(std::string_view bytes) {
  DefinitionRecords out;
  try {
    TBytesStream stream(bytes);
    cl::TReader r(stream, TBytesStream::BufferSizeFor(bytes));
    out.version = ReadHeader(r);
    if (out.version == DefinitionsVersion150) {
      r.ReadInteger();
      r.ReadBoolean();
    }
    r.ReadListBegin();
    RawRecord rec;
    while (!r.EndOfList()) {
      ReadRecord(r, out.version, rec);
      DefinitionRecord& d = out.records.emplace_back();
      d.description = std::move(rec.description);
      d.id = std::move(rec.id);
      d.action = rec.action;
      d.data = DataKindOf(rec.action) == DataKind::Integer ? std::to_string(rec.dataInteger) : std::move(rec.dataString);
      d.hotkey = std::move(rec.hotkey);
      d.active = rec.active;
      d.show = std::move(rec.show);
      d.startIn = std::move(rec.startIn);
    }
    r.ReadListEnd();
    out.complete = true;
  } catch (const cl::Exception&) {
    // As in the editor: what was read completely is registered.
  }
  return out;
}

DefinitionRecords LoadDefinitionRecords(const std::string& fileName) {
  std::string bytes;
  try {
    bytes = cl::ReadFileBytes(fileName);
  } catch (const cl::Exception&) {
    return {};
  }
  return ReadDefinitionRecords(bytes);
}

bool IsRegistrable(const DefinitionRecord& record) {
  if (!record.active || record.action == 16) return false;
  return !(record.action <= haSendKeystrokes && record.data.empty());
}

// -------------------------------------------------------------------------------------------------- IDs

std::string IdFromText(std::string_view text) {
  std::string id;
  for (char c : text) {
    if (id.size() == 4) break;
    if (c >= '0' && c <= '9') id += c;
    else if (c >= 'A' && c <= 'Z') id += c;
    else if (c >= 'a' && c <= 'z') id += static_cast<char>(c - 'a' + 'A');
  }
  return id;
}

std::string UniqueHotkeyId(std::span<const std::string> ids, std::ptrdiff_t row, std::string_view text) {
  if (ids.size() <= 1) return UniqueId(text, [](const std::string&) { return false; });
  return UniqueId(text, [&](const std::string& id) {
    for (size_t i = 0; i < ids.size(); ++i)
      if (static_cast<std::ptrdiff_t>(i) != row && ids[i] == id) return true;
    return false;
  });
}

// ------------------------------------------------------------------------------------------------ paths

namespace {
bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && IsBlankOrControl(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlankOrControl(s.back())) s.remove_suffix(1);
  return s;
}

// The root of a Windows path: "X:" for a drive, "\\server\share" for a network path, else empty.
std::string_view PathRoot(std::string_view p) {
  if (p.size() >= 2 && p[1] == ':') return p.substr(0, 2);
  if (p.size() >= 2 && p[0] == '\\' && p[1] == '\\') {
    size_t end = p.find('\\', 2);
    if (end != std::string_view::npos) end = p.find('\\', end + 1);
    return end == std::string_view::npos ? p : p.substr(0, end);
  }
  return {};
}

// Joins root and the components of rest, dropping "." and empty components and resolving "..", which
// never climbs above the root.
std::string NormalizeUnder(std::string_view root, std::string_view rest) {
  std::vector<std::string_view> parts;
  size_t i = 0;
  while (i <= rest.size()) {
    size_t j = rest.find('\\', i);
    if (j == std::string_view::npos) j = rest.size();
    const std::string_view part = rest.substr(i, j - i);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    i = j + 1;
  }
  std::string out(root);
  for (const std::string_view part : parts) {
    out += '\\';
    out += part;
  }
  if (parts.empty() || (!rest.empty() && rest.back() == '\\')) out += '\\';
  return out;
}

// Makes a relative Windows path absolute against dir, as the system's full-path function does.
std::string AbsoluteAgainst(std::string name, std::string_view dir) {
  std::replace(name.begin(), name.end(), '/', '\\');
  if (name.size() >= 2 && name[0] == '\\' && name[1] == '\\') {
    const std::string_view root = PathRoot(name);
    return NormalizeUnder(root, std::string_view(name).substr(root.size()));
  }
  std::string base(dir);
  std::replace(base.begin(), base.end(), '/', '\\');
  const std::string_view root = PathRoot(base);
  if (name.front() == '\\') return NormalizeUnder(root, name);  // the root of the current drive
  return NormalizeUnder(root, std::string(std::string_view(base).substr(root.size())) + '\\' + name);
}
}  // namespace

std::string ExpandDefinitionsPath(std::string_view name, std::string_view programDir, std::string_view currentDir) {
  const std::string_view n = TrimBlanks(name);
  if (n.empty()) return {};
  if (n.find(':') == 1) return std::string(n);
  if (n.find('\\') != std::string_view::npos) return AbsoluteAgainst(std::string(n), currentDir);
  std::string out(programDir);
  if (!out.empty() && out.back() != '\\' && out.back() != '/') out += '\\';
  return out + std::string(n);
}

std::string DefaultDefinitionsFile(std::string_view programPath) {
  return cl::ChangeFileExt(programPath, ".hkd");
}

std::string DefinitionsFileFromSetting(std::string_view value, std::string_view programPath, std::string_view currentDir) {
  const std::string programDir = cl::ExtractFilePath(programPath);
  std::string path = ExpandDefinitionsPath(value, programDir, currentDir);
  if (path.empty()) path = ExpandDefinitionsPath(DefaultDefinitionsFile(programPath), programDir, currentDir);
  return cl::LowerCase(path);
}

}  // namespace hk
