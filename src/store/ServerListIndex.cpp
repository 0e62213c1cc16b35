#include "store/ServerListIndex.h"

#include <utility>

namespace tarvix {

ServerListIndex::ServerListIndex(std::shared_ptr<const std::vector<std::string>> lines)
    : lines_(std::move(lines)) {
  if (!lines_) return;
  at_.reserve(lines_->size());
  for (std::size_t i = 0; i < lines_->size(); ++i)
    at_[std::string_view((*lines_)[i])].push_back(static_cast<std::uint32_t>(i));
}

std::optional<ServerAddress> ServerListIndex::lookup(std::string_view name) const {
  auto it = at_.find(name);
  if (it == at_.end()) return std::nullopt;
  // A match takes the next two lines as its address, so a line equal to the
  // name among those two is not a match of its own.
  const std::vector<std::string>& lines = *lines_;
  std::size_t match = 0;
  std::size_t next = 0;
  for (std::uint32_t p : it->second) {
    if (p < next) continue;
    match = p;
    next = static_cast<std::size_t>(p) + 3;
  }
  return ServerAddress{match + 1 < lines.size() ? lines[match + 1] : std::string(),
                       match + 2 < lines.size() ? lines[match + 2] : std::string()};
}

}  // namespace tarvix
