// The language lookup: the input is the stored "language" text. Only the seven identifiers,
// exactly, give a row, and then the row of that identifier. Short inputs also go through the
// settings dialog, which reads the value from the registry and shows the row's caption.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "config/configuration.h"
#include "fuzz_check.h"
#include "runtime/platform_constants.h"
#include "runtime/sim/sim_platform.h"
#include "settings/language_table.h"
#include "settings/registry.h"
#include "startup/main.h"

namespace vellomar {
namespace {

using fuzz::Shown;

struct Expected {
  std::string_view identifier;
  std::string_view movieIndex;
};
constexpr Expected kRows[] = {{"1043", "1"}, {"1033", "2"}, {"1036", "3"}, {"1031", "4"},
                              {"1040", "5"}, {"1046", "6"}, {"3082", "7"}};

const Expected* ExpectedRow(std::string_view text) {
  for (const Expected& row : kRows) {
    if (row.identifier == text) return &row;
  }
  return nullptr;
}

void CheckLookup(std::string_view text) {
  const LanguageRow* row = LookUpLanguage(text);
  const Expected* expected = ExpectedRow(text);
  FUZZ_CHECK((row != nullptr) == (expected != nullptr), Shown(text));
  if (!row) return;
  FUZZ_CHECK(row->identifier == text && row->movieIndex == expected->movieIndex, Shown(text));
  FUZZ_CHECK(!row->dialogCaption.empty() && !row->flashNotice.empty(), Shown(text));
}

// The settings dialog with the bytes stored as the "language" value, as the installation writes
// it (ANSI, with its NUL): the movie gets a language and the window a caption only for a row.
void CheckDialog(const std::string& bytes) {
  sim::SimPlatform sim;
  sim.commandArgs = "/c";
  sim.registry().SetString(win::kHKeyLocalMachine, kSettingsKey, "path", "C:\\Saver");
  sim.registry().SetString(win::kHKeyLocalMachine, kSettingsKey, "language", bytes);
  std::string caption = "(not seen)";
  sim.At(0.5, [&] {
    const Configuration* form = Program::Current().Find<Configuration>();
    FUZZ_CHECK(form != nullptr, Shown(bytes));
    caption = sim.windows().Get(form->hWnd())->text;
  });
  sim.Run(Main, 1.0);

  const std::string read = sim.AnsiToUtf8(bytes.substr(0, bytes.find('\0')));
  const LanguageRow* row = LookUpLanguage(read);
  const sim::SimControl* movie = sim.LastControl(kFlashProgId);
  FUZZ_CHECK(movie != nullptr, Shown(bytes));
  std::vector<std::string> expectedCalls = {"Put 102 C:\\Saver\\vellomar.lak",
                                            "Invoke 151 music ", "Invoke 151 mouse "};
  if (row) expectedCalls.push_back("Invoke 151 language " + std::string(row->movieIndex));
  expectedCalls.push_back("Invoke 151 routine c");
  expectedCalls.push_back("Invoke 112");
  FUZZ_CHECK(movie->calls == expectedCalls, Shown(bytes));
  FUZZ_CHECK(caption == (row ? std::string(row->dialogCaption) : std::string()),
             Shown(bytes) + " gave the caption " + Shown(caption));
}

}  // namespace
}  // namespace vellomar

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  vellomar::CheckLookup(text);
  if (size <= 64) vellomar::CheckDialog(text);
  return 0;
}
