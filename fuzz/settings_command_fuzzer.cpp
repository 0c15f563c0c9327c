// The settings dialog's command handler: commands with any text and arguments, fired by the movie
// into a running "/c" program. Only "setmusic" and "setmouse" write, each exactly the ANSI bytes
// of its argument; nothing else in the registry changes, and the dialog stays open.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "config/configuration.h"
#include "fuzz_check.h"
#include "runtime/platform_constants.h"
#include "runtime/sim/sim_platform.h"
#include "settings/registry.h"
#include "startup/main.h"

namespace vellomar {
namespace {

using fuzz::Shown;

constexpr int kMaxCommands = 16;
constexpr double kCommandGap = 0.1;  // seconds between two commands
const char* const kCommands[] = {"setmusic", "setmouse", "SetMusic", "setmusic ", "setmous",
                                 "quit",     "close",    ""};

// The registry's own name for the settings key, found once by writing a probe value.
const std::string& SettingsKeyPath() {
  static const std::string path = [] {
    sim::SimRegistry registry;
    registry.SetValue(win::kHKeyLocalMachine, kSettingsKey, "probe", win::kRegSz, "");
    for (const auto& [key, values] : registry.AllContents()) {
      if (values.count("probe") > 0) return key;
    }
    return std::string();
  }();
  return path;
}

bool IsAssignedAnsi(unsigned char byte) {
  return byte != 0x81 && byte != 0x8D && byte != 0x8F && byte != 0x90 && byte != 0x9D;
}

struct Command {
  std::string command;
  std::string args;
  std::string ansi;  // the bytes that args must be stored as
};

Command NextCommand(FuzzedDataProvider& in, sim::SimPlatform& sim) {
  Command c;
  const auto pick = in.ConsumeIntegral<std::uint8_t>();
  c.command = pick < 224 ? kCommands[pick % std::size(kCommands)]
                         : in.ConsumeRandomLengthString(32);
  if (in.ConsumeBool()) {
    // Text the code page can carry: its bytes are known before the conversion.
    for (const char byte : in.ConsumeRandomLengthString(512)) {
      if (IsAssignedAnsi(static_cast<unsigned char>(byte))) c.ansi += byte;
    }
    c.args = sim.AnsiToUtf8(c.ansi);
  } else {
    c.args = in.ConsumeRandomLengthString(512);
    c.ansi = sim.Utf8ToAnsi(c.args);
  }
  return c;
}

}  // namespace
}  // namespace vellomar

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vellomar;
  FuzzedDataProvider in(data, size);
  sim::SimPlatform sim;
  sim.commandArgs = "/c";
  sim.registry().SetString(win::kHKeyLocalMachine, kSettingsKey, "path", "C:\\Saver");
  sim.registry().SetString(win::kHKeyCurrentUser, "Control Panel\\Desktop",
                           "ScreenSaveUsePassword", "1");
  if (in.ConsumeBool()) {
    sim.registry().SetString(win::kHKeyLocalMachine, kSettingsKey, "music", "1");
    sim.registry().SetDword(win::kHKeyLocalMachine, kSettingsKey, "mouse", 5);
  }
  sim.registry().machineReadOnly = in.ConsumeBool();

  std::vector<Command> commands;
  while (in.remaining_bytes() > 0 && static_cast<int>(commands.size()) < kMaxCommands) {
    commands.push_back(NextCommand(in, sim));
  }
  std::size_t movieCallsAfterLoad = 0;
  for (std::size_t i = 0; i < commands.size(); ++i) {
    sim.At(kCommandGap * static_cast<double>(i + 1), [&sim, &movieCallsAfterLoad, &c = commands[i]] {
      sim::SimControl* movie = sim.LastControl(kFlashProgId);
      FUZZ_CHECK(movie != nullptr, "no movie control");
      if (movieCallsAfterLoad == 0) movieCallsAfterLoad = movie->calls.size();
      auto expected = sim.registry().AllContents();
      const bool stores = c.command == "setmusic" || c.command == "setmouse";
      if (stores && !sim.registry().machineReadOnly) {
        expected[SettingsKeyPath()][c.command.substr(3)] = sim::RegValue{win::kRegSz, c.ansi};
      }
      sim.FireControlEvent(*movie, kDispFsCommand, {c.command, c.args});

      FUZZ_CHECK(sim.registry().AllContents() == expected,
                 Shown(c.command) + " " + Shown(c.args) + " changed the registry otherwise");
      FUZZ_CHECK(sim.registry().OpenHandleCount() == 0, Shown(c.command));
      FUZZ_CHECK(movie->calls.size() == movieCallsAfterLoad, Shown(c.command) + " drove the movie");
      const Configuration* dialog = Program::Current().Find<Configuration>();
      FUZZ_CHECK(dialog != nullptr && sim.windows().Get(dialog->hWnd())->visible,
                 Shown(c.command) + " closed the dialog");
    });
  }
  const sim::RunResult result =
      sim.Run(Main, kCommandGap * static_cast<double>(commands.size() + 2));

  FUZZ_CHECK(!result.exited, "the program ended");
  FUZZ_CHECK(sim.errorReports.empty(), sim.errorReports.front().description);
  FUZZ_CHECK(sim.files.empty(), "a failure was logged: " + sim.files.begin()->second);
  return 0;
}
