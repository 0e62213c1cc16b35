// The password file: a lookup returns lines of the file; an appended record
// is what the next lookup finds, and appending keeps every line already
// there; a reset leaves the header alone.
#include "store/Passwords.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>

#include "FuzzSupport.h"
#include "base/Text.h"

using namespace tarvix;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::enterPrivateDataFolder();
  return 0;
}

namespace {
bool isLine(const std::vector<std::string>& lines, std::string_view s) {
  for (const auto& l : lines)
    if (l == s) return true;
  return false;
}
bool plain(std::string_view s) { return s.find_first_of("\r\n") == std::string_view::npos; }
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const std::string ip = in.ConsumeRandomLengthString(20);
  const std::string port = in.ConsumeRandomLengthString(8);
  const std::string value = in.ConsumeRandomLengthString(20);
  const std::string content = in.ConsumeRemainingBytesAsString();
  fuzz::putFile(kPasswordsFile, content);
  const std::vector<std::string> lines = splitLines(content);
  const std::string key = passwordKey(ip, port);

  const Passwords found = lookupPasswords(ip, port);
  FUZZ_CHECK(!fuzz::hasLineFeed(found.join) && !fuzz::hasLineFeed(found.rcon));
  FUZZ_CHECK(found.join.empty() || (isLine(lines, key) && isLine(lines, found.join)));
  FUZZ_CHECK(!containsNoCase(found.join, "rcon:"));
  if (key.empty() || !isLine(lines, key)) FUZZ_CHECK(found.join.empty() && found.rcon.empty());
  const Passwords inLines = lookupPasswordsIn(lines, ip, port);
  FUZZ_CHECK(inLines.join == found.join && inLines.rcon == found.rcon);

  // An append to a file that holds no record of this server: the lookup
  // finds exactly the appended value; the lines before stay as they were.
  if (!key.empty() && !isLine(lines, key) && plain(key) && plain(value)) {
    appendPassword(ip, port, value);
    const std::vector<std::string> after = splitLines(fuzz::getFile(kPasswordsFile));
    FUZZ_CHECK(after.size() == lines.size() + 2);
    FUZZ_CHECK(std::equal(lines.begin(), lines.end(), after.begin()));
    const Passwords back = lookupPasswords(ip, port);
    if (containsNoCase(value, "rcon:")) {
      FUZZ_CHECK(back.join.empty() && back.rcon == removeAllNoCase(value, "rcon:"));
    } else {
      FUZZ_CHECK(back.join == value && back.rcon.empty());
      appendRconPassword(ip, port, value);
      const Passwords both = lookupPasswords(ip, port);
      FUZZ_CHECK(both.join == value && both.rcon == value);
    }
  }

  resetPasswords();
  FUZZ_CHECK(splitLines(fuzz::getFile(kPasswordsFile)).size() == 3);
  const Passwords none = lookupPasswords(ip, port);
  // Only a key equal to a header line finds anything: the header line after it.
  FUZZ_CHECK(none.rcon.empty() && (none.join.empty() || none.join == "//"));
  FUZZ_CHECK(fuzz::filesStartingWith(".", std::string(kPasswordsFile) + ".").empty());
  return 0;
}
