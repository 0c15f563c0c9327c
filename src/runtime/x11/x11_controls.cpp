// Hosted controls by ProgID: the movie player as a MovieView, the purchase page's browser as the
// user's own browser.
#include <gio/gio.h>

#include <algorithm>
#include <memory>
#include <string_view>

#include "runtime/hosted_controls.h"
#include "runtime/raised_error.h"
#include "runtime/x11/x11_movie_view.h"
#include "runtime/x11/x11_platform.h"
#include "runtime/x11/x11_windows.h"

namespace vellomar::x11 {

namespace {

std::string TextOf(const DispValue& value) {
  const std::string* text = std::get_if<std::string>(&value);
  return text ? *text : std::string();
}

[[noreturn]] void Refuse(const std::string& progId, std::int32_t dispId) {
  throw RaisedError(kErrAutomation, "The control " + progId + " refused call " +
                                        std::to_string(dispId));
}

// The design-time settings as the player page reads them: by name, as text.
MovieView::Settings SettingsOf(const ControlDesign& design) {
  MovieView::Settings settings;
  for (const auto& [name, value] : design.settings) {
    if (const bool* on = std::get_if<bool>(&value)) {
      settings.emplace_back(name, *on ? "true" : "false");
    } else if (const std::int32_t* number = std::get_if<std::int32_t>(&value)) {
      settings.emplace_back(name, std::to_string(*number));
    } else {
      settings.emplace_back(name, std::get<std::string>(value));
    }
  }
  return settings;
}

GtkWidget* HostFixed(Hwnd parent) {
  WindowRecord* host = FindWindowRecord(parent);
  if (!host || !host->fixed) {
    throw RaisedError(kErrCannotCreateObject, "Cannot create the control: no host window");
  }
  return host->fixed;
}

class MovieControl final : public NativeControl, private MovieView::Listener {
 public:
  MovieControl(Hwnd parent, const ControlDesign& design, ControlEvents& events)
      : events_(events), view_(HostFixed(parent), SettingsOf(design), *this) {
    record_.widget = view_.Widget();
    AddWindow(record_);
    Move(design.placement);
  }
  ~MovieControl() override { RemoveWindow(record_.handle); }

  Hwnd Handle() const override { return record_.handle; }
  void Move(const Placement& placement) override {
    view_.Place(TwipsToPixels(placement.left), TwipsToPixels(placement.top),
                std::max(1, TwipsToPixels(placement.width)),
                std::max(1, TwipsToPixels(placement.height)));
  }
  void PutProperty(std::int32_t dispId, const DispValue& value) override {
    if (dispId != kDispMovie) Refuse(kFlashProgId, dispId);
    view_.SetMovie(LocalPath(TextOf(value)));
  }
  void Invoke(std::int32_t dispId, const std::vector<DispValue>& args) override {
    if (dispId == kDispSetVariable && args.size() == 2) {
      view_.SetVariable(TextOf(args[0]), TextOf(args[1]));
    } else if (dispId == kDispPlay && args.empty()) {
      view_.Play();
    } else {
      Refuse(kFlashProgId, dispId);
    }
  }

 private:
  void OnFSCommand(const std::string& command, const std::string& args) override {
    events_.OnControlEvent(kDispFsCommand, {command, args});
  }
  ControlEvents& events_;
  MovieView view_;
  WindowRecord record_;
};

// A file:// address as the core builds it (a Windows path after the scheme) as a proper URI:
// '#' and '%' in a folder's name must not end or escape anything. Other addresses pass as they are.
std::string UriOf(const std::string& windowsAddress) {
  const std::string address = LocalPath(windowsAddress);
  constexpr std::string_view kFileScheme = "file://";
  if (!address.starts_with(kFileScheme)) return address;
  gchar* uri = g_filename_to_uri(address.substr(kFileScheme.size()).c_str(), nullptr, nullptr);
  const std::string result = uri ? uri : address;
  g_free(uri);
  return result;
}

// The purchase page in the user's browser: nothing of it lives in our window. Without a browser
// nothing opens, as a page that cannot load shows nothing, and the failure is said and logged.
class BrowserControl final : public NativeControl {
 public:
  explicit BrowserControl(X11Platform& platform) : platform_(platform) { AddWindow(record_); }
  ~BrowserControl() override { RemoveWindow(record_.handle); }
  Hwnd Handle() const override { return record_.handle; }
  void Move(const Placement&) override {}
  void PutProperty(std::int32_t dispId, const DispValue&) override {
    if (dispId != kDispAddressBar) Refuse(kBrowserProgId, dispId);
  }
  void Invoke(std::int32_t dispId, const std::vector<DispValue>& args) override {
    if (dispId != kDispNavigate || args.empty()) Refuse(kBrowserProgId, dispId);
    const std::string uri = UriOf(TextOf(args[0]));
    GError* error = nullptr;
    if (!g_app_info_launch_default_for_uri(uri.c_str(), nullptr, &error)) {
      platform_.Report("cannot open " + uri + " in a web browser: " + error->message);
      g_error_free(error);
    }
  }

 private:
  X11Platform& platform_;
  WindowRecord record_;
};

}  // namespace

std::unique_ptr<NativeControl> X11Platform::CreateControl(Hwnd parent,
                                                            const ControlDesign& design,
                                                            ControlEvents& events) {
  if (design.progId == kFlashProgId) return std::make_unique<MovieControl>(parent, design, events);
  if (design.progId == kBrowserProgId) return std::make_unique<BrowserControl>(*this);
  throw RaisedError(kErrCannotCreateObject,
                    "Cannot create the control " + design.progId + ": it is not installed");
}

}  // namespace vellomar::x11
