// skinpack: makes a skin package from a folder holding one INI description and its bitmaps, and lists or
// unpacks a package.
//
//   skinpack pack FOLDER PACKAGE     the INI first, then the ".bmp" files sorted by name (byte order)
//   skinpack list PACKAGE            one line per entry: size and name
//   skinpack unpack PACKAGE FOLDER   writes each entry (the first of a repeated name) into FOLDER
//
// The same folder always gives the same package bytes.
#include "SkinPack.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "FileUtil.h"
#include "SkinRead.h"
#include "SysUtils.h"

#ifdef _WIN32
// clang-format off
#include <windows.h>
#include <shellapi.h>  // needs windows.h first
// clang-format on
#endif

namespace fs = std::filesystem;

namespace {

std::string PathText(const fs::path& p) {
  const std::u8string s = p.u8string();
  return std::string(s.begin(), s.end());
}

fs::path TextPath(const std::string& s) { return fs::path(std::u8string(s.begin(), s.end())); }

std::string Extension(const fs::path& p) { return cl::LowerCase(PathText(p.extension())); }

int Pack(const std::string& folder, const std::string& package) {
  std::vector<fs::path> inis, bitmaps;
  for (const auto& e : fs::directory_iterator(TextPath(folder))) {
    if (!e.is_regular_file()) continue;
    const std::string ext = Extension(e.path());
    if (ext == ".ini")
      inis.push_back(e.path());
    else if (ext == ".bmp")
      bitmaps.push_back(e.path());
    else
      std::fprintf(stderr, "skipped: %s\n", PathText(e.path().filename()).c_str());
  }
  if (inis.size() != 1) {
    std::fprintf(stderr, "%s: expected one .ini file, found %zu\n", folder.c_str(), inis.size());
    return 1;
  }
  std::sort(bitmaps.begin(), bitmaps.end(), [](const fs::path& a, const fs::path& b) {
    return PathText(a.filename()) < PathText(b.filename());
  });
  std::vector<skin::TSkinPackEntry> entries;
  bitmaps.insert(bitmaps.begin(), inis.front());
  for (const fs::path& p : bitmaps)
    entries.push_back({PathText(p.filename()), cl::ReadFileBytes(PathText(p))});
  const std::string bytes = skin::BuildSkinPackage(entries);
  cl::WriteFileAtomic(package, bytes);
  std::printf("%zu entries, %zu bytes\n", entries.size(), bytes.size());
  return 0;
}

bool LoadPackage(const std::string& package, skin::TSkinReader& reader) {
  cl::TMemoryStream source(cl::ReadFileBytes(package));
  reader.OnMessage = [](const std::string& text) { std::fprintf(stderr, "%s\n", text.c_str()); };
  return reader.LoadFromStream(source);
}

int List(const std::string& package) {
  skin::TSkinReader reader;
  if (!LoadPackage(package, reader)) return 1;
  for (int i = 0; i < reader.Count(); ++i)
    std::printf("%10d  %s\n", reader.EntrySize(i), reader.Names()[i].c_str());
  return 0;
}

// A name that stays inside the target folder.
bool SafeName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find_first_of("/\\:") == std::string::npos;
}

int Unpack(const std::string& package, const std::string& folder) {
  skin::TSkinReader reader;
  if (!LoadPackage(package, reader)) return 1;
  fs::create_directories(TextPath(folder));
  std::set<std::string> done;
  int result = 0;
  for (int i = 0; i < reader.Count(); ++i) {
    const std::string name = reader.Names()[i];
    if (!done.insert(name).second) continue;
    if (!SafeName(name)) {
      std::fprintf(stderr, "not written: \"%s\"\n", name.c_str());
      result = 1;
      continue;
    }
    cl::TMemoryStream entry;
    reader.ReadEntry(name, entry);
    cl::WriteFileAtomic(PathText(TextPath(folder) / TextPath(name)), entry.Bytes());
  }
  return result;
}

int Run(const std::vector<std::string>& args) {
  if (args.size() == 4 && args[1] == "pack") return Pack(args[2], args[3]);
  if (args.size() == 3 && args[1] == "list") return List(args[2]);
  if (args.size() == 4 && args[1] == "unpack") return Unpack(args[2], args[3]);
  std::fprintf(stderr,
               "usage: skinpack pack FOLDER PACKAGE\n"
               "       skinpack list PACKAGE\n"
               "       skinpack unpack PACKAGE FOLDER\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args;
#ifdef _WIN32
  // The ANSI arguments cannot hold every file name.
  (void)argv;
  int count = 0;
  if (wchar_t** wargv = CommandLineToArgvW(GetCommandLineW(), &count)) {
    for (int i = 0; i < count; ++i) {
      const std::wstring w = wargv[i];
      std::string s;
      const int n = WideCharToMultiByte(CP_UTF8, 0, w.c_str(), static_cast<int>(w.size()), nullptr, 0,
                                        nullptr, nullptr);
      s.resize(static_cast<size_t>(n));
      WideCharToMultiByte(CP_UTF8, 0, w.c_str(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
      args.push_back(std::move(s));
    }
    LocalFree(wargv);
  }
  (void)argc;
#else
  args.assign(argv, argv + argc);
#endif
  try {
    return Run(args);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "skinpack: %s\n", e.what());
    return 1;
  }
}
