#include "Streams.h"

#include <gtest/gtest.h>

#include "TestSupport.h"

#include <filesystem>
#include <string>

#include "FileUtil.h"
#include "SysUtils.h"
#ifdef _WIN32
#include <windows.h>

#include "Unicode.h"
#endif

using namespace cl;

using testsupport::TempDir;

namespace {
using testsupport::MessageOf;

}  // namespace

TEST(MemoryStream, ReadWriteSeekSizeAndCopy) {
  TMemoryStream s;
  s.WriteBuffer("abcdef", 6);
  EXPECT_EQ(s.Seek(-2, soEnd), 4);
  char buf[8] = {};
  EXPECT_EQ(s.Read(buf, sizeof buf), 2u);  // a short read reports what it got
  EXPECT_EQ(MessageOf<EReadError>([&] { s.ReadBuffer(buf, 1); }), "Stream read error");
  s.Seek(8, soBeginning);
  s.WriteBuffer("Z", 1);  // writing past the end leaves a zero-filled gap
  EXPECT_EQ(s.Bytes(), std::string("abcdef\0\0Z", 9));
  s.SetSize(3);  // shrinking pulls the position back to the end
  EXPECT_EQ(s.Position(), 3);
  EXPECT_THROW(s.Seek(-4, soCurrent), EStreamError);

  TMemoryStream src("0123456789");
  src.Seek(2, soBeginning);
  TMemoryStream part;
  EXPECT_EQ(part.CopyFrom(src, 3), 3);
  EXPECT_EQ(part.Bytes(), "234");
  EXPECT_THROW(part.CopyFrom(src, 6), EReadError);
  TMemoryStream all;
  EXPECT_EQ(all.CopyFrom(src, 0), 10);  // 0: the whole source from its start
  EXPECT_EQ(all.Bytes(), "0123456789");
}

TEST(FileStream, CreateReopenTruncateAndWriteError) {
  TempDir dir;
  const std::string path = dir.File(u8"d\u00e9finitions \u4e2d.hkd");  // a non-ASCII name reaches the OS intact
  {
    TFileStream f(path, fmCreate);
    f.WriteBuffer("hello world", 11);
    EXPECT_EQ(f.Size(), 11);
  }
  {
    TFileStream f(path, fmOpenReadWrite);
    f.Seek(6, soBeginning);
    f.WriteBuffer("W", 1);  // opening for writing keeps the contents
    f.SetSize(7);
  }
  TMemoryStream m;
  m.LoadFromFile(path);
  EXPECT_EQ(m.Bytes(), "hello W");
  {
    TFileStream f(path, fmOpenRead);
    EXPECT_EQ(MessageOf<EWriteError>([&] { f.WriteBuffer("q", 1); }), "Stream write error");
  }
  TMemoryStream().SaveToFile(path);  // created anew: truncated
  m.LoadFromFile(path);
  EXPECT_EQ(m.Size(), 0);
}

TEST(FileStream, OpenAndCreateErrorsNameTheFile) {
  TempDir dir;
  const std::string missing = dir.File(u8"missing.hkd");
  const std::string open = MessageOf<EFOpenError>([&] { TFileStream f(missing, fmOpenRead); });
  EXPECT_EQ(open.rfind("Cannot open file \"" + missing + "\". ", 0), 0u) << open;
  EXPECT_GT(open.size(), missing.size() + 21);  // the system's reason follows

  const std::string nodir = dir.File(u8"no such dir/x.hkd");
  const std::string create = MessageOf<EFCreateError>([&] { TFileStream f(nodir, fmCreate); });
  EXPECT_EQ(create.rfind("Cannot create file \"" + nodir + "\". ", 0), 0u) << create;
}

#ifdef _WIN32
// What the system itself says about error `code` (its message table), as the user's Windows words it.
std::string SystemSays(DWORD code) {
  wchar_t text[512] = {};
  DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text, 512,
                           nullptr);
  while (n > 0 && (text[n - 1] == L'\r' || text[n - 1] == L'\n' || text[n - 1] == L' ')) --n;
  return Utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(text), n));
}

// A file error tells the system's number and, beside it, the system's own text for it.
TEST(FileErrors, GiveTheSystemsNumberAndText) {
  TempDir dir;
  const std::string missing = dir.File(u8"missing.hkd");
  const std::string nodir = dir.File(u8"no such dir\\x.hkd");
  const std::string notFound = "system error 2: " + SystemSays(ERROR_FILE_NOT_FOUND);
  const std::string pathNotFound = "system error 3: " + SystemSays(ERROR_PATH_NOT_FOUND);
  ASSERT_GT(notFound.size(), 16u);
  ASSERT_GT(pathNotFound.size(), 16u);
  EXPECT_EQ(MessageOf<EFOpenError>([&] { TFileStream f(missing, fmOpenRead); }),
            "Cannot open file \"" + missing + "\". " + notFound);
  EXPECT_EQ(MessageOf<EFOpenError>([&] { ReadFileBytes(missing); }),
            "Cannot open file \"" + missing + "\". " + notFound);
  EXPECT_EQ(MessageOf<EFCreateError>([&] { WriteFileAtomic(nodir, "x"); }),
            "Cannot create file \"" + nodir + "\". " + pathNotFound);
}

TEST(FileStream, ShareModesAreEnforced) {
  TempDir dir;
  const std::string path = dir.File(u8"shared.bin");
  { TFileStream f(path, fmCreate); }
  {
    TFileStream reader(path, fmOpenRead | fmShareDenyWrite);
    EXPECT_THROW(TFileStream(path, fmOpenWrite), EFOpenError);
    TFileStream second(path, fmOpenRead | fmShareDenyWrite);  // reading alongside is allowed
  }
  TFileStream exclusive(path, fmOpenReadWrite | fmShareExclusive);
  EXPECT_THROW(TFileStream(path, fmOpenRead), EFOpenError);
}
#endif
