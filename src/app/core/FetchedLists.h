#pragma once
// Which server list a refresh may write, for the window's refresh and
// `--browse --save` alike: a list that has no file yet or that a refresh
// wrote ("fetched"), never one of the player's. A fetched list stays fetched
// whatever the player changes in it; only deleting it or importing a list
// of its name makes the name the player's.
#include <string>
#include <string_view>
#include <vector>

#include "app/core/ServerDiscovery.h"

namespace tarvix {

// What tarvix.ini keeps about the lists a refresh wrote.
class FetchedListRecord {
 public:
  virtual ~FetchedListRecord() = default;
  virtual std::vector<std::string> fetchedLists() const = 0;
  virtual void addFetchedList(std::string_view name) = 0;
  // Also drops the list's digest.
  virtual void forgetFetchedList(std::string_view name) = 0;
  // Older versions kept the SHA-256 (hex) of the bytes they wrote and took a
  // list whose bytes differed for the player's; empty when none is kept.
  virtual std::string writtenDigest(std::string_view name) const = 0;
};

class FetchedLists {
 public:
  // Settles what older versions recorded: a list they wrote and the player
  // changed since is the player's, as it was for them; one still as written
  // is fetched, with no digest from now on.
  explicit FetchedLists(FetchedListRecord& record);

  bool isFetched(std::string_view name) const;
  // No file of that name yet, or a fetched one.
  bool mayWrite(std::string_view name) const;
  // `wanted` when a refresh may write it, else the first of "wanted 2" ...
  // "wanted 99" that it may; empty when none.
  std::string nameFor(std::string_view wanted) const;
  // Writes `lines` as the list `name`, recorded as fetched before the file
  // exists, so that a list a refresh wrote is never taken for the player's.
  // Throws FileError.
  void write(std::string_view name, const std::vector<std::string>& lines);
  // The player deleted the list, or made one of that name.
  void forget(std::string_view name);

 private:
  FetchedListRecord& record_;
};

// The lines of a server list of the servers that answered.
std::vector<std::string> fetchedListLines(const DiscoveryResult& result);

// Why `name` cannot name a list a save writes ("" when it can): blank, an
// option rather than a name, a dot, a path separator or a control byte.
std::string listNameProblem(std::string_view name);

}  // namespace tarvix
