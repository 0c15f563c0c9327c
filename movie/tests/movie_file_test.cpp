// The written movie, read back: its format and root frame, the same bytes on every run, and
// what its script attaches, shows and sends for each routine, played by a small action player.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "action_player.h"
#include "swf_reader.h"

namespace swf_test {
namespace {

Bytes ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

struct Choice {
  const char* value;
  int left;
};
// The settings screen's layout, in stage pixels.
constexpr Choice kChoices[] = {{"1", 40}, {"3", 135}, {"5", 230}, {"10", 325}, {"25", 420}, {"32767", 515}};
constexpr int kChoiceMiddleY = 305;
constexpr int kSwitchX = 480, kSwitchY = 165;
constexpr int kTitleX = 320, kTitleY = 45;

class MovieFileTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    bytes_ = ReadFile(VELLOMAR_MOVIE_FILE);
    file_ = ReadSwf(bytes_);
  }
  static const Tag& Definition(std::uint16_t id) {
    for (const Tag& tag : file_.tags) {
      if (tag.code != kEnd && tag.code != kShowFrame && tag.code != kDoAction &&
          tag.code != kSetBackgroundColor && tag.code != kFileAttributes &&
          tag.code != kExportAssets && CharacterId(tag) == id) {
        return tag;
      }
    }
    throw std::runtime_error("no character " + std::to_string(id));
  }
  static SpriteDefinition Exported(const std::string& name) {
    for (const Tag& tag : file_.tags) {
      if (tag.code == kExportAssets) return ReadSprite(Definition(ReadExports(tag).at(name)));
    }
    throw std::runtime_error("no exports");
  }
  static std::vector<std::string> Attached(const std::map<std::string, std::string>& variables) {
    ActionPlayer player(file_);
    player.Start(variables);
    EXPECT_TRUE(player.Stopped());
    EXPECT_TRUE(player.Urls().empty());
    std::vector<std::string> sprites;
    for (const auto& [sprite, instance] : player.Root()->attached) sprites.push_back(sprite);
    return sprites;
  }

  static Bytes bytes_;
  static SwfFile file_;
};
Bytes MovieFileTest::bytes_;
SwfFile MovieFileTest::file_;

TEST_F(MovieFileTest, IsOneRootFrameOfDefinitionsAndAScriptWithDeviceFontsOnly) {
  EXPECT_EQ(file_.signature, "FWS");
  EXPECT_GE(file_.version, 6);  // UTF-8 texts
  EXPECT_LE(file_.version, 8);
  EXPECT_EQ(file_.declaredLength, bytes_.size());
  EXPECT_LE(bytes_.size(), 300u * 1024);
  EXPECT_EQ(file_.frame.xMin, 0);
  EXPECT_EQ(file_.frame.yMin, 0);
  EXPECT_EQ(file_.frame.xMax, 640 * 20);
  EXPECT_EQ(file_.frame.yMax, 480 * 20);
  EXPECT_GE(file_.frameRate, 12);
  EXPECT_LE(file_.frameRate, 20);
  EXPECT_EQ(file_.frameCount, 1);

  const std::vector<Tag>& tags = file_.tags;
  std::size_t at = tags.at(0).code == kFileAttributes ? 1 : 0;
  ASSERT_EQ(tags.at(at).code, kSetBackgroundColor);
  EXPECT_EQ(tags.at(at).body, (Bytes{0, 0, 0}));
  ASSERT_GE(tags.size(), at + 4);
  EXPECT_EQ(tags[tags.size() - 3].code, kDoAction);
  EXPECT_EQ(tags[tags.size() - 2].code, kShowFrame);
  EXPECT_EQ(tags[tags.size() - 1].code, kEnd);
  const std::set<std::uint16_t> definitions = {kDefineShape3, kDefineSprite, kDefineButton2,
                                               kDefineEditText, kDefineFont2, kDefineSound,
                                               kExportAssets};
  std::set<std::uint16_t> fonts;
  for (std::size_t i = at + 1; i + 3 < tags.size(); ++i) {
    SCOPED_TRACE("tag " + std::to_string(i));
    EXPECT_TRUE(definitions.count(tags[i].code)) << "code " << tags[i].code;
    if (tags[i].code == kDefineFont2) {
      EXPECT_EQ(FontGlyphCount(tags[i]), 0u);
      fonts.insert(CharacterId(tags[i]));
    }
    if (tags[i].code == kDefineEditText) {
      const EditTextDefinition text = ReadEditText(tags[i]);
      EXPECT_FALSE(text.outlines);
      ASSERT_TRUE(text.font.has_value());
      EXPECT_TRUE(fonts.count(*text.font)) << "a font defined before the field";
    }
  }
  for (const char* name : {"picture", "preview", "music", "settings"}) {
    EXPECT_NO_THROW(Exported(name)) << name;
  }
}

