// Lines of a file: no line holds a line feed, the lines and their line ends
// give the content again, and lines written with CR LF read back the same.
#include "FuzzSupport.h"
#include "base/Text.h"

using namespace tarvix;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view content = fuzz::bytes(data, size);
  const std::vector<std::string> lines = splitLines(content);
  FUZZ_CHECK(content.empty() == lines.empty());
  std::size_t at = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    FUZZ_CHECK(!fuzz::hasLineFeed(lines[i]));
    FUZZ_CHECK(content.substr(at).starts_with(lines[i]));
    at += lines[i].size();
    if (content.substr(at).starts_with("\r\n"))
      at += 2;
    else if (content.substr(at).starts_with("\n"))
      at += 1;
    else if (content.substr(at) == "\r")
      at += 1;  // a CR LF cut short
    else
      FUZZ_CHECK(at == content.size() && i + 1 == lines.size());
  }
  FUZZ_CHECK(at == content.size());
  FUZZ_CHECK(splitLines(joinLinesCrlf(lines)) == lines);
  return 0;
}
