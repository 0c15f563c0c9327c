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
#include <thread>
#include <optional>
#include <string>
#include <vector>

namespace vellomar::e2e {

using namespace std::chrono_literals;

// A settings folder (XDG_CONFIG_HOME) of the test's own, holding the values under the program's
// key, with "path" naming the folder of the program and its movie.
class Settings {
 public:
  Settings();
  ~Settings();
  // A string value under HKEY_LOCAL_MACHINE's key of the program, as the store writes it.
  void Set(const std::string& name, const std::string& value);
  // The bytes of the value as stored, if any.
  std::optional<std::string> Stored(const std::string& name) const;
  const std::string& home() const { return home_; }

 private:
  void Write() const;
  std::string home_;
  std::vector<std::pair<std::string, std::string>> values_;
};

class Program {
 public:
  // env: variables set for the program beside the settings folder.
  Program(const Settings& settings, const std::vector<std::string>& args,
          const std::vector<std::pair<std::string, std::string>>& env = {});
  ~Program();  // kills the program if it still runs
  // The exit status once the program has ended within the time, else nothing.
  std::optional<int> WaitForExit(std::chrono::milliseconds timeout);
  pid_t pid() const { return pid_; }

 private:
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

 private:
  ::Display* display_;
};

// Real input through xdotool (XTEST): as a user's, it goes where focus and grabs send it.
void PressKey(const std::string& key);
void Click(int button);
void MovePointer(int x, int y);
void ClickAt(int x, int y);

}  // namespace vellomar::e2e
