#include "action_player.h"

#include <cmath>
#include <stdexcept>

namespace swf_test {
namespace {

std::shared_ptr<Clip> AsClip(const Value& value) {
  const auto* clip = std::get_if<std::shared_ptr<Clip>>(&value);
  return clip ? *clip : nullptr;
}

double ToNumber(const Value& value) {
  if (const auto* number = std::get_if<double>(&value)) return *number;
  if (const auto* truth = std::get_if<bool>(&value)) return *truth ? 1 : 0;
  if (const auto* text = std::get_if<std::string>(&value)) {
    char* end = nullptr;
    const double number = std::strtod(text->c_str(), &end);
    return text->empty() || *end != '\0' ? NAN : number;
  }
  return NAN;
}

// SWF 7 and later: a text is true when it is not empty.
bool ToBoolean(const Value& value) {
  if (const auto* truth = std::get_if<bool>(&value)) return *truth;
  if (const auto* text = std::get_if<std::string>(&value)) return !text->empty();
  if (std::holds_alternative<double>(value)) return ToNumber(value) != 0 && !std::isnan(ToNumber(value));
  return AsClip(value) != nullptr;
}

// ActionEquals2: the abstract equality of ECMA-262.
bool LooselyEqual(const Value& a, const Value& b) {
  if (a.index() == b.index()) {
    if (std::holds_alternative<double>(a)) return std::get<double>(a) == std::get<double>(b);
    return a == b;
  }
  if (std::holds_alternative<std::monostate>(a) || std::holds_alternative<std::monostate>(b)) {
    return false;
  }
  if (AsClip(a) || AsClip(b)) return false;
  return ToNumber(a) == ToNumber(b);
}

Bounds InPixels(const Bounds& twips, std::int32_t x, std::int32_t y) {
  return {(twips.xMin + x) / 20, (twips.xMax + x) / 20, (twips.yMin + y) / 20, (twips.yMax + y) / 20};
}

bool Covers(const Bounds& area, int x, int y) {
  return x >= area.xMin && x < area.xMax && y >= area.yMin && y < area.yMax;
}

}  // namespace

std::string ToText(const Value& value) {
  if (const auto* text = std::get_if<std::string>(&value)) return *text;
  if (const auto* truth = std::get_if<bool>(&value)) return *truth ? "true" : "false";
  if (const auto* number = std::get_if<double>(&value)) {
    return *number == std::floor(*number) ? std::to_string(static_cast<long long>(*number))
                                          : std::to_string(*number);
  }
  return "";
}

ActionPlayer::ActionPlayer(const SwfFile& file) {
  for (const Tag& tag : file.tags) {
    if (tag.code == kExportAssets) exports_ = ReadExports(tag);
    if (tag.code == kDoAction) firstFrame_ = tag.body;
    if (tag.code == kDefineSprite || tag.code == kDefineButton2 || tag.code == kDefineEditText ||
        tag.code == kDefineShape3 || tag.code == kDefineShape2 || tag.code == kDefineShape) {
      definitions_[CharacterId(tag)] = tag;
    }
  }
}

void ActionPlayer::Start(const std::map<std::string, std::string>& variables) {
  root_ = std::make_shared<Clip>();
  for (const auto& [name, value] : variables) root_->members[name] = value;
  Run(firstFrame_, root_);
}

Value ActionPlayer::Attach(const std::shared_ptr<Clip>& parent, const std::string& sprite,
                           const std::string& instance) {
  const auto exported = exports_.find(sprite);
  if (exported == exports_.end()) return std::monostate{};  // a player attaches nothing
  auto clip = std::make_shared<Clip>();
  clip->sprite = sprite;
  clip->members["_x"] = 0.0;
  clip->members["_visible"] = true;
  for (const Tag& tag : ReadSprite(definitions_.at(exported->second)).tags) {
    if (tag.code == kShowFrame) break;
    if (tag.code != kPlaceObject2) continue;
    const Placing placing = ReadPlaceObject2(tag);
    if (!placing.character) continue;
    const Tag& character = definitions_.at(*placing.character);
    if (character.code == kDefineSprite && !placing.name.empty()) {
      auto child = std::make_shared<Clip>();
      child->members["_x"] = placing.translateX / 20.0;
      child->members["_visible"] = true;
      clip->members[placing.name] = child;
    } else if (character.code == kDefineEditText) {
      const EditTextDefinition text = ReadEditText(character);
      clip->texts.push_back({InPixels(text.bounds, placing.translateX, placing.translateY),
                             text.variable, text.text});
    } else if (character.code == kDefineButton2) {
      const ButtonDefinition button = ReadButton2(character);
      Clip::Button entry{placing.depth, {}, {}};
      entry.hitArea = InPixels(ReadShape(definitions_.at(button.hitCharacter)).bounds,
                               placing.translateX, placing.translateY);
      for (const auto& [condition, actions] : button.conditionActions) {
        if (condition & 0x0008) entry.onRelease = actions;  // OverDownToOverUp
      }
      clip->buttons.push_back(entry);
    }
  }
  parent->members[instance] = clip;
  parent->attached.emplace_back(sprite, instance);
  return clip;
}

void ActionPlayer::Click(const std::shared_ptr<Clip>& clip, int x, int y) {
  const Clip::Button* top = nullptr;
  for (const Clip::Button& button : clip->buttons) {
    if (Covers(button.hitArea, x, y) && (!top || button.depth > top->depth)) top = &button;
  }
  if (!top) throw std::runtime_error("no button at the point clicked");
  Run(top->onRelease, clip);
}

std::string ActionPlayer::TextAt(const Clip& clip, int x, int y) const {
  for (const Clip::Text& text : clip.texts) {
    if (!Covers(text.area, x, y)) continue;
    if (text.variable.empty()) return text.text;
    const auto value = clip.members.find(text.variable);
    return value == clip.members.end() ? text.text : ToText(value->second);
  }
  throw std::runtime_error("no text field at the point");
}

void ActionPlayer::Run(const Bytes& code, const std::shared_ptr<Clip>& scope) {
  std::vector<Value> stack;
  auto pop = [&] {
    if (stack.empty()) return Value{};  // an empty stack yields undefined
    Value value = stack.back();
    stack.pop_back();
    return value;
  };
  std::size_t at = 0;
  for (int steps = 0; steps < 100000; ++steps) {
    if (at >= code.size()) throw std::runtime_error("actions run past their end");
    const std::uint8_t op = code[at++];
    Bytes data;
    if (op >= 0x80) {
      if (at + 2 > code.size()) throw std::runtime_error("truncated action");
      const std::size_t length = code[at] | (code[at + 1] << 8);
      at += 2;
      if (at + length > code.size()) throw std::runtime_error("action longer than the block");
      data.assign(code.begin() + static_cast<std::ptrdiff_t>(at),
                  code.begin() + static_cast<std::ptrdiff_t>(at + length));
      at += length;
    }
    auto offset = [&] { return static_cast<std::int16_t>(data.at(0) | (data.at(1) << 8)); };
    auto text = [&](std::size_t from) {
      std::size_t end = from;
      while (data.at(end) != 0) ++end;  // at() throws on a text without its NUL
      return std::string(data.begin() + static_cast<std::ptrdiff_t>(from),
                         data.begin() + static_cast<std::ptrdiff_t>(end));
    };
    switch (op) {
      case 0x00:
        return;
      case 0x07:
        stopped_ = true;
        break;
      case 0x12:
        stack.push_back(!ToBoolean(pop()));
        break;
      case 0x17:
        pop();
        break;
      case 0x1C: {
        const std::string name = ToText(pop());
        if (name.find_first_of("./:") != std::string::npos) {
          throw std::runtime_error("path variables are not supported: " + name);
        }
        const auto found = scope->members.find(name);
        if (found != scope->members.end()) stack.push_back(found->second);
        else if (name == "_root") stack.push_back(root_);
        else if (name == "this") stack.push_back(scope);
        else stack.emplace_back();
        break;
      }
      case 0x1D: {
        Value value = pop();
        scope->members[ToText(pop())] = value;
        break;
      }
      case 0x49: {
        const Value b = pop(), a = pop();
        stack.push_back(LooselyEqual(a, b));
        break;
      }
      case 0x4E: {
        const std::string name = ToText(pop());
        const auto object = AsClip(pop());
        const auto found = object ? object->members.find(name) : decltype(object->members.end()){};
        stack.push_back(object && found != object->members.end() ? found->second : Value{});
        break;
      }
      case 0x4F: {
        Value value = pop();
        const std::string name = ToText(pop());
        if (const auto object = AsClip(pop())) object->members[name] = value;
        break;
      }
      case 0x52: {
        const std::string method = ToText(pop());
        const auto object = AsClip(pop());
        const auto count = static_cast<int>(ToNumber(pop()));
        std::vector<Value> arguments;
        for (int i = 0; i < count; ++i) arguments.push_back(pop());
        if (method != "attachMovie" || !object || count != 3) {
          throw std::runtime_error("method not supported: " + method);
        }
        stack.push_back(Attach(object, ToText(arguments[0]), ToText(arguments[1])));
        break;
      }
      case 0x83: {
        const std::string url = text(0);
        const std::string target = text(url.size() + 1);
        urls_.emplace_back(url, target);
        break;
      }
      case 0x96: {
        std::size_t i = 0;
        while (i < data.size()) {
          const std::uint8_t type = data[i++];
          if (type == 0) {
            std::string pushed = text(i);
            i += pushed.size() + 1;
            stack.push_back(std::move(pushed));
          } else if (type == 2 || type == 3) {
            stack.emplace_back();
          } else if (type == 5) {
            stack.push_back(data.at(i++) != 0);
          } else if (type == 7) {
            if (i + 4 > data.size()) throw std::runtime_error("truncated integer");
            const auto number = static_cast<std::int32_t>(data[i] | (data[i + 1] << 8) | (data[i + 2] << 16) |
                                               (static_cast<std::uint32_t>(data[i + 3]) << 24));
            stack.push_back(static_cast<double>(number));
            i += 4;
          } else {
            throw std::runtime_error("push type not supported: " + std::to_string(type));
          }
        }
        break;
      }
      case 0x99:
        at = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(at) + offset());
        break;
      case 0x9D:
        if (ToBoolean(pop())) at = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(at) + offset());
        break;
      default:
        throw std::runtime_error("action not supported: " + std::to_string(op));
    }
  }
  throw std::runtime_error("actions did not end");
}

}  // namespace swf_test
