#include "swf_reader.h"

#include <stdexcept>

namespace swf_test {
namespace {

class Reader {
 public:
  explicit Reader(const Bytes& bytes, std::size_t at = 0) : bytes_(bytes), at_(at) {}

  std::uint8_t U8() {
    Align();
    if (at_ >= bytes_.size()) throw std::runtime_error("read past the end");
    return bytes_[at_++];
  }
  std::uint16_t U16() { return static_cast<std::uint16_t>(U8() | (U8() << 8)); }
  std::uint32_t U32() { return U16() | (static_cast<std::uint32_t>(U16()) << 16); }
  std::string String() {
    std::string text;
    for (std::uint8_t c = U8(); c != 0; c = U8()) text.push_back(static_cast<char>(c));
    return text;
  }
  Bytes Take(std::size_t count) {
    Align();
    if (count > bytes_.size() - at_) throw std::runtime_error("field longer than its container");
    Bytes part(bytes_.begin() + static_cast<std::ptrdiff_t>(at_),
               bytes_.begin() + static_cast<std::ptrdiff_t>(at_ + count));
    at_ += count;
    return part;
  }
  std::uint32_t Bits(int count) {
    std::uint32_t value = 0;
    for (int i = 0; i < count; ++i) {
      if (bit_ == 0) {
        if (at_ >= bytes_.size()) throw std::runtime_error("bits past the end");
        current_ = bytes_[at_++];
        bit_ = 8;
      }
      value = (value << 1) | ((current_ >> --bit_) & 1);
    }
    return value;
  }
  std::int32_t SignedBits(int count) {
    const std::uint32_t value = Bits(count);
    if (count > 0 && count < 32 && (value >> (count - 1)) != 0) {
      return static_cast<std::int32_t>(value | (~0u << count));
    }
    return static_cast<std::int32_t>(value);
  }
  void Align() { bit_ = 0; }
  bool AtEnd() const { return at_ >= bytes_.size(); }
  std::size_t Position() const { return at_; }

