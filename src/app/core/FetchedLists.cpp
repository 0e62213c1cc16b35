#include "app/core/FetchedLists.h"

#include <nettle/sha2.h>

#include <algorithm>
#include <exception>

#include "base/Text.h"
#include "store/DataFile.h"
#include "store/ServerLists.h"

namespace tarvix {

namespace {

// "Internet", "Internet 2", ... "Internet 99".
constexpr int kMaxListNumber = 99;

std::string sha256Hex(std::string_view bytes) {
  sha256_ctx ctx;
  sha256_init(&ctx);
  sha256_update(&ctx, bytes.size(), reinterpret_cast<const std::uint8_t*>(bytes.data()));
  std::uint8_t digest[SHA256_DIGEST_SIZE];
  sha256_digest(&ctx, SHA256_DIGEST_SIZE, digest);
  static constexpr char kHex[] = "0123456789abcdef";
  std::string hex;
  for (std::uint8_t b : digest) {
    hex += kHex[b >> 4];
    hex += kHex[b & 0xF];
  }
  return hex;
}

// The list as an older version wrote it, or missing.
bool stillAsWritten(const std::string& name, const std::string& digest) {
  const std::string path = serverListPathFor(name);
  if (!fileExists(path)) return true;
  try {
    return sha256Hex(readFile(path)) == digest;
  } catch (const std::exception&) {
    return false;  // unreadable now: not the refresh's to replace
  }
}

}  // namespace

FetchedLists::FetchedLists(FetchedListRecord& record) : record_(record) {
  for (const std::string& name : record_.fetchedLists()) {
    const std::string digest = record_.writtenDigest(name);
    if (digest.empty()) continue;
    const bool fetched = stillAsWritten(name, digest);
    record_.forgetFetchedList(name);
    if (fetched) record_.addFetchedList(name);
  }
}

bool FetchedLists::isFetched(std::string_view name) const {
  const std::vector<std::string> names = record_.fetchedLists();
  return std::find(names.begin(), names.end(), name) != names.end();
}

bool FetchedLists::mayWrite(std::string_view name) const {
  return !fileExists(serverListPathFor(name)) || isFetched(name);
}

std::string FetchedLists::nameFor(std::string_view wanted) const {
  for (int i = 1; i <= kMaxListNumber; ++i) {
    std::string name(wanted);
    if (i > 1) name += " " + std::to_string(i);
    if (mayWrite(name)) return name;
  }
  return {};
}

void FetchedLists::write(std::string_view name, const std::vector<std::string>& lines) {
  record_.addFetchedList(name);
  replaceLines(serverListPathFor(name), lines);
}

void FetchedLists::forget(std::string_view name) { record_.forgetFetchedList(name); }

std::vector<std::string> fetchedListLines(const DiscoveryResult& result) {
  std::vector<std::string> lines;
  for (ServerEntry& e : listEntriesFor(result)) {
    lines.push_back(std::move(e.name));
    lines.push_back(std::move(e.ip));
    lines.push_back(std::move(e.port));
  }
  return lines;
}

std::string listNameProblem(std::string_view name) {
  if (isBlank(name)) return "a list name is needed, not a blank one";
  if (name.front() == '-')
    return "a list name is needed before the next option, not \"" + std::string(name) + "\"";
  if (name.find_first_of("./\\") != std::string_view::npos)
    return "a list name cannot hold dots, slashes or backslashes";
  if (hasControlByte(name)) return "a list name cannot hold control characters";
  return {};
}

}  // namespace tarvix
