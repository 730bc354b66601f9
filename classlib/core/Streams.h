// Byte streams: the abstract stream, memory streams and file streams.
// Positions and sizes are 64-bit; a stream is owned by one object and never copied.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace cl {

enum TSeekOrigin : int { soBeginning = 0, soCurrent = 1, soEnd = 2 };

// File stream modes: one access mode (or fmCreate) combined with one share mode.
constexpr unsigned fmOpenRead = 0x0000;
constexpr unsigned fmOpenWrite = 0x0001;
constexpr unsigned fmOpenReadWrite = 0x0002;
constexpr unsigned fmCreate = 0xFF00;  // create anew (an existing file is truncated), read and write access
constexpr unsigned fmShareCompat = 0x0000;
constexpr unsigned fmShareExclusive = 0x0010;
constexpr unsigned fmShareDenyWrite = 0x0020;
constexpr unsigned fmShareDenyRead = 0x0030;
constexpr unsigned fmShareDenyNone = 0x0040;

class TStream {
 public:
  TStream() = default;
  TStream(const TStream&) = delete;
  TStream& operator=(const TStream&) = delete;
  virtual ~TStream() = default;

  // Transfer up to count bytes at the current position; return how many were transferred.
  virtual size_t Read(void* buffer, size_t count) = 0;
  virtual size_t Write(const void* buffer, size_t count) = 0;
  // Returns the new position. A target before the start throws EStreamError.
  virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;

  virtual int64_t Size();
  virtual void SetSize(int64_t newSize) = 0;
  int64_t Position() { return Seek(0, soCurrent); }
  void SetPosition(int64_t pos) { Seek(pos, soBeginning); }

  // Transfer exactly count bytes or throw EReadError "Stream read error" / EWriteError "Stream write error".
  void ReadBuffer(void* buffer, size_t count);
  void WriteBuffer(const void* buffer, size_t count);

  // Copies count bytes from source's current position; count 0 copies the whole source from its start.
  // Returns the number of bytes copied.
  int64_t CopyFrom(TStream& source, int64_t count);
};

// A stream over a block of memory it does not necessarily own; reading and seeking only.
class TCustomMemoryStream : public TStream {
 public:
  size_t Read(void* buffer, size_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  int64_t Size() override { return static_cast<int64_t>(size_); }

  const void* Memory() const { return memory_; }
  std::string_view Bytes() const { return {static_cast<const char*>(memory_), size_}; }

  // Writes the whole contents, whatever the position.
  void SaveToStream(TStream& target) const;
  void SaveToFile(const std::string& fileName) const;

 protected:
  void SetPointer(const void* memory, size_t size);
  size_t pos_ = 0;  // may lie beyond size_ after a seek

 private:
  const void* memory_ = nullptr;
  size_t size_ = 0;
};

// A growable memory stream that owns its bytes. Writing past the end extends it (a gap reads as zeros).
class TMemoryStream : public TCustomMemoryStream {
 public:
  TMemoryStream() = default;
  // Starts with a copy of bytes, positioned at 0.
  explicit TMemoryStream(std::string_view bytes);

  size_t Write(const void* buffer, size_t count) override;
  void SetSize(int64_t newSize) override;

  using TCustomMemoryStream::Memory;
  void* Memory() { return data_.data(); }
  void Clear();

  // Replace the contents by the whole source (from its start) or the whole file; position 0 afterwards.
  void LoadFromStream(TStream& source);
  void LoadFromFile(const std::string& fileName);

 private:
  std::vector<unsigned char> data_;
};

// A file opened by UTF-8 path. Open failures throw EFOpenError "Cannot open file "%s". %s" and create
// failures EFCreateError "Cannot create file "%s". %s" with the system's reason. The handle closes with
// the object.
class TFileStream : public TStream {
 public:
  TFileStream(const std::string& fileName, unsigned mode);
  ~TFileStream() override;

  size_t Read(void* buffer, size_t count) override;
  size_t Write(const void* buffer, size_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  int64_t Size() override;
  void SetSize(int64_t newSize) override;

  const std::string& FileName() const { return fileName_; }

 private:
  struct TFile;  // the open file, as the system names it
  std::string fileName_;
  std::unique_ptr<TFile> file_;
};

}  // namespace cl