 private:
  const Bytes& bytes_;
  std::size_t at_;
  std::uint8_t current_ = 0;
  int bit_ = 0;
};

Bounds ReadBounds(Reader& in) {
  const int bits = static_cast<int>(in.Bits(5));
  Bounds bounds{in.SignedBits(bits), in.SignedBits(bits), in.SignedBits(bits), in.SignedBits(bits)};
  in.Align();
  return bounds;
}

Transform ReadMatrix(Reader& in) {
  Transform matrix;
  if (in.Bits(1) != 0) {
    const int bits = static_cast<int>(in.Bits(5));
    matrix.scaleX = in.SignedBits(bits) / 65536.0;
    matrix.scaleY = in.SignedBits(bits) / 65536.0;
  }
  if (in.Bits(1) != 0) {
    const int bits = static_cast<int>(in.Bits(5));
    matrix.skew0 = in.SignedBits(bits) / 65536.0;
    matrix.skew1 = in.SignedBits(bits) / 65536.0;
  }
  const int bits = static_cast<int>(in.Bits(5));
  matrix.translateX = in.SignedBits(bits);
  matrix.translateY = in.SignedBits(bits);
  in.Align();
  return matrix;
}

Colour ReadColour(Reader& in, bool withAlpha) {
  Colour colour{in.U8(), in.U8(), in.U8(), 255};
  if (withAlpha) colour.a = in.U8();
  return colour;
}

std::size_t StyleCount(Reader& in, std::uint16_t code) {
  const std::uint8_t count = in.U8();
  return count == 0xFF && code != kDefineShape ? in.U16() : count;
}

void ReadColourTransformWithAlpha(Reader& in, std::array<int, 4>& multiply, std::array<int, 4>& add) {
  const bool hasAdd = in.Bits(1) != 0, hasMultiply = in.Bits(1) != 0;
  const int bits = static_cast<int>(in.Bits(4));
  if (hasMultiply) {
    for (int& term : multiply) term = in.SignedBits(bits);
  }
  if (hasAdd) {
    for (int& term : add) term = in.SignedBits(bits);
  }
  in.Align();
}

std::vector<Tag> ReadTags(Reader& in, const Bytes& container) {
  std::vector<Tag> tags;
  while (true) {
    const std::uint16_t header = in.U16();
    std::uint32_t length = header & 0x3F;
    if (length == 0x3F) length = in.U32();
    tags.push_back({static_cast<std::uint16_t>(header >> 6), in.Take(length)});
    if (tags.back().code == kEnd) break;
  }
  if (!in.AtEnd() || in.Position() != container.size()) {
    throw std::runtime_error("bytes after the End tag");
  }
  return tags;
}

void Expect(const Tag& tag, std::uint16_t code) {
  if (tag.code != code) throw std::runtime_error("unexpected tag " + std::to_string(tag.code));
}

}  // namespace

SwfFile ReadSwf(const Bytes& file) {
  Reader in(file);
  SwfFile swf;
  for (int i = 0; i < 3; ++i) swf.signature.push_back(static_cast<char>(in.U8()));
  if (swf.signature != "FWS") throw std::runtime_error("not an uncompressed SWF file");
  swf.version = in.U8();
  swf.declaredLength = in.U32();
  swf.frame = ReadBounds(in);
  const std::uint8_t fraction = in.U8();
  swf.frameRate = in.U8() + fraction / 256.0;
  swf.frameCount = in.U16();
  swf.tags = ReadTags(in, file);
  return swf;
}

SpriteDefinition ReadSprite(const Tag& tag) {
  Expect(tag, kDefineSprite);
  Reader in(tag.body);
  SpriteDefinition sprite{in.U16(), in.U16(), {}};
  sprite.tags = ReadTags(in, tag.body);
  return sprite;
}

Placing ReadPlaceObject2(const Tag& tag) {
  Expect(tag, kPlaceObject2);
  Reader in(tag.body);
  const std::uint8_t flags = in.U8();
  Placing placing;
  placing.moves = (flags & 0x01) != 0;
  placing.depth = in.U16();
  if (flags & 0x02) placing.character = in.U16();
  placing.hasMatrix = (flags & 0x04) != 0;
  if (placing.hasMatrix) {
    const Transform matrix = ReadMatrix(in);
    placing.translateX = matrix.translateX;
    placing.translateY = matrix.translateY;
  }
  placing.hasColour = (flags & 0x08) != 0;
  if (placing.hasColour) ReadColourTransformWithAlpha(in, placing.multiply, placing.add);
  if (flags & 0x10) in.U16();  // ratio
  if (flags & 0x20) placing.name = in.String();
  return placing;
}

ButtonDefinition ReadButton2(const Tag& tag) {
  Expect(tag, kDefineButton2);
  Reader in(tag.body);
  ButtonDefinition button;
  button.id = in.U16();
  in.U8();  // menu flag
  const std::size_t actionOffsetAt = in.Position();
  const std::uint16_t actionOffset = in.U16();
  for (std::uint8_t states = in.U8(); states != 0; states = in.U8()) {
    const std::uint16_t character = in.U16();
    in.U16();  // depth
    ReadMatrix(in);
    std::array<int, 4> multiply, add;
    ReadColourTransformWithAlpha(in, multiply, add);
    if (states & 0x08) button.hitCharacter = character;
  }
  if (actionOffset != 0 && actionOffsetAt + actionOffset != in.Position()) {
    throw std::runtime_error("button action offset does not point past its layers");
  }
  while (actionOffset != 0) {
    const std::size_t start = in.Position();
    const std::uint16_t size = in.U16();
    const std::uint16_t condition = in.U16();
    const std::size_t end = size == 0 ? tag.body.size() : start + size;
    if (end > tag.body.size() || end < in.Position()) throw std::runtime_error("bad condition size");
    button.conditionActions.emplace_back(condition, in.Take(end - in.Position()));
    if (size == 0) break;
  }
  return button;
}

EditTextDefinition ReadEditText(const Tag& tag) {
  Expect(tag, kDefineEditText);
  Reader in(tag.body);
  EditTextDefinition text{in.U16(), ReadBounds(in), std::nullopt, false, {}, {}};
  const std::uint8_t first = in.U8(), second = in.U8();
  text.outlines = (second & 0x01) != 0;
  if (first & 0x01) {
    text.font = in.U16();
    in.U16();  // height
  }
  if (second & 0x80) in.String();  // font class
  if (first & 0x04) in.U32();      // colour
  if (first & 0x02) in.U16();      // maximum length
  if (second & 0x20) in.Take(9);   // layout
  text.variable = in.String();
  if (first & 0x80) text.text = in.String();
  return text;
}

std::uint16_t CharacterId(const Tag& tag) { return Reader(tag.body).U16(); }

ShapeDefinition ReadShape(const Tag& tag) {
  if (tag.code != kDefineShape && tag.code != kDefineShape2 && tag.code != kDefineShape3) {
    throw std::runtime_error("not a shape");
  }
  const bool withAlpha = tag.code == kDefineShape3;
  Reader in(tag.body);
  ShapeDefinition shape{in.U16(), ReadBounds(in), {}, {}, {}, {}, 0};
  for (std::size_t count = StyleCount(in, tag.code); count > 0; --count) {
    FillStyle fill{in.U8(), {}, {}, {}};
    if (fill.type == 0x00) {
      fill.colour = ReadColour(in, withAlpha);
    } else if (fill.type == 0x10 || fill.type == 0x12) {
      fill.matrix = ReadMatrix(in);
      const std::uint8_t header = in.U8();
      if ((header & 0xF0) != 0) throw std::runtime_error("gradient modes beyond DefineShape3");
      for (int records = header & 0x0F; records > 0; --records) {
        const std::uint8_t ratio = in.U8();
        fill.gradient.emplace_back(ratio, ReadColour(in, withAlpha));
      }
    } else if (fill.type >= 0x40 && fill.type <= 0x43) {
      in.U16();  // bitmap
      fill.matrix = ReadMatrix(in);
    } else {
      throw std::runtime_error("unknown fill style " + std::to_string(fill.type));
    }
    shape.fills.push_back(fill);
  }
  for (std::size_t count = StyleCount(in, tag.code); count > 0; --count) {
    const std::uint16_t width = in.U16();
    shape.lines.emplace_back(width, ReadColour(in, withAlpha));
  }

  const int fillBits = static_cast<int>(in.Bits(4)), lineBits = static_cast<int>(in.Bits(4));
  auto use = [](std::set<unsigned>& used, unsigned index, std::size_t count) {
    if (index > count) throw std::runtime_error("a path takes up a style that is not there");
    if (index != 0) used.insert(index);
  };
  while (true) {
    if (in.Bits(1) == 0) {  // style change, or the end
      const std::uint32_t flags = in.Bits(5);
      if (flags == 0) break;
      if (flags & 0x10) throw std::runtime_error("new style arrays are not read");
      if (flags & 0x01) {
        const int bits = static_cast<int>(in.Bits(5));
        in.SignedBits(bits);
        in.SignedBits(bits);
      }
      if (flags & 0x02) use(shape.fillsUsed, in.Bits(fillBits), shape.fills.size());
      if (flags & 0x04) use(shape.fillsUsed, in.Bits(fillBits), shape.fills.size());
      if (flags & 0x08) use(shape.linesUsed, in.Bits(lineBits), shape.lines.size());
    } else {
      const bool straight = in.Bits(1) != 0;
      const int bits = static_cast<int>(in.Bits(4)) + 2;
      int fields = 4;  // a curve's control and anchor deltas
      if (straight) {
        fields = in.Bits(1) != 0 ? 2 : 1;  // a general line's two deltas, or one along an axis
        if (fields == 1) in.Bits(1);       // which axis
      }
      for (int i = 0; i < fields; ++i) in.SignedBits(bits);
      ++shape.edges;
    }
  }
  in.Align();
  if (!in.AtEnd()) throw std::runtime_error("bytes after the shape's end");
  return shape;
}

std::size_t FontGlyphCount(const Tag& tag) {
  Reader in(tag.body);
  in.U16();
  if (tag.code == kDefineFont) return tag.body.size() > 2 ? in.U16() / 2 : 0;
  if (tag.code != kDefineFont2 && tag.code != kDefineFont3) throw std::runtime_error("not a font");
  in.U8();  // flags
  in.U8();  // language
  in.Take(in.U8());
  return in.U16();
}

std::map<std::string, std::uint16_t> ReadExports(const Tag& tag) {
  Expect(tag, kExportAssets);
  Reader in(tag.body);
  std::map<std::string, std::uint16_t> names;
  for (std::uint16_t count = in.U16(); count > 0; --count) {
    const std::uint16_t id = in.U16();
    names[in.String()] = id;
  }
  return names;
}

SoundDefinition ReadDefineSound(const Tag& tag) {
  Expect(tag, kDefineSound);
  Reader in(tag.body);
  SoundDefinition sound{in.U16(), 0, 0, 0, 0};
  const std::uint8_t flags = in.U8();
  sound.format = flags >> 4;
  sound.rateCode = (flags >> 2) & 3;
  sound.sampleBits = (flags & 2) ? 16 : 8;
  sound.sampleCount = in.U32();
  return sound;
}

}  // namespace swf_test
