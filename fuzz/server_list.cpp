// A server list file: groups of three lines; a lookup returns the two lines
// after a name line; a removal leaves exactly the other entries; an append
// keeps every line already there and is what the next lookup finds.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>

#include "FuzzSupport.h"
#include "base/Text.h"
#include "store/ServerLists.h"

using namespace tarvix;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::enterPrivateDataFolder();
  return 0;
}

namespace {
constexpr const char* kList = "Serverlists\\fuzz";
constexpr const char* kFile = "Serverlists/fuzz";
std::string lineOr(const std::vector<std::string>& lines, std::size_t i) {
  return i < lines.size() ? lines[i] : std::string();
}
bool plain(std::string_view s) { return s.find_first_of("\r\n") == std::string_view::npos; }
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const std::string name = in.ConsumeRandomLengthString(20);
  const std::string ip = in.ConsumeRandomLengthString(20);
  const std::string port = in.ConsumeRandomLengthString(8);
  const std::string content = in.ConsumeRemainingBytesAsString();
  fuzz::putFile(kFile, content);
  const std::vector<std::string> lines = splitLines(content);

  const std::vector<ServerEntry> entries = readServerEntries(kList);
  FUZZ_CHECK(entries.size() == (lines.size() + 2) / 3);
  for (std::size_t i = 0; i < entries.size(); ++i)
    FUZZ_CHECK(entries[i].name == lines[3 * i] && entries[i].ip == lineOr(lines, 3 * i + 1) &&
               entries[i].port == lineOr(lines, 3 * i + 2));

  bool named = false;         // some line equals the name
  bool onlyNameLines = true;  // ... and only lines where a group starts do
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i] != name) continue;
    named = true;
    if (i % 3 != 0) onlyNameLines = false;
  }
  const ServerAddress at = lookupServer(kList, name);
  if (!named) FUZZ_CHECK(at.ip.empty() && at.port.empty());
  if (named && onlyNameLines) {
    const ServerEntry* last = nullptr;
    for (const auto& e : entries)
      if (e.name == name) last = &e;
    FUZZ_CHECK(last && at.ip == last->ip && at.port == last->port);
  }

  removeServer(kList, name);
  const std::vector<std::string> kept = splitLines(fuzz::getFile(kFile));
  for (const auto& l : kept) FUZZ_CHECK(l != name);
  if (!named) FUZZ_CHECK(kept == lines);
  if (onlyNameLines && lines.size() % 3 == 0) {
    std::vector<ServerEntry> others;
    for (const auto& e : entries)
      if (e.name != name) others.push_back(e);
    const std::vector<ServerEntry> left = readServerEntries(kList);
    FUZZ_CHECK(left.size() == others.size());
    for (std::size_t i = 0; i < left.size(); ++i)
      FUZZ_CHECK(left[i].name == others[i].name && left[i].ip == others[i].ip &&
                 left[i].port == others[i].port);
  }
  FUZZ_CHECK(fuzz::filesStartingWith("Serverlists", "fuzz.").empty());

  if (plain(name) && plain(ip) && plain(port)) {
    appendServer(kList, name, ip, port);
    const std::vector<std::string> after = splitLines(fuzz::getFile(kFile));
    FUZZ_CHECK(after.size() == kept.size() + 3);
    FUZZ_CHECK(std::equal(kept.begin(), kept.end(), after.begin()));
    if (kept.size() % 3 == 0) {
      const ServerAddress added = lookupServer(kList, name);
      FUZZ_CHECK(added.ip == ip && added.port == port);
    }
  }
  return 0;
}
