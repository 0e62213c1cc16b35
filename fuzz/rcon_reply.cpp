// An rcon reply as the console shows it: cleaning leaves no FF byte, and its
// console lines, put together again with line feeds, give the cleaned text
// without its last byte.
#include "FuzzSupport.h"
#include "protocol/Rcon.h"

using namespace tarvix;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view raw = fuzz::bytes(data, size);
  const std::string text = cleanReply(raw);
  FUZZ_CHECK(text.find('\xFF') == std::string::npos);
  FUZZ_CHECK(text.size() <= raw.size());
  // Cleaning only removes bytes: the text is a subsequence of the reply.
  std::size_t at = 0;
  for (char c : text) {
    at = raw.find(c, at);
    FUZZ_CHECK(at != std::string_view::npos);
    ++at;
  }

  const std::vector<std::string> lines = replyLines(text);
  std::string joined;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    FUZZ_CHECK(!fuzz::hasLineFeed(lines[i]));
    joined += (i ? "\n" : "") + lines[i];
  }
  const std::string_view rest =
      text.empty() ? std::string_view() : std::string_view(text).substr(0, text.size() - 1);
  if (rest.ends_with('\n')) joined += '\n';
  FUZZ_CHECK(joined == rest);
  return 0;
}
