// The Linux program driven from outside through X: started with a settings file of the test's
// own, its windows found by name on the display, real input sent through the XTEST extension
// (xdotool), its end awaited.
#pragma once

// GoogleTest before Xlib, whose macros (None, Bool, Status) it would meet.
#include <gtest/gtest.h>
#include <X11/Xlib.h>
#include <sys/types.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <thread>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vellomar::e2e {

using namespace std::chrono_literals;

// Which player the program plays its movie in: the stand-in, which plays nothing but logs the
// page's calls and sends the commands a test asks for, or the real emulator.
enum class Player { kStandin, kEmulator };

// The colours the stand-in fills the stage with, by the movie's "routine".
inline constexpr unsigned long kStandinSaverColour = 0x183078;
inline constexpr unsigned long kStandinPreviewColour = 0x186438;
inline constexpr unsigned long kStandinSettingsColour = 0x782040;

// A settings folder (XDG_CONFIG_HOME) of the test's own, holding the values under the program's
// key, with "path" naming the folder of the built program and its movie. With the stand-in, the
// program runs from a copy in this folder (program/) whose player folder holds the stand-in, with
// the movie beside it as in the program's data folder.
class Settings {
 public:
  explicit Settings(Player player = Player::kStandin);
  ~Settings();
  // A string value under HKEY_LOCAL_MACHINE's key of the program, as the store writes it.
  void Set(const std::string& name, const std::string& value);
  // No settings file at all, as on a first run.
  void RemoveFile();
  // The bytes of the value as stored, if any.
  std::optional<std::string> Stored(const std::string& name) const;
  const std::string& home() const { return home_; }
  const std::string& program() const { return program_; }
  // Has the stand-in send the movie command, as the movie would.
  void SendCommand(const std::string& command, const std::string& args) const;

 private:
  void Write() const;
  std::string home_;
  std::string program_;
  std::vector<std::pair<std::string, std::string>> values_;
};

class Program {
 public:
  // env: variables set for the program beside the settings folder.
  Program(const Settings& settings, const std::vector<std::string>& args,
          const std::vector<std::pair<std::string, std::string>>& env = {});
  ~Program();  // kills the program if it still runs; shows its output when the test failed
  // The exit status once the program has ended within the time, else nothing.
  std::optional<int> WaitForExit(std::chrono::milliseconds timeout);
  pid_t pid() const { return pid_; }
  // What the program wrote to standard output and error so far.
  std::string Output() const;
  // How many processes started from this program (it and its web processes, which inherit its
  // environment) still run, wherever they were reparented.
  int ProcessesLeft() const;
  // The stand-in's log lines so far, "KIND TEXT" each.
  std::vector<std::string> PlayerLog() const;
  // Waits until the stand-in has logged this line.
  bool WaitForLog(const std::string& line, std::chrono::milliseconds timeout) const;

 private:
  std::string output_;
  // A variable set for this program alone, which its web processes inherit.
  std::string mark_;
  pid_t pid_ = -1;
  std::optional<int> status_;
};

class Display {
 public:
  Display();
  ~Display();
  ::Display* get() const { return display_; }
  int width() const;
  int height() const;
  // A mapped top-level window (or a client inside a frame) with this name, or 0.
  Window FindMapped(const std::string& name) const;
  Window WaitForMapped(const std::string& name, std::chrono::milliseconds timeout) const;
  // Mapped windows of the process, by _NET_WM_PID or by name when the window has none.
  int CountMapped(const std::string& name) const;
  XWindowAttributes Attributes(Window window) const;
  // A close as a window manager sends it: WM_DELETE_WINDOW.
  void RequestClose(Window window) const;
  // Waits until another client holds the keyboard.
  bool WaitForKeyboardGrab(std::chrono::milliseconds timeout) const;
  // A window of the test's own, mapped on the root.
  Window CreatePane(int width, int height) const;
  // The first mapped child of the window, or 0.
  Window MappedChild(Window parent) const;
  Window Parent(Window window) const;
  // Where the window's top left corner is on the screen.
  std::pair<int, int> Origin(Window window) const;
  // The screen's pixel there, as 0xRRGGBB.
  unsigned long PixelAt(int x, int y) const;
  bool WaitForPixel(int x, int y, unsigned long colour, std::chrono::milliseconds timeout) const;

 private:
  ::Display* display_;
};

// Starts an X server (its command without -displayfd); its pid and display name once it is up.
std::pair<pid_t, std::string> StartServer(std::vector<std::string> command);

// A display nested in a window on the test's display (Xephyr), whose screen takes the size of that
// window as a real screen takes a new mode, with the RandR events that come with it. DISPLAY names
// it while it lives.
class NestedDisplay {
 public:
  NestedDisplay(int width, int height);
  ~NestedDisplay();
  void Resize(int width, int height) const;

 private:
  std::string outer_;
  std::string name_;
  pid_t server_ = -1;
};

// Asks every 50 ms until the condition holds or the time is up; whether it held.
bool Eventually(const std::function<bool()>& condition, std::chrono::milliseconds timeout);
// A window's id as XScreenSaver passes it: "0x" and hex digits.
std::string HexId(Window window);

// Real input through xdotool (XTEST): as a user's, it goes where focus and grabs send it.
void PressKey(const std::string& key);
void Click(int button);
void MovePointer(int x, int y);
void ClickAt(int x, int y);

}  // namespace vellomar::e2e
