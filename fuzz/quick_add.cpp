// The server name quick add takes from a reply: empty unless the reply counts
// as an answer, else the text after the first "sv_hostname\" up to the next
// backslash or line feed.
#include "FuzzSupport.h"
#include "base/Text.h"
#include "protocol/StatusReply.h"

using namespace tarvix;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view raw = fuzz::bytes(data, size);
  const std::string name = quickAddName(raw);
  const bool answered = raw.size() > 40 && contains(raw, kHostNameKey);
  FUZZ_CHECK(quickAddAnswered(raw) == answered);
  if (!answered) {
    FUZZ_CHECK(name.empty());
    return 0;
  }
  FUZZ_CHECK(name.find_first_of("\\\n") == std::string::npos);
  const std::size_t key = raw.find(kHostNameKey);
  FUZZ_CHECK(raw.substr(key + kHostNameKey.size()).starts_with(name));
  const std::size_t after = key + kHostNameKey.size() + name.size();
  FUZZ_CHECK(after == raw.size() || raw[after] == '\\' || raw[after] == '\n');
  return 0;
}
