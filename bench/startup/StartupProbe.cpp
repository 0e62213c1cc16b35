// Runs a program several times and prints what each start cost: processor
// time (user + system) and page faults, then the least and the median.
//
//   startup_probe RUNS [--idle MS] -- PROGRAM [ARGUMENTS...]
//
// Without --idle each run goes to its end and the figures are wait4()'s. With
// --idle (a window, which does not end by itself) the figures are read from
// /proc once the program's processor time has not grown for MS milliseconds,
// and the program is then ended with SIGTERM. Its output goes to /dev/null.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {

struct Cost {
  double cpuMs = 0;
  long faults = 0;
};

pid_t start(char** argv) {
  const pid_t child = ::fork();
  if (child == 0) {
    const int null = ::open("/dev/null", O_RDWR);
    ::dup2(null, STDOUT_FILENO);
    ::dup2(null, STDERR_FILENO);
    ::execvp(argv[0], argv);
    ::_exit(127);
  }
  return child;
}

Cost untilEnd(char** argv) {
  const pid_t child = start(argv);
  int status = 0;
  rusage use{};
  ::wait4(child, &status, 0, &use);
  const auto ms = [](const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
  return {ms(use.ru_utime) + ms(use.ru_stime), use.ru_minflt + use.ru_majflt};
}

// Processor time of every thread of `pid` (schedstat: nanoseconds) and the
// process's page faults (stat: minor and major).
Cost current(pid_t pid) {
  Cost c;
  const std::string proc = "/proc/" + std::to_string(pid);
  std::error_code ec;
  for (const auto& task : std::filesystem::directory_iterator(proc + "/task", ec)) {
    std::ifstream in(task.path() / "schedstat");
    double ns = 0;
    if (in >> ns) c.cpuMs += ns / 1e6;
  }
  std::ifstream stat(proc + "/stat");
  std::string line;
  std::getline(stat, line);
  const std::size_t close = line.rfind(')');
  if (close == std::string::npos) return c;
  std::vector<std::string> fields;
  std::string field;
  for (std::size_t i = close + 2; i <= line.size(); ++i) {
    if (i == line.size() || line[i] == ' ') {
      fields.push_back(field);
      field.clear();
    } else {
      field += line[i];
    }
  }
  if (fields.size() > 9) c.faults = std::atol(fields[7].c_str()) + std::atol(fields[9].c_str());
  return c;
}

Cost untilIdle(char** argv, int idleMs) {
  const pid_t child = start(argv);
  Cost last = current(child);
  auto still = std::chrono::steady_clock::now();
  for (int step = 0; step < 6000; ++step) {  // 60 s at most
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    const Cost now = current(child);
    if (now.cpuMs > last.cpuMs + 0.05) still = std::chrono::steady_clock::now();
    last = now;
    if (std::chrono::steady_clock::now() - still > std::chrono::milliseconds(idleMs)) break;
  }
  ::kill(child, SIGTERM);
  int status = 0;
  ::waitpid(child, &status, 0);
  return last;
}

template <class T>
T median(std::vector<T> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  int first = 1;
  while (first < argc && std::strcmp(argv[first], "--") != 0) ++first;
  if (argc < 4 || first + 1 >= argc) {
    std::fprintf(stderr, "usage: startup_probe RUNS [--idle MS] -- PROGRAM [ARGUMENTS...]\n");
    return 2;
  }
  const int runs = std::max(1, std::atoi(argv[1]));
  const int idleMs = first == 4 && std::strcmp(argv[2], "--idle") == 0 ? std::atoi(argv[3]) : 0;
  std::vector<double> cpu;
  std::vector<long> faults;
  for (int i = 0; i < runs; ++i) {
    const Cost c = idleMs ? untilIdle(argv + first + 1, idleMs) : untilEnd(argv + first + 1);
    cpu.push_back(c.cpuMs);
    faults.push_back(c.faults);
  }
  std::printf("processor %.2f ms min, %.2f ms median; page faults %ld min, %ld median (%d runs)\n",
              *std::min_element(cpu.begin(), cpu.end()), median(cpu),
              *std::min_element(faults.begin(), faults.end()), median(faults), runs);
  return 0;
}
