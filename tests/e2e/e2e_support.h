// What the end-to-end tests share: starting the real vellomar.scr as a process of the same Wine
// session, waiting for its windows and its end, the settings in the real registry, the stand-in
// control's call log and request file, and timing. Every wait pumps this thread's messages, so a
// pane window that a test owns keeps answering while the program works on it.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace e2e {

// ---- time ----

double NowMs();
// Runs this thread's message loop for about ms milliseconds.
void Pump(DWORD ms);
// Pumps messages until done() holds or timeoutMs passed; returns done().
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs);
double Median(std::vector<double> samples);
// Prints "<what>: median <m> ms over <n> runs (<samples>)" and records it for the XML report.
void ReportMedian(const char* what, const std::vector<double>& samples);

// ---- text and files ----

std::wstring Widen(const std::string& utf8);
std::string Narrow(const std::wstring& wide);
// A new empty folder under the temporary folder; removed, with its files, by RemoveFolder.
std::wstring MakeFolder(const wchar_t* tag);
void RemoveFolder(const std::wstring& folder);
// The whole file as bytes; nothing when it does not exist.
std::optional<std::string> ReadBytes(const std::wstring& file);

// ---- the program ----

// vellomar.scr, beside this test program.
std::wstring ProgramPath();
// Another program beside this one, by file name.
std::wstring SiblingPath(const std::wstring& fileName);

using Environment = std::vector<std::pair<std::wstring, std::wstring>>;

// One start of vellomar.scr. A process still running when this goes is terminated, so that a
// failed test leaves no saver behind for the next one.
class Process {
 public:
  // Starts "vellomar.scr <args>" (or another program) with this environment plus the given
  // variables (an empty value removes a variable). Start time is taken just before
  // CreateProcessW.
  Process(const std::wstring& args, const Environment& extra = {},
          const std::wstring& program = ProgramPath());
  ~Process();
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;

  bool started() const { return info_.hProcess != nullptr; }
  HANDLE handle() const { return info_.hProcess; }
  DWORD id() const { return info_.dwProcessId; }
  double startMs() const { return startMs_; }
  bool Running() const;
  // Waits, pumping messages, for the end; returns false on time-out. exitMs() is when it was seen.
  bool WaitForExit(DWORD timeoutMs);
  double exitMs() const { return exitMs_; }
  std::optional<DWORD> ExitCode() const;

 private:
  PROCESS_INFORMATION info_{};
  double startMs_ = 0;
  double exitMs_ = 0;
};

// ---- windows ----

std::wstring ClassOf(HWND window);
std::wstring TextOf(HWND window);
LONG_PTR ExStyleOf(HWND window);
RECT WindowRect(HWND window);
RECT ClientRect(HWND window);
bool SameRect(const RECT& a, const RECT& b);
// The process's top-level windows, in z-order (top first), visible or not.
std::vector<HWND> TopLevelWindows(DWORD processId);
// The process's top-level windows of our form class (visible or hidden).
std::vector<HWND> FormWindows(DWORD processId);
// The first top-level window of the process that matches; null when none.
HWND FindTopLevel(DWORD processId, const std::function<bool(HWND)>& match);
// Waits for a top-level window of the process with this class and, when given, this caption.
HWND WaitForWindow(DWORD processId, const std::wstring& windowClass,
                   const std::optional<std::wstring>& caption, DWORD timeoutMs);
// The input guard of a full-screen run, once it exists and is visible.
HWND WaitForGuard(const Process& process, DWORD timeoutMs = 10000);
// Raises the process's visible top-most windows, keeping their order, as a window manager would.
// Wine without one stacks its windows on the display in the order they were shown, so a window
// shown later covers top-most ones there, though not in the system's own order.
void RaiseTopMostWindows(DWORD processId);
// Every top-level window of our form class, of any process.
std::vector<HWND> AllFormWindows();
// Ids of the running processes whose program file has this name (case-insensitive).
std::vector<DWORD> ProcessesNamed(const std::wstring& exeName);
// A message box of the process: its text, and a way to press its button.
HWND WaitForMessageBox(const Process& process, DWORD timeoutMs = 10000);
std::wstring MessageBoxText(HWND box);
void DismissMessageBox(HWND box);

inline constexpr wchar_t kFormClass[] = L"VellomarForm";
inline constexpr wchar_t kPictureClass[] = L"VellomarPicture";
inline constexpr wchar_t kGuardCaption[] = L"Screen Saver Main Form";
inline constexpr wchar_t kMovieWindowCaption[] = L"Form1";
// What the stand-in control paints behind its text in the full-screen and settings routines.
inline constexpr COLORREF kStandinSaverColour = RGB(24, 48, 120);
inline constexpr COLORREF kStandinSettingsColour = RGB(120, 32, 64);

