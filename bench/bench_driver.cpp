// vellomar_bench.exe: measures vellomar.scr against floor.scr (the smallest saver the platform's
// screen-saver framework makes) from outside, as the end-to-end tests drive the program, and
// prints medians with min and max and our/floor ratios. Run by tools/bench.sh under Wine, with the
// stand-in movie control registered in a private prefix.
//
//   vellomar_bench.exe [--runs N] [--out FOLDER] [--note TEXT]
//                      [--imports-vellomar "A.dll B.dll"] [--imports-floor "..."]
//
// Each run, for each saver in turn (the order alternates between runs):
//   /s  start to the first visible full-screen window; for vellomar also to the input guard;
//       then idle until five seconds after the start, take CPU time and peak working set, post a
//       key to the window that takes input and time the process's end
//   /s  a real cursor move (SetCursorPos, 200 px away) after the saver settled, to the end
//   /p  start to its window shown in a pane filling it; WM_CLOSE to that window, to the end
// CPU time comes from /proc/<pid>/stat of the program's Linux process (utime + stime at 100 ticks a
// second): Wine 8's GetProcessTimes on another process gives far too little (10 ms for a child
// that had spun for 460 ms). Peak working set is GetProcessMemoryInfo's, which matched that
// process's VmHWM.
#include "e2e_support.h"  // first: <windows.h> before the other platform headers

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#ifndef VELLOMAR_FLOOR_FRAMEWORK
#define VELLOMAR_FLOOR_FRAMEWORK "libscrnsave.a"
#endif

