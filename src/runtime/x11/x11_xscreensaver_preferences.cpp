#include "runtime/x11/x11_xscreensaver_preferences.h"

#include <sys/stat.h>

#include <optional>
#include <string_view>

#include "runtime/x11/x11_file_io.h"
#include "runtime/x11/x11_xscreensaver_list.h"

namespace vellomar::x11 {

namespace {

// XScreenSaver watches its preferences file and reloads it when it changes.
constexpr std::string_view kReloadHint = "; a running XScreenSaver notices and reloads it";

bool IsFolder(const std::string& path) {
  struct stat status {};
  return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

std::string WhyNoSystemList(const FileRead& defaults, const std::string& appDefaults) {
  switch (defaults.state) {
    case FileRead::State::Missing:
      return "XScreenSaver seems not to be installed (" + appDefaults + " is missing)";
    case FileRead::State::Unreadable:
      return "cannot read " + appDefaults;
    case FileRead::State::Read:
      break;
  }
  return appDefaults + " holds no programs list";
}

}  // namespace

CommandReport AddToXScreenSaver(const std::string& home, const std::string& appDefaults) {
  if (home.empty() || !IsFolder(home)) {
    return {false, "cannot find your home folder" + (home.empty() ? "" : " " + home)};
  }
  const std::string file = home + "/.xscreensaver";
  const FileRead preferences = ReadWholeFile(file);
  if (preferences.state == FileRead::State::Unreadable) {
    return {false, "cannot read " + file + "; it is left as it was"};
  }
  const bool exists = preferences.state == FileRead::State::Read;
  const std::string untouched = file + (exists ? " is left as it was" : " was not created");
  const FileRead defaults = ReadWholeFile(appDefaults);
  const ProgramsListChange change = AddToProgramsList(
      preferences.bytes, defaults.state == FileRead::State::Read
                             ? std::optional<std::string_view>(defaults.bytes)
                             : std::nullopt);
  const std::string entry = "\"" + std::string(kXScreenSaverEntry) + "\"";
  switch (change.outcome) {
    case ProgramsListChange::Outcome::NoSystemList:
      return {false, WhyNoSystemList(defaults, appDefaults) + "; " + untouched};
    case ProgramsListChange::Outcome::AlreadyListed:
      return {true, (exists ? file : appDefaults) + " already lists vellomar; nothing changed"};
    case ProgramsListChange::Outcome::Added:
      break;
  }
  if (!ReplaceFile(file, change.text)) return {false, "cannot write " + file + "; " + untouched};
  return {true, (exists ? "added " + entry + " to the programs of " + file
                        : "created " + file + " with the system's programs and " + entry) +
                    std::string(kReloadHint)};
}

}  // namespace vellomar::x11
