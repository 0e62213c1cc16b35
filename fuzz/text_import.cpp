// "Name|Ip:Port" import: one entry per line, empty lines included; each
// line is its name, "|", IP, ":" and port again, and the list holds exactly
// those fields.
#include "FuzzSupport.h"
#include "base/Text.h"
#include "store/SharedLists.h"

using namespace tarvix;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::enterPrivateDataFolder();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view content = fuzz::bytes(data, size);
  fuzz::putFile("in/fuzz.TXT", content);
  const std::vector<std::string> lines = splitLines(content);

  std::vector<ServerEntry> expected;
  for (const auto& line : lines) {
    const ServerEntry e = parseTextListLine(line);
    FUZZ_CHECK(e.port.find(':') == std::string::npos || (e.ip.empty() && e.name.empty()));
    FUZZ_CHECK(e.ip.find('|') == std::string::npos);
    const std::size_t colon = line.rfind(':');
    if (colon == std::string::npos) {
      FUZZ_CHECK(e.port == line && e.ip.empty() && e.name.empty());
    } else {
      const bool bar = line.substr(0, colon).find('|') != std::string::npos;
      FUZZ_CHECK(line == (bar ? e.name + "|" : std::string()) + e.ip + ":" + e.port);
    }
    expected.push_back(e);
  }

  FUZZ_CHECK(importTextList("in/fuzz.TXT") == "fuzz");
  const std::vector<ServerEntry> imported = readServerEntries("Serverlists\\fuzz");
  FUZZ_CHECK(imported.size() == expected.size());
  for (std::size_t i = 0; i < imported.size(); ++i)
    FUZZ_CHECK(imported[i].name == expected[i].name && imported[i].ip == expected[i].ip &&
               imported[i].port == expected[i].port);
  FUZZ_CHECK(fuzz::filesStartingWith("Serverlists", "fuzz.").empty());
  return 0;
}
