#include "store/WatchedFile.h"

#include <sys/stat.h>

#include <algorithm>

#include "store/DataFile.h"

namespace tarvix {

namespace {

// File times come from a coarse clock (one scheduler tick, at most 10 ms on
// usual kernels); a margin of several ticks covers it.
constexpr long long kRacyWindowNs = 50'000'000;

long long nanos(const timespec& t) { return t.tv_sec * 1'000'000'000LL + t.tv_nsec; }

}  // namespace

bool WatchedFile::Stamp::operator==(const Stamp& o) const {
  return dev == o.dev && ino == o.ino && size == o.size && nanos(mtime) == nanos(o.mtime) &&
         nanos(ctime) == nanos(o.ctime);
}

void WatchedFile::dropLines() {
  path_.clear();
  lines_.reset();
  racy_ = true;
}

void WatchedFile::forget() {
  dropLines();
  changes_.close();
}

WatchedFile::Lines WatchedFile::lines(std::string_view relative) {
  if (lines_ && !racy_ && relative == path_ && !changes_.changed()) return lines_;
  const std::string path = dataPath(relative);
  // Watched before the stat: a change after it is noticed at the next look.
  changes_.watch(path);
  struct stat st {};
  const bool statted = ::stat(path.c_str(), &st) == 0;
  Stamp now;
  if (statted) now = Stamp{st.st_dev, st.st_ino, st.st_size, st.st_mtim, st.st_ctim};
  if (statted && lines_ && !racy_ && relative == path_ && now == stamp_) return lines_;

  // The stamp is taken before the read: a change during the read gives a
  // newer stamp next time, so it is never hidden.
  dropLines();
  timespec readAt{};
  clock_gettime(CLOCK_REALTIME, &readAt);
  auto fresh = std::make_shared<const std::vector<std::string>>(readLines(relative));
  ++reads_;
  if (!statted) return fresh;  // no stamp to compare with: read again next time
  path_ = std::string(relative);
  stamp_ = now;
  lines_ = std::move(fresh);
  // A later write sets both times to the same coarse "now", so it can only
  // go unseen when both were that recent already.
  racy_ = nanos(readAt) - std::min(nanos(now.mtime), nanos(now.ctime)) < kRacyWindowNs;
  return lines_;
}

}  // namespace tarvix
