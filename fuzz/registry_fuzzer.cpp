// The three registry routines over values of any type and content on the in-memory registry:
// what each read returns follows from the stored type and bytes alone, no key stays open, and a
// write stores exactly the ANSI bytes of its text.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

#include "fuzz_check.h"
#include "runtime/platform_constants.h"
#include "runtime/sim/sim_platform.h"
#include "settings/registry.h"

namespace vellomar {
namespace {

using fuzz::Shown;

constexpr std::size_t kMaxBytes = 1024;

// Bytes that the ANSI code page leaves unassigned cannot come from any text.
bool IsAssignedAnsi(unsigned char byte) {
  return byte != 0x81 && byte != 0x8D && byte != 0x8F && byte != 0x90 && byte != 0x9D;
}

std::string AssignedAnsi(const std::string& bytes) {
  std::string ansi;
  for (const char c : bytes) {
    if (IsAssignedAnsi(static_cast<unsigned char>(c))) ansi += c;
  }
  return ansi;
}

HKey PickRoot(FuzzedDataProvider& in) {
  switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0:
      return win::kHKeyLocalMachine;
    case 1:
      return win::kHKeyCurrentUser;
    case 2:
      return win::kHKeyClassesRoot + in.ConsumeIntegralInRange<HKey>(0, 6);
    default:
      return in.ConsumeIntegral<HKey>();
  }
}

std::uint32_t PickType(FuzzedDataProvider& in) {
  const auto pick = in.ConsumeIntegral<std::uint8_t>();
  return pick < 240 ? pick % 12 : in.ConsumeIntegral<std::uint32_t>();
}

// The DWORD reading: the first four bytes of a 255-byte buffer of blanks that the value was
// copied into, least significant first, in single precision, at least three digits.
std::string DwordText(const std::string& bytes) {
  std::string buffer = bytes;
  buffer.resize(255, ' ');
  std::uint32_t number = 0;
  for (int at = 0; at < 4; ++at) {
    number |= static_cast<std::uint32_t>(static_cast<unsigned char>(buffer[at])) << (8 * at);
  }
  char text[48];
  std::snprintf(text, sizeof text, "%03.0f", static_cast<double>(static_cast<float>(number)));
  return text;
}

struct Registry {
  sim::SimPlatform sim;
  HKey root = 0;
  bool predefined = false;

  std::optional<sim::RegValue> Stored(const std::string& name) {
    return sim.registry().Value(root, kSettingsKey, name);
  }

  void CheckReads(const std::string& name) {
    const std::optional<sim::RegValue> stored = Stored(name);
    const std::string shown =
        stored ? std::to_string(stored->type) + " " + Shown(stored->bytes) : "(none)";

    const std::string read = RegistryReadValue(sim, root, kSettingsKey, name);
    FUZZ_CHECK(sim.registry().OpenHandleCount() == 0, "RegistryReadValue left a key open");
    FUZZ_CHECK(read.find('\0') == std::string::npos, shown + " read as " + Shown(read));
    std::string expected;
    if (stored && stored->type == win::kRegSz) {
      expected = sim.AnsiToUtf8(stored->bytes.substr(0, stored->bytes.find('\0')));
    }
    FUZZ_CHECK(read == expected, shown + " read as " + Shown(read));

    sim.ClearCalls();
    const std::string user = ReadUserValue(sim, root, kSettingsKey, name);
    FUZZ_CHECK(sim.registry().OpenHandleCount() == 0, "ReadUserValue left a key open");
    FUZZ_CHECK(predefined || sim.calls().empty(), "ReadUserValue called the registry");
    std::string expectedUser;
    if (predefined && stored && !stored->bytes.empty() && stored->bytes.size() <= 255) {
      expectedUser = stored->type == win::kRegDword
                         ? DwordText(stored->bytes)
                         : sim.AnsiToUtf8(stored->bytes.substr(0, stored->bytes.size() - 1));
    }
    FUZZ_CHECK(user == expectedUser, shown + " read by ReadUserValue as " + Shown(user));
  }

  // A write lands exactly when the root is predefined and the key is writable; anything else
  // leaves the whole registry as it was.
  void CheckWrite(const std::string& name, const std::string& text, const std::string& ansi) {
    const auto before = sim.registry().AllContents();
    const bool refused = sim.registry().machineReadOnly && root == win::kHKeyLocalMachine;
    RegistryWriteString(sim, root, kSettingsKey, name, text);
    FUZZ_CHECK(sim.registry().OpenHandleCount() == 0, "RegistryWriteString left a key open");
    if (!predefined || refused) {
      FUZZ_CHECK(sim.registry().AllContents() == before, "a refused write changed the registry");
      return;
    }
    const std::optional<sim::RegValue> stored = Stored(name);
    FUZZ_CHECK(stored && stored->type == win::kRegSz && stored->bytes == ansi,
               Shown(text) + " stored as " + (stored ? Shown(stored->bytes) : "(none)") +
                   ", expected " + Shown(ansi));
  }
};

}  // namespace
}  // namespace vellomar

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vellomar;
  FuzzedDataProvider in(data, size);
  Registry r;
  r.root = PickRoot(in);
  r.predefined = r.root >= win::kHKeyClassesRoot && r.root <= win::kHKeyDynData;
  r.sim.registry().machineReadOnly = in.ConsumeBool();
  const bool keyExists = in.ConsumeBool();
  const bool valueExists = in.ConsumeBool();
  const std::uint32_t type = PickType(in);
  const std::string bytes = in.ConsumeRandomLengthString(kMaxBytes);
  const std::string ansiText = AssignedAnsi(in.ConsumeRandomLengthString(kMaxBytes));
  const std::string anyText = in.ConsumeRemainingBytesAsString();

  if (keyExists) {
    // The installation made the key; a read-only machine hive still holds what it had.
    r.sim.registry().SetString(r.root, kSettingsKey, "path", "C:\\Saver");
  }
  if (valueExists) r.sim.registry().SetValue(r.root, kSettingsKey, "music", type, bytes);
  r.CheckReads("music");
  // Value names do not depend on case.
  const std::string upper = RegistryReadValue(r.sim, r.root, kSettingsKey, "MUSIC");
  FUZZ_CHECK(upper == RegistryReadValue(r.sim, r.root, kSettingsKey, "music"), Shown(upper));

  // Text that the ANSI code page can carry comes back up to its first NUL, and its bytes are
  // stored exactly, without a terminating NUL.
  const std::string text = r.sim.AnsiToUtf8(ansiText);
  r.CheckWrite("mouse", text, ansiText);
  r.CheckReads("mouse");
  const auto stored = r.Stored("mouse");
  if (stored && stored->bytes == ansiText) {
    const std::string back = RegistryReadValue(r.sim, r.root, kSettingsKey, "mouse");
    FUZZ_CHECK(back == text.substr(0, text.find('\0')), Shown(text) + " came back as " +
                                                            Shown(back));
  }

  // Any other text is stored as its ANSI form, whatever the code page could not carry.
  r.CheckWrite("music", anyText, r.sim.Utf8ToAnsi(anyText));
  r.CheckReads("music");
  return 0;
}
