#include "runtime/x11/x11_xscreensaver_list.h"

#include <algorithm>
#include <vector>

namespace vellomar::x11 {

namespace {

constexpr std::size_t npos = std::string_view::npos;
constexpr std::string_view kBlanks = " \t";
constexpr std::string_view kSeparator = "\\n";
constexpr std::string_view kVisualNameLetters =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_-";

struct Line {
  std::size_t begin = 0;
  std::size_t end = 0;  // before its newline
};

// After a final newline comes an empty last line, into which a value continued there runs.
std::vector<Line> LinesOf(std::string_view text) {
  std::vector<Line> lines;
  for (std::size_t begin = 0;;) {
    const std::size_t end = std::min(text.find('\n', begin), text.size());
    lines.push_back({begin, end});
    if (end == text.size()) return lines;
    begin = end + 1;
  }
}

std::string_view TextOf(std::string_view text, const Line& line) {
  return text.substr(line.begin, line.end - line.begin);
}

// An odd number of backslashes ends a line whose value goes on; of an even number, the last is
// an escaped backslash.
bool Continues(std::string_view line) {
  const std::size_t kept = line.find_last_not_of('\\');
  return (line.size() - (kept == npos ? 0 : kept + 1)) % 2 == 1;
}

std::string_view WithoutContinuation(std::string_view line) {
  return Continues(line) ? line.substr(0, line.size() - 1) : line;
}

std::string_view TrimmedLeft(std::string_view text) {
  const std::size_t first = text.find_first_not_of(kBlanks);
  return first == npos ? std::string_view() : text.substr(first);
}

std::string_view TrimmedRight(std::string_view text) {
  return text.substr(0, text.find_last_not_of(kBlanks) + 1);
}

// An entry from its command on: past a "-" (disabled) and a visual ("GL:", "default-n:").
std::string_view CommandOf(std::string_view entry) {
  entry = TrimmedLeft(entry);
  if (entry.starts_with('-')) entry = TrimmedLeft(entry.substr(1));
  const std::size_t colon = entry.find_first_not_of(kVisualNameLetters);
  if (colon != npos && colon > 0 && entry[colon] == ':') entry = TrimmedLeft(entry.substr(colon + 1));
  return entry;
}

// By name or by path.
bool RunsVellomar(std::string_view entry) {
  const std::string_view command = CommandOf(entry);
  const std::string_view program = command.substr(0, command.find_first_of(kBlanks));
  const std::size_t slash = program.rfind('/');
  return program.substr(slash == npos ? 0 : slash + 1) == "vellomar";
}

struct Resource {
  std::size_t firstLine = 0;
  std::size_t lastLine = 0;
  std::size_t valueBegin = 0;  // in the text, just after the colon
};

// "programs", "*programs", "XScreenSaver.programs"; blanks may come before the colon.
bool IsProgramsName(std::string_view name) {
  name = TrimmedRight(name);
  const std::size_t component = name.find_last_of(".*");
  return name.substr(component == npos ? 0 : component + 1) == "programs";
}

// The last programs resource of the text, as a later one overrides an earlier one.
std::optional<Resource> FindPrograms(std::string_view text, const std::vector<Line>& lines) {
  std::optional<Resource> found;
  for (std::size_t first = 0; first < lines.size(); ++first) {
    const std::string_view line = TextOf(text, lines[first]);
    const std::string_view name = TrimmedLeft(line);
    if (name.empty() || name.starts_with('!') || name.starts_with('#')) continue;
    std::size_t last = first;
    while (last + 1 < lines.size() && Continues(TextOf(text, lines[last]))) ++last;
    const std::size_t colon = name.find(':');
    if (colon != npos && IsProgramsName(name.substr(0, colon))) {
      found = Resource{first, last, lines[first].begin + (line.size() - name.size()) + colon + 1};
    }
    first = last;
  }
  return found;
}

// The part of a resource's line that belongs to its value.
std::string_view ValuePart(std::string_view text, const std::vector<Line>& lines,
                           const Resource& resource, std::size_t line) {
  const std::size_t begin = line == resource.firstLine ? resource.valueBegin : lines[line].begin;
  return text.substr(begin, lines[line].end - begin);
}

bool ListsVellomar(std::string_view text, const std::vector<Line>& lines,
                   const Resource& programs) {
  std::string value;
  for (std::size_t line = programs.firstLine; line <= programs.lastLine; ++line) {
    value += WithoutContinuation(ValuePart(text, lines, programs, line));
  }
  for (std::size_t begin = 0; begin <= value.size();) {
    const std::size_t end = std::min(value.find(kSeparator, begin), value.size());
    if (RunsVellomar(std::string_view(value).substr(begin, end - begin))) return true;
    begin = end + kSeparator.size();
  }
  return false;
}

// Columns count tabs to the next multiple of 8.
std::size_t ColumnAfter(std::string_view text) {
  std::size_t column = 0;
  for (const char c : text) column = c == '\t' ? (column / 8 + 1) * 8 : column + 1;
  return column;
}

std::string Blanks(std::size_t from, std::size_t to, bool tabs) {
  std::string blanks;
  for (; tabs && (from / 8 + 1) * 8 <= to; from = (from / 8 + 1) * 8) blanks += '\t';
  return blanks + std::string(to > from ? to - from : 0, ' ');
}

// Where an entry's command and its separator start, and whether its blanks hold tabs; the
// defaults are XScreenSaver's own layout, for a list with no entry to copy it from.
struct Layout {
  std::size_t commandColumn = 32;
  std::size_t separatorColumn = 76;  // 0: the entry has none
  bool tabs = true;
};

Layout LayoutOfLastEntry(std::string_view text, const std::vector<Line>& lines,
                         const Resource& programs) {
  for (std::size_t line = programs.lastLine + 1; line-- > programs.firstLine;) {
    const std::string_view entry =
        TrimmedLeft(WithoutContinuation(ValuePart(text, lines, programs, line)));
    if (entry.empty() || entry.starts_with(kSeparator)) continue;
    const std::string_view whole = TextOf(text, lines[line]);
    const std::size_t separator = whole.rfind(kSeparator);
    return Layout{ColumnAfter(whole.substr(0, CommandOf(entry).data() - whole.data())),
                  separator == npos ? 0 : ColumnAfter(whole.substr(0, separator)),
                  whole.find('\t') != npos};
  }
  return Layout{};
}

// Our entry, ending in its separator, with no continuation yet.
std::string EntryLine(const Layout& layout) {
  const std::size_t commandEnd = layout.commandColumn + kXScreenSaverEntry.size();
  const std::string padding = commandEnd < layout.separatorColumn
                                  ? Blanks(commandEnd, layout.separatorColumn, layout.tabs)
                                  : " ";
  return Blanks(0, layout.commandColumn, layout.tabs) + std::string(kXScreenSaverEntry) + padding +
         std::string(kSeparator);
}

std::string WithEntryAdded(std::string_view text, const std::vector<Line>& lines,
                           const Resource& programs) {
  const Line& last = lines[programs.lastLine];
  const std::string_view value = ValuePart(text, lines, programs, programs.lastLine);
  const std::string entry = EntryLine(LayoutOfLastEntry(text, lines, programs));
  std::string result(text);
  if (Continues(value)) {
    // The value runs into the end of the text, and goes on doing so after the new entry.
    result.insert(last.end, "\n" + entry + "\\");
  } else if (programs.lastLine != programs.firstLine && TrimmedLeft(value).empty()) {
    // XScreenSaver's layout: every entry continued, and a blank line ends the value.
    result.insert(last.begin, entry + "\\\n");
  } else {
    // The last entry, or the name of an empty list, ends the value: it is continued, and
    // separated when it is an entry without a separator.
    const std::string_view kept = TrimmedRight(value);
    const bool separated = kept.empty() || kept.ends_with(kSeparator);
    result.insert(last.end, std::string(separated ? "" : kSeparator) + "\\\n" + entry);
  }
  return result;
}

// The system's "*programs:" as a resource of a user's file: "programs:" and its value, line by
// line as it is.
std::optional<std::string> CopiedProgramsResource(std::string_view systemDefaults) {
  const std::vector<Line> lines = LinesOf(systemDefaults);
  const std::optional<Resource> programs = FindPrograms(systemDefaults, lines);
  if (!programs) return std::nullopt;
  const std::size_t end = lines[programs->lastLine].end;
  return "programs:" +
         std::string(systemDefaults.substr(programs->valueBegin, end - programs->valueBegin)) +
         "\n";
}

}  // namespace

ProgramsListChange AddToProgramsList(std::string_view preferences,
                                     std::optional<std::string_view> systemDefaults) {
  using Outcome = ProgramsListChange::Outcome;
  const std::vector<Line> lines = LinesOf(preferences);
  if (const std::optional<Resource> programs = FindPrograms(preferences, lines)) {
    if (ListsVellomar(preferences, lines, *programs)) return {Outcome::AlreadyListed, {}};
    return {Outcome::Added, WithEntryAdded(preferences, lines, *programs)};
  }
  const std::optional<std::string> copied =
      systemDefaults ? CopiedProgramsResource(*systemDefaults) : std::nullopt;
  if (!copied) return {Outcome::NoSystemList, {}};
  ProgramsListChange change = AddToProgramsList(*copied, std::nullopt);
  if (change.outcome == Outcome::Added && !preferences.empty()) {
    // After a blank line, as XScreenSaver separates its groups of resources.
    change.text = std::string(preferences) + (preferences.ends_with('\n') ? "\n" : "\n\n") +
                  change.text;
  }
  return change;
}

}  // namespace vellomar::x11
