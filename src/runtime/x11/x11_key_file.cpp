#include "runtime/x11/x11_key_file.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <optional>
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

KeyFile KeyFile::Parse(const std::string& text) {
  KeyFile file;
  std::string currentKey;
  for (std::size_t start = 0; start < text.size();) {
    Line line;
    const std::size_t end = text.find('\n', start);
    if (end == std::string::npos) {
      line.text = text.substr(start);
      start = text.size();
    } else {
      const bool crlf = end > start && text[end - 1] == '\r';
      line.text = text.substr(start, end - start - (crlf ? 1 : 0));
      line.end = crlf ? "\r\n" : "\n";
      start = end + 1;
    }
    if (file.lines_.empty() && !line.end.empty()) file.lineEnd_ = line.end;
    if (!file.ReadLine(line, currentKey)) file.unreadableLines_.push_back(file.lines_.size() + 1);
    file.lines_.push_back(std::move(line));
  }
  return file;
}

bool KeyFile::ReadLine(Line& line, std::string& currentKey) {
  const std::string_view text = line.text;
  if (text.empty() || text.front() == ';' || text.front() == '#') return true;
  if (text.front() == '[') {
    const auto path = text.back() == ']' && text.size() > 2
                          ? Unescape(text.substr(1, text.size() - 2))
                          : std::nullopt;
    // The values below a header that cannot be read belong to no key that is known.
    currentKey = path ? FoldCase(*path) : "";
    if (!path) return false;
    StoredKey& key = keys_[currentKey];
    if (key.path.empty()) key.path = *path;
    line.kind = Line::Kind::Header;
    line.key = currentKey;
    return true;
  }
  const std::size_t equals = text.find('=');
  const std::size_t colon = text.find(':', equals);
  if (currentKey.empty() || colon == std::string_view::npos) return false;
  auto name = Unescape(text.substr(0, equals));
  const auto type = ParseType(text.substr(equals + 1, colon - equals - 1));
  auto bytes = Unescape(text.substr(colon + 1));
  if (!name || !type || !bytes) return false;
  line.kind = Line::Kind::Value;
  line.key = currentKey;
  line.name = FoldCase(*name);
  keys_[currentKey].values[line.name] = StoredValue{std::move(*name), *type, std::move(*bytes)};
  return true;
}

void KeyFile::InsertLine(std::size_t at, Line line) {
  if (at > 0 && lines_[at - 1].end.empty()) lines_[at - 1].end = lineEnd_;
  line.end = lineEnd_;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
}

std::size_t KeyFile::LastLineOf(const std::string& foldedKey) const {
  const auto last = std::find_if(lines_.rbegin(), lines_.rend(), [&](const Line& line) {
    return line.kind != Line::Kind::Other && line.key == foldedKey;
  });
  return static_cast<std::size_t>(lines_.rend() - last) - 1;
}

void KeyFile::AddKey(const std::string& path) {
  const std::string folded = FoldCase(path);
  if (keys_.count(folded) > 0) return;
  if (lines_.empty()) {
    // A new file says how it is read.
    InsertLine(0, {Line::Kind::Other,
                   "; Registry keys as [path], then name=type:data; bytes outside printable "
                   "ASCII and"});
    InsertLine(1, {Line::Kind::Other, "; % = [ ] ; # are written %HH."});
  }
  InsertLine(lines_.size(), {});
  InsertLine(lines_.size(), {Line::Kind::Header, "[" + Escape(path) + "]", folded});
  keys_[folded].path = path;
}

void KeyFile::SetValue(const std::string& keyPath, StoredValue value) {
  AddKey(keyPath);
  const std::string key = FoldCase(keyPath);
  const std::string name = FoldCase(value.name);
  auto& values = keys_.at(key).values;
  if (const auto old = values.find(name); old != values.end()) value.name = old->second.name;
  std::string text = Escape(value.name) + "=" + TypeText(value.type) + ":" + Escape(value.bytes);
  values[name] = std::move(value);
  // Of several lines for the value, the last is the one read.
  const auto old = std::find_if(lines_.rbegin(), lines_.rend(), [&](const Line& line) {
    return line.kind == Line::Kind::Value && line.key == key && line.name == name;
  });
  if (old != lines_.rend()) {
    old->text = std::move(text);
  } else {
    InsertLine(LastLineOf(key) + 1, {Line::Kind::Value, std::move(text), key, name});
  }
}

std::string KeyFile::Text() const {
  std::string text;
  for (const Line& line : lines_) text += line.text + line.end;
  return text;
}

}  // namespace vellomar::x11
