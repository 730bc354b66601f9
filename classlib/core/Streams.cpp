#include "Streams.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "FileStreamSystem.h"
#include "SysUtils.h"

namespace cl {

namespace {
using detail::kInvalidStreamPosition;
using detail::kStreamReadError;
using detail::kStreamWriteError;

// Resolves a seek request against the current position and size; rejects targets before the start.
int64_t SeekTarget(int64_t offset, TSeekOrigin origin, int64_t current, int64_t size) {
  int64_t base = 0;
  switch (origin) {
    case soBeginning: base = 0; break;
    case soCurrent: base = current; break;
    case soEnd: base = size; break;
    default: throw EStreamError(kInvalidStreamPosition);
  }
  if ((offset > 0 && base > std::numeric_limits<int64_t>::max() - offset) || base + offset < 0)
    throw EStreamError(kInvalidStreamPosition);
  return base + offset;
}
}  // namespace

// ---------------------------------------------------------------------------------------------- TStream

int64_t TStream::Size() {
  const int64_t pos = Seek(0, soCurrent);
  const int64_t size = Seek(0, soEnd);
  Seek(pos, soBeginning);
  return size;
}

void TStream::ReadBuffer(void* buffer, size_t count) {
  if (count != 0 && Read(buffer, count) != count) throw EReadError(kStreamReadError);
}

void TStream::WriteBuffer(const void* buffer, size_t count) {
  if (count != 0 && Write(buffer, count) != count) throw EWriteError(kStreamWriteError);
}

int64_t TStream::CopyFrom(TStream& source, int64_t count) {
  if (count < 0) throw EReadError(kStreamReadError);
  if (count == 0) {
    source.SetPosition(0);
    count = source.Size();
  }
  constexpr size_t kChunk = 64 * 1024;
  std::vector<unsigned char> buffer(static_cast<size_t>(std::min<int64_t>(count, kChunk)));
  int64_t left = count;
  while (left > 0) {
    const size_t n = static_cast<size_t>(std::min<int64_t>(left, kChunk));
    source.ReadBuffer(buffer.data(), n);
    WriteBuffer(buffer.data(), n);
    left -= static_cast<int64_t>(n);
  }
  return count;
}

// ---------------------------------------------------------------------------------- TCustomMemoryStream

void TCustomMemoryStream::SetPointer(const void* memory, size_t size) {
  memory_ = memory;
  size_ = size;
}

size_t TCustomMemoryStream::Read(void* buffer, size_t count) {
  if (pos_ >= size_ || count == 0) return 0;
  const size_t n = std::min(count, size_ - pos_);
  std::memcpy(buffer, static_cast<const unsigned char*>(memory_) + pos_, n);
  pos_ += n;
  return n;
}

int64_t TCustomMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
  const int64_t target = SeekTarget(offset, origin, static_cast<int64_t>(pos_), static_cast<int64_t>(size_));
  if (static_cast<uint64_t>(target) > std::numeric_limits<size_t>::max()) throw EStreamError(kInvalidStreamPosition);
  pos_ = static_cast<size_t>(target);
  return target;
}

void TCustomMemoryStream::SaveToStream(TStream& target) const { target.WriteBuffer(memory_, size_); }

void TCustomMemoryStream::SaveToFile(const std::string& fileName) const {
  TFileStream file(fileName, fmCreate);
  SaveToStream(file);
}

// ---------------------------------------------------------------------------------------- TMemoryStream

TMemoryStream::TMemoryStream(std::string_view bytes) : data_(bytes.begin(), bytes.end()) {
  SetPointer(data_.data(), data_.size());
}

size_t TMemoryStream::Write(const void* buffer, size_t count) {
  if (count == 0) return 0;
  if (count > data_.max_size() || pos_ > data_.max_size() - count) throw EWriteError(kStreamWriteError);
  const size_t end = pos_ + count;
  if (end > data_.size()) {
    data_.resize(end);
    SetPointer(data_.data(), data_.size());
  }
  std::memcpy(data_.data() + pos_, buffer, count);
  pos_ = end;
  return count;
}

void TMemoryStream::SetSize(int64_t newSize) {
  if (newSize < 0 || static_cast<uint64_t>(newSize) > data_.max_size()) throw EStreamError(kInvalidStreamPosition);
  data_.resize(static_cast<size_t>(newSize));
  SetPointer(data_.data(), data_.size());
  if (pos_ > data_.size()) pos_ = data_.size();
}

void TMemoryStream::Clear() {
  data_.clear();
  data_.shrink_to_fit();
  SetPointer(nullptr, 0);
  pos_ = 0;
}

void TMemoryStream::LoadFromStream(TStream& source) {
  source.SetPosition(0);
  const int64_t size = source.Size();
  if (size < 0 || static_cast<uint64_t>(size) > data_.max_size()) throw EReadError(kStreamReadError);
  std::vector<unsigned char> bytes(static_cast<size_t>(size));
  source.ReadBuffer(bytes.data(), bytes.size());
  data_ = std::move(bytes);
  SetPointer(data_.data(), data_.size());
  pos_ = 0;
}

void TMemoryStream::LoadFromFile(const std::string& fileName) {
  TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(file);
}

// ------------------------------------------------------------------------------------------ TFileStream

void detail::FileOpenFailed(const std::string& fileName, bool create, const std::string& reason) {
  if (create) throw EFCreateError(Format("Cannot create file \"%s\". %s", fileName.c_str(), reason.c_str()));
  throw EFOpenError(Format("Cannot open file \"%s\". %s", fileName.c_str(), reason.c_str()));
}

}  // namespace cl