TEST_F(MovieFileTest, WriterGivesTheSameBytesOnEveryRun) {
  const std::filesystem::path folder = VELLOMAR_MOVIE_RUNS;
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  for (const char* name : {"first.lak", "second.lak"}) {
    const std::string command =
        std::string("'") + VELLOMAR_MOVIE_WRITER + "' '" + (folder / name).string() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
  }
  EXPECT_EQ(ReadFile(folder / "first.lak"), bytes_);
  EXPECT_EQ(ReadFile(folder / "second.lak"), bytes_);
}

TEST_F(MovieFileTest, PicturesMoveByPlacementsAndMusicPlaysOnlyFullScreenWhenOn) {
  using V = std::map<std::string, std::string>;
  using S = std::vector<std::string>;
  EXPECT_EQ(Attached({{"routine", "s"}, {"music", "1"}}), (S{"picture", "music"}));
  EXPECT_EQ(Attached({{"routine", "s"}, {"music", "0"}}), (S{"picture"}));
  EXPECT_EQ(Attached({{"routine", "s"}, {"music", " 1"}}), (S{"picture"}));
  EXPECT_EQ(Attached(V{{"routine", "s"}}), (S{"picture"}));
  EXPECT_EQ(Attached({{"routine", "p"}, {"music", "1"}}), (S{"preview"}));
  EXPECT_EQ(Attached({{"routine", "S"}, {"music", "1"}}), (S{"picture", "music"}));
  EXPECT_EQ(Attached({{"routine", "x"}}), (S{"picture"}));
  EXPECT_EQ(Attached({}), (S{"picture"}));

  // Shapes placed once, then only moved, recoloured and swapped for others defined once: no
  // drawing per frame.
  std::map<std::string, std::size_t> shapes;
  for (const char* name : {"picture", "preview"}) {
    SCOPED_TRACE(name);
    const SpriteDefinition sprite = Exported(name);
    EXPECT_GE(sprite.frameCount, 10 * file_.frameRate) << "ten seconds or more before it repeats";
    std::size_t frame = 0, changes = 0;
    for (const Tag& tag : sprite.tags) {
      if (tag.code == kShowFrame) ++frame;
      if (tag.code == kShowFrame || tag.code == kEnd) continue;
      ASSERT_EQ(tag.code, kPlaceObject2);
      const Placing placing = ReadPlaceObject2(tag);
      EXPECT_EQ(placing.moves, frame > 0);
      if (frame == 0) {
        EXPECT_TRUE(placing.character.has_value());
      }
      if (frame == 0) ++shapes[name];
      if (frame > 0) changes += placing.hasMatrix && placing.hasColour;
    }
    EXPECT_EQ(changes, shapes[name] * (sprite.frameCount - 1u));
  }
  EXPECT_LT(shapes["preview"], shapes["picture"]);
  EXPECT_LE(shapes["picture"], 10u);

  const SpriteDefinition music = Exported("music");
  ASSERT_EQ(music.tags.at(0).code, kStartSound);
  const Bytes& start = music.tags[0].body;
  ASSERT_EQ(start.size(), 5u);
  EXPECT_EQ(start[2] & 0x04, 0x04) << "loops";
  EXPECT_GE(start[3] | (start[4] << 8), 1000);
  const SoundDefinition sound = ReadDefineSound(Definition(static_cast<std::uint16_t>(start[0] | (start[1] << 8))));
  EXPECT_TRUE(sound.format == 3 || sound.format == 1) << "uncompressed or ADPCM";
  if (sound.format == 3) {
    EXPECT_EQ(sound.sampleBits, 16);
  }
  const double seconds = sound.sampleCount / (5512.5 * (1 << sound.rateCode));
  EXPECT_GE(seconds, 2);
  EXPECT_LE(seconds, 10);
}

