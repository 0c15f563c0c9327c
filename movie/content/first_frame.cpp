#include "content/first_frame.h"

#include <cstdint>
#include <string>

#include "content/settings_screen.h"
#include "content/settings_texts.h"
#include "content/stage.h"
#include "swf/actions.h"

namespace movie {
namespace {

using swf::Actions;

std::string Text(std::string_view text) { return std::string(text); }

// _root.attachMovie(sprite, instance, depth), its result left on the stack.
void Attach(Actions& actions, const char* sprite, const char* instance, std::int32_t depth) {
  actions.Push({depth, Text(instance), Text(sprite), 3});
  actions.Push({Text("_root")}).GetVariable().Push({Text("attachMovie")}).CallMethod();
}

// Jumps to the label unless the root variable holds the text.
void UnlessEquals(Actions& actions, const char* variable, std::string_view text,
                  Actions::Label label) {
  actions.Push({Text(variable)}).GetVariable().Push({Text(text)}).Equals().Not();
  actions.JumpIfTrue(label);
}

// panel.<name> = value
void SetOnScreen(Actions& actions, std::string_view name, swf::PushValue value) {
  actions.Push({Text(kScreenInstance)}).GetVariable().Push({Text(name), value}).SetMember();
}

// panel.<child>.<property> = value
void SetOnScreenChild(Actions& actions, const char* child, const char* property,
                      swf::PushValue value) {
  actions.Push({Text(kScreenInstance)}).GetVariable().Push({Text(child)}).GetMember();
  actions.Push({Text(property), value}).SetMember();
}

void SetTexts(Actions& actions, const SettingsTexts& texts) {
  SetOnScreen(actions, kTitleVariable, Text(texts.title));
  SetOnScreen(actions, kMusicLabelVariable, Text(texts.music));
  SetOnScreen(actions, kOnTextVariable, Text(texts.on));
  SetOnScreen(actions, kOffTextVariable, Text(texts.off));
  SetOnScreen(actions, kMouseLabelVariable, Text(texts.mouse));
  SetOnScreen(actions, kNeverVariable, Text(texts.never));
}

void FillInSettingsScreen(Actions& actions) {
  SetTexts(actions, DefaultSettingsTexts());
  for (const SettingsTexts& texts : kSettingsTexts) {
    if (&texts == &DefaultSettingsTexts()) continue;
    const auto next = actions.NewLabel();
    UnlessEquals(actions, "language", texts.languageIndex, next);
    SetTexts(actions, texts);
    actions.Mark(next);
  }

  const auto off = actions.NewLabel(), stateShown = actions.NewLabel();
  UnlessEquals(actions, "music", "1", off);
  for (const bool on : {true, false}) {
    if (!on) actions.Mark(off);
    SetOnScreen(actions, kMusicVariable, Text(on ? "1" : "0"));
    // panel.musicState = panel.onText (or offText)
    actions.Push({Text(kScreenInstance)}).GetVariable().Push({Text(kMusicStateVariable)});
    actions.Push({Text(kScreenInstance)}).GetVariable();
    actions.Push({Text(on ? kOnTextVariable : kOffTextVariable)}).GetMember().SetMember();
    SetOnScreenChild(actions, kLampInstance, "_visible", on);
    if (on) actions.Jump(stateShown);
  }
  actions.Mark(stateShown);

  SetOnScreenChild(actions, kMarkInstance, "_visible", false);
  for (const MouseChoice& choice : kMouseChoices) {
    const auto next = actions.NewLabel();
    UnlessEquals(actions, "mouse", choice.value, next);
    SetOnScreenChild(actions, kMarkInstance, "_x", choice.left);
    SetOnScreenChild(actions, kMarkInstance, "_visible", true);
    actions.Mark(next);
  }
}

}  // namespace

swf::Bytes FirstFrameActions() {
  Actions actions;
  const auto preview = actions.NewLabel(), settings = actions.NewLabel(), done = actions.NewLabel();
  actions.Push({Text("routine")}).GetVariable().Push({Text("c")}).Equals().JumpIfTrue(settings);
  actions.Push({Text("routine")}).GetVariable().Push({Text("p")}).Equals().JumpIfTrue(preview);

  // "s" and anything else: the full-screen picture, and the music when it is on.
  Attach(actions, kPictureSprite, "picture", 1);
  actions.Pop();
  UnlessEquals(actions, "music", "1", done);
  Attach(actions, kMusicSprite, "pad", 2);
  actions.Pop();
  actions.Jump(done);

  actions.Mark(preview);
  Attach(actions, kPreviewSprite, "picture", 1);
  actions.Pop();
  actions.Jump(done);

  actions.Mark(settings);
  actions.Push({Text(kScreenInstance)});
  Attach(actions, kSettingsSprite, kScreenInstance, 1);
  actions.SetVariable();
  FillInSettingsScreen(actions);

  actions.Mark(done);
  actions.Stop();
  return actions.Finish();
}

}  // namespace movie
