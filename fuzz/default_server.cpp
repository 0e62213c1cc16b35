// The default-server file: the first three lines, or the last group of
// three; writing a server and reading it back gives the same server.
#include "FuzzSupport.h"
#include "base/Text.h"
#include "store/DefaultServer.h"

using namespace tarvix;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::enterPrivateDataFolder();
  return 0;
}

namespace {
bool same(const DefaultServer& a, const DefaultServer& b) {
  return a.ip == b.ip && a.port == b.port && a.rconPassword == b.rconPassword;
}
std::string lineOr(const std::vector<std::string>& lines, std::size_t i) {
  return i < lines.size() ? lines[i] : std::string();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view content = fuzz::bytes(data, size);
  fuzz::putFile(kDefaultFile, content);
  const std::vector<std::string> lines = splitLines(content);

  const DefaultServer first = readDefaultServer();
  FUZZ_CHECK(first.ip == lineOr(lines, 0) && first.port == lineOr(lines, 1) &&
             first.rconPassword == lineOr(lines, 2));

  const DefaultServer marker{"keep", "this", "one"};
  DefaultServer group = marker;
  readDefaultServerGroups(group);
  if (lines.empty()) {
    FUZZ_CHECK(same(group, marker));
  } else {
    const std::size_t at = (lines.size() - 1) / 3 * 3;
    FUZZ_CHECK(group.ip == lineOr(lines, at) && group.port == lineOr(lines, at + 1) &&
               group.rconPassword == lineOr(lines, at + 2));
  }

  writeDefaultServer(group);
  FUZZ_CHECK(same(readDefaultServer(), group));
  DefaultServer again = marker;
  readDefaultServerGroups(again);
  FUZZ_CHECK(same(again, group));
  FUZZ_CHECK(fuzz::filesStartingWith(".", std::string(kDefaultFile) + ".").empty());

  clearDefaultServer();
  DefaultServer none = marker;
  readDefaultServerGroups(none);
  FUZZ_CHECK(same(none, marker) && fuzz::getFile(kDefaultFile).empty());
  return 0;
}
