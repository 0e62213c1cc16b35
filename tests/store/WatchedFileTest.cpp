// Reading a file once and again only after it changed; the keyed list lookup
// over lines read once.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <random>

#include "StoreFixture.h"
#include "store/DataFile.h"
#include "store/ServerListIndex.h"
#include "store/ServerLists.h"
#include "store/WatchedFile.h"

using namespace tarvix;

namespace {

using Lines = std::vector<std::string>;

// Moves the file's times an hour back, out of the window in which a change
// could share its timestamp.
void age(const char* path) {
  timespec past[2];
  clock_gettime(CLOCK_REALTIME, &past[0]);
  past[0].tv_sec -= 3600;
  past[1] = past[0];
  ASSERT_EQ(utimensat(AT_FDCWD, path, past, 0), 0);
}

// Rewrites the file in place: same inode, same size.
void overwriteInPlace(const char* path, const std::string& bytes) {
  int fd = ::open(path, O_WRONLY | O_TRUNC);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  ::close(fd);
}

class WatchedFileTest : public StoreTest {};

TEST_F(WatchedFileTest, ReadsOnceAndAgainAfterEveryKindOfChange) {
  put("list", "a\r\nb\r\n");
  age("list");
  WatchedFile f;
  EXPECT_EQ(*f.lines("list"), (Lines{"a", "b"}));
  for (int i = 0; i < 100; ++i) f.lines("list");
  EXPECT_EQ(f.reads(), 1u);

  // Appended: the size changed.
  appendLines("list", {"c"});
  EXPECT_EQ(*f.lines("list"), (Lines{"a", "b", "c"}));
  EXPECT_EQ(f.reads(), 2u);

  // Replaced by rename with the same size: another inode.
  age("list");
  f.lines("list");
  replaceLines("list", {"x", "y", "z"});
  age("list");
  EXPECT_EQ(*f.lines("list"), (Lines{"x", "y", "z"}));

  // Rewritten in place with the same size: the times changed.
  const unsigned long before = f.reads();
  overwriteInPlace("list", "q\r\nr\r\ns\r\n");
  EXPECT_EQ(*f.lines("list"), (Lines{"q", "r", "s"}));
  EXPECT_EQ(f.reads(), before + 1);

  // Another path is another file.
  put("other", "o\r\n");
  age("other");
  EXPECT_EQ(*f.lines("other"), (Lines{"o"}));
  EXPECT_EQ(*f.lines("list"), (Lines{"q", "r", "s"}));
}

// A file written again within the clock tick of the read keeps size, inode
// and both times, so nothing on disk shows the change: a file read right
// after it was written is read again on the next call, changed or not.
TEST_F(WatchedFileTest, AFileWrittenJustBeforeItWasReadIsReadAgain) {
  put("list", "a\r\n");
  struct stat before {};
  ASSERT_EQ(::stat("list", &before), 0);
  WatchedFile f;
  EXPECT_EQ(*f.lines("list"), (Lines{"a"}));
  EXPECT_EQ(*f.lines("list"), (Lines{"a"}));
  EXPECT_EQ(f.reads(), 2u);
  // The same tick: same size, same inode, the times set back to the read's.
  overwriteInPlace("list", "b\r\n");
  const timespec times[2] = {before.st_atim, before.st_mtim};
  ASSERT_EQ(utimensat(AT_FDCWD, "list", times, 0), 0);
  EXPECT_EQ(*f.lines("list"), (Lines{"b"}));
  // Once the times are old, an unchanged file is not read again.
  age("list");
  f.lines("list");
  const unsigned long settled = f.reads();
  EXPECT_EQ(*f.lines("list"), (Lines{"b"}));
  EXPECT_EQ(f.reads(), settled);
}

// Files of one folder share its notices: a look for one file that reads the
// notices about the other still leaves the other to see its change.
TEST_F(WatchedFileTest, OneFileSeesItsChangeAfterAnotherOfItsFolderLooked) {
  put("x", "a\r\n");
  put("y", "b\r\n");
  age("x");
  age("y");
  WatchedFile x, y;
  x.lines("x");
  y.lines("y");
  overwriteInPlace("x", "c\r\n");
  EXPECT_EQ(*y.lines("y"), (Lines{"b"}));
  EXPECT_EQ(y.reads(), 1u);
  EXPECT_EQ(*x.lines("x"), (Lines{"c"}));
}

// Change notices come from the folder of the name written through, not from
// the folder of the name read: a link or a second name is still seen.
TEST_F(WatchedFileTest, AFileWrittenThroughAnotherNameIsSeenToChange) {
  ASSERT_EQ(::mkdir("elsewhere", 0755), 0);
  for (const auto link : {::symlink, ::link}) {
    put("elsewhere/list", "a\r\n");
    age("elsewhere/list");
    ::unlink("list");
    ASSERT_EQ(link("elsewhere/list", "list"), 0);
    WatchedFile f;
    EXPECT_EQ(*f.lines("list"), (Lines{"a"}));
    overwriteInPlace("elsewhere/list", "b\r\n");
    EXPECT_EQ(*f.lines("list"), (Lines{"b"}));
  }
}

TEST_F(WatchedFileTest, AFailedReadKeepsNothing) {
  put("list", "a\r\n");
  age("list");
  WatchedFile f;
  f.lines("list");
  ASSERT_EQ(::unlink("list"), 0);
  EXPECT_THROW(f.lines("list"), FileError);
  EXPECT_THROW(f.lines("list"), FileError);
  put("list", "b\r\n");
  EXPECT_EQ(*f.lines("list"), (Lines{"b"}));
  // Unreadable although present: the error of readLines, every time.
  ASSERT_EQ(::chmod("list", 0), 0);
  if (::access("list", R_OK) != 0) {
    EXPECT_THROW(f.lines("list"), FileError);
    EXPECT_THROW(f.lines("list"), FileError);
  }
  ::chmod("list", 0644);
}

TEST(ServerListIndexTest, AnswersAsTheLineByLineLookup) {
  // Names equal to address lines, repeated names, a group cut short.
  const Lines fixed{"A", "1.1.1.1", "B", "B", "2.2.2.2", "27015", "A", "A", "A", "A", "3.3.3.3"};
  ServerListIndex index(std::make_shared<const Lines>(fixed));
  for (const char* name : {"A", "B", "1.1.1.1", "27015", "3.3.3.3", "C", ""}) {
    auto want = lookupServerIn(fixed, name);
    auto got = index.lookup(name);
    ASSERT_EQ(got.has_value(), want.has_value()) << name;
    if (want) {
      EXPECT_EQ(got->ip, want->ip) << name;
      EXPECT_EQ(got->port, want->port) << name;
    }
  }

  // Random lists over a small alphabet, so that names, addresses and ports collide.
  std::mt19937 rng(7);
  for (int round = 0; round < 300; ++round) {
    Lines lines(rng() % 13);
    for (auto& l : lines) l = std::string(1, static_cast<char>('a' + rng() % 3));
    ServerListIndex idx(std::make_shared<const Lines>(lines));
    for (const char* name : {"a", "b", "c", "d"}) {
      auto want = lookupServerIn(lines, name);
      auto got = idx.lookup(name);
      ASSERT_EQ(got.has_value(), want.has_value());
      if (want) {
        ASSERT_EQ(got->ip, want->ip);
        ASSERT_EQ(got->port, want->port);
      }
    }
  }
  EXPECT_FALSE(ServerListIndex().lookup("a"));
}

}  // namespace
