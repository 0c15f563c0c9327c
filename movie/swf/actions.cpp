#include "swf/actions.h"

#include <stdexcept>
#include <type_traits>

namespace swf {

Actions& Actions::Op(std::uint8_t code) {
  code_.U8(code);
  return *this;
}

Actions& Actions::Push(std::initializer_list<PushValue> values) {
  ByteWriter body;
  for (const PushValue& value : values) {
    std::visit(
        [&](const auto& v) {
          using T = std::decay_t<decltype(v)>;
          if constexpr (std::is_same_v<T, std::string>) {
            body.U8(0);
            body.String(v);
          } else if constexpr (std::is_same_v<T, std::int32_t>) {
            body.U8(7);
            body.U32(static_cast<std::uint32_t>(v));
          } else {
            static_assert(std::is_same_v<T, bool>);
            body.U8(5);
            body.U8(v ? 1 : 0);
          }
        },
        value);
  }
  code_.U8(0x96);
  code_.U16(static_cast<std::uint16_t>(body.Size()));
  code_.Append(body.Data());
  return *this;
}

Actions& Actions::GetUrl(std::string_view url, std::string_view target) {
  ByteWriter body;
  body.String(url);
  body.String(target);
  code_.U8(0x83);
  code_.U16(static_cast<std::uint16_t>(body.Size()));
  code_.Append(body.Data());
  return *this;
}

Actions::Label Actions::NewLabel() {
  labels_.push_back(std::string::npos);
  return static_cast<Label>(labels_.size() - 1);
}

Actions& Actions::Mark(Label label) {
  labels_.at(static_cast<std::size_t>(label)) = code_.Size();
  return *this;
}

Actions& Actions::Branch(std::uint8_t code, Label label) {
  code_.U8(code);
  code_.U16(2);
  code_.S16(0);  // offset, filled in by Finish
  branches_.emplace_back(code_.Size(), label);
  return *this;
}

Bytes Actions::Finish() const {
  Bytes bytes = code_.Data();
  for (const auto& [after, label] : branches_) {
    const std::size_t target = labels_.at(static_cast<std::size_t>(label));
    if (target == std::string::npos) throw std::logic_error("branch to an unmarked label");
    const auto offset = static_cast<std::int64_t>(target) - static_cast<std::int64_t>(after);
    if (offset < INT16_MIN || offset > INT16_MAX) throw std::logic_error("branch too far");
    const auto value = static_cast<std::uint16_t>(offset);
    bytes[after - 2] = static_cast<std::uint8_t>(value);
    bytes[after - 1] = static_cast<std::uint8_t>(value >> 8);
  }
  bytes.push_back(0x00);
  return bytes;
}

}  // namespace swf
