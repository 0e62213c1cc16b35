#pragma once
// A stand-in game for tests that start one: a shell script that records each
// argument as <arg> on a line, and its working folder, next to itself.
#include <sys/stat.h>

#include <string>
#include <vector>

#include "base/Text.h"
#include "support/TempDataDir.h"

namespace tarvix::test {

// Writes the script at `relative` in the data folder; it sleeps `seconds`
// first when given. Returns its full path.
inline std::string standIn(const TempDataDir& dir, const std::string& relative, double seconds = 0,
                           mode_t mode = 0755) {
  std::string script = "#!/bin/sh\n";
  if (seconds > 0) script += "sleep " + std::to_string(seconds) + "\n";
  script +=
      "here=${0%/*}\n"
      "pwd > \"$here/cwd.txt\"\n"
      "printf '<%s>\\n' \"$@\" > \"$here/args.txt\"\n";
  dir.write(relative, script);
  const std::string path = dir.path() + "/" + relative;
  ::chmod(path.c_str(), mode);
  return path;
}

// The arguments the stand-in in `folder` was started with.
inline std::vector<std::string> recordedArgs(const TempDataDir& dir, const std::string& folder) {
  std::vector<std::string> out;
  for (const std::string& line : splitLines(dir.read(folder + "/args.txt")))
    out.push_back(line.substr(1, line.size() - 2));
  return out;
}

// The folder the stand-in in `folder` was started in.
inline std::string recordedCwd(const TempDataDir& dir, const std::string& folder) {
  std::vector<std::string> lines = splitLines(dir.read(folder + "/cwd.txt"));
  return lines.empty() ? std::string() : lines[0];
}

}  // namespace tarvix::test
