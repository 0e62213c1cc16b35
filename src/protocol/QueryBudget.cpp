#include "protocol/QueryBudget.h"

#include <sys/resource.h>

#include <algorithm>

namespace tarvix {

int queriesInFlight(int wanted) {
  const int bounded = std::clamp(wanted, 1, kMaxParallelQueries);
  rlimit lim{};
  if (getrlimit(RLIMIT_NOFILE, &lim) != 0 || lim.rlim_cur == RLIM_INFINITY) return bounded;
  const rlim_t spare = kSpareDescriptors;
  const rlim_t room = lim.rlim_cur > spare ? lim.rlim_cur - spare : 1;
  return static_cast<int>(std::min<rlim_t>(static_cast<rlim_t>(bounded), room));
}

}  // namespace tarvix
