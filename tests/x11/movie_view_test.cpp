// The Linux movie view with the real emulator and our movie, on an X server (Xvfb): clicks are
// real X input sent with xdotool, pictures are read back from the screen.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "runtime/x11/x11_movie_view.h"
#include "runtime/raised_error.h"

// Last: Xlib defines macros (None, Bool) that clash with names in the headers above.
#include <gdk/gdkx.h>

namespace vellomar::x11 {
namespace {

struct Recorder : MovieView::Listener {
  void OnFSCommand(const std::string& command, const std::string& args) override {
    commands.emplace_back(command, args);
  }
  void OnFirstFrame() override { drawn = true; }
  std::vector<std::pair<std::string, std::string>> commands;
  bool drawn = false;
};

// The window's background: what shows through the view until the movie draws.
constexpr guint32 kBlue = 0x0000ff;

class MovieViewTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { gtk_init(nullptr, nullptr); }

  // A window at the screen's origin holding a GtkFixed, and the view filling it.
  void Open(int width, int height, bool contextMenu = false,
            const std::string& playerDir = VELLOMAR_TEST_PLAYER) {
    window_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_decorated(GTK_WINDOW(window_), FALSE);
    gtk_window_move(GTK_WINDOW(window_), 0, 0);
    gtk_window_set_default_size(GTK_WINDOW(window_), width, height);
    GtkCssProvider* css = gtk_css_provider_new();
    gtk_css_provider_load_from_data(css, "window { background: #0000ff; }", -1, nullptr);
    gtk_style_context_add_provider(gtk_widget_get_style_context(window_),
                                   GTK_STYLE_PROVIDER(css), GTK_STYLE_PROVIDER_PRIORITY_USER);
    g_object_unref(css);
    GtkWidget* fixed = gtk_fixed_new();
    gtk_container_add(GTK_CONTAINER(window_), fixed);
    // What the forms hand the control that matters here: scripts may reach the host, and the menu.
    const MovieView::Settings settings{{"AllowScriptAccess", "always"},
                                       {"Menu", contextMenu ? "true" : "false"}};
    view_ = std::make_unique<MovieView>(fixed, settings, listener_, playerDir);
    view_->Place(0, 0, width, height);
    gtk_widget_show_all(window_);
    width_ = width;
    height_ = height;
  }

  void TearDown() override {
    view_.reset();
    if (window_) gtk_widget_destroy(window_);
  }

  void Play(const std::vector<std::pair<std::string, std::string>>& variables) {
    view_->SetMovie(VELLOMAR_TEST_MOVIE);
    for (const auto& [name, value] : variables) view_->SetVariable(name, value);
    view_->Play();
    ASSERT_TRUE(RunUntil([&] { return listener_.drawn; }, 60)) << "no first frame";
    RunFor(1);
  }

  // Runs the GTK loop, waiting for events as the program does; a 10 ms tick wakes it to look.
  static bool RunUntil(const std::function<bool()>& done, double seconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    GSource* tick = g_timeout_source_new(10);
    g_source_set_callback(tick, [](gpointer) -> gboolean { return G_SOURCE_CONTINUE; }, nullptr, nullptr);
    g_source_attach(tick, nullptr);
    while (!done() && std::chrono::steady_clock::now() < end) {
      g_main_context_iteration(nullptr, TRUE);
    }
    g_source_destroy(tick);
    g_source_unref(tick);
    return done();
  }
  static void RunFor(double seconds) { RunUntil([] { return false; }, seconds); }

  // A left click at a point of the window, through the X server.
  void Click(int x, int y) {
    const unsigned long window = gdk_x11_window_get_xid(gtk_widget_get_window(window_));
    const std::string command = "xdotool mousemove --window " + std::to_string(window) + " " +
                                std::to_string(x) + " " + std::to_string(y) + " click 1";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
  }

  // The colours on the screen where the window is.
  std::set<guint32> ScreenColours() {
    RunFor(0.2);
    GdkPixbuf* shot =
        gdk_pixbuf_get_from_window(gdk_get_default_root_window(), 0, 0, width_, height_);
    std::set<guint32> colours;
    const int stride = gdk_pixbuf_get_rowstride(shot);
    const int channels = gdk_pixbuf_get_n_channels(shot);
    const guchar* pixels = gdk_pixbuf_get_pixels(shot);
    for (int y = 0; y < height_; ++y) {
      for (int x = 0; x < width_; ++x) {
        const guchar* p = pixels + y * stride + x * channels;
        colours.insert((p[0] << 16) | (p[1] << 8) | p[2]);
      }
    }
    g_object_unref(shot);
    return colours;
  }

