#include "SkinRead.h"

#include <algorithm>
#include <cstring>

#include "QuickIni.h"

namespace skin {

namespace {

int32_t ReadInt32(std::string_view bytes, size_t offset) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data()) + offset;
  return static_cast<int32_t>(uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) |
                              (uint32_t{p[3]} << 24));
}

}  // namespace

void TSkinReader::Unpack(cl::TCustomMemoryStream& source, cl::TMemoryStream& target) {
  source.SetPosition(0);
  target.Clear();
  char raw[4];
  if (source.Read(raw, 4) != 4) throw ElzhException("LZH : Packed data ends before the unpacked length");
  const int32_t length = ReadInt32(std::string_view(raw, 4), 0);
  TLZH lzh(&source, &target);
  lzh.Unpack(
      length, [&](const void* buffer, uint16_t size) { return lzh.LZHWriteToStream(buffer, size); },
      [&](void* buffer, uint16_t wanted) { return lzh.LZHReadFromStream(buffer, wanted); });
}

bool TSkinReader::LoadFromStream(cl::TCustomMemoryStream& source) {
  cl::TMemoryStream unpacked;
  Unpack(source, unpacked);
  const std::string_view data = unpacked.Bytes();

  std::array<int32_t, 4> header{};
  for (size_t i = 0; i < header.size() && (i + 1) * 4 <= data.size(); ++i) header[i] = ReadInt32(data, i * 4);
  if (header[0] != kSkinMagic) {
    if (OnMessage) OnMessage(kOlderSkinMessage);
    return false;
  }
  if (data.size() < kSkinHeaderSize) throw ESkinPackageError("Skin package: the header is incomplete");

  // Every count and size is checked against the bytes that are really there.
  const int32_t namesLen = header[1];
  if (namesLen < 0 || static_cast<size_t>(namesLen) > data.size() - kSkinHeaderSize)
    throw ESkinPackageError(cl::Format("Skin package: the name text (%d bytes) exceeds the data", namesLen));
  std::string_view text = data.substr(kSkinHeaderSize, static_cast<size_t>(namesLen));
  text = text.substr(0, text.find('\0'));  // nothing after a NUL counts
  cl::TStringList names;
  names.SetText(cl::LowerCase(text));

  const size_t count = static_cast<size_t>(names.Count());
  size_t pos = kSkinHeaderSize + static_cast<size_t>(namesLen);
  if ((data.size() - pos) / 4 < count)
    throw ESkinPackageError(cl::Format("Skin package: the size table of %llu entries exceeds the data",
                                       static_cast<unsigned long long>(count)));
  std::vector<int32_t> sizes(count);
  for (size_t i = 0; i < count; ++i, pos += 4) sizes[i] = ReadInt32(data, pos);
  uint64_t total = 0;
  for (int32_t size : sizes) {
    if (size < 0) throw ESkinPackageError(cl::Format("Skin package: invalid entry size %d", size));
    total += static_cast<uint32_t>(size);
  }
  if (total > data.size() - pos)
    throw ESkinPackageError(cl::Format("Skin package: the entries (%llu bytes) exceed the data",
                                       static_cast<unsigned long long>(total)));

  names_.Assign(&names);
  sizes_ = std::move(sizes);
  header_ = header;
  data_.Clear();
  data_.WriteBuffer(data.data() + pos, data.size() - pos);
  data_.SetPosition(0);
  return true;
}

int TSkinReader::CopyEntry(const std::function<bool(const std::string&)>& match,
                           cl::TMemoryStream& target) const {
  target.Clear();
  size_t offset = 0;
  for (int i = 0; i < names_.Count(); ++i) {
    const size_t size = static_cast<size_t>(sizes_[static_cast<size_t>(i)]);
    if (match(names_[i])) {
      target.WriteBuffer(data_.Bytes().data() + offset, size);
      target.SetPosition(0);
      return i;
    }
    offset += size;
  }
  return -1;
}

void TSkinReader::ReadEntry(const std::string& name, cl::TMemoryStream& target) const {
  const std::string wanted = cl::LowerCase(name);
  CopyEntry([&](const std::string& n) { return n == wanted; }, target);
}

void TSkinReader::FindEntry(const std::string& text, cl::TMemoryStream& target,
                            std::string& entryName) const {
  const int index =
      CopyEntry([&](const std::string& n) { return n.find(text) != std::string::npos; }, target);
  if (index >= 0) entryName = names_[index];
}

bool TSkinReader::ReadDescription(TQuickIni& ini) const {
  cl::TMemoryStream text;
  std::string entryName;
  FindEntry(".ini", text, entryName);
  ini.LoadFromStream(&text);
  return text.Size() != 0;
}

std::string TSkinReader::EntryBytes(const std::string& name) const {
  cl::TMemoryStream entry;
  ReadEntry(name, entry);
  return std::string(entry.Bytes());
}

}  // namespace skin
