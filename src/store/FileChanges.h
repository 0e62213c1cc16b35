#pragma once
// Whether a file may have changed since the last look, from the kernel's
// change notices on its folder: a look reads the notice queue once instead of
// stat()ing the file. Where notices cannot be trusted (none could be set up,
// the file is a link or has other names, the folder went away, notices were
// lost) every look answers "may have changed".
//
// All watchers share the process's one notice queue, opened with the first
// watcher and kept: closing a queue waits milliseconds for the kernel to
// retire its watches, which a pass's end would otherwise wait for.
#include <string>

namespace tarvix {

class FileChanges {
 public:
  FileChanges();
  ~FileChanges();
  FileChanges(const FileChanges&) = delete;
  FileChanges& operator=(const FileChanges&) = delete;

  // Watches the file at `path` from now on; a watch of the same path is kept
  // and its pending notices dropped. Call before reading the file, so that
  // no change after the read goes unnoticed.
  void watch(const std::string& path);
  // True when a notice about the file came since the last look or watch(),
  // or when the watch cannot be trusted.
  bool changed();
  // Stops watching.
  void close();

 private:
  std::string path_;
  bool watching_ = false;
};

}  // namespace tarvix
