#include "x11_e2e_support.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <stdlib.h>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string_view>
#include <thread>
#include <tuple>

namespace vellomar::e2e {

namespace {

constexpr char kKey[] = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Starloom\\Vellomar Screensaver]";

// The program and its movie are built side by side.
std::string ProgramFolder() { return VELLOMAR_E2E_PROGRAM_DIR; }

void Run(const std::string& command) {
  if (std::system(command.c_str()) != 0) throw std::runtime_error("failed: " + command);
}

}  // namespace

std::pair<pid_t, std::string> StartServer(std::vector<std::string> command) {
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) throw std::runtime_error("no pipe");
  const std::string fd = std::to_string(pipeEnds[1]);
  for (const char* option : {"-displayfd", fd.c_str(), "-nolisten", "tcp"}) {
    command.emplace_back(option);
  }
  const pid_t server = fork();
  if (server == 0) {
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    close(pipeEnds[0]);
    std::vector<char*> argv;
    for (std::string& arg : command) argv.push_back(arg.data());
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  close(pipeEnds[1]);
  // The number and then a newline, in writes of their own; the server fails if the pipe closes
  // before the newline is written.
  std::string number;
  char c = 0;
  while (read(pipeEnds[0], &c, 1) == 1 && c != '\n') number += c;
  close(pipeEnds[0]);
  if (number.empty()) throw std::runtime_error(command[0] + " did not start");
  return {server, ":" + number};
}

NestedDisplay::NestedDisplay(int width, int height) : outer_(std::getenv("DISPLAY")) {
  const std::string size = std::to_string(width) + "x" + std::to_string(height);
  std::tie(server_, name_) = StartServer({"Xephyr", "-resizeable", "-screen", size});
  setenv("DISPLAY", name_.c_str(), 1);
}

NestedDisplay::~NestedDisplay() {
  setenv("DISPLAY", outer_.c_str(), 1);
  kill(server_, SIGTERM);
  waitpid(server_, nullptr, 0);
}

void NestedDisplay::Resize(int width, int height) const {
  // The only one on the test's own display; its title need not name the display it chose.
  Run("DISPLAY=" + outer_ + " xdotool search --sync --name '^Xephyr' windowsize " +
      std::to_string(width) + " " + std::to_string(height));
}

namespace {

// The window's children, bottom to top, and its parent.
std::vector<Window> Children(::Display* display, Window window, Window* parent = nullptr) {
  Window root = 0;
  Window up = 0;
  Window* children = nullptr;
  unsigned int count = 0;
  if (!XQueryTree(display, window, &root, &up, &children, &count)) return {};
  std::vector<Window> list(children, children + count);
  if (children) XFree(children);
  if (parent) *parent = up;
  return list;
}

bool IsMapped(::Display* display, Window window) {
  XWindowAttributes attributes{};
  return XGetWindowAttributes(display, window, &attributes) &&
         attributes.map_state == IsViewable;
}

bool IsMappedAndNamed(::Display* display, Window window, const std::string& name) {
  char* text = nullptr;
  const bool named = IsMapped(display, window) && XFetchName(display, window, &text) && text &&
                     name == text;
  if (text) XFree(text);
  return named;
}

// The mapped windows with the name down to the depth below the parent, topmost first.
std::vector<Window> Named(::Display* display, Window parent, const std::string& name, int depth) {
  std::vector<Window> found;
  const std::vector<Window> children = Children(display, parent);
  for (auto child = children.rbegin(); child != children.rend(); ++child) {
    if (IsMappedAndNamed(display, *child, name)) found.push_back(*child);
    if (depth > 1) {
      const std::vector<Window> below = Named(display, *child, name, depth - 1);
      found.insert(found.end(), below.begin(), below.end());
    }
  }
  return found;
}

}  // namespace

Settings::Settings(Player player) {
  namespace fs = std::filesystem;
  char pattern[] = "/tmp/vellomar-e2e-XXXXXX";
  if (!mkdtemp(pattern)) throw std::runtime_error("no temporary folder");
  home_ = pattern;
  fs::create_directories(home_ + "/vellomar");
  Set("path", ProgramFolder());
  program_ = ProgramFolder() + "/vellomar";
  if (player == Player::kStandin) {
    // The program finds its player folder beside its own file, so it runs from a copy.
    const fs::path copy = home_ + "/program";
    fs::create_directories(copy / "player/ruffle");
    fs::copy_file(program_, copy / "vellomar");
    fs::copy_file(ProgramFolder() + "/vellomar.lak", copy / "vellomar.lak");
    fs::copy_file(ProgramFolder() + "/player/page.html", copy / "player/page.html");
    fs::copy_file(VELLOMAR_E2E_STANDIN, copy / "player/ruffle/ruffle.js");
    std::ofstream(copy / "player/ruffle/requests");
    // The smallest wasm module, for the stand-in to compile as the emulator compiles its own.
    std::ofstream(copy / "player/ruffle/core.wasm", std::ios::binary)
        << std::string("\0asm\x01\0\0\0", 8);
    program_ = (copy / "vellomar").string();
  }
}

