#include "swf/byte_writer.h"

#include <algorithm>

namespace swf {

void ByteWriter::U16(std::uint16_t value) {
  U8(static_cast<std::uint8_t>(value));
  U8(static_cast<std::uint8_t>(value >> 8));
}

void ByteWriter::U32(std::uint32_t value) {
  U16(static_cast<std::uint16_t>(value));
  U16(static_cast<std::uint16_t>(value >> 16));
}

void ByteWriter::String(std::string_view text) {
  for (char c : text) U8(static_cast<std::uint8_t>(c));
  U8(0);
}

void BitWriter::Unsigned(int bits, std::uint32_t value) {
  for (int bit = bits - 1; bit >= 0; --bit) {
    pending_ = static_cast<std::uint8_t>((pending_ << 1) | ((value >> bit) & 1));
    if (++used_ == 8) {
      out_.U8(pending_);
      pending_ = 0;
      used_ = 0;
    }
  }
}

void BitWriter::Flush() {
  if (used_ == 0) return;
  out_.U8(static_cast<std::uint8_t>(pending_ << (8 - used_)));
  pending_ = 0;
  used_ = 0;
}

int UnsignedBits(std::uint32_t value) {
  int bits = 0;
  while (value != 0) {
    ++bits;
    value >>= 1;
  }
  return bits;
}

int SignedBits(std::int32_t value) {
  const std::uint32_t magnitude =
      value < 0 ? ~static_cast<std::uint32_t>(value) : static_cast<std::uint32_t>(value);
  return UnsignedBits(magnitude) + 1;
}

int SignedBits(std::initializer_list<std::int32_t> values, int least) {
  int bits = least;
  for (std::int32_t value : values) bits = std::max(bits, SignedBits(value));
  return bits;
}

}  // namespace swf
