// Whole-file reading and safe replacement. Paths are UTF-8; on Windows they go to the W functions.
#pragma once
#include <string>
#include <string_view>

namespace cl {

bool FileExists(const std::string& path);

// The file exists and is marked read-only (on POSIX: no one may write it).
bool IsReadOnlyFile(const std::string& path);

// Reads the whole file; throws EFOpenError when it cannot be opened and EReadError when reading fails.
std::string ReadFileBytes(const std::string& path);

// Writes `bytes` to a temporary file beside `path`, flushes it to disk, then replaces `path` with it in
// one step (MoveFileEx with replace and write-through on Windows, rename elsewhere). On any failure the
// old file is untouched, the temporary file is removed and EFCreateError/EWriteError is thrown. A file
// marked read-only is never replaced (EFCreateError, "The file is read-only."), although renaming over it
// succeeds on some systems (Wine, POSIX) where it fails on others.
void WriteFileAtomic(const std::string& path, std::string_view bytes);

// The temporary file a replacement of `path` writes first ("<path>.tmp~"). A save killed midway leaves it
// behind; RemoveLeftoverTemporaryFile deletes such a file (never a folder of that name, and on Windows
// never one that a save still has open). WriteFileAtomic does so before it writes.
std::string TemporaryFileOf(const std::string& path);
void RemoveLeftoverTemporaryFile(const std::string& path);

// Deletes a file; false when it could not be deleted.
bool RemoveFile(const std::string& path);

// The last component of a path ('\\' and '/' both separate) and the directory part including its separator.
std::string ExtractFileName(std::string_view path);
std::string ExtractFilePath(std::string_view path);
// The path with its extension (from the last "." of the last component on) replaced by `ext` (".ini").
std::string ChangeFileExt(std::string_view path, std::string_view ext);

namespace detail {
// The system half of WriteFileAtomic (FileUtil_win.cpp, FileUtil_posix.cpp): the temporary file, its
// flush and the replacing rename, once the read-only check has passed.
void ReplaceFileContents(const std::string& path, std::string_view bytes);
}  // namespace detail

}  // namespace cl
