#include "SaIconsData.h"

#include "SysUtils.h"

namespace toolkit {

namespace {

[[noreturn]] void Bad(const char* what) { throw cl::EReadError(std::string("Icons data is not valid: ") + what); }

int32_t ReadInt32(cl::TStream& s) {
  unsigned char b[4];
  s.ReadBuffer(b, 4);
  return static_cast<int32_t>(uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24);
}

void WriteInt32(cl::TStream& s, int32_t v) {
  const auto u = static_cast<uint32_t>(v);
  const unsigned char b[4] = {static_cast<unsigned char>(u), static_cast<unsigned char>(u >> 8),
                              static_cast<unsigned char>(u >> 16), static_cast<unsigned char>(u >> 24)};
  s.WriteBuffer(b, 4);
}

int64_t Remaining(cl::TStream& s) {
  const int64_t left = s.Size() - s.Position();
  return left < 0 ? 0 : left;
}

// A length-prefixed byte string whose length must fit in what is left.
std::string ReadBytes(cl::TStream& s, const char* what) {
  const int32_t n = ReadInt32(s);
  if (n < 0 || n > Remaining(s)) Bad(what);
  std::string out(static_cast<size_t>(n), '\0');
  if (n > 0) s.ReadBuffer(out.data(), out.size());
  return out;
}

void WriteBytes(cl::TStream& s, const std::string& bytes) {
  if (bytes.size() > INT32_MAX) throw cl::EWriteError("Stream write error");
  WriteInt32(s, static_cast<int32_t>(bytes.size()));
  if (!bytes.empty()) s.WriteBuffer(bytes.data(), bytes.size());
}

}  // namespace

TIconsData ReadIconsData(cl::TStream& s) {
  TIconsData d;
  d.Title = ReadBytes(s, "title length");
  d.Author = ReadBytes(s, "author length");
  unsigned char flag = 0;
  s.ReadBuffer(&flag, 1);
  d.LargeIcons = flag != 0;
  const int32_t count = ReadInt32(s);
  // Each record takes at least its two Int32 fields.
  if (count < 0 || count > Remaining(s) / 8) Bad("frame count");
  d.Frames.reserve(static_cast<size_t>(count));
  for (int32_t i = 0; i < count; ++i) {
    TIconsFrameData& f = d.Frames.emplace_back();
    f.DisplayTime = ReadInt32(s);
    const int32_t size = ReadInt32(s);
    if (size <= 0) continue;
    if (size > Remaining(s)) Bad("frame size");
    f.Icon.resize(static_cast<size_t>(size));
    s.ReadBuffer(f.Icon.data(), f.Icon.size());
  }
  return d;
}

void WriteIconsData(cl::TStream& s, const TIconsData& d) {
  WriteBytes(s, d.Title);
  WriteBytes(s, d.Author);
  const unsigned char flag = d.LargeIcons ? 1 : 0;
  s.WriteBuffer(&flag, 1);
  if (d.Frames.size() > INT32_MAX) throw cl::EWriteError("Stream write error");
  WriteInt32(s, static_cast<int32_t>(d.Frames.size()));
  for (const TIconsFrameData& f : d.Frames) {
    WriteInt32(s, f.DisplayTime);
    WriteBytes(s, f.Icon);
  }
}

}  // namespace toolkit