TEST_F(MovieFileTest, GlowsAreRadialGradientsInTheirOwnColoursSteppingRoundTheWheelOrbitsOneLine) {
  std::map<std::string, int> glows, orbits;
  for (const char* name : {"picture", "preview"}) {
    // The glow at each depth: the colour of its centre, and every colour it has shown.
    std::map<std::uint16_t, Colour> centre;
    std::map<std::uint16_t, std::set<int>> shown;
    for (const Tag& tag : Exported(name).tags) {
      if (tag.code != kPlaceObject2) continue;
      const Placing placing = ReadPlaceObject2(tag);
      SCOPED_TRACE(std::string(name) + ", depth " + std::to_string(placing.depth));
      if (placing.character) {
        const ShapeDefinition shape = ReadShape(Definition(*placing.character));
        if (shape.fills.empty()) {
          ++orbits[name];
          EXPECT_EQ(shape.lines.size(), 1u);
          EXPECT_EQ(shape.linesUsed, (std::set<unsigned>{1}));
          continue;
        }
        ASSERT_EQ(shape.fills.size(), 1u) << "one shape, not a stack of discs";
        EXPECT_TRUE(shape.lines.empty());
        EXPECT_EQ(shape.fillsUsed, (std::set<unsigned>{1}));
        const FillStyle& fill = shape.fills[0];
        ASSERT_EQ(fill.type, 0x12) << "radial gradient";
        ASSERT_GE(fill.gradient.size(), 2u);
        const Colour core = fill.gradient.front().second;
        EXPECT_EQ(fill.gradient.front().first, 0);
        EXPECT_GT(core.a, 0);
        EXPECT_EQ(fill.gradient.back().first, 255);
        EXPECT_EQ(fill.gradient.back().second.a, 0) << "a visible rim";
        for (std::size_t i = 1; i < fill.gradient.size(); ++i) {
          const Colour& colour = fill.gradient[i].second;
          EXPECT_GT(fill.gradient[i].first, fill.gradient[i - 1].first);
          EXPECT_LT(colour.a, fill.gradient[i - 1].second.a) << "brightest inside";
          EXPECT_TRUE(colour.r == core.r && colour.g == core.g && colour.b == core.b)
              << "one colour fading";
        }
        // The gradient's circle, 16384 twips in radius before its matrix, is the disc's outline.
        EXPECT_EQ(fill.matrix.skew0, 0);
        EXPECT_EQ(fill.matrix.skew1, 0);
        EXPECT_EQ(fill.matrix.scaleX, fill.matrix.scaleY);
        EXPECT_NEAR(16384 * fill.matrix.scaleX, (shape.bounds.xMax - shape.bounds.xMin) / 2.0, 2);
        EXPECT_NEAR(16384 * fill.matrix.scaleY, (shape.bounds.yMax - shape.bounds.yMin) / 2.0, 2);
        EXPECT_EQ(fill.matrix.translateX * 2, shape.bounds.xMin + shape.bounds.xMax);
        EXPECT_EQ(fill.matrix.translateY * 2, shape.bounds.yMin + shape.bounds.yMax);

        if (const auto before = centre.find(placing.depth); before != centre.end()) {
          const Colour& was = before->second;
          EXPECT_LE(std::max({std::abs(core.r - was.r), std::abs(core.g - was.g),
                              std::abs(core.b - was.b)}),
                    5)
              << "a small step round the wheel, not a jump";
        } else {
          ++glows[name];
        }
        centre[placing.depth] = core;
        shown[placing.depth].insert(core.r << 16 | core.g << 8 | core.b);
      }
      if (centre.count(placing.depth) && placing.hasColour) {
        // Drawn in its own colours, a glow is only faded: a tint on a gradient is what the
        // emulator's canvas draws slowest.
        EXPECT_EQ(placing.multiply[0], 256);
        EXPECT_EQ(placing.multiply[1], 256);
        EXPECT_EQ(placing.multiply[2], 256);
        EXPECT_EQ(placing.add, (std::array<int, 4>{}));
      }
    }
    for (const auto& [depth, colours] : shown) {
      EXPECT_GE(colours.size(), 48u) << name << ", depth " << depth << " travels round the wheel";
    }
  }
  EXPECT_GE(glows["picture"], 3);
  EXPECT_GE(orbits["picture"], 1);
  EXPECT_GE(glows["preview"], 3);
  EXPECT_EQ(orbits["preview"], 0);
}

