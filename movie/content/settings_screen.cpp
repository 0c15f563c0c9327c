#include "content/settings_screen.h"

#include <cstdint>
#include <string>

#include "content/stage.h"
#include "swf/actions.h"
#include "swf/button.h"
#include "swf/display.h"
#include "swf/records.h"
#include "swf/shape.h"
#include "swf/text.h"

namespace movie {
namespace {

using swf::Twips;

constexpr swf::Rgba kPanel{14, 23, 38};
constexpr swf::Rgba kRule{42, 59, 87};
constexpr swf::Rgba kFrame{143, 166, 200};
constexpr swf::Rgba kHover{255, 255, 255, 40};
constexpr swf::Rgba kLamp{47, 143, 91};
constexpr swf::Rgba kMark{47, 111, 192};
constexpr swf::Rgba kTitleText{255, 255, 255};
constexpr swf::Rgba kText{214, 224, 240};

constexpr int kSwitchLeft = 400, kSwitchTop = 140, kSwitchWidth = 160, kRowHeight = 50;
constexpr int kChoiceTop = 280;

swf::Rect Box(int width, int height) { return {0, Twips(width), 0, Twips(height)}; }

std::uint16_t DefineShape(Library& library, const swf::Shape& shape) {
  const std::uint16_t id = library.NewId();
  library.Define(swf::TagCode::DefineShape3, shape.DefineShape3(id));
  return id;
}

std::uint16_t FilledBox(Library& library, int width, int height, const swf::Rgba& colour) {
  swf::Shape shape;
  shape.Rectangle(Box(width, height), shape.AddFill(colour), 0);
  return DefineShape(library, shape);
}

std::uint16_t FramedBox(Library& library, int width, int height, bool lit) {
  swf::Shape shape;
  const int line = shape.AddLine(static_cast<std::uint16_t>(Twips(2)), kFrame);
  shape.Rectangle(Box(width, height), lit ? shape.AddFill(kHover) : 0, line);
  return DefineShape(library, shape);
}

// A one-frame sprite holding one shape, so that scripts can move and hide it.
std::uint16_t ShapeSprite(Library& library, std::uint16_t shape) {
  swf::Sprite sprite;
  sprite.Add(swf::TagCode::PlaceObject2, swf::PlaceObject2({1, shape, swf::Matrix{}, {}, {}}));
  sprite.ShowFrame();
  const std::uint16_t id = library.NewId();
  library.Define(swf::TagCode::DefineSprite, sprite.DefineSprite(id));
  return id;
}

struct Layout {
  Library& library;
  swf::Sprite& sprite;
  std::uint16_t font;
  std::uint16_t depth = 1;

  void Place(std::uint16_t character, int x, int y, std::string name = {}) {
    sprite.Add(swf::TagCode::PlaceObject2,
               swf::PlaceObject2({depth++, character, swf::Matrix::Translate(Twips(x), Twips(y)),
                                  {}, std::move(name)}));
  }

  // One line of text in a region, centred vertically by its font size.
  void Text(int x, int y, int width, int height, int fontPixels, const swf::Rgba& colour,
            swf::TextField::Align align, std::string variable, std::string text = {}) {
    const int drop = (height - (fontPixels * 6 / 5 + 4)) / 2;
    const swf::TextField field{Box(width, height - drop),
                               font,
                               static_cast<std::uint16_t>(Twips(fontPixels)),
                               colour,
                               align,
                               std::move(variable),
                               std::move(text)};
    const std::uint16_t id = library.NewId();
    library.Define(swf::TagCode::DefineEditText, swf::DefineEditText(id, field));
    Place(id, x, y + drop);
  }

