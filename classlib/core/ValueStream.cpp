#include "ValueStream.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "SysUtils.h"
#include "Unicode.h"

namespace cl {

namespace {
const char kReadError[] = "Stream read error";
const char kWriteError[] = "Stream write error";
const char kInvalidValue[] = "Invalid property value";

void PutLE(unsigned char* out, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out[i] = static_cast<unsigned char>(v >> (8 * i));
}

uint32_t GetLE(const unsigned char* in, int bytes) {
  uint32_t v = 0;
  for (int i = 0; i < bytes; ++i) v |= static_cast<uint32_t>(in[i]) << (8 * i);
  return v;
}
}  // namespace

// ---------------------------------------------------------------------------------------------- TWriter

TWriter::TWriter(TStream& stream, size_t bufSize)
    : stream_(stream), bufSize_(std::max<size_t>(bufSize, 16)), streamPos_(stream.Position()) {
  buffer_.reserve(bufSize_);
}

TWriter::~TWriter() {
  try {
    FlushBuffer();
  } catch (...) {
    // Nothing can be reported from here; callers that need to know call FlushBuffer() first.
  }
}

void TWriter::FlushBuffer() {
  if (buffer_.empty()) return;
  // Empty the buffer before writing: a failed write may have stored part of it, and writing the whole
  // buffer again later would duplicate those bytes.
  std::vector<unsigned char> pending;
  pending.reserve(bufSize_);
  pending.swap(buffer_);
  streamPos_ += static_cast<int64_t>(pending.size());
  stream_.WriteBuffer(pending.data(), pending.size());
}

void TWriter::Write(const void* buffer, size_t count) {
  const auto* p = static_cast<const unsigned char*>(buffer);
  if (buffer_.size() + count > bufSize_) {
    FlushBuffer();
    if (count >= bufSize_) {
      streamPos_ += static_cast<int64_t>(count);
      stream_.WriteBuffer(p, count);
      return;
    }
  }
  buffer_.insert(buffer_.end(), p, p + count);
}

void TWriter::WriteValue(TValueType value) {
  const auto b = static_cast<unsigned char>(value);
  Write(&b, 1);
}

void TWriter::WriteInteger(int32_t value) {
  unsigned char out[5];
  int bytes;
  if (value >= -128 && value <= 127) {
    out[0] = vaInt8;
    bytes = 1;
  } else if (value >= -32768 && value <= 32767) {
    out[0] = vaInt16;
    bytes = 2;
  } else {
    out[0] = vaInt32;
    bytes = 4;
  }
  PutLE(out + 1, static_cast<uint32_t>(value), bytes);
  Write(out, 1 + static_cast<size_t>(bytes));
}

void TWriter::WriteBoolean(bool value) { WriteValue(value ? vaTrue : vaFalse); }

void TWriter::WriteLength(size_t length) {
  if (length > static_cast<size_t>(std::numeric_limits<int32_t>::max())) throw EWriteError(kWriteError);
  unsigned char out[4];
  PutLE(out, static_cast<uint32_t>(length), 4);
  Write(out, 4);
}

void TWriter::WriteString(std::string_view utf8) {
  // Our strings are UTF-8 already: ASCII goes out in the short or long ANSI form, anything else as UTF-8.
  if (!IsAscii(utf8)) {
    WriteValue(vaUTF8String);
    WriteLength(utf8.size());
  } else if (utf8.size() <= 255) {
    WriteValue(vaString);
    const auto n = static_cast<unsigned char>(utf8.size());
    Write(&n, 1);
  } else {
    WriteValue(vaLString);
    WriteLength(utf8.size());
  }
  Write(utf8.data(), utf8.size());
}

void TWriter::WriteListBegin() { WriteValue(vaList); }

void TWriter::WriteListEnd() { WriteValue(vaNull); }

// ---------------------------------------------------------------------------------------------- TReader

TReader::TReader(TStream& stream, size_t bufSize)
    : stream_(stream), buffer_(std::max<size_t>(bufSize, 16)), streamPos_(stream.Position()) {}

TReader::~TReader() {
  try {
    FlushBuffer();
  } catch (...) {
    // A stream that cannot seek back is left where the read-ahead stopped.
  }
}

void TReader::FlushBuffer() {
  if (pos_ == end_) return;
  const int64_t target = Position();
  stream_.Seek(target, soBeginning);
  streamPos_ = target;
  pos_ = end_ = 0;
}

bool TReader::Fill() {
  pos_ = 0;
  end_ = stream_.Read(buffer_.data(), buffer_.size());
  streamPos_ += static_cast<int64_t>(end_);
  return end_ > 0;
}

uint8_t TReader::ReadByte() {
  if (pos_ == end_ && !Fill()) throw EReadError(kReadError);
  return buffer_[pos_++];
}

void TReader::Read(void* buffer, size_t count) {
  auto* out = static_cast<unsigned char*>(buffer);
  while (count > 0) {
    if (pos_ == end_) {
      if (count >= buffer_.size()) {
        // Large blocks go straight to the caller.
        const size_t got = stream_.Read(out, count);
        streamPos_ += static_cast<int64_t>(got);
        if (got != count) throw EReadError(kReadError);
        return;
      }
      if (!Fill()) throw EReadError(kReadError);
    }
    const size_t n = std::min(count, end_ - pos_);
    std::memcpy(out, buffer_.data() + pos_, n);
    pos_ += n;
    out += n;
    count -= n;
  }
}

int64_t TReader::BytesRemaining() { return std::max<int64_t>(stream_.Size() - Position(), 0); }

TValueType TReader::NextValue() {
  if (pos_ == end_ && !Fill()) throw EReadError(kReadError);
  return static_cast<TValueType>(buffer_[pos_]);
}

TValueType TReader::ReadValue() { return static_cast<TValueType>(ReadByte()); }

int32_t TReader::ReadInteger() {
  unsigned char in[4];
  switch (ReadValue()) {
    case vaInt8:
      Read(in, 1);
      return static_cast<int8_t>(in[0]);
    case vaInt16:
      Read(in, 2);
      return static_cast<int16_t>(GetLE(in, 2));
    case vaInt32:
      Read(in, 4);
      return static_cast<int32_t>(GetLE(in, 4));
    default:
      throw EReadError(kInvalidValue);
  }
}

bool TReader::ReadBoolean() { return ReadValue() == vaTrue; }

size_t TReader::ReadLength(size_t unitSize) {
  unsigned char in[4];
  Read(in, 4);
  const auto length = static_cast<int32_t>(GetLE(in, 4));
  if (length < 0) throw EReadError(kInvalidValue);
  // Checked against what the data still holds, so a forged length cannot make us allocate.
  if (static_cast<uint64_t>(length) * unitSize > static_cast<uint64_t>(BytesRemaining())) throw EReadError(kReadError);
  return static_cast<size_t>(length);
}

std::string TReader::ReadBytes(size_t count) {
  std::string bytes(count, '\0');
  Read(bytes.data(), count);
  return bytes;
}

std::string TReader::ReadString() {
  switch (ReadValue()) {
    case vaString: {
      const size_t n = ReadByte();
      const std::string bytes = ReadBytes(n);
      return IsAscii(bytes) ? bytes : CodePageToUtf8(bytes, AnsiCodePage());
    }
    case vaLString: {
      const std::string bytes = ReadBytes(ReadLength(1));
      return IsAscii(bytes) ? bytes : CodePageToUtf8(bytes, AnsiCodePage());
    }
    case vaWString: {
      const size_t n = ReadLength(2);
      std::string raw = ReadBytes(n * 2);
      std::u16string units(n, u'\0');
      for (size_t i = 0; i < n; ++i)
        units[i] = static_cast<char16_t>(GetLE(reinterpret_cast<const unsigned char*>(raw.data()) + 2 * i, 2));
      return Utf16ToUtf8(units);
    }
    case vaUTF8String:
      return ReadBytes(ReadLength(1));
    default:
      throw EReadError(kInvalidValue);
  }
}

void TReader::ReadListBegin() {
  if (ReadValue() != vaList) throw EReadError(kInvalidValue);
}

void TReader::ReadListEnd() {
  if (ReadValue() != vaNull) throw EReadError(kInvalidValue);
}

}  // namespace cl
