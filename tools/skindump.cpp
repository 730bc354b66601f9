// skindump: prints what a skin description is read into, every member of every skin data object.
//
//   skindump <description.ini>   images are the ".bmp" files beside the description (any letter case)
//   skindump <skin package>      the package's first entry whose name contains ".ini", and its images
//
// A file whose name ends in ".ini" (any case) is taken as a description, anything else as a package.
// The image recipes need the system's scroll arrow width; the dump uses 17, the common value.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

#include "FileUtil.h"
#include "SkinDescription.h"
#include "SkinDump.h"
#include "SkinRead.h"
#include "SysUtils.h"

namespace {

constexpr int kScrollArrowWidth = 17;

std::string PathText(const std::filesystem::path& p) {
  const auto u8 = p.u8string();
  return std::string(u8.begin(), u8.end());
}

// The entries of a loose skin: files in one folder, names compared in lower case.
skin::TSkinEntryReader FolderEntries(const std::filesystem::path& folder) {
  return [folder](const std::string& lowerName) -> std::string {
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(folder, ec)) {
      if (e.is_regular_file(ec) && cl::LowerCase(PathText(e.path().filename())) == lowerName) {
        try {
          return cl::ReadFileBytes(PathText(e.path()));
        } catch (const std::exception&) {
          return {};
        }
      }
    }
    return {};
  };
}

skin::TSkinEntryReader PackageEntries(const skin::TSkinReader& reader) {
  return [&reader](const std::string& lowerName) {
    cl::TMemoryStream entry;
    reader.ReadEntry(lowerName, entry);
    return std::string(entry.Bytes());
  };
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: skindump <description.ini | skin package>\n");
    return 2;
  }
  try {
    const std::string path = argv[1];
    const std::string bytes = cl::ReadFileBytes(path);
    skin::TQuickIni ini;
    skin::TSkinDescription description;
    if (cl::LowerCase(path).ends_with(".ini")) {
      ini.LoadFromBytes(bytes);
      const std::filesystem::path folder = std::filesystem::path(path).parent_path();
      description.ReadSkinIni(ini, FolderEntries(folder.empty() ? "." : folder), kScrollArrowWidth);
    } else {
      skin::TSkinReader reader;
      reader.OnMessage = [](const std::string& text) { std::fprintf(stderr, "skindump: %s\n", text.c_str()); };
      cl::TMemoryStream source(bytes);
      if (!reader.LoadFromStream(source)) return 1;
      cl::TMemoryStream text;
      std::string entryName;
      reader.FindEntry(".ini", text, entryName);
      ini.LoadFromStream(&text);
      description.ReadSkinIni(ini, PackageEntries(reader), kScrollArrowWidth);
    }
    const std::string text = skin::DumpSkinDescription(description);
    std::fwrite(text.data(), 1, text.size(), stdout);
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "skindump: %s\n", e.what());
    return 1;
  }
}