struct Words {
  const char* language;
  const char* title;
  const char* off;
  const char* never;
};
constexpr Words kWords[] = {
    {"1", "Instellingen", "Uit", "nooit"},         {"2", "Settings", "Off", "never"},
    {"3", "Réglages", "Désactivée", "jamais"},     {"4", "Einstellungen", "Aus", "nie"},
    {"5", "Impostazioni", "Disattiva", "mai"},     {"6", "Configurações", "Desligada", "nunca"},
    {"7", "Configuración", "Desactivada", "nunca"}, {"", "Settings", "Off", "never"},
    {"8", "Settings", "Off", "never"},             {"02", "Settings", "Off", "never"},
};

TEST_F(MovieFileTest, SettingsScreenShowsItsLanguageAndValuesAndSendsEachChange) {
  for (const Words& words : kWords) {
    for (const Choice& current : kChoices) {
      SCOPED_TRACE(std::string("language '") + words.language + "', mouse " + current.value);
      ActionPlayer player(file_);
      std::map<std::string, std::string> variables = {{"routine", "c"}, {"music", "0"},
                                                      {"mouse", current.value}};
      if (*words.language) variables["language"] = words.language;
      player.Start(variables);
      ASSERT_EQ(player.Root()->attached.size(), 1u);
      ASSERT_EQ(player.Root()->attached[0].first, "settings");
      const auto screen = std::get<std::shared_ptr<Clip>>(
          player.Root()->members.at(player.Root()->attached[0].second));
      const auto lamp = std::get<std::shared_ptr<Clip>>(screen->members.at("lamp"));
      const auto mark = std::get<std::shared_ptr<Clip>>(screen->members.at("mark"));

      EXPECT_EQ(player.TextAt(*screen, kTitleX, kTitleY), words.title);
      EXPECT_EQ(player.TextAt(*screen, kSwitchX, kSwitchY), words.off);
      EXPECT_EQ(player.TextAt(*screen, kChoices[5].left + 42, kChoiceMiddleY), words.never);
      EXPECT_EQ(player.TextAt(*screen, kChoices[3].left + 42, kChoiceMiddleY), "10");
      EXPECT_EQ(lamp->members.at("_visible"), Value(false));
      EXPECT_EQ(mark->members.at("_visible"), Value(true));
      EXPECT_EQ(ToText(mark->members.at("_x")), std::to_string(current.left));

      player.Click(screen, kSwitchX, kSwitchY);
      EXPECT_NE(player.TextAt(*screen, kSwitchX, kSwitchY), words.off);
      EXPECT_EQ(lamp->members.at("_visible"), Value(true));
      player.Click(screen, kSwitchX, kSwitchY);
      EXPECT_EQ(player.TextAt(*screen, kSwitchX, kSwitchY), words.off);
      EXPECT_EQ(lamp->members.at("_visible"), Value(false));
      for (const Choice& choice : kChoices) {
        player.Click(screen, choice.left + 5, kChoiceMiddleY - 20);
        EXPECT_EQ(ToText(mark->members.at("_x")), std::to_string(choice.left));
      }
      using U = std::vector<std::pair<std::string, std::string>>;
      U sent = {{"FSCommand:setmusic", "1"}, {"FSCommand:setmusic", "0"}};
      for (const Choice& choice : kChoices) sent.emplace_back("FSCommand:setmouse", choice.value);
      EXPECT_EQ(player.Urls(), sent);
    }
  }
}

TEST_F(MovieFileTest, SettingsScreenOpensWithMusicOnAndNoChoiceForOtherCounts) {
  for (const char* mouse : {"7", "", "05", "32768"}) {
    SCOPED_TRACE(std::string("mouse '") + mouse + "'");
    ActionPlayer player(file_);
    player.Start({{"routine", "c"}, {"music", "1"}, {"mouse", mouse}, {"language", "4"}});
    const auto screen = std::get<std::shared_ptr<Clip>>(player.Root()->members.at("panel"));
    EXPECT_EQ(player.TextAt(*screen, kSwitchX, kSwitchY), "An");
    EXPECT_EQ(std::get<std::shared_ptr<Clip>>(screen->members.at("lamp"))->members.at("_visible"),
              Value(true));
    EXPECT_EQ(std::get<std::shared_ptr<Clip>>(screen->members.at("mark"))->members.at("_visible"),
              Value(false));
    player.Click(screen, kSwitchX, kSwitchY);
    EXPECT_EQ(player.TextAt(*screen, kSwitchX, kSwitchY), "Aus");
    EXPECT_EQ(player.Urls(), (std::vector<std::pair<std::string, std::string>>{
                                 {"FSCommand:setmusic", "0"}}));
  }
}

}  // namespace
}  // namespace swf_test