  // What a script in the page gives, as text.
  std::string Evaluate(const char* script) {
    struct Outcome {
      bool done = false;
      std::string text;
    } outcome;
    const auto finish = [](GObject* web, GAsyncResult* result, gpointer data) {
      auto* outcome = static_cast<Outcome*>(data);
      if (JSCValue* value = webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(web),
                                                                       result, nullptr)) {
        gchar* text = jsc_value_to_string(value);
        outcome->text = text;
        g_free(text);
        g_object_unref(value);
      }
      outcome->done = true;
    };
    webkit_web_view_evaluate_javascript(WEBKIT_WEB_VIEW(view_->Widget()), script, -1, nullptr,
                                        nullptr, nullptr, finish, &outcome);
    RunUntil([&] { return outcome.done; }, 10);
    return outcome.text;
  }

  bool CommandArrives(const std::pair<std::string, std::string>& expected) {
    return RunUntil(
        [&] {
          for (const auto& command : listener_.commands) {
            if (command == expected) return true;
          }
          return false;
        },
        10);
  }

  Recorder listener_;
  GtkWidget* window_ = nullptr;
  std::unique_ptr<MovieView> view_;
  int width_ = 0;
  int height_ = 0;
};

// The settings screen at the stage's size: the movie got its variables (music on, sensitivity
// 5), and the switches it draws answer real clicks with the commands the dialog stores.
TEST_F(MovieViewTest, SettingsScreenAnswersClicksWithCommands) {
  Open(640, 480);
  Play({{"routine", "c"}, {"language", "2"}, {"music", "1"}, {"mouse", "5"}});
  EXPECT_TRUE(listener_.commands.empty());

  Click(480, 165);  // the music switch, on: turned off
  EXPECT_TRUE(CommandArrives({"setmusic", "0"}));
  Click(40 + 95 * 3 + 42, 305);  // the fourth sensitivity button
  EXPECT_TRUE(CommandArrives({"setmouse", "10"}));
}

// Full screen: the window's colour shows through until the movie draws, then the movie's
// pixels cover it and its music plays without a click; pages outside the program's own are
// never loaded, whoever asks.
TEST_F(MovieViewTest, FullScreenRoleShowsTheMovieAndStaysOnItsPages) {
  Open(1024, 768, true);
  // Every audio context the page makes, for a look at whether it plays.
  WebKitUserScript* recorder = webkit_user_script_new(
      "window.contexts = []; const Made = window.AudioContext;"
      "window.AudioContext = function (...a) { const c = new Made(...a);"
      "  window.contexts.push(c); return c; };",
      WEBKIT_USER_CONTENT_INJECT_TOP_FRAME, WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_START, nullptr,
      nullptr);
  webkit_user_content_manager_add_script(
      webkit_web_view_get_user_content_manager(WEBKIT_WEB_VIEW(view_->Widget())), recorder);
  webkit_user_script_unref(recorder);
  EXPECT_TRUE(RunUntil([&] { return ScreenColours() == std::set<guint32>{kBlue}; }, 5));

  Play({{"music", "1"}, {"routine", "s"}});
  const std::set<guint32> colours = ScreenColours();
  EXPECT_GT(colours.size(), 16u);
  EXPECT_EQ(colours.count(kBlue), 0u);
  EXPECT_EQ(Evaluate("contexts.some((c) => c.state === 'running' && c.currentTime > 0)"), "true");

  WebKitWebView* web = WEBKIT_WEB_VIEW(view_->Widget());
  const std::string page = webkit_web_view_get_uri(web);
  webkit_web_view_load_uri(web, "file:///etc/hostname");
  webkit_web_view_evaluate_javascript(web, "location.href = 'about:blank'", -1, nullptr, nullptr,
                                      nullptr, nullptr, nullptr);
  RunFor(1);
  EXPECT_EQ(webkit_web_view_get_uri(web), page);
  EXPECT_GT(ScreenColours().size(), 16u);
}

// Without the emulator's files, or with a movie that cannot be read, nothing is loaded: the
// parent's colour stays, and the raised error names the file.
TEST_F(MovieViewTest, MissingFilesLoadNothingAndNameTheFile) {
  const std::string missingPlayer = std::string(VELLOMAR_TEST_PLAYER) + "-missing";
  const std::string missingMovie = std::string(VELLOMAR_TEST_MOVIE) + "-missing";
  for (const auto& [player, movie, named] :
       {std::tuple{missingPlayer, std::string(VELLOMAR_TEST_MOVIE), missingPlayer + "/page.html"},
        std::tuple{std::string(VELLOMAR_TEST_PLAYER), missingMovie, missingMovie}}) {
    Open(64, 48, false, player);
    view_->SetMovie(movie);
    try {
      view_->Play();
      ADD_FAILURE() << "played " << movie << " with " << player;
    } catch (const RaisedError& error) {
      EXPECT_EQ(error.number(), kErrFileNotFound);
      EXPECT_NE(error.description().find(named), std::string::npos) << error.description();
    }
    RunFor(0.5);
    EXPECT_EQ(webkit_web_view_get_uri(WEBKIT_WEB_VIEW(view_->Widget())), nullptr);
    EXPECT_EQ(ScreenColours(), std::set<guint32>{0x0000ff});
    TearDown();
    window_ = nullptr;
  }
}

}  // namespace
}  // namespace vellomar::x11
