#include "SkinPack.h"

#include "Lzh.h"
#include "SkinRead.h"

namespace skin {

namespace {

void AppendInt32(std::string& out, int64_t value) {
  const auto v = static_cast<uint32_t>(value);
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<char>((v >> shift) & 0xFF));
}

}  // namespace

std::string BuildSkinPackage(const std::vector<TSkinPackEntry>& entries) {
  std::string names;
  uint64_t total = 0;
  for (const TSkinPackEntry& e : entries) {
    if (e.Name.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos)
      throw ESkinPackageError("Skin package: an entry name holds a line break or NUL");
    names += e.Name;
    names += "\r\n";
    total += e.Data.size();
  }
  const uint64_t unpackedSize = kSkinHeaderSize + names.size() + 4 * entries.size() + total;
  if (unpackedSize > static_cast<uint64_t>(kLzhMaxUnpacked))
    throw ElzhException(cl::Format("LZH : %llu bytes exceed the limit of %lld bytes",
                                   static_cast<unsigned long long>(unpackedSize),
                                   static_cast<long long>(kLzhMaxUnpacked)));
  std::string unpacked;
  unpacked.reserve(static_cast<size_t>(unpackedSize));
  AppendInt32(unpacked, kSkinMagic);
  AppendInt32(unpacked, static_cast<int64_t>(names.size()));
  AppendInt32(unpacked, 0);
  AppendInt32(unpacked, 0);
  unpacked += names;
  for (const TSkinPackEntry& e : entries) AppendInt32(unpacked, static_cast<int64_t>(e.Data.size()));
  for (const TSkinPackEntry& e : entries) unpacked += e.Data;

  std::string package;
  AppendInt32(package, static_cast<int64_t>(unpacked.size()));
  package += LzhEncode(unpacked);
  return package;
}

}  // namespace skin
