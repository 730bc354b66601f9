// The "Icons" block of form-stored animations: any input either parses or raises EReadError, and what
// parses writes back to the same bytes it was read from (minus trailing data and negative sizes).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "SaIconsData.h"
#include "Streams.h"
#include "SysUtils.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  cl::TMemoryStream in(std::string_view(reinterpret_cast<const char*>(data), size));
  toolkit::TIconsData parsed;
  try {
    parsed = toolkit::ReadIconsData(in);
  } catch (const cl::EReadError&) {
    return 0;
  }
  cl::TMemoryStream out;
  toolkit::WriteIconsData(out, parsed);
  out.SetPosition(0);
  if (!(toolkit::ReadIconsData(out) == parsed)) std::abort();
  return 0;
}
