// movie_view_bench [ROUTINE WIDTH HEIGHT SECONDS]: plays our movie in the Linux movie view in a
// window of that size (the full-screen role at 1024x768 for 15 s by default) and prints the time
// from the view's construction to the movie's first frame, then the memory (proportional set
// size) and CPU of this process and the web view's processes over the playing seconds. Prints,
// never judges.
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

#include "runtime/linux/linux_movie_view.h"

namespace {

using Clock = std::chrono::steady_clock;

struct FirstFrame : vellomar::MovieView::Listener {
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

double PssMegabytes(int pid) {
  std::ifstream rollup("/proc/" + std::to_string(pid) + "/smaps_rollup");
  std::string key;
  double kib = 0;
  while (rollup >> key) {
    if (key == "Pss:") {
      rollup >> kib;
      break;
    }
    rollup.ignore(1 << 10, '\n');
  }
  return kib / 1024;
}

std::string Command(int pid) {
  std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
  std::string name;
  std::getline(comm, name);
  return name;
}

void Iterate(Clock::time_point until, const bool* stop = nullptr) {
  while (Clock::now() < until && !(stop && *stop)) {
    if (!g_main_context_iteration(nullptr, FALSE)) g_usleep(2000);
  }
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
  vellomar::MovieView view(fixed, routine == "s", listener, VELLOMAR_BENCH_PLAYER);
  view.Place(0, 0, width, height);
  view.SetMovie(VELLOMAR_BENCH_MOVIE);
  if (routine != "p") view.SetVariable("music", "1");
  view.SetVariable("routine", routine);
  view.Play();

  bool drawn = false;
  while (!drawn && Clock::now() - start < std::chrono::seconds(60)) {
    Iterate(Clock::now() + std::chrono::milliseconds(10));
    drawn = listener.at != Clock::time_point{};
  }
  if (!drawn) {
    std::printf("routine %s %dx%d: no first frame within 60 s\n", routine.c_str(), width, height);
    return 1;
  }
  const double firstFrame = std::chrono::duration<double>(listener.at - start).count();

  const double cpuBefore = CpuSeconds(ProcessTree());
  const Clock::time_point playing = Clock::now();
  Iterate(playing + std::chrono::seconds(seconds));
  const std::vector<int> tree = ProcessTree();
  const double cpu = (CpuSeconds(tree) - cpuBefore) /
                     std::chrono::duration<double>(Clock::now() - playing).count();

  std::printf("routine %s %dx%d: first frame %.2f s after construction\n", routine.c_str(),
              width, height, firstFrame);
  double total = 0;
  for (int pid : tree) {
    const double pss = PssMegabytes(pid);
    total += pss;
    std::printf("  %-24s PSS %7.1f MB\n", Command(pid).c_str(), pss);
  }
  std::printf("  all processes            PSS %7.1f MB\n", total);
  std::printf("  CPU over %d s of playback: %.1f %% of one core\n", seconds, cpu * 100);
  return 0;
}
