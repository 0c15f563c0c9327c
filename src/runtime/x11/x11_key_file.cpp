#include "runtime/x11/x11_key_file.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <string_view>

#include "runtime/platform_constants.h"

namespace vellomar::x11 {

namespace {

struct TypeName {
  std::uint32_t type;
  std::string_view name;
};
constexpr TypeName kTypeNames[] = {
    {win::kRegNone, "none"},     {win::kRegSz, "sz"},       {win::kRegExpandSz, "expand_sz"},
    {win::kRegBinary, "binary"}, {win::kRegDword, "dword"}, {win::kRegMultiSz, "multi_sz"}};

constexpr char kHexDigits[] = "0123456789ABCDEF";

std::string Escape(std::string_view bytes) {
  std::string text;
  for (const unsigned char byte : bytes) {
    if (byte < 0x20 || byte >= 0x7F || std::strchr("%=[];#", byte)) {
      text += '%';
      text += kHexDigits[byte >> 4];
      text += kHexDigits[byte & 0xF];
    } else {
      text += static_cast<char>(byte);
    }
  }
  return text;
}

int HexValue(char digit) {
  if (digit >= '0' && digit <= '9') return digit - '0';
  if (digit >= 'A' && digit <= 'F') return digit - 'A' + 10;
  if (digit >= 'a' && digit <= 'f') return digit - 'a' + 10;
  return -1;
}

// Raw bytes from 0x80 are taken as they are, so a hand-written UTF-8 path reads back exactly;
// a raw control byte is damage.
std::optional<std::string> Unescape(std::string_view text) {
  std::string bytes;
  for (std::size_t at = 0; at < text.size(); ++at) {
    const auto byte = static_cast<unsigned char>(text[at]);
    if (byte < 0x20 || byte == 0x7F) return std::nullopt;
    if (byte != '%') {
      bytes += static_cast<char>(byte);
      continue;
    }
    if (at + 2 >= text.size()) return std::nullopt;
    const int high = HexValue(text[at + 1]);
    const int low = HexValue(text[at + 2]);
    if (high < 0 || low < 0) return std::nullopt;
    bytes += static_cast<char>(high * 16 + low);
    at += 2;
  }
  return bytes;
}

std::string TypeText(std::uint32_t type) {
  for (const auto& known : kTypeNames) {
    if (known.type == type) return std::string(known.name);
  }
  return std::to_string(type);
}

std::optional<std::uint32_t> ParseType(std::string_view text) {
  for (const auto& known : kTypeNames) {
    if (known.name == text) return known.type;
  }
  std::uint32_t type = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), type);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return type;
}

}  // namespace

std::string FoldCase(std::string text) {
  // ASCII only, whatever the locale: the same file must fold the same way for every process.
  std::transform(text.begin(), text.end(), text.begin(), [](char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  });
  return text;
}

std::string FormatKeyFile(const StoredKeys& keys) {
  std::string text =
      "; Registry keys as [path], then name=type:data; bytes outside printable ASCII and\n"
      "; % = [ ] ; # are written %HH.\n";
  for (const auto& [folded, key] : keys) {
    text += "\n[" + Escape(key.path) + "]\n";
    for (const auto& [foldedName, value] : key.values) {
      text += Escape(value.name) + "=" + TypeText(value.type) + ":" + Escape(value.bytes) + "\n";
    }
  }
  return text;
}

std::optional<StoredKeys> ParseKeyFile(const std::string& text) {
  StoredKeys keys;
  StoredKey* current = nullptr;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string_view line(text.data() + start, end - start);
    start = end + 1;
    if (line.empty() || line.front() == ';' || line.front() == '#') continue;
    if (line.front() == '[') {
      const auto path = line.back() == ']' && line.size() > 2
                            ? Unescape(line.substr(1, line.size() - 2))
                            : std::nullopt;
      if (!path) return std::nullopt;
      current = &keys[FoldCase(*path)];
      if (current->path.empty()) current->path = *path;
      continue;
    }
    const std::size_t equals = line.find('=');
    const std::size_t colon = line.find(':', equals);
    if (!current || colon == std::string_view::npos) return std::nullopt;
    auto name = Unescape(line.substr(0, equals));
    const auto type = ParseType(line.substr(equals + 1, colon - equals - 1));
    auto bytes = Unescape(line.substr(colon + 1));
    if (!name || !type || !bytes) return std::nullopt;
    const std::string folded = FoldCase(*name);
    current->values[folded] = StoredValue{std::move(*name), *type, std::move(*bytes)};
  }
  return keys;
}

}  // namespace vellomar::x11
