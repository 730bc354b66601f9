// Helpers shared by the test programs: test data, scratch folders, exception messages.
#pragma once
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

#ifdef _WIN32
#include <process.h>
#define HK_TEST_PID _getpid()
#else
#include <unistd.h>
#define HK_TEST_PID getpid()
#endif

namespace testsupport {

// The message of the exception of type E that f throws, or "(no exception)".
template <class E, class F>
std::string MessageOf(F f) {
  try {
    f();
  } catch (const E& e) {
    return e.Message();
  }
  return "(no exception)";
}

inline std::string Utf8(const std::u8string& s) { return std::string(s.begin(), s.end()); }

// The folder of stored samples, with a trailing separator: tests/data/<sub>/.
inline std::string DataDir(const std::string& sub) {
  const char* env = std::getenv("HK_TEST_DATA");
  return std::string(env && *env ? env : HK_TEST_DATA) + "/" + sub + "/";
}

// A fresh folder under the temporary folder, removed with everything in it (read-only files too).
// The name holds the process id, the time and a counter: ctest runs many test processes at once.
struct TempDir {
  std::filesystem::path path;
  TempDir() {
    static std::atomic<unsigned> counter{0};
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    path = std::filesystem::temp_directory_path() /
           ("hk-" + std::string(info ? info->name() : "test") + "-" + std::to_string(HK_TEST_PID) + "-" +
            std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) + "-" +
            std::to_string(counter++));
    std::filesystem::create_directories(path);
  }
  ~TempDir() {
    namespace fs = std::filesystem;
    std::error_code ec;
    for (auto& e : fs::recursive_directory_iterator(path, ec))
      fs::permissions(e.path(), fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  std::string File(const std::string& name) const { return Utf8((path / name).u8string()); }
  std::string File(const std::u8string& name) const { return Utf8((path / name).u8string()); }
};

}  // namespace testsupport
