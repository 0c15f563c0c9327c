// The text form of registry keys on Linux: "[key path]" lines, each followed by its values as
// "name=type:data" lines. Names and data keep their exact bytes: a byte outside printable ASCII,
// or one of % = [ ] ; #, is written as %HH. Lines may end in LF or CR LF.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "runtime/registry_model.h"

namespace vellomar::x11 {

struct StoredValue {
  std::string name;  // as first written
  std::uint32_t type = 0;
  std::string bytes;
};

struct StoredKey {
  std::string path;                           // "HKEY_LOCAL_MACHINE\SOFTWARE\...", as first written
  std::map<std::string, StoredValue> values;  // by folded name
};

using StoredKeys = std::map<std::string, StoredKey>;  // by folded path

// A key file as its lines. A change rewrites or adds only the value and key lines it needs, so
// that comments, blank lines and lines that cannot be read stay as they were, where they were.
class KeyFile {
 public:
  // Takes every line it can read; one it cannot (a value outside any key, a bad escape, a header
  // without its bracket, ...) is skipped and listed.
  static KeyFile Parse(const std::string& text);

  const StoredKeys& Keys() const { return keys_; }
  // The numbers, from 1, of the lines skipped.
  const std::vector<std::size_t>& UnreadableLines() const { return unreadableLines_; }

  // Adds the key at the end of the file, unless it is there.
  void AddKey(const std::string& path);
  // Rewrites the value's line, else adds one at the end of its key's last section (adding the
  // key when missing). A key or value already present keeps its name as first written.
  void SetValue(const std::string& keyPath, StoredValue value);
  // The text parsed, byte for byte, with the changes made since.
  std::string Text() const;

 private:
  struct Line {
    enum class Kind { Other, Header, Value };
    Line() = default;
    Line(Kind kind, std::string text, std::string key = {}, std::string name = {})
        : kind(kind), text(std::move(text)), key(std::move(key)), name(std::move(name)) {}
    Kind kind = Kind::Other;
    std::string text;  // without its line end
    std::string key;   // a header's or a value's folded key path
    std::string name;  // a value's folded name
    std::string end;   // "\n", "\r\n", or nothing on a last line
  };
  // Takes what the line says into keys_; false when it cannot be read. currentKey is the folded
  // path of the key the lines above opened, empty when none could be read.
  bool ReadLine(Line& line, std::string& currentKey);
  // Ends the line before with the file's line end, as the new line.
  void InsertLine(std::size_t at, Line line);
  // The index of the folded key's last header or value line; the key must be in the file.
  std::size_t LastLineOf(const std::string& foldedKey) const;

  std::vector<Line> lines_;
  StoredKeys keys_;
  std::vector<std::size_t> unreadableLines_;
  std::string lineEnd_ = "\n";  // the first line's, for the lines added
};

}  // namespace vellomar::x11
