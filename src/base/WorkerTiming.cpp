#include "base/WorkerTiming.h"

#include <ctime>

namespace tarvix {

std::string logDateTime(std::chrono::system_clock::time_point at) {
  const std::time_t t = std::chrono::system_clock::to_time_t(at);
  std::tm local{};
  localtime_r(&t, &local);
  char date[64] = {};
  char time[64] = {};
  std::strftime(date, sizeof date, "%x", &local);
  std::strftime(time, sizeof time, "%X", &local);
  return std::string(date) + " - " + time;
}

}  // namespace tarvix
