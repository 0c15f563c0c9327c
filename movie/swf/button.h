// Buttons with actions on release (DefineButton2).
#pragma once

#include <cstdint>
#include <vector>

#include "swf/byte_writer.h"
#include "swf/records.h"

namespace swf {

struct ButtonLayer {
  enum State : std::uint8_t { Up = 0x01, Over = 0x02, Down = 0x04, Hit = 0x08 };
  std::uint8_t states;  // the states this layer shows in, ORed
  std::uint16_t character;
  std::uint16_t depth;
  Matrix matrix;
};

// The actions run when the pointer is released over the button (OverDownToOverUp).
Bytes DefineButton2(std::uint16_t id, const std::vector<ButtonLayer>& layers,
                    const Bytes& onRelease);

}  // namespace swf
