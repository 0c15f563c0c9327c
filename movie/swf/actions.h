// An AVM1 action assembler: the few actions the movie needs, with forward and backward labels.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "swf/byte_writer.h"

namespace swf {

// A pushed value: text, a whole number or a truth value.
using PushValue = std::variant<std::string, std::int32_t, bool>;

class Actions {
 public:
  using Label = int;

  Actions& Push(std::initializer_list<PushValue> values);
  Actions& GetVariable() { return Op(0x1C); }
  Actions& SetVariable() { return Op(0x1D); }
  Actions& GetMember() { return Op(0x4E); }
  Actions& SetMember() { return Op(0x4F); }
  Actions& CallMethod() { return Op(0x52); }
  Actions& Equals() { return Op(0x49); }  // ActionEquals2
  Actions& Not() { return Op(0x12); }
  Actions& Pop() { return Op(0x17); }
  Actions& Stop() { return Op(0x07); }
  // getURL with constant texts; "FSCommand:" URLs go to the host.
  Actions& GetUrl(std::string_view url, std::string_view target);

  Label NewLabel();
  Actions& Mark(Label label);
  Actions& Jump(Label label) { return Branch(0x99, label); }
  Actions& JumpIfTrue(Label label) { return Branch(0x9D, label); }  // ActionIf: pops the condition

  // The actions and the ActionEndFlag; every label used must be marked.
  Bytes Finish() const;

 private:
  Actions& Op(std::uint8_t code);
  Actions& Branch(std::uint8_t code, Label label);

  ByteWriter code_;
  std::vector<std::size_t> labels_;  // offset of each label, or npos while unmarked
  std::vector<std::pair<std::size_t, Label>> branches_;  // offset just past the branch, target
};

}  // namespace swf