// A stand-in for the Display control panel: a captioned window with a preview pane in it, owned
// by this thread. Destroyed with this object.
class PreviewPane {
 public:
  static constexpr int kWidth = 152;
  static constexpr int kHeight = 112;
  PreviewPane();
  ~PreviewPane();
  PreviewPane(const PreviewPane&) = delete;
  PreviewPane& operator=(const PreviewPane&) = delete;
  HWND pane() const { return pane_; }
  // The pane's number as the control panel passes it.
  std::wstring Number() const;
  HWND Child() const { return GetWindow(pane_, GW_CHILD); }
  // Waits until a visible child window of the process fills the pane's client area.
  HWND WaitForChildOf(const Process& process, DWORD timeoutMs) const;

 private:
  HWND dialog_ = nullptr;
  HWND pane_ = nullptr;
};

// ---- screenshots ----

// What the screen shows in an area of screen coordinates, copied when this is made.
class Screenshot {
 public:
  explicit Screenshot(const RECT& area);
  // The colour at a point of the screen inside the area.
  COLORREF At(int x, int y) const;

 private:
  RECT area_;
  std::vector<std::uint32_t> pixels_;  // top-down rows of 0x00RRGGBB
};

// ---- the error log ----

// The local time now, as a file time.
FILETIME LocalNow();
// Every date-and-time text (the user's short date, a blank, the long time) of the seconds between
// two local times, a second either side: what a line of error.log written between them begins with.
std::set<std::string> DateTimeTexts(const FILETIME& from, const FILETIME& to);
// The text's lines, each with its CR LF; a last piece without one counts as a line too.
std::vector<std::string> LinesWithEnds(const std::string& text);

// ---- the registry ----

// A value as RegQueryValueExA returns it: type and data bytes, exactly.
struct RegValue {
  DWORD type = REG_NONE;
  std::string bytes;
  bool operator==(const RegValue&) const = default;
};

inline constexpr char kSettingsKey[] = "SOFTWARE\\Starloom\\Vellomar Screensaver";
inline constexpr char kDesktopKey[] = "Control Panel\\Desktop";

// Under HKEY_LOCAL_MACHINE each of these works in the registry's 32-bit view, the program's.
// Writes text as REG_SZ through the ANSI entry point, with its terminating NUL, as an installer
// would; DeleteValue removes the value. Both under root\key, which is created when missing.
void WriteText(HKEY root, const char* key, const char* name, const std::string& text);
void DeleteValue(HKEY root, const char* key, const char* name);
// The settings most tests start from: the install folder, English, music "1", a threshold of 3
// moves, and no desktop password flag.
void WriteUsualSettings(const std::wstring& installFolder);
// Stores exactly this type and these bytes; the key is created when missing.
void WriteValue(HKEY root, const char* key, const char* name, const RegValue& value);
// Removes a key that has no subkeys, with its values.
void DeleteKey(HKEY root, const char* key);
std::optional<RegValue> ReadValue(HKEY root, const char* key, const char* name);

// The program's settings ("path", "language", "music", "mouse") and the desktop password flag,
// restored to what they were when a test started.
class SettingsGuard {
 public:
  SettingsGuard();
  ~SettingsGuard();
  SettingsGuard(const SettingsGuard&) = delete;
  SettingsGuard& operator=(const SettingsGuard&) = delete;

 private:
  struct Saved {
    HKEY root;
    const char* key;
    const char* name;
    std::optional<RegValue> value;
  };
  std::vector<Saved> saved_;
};

// ---- the stand-in movie control ----

// A private call log and request file for the stand-in control in one started program.
class Standin {
 public:
  explicit Standin(const std::wstring& folder);
  // VELLOMAR_STANDIN_LOG, _COMMANDS, _FAIL (empty when nothing should fail) and _MODE (empty
  // for the strictest kind of control).
  Environment Env(const std::wstring& fail = L"", const std::wstring& mode = L"") const;
  std::vector<std::string> LogLines() const;
  bool Logged(const std::string& line) const;
  // Asks the control to fire FSCommand for each (command, args), in order.
  void Send(const std::vector<std::pair<std::string, std::string>>& commands) const;

 private:
  std::wstring log_;
  std::wstring commands_;
};

// Posts a key press (key down, then key up) to a window.
void PostKey(HWND window, WORD virtualKey);
// Presses and releases a key as the user would: to whatever window has the keyboard.
void TypeKey(WORD virtualKey);
// Whether the cursor shows on the desktop now.
bool CursorShowing();

}  // namespace e2e