void Settings::SendCommand(const std::string& command, const std::string& args) const {
  // One write of a whole line: the stand-in takes only whole lines.
  std::ofstream(home_ + "/program/player/ruffle/requests", std::ios::app)
      << (command + "\t" + args + "\n") << std::flush;
}

Settings::~Settings() {
  std::error_code ignored;
  std::filesystem::remove_all(home_, ignored);
}

void Settings::Set(const std::string& name, const std::string& value) {
  for (auto& [existing, text] : values_) {
    if (existing == name) {
      text = value;
      Write();
      return;
    }
  }
  values_.emplace_back(name, value);
  Write();
}

void Settings::RemoveFile() {
  values_.clear();
  std::filesystem::remove(home_ + "/vellomar/settings.ini");
}

void Settings::Write() const {
  std::ofstream file(home_ + "/vellomar/settings.ini", std::ios::trunc);
  file << kKey << "\n";
  // As the program writes its file: bytes outside printable ASCII and the file's own signs as %HH.
  const auto escaped = [](const std::string& value) {
    std::string text;
    for (const unsigned char c : value) {
      if (c < 0x20 || c >= 0x7F || std::string_view("%=[];#").find(c) != std::string_view::npos) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%%%02X", c);
        text += hex;
      } else {
        text += static_cast<char>(c);
      }
    }
    return text;
  };
  for (const auto& [name, value] : values_) file << name << "=sz:" << escaped(value) << "\n";
}

std::optional<std::string> Settings::Stored(const std::string& name) const {
  std::ifstream file(home_ + "/vellomar/settings.ini");
  std::string line;
  bool inKey = false;
  while (std::getline(file, line)) {
    if (!line.empty() && line[0] == '[') inKey = line == kKey;
    const std::string prefix = name + "=sz:";
    if (inKey && line.rfind(prefix, 0) == 0) {
      // Bytes outside printable ASCII, and the file's own signs, are stored as %HH.
      std::string bytes;
      for (std::size_t i = prefix.size(); i < line.size(); ++i) {
        if (line[i] == '%' && i + 2 < line.size()) {
          bytes += static_cast<char>(std::stoi(line.substr(i + 1, 2), nullptr, 16));
          i += 2;
        } else {
          bytes += line[i];
        }
      }
      return bytes;
    }
  }
  return std::nullopt;
}

Program::Program(const Settings& settings, const std::vector<std::string>& args,
                 const std::vector<std::pair<std::string, std::string>>& env) {
  static int started = 0;
  output_ = settings.home() + "/output-" + std::to_string(++started) + ".txt";
  mark_ = "VELLOMAR_E2E_RUN=" + output_;
  const std::string program = settings.program();
  pid_ = fork();
  if (pid_ < 0) throw std::runtime_error("fork failed");
  if (pid_ == 0) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);  // never outlives a test that died
    setenv("XDG_CONFIG_HOME", settings.home().c_str(), 1);
    for (const auto& [name, value] : env) setenv(name.c_str(), value.c_str(), 1);
    putenv(mark_.data());
    const int output = open(output_.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    dup2(output, STDOUT_FILENO);
    dup2(output, STDERR_FILENO);
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
}

Program::~Program() {
  if (!status_) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  if (::testing::Test::HasFailure()) std::fprintf(stderr, "program output:\n%s", Output().c_str());
}

int Program::ProcessesLeft() const {
  int left = 0;
  for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
    std::ifstream file(entry.path() / "environ", std::ios::binary);
    std::string variable;
    while (std::getline(file, variable, '\0')) {
      if (variable == mark_) {
        ++left;
        break;
      }
    }
  }
  return left;
}

std::string Program::Output() const {
  std::ifstream file(output_);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::vector<std::string> Program::PlayerLog() const {
  // The program writes each console line of the player as "vellomar: player LEVEL: TEXT".
  std::istringstream output(Output());
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(output, line)) {
    const auto at = line.find(": stand-in ");
    if (line.rfind("vellomar: player ", 0) == 0 && at != std::string::npos) {
      lines.push_back(line.substr(at + 11));
    }
  }
  return lines;
}

bool Program::WaitForLog(const std::string& line, std::chrono::milliseconds timeout) const {
  return Eventually(
      [&] {
        const std::vector<std::string> lines = PlayerLog();
        return std::find(lines.begin(), lines.end(), line) != lines.end();
      },
      timeout);
}

