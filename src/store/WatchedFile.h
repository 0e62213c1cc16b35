#pragma once
// The lines of a data file, read again only when the file changed on disk, so
// a pass that consults a file for every server reads it once, yet still sees
// an edit made while it runs. Between changes a look costs one read of the
// folder's change notices, not a stat() of the file.
#include <sys/types.h>

#include <ctime>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "store/FileChanges.h"

namespace tarvix {

class WatchedFile {
 public:
  using Lines = std::shared_ptr<const std::vector<std::string>>;

  // The file's lines as readLines() gives them. Read on the first call, when
  // the path differs from the last call's, or when the file's identity,
  // size, modification or change time differs from what it was at the last
  // read; those are looked at only after a notice of a change. Throws
  // FileError like readLines(); a failed read keeps nothing, so the next call
  // tries again.
  Lines lines(std::string_view relative);
  // Counts the reads, so that callers can rebuild what they derive from the lines.
  unsigned long reads() const { return reads_; }
  // Drops the lines and stops watching the file until the next call.
  void forget();

 private:
  void dropLines();
  struct Stamp {
    dev_t dev = 0;
    ino_t ino = 0;
    off_t size = 0;
    timespec mtime{};
    timespec ctime{};
    bool operator==(const Stamp& o) const;
  };

  std::string path_;
  FileChanges changes_;
  Lines lines_;
  Stamp stamp_;
  // The file was changed so shortly before it was read that a change right
  // after the read could carry the same coarse timestamp: read it again.
  bool racy_ = true;
  unsigned long reads_ = 0;
};

}  // namespace tarvix
