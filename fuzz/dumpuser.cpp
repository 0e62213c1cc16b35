// A setting of a "dumpuser" reply: a piece of the reply that follows its
// label and one more character and holds no line feed.
#include <fuzzer/FuzzedDataProvider.h>

#include "FuzzSupport.h"
#include "base/Text.h"
#include "protocol/Rcon.h"

using namespace tarvix;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  std::string label;
  switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0:
      label = kRateLabel;
      break;
    case 1:
      label = kAxisSkinLabel;
      break;
    case 2:
      label = kAlliesSkinLabel;
      break;
    default:
      label = in.ConsumeRandomLengthString(30);
      break;
  }
  const std::string reply = in.ConsumeRemainingBytesAsString();
  const std::string value = dumpuserValue(reply, label);
  FUZZ_CHECK(!fuzz::hasLineFeed(value));
  if (value.empty()) return 0;
  const std::size_t at = reply.find(label);
  FUZZ_CHECK(!label.empty() && at != std::string::npos);
  FUZZ_CHECK(reply.substr(at + label.size() + 1).starts_with(value));
  // The reply's last byte is its terminator and never part of a value.
  FUZZ_CHECK(at + label.size() + 1 + value.size() < reply.size());
  return 0;
}
