// Little-endian bytes and most-significant-first bit fields, the two encodings of the SWF format.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <vector>

namespace swf {

using Bytes = std::vector<std::uint8_t>;

class ByteWriter {
 public:
  void U8(std::uint8_t value) { bytes_.push_back(value); }
  void U16(std::uint16_t value);
  void U32(std::uint32_t value);
  void S16(std::int16_t value) { U16(static_cast<std::uint16_t>(value)); }
  // A NUL-terminated UTF-8 string.
  void String(std::string_view text);
  void Append(const Bytes& more) { bytes_.insert(bytes_.end(), more.begin(), more.end()); }
  std::size_t Size() const { return bytes_.size(); }
  const Bytes& Data() const { return bytes_; }
  Bytes& Data() { return bytes_; }

 private:
  Bytes bytes_;
};

// Bit fields packed from the most significant bit; Flush pads the last byte with zeros.
class BitWriter {
 public:
  explicit BitWriter(ByteWriter& out) : out_(out) {}
  ~BitWriter() { Flush(); }
  void Unsigned(int bits, std::uint32_t value);
  void Signed(int bits, std::int32_t value) { Unsigned(bits, static_cast<std::uint32_t>(value)); }
  void Flag(bool on) { Unsigned(1, on ? 1 : 0); }
  void Flush();

 private:
  ByteWriter& out_;
  std::uint8_t pending_ = 0;
  int used_ = 0;
};

// The fewest bits that hold the value as a signed (two's complement) or unsigned field.
int SignedBits(std::int32_t value);
int UnsignedBits(std::uint32_t value);
// The fewest bits, and at least `least`, of a signed field that holds every one of the values.
int SignedBits(std::initializer_list<std::int32_t> values, int least = 1);

}  // namespace swf
