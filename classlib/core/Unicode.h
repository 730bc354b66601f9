// UTF-8 inside, UTF-16 at the Win32 boundary, the files' own code pages at the file boundary.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace cl {

// Conversions between UTF-8 and UTF-16. Malformed input never throws: each bad sequence becomes U+FFFD.
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

// True when every byte is below 0x80.
bool IsAscii(std::string_view s);

// Code pages by their Windows numbers: 1252 (Western), 936 (Simplified Chinese), 65001 (UTF-8), ...
// Bytes in code page `cp` to UTF-8; bytes with no mapping become U+FFFD.
std::string CodePageToUtf8(std::string_view bytes, unsigned cp);
// UTF-8 to bytes in code page `cp`; characters with no mapping become '?', and *lossy (when given) is set.
std::string Utf8ToCodePage(std::string_view utf8, unsigned cp, bool* lossy = nullptr);

// The system's ANSI code page: GetACP() on Windows; natively 1252 unless HK_ANSI_CODEPAGE names another.
unsigned AnsiCodePage();

}  // namespace cl
