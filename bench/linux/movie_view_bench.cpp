// movie_view_bench [ROUTINE WIDTH HEIGHT SECONDS]: plays our movie in the Linux movie view in a
// window of that size (the full-screen role at 1024x768 for 15 s by default) and prints the time
// from the view's construction to the movie's first frame, then the memory (proportional set
// size, and the private part of it) and CPU of this process and the web view's processes over
// the playing seconds. Prints, never judges.
#include <gtk/gtk.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "runtime/x11/x11_movie_view.h"

namespace {

using Clock = std::chrono::steady_clock;

struct FirstFrame : vellomar::x11::MovieView::Listener {
  void OnFSCommand(const std::string&, const std::string&) override {}
  void OnFirstFrame() override { at = Clock::now(); }
  Clock::time_point at{};
};

// This process and every process below it, as pid -> parent pid walks find them.
std::vector<int> ProcessTree() {
  std::map<int, int> parents;
  for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
    const std::string name = entry.path().filename().string();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    std::ifstream stat(entry.path() / "stat");
    std::string line;
    if (!std::getline(stat, line)) continue;
    std::istringstream rest(line.substr(line.rfind(')') + 2));
    char state;
    int parent;
    rest >> state >> parent;
    parents[std::stoi(name)] = parent;
  }
  std::vector<int> tree{getpid()};
  for (std::size_t i = 0; i < tree.size(); ++i) {
    for (const auto& [pid, parent] : parents) {
      if (parent == tree[i]) tree.push_back(pid);
    }
  }
  return tree;
}

// User and system CPU seconds of the tree's processes.
double CpuSeconds(const std::vector<int>& tree) {
  double ticks = 0;
  for (int pid : tree) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line)) continue;
    std::istringstream rest(line.substr(line.rfind(')') + 2));
    std::string field;
    // utime and stime are the 12th and 13th fields after the command.
    for (int i = 0; i < 11; ++i) rest >> field;
    double user = 0, system = 0;
    rest >> user >> system;
    ticks += user + system;
  }
  return ticks / static_cast<double>(sysconf(_SC_CLK_TCK));
}

struct Memory {
  double pss = 0;      // shared pages split among their users: depends on what else runs
  double private_ = 0; // this process's own pages
};

Memory MemoryMegabytes(int pid) {
  std::ifstream rollup("/proc/" + std::to_string(pid) + "/smaps_rollup");
  std::string key;
  double kib = 0;
  Memory memory;
  while (rollup >> key) {
    if (key == "Pss:" || key == "Private_Clean:" || key == "Private_Dirty:") {
      rollup >> kib;
      (key == "Pss:" ? memory.pss : memory.private_) += kib / 1024;
    }
    rollup.ignore(1 << 10, '\n');
  }
  return memory;
}

std::string Command(int pid) {
  std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
  std::string name;
  std::getline(comm, name);
  return name;
}

// Runs the GTK loop as the program does (waiting for events, never polling) until done() or the
// deadline; a 10 ms tick wakes it to look.
template <typename Done>
void RunUntil(Clock::time_point deadline, Done done) {
  GSource* tick = g_timeout_source_new(10);
  g_source_set_callback(tick, [](gpointer) -> gboolean { return G_SOURCE_CONTINUE; }, nullptr, nullptr);
  g_source_attach(tick, nullptr);
  while (!done() && Clock::now() < deadline) g_main_context_iteration(nullptr, TRUE);
  g_source_destroy(tick);
  g_source_unref(tick);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string routine = argc > 1 ? argv[1] : "s";
  const int width = argc > 2 ? std::stoi(argv[2]) : 1024;
  const int height = argc > 3 ? std::stoi(argv[3]) : 768;
  const int seconds = argc > 4 ? std::stoi(argv[4]) : 15;
  gtk_init(&argc, &argv);

  GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_decorated(GTK_WINDOW(window), FALSE);
  gtk_window_set_default_size(GTK_WINDOW(window), width, height);
  GtkWidget* fixed = gtk_fixed_new();
  gtk_container_add(GTK_CONTAINER(window), fixed);
  gtk_widget_show_all(window);

  FirstFrame listener;
  const Clock::time_point start = Clock::now();
  vellomar::x11::MovieView view(
      fixed, {{"AllowScriptAccess", "always"}, {"Menu", routine == "s" ? "true" : "false"}},
      listener, VELLOMAR_BENCH_PLAYER);
  view.Place(0, 0, width, height);
  view.SetMovie(VELLOMAR_BENCH_MOVIE);
  if (routine != "p") view.SetVariable("music", "1");
  view.SetVariable("routine", routine);
  view.Play();

  const auto drawn = [&] { return listener.at != Clock::time_point{}; };
  RunUntil(start + std::chrono::seconds(60), drawn);
  if (!drawn()) {
    std::printf("routine %s %dx%d: no first frame within 60 s\n", routine.c_str(), width, height);
    return 1;
  }
  const double firstFrame = std::chrono::duration<double>(listener.at - start).count();

  const double cpuBefore = CpuSeconds(ProcessTree());
  const Clock::time_point playing = Clock::now();
  RunUntil(playing + std::chrono::seconds(seconds), [] { return false; });
  const std::vector<int> tree = ProcessTree();
  const double cpu = (CpuSeconds(tree) - cpuBefore) /
                     std::chrono::duration<double>(Clock::now() - playing).count();

  std::printf("routine %s %dx%d: first frame %.2f s after construction\n", routine.c_str(),
              width, height, firstFrame);
  Memory total;
  for (int pid : tree) {
    const Memory memory = MemoryMegabytes(pid);
    total.pss += memory.pss;
    total.private_ += memory.private_;
    std::printf("  %-24s PSS %7.1f MB, private %7.1f MB\n", Command(pid).c_str(), memory.pss,
                memory.private_);
  }
  std::printf("  all processes            PSS %7.1f MB, private %7.1f MB\n", total.pss,
              total.private_);
  std::printf("  CPU over %d s of playback: %.1f %% of one core\n", seconds, cpu * 100);
  return 0;
}
