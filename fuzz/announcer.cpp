// First, current and next map as the announcer reads them from a status
// reply: the current map is the map name without blanks, the first map opens
// the rotation, the next map is the first map or the rotation's piece after
// one equal to the current map.
#include "admin/core/Announcer.h"

#include "FuzzSupport.h"
#include "base/Text.h"
#include "protocol/StatusReply.h"

using namespace tarvix;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view raw = fuzz::bytes(data, size);
  const MapCycle m = readMapCycle(raw);
  for (const std::string* v : {&m.firstMap, &m.currentMap, &m.nextMap})
    FUZZ_CHECK(v->find_first_of(" \\\n") == std::string::npos);
  FUZZ_CHECK(m.currentMap == removeChar(keyValue(raw, kMapNameKey), ' '));

  const std::string rotation = keyValue(raw, kMapListKey);
  const std::vector<std::string_view> pieces = fuzz::splitAt(rotation, ' ');
  FUZZ_CHECK(m.firstMap == pieces.front());
  bool follows = false;
  for (std::size_t i = 1; i < pieces.size() && !follows; ++i)
    follows = pieces[i] == m.nextMap && pieces[i - 1] == m.currentMap;
  FUZZ_CHECK(m.nextMap == m.firstMap || follows);
  return 0;
}