std::optional<int> Program::WaitForExit(std::chrono::milliseconds timeout) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (!status_) {
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
      status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    } else if (std::chrono::steady_clock::now() > end) {
      return std::nullopt;
    } else {
      std::this_thread::sleep_for(20ms);
    }
  }
  return status_;
}

Display::Display() : display_(XOpenDisplay(nullptr)) {
  if (!display_) throw std::runtime_error("no X display");
  // Windows of the program come and go while the test looks at them: a window gone between
  // listing and asking is simply not found.
  XSetErrorHandler([](::Display*, XErrorEvent*) { return 0; });
}

Display::~Display() { XCloseDisplay(display_); }

int Display::width() const { return DisplayWidth(display_, DefaultScreen(display_)); }
int Display::height() const { return DisplayHeight(display_, DefaultScreen(display_)); }

Window Display::FindMapped(const std::string& name) const {
  const std::vector<Window> found = Named(display_, DefaultRootWindow(display_), name, 3);
  return found.empty() ? 0 : found.front();
}

Window Display::WaitForMapped(const std::string& name, std::chrono::milliseconds timeout) const {
  Window found = 0;
  Eventually([&] { return (found = FindMapped(name)) != 0; }, timeout);
  return found;
}

int Display::CountMapped(const std::string& name) const {
  return static_cast<int>(Named(display_, DefaultRootWindow(display_), name, 3).size());
}

XWindowAttributes Display::Attributes(Window window) const {
  XWindowAttributes attributes{};
  XGetWindowAttributes(display_, window, &attributes);
  return attributes;
}

void Display::RequestClose(Window window) const {
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display_, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display_, window, False, NoEventMask, &event);
  XFlush(display_);
}

bool Display::WaitForKeyboardGrab(std::chrono::milliseconds timeout) const {
  return Eventually(
      [&] {
        const int result = XGrabKeyboard(display_, DefaultRootWindow(display_), False,
                                         GrabModeAsync, GrabModeAsync, CurrentTime);
        if (result == GrabSuccess) XUngrabKeyboard(display_, CurrentTime);
        XSync(display_, False);
        return result == AlreadyGrabbed;
      },
      timeout);
}

Window Display::CreatePane(int width, int height) const {
  const Window pane = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0,
                                          static_cast<unsigned>(width),
                                          static_cast<unsigned>(height), 0, 0, 0);
  XMapWindow(display_, pane);
  XSync(display_, False);
  return pane;
}

Window Display::MappedChild(Window parent) const {
  for (Window child : Children(display_, parent)) {
    if (IsMapped(display_, child)) return child;
  }
  return 0;
}

Window Display::Parent(Window window) const {
  Window parent = 0;
  Children(display_, window, &parent);
  return parent;
}

std::pair<int, int> Display::Origin(Window window) const {
  int x = 0;
  int y = 0;
  Window child = 0;
  XTranslateCoordinates(display_, window, DefaultRootWindow(display_), 0, 0, &x, &y, &child);
  return {x, y};
}

unsigned long Display::PixelAt(int x, int y) const {
  XImage* image = XGetImage(display_, DefaultRootWindow(display_), x, y, 1, 1, AllPlanes, ZPixmap);
  if (!image) return 0;
  const unsigned long pixel = XGetPixel(image, 0, 0);
  XDestroyImage(image);
  return pixel;
}

bool Display::WaitForPixel(int x, int y, unsigned long colour,
                           std::chrono::milliseconds timeout) const {
  return Eventually([&] { return PixelAt(x, y) == colour; }, timeout);
}

bool Eventually(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(50ms);
  }
  return true;
}

std::string HexId(Window window) {
  char id[32];
  std::snprintf(id, sizeof id, "0x%lx", window);
  return id;
}

void PressKey(const std::string& key) { Run("xdotool key " + key); }
void Click(int button) { Run("xdotool click " + std::to_string(button)); }
void MovePointer(int x, int y) {
  Run("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y));
}
void ClickAt(int x, int y) {
  Run("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y) + " click 1");
}

}  // namespace vellomar::e2e

namespace vellomar::e2e {

namespace {

// Each test process on a display of its own: an Xvfb of 1024 x 768 at 24 bits, its number
// chosen by the server.
class OwnDisplay final : public ::testing::Environment {
 public:
  void SetUp() override {
    const auto [server, name] = StartServer({"Xvfb", "-screen", "0", "1024x768x24"});
    server_ = server;
    setenv("DISPLAY", name.c_str(), 1);
  }
  void TearDown() override {
    kill(server_, SIGTERM);
    waitpid(server_, nullptr, 0);
  }

 private:
  pid_t server_ = -1;
};

[[maybe_unused]] ::testing::Environment* const kOwnDisplay =
    ::testing::AddGlobalTestEnvironment(new OwnDisplay);

}  // namespace

}  // namespace vellomar::e2e