  void Button(int x, int y, std::uint16_t frame, std::uint16_t lit, const swf::Actions& onRelease) {
    using L = swf::ButtonLayer;
    const std::uint16_t id = library.NewId();
    library.Define(swf::TagCode::DefineButton2,
                   swf::DefineButton2(id,
                                      {{L::Up, frame, 1, {}}, {L::Over | L::Down | L::Hit, lit, 2, {}}},
                                      onRelease.Finish()));
    Place(id, x, y);
  }
};

// this.lamp._visible = visible; and the like, in the screen's own timeline.
void SetChild(swf::Actions& actions, const char* instance, const char* property,
              swf::PushValue value) {
  actions.Push({std::string(instance)}).GetVariable().Push({std::string(property), value}).SetMember();
}

swf::Actions SwitchActions() {
  swf::Actions actions;
  const auto turnOff = actions.NewLabel(), done = actions.NewLabel();
  actions.Push({std::string(kMusicVariable)}).GetVariable().Push({std::string("1")}).Equals();
  actions.JumpIfTrue(turnOff);
  for (const bool on : {true, false}) {
    if (!on) actions.Mark(turnOff);
    actions.Push({std::string(kMusicVariable), std::string(on ? "1" : "0")}).SetVariable();
    actions.Push({std::string(kMusicStateVariable), std::string(on ? kOnTextVariable : kOffTextVariable)})
        .GetVariable()
        .SetVariable();
    SetChild(actions, kLampInstance, "_visible", on);
    actions.GetUrl("FSCommand:setmusic", on ? "1" : "0");
    if (on) actions.Jump(done);
  }
  actions.Mark(done);
  return actions;
}

swf::Actions ChoiceActions(const MouseChoice& choice) {
  swf::Actions actions;
  SetChild(actions, kMarkInstance, "_x", choice.left);
  SetChild(actions, kMarkInstance, "_visible", true);
  actions.GetUrl("FSCommand:setmouse", choice.value);
  return actions;
}

}  // namespace

void DefineSettingsScreen(Library& library) {
  const std::uint16_t font = library.NewId();
  library.Define(swf::TagCode::DefineFont2, swf::DefineDeviceFont(font, "_sans"));

  swf::Shape backdrop;
  backdrop.Rectangle(Box(kStageWidth, kStageHeight), backdrop.AddFill(kPanel), 0);
  backdrop.Rectangle({Twips(40), Twips(600), Twips(99), Twips(101)}, backdrop.AddFill(kRule), 0);
  const std::uint16_t backdropId = DefineShape(library, backdrop);
  const std::uint16_t lamp = ShapeSprite(library, FilledBox(library, kSwitchWidth, kRowHeight, kLamp));
  const std::uint16_t mark = ShapeSprite(library, FilledBox(library, kChoiceWidth, kRowHeight, kMark));
  const std::uint16_t switchFrame = FramedBox(library, kSwitchWidth, kRowHeight, false);
  const std::uint16_t switchLit = FramedBox(library, kSwitchWidth, kRowHeight, true);
  const std::uint16_t choiceFrame = FramedBox(library, kChoiceWidth, kRowHeight, false);
  const std::uint16_t choiceLit = FramedBox(library, kChoiceWidth, kRowHeight, true);

  swf::Sprite sprite;
  Layout layout{library, sprite, font};
  using Align = swf::TextField::Align;
  layout.Place(backdropId, 0, 0);
  // Under the texts and the buttons, so neither hides them nor takes their clicks.
  layout.Place(lamp, kSwitchLeft, kSwitchTop, kLampInstance);
  layout.Place(mark, kMouseChoices[0].left, kChoiceTop, kMarkInstance);

  layout.Text(40, 20, 560, 50, 30, kTitleText, Align::Centre, kTitleVariable);
  layout.Text(40, kSwitchTop, 340, kRowHeight, 22, kText, Align::Left, kMusicLabelVariable);
  layout.Text(kSwitchLeft, kSwitchTop, kSwitchWidth, kRowHeight, 22, kTitleText, Align::Centre,
              kMusicStateVariable);
  layout.Text(40, 220, 560, 40, 20, kText, Align::Left, kMouseLabelVariable);
  for (const MouseChoice& choice : kMouseChoices) {
    const bool never = &choice == &kMouseChoices.back();
    layout.Text(choice.left, kChoiceTop, kChoiceWidth, kRowHeight, 20, kTitleText, Align::Centre,
                never ? kNeverVariable : "", never ? "" : std::string(choice.value));
  }

  layout.Button(kSwitchLeft, kSwitchTop, switchFrame, switchLit, SwitchActions());
  for (const MouseChoice& choice : kMouseChoices) {
    layout.Button(choice.left, kChoiceTop, choiceFrame, choiceLit, ChoiceActions(choice));
  }
  sprite.ShowFrame();

  const std::uint16_t id = library.NewId();
  library.Define(swf::TagCode::DefineSprite, sprite.DefineSprite(id));
  library.Export(id, kSettingsSprite);
}

}  // namespace movie
