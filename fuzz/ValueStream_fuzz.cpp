// Feeds arbitrary bytes to the value reader: every value it meets is read by its tag until the data ends or
// a read error stops it. Nothing but EReadError may come out, and the stream position must stay consistent.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "SysUtils.h"
#include "ValueStream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  cl::TMemoryStream stream(std::string_view(reinterpret_cast<const char*>(data), size));
  const size_t bufSize = size > 0 ? 16 + data[0] % 64 : 16;
  {
    cl::TReader reader(stream, bufSize);
    try {
      for (;;) {
        switch (reader.NextValue()) {
          case cl::vaInt8:
          case cl::vaInt16:
          case cl::vaInt32: reader.ReadInteger(); break;
          case cl::vaString:
          case cl::vaLString:
          case cl::vaWString:
          case cl::vaUTF8String: reader.ReadString(); break;
          case cl::vaList: reader.ReadListBegin(); break;
          case cl::vaNull: reader.ReadListEnd(); break;
          default: reader.ReadBoolean(); break;
        }
        if (reader.Position() > static_cast<int64_t>(size)) std::abort();
      }
    } catch (const cl::EReadError&) {
    }
    if (reader.Position() > static_cast<int64_t>(size)) std::abort();
  }
  if (stream.Position() > static_cast<int64_t>(size)) std::abort();
  return 0;
}
