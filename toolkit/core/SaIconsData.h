// The "Icons" byte block in which forms store an animation: title, author, the frame size flag and the
// frames (display time and an .ico file each). Little-endian:
//   Int32 n, n title bytes; Int32 m, m author bytes; 1 byte large flag (0 = 16x16, other = 32x32);
//   Int32 k frame count; k records of: Int32 display time (1/100 s), Int32 size s, s bytes of .ico data
//   when s > 0 (a record with s <= 0 has no icon).
// Texts are kept as the stored bytes (one byte per character, the ANSI code page).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "Streams.h"

namespace toolkit {

struct TIconsFrameData {
  int32_t DisplayTime = 0;  // hundredths of a second
  std::string Icon;         // the .ico file; empty for a frame without an icon
  bool operator==(const TIconsFrameData&) const = default;
};

struct TIconsData {
  std::string Title;
  std::string Author;
  bool LargeIcons = false;
  std::vector<TIconsFrameData> Frames;
  bool operator==(const TIconsData&) const = default;
};

// Reads one block from the stream's position. Every length is checked against the bytes left before
// anything is allocated: a negative or oversized length, or data that ends early, raises cl::EReadError
// "Icons data is not valid: <what>" (and a failed read the stream's own EReadError).
TIconsData ReadIconsData(cl::TStream& stream);
// Writes the block; EWriteError when the stream refuses.
void WriteIconsData(cl::TStream& stream, const TIconsData& data);

}  // namespace toolkit
