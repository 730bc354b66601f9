// What the system halves of TFileStream (Streams_win.cpp, Streams_posix.cpp) share with the portable part:
// the stream messages and the open-failure report.
#pragma once
#include <string>

namespace cl::detail {

inline constexpr char kStreamReadError[] = "Stream read error";
inline constexpr char kStreamWriteError[] = "Stream write error";
inline constexpr char kInvalidStreamPosition[] = "Invalid stream position";

// EFCreateError "Cannot create file "%s". %s" when create, else EFOpenError "Cannot open file "%s". %s".
[[noreturn]] void FileOpenFailed(const std::string& fileName, bool create, const std::string& reason);

}  // namespace cl::detail