namespace {

using namespace e2e;

constexpr DWORD kTimeoutMs = 15000;
constexpr double kIdleRunMs = 5000;

struct Saver {
  std::string name;
  std::wstring program;
  bool hasGuard;  // only vellomar opens "Screen Saver Main Form"
};

struct Series {
  std::vector<double> samples;
  int failed = 0;
};

struct Metric {
  std::string key;
  std::string label;
  std::string unit;
  std::map<std::string, Series> bySaver;
};

std::vector<Metric> metrics = {
    {"start_to_fullscreen", "start -> first full-screen window", "ms", {}},
    {"start_to_guard", "start -> \"Screen Saver Main Form\"", "ms", {}},
    {"key_to_exit", "posted key -> exit", "ms", {}},
    {"mouse_to_exit", "real mouse move -> exit", "ms", {}},
    {"preview_start_to_shown", "/p start -> window shown in pane", "ms", {}},
    {"preview_close_to_exit", "/p WM_CLOSE -> exit", "ms", {}},
    {"cpu_5s", "CPU time, 5 s idle run", "ms", {}},
    {"peak_working_set_5s", "peak working set, 5 s idle run", "MiB", {}},
    {"scr_size", ".scr file size", "KiB", {}},
};

Series& At(const std::string& key, const Saver& saver) {
  for (Metric& metric : metrics) {
    if (metric.key == key) return metric.bySaver[saver.name];
  }
  std::fprintf(stderr, "bench: no metric %s\n", key.c_str());
  std::exit(2);
}

void Record(bool recording, const std::string& key, const Saver& saver, double value) {
  if (recording) At(key, saver).samples.push_back(value);
}

void Fail(bool recording, const std::string& key, const Saver& saver, const char* why) {
  std::fprintf(stderr, "bench: %s, %s: %s\n", saver.name.c_str(), key.c_str(), why);
  if (recording) ++At(key, saver).failed;
}

// ---- the program's Linux process, for its CPU time ----

std::string ReadAll(const std::wstring& file) { return ReadBytes(file).value_or(""); }

std::vector<std::string> StatFields(const std::string& stat) {
  // After the command name in parentheses (which may hold blanks) come fields 3, 4, ...
  std::vector<std::string> fields;
  const std::size_t close = stat.rfind(')');
  if (close == std::string::npos) return fields;
  std::istringstream rest(stat.substr(close + 1));
  for (std::string field; rest >> field;) fields.push_back(field);
  return fields;
}

// The newest Linux process whose first argument names this program file.
std::wstring LinuxProcessOf(const std::wstring& program) {
  const std::wstring fileName = program.substr(program.find_last_of(L"\\/") + 1);
  std::wstring best;
  unsigned long long bestStart = 0;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(L"Z:\\proc\\*", &found);
  if (search == INVALID_HANDLE_VALUE) return best;
  do {
    const std::wstring pid = found.cFileName;
    if (pid.empty() || pid.find_first_not_of(L"0123456789") != std::wstring::npos) continue;
    const std::wstring folder = L"Z:\\proc\\" + pid;
    std::string first = ReadAll(folder + L"\\cmdline");
    first = first.substr(0, first.find('\0'));
    const std::wstring name = Widen(first.substr(first.find_last_of("\\/") + 1));
    if (_wcsicmp(name.c_str(), fileName.c_str()) != 0) continue;
    const std::vector<std::string> fields = StatFields(ReadAll(folder + L"\\stat"));
    if (fields.size() < 20) continue;
    const unsigned long long start = std::strtoull(fields[19].c_str(), nullptr, 10);
    if (best.empty() || start > bestStart) {
      best = folder;
      bestStart = start;
    }
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return best;
}

// User and system CPU time of the program's Linux process so far, in ms; negative when unknown.
double CpuMs(const std::wstring& program) {
  const std::wstring folder = LinuxProcessOf(program);
  if (folder.empty()) return -1;
  const std::vector<std::string> fields = StatFields(ReadAll(folder + L"\\stat"));
  if (fields.size() < 13) return -1;
  const double ticks =
      std::strtod(fields[11].c_str(), nullptr) + std::strtod(fields[12].c_str(), nullptr);
  return ticks * 10.0;  // USER_HZ is 100 on Linux
}

double PeakWorkingSetMiB(const Process& process) {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(process.handle(), &counters, sizeof counters)) return -1;
  return static_cast<double>(counters.PeakWorkingSetSize) / (1024.0 * 1024.0);
}

// ---- the runs ----

bool FullScreen(HWND window) {
  const RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  return IsWindowVisible(window) && SameRect(WindowRect(window), screen);
}

bool IsGuard(HWND window) {
  return IsWindowVisible(window) && ClassOf(window) == kFormClass &&
         TextOf(window) == kGuardCaption;
}

// Waits for the window that takes the run's input: the guard, or the floor's full-screen window.
// Notes when the first full-screen window and the guard appeared.
HWND WaitUntilReady(const Saver& saver, const Process& process, double* fullMs, double* guardMs) {
  HWND full = nullptr;
  HWND guard = nullptr;
  WaitUntil(
      [&] {
        if (!full && (full = FindTopLevel(process.id(), FullScreen)))
          *fullMs = NowMs() - process.startMs();
        if (saver.hasGuard && !guard && (guard = FindTopLevel(process.id(), IsGuard))) {
          *guardMs = NowMs() - process.startMs();
        }
        return (full && (guard || !saver.hasGuard)) || !process.Running();
      },
      kTimeoutMs);
  return saver.hasGuard ? guard : full;
}

void FullScreenRun(const Saver& saver, const Environment& env, bool recording) {
  Process process(L"/s", env, saver.program);
  if (!process.started()) return Fail(recording, "start_to_fullscreen", saver, "did not start");
  double fullMs = -1;
  double guardMs = -1;
  HWND input = WaitUntilReady(saver, process, &fullMs, &guardMs);
  if (fullMs >= 0)
    Record(recording, "start_to_fullscreen", saver, fullMs);
  else
    Fail(recording, "start_to_fullscreen", saver, "no full-screen window");
  if (saver.hasGuard) {
    if (guardMs >= 0)
      Record(recording, "start_to_guard", saver, guardMs);
    else
      Fail(recording, "start_to_guard", saver, "no guard");
  }
  if (!input) return Fail(recording, "key_to_exit", saver, "nothing to send the key to");
  // Idle: nothing here touches the saver until five seconds after its start.
  Pump(static_cast<DWORD>(std::max(0.0, process.startMs() + kIdleRunMs - NowMs())));
  if (!process.Running()) return Fail(recording, "cpu_5s", saver, "ended by itself while idle");
  const double cpu = CpuMs(saver.program);
  if (cpu >= 0)
    Record(recording, "cpu_5s", saver, cpu);
  else
    Fail(recording, "cpu_5s", saver, "no Linux process found");
  const double peak = PeakWorkingSetMiB(process);
  if (peak >= 0)
    Record(recording, "peak_working_set_5s", saver, peak);
  else
    Fail(recording, "peak_working_set_5s", saver, "GetProcessMemoryInfo failed");

  const double keyMs = NowMs();
  PostKey(input, 'K');
  if (!process.WaitForExit(kTimeoutMs))
    return Fail(recording, "key_to_exit", saver, "still running");
  if (process.ExitCode() != 0u) return Fail(recording, "key_to_exit", saver, "exit code not 0");
  Record(recording, "key_to_exit", saver, process.exitMs() - keyMs);
}

void MouseRun(const Saver& saver, const Environment& env, bool recording) {
  Process process(L"/s", env, saver.program);
  double fullMs = -1;
  double guardMs = -1;
  HWND input = process.started() ? WaitUntilReady(saver, process, &fullMs, &guardMs) : nullptr;
  if (!input) return Fail(recording, "mouse_to_exit", saver, "not ready");
  // Let the windows settle: showing them sends mouse messages without any move.
  Pump(300);
  if (!process.Running()) return Fail(recording, "mouse_to_exit", saver, "ended without a move");
  POINT at{};
  GetCursorPos(&at);
  const POINT to{at.x < 400 ? at.x + 200 : at.x - 200, at.y < 300 ? at.y + 150 : at.y - 150};
  const double moveMs = NowMs();
  SetCursorPos(to.x, to.y);
  if (!process.WaitForExit(kTimeoutMs))
    return Fail(recording, "mouse_to_exit", saver, "still running");
  if (process.ExitCode() != 0u) return Fail(recording, "mouse_to_exit", saver, "exit code not 0");
  Record(recording, "mouse_to_exit", saver, process.exitMs() - moveMs);
}

void PreviewRun(const Saver& saver, const Environment& env, bool recording) {
  PreviewPane pane;
  Process process(L"/p " + pane.Number(), env, saver.program);
  HWND shown = process.started() ? pane.WaitForChildOf(process, kTimeoutMs) : nullptr;
  if (!shown) return Fail(recording, "preview_start_to_shown", saver, "nothing shown in the pane");
  Record(recording, "preview_start_to_shown", saver, NowMs() - process.startMs());
  Pump(200);
  const double closeMs = NowMs();
  PostMessageW(shown, WM_CLOSE, 0, 0);
  if (!process.WaitForExit(kTimeoutMs)) {
    return Fail(recording, "preview_close_to_exit", saver, "still running");
  }
  Record(recording, "preview_close_to_exit", saver, process.exitMs() - closeMs);
}

// ---- the report ----

struct Summary {
  double median = 0, min = 0, max = 0;
  bool any = false;
};

Summary Summarize(const Series& series) {
  Summary s;
  if (series.samples.empty()) return s;
  s.any = true;
  s.median = Median(series.samples);
  s.min = *std::min_element(series.samples.begin(), series.samples.end());
  s.max = *std::max_element(series.samples.begin(), series.samples.end());
  return s;
}

std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof text,
                value >= 100 || value == static_cast<long long>(value) ? "%.0f" : "%.1f", value);
  return text;
}

