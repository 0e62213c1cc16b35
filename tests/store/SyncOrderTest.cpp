// A replacement reaches the disk in order: the temporary's content is synced
// before it is renamed over the file, and the folder after the rename. The
// store's test binary is linked with fsync and rename wrapped, so the calls
// the writers make are seen here in order.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "StoreFixture.h"
#include "store/DataFile.h"

extern "C" int __real_fsync(int fd);
extern "C" int __real_rename(const char* from, const char* to);

namespace {

struct Call {
  std::string what;  // "fsync" or "rename"
  ino_t inode;       // of the synced file, or of the file renamed
};

std::atomic<bool> recording{false};
std::mutex callsMutex;
std::vector<Call> calls;

void record(const char* what, ino_t inode) {
  std::lock_guard lock(callsMutex);
  calls.push_back({what, inode});
}

}  // namespace

extern "C" int __wrap_fsync(int fd) {
  struct stat st {};
  if (recording && ::fstat(fd, &st) == 0) record("fsync", st.st_ino);
  return __real_fsync(fd);
}

extern "C" int __wrap_rename(const char* from, const char* to) {
  struct stat st {};
  if (recording && ::lstat(from, &st) == 0) record("rename", st.st_ino);
  return __real_rename(from, to);
}

namespace {

using namespace tarvix;

class SyncOrderTest : public StoreTest {
 protected:
  std::vector<Call> recorded(const std::function<void()>& write) {
    {
      std::lock_guard lock(callsMutex);
      calls.clear();
    }
    recording = true;
    write();
    recording = false;
    std::lock_guard lock(callsMutex);
    return calls;
  }
};

TEST_F(SyncOrderTest, TheTemporaryIsSyncedBeforeItsRenameAndTheFolderAfter) {
  put("f", "old\r\n");
  struct stat folder {};
  ASSERT_EQ(::stat(".", &folder), 0);
  const std::vector<std::function<void()>> writes{
      [] { replaceContent("f", "new\r\n"); },
      [] { appendLines("f", {"more"}); },
      [] { replaceContent("created", "x\r\n"); },
  };
  for (std::size_t i = 0; i < writes.size(); ++i) {
    const std::vector<Call> seen = recorded(writes[i]);
    std::size_t rename = seen.size();
    for (std::size_t c = 0; c < seen.size(); ++c)
      if (seen[c].what == "rename") rename = c;
    ASSERT_LT(rename, seen.size()) << "write " << i << " renamed nothing";
    bool contentFirst = false, folderAfter = false;
    for (std::size_t c = 0; c < seen.size(); ++c) {
      if (seen[c].what != "fsync") continue;
      if (c < rename && seen[c].inode == seen[rename].inode) contentFirst = true;
      if (c > rename && seen[c].inode == folder.st_ino) folderAfter = true;
    }
    EXPECT_TRUE(contentFirst) << "write " << i;
    EXPECT_TRUE(folderAfter) << "write " << i;
  }
}

}  // namespace
