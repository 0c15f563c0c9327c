// A reader of uncompressed SWF files for the movie's tests, written apart from the writer so
// that it checks the file against the format rather than against the writer's own code.
// Malformed input throws std::runtime_error.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace swf_test {

using Bytes = std::vector<std::uint8_t>;

struct Tag {
  std::uint16_t code;
  Bytes body;
};

struct Bounds {  // twips
  std::int32_t xMin, xMax, yMin, yMax;
};

struct SwfFile {
  std::string signature;
  std::uint8_t version;
  std::uint32_t declaredLength;
  Bounds frame;
  double frameRate;
  std::uint16_t frameCount;
  std::vector<Tag> tags;
};

SwfFile ReadSwf(const Bytes& file);

struct SpriteDefinition {
  std::uint16_t id, frameCount;
  std::vector<Tag> tags;
};
SpriteDefinition ReadSprite(const Tag& tag);

// x' = scaleX x + skew1 y + translateX; y' = skew0 x + scaleY y + translateY (twips).
struct Transform {
  double scaleX = 1, scaleY = 1, skew0 = 0, skew1 = 0;
  std::int32_t translateX = 0, translateY = 0;
};

struct Placing {
  std::uint16_t depth;
  std::optional<std::uint16_t> character;
  std::int32_t translateX = 0, translateY = 0;  // twips
  bool moves = false;  // changes what stands at its depth, rather than placing anew
  bool hasMatrix = false, hasColour = false;
  std::array<int, 4> multiply{256, 256, 256, 256};  // r, g, b, a in 256ths
  std::array<int, 4> add{};
  std::string name;
};
Placing ReadPlaceObject2(const Tag& tag);

struct ButtonDefinition {
  std::uint16_t id;
  std::uint16_t hitCharacter = 0;  // the layer shown in the hit state
  std::vector<std::pair<std::uint16_t, Bytes>> conditionActions;  // condition flags, actions
};
ButtonDefinition ReadButton2(const Tag& tag);

struct EditTextDefinition {
  std::uint16_t id;
  Bounds bounds;
  std::optional<std::uint16_t> font;
  bool outlines;
  std::string variable, text;
};
EditTextDefinition ReadEditText(const Tag& tag);

struct Colour {
  std::uint8_t r, g, b, a;
};
struct FillStyle {
  std::uint8_t type;  // 0x00 solid, 0x10 linear, 0x12 radial, 0x40 to 0x43 bitmap
  Colour colour{};    // solid
  Transform matrix;   // gradient and bitmap: gradient square or bitmap onto the shape
  std::vector<std::pair<std::uint8_t, Colour>> gradient;  // ratio, colour
};
struct ShapeDefinition {
  std::uint16_t id;
  Bounds bounds;
  std::vector<FillStyle> fills;
  std::vector<std::pair<std::uint16_t, Colour>> lines;  // width in twips, colour
  std::set<unsigned> fillsUsed, linesUsed;              // the indices (from 1) that paths take up
  std::size_t edges = 0;
};
ShapeDefinition ReadShape(const Tag& tag);  // DefineShape 1 to 3, without new style arrays

std::uint16_t CharacterId(const Tag& tag);  // a definition's first field
std::size_t FontGlyphCount(const Tag& tag);  // DefineFont, DefineFont2, DefineFont3
std::map<std::string, std::uint16_t> ReadExports(const Tag& tag);

struct SoundDefinition {
  std::uint16_t id;
  int format, rateCode, sampleBits;
  std::uint32_t sampleCount;
};
SoundDefinition ReadDefineSound(const Tag& tag);

enum TagCode : std::uint16_t {
  kEnd = 0, kShowFrame = 1, kDefineShape = 2, kSetBackgroundColor = 9, kDefineFont = 10,
  kDoAction = 12, kDefineSound = 14, kStartSound = 15, kDefineShape2 = 22, kPlaceObject2 = 26,
  kDefineShape3 = 32, kDefineButton2 = 34, kDefineEditText = 37, kDefineSprite = 39,
  kDefineFont2 = 48, kExportAssets = 56, kFileAttributes = 69, kDefineFont3 = 75,
};

}  // namespace swf_test
