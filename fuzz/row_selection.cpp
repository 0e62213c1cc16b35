// A status reply as a row selection and a buddy double-click read it for the
// details shown: values are pieces of the cleaned reply, the rotation pieces
// put together give the map list again, the count text is what was read.
#include "FuzzSupport.h"
#include "app/core/ServerDetails.h"
#include "base/Text.h"

using namespace tarvix;

namespace {

void checkReply(const StatusReply& r, std::string_view text) {
  for (const std::string* v :
       {&r.hostName, &r.mapName, &r.maxClients, &r.mapList, &r.version, &r.link}) {
    FUZZ_CHECK(fuzz::isPiece(*v, text));
    FUZZ_CHECK(v->find_first_of("\\\n") == std::string::npos);
  }
  for (const Player& p : r.players) {
    FUZZ_CHECK(fuzz::isPiece(p.ping, text) && fuzz::isPiece(p.name, text));
    FUZZ_CHECK(!fuzz::hasLineFeed(p.ping) && !fuzz::hasLineFeed(p.name));
  }
}

void checkDetails(const ServerDetails& d) {
  const StatusReply& r = d.reply;
  FUZZ_CHECK(d.countText == std::to_string(r.players.size()) + "/" + r.maxClients);
  std::string rotation;
  for (std::size_t i = 0; i < d.mapLines.size(); ++i) {
    FUZZ_CHECK(d.mapLines[i].find(' ') == std::string::npos);
    rotation += (i ? " " : "") + d.mapLines[i];
  }
  if (r.mapList.ends_with(' ')) rotation += ' ';
  FUZZ_CHECK(rotation == r.mapList);
  long long max = 0;
  FUZZ_CHECK(d.maxIsNumber == maxClientsNumber(r.maxClients, max));
  FUZZ_CHECK(d.full == (d.maxIsNumber && static_cast<long long>(r.players.size()) >= max));
  if (d.linkTarget != kHomePage) FUZZ_CHECK(r.hasLink && d.linkTarget == r.link);
  FUZZ_CHECK(!fuzz::hasLineFeed(d.linkCaption));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view raw = fuzz::bytes(data, size);

  const std::string text = rowSelectionText(raw);
  FUZZ_CHECK(text.find('\xFF') == std::string::npos);
  FUZZ_CHECK(text.size() <= raw.size());
  const StatusReply selected = readSelectedReply(raw);
  FUZZ_CHECK(selected.raw == raw);
  checkReply(selected, text);

  const ServerDetails row = rowSelectionDetails(raw);
  FUZZ_CHECK(row.answered == containsNoCase(raw, "statusresponse"));
  if (row.answered) {
    checkReply(row.reply, text);
    checkDetails(row);
  } else {
    FUZZ_CHECK(row.reply.raw.empty() && row.mapLines.empty());
  }

  const ServerDetails buddy = buddyDetails(raw);
  FUZZ_CHECK(buddy.answered == (raw.size() >= 41));
  if (buddy.answered) {
    checkReply(buddy.reply, raw);
    checkDetails(buddy);
  }
  return 0;
}
