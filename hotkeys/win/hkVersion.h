// One string of a program's version resource, from the US English / Windows Latin 1 block ("040904E4").
#pragma once
#include <string>

namespace hk {

// Empty when the file has no version resource or the block lacks the key; never throws.
std::string GetVersionInfoString(const std::string& fileName, const std::string& key);
// GetVersionInfoString of this program's own file.
std::string GetAppVersionInfo(const std::string& key);

}  // namespace hk
