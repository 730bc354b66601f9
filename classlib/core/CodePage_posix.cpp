// Native (non-Windows) code page conversion through the C library's iconv. Windows uses CodePage_win.cpp.
#include <cerrno>
#include <cstdlib>
#include <iconv.h>
#include <string>

#include "Unicode.h"

namespace cl {

namespace {
std::string IconvName(unsigned cp) {
  switch (cp) {
    case 65001: return "UTF-8";
    case 936: return "CP936";
    default: return "CP" + std::to_string(cp);
  }
}

// Converts with iconv; an unconvertible input unit is replaced by `replacement` and skipped.
std::string Convert(std::string_view in, const std::string& from, const std::string& to, size_t inUnit,
                    std::string_view replacement, bool* lossy) {
  iconv_t cd = iconv_open(to.c_str(), from.c_str());
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    if (lossy) *lossy = true;
    return std::string(in);
  }
  std::string out;
  out.reserve(in.size() * 2);
  char buf[1024];
  char* src = const_cast<char*>(in.data());
  size_t srcLeft = in.size();
  while (srcLeft > 0) {
    char* dst = buf;
    size_t dstLeft = sizeof buf;
    const size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    out.append(buf, dst - buf);
    if (r == static_cast<size_t>(-1) && errno != E2BIG) {
      // EILSEQ or EINVAL: skip one unit (for UTF-8 input, the whole bad character).
      size_t skip = inUnit;
      if (from == "UTF-8") {
        const auto b = static_cast<unsigned char>(*src);
        skip = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
      }
      skip = std::min(skip, srcLeft);
      src += skip;
      srcLeft -= skip;
      out.append(replacement);
      if (lossy) *lossy = true;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
  iconv_close(cd);
  return out;
}
}  // namespace

std::string CodePageToUtf8(std::string_view bytes, unsigned cp) {
  if (cp == 65001) return Utf16ToUtf8(Utf8ToUtf16(bytes));
  return Convert(bytes, IconvName(cp), "UTF-8", 1, "\xEF\xBF\xBD", nullptr);
}

std::string Utf8ToCodePage(std::string_view utf8, unsigned cp, bool* lossy) {
  if (lossy) *lossy = false;
  if (cp == 65001) return std::string(utf8);
  return Convert(utf8, "UTF-8", IconvName(cp), 1, "?", lossy);
}

unsigned AnsiCodePage() {
  if (const char* v = std::getenv("HK_ANSI_CODEPAGE")) {
    const unsigned cp = static_cast<unsigned>(std::strtoul(v, nullptr, 10));
    if (cp != 0) return cp;
  }
  return 1252;
}

}  // namespace cl
