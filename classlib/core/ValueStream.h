// Tagged value streams: the encoding of component properties and of the definitions file.
// Every value starts with a one-byte tag (TValueType); multi-byte numbers are little-endian.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "Streams.h"

namespace cl {

// The tag byte. The underlying type holds any byte, so an unknown tag read from the data is still a
// TValueType and can be reported rather than misread.
enum TValueType : uint8_t {
  vaNull = 0x00,  // end of list
  vaList = 0x01,  // begin of list
  vaInt8 = 0x02,
  vaInt16 = 0x03,
  vaInt32 = 0x04,
  vaString = 0x06,      // 1-byte length, bytes in the ANSI code page
  vaFalse = 0x08,
  vaTrue = 0x09,
  vaLString = 0x0C,     // 4-byte length, bytes in the ANSI code page
  vaWString = 0x12,     // 4-byte length in UTF-16 units, then UTF-16LE (read only)
  vaUTF8String = 0x14,  // 4-byte length, UTF-8 bytes
};

// Writes tagged values through a buffer. The destructor flushes but cannot report a failure, so a caller
// that cares calls FlushBuffer() itself when done.
class TWriter {
 public:
  explicit TWriter(TStream& stream, size_t bufSize = 4096);
  ~TWriter();
  TWriter(const TWriter&) = delete;
  TWriter& operator=(const TWriter&) = delete;

  // Writes the buffered bytes to the stream; throws EWriteError. The buffer is empty afterwards either way.
  void FlushBuffer();
  // Raw bytes through the buffer.
  void Write(const void* buffer, size_t count);

  void WriteValue(TValueType value);
  // The smallest of vaInt8, vaInt16, vaInt32 that holds the value.
  void WriteInteger(int32_t value);
  void WriteBoolean(bool value);
  // utf8 is written as vaString (ASCII, at most 255 bytes), vaLString (longer ASCII) or vaUTF8String.
  void WriteString(std::string_view utf8);
  void WriteListBegin();
  void WriteListEnd();

  // The stream position of the next byte written (buffered bytes included).
  int64_t Position() const { return streamPos_ + static_cast<int64_t>(buffer_.size()); }

 private:
  void WriteLength(size_t length);

  TStream& stream_;
  size_t bufSize_;
  std::vector<unsigned char> buffer_;
  int64_t streamPos_;
};

// Reads tagged values through a buffer. Read errors (wrong tag, data that ends early, a length that the
// remaining data cannot hold) throw EReadError; nothing is allocated for a length before it is checked.
// The reader reads ahead; FlushBuffer() (and the destructor) seeks the stream back so that it stands
// right after the last byte consumed.
class TReader {
 public:
  explicit TReader(TStream& stream, size_t bufSize = 4096);
  ~TReader();
  TReader(const TReader&) = delete;
  TReader& operator=(const TReader&) = delete;

  // Returns the unread buffered bytes to the stream.
  void FlushBuffer();
  // Exactly count raw bytes; EReadError "Stream read error" when the data ends first.
  void Read(void* buffer, size_t count);

  // The next tag without consuming it.
  TValueType NextValue();
  TValueType ReadValue();
  bool EndOfList() { return NextValue() == vaNull; }

  int32_t ReadInteger();
  // Consumes one tag byte: vaTrue is true, any other byte false.
  bool ReadBoolean();
  // The string as UTF-8, whichever of the string tags stored it.
  std::string ReadString();
  void ReadListBegin();
  void ReadListEnd();

  // The stream position of the next byte to be consumed, and the bytes after it.
  int64_t Position() const { return streamPos_ - static_cast<int64_t>(end_ - pos_); }
  int64_t BytesRemaining();

 private:
  bool Fill();
  uint8_t ReadByte();
  // Reads a 4-byte length and checks it against the data left.
  size_t ReadLength(size_t unitSize);
  std::string ReadBytes(size_t count);

  TStream& stream_;
  std::vector<unsigned char> buffer_;
  size_t pos_ = 0;
  size_t end_ = 0;
  int64_t streamPos_;  // stream position at buffer_[end_]
};

}  // namespace cl
