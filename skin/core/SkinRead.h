// The skin package: an LZH-compressed archive of named entries (one INI description and the bitmaps it
// names). TSkinReader unpacks a package into memory and hands out entries by name.
//
// Package: int32 unpacked length L (little-endian), then the LZH stream. Unpacked data: int32 magic 20000,
// int32 NamesLen, two int32 that readers ignore, the names (lines ended by CR LF), one int32 size per
// name, then the entries' bytes in the order of the names.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "Lists.h"
#include "Lzh.h"
#include "Streams.h"

namespace skin {

class TQuickIni;

// A package whose layout contradicts itself (names or sizes beyond the data).
CL_DECLARE_EXCEPTION(ESkinPackageError, Exception)

inline constexpr int32_t kSkinMagic = 20000;
inline constexpr int kSkinHeaderSize = 16;
inline constexpr const char* kOlderSkinMessage = "This is Older Skin File\rPlease update to new version !";

class TSkinReader : public cl::TObject {
  CL_PLAIN_CLASS(TSkinReader, cl::TObject)

  TSkinReader() = default;

  // Unpacks the package in source and takes its entries. With a wrong magic it shows kOlderSkinMessage
  // through OnMessage and returns false. A damaged package throws ElzhException (the compressed stream)
  // or ESkinPackageError (the layout). Unless it returns true, the reader keeps what it held before.
  bool LoadFromStream(cl::TCustomMemoryStream& source);

  // Target := the bytes of the first entry named `name` (compared in lower case), positioned at 0; left
  // empty when there is none.
  void ReadEntry(const std::string& name, cl::TMemoryStream& target) const;
  // Target := the bytes of the first entry whose (lower-case) name contains `text` as given, and
  // entryName := that name; when none does, target is left empty and entryName unchanged.
  void FindEntry(const std::string& text, cl::TMemoryStream& target, std::string& entryName) const;
  // Ini := the package's description (its first entry with ".ini" in its name) parsed; false when the
  // package holds none (ini is then empty).
  bool ReadDescription(TQuickIni& ini) const;
  // The bytes of the first entry named `name` (lower case), empty when there is none: how the description
  // reads its bitmaps.
  std::string EntryBytes(const std::string& name) const;

  // The unpacking step: target := the decoded contents of the package in source.
  static void Unpack(cl::TCustomMemoryStream& source, cl::TMemoryStream& target);

  // The entries: lower-cased names in package order, and each one's size.
  int Count() const { return names_.Count(); }
  const cl::TStringList& Names() const { return names_; }
  int32_t EntrySize(int index) const { return sizes_.at(static_cast<size_t>(index)); }

  // Shows an information text to the user; the caller wires it to a message box. Unset: nothing shown.
  std::function<void(const std::string& text)> OnMessage;

 private:
  // Copies the first entry that `match` accepts; returns its index or -1.
  int CopyEntry(const std::function<bool(const std::string&)>& match, cl::TMemoryStream& target) const;

  cl::TStringList names_;
  std::vector<int32_t> sizes_;
  std::array<int32_t, 4> header_{};
  cl::TMemoryStream data_;
};

}  // namespace skin
