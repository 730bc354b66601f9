// Writing skin packages (the format that TSkinReader reads): for the packing tool and the tests.
#pragma once
#include <string>
#include <vector>

namespace skin {

struct TSkinPackEntry {
  std::string Name;  // a file name: no CR, LF or NUL
  std::string Data;
};

// The package of the entries, in the order given, with the unused header fields 0. Deterministic.
// Throws ESkinPackageError for a name with a line break or NUL and ElzhException when the unpacked
// data would exceed kLzhMaxUnpacked.
std::string BuildSkinPackage(const std::vector<TSkinPackEntry>& entries);

}  // namespace skin
