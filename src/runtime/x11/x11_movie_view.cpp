#include "runtime/x11/x11_movie_view.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "runtime/raised_error.h"
#include "runtime/x11/x11_install_layout.h"
#include "runtime/x11/x11_terminal_text.h"

namespace vellomar::x11 {

namespace {

constexpr char kScheme[] = "vellomar";
// Everything the view loads lies under this root.
constexpr char kRoot[] = "vellomar://player/";
constexpr char kPage[] = "page.html";
constexpr char kEmulatorScript[] = "ruffle/ruffle.js";
constexpr char kMovieName[] = "movie";
// Which view a request or a message comes from.
constexpr char kViewKey[] = "vellomar-movie-view";

// The emulator stops at start-up without a preferred language, as under the C locale.
std::string PreferredLanguage() {
  for (const gchar* const* name = g_get_language_names(); *name; ++name) {
    std::string language = *name;
    if (language == "C" || language == "POSIX" ||
        language.find_first_of(".@") != std::string::npos) {
      continue;
    }
    for (char& c : language) {
      if (c == '_') c = '-';
    }
    return language;
  }
  return "en-US";
}

// One context for every view in the process, with the scheme that serves them; it keeps no data
// on disk.
WebKitWebContext* SharedContext(WebKitURISchemeRequestCallback serve) {
  static WebKitWebContext* context = [serve] {
    // The web processes inherit it. Without the optimising wasm tier the emulator draws its first
    // frame in half the time (that tier's compiles of its start-up code cost more than they
    // save) and plays at the same cost.
    g_setenv("JSC_useOMGJIT", "false", FALSE);
    WebKitWebContext* created = webkit_web_context_new_ephemeral();
    webkit_web_context_set_cache_model(created, WEBKIT_CACHE_MODEL_DOCUMENT_VIEWER);
    const std::string language = PreferredLanguage();
    const gchar* languages[] = {language.c_str(), nullptr};
    webkit_web_context_set_preferred_languages(created, languages);
    // Secure and CORS-enabled, so that the emulator may fetch its wasm and the movie from it.
    WebKitSecurityManager* security = webkit_web_context_get_security_manager(created);
    webkit_security_manager_register_uri_scheme_as_secure(security, kScheme);
    webkit_security_manager_register_uri_scheme_as_cors_enabled(security, kScheme);
    webkit_web_context_register_uri_scheme(created, kScheme, serve, nullptr, nullptr);
    return created;
  }();
  return context;
}

WebKitSettings* ViewSettings() {
  WebKitSettings* settings = webkit_settings_new();
  webkit_settings_set_enable_javascript(settings, TRUE);
  webkit_settings_set_javascript_can_open_windows_automatically(settings, FALSE);
  webkit_settings_set_enable_webaudio(settings, TRUE);
  webkit_settings_set_media_playback_requires_user_gesture(settings, FALSE);
  // The emulator draws on a 2D canvas. Composited drawing, which is GL in software without a
  // GPU, took five times the CPU and 150 MB more in trials.
  webkit_settings_set_enable_webgl(settings, FALSE);
  webkit_settings_set_hardware_acceleration_policy(settings,
                                                   WEBKIT_HARDWARE_ACCELERATION_POLICY_NEVER);
  webkit_settings_set_enable_page_cache(settings, FALSE);
  webkit_settings_set_enable_developer_extras(settings, FALSE);
  return settings;
}

bool IsReadableFile(const std::string& file) {
  std::error_code error;
  return std::filesystem::is_regular_file(file, error) && access(file.c_str(), R_OK) == 0;
}

const char* ContentType(const std::string& name) {
  const std::string extension = std::filesystem::path(name).extension().string();
  if (extension == ".html") return "text/html; charset=utf-8";
  if (extension == ".js") return "text/javascript";
  if (extension == ".wasm") return "application/wasm";
  return "application/octet-stream";
}

// The path after the root, without query or fragment; empty when the address is not ours or
// climbs out of the folder.
std::string PathUnderRoot(const char* uri) {
  std::string text = uri ? uri : "";
  if (text.rfind(kRoot, 0) != 0) return {};
  text = text.substr(sizeof kRoot - 1);
  text = text.substr(0, text.find_first_of("?#"));
  for (const auto& part : std::filesystem::path(text)) {
    if (part == "..") return {};
  }
  return text;
}

void Refuse(WebKitURISchemeRequest* request, const std::string& why) {
  GError* error = g_error_new_literal(G_IO_ERROR, G_IO_ERROR_NOT_FOUND, why.c_str());
  webkit_uri_scheme_request_finish_error(request, error);
  g_error_free(error);
}

std::string Escaped(const std::string& text) {
  gchar* escaped = g_uri_escape_string(text.c_str(), nullptr, FALSE);
  std::string result = escaped;
  g_free(escaped);
  return result;
}

std::string Text(JSCValue* value) {
  gchar* text = jsc_value_to_string(value);
  std::string result = text ? text : "";
  g_free(text);
  return result;
}

}  // namespace

MovieView::MovieView(GtkWidget* parent, Settings settings, Listener& listener)
    : MovieView(parent, std::move(settings), listener, DataFolder() + "/player") {}

MovieView::MovieView(GtkWidget* parent, Settings controlSettings, Listener& listener,
                     std::string playerDir)
    : parent_(parent), settings_(std::move(controlSettings)), listener_(listener),
      playerDir_(std::move(playerDir)) {
  content_ = webkit_user_content_manager_new();
  g_signal_connect(content_, "script-message-received::vellomar", G_CALLBACK(OnScriptMessage),
                   this);
  webkit_user_content_manager_register_script_message_handler(content_, "vellomar");
  WebKitSettings* settings = ViewSettings();
  // The movie's music starts without a click, as it does in the Windows control.
  WebKitWebsitePolicies* policies =
      webkit_website_policies_new_with_policies("autoplay", WEBKIT_AUTOPLAY_ALLOW, nullptr);
  view_ = GTK_WIDGET(g_object_new(WEBKIT_TYPE_WEB_VIEW, "web-context", SharedContext(OnRequest),
                                  "settings", settings, "user-content-manager", content_,
                                  "website-policies", policies, nullptr));
  // Ours as well as the parent's: the parent may go first.
  g_object_ref_sink(view_);
  g_object_unref(policies);
  g_object_unref(settings);
  g_object_set_data(G_OBJECT(view_), kViewKey, this);

  // Transparent until the movie draws, so that the parent's colour shows meanwhile.
  const GdkRGBA clear = {0, 0, 0, 0};
  webkit_web_view_set_background_color(WEBKIT_WEB_VIEW(view_), &clear);
  g_signal_connect(view_, "decide-policy", G_CALLBACK(OnDecidePolicy), nullptr);
  // The page's own menu is the emulator's; the browser's is never offered.
  g_signal_connect(view_, "context-menu", G_CALLBACK(+[]() { return TRUE; }), nullptr);
  gtk_fixed_put(GTK_FIXED(parent_), view_, 0, 0);
  gtk_widget_show(view_);
}

MovieView::~MovieView() {
  g_object_set_data(G_OBJECT(view_), kViewKey, nullptr);
  g_signal_handlers_disconnect_by_data(content_, this);
  gtk_widget_destroy(view_);
  g_object_unref(view_);
  g_object_unref(content_);
}

GtkWidget* MovieView::Widget() const { return view_; }

void MovieView::SetMovie(const std::string& path) { movie_ = path; }

void MovieView::SetVariable(const std::string& name, const std::string& value) {
  for (auto& variable : variables_) {
    if (variable.first == name) {
      variable.second = value;
      return;
    }
  }
  variables_.emplace_back(name, value);
}

void MovieView::Play() {
  if (const std::string problem = WhyItCannotPlay(); !problem.empty()) {
    std::fprintf(stderr, "vellomar: %s\n", problem.c_str());
    throw RaisedError(kErrFileNotFound, problem);
  }
  std::string query;
  const auto add = [&query](const char* kind, const std::string& name, const std::string& value) {
    query += (query.empty() ? "" : "&") + std::string(kind) + Escaped(name) + "=" + Escaped(value);
  };
  for (const auto& [name, value] : settings_) add("s.", name, value);
  for (const auto& [name, value] : variables_) add("v.", name, value);
  const std::string uri = std::string(kRoot) + kPage + "?" + query;
  webkit_web_view_load_uri(WEBKIT_WEB_VIEW(view_), uri.c_str());
}

void MovieView::Place(int x, int y, int width, int height) {
  gtk_fixed_move(GTK_FIXED(parent_), view_, x, y);
  gtk_widget_set_size_request(view_, width, height);
}

std::string MovieView::WhyItCannotPlay() const {
  for (const char* part : {kPage, kEmulatorScript}) {
    const std::string file = playerDir_ + "/" + part;
    if (!IsReadableFile(file)) {
      return "cannot play the movie: the Flash emulator's " + file +
             " is missing or unreadable; reinstall vellomar";
    }
  }
  if (!IsReadableFile(movie_)) {
    return "cannot play the movie: cannot read " + movie_ +
           "; set \"path\" in the settings (see vellomar(6)) to the folder that holds it, or "
           "reinstall vellomar";
  }
  return {};
}

void MovieView::OnRequest(WebKitURISchemeRequest* request, gpointer) {
  const auto* self = static_cast<const MovieView*>(
      g_object_get_data(G_OBJECT(webkit_uri_scheme_request_get_web_view(request)), kViewKey));
  if (!self) return Refuse(request, "no movie view");
  self->Serve(request);
}

void MovieView::Serve(WebKitURISchemeRequest* request) const {
  const std::string path = PathUnderRoot(webkit_uri_scheme_request_get_uri(request));
  if (path.empty()) return Refuse(request, "not served");
  const bool movie = path == kMovieName;
  const std::string file = movie ? movie_ : playerDir_ + "/" + path;
  std::error_code error;
  const auto size = std::filesystem::file_size(file, error);
  GFile* handle = g_file_new_for_path(file.c_str());
  GFileInputStream* stream = error ? nullptr : g_file_read(handle, nullptr, nullptr);
  g_object_unref(handle);
  if (!stream) return Refuse(request, "cannot read " + file);
  WebKitURISchemeResponse* response =
      webkit_uri_scheme_response_new(G_INPUT_STREAM(stream), static_cast<gint64>(size));
  const char* type = movie ? "application/x-shockwave-flash" : ContentType(path);
  webkit_uri_scheme_response_set_content_type(response, type);
  // Scripts see only the headers: the wasm is compiled while it streams in when they name it.
  SoupMessageHeaders* headers = soup_message_headers_new(SOUP_MESSAGE_HEADERS_RESPONSE);
  soup_message_headers_replace(headers, "Content-Type", type);
  webkit_uri_scheme_response_set_http_headers(response, headers);
  webkit_uri_scheme_request_finish_with_response(request, response);
  g_object_unref(response);
  g_object_unref(stream);
}

// The page posts ["fscommand", command, args], ["frame"] and ["console", level, text].
void MovieView::OnScriptMessage(WebKitUserContentManager*, WebKitJavascriptResult* result,
                                gpointer self) {
  JSCValue* message = webkit_javascript_result_get_js_value(result);
  if (!jsc_value_is_array(message)) return;
  JSCValue* kind = jsc_value_object_get_property_at_index(message, 0);
  const std::string what = Text(kind);
  g_object_unref(kind);
  Listener& listener = static_cast<MovieView*>(self)->listener_;
  if (what == "frame") {
    listener.OnFirstFrame();
  } else if (what == "fscommand") {
    JSCValue* command = jsc_value_object_get_property_at_index(message, 1);
    JSCValue* args = jsc_value_object_get_property_at_index(message, 2);
    const std::string commandText = Text(command);
    const std::string argsText = Text(args);
    g_object_unref(command);
    g_object_unref(args);
    listener.OnFSCommand(commandText, argsText);
  } else if (what == "console") {
    // XScreenSaver keeps what its programs write to standard error.
    JSCValue* level = jsc_value_object_get_property_at_index(message, 1);
    JSCValue* text = jsc_value_object_get_property_at_index(message, 2);
    std::fprintf(stderr, "vellomar: player %s: %s\n", OneTerminalLine(Text(level)).c_str(),
                 OneTerminalLine(Text(text)).c_str());
    g_object_unref(level);
    g_object_unref(text);
  }
}

// Only the program's own pages are ever loaded, in this view and never in a new one.
gboolean MovieView::OnDecidePolicy(WebKitWebView*, WebKitPolicyDecision* decision,
                                   WebKitPolicyDecisionType type, gpointer) {
  if (type == WEBKIT_POLICY_DECISION_TYPE_RESPONSE) return FALSE;
  WebKitNavigationAction* action = webkit_navigation_policy_decision_get_navigation_action(
      WEBKIT_NAVIGATION_POLICY_DECISION(decision));
  const gchar* uri = webkit_uri_request_get_uri(webkit_navigation_action_get_request(action));
  if (type == WEBKIT_POLICY_DECISION_TYPE_NEW_WINDOW_ACTION || PathUnderRoot(uri).empty()) {
    webkit_policy_decision_ignore(decision);
    return TRUE;
  }
  return FALSE;
}

}  // namespace vellomar::x11
