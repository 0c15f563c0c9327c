// The movie control on Linux: a WebKitGTK view that plays a movie in the Flash emulator's web
// build. The view loads only the program's own "vellomar:" pages, which serve the player page,
// the emulator's files (the "player" folder beside the program) and the one movie file named by
// SetMovie; every other navigation is refused. The emulator has no SetVariable, so the variables
// travel as flashvars when Play loads the page; the movie sees them as root variables from its
// first frame. FSCommand comes back through a script message, on the GTK thread; so does what the
// player writes to its console, which goes to standard error.
#pragma once

#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <string>
#include <utility>
#include <vector>

namespace vellomar::x11 {

class MovieView {
 public:
  // Called from GTK signal handlers: an exception must not leave them.
  struct Listener {
    virtual ~Listener() = default;
    virtual void OnFSCommand(const std::string& command, const std::string& args) = 0;
    // The movie has loaded and its first frame is drawn.
    virtual void OnFirstFrame() {}
  };

  // The control's design-time settings ("Menu", "Scale", ...), by name, as text.
  using Settings = std::vector<std::pair<std::string, std::string>>;

  // The view is put at 0,0 in the parent, a GtkFixed. The page reads the settings it knows and
  // skips the others. playerDir: the page and the emulator, by default those of the data folder.
  MovieView(GtkWidget* parent, Settings settings, Listener& listener);
  MovieView(GtkWidget* parent, Settings settings, Listener& listener, std::string playerDir);
  ~MovieView();
  MovieView(const MovieView&) = delete;
  MovieView& operator=(const MovieView&) = delete;

  GtkWidget* Widget() const;
  // The file the next Play loads.
  void SetMovie(const std::string& path);
  // Collected for the next Play; a name set twice keeps its last value.
  void SetVariable(const std::string& name, const std::string& value);
  // Loads the player page with the movie and the variables set so far. When the emulator's files
  // are missing or the movie cannot be read, loads nothing, so the parent's colour stays; says
  // why on standard error and raises it, naming the file and what to do.
  void Play();
  // Pixels in the parent.
  void Place(int x, int y, int width, int height);

 private:
  static void OnRequest(WebKitURISchemeRequest* request, gpointer);
  static void OnScriptMessage(WebKitUserContentManager*, WebKitJavascriptResult* result,
                              gpointer self);
  static gboolean OnDecidePolicy(WebKitWebView*, WebKitPolicyDecision* decision,
                                 WebKitPolicyDecisionType type, gpointer);
  void Serve(WebKitURISchemeRequest* request) const;
  // Empty when the emulator's files and the movie can be read.
  std::string WhyItCannotPlay() const;

  GtkWidget* parent_;
  Settings settings_;
  Listener& listener_;
  std::string playerDir_;
  WebKitUserContentManager* content_ = nullptr;
  GtkWidget* view_ = nullptr;
  std::string movie_;
  std::vector<std::pair<std::string, std::string>> variables_;
};

}  // namespace vellomar::x11
