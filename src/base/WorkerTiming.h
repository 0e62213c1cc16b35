#pragma once
// Time seam of the worker passes: pauses and fixed waits are scaled, log
// headers take their date and time from an injectable clock.
#include <chrono>
#include <functional>
#include <string>

namespace tarvix {

// "<short date> - <long time>" of the C library's current locale (%x, %X).
std::string logDateTime(std::chrono::system_clock::time_point at);

struct WorkerTiming {
  // Time written into a pass header.
  std::function<std::chrono::system_clock::time_point()> now = [] {
    return std::chrono::system_clock::now();
  };
  // Real milliseconds of a nominal pause (500 ms, 7.5 s, ...) or fixed wait.
  std::function<int(int)> scaled = [](int nominalMs) { return nominalMs; };
  // Date and time text of a header, between "@ " and CR LF.
  std::function<std::string(std::chrono::system_clock::time_point)> dateTime = logDateTime;
};

}  // namespace tarvix
