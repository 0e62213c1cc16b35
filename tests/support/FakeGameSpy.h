#pragma once
// GameSpy \status\ replies for fake servers: backslash pairs cut into parts
// at pair boundaries, each ending with \queryid\ID.n, the last part holding
// \final\ before its queryid.
#include <string>
#include <utility>
#include <vector>

namespace tarvix::test {

using GameSpyPairs = std::vector<std::pair<std::string, std::string>>;

inline std::vector<std::string> gameSpyParts(const GameSpyPairs& pairs, std::size_t pairsPerPart,
                                             int queryId = 7) {
  std::vector<std::string> parts;
  std::string body;
  std::size_t inPart = 0;
  auto close = [&](bool last) {
    if (last) body += "\\final\\";
    parts.push_back(body + "\\queryid\\" + std::to_string(queryId) + "." +
                    std::to_string(parts.size() + 1));
    body.clear();
    inPart = 0;
  };
  for (const auto& [key, value] : pairs) {
    body += "\\" + key + "\\" + value;
    if (++inPart == pairsPerPart) close(false);
  }
  close(true);
  return parts;
}

}  // namespace tarvix::test