std::string Cell(const Series* series) {
  if (!series) return "-";
  const Summary s = Summarize(*series);
  std::string cell = !s.any ? "none"
                     : series->samples.size() == 1
                         ? Number(s.median)
                         : Number(s.median) + " [" + Number(s.min) + "-" + Number(s.max) + "]";
  if (series->failed) cell += " (" + std::to_string(series->failed) + " failed)";
  return cell;
}

const Series* Find(const Metric& metric, const std::string& saver) {
  const auto at = metric.bySaver.find(saver);
  return at == metric.bySaver.end() ? nullptr : &at->second;
}

std::string Ratio(const Metric& metric) {
  const Series* ours = Find(metric, "vellomar");
  const Series* floor = Find(metric, "floor");
  if (!ours || !floor) return "-";
  const Summary a = Summarize(*ours);
  const Summary b = Summarize(*floor);
  if (!a.any || !b.any || b.median <= 0) return "-";
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", a.median / b.median);
  return text;
}

std::string JsonText(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

std::string JsonSeries(const Series* series) {
  if (!series) return "null";
  const Summary s = Summarize(*series);
  std::ostringstream json;
  json << "{\"n\": " << series->samples.size() << ", \"failed\": " << series->failed;
  if (s.any)
    json << ", \"median\": " << s.median << ", \"min\": " << s.min << ", \"max\": " << s.max;
  json << ", \"samples\": [";
  for (std::size_t i = 0; i < series->samples.size(); ++i)
    json << (i ? ", " : "") << series->samples[i];
  json << "]}";
  return json.str();
}

std::vector<std::string> Words(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> words;
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

void WriteFile(const std::wstring& path, const std::string& text) {
  FILE* file = _wfopen(path.c_str(), L"wb");
  if (!file) {
    std::fprintf(stderr, "bench: cannot write %s\n", Narrow(path).c_str());
    return;
  }
  std::fwrite(text.data(), 1, text.size(), file);
  std::fclose(file);
}

const char* WineVersion() {
  using Version = const char*(CDECL*)();
  const auto get = reinterpret_cast<Version>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version")));
  return get ? get() : "none (Windows)";
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  int runs = 15;
  std::wstring out;
  std::string note;
  std::map<std::string, std::string> imports;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::wstring option = argv[i];
    const std::wstring value = argv[i + 1];
    if (option == L"--runs")
      runs = std::max(1, _wtoi(value.c_str()));
    else if (option == L"--out")
      out = value;
    else if (option == L"--note")
      note = Narrow(value);
    else if (option == L"--imports-vellomar")
      imports["vellomar"] = Narrow(value);
    else if (option == L"--imports-floor")
      imports["floor"] = Narrow(value);
    else {
      std::fprintf(stderr, "bench: unknown option %s\n", Narrow(option).c_str());
      return 2;
    }
  }
  const std::vector<Saver> savers = {{"vellomar", ProgramPath(), true},
                                     {"floor", SiblingPath(L"floor.scr"), false}};
  for (const Saver& saver : savers) {
    if (GetFileAttributesW(saver.program.c_str()) == INVALID_FILE_ATTRIBUTES) {
      std::fprintf(stderr, "bench: no %s\n", Narrow(saver.program).c_str());
      return 2;
    }
    if (!ProcessesNamed(saver.program.substr(saver.program.find_last_of(L"\\/") + 1)).empty()) {
      std::fprintf(stderr, "bench: %s already runs; end it first\n", saver.name.c_str());
      return 2;
    }
  }

  // The saver's settings, put back as they were when the run ends.
  SettingsGuard settings;
  const std::wstring folder = MakeFolder(L"bench");
  WriteText(HKEY_LOCAL_MACHINE, kSettingsKey, "path", Narrow(folder));
  WriteText(HKEY_LOCAL_MACHINE, kSettingsKey, "language", "1033");
  WriteText(HKEY_LOCAL_MACHINE, kSettingsKey, "music", "1");
  WriteText(HKEY_LOCAL_MACHINE, kSettingsKey, "mouse", "1");
  DeleteValue(HKEY_CURRENT_USER, kDesktopKey, "ScreenSaveUsePassword");
  const Standin standin(folder);
  const Environment env = standin.Env();

  std::fprintf(stderr, "bench: a warm-up run of each, then %d runs\n", runs);
  for (const Saver& saver : savers) {
    FullScreenRun(saver, env, false);
    PreviewRun(saver, env, false);
  }
  for (int run = 0; run < runs; ++run) {
    std::vector<Saver> order = savers;
    if (run % 2) std::reverse(order.begin(), order.end());
    for (const Saver& saver : order) FullScreenRun(saver, env, true);
    for (const Saver& saver : order) MouseRun(saver, env, true);
    for (const Saver& saver : order) PreviewRun(saver, env, true);
    std::fprintf(stderr, "bench: run %d of %d done\n", run + 1, runs);
  }
  for (const Saver& saver : savers) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (GetFileAttributesExW(saver.program.c_str(), GetFileExInfoStandard, &data)) {
      const double bytes = static_cast<double>((static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) |
                                               data.nFileSizeLow);
      At("scr_size", saver).samples.push_back(bytes / 1024.0);
    }
  }
  RemoveFolder(folder);

  // The table.
  std::ostringstream table;
  const std::string screen = std::to_string(GetSystemMetrics(SM_CXSCREEN)) + "x" +
                             std::to_string(GetSystemMetrics(SM_CYSCREEN));
  table << "vellomar.scr (stand-in movie control) against floor.scr (framework: "
        << VELLOMAR_FLOOR_FRAMEWORK << ")\n"
        << "Wine " << WineVersion() << ", screen " << screen << ", " << runs
        << " runs each; median [min-max]" << (note.empty() ? "" : "; " + note) << "\n\n";
  char line[512];
  std::snprintf(line, sizeof line, "%-40s %-28s %-28s %s\n", "measure", "vellomar", "floor",
                "ratio");
  table << line;
  for (const Metric& metric : metrics) {
    std::snprintf(line, sizeof line, "%-40s %-28s %-28s %s\n",
                  (metric.label + " (" + metric.unit + ")").c_str(),
                  Cell(Find(metric, "vellomar")).c_str(), Cell(Find(metric, "floor")).c_str(),
                  Ratio(metric).c_str());
    table << line;
  }
  for (const Saver& saver : savers) {
    const std::vector<std::string> dlls = Words(imports[saver.name]);
    table << "imports, " << saver.name << " (" << dlls.size() << "):";
    for (const std::string& dll : dlls) table << " " << dll;
    table << "\n";
  }
  table << "CPU time: the program's Linux process, /proc/<pid>/stat; peak working set: "
           "GetProcessMemoryInfo\n";
  std::fputs(table.str().c_str(), stdout);
  std::fflush(stdout);

  if (!out.empty()) {
    WriteFile(out + L"\\results.txt", table.str());
    std::ostringstream csv;
    csv << "metric,unit,saver,n,failed,median,min,max,samples\n";
    for (const Metric& metric : metrics) {
      for (const auto& [name, series] : metric.bySaver) {
        const Summary s = Summarize(series);
        csv << metric.key << "," << metric.unit << "," << name << "," << series.samples.size()
            << "," << series.failed << "," << (s.any ? Number(s.median) : "") << ","
            << (s.any ? Number(s.min) : "") << "," << (s.any ? Number(s.max) : "") << ",";
        for (std::size_t i = 0; i < series.samples.size(); ++i)
          csv << (i ? ";" : "") << Number(series.samples[i]);
        csv << "\n";
      }
    }
    WriteFile(out + L"\\results.csv", csv.str());
    std::ostringstream json;
    json << "{\n  \"runs\": " << runs << ",\n  \"wine\": " << JsonText(WineVersion())
         << ",\n  \"screen\": " << JsonText(screen) << ",\n  \"note\": " << JsonText(note)
         << ",\n  \"floor_framework\": " << JsonText(VELLOMAR_FLOOR_FRAMEWORK)
         << ",\n  \"metrics\": [\n";
    for (std::size_t i = 0; i < metrics.size(); ++i) {
      const Metric& metric = metrics[i];
      const std::string ratio = Ratio(metric);
      json << "    {\"key\": " << JsonText(metric.key) << ", \"label\": " << JsonText(metric.label)
           << ", \"unit\": " << JsonText(metric.unit)
           << ", \"vellomar\": " << JsonSeries(Find(metric, "vellomar"))
           << ", \"floor\": " << JsonSeries(Find(metric, "floor"))
           << ", \"ratio\": " << (ratio == "-" ? "null" : ratio) << "}"
           << (i + 1 < metrics.size() ? "," : "") << "\n";
    }
    json << "  ],\n  \"imports\": {";
    for (std::size_t s = 0; s < savers.size(); ++s) {
      json << (s ? ", " : "") << JsonText(savers[s].name) << ": [";
      const std::vector<std::string> dlls = Words(imports[savers[s].name]);
      for (std::size_t d = 0; d < dlls.size(); ++d) json << (d ? ", " : "") << JsonText(dlls[d]);
      json << "]";
    }
    json << "}\n}\n";
    WriteFile(out + L"\\results.json", json.str());
  }
  // A run that failed (the floor saver may end before the mouse moves) is a figure of its own,
  // counted in the table: a benchmark reports it and carries on.
  return 0;
}
