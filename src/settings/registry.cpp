#include "settings/registry.h"

#include <charconv>
#include <cstdint>

#include "runtime/platform_constants.h"

namespace vellomar {

namespace {

// ReadUserValue reads into a fixed buffer; larger values read as "".
constexpr std::uint32_t kUserValueBufferSize = 255;

std::uint8_t* Bytes(std::string& text) { return reinterpret_cast<std::uint8_t*>(text.data()); }
const std::uint8_t* Bytes(const std::string& text) {
  return reinterpret_cast<const std::uint8_t*>(text.data());
}

// Closes a key that was opened, on every way out of a read.
class OpenKey {
 public:
  OpenKey(Platform& platform, HKey key) : platform_(platform), key_(key) {}
  ~OpenKey() { platform_.RegCloseKey(key_); }
  OpenKey(const OpenKey&) = delete;
  OpenKey& operator=(const OpenKey&) = delete;

 private:
  Platform& platform_;
  HKey key_;
};

// A REG_DWORD's first four bytes, least significant first, held in single precision as the
// value always has been, and written with at least three digits. Four digits or more are kept
// whole rather than cut to a misleading prefix.
std::string DwordText(const std::string& buffer) {
  std::uint32_t number = 0;
  for (int at = 3; at >= 0; --at) {
    number = number * 256u + static_cast<unsigned char>(buffer[static_cast<std::size_t>(at)]);
  }
  const float single = static_cast<float>(number);
  char digits[24];
  const auto written = std::to_chars(digits, digits + sizeof digits, static_cast<double>(single),
                                     std::chars_format::fixed, 0);
  std::string text(digits, written.ptr);
  if (text.size() < 3) text.insert(0, 3 - text.size(), '0');
  return text;
}

}  // namespace

std::string RegistryReadValue(Platform& platform, HKey root, const std::string& subKey,
                              const std::string& valueName) {
  const std::string ansiSubKey = platform.Utf8ToAnsi(subKey);
  const std::string ansiName = platform.Utf8ToAnsi(valueName);
  HKey key = 0;
  if (platform.RegOpenKeyA(root, ansiSubKey, &key) != win::kErrorSuccess) return {};
  const OpenKey opened(platform, key);

  std::uint32_t type = 0;
  std::uint32_t size = 0;
  if (platform.RegQueryValueExA(key, ansiName, &type, nullptr, &size) != win::kErrorSuccess ||
      type != win::kRegSz) {
    return {};
  }
  std::string buffer(size, ' ');
  type = 0;
  if (platform.RegQueryValueExA(key, ansiName, &type, Bytes(buffer), &size) !=
      win::kErrorSuccess) {
    return {};
  }
  return platform.AnsiToUtf8(buffer.substr(0, buffer.find('\0')));
}

void RegistryWriteString(Platform& platform, HKey root, const std::string& subKey,
                         const std::string& valueName, const std::string& value) {
  const std::string ansiSubKey = platform.Utf8ToAnsi(subKey);
  const std::string ansiName = platform.Utf8ToAnsi(valueName);
  const std::string data = platform.Utf8ToAnsi(value);
  // No status is examined: a key that cannot be created stays 0, and the set and close on it
  // fail without effect.
  HKey key = 0;
  platform.RegCreateKeyA(root, ansiSubKey, &key);
  platform.RegSetValueExA(key, ansiName, 0, win::kRegSz, Bytes(data),
                          static_cast<std::uint32_t>(data.size()));
  platform.RegCloseKey(key);
}

std::string ReadUserValue(Platform& platform, HKey root, const std::string& subKey,
                          const std::string& valueName) {
  if (!win::IsPredefinedRoot(root)) return {};
  const std::string ansiSubKey = platform.Utf8ToAnsi(subKey);
  const std::string ansiName = platform.Utf8ToAnsi(valueName);
  HKey key = 0;
  if (platform.RegOpenKeyExA(root, ansiSubKey, 0, win::kKeyRead, &key) != win::kErrorSuccess) {
    return {};
  }
  const OpenKey opened(platform, key);

  std::string buffer(kUserValueBufferSize, ' ');
  std::uint32_t type = 0;
  std::uint32_t size = kUserValueBufferSize;
  if (platform.RegQueryValueExA(key, ansiName, &type, Bytes(buffer), &size) !=
          win::kErrorSuccess ||
      size == 0) {
    return {};
  }
  if (type == win::kRegDword) return DwordText(buffer);
  // The reported size counts a string's terminating NUL; the cut always drops one character.
  return platform.AnsiToUtf8(buffer.substr(0, size - 1));
}

}  // namespace vellomar
