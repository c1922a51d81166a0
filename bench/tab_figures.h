// What tabs_bench records for each tab, and how it reads the memory of a
// browser: shared by tabs_bench and the tabs mode of minimal_browser, so both
// browsers are measured by the same code.
#pragma once

#include <dirent.h>
#include <glib.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace orv::bench {

inline double NowMs() { return static_cast<double>(g_get_monotonic_time()) / 1000.0; }

// A "Name:   1234 kB" field of a /proc status-like file, 0 when absent.
inline long ProcFieldKb(const std::string& path, const char* name) {
  std::ifstream in(path);
  std::string line;
  const size_t length = std::strlen(name);
  while (std::getline(in, line)) {
    if (line.compare(0, length, name) == 0 && line.size() > length && line[length] == ':')
      return std::strtol(line.c_str() + length + 1, nullptr, 10);
  }
  return 0;
}

// Resident memory of the browser's own process, the one holding the windows.
inline long SelfRssKb() { return ProcFieldKb("/proc/self/status", "VmRSS"); }

// The process and everything it started (WebKit's web and network processes,
// the sandbox around them), as proportional set size so pages the processes
// share are counted once in total rather than once per process. Processes
// in `skip` and their descendants are left out.
inline long TreePssKb(pid_t root, const std::set<pid_t>& skip = {}) {
  std::multimap<pid_t, pid_t> children;
  if (DIR* proc = opendir("/proc")) {
    while (dirent* entry = readdir(proc)) {
      const pid_t pid = static_cast<pid_t>(std::atol(entry->d_name));
      if (pid <= 0) continue;
      std::ifstream in("/proc/" + std::string(entry->d_name) + "/stat");
      std::string stat((std::istreambuf_iterator<char>(in)), {});
      // The command name may hold spaces and parentheses; the state and the
      // parent follow the last ')'.
      const size_t close = stat.rfind(')');
      if (close == std::string::npos) continue;
      std::istringstream rest(stat.substr(close + 2));
      std::string state;
      pid_t parent = 0;
      rest >> state >> parent;
      children.emplace(parent, pid);
    }
    closedir(proc);
  }
  long total = 0;
  std::vector<pid_t> todo{root};
  while (!todo.empty()) {
    const pid_t pid = todo.back();
    todo.pop_back();
    if (skip.count(pid)) continue;
    total += ProcFieldKb("/proc/" + std::to_string(pid) + "/smaps_rollup", "Pss");
    auto [first, last] = children.equal_range(pid);
    for (auto it = first; it != last; ++it) todo.push_back(it->second);
  }
  return total;
}

// One measured step. `kind` is "start" (before the first tab is opened),
// "open", "close" or "settled" (a while after the last close); `ms` is the
// step's duration (0 for start and settled).
struct Step {
  std::string kind;
  double ms = 0;
  long rss_kb = 0;
  long tree_kb = 0;
};

inline std::string FormatStep(const Step& s) {
  char line[128];
  std::snprintf(line, sizeof line, "%s %.3f %ld %ld", s.kind.c_str(), s.ms, s.rss_kb, s.tree_kb);
  return line;
}

// Lines of FormatStep; anything else (a warning on stdout) is ignored.
inline std::vector<Step> ParseSteps(const std::string& text) {
  std::vector<Step> steps;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    Step s;
    if ((fields >> s.kind >> s.ms >> s.rss_kb >> s.tree_kb) &&
        (s.kind == "start" || s.kind == "open" || s.kind == "close" || s.kind == "settled"))
      steps.push_back(s);
  }
  return steps;
}

}  // namespace orv::bench
