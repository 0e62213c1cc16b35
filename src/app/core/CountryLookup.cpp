#include "app/core/CountryLookup.h"

#include <GeoIP.h>
#include <arpa/inet.h>
#include <maxminddb.h>

#include <cctype>

namespace tarvix {

class CountryLookup::Reader {
 public:
  virtual ~Reader() = default;
  virtual Country find(const std::string& address) = 0;
};

namespace {

class MaxMindReader : public CountryLookup::Reader {
 public:
  bool open(const std::string& path) {
    open_ = MMDB_open(path.c_str(), MMDB_MODE_MMAP, &db_) == MMDB_SUCCESS;
    return open_;
  }
  ~MaxMindReader() override {
    if (open_) MMDB_close(&db_);
  }
  Country find(const std::string& address) override {
    int gaiError = 0, dbError = 0;
    MMDB_lookup_result_s result = MMDB_lookup_string(&db_, address.c_str(), &gaiError, &dbError);
    if (gaiError != 0 || dbError != MMDB_SUCCESS || !result.found_entry) return {};
    return {text(result, "iso_code"), text(result, "names", "en")};
  }

 private:
  static std::string text(MMDB_lookup_result_s& result, const char* key,
                          const char* sub = nullptr) {
    MMDB_entry_data_s data;
    const int status = sub ? MMDB_get_value(&result.entry, &data, "country", key, sub, nullptr)
                           : MMDB_get_value(&result.entry, &data, "country", key, nullptr);
    if (status != MMDB_SUCCESS || !data.has_data || data.type != MMDB_DATA_TYPE_UTF8_STRING)
      return {};
    return std::string(data.utf8_string, data.data_size);
  }
  MMDB_s db_{};
  bool open_ = false;
};

class LegacyReader : public CountryLookup::Reader {
 public:
  bool open(const std::string& path) {
    db_ = GeoIP_open(path.c_str(), GEOIP_MMAP_CACHE | GEOIP_SILENCE);
    return db_ != nullptr;
  }
  ~LegacyReader() override {
    if (db_) GeoIP_delete(db_);
  }
  Country find(const std::string& address) override {
    // The legacy country file holds IPv4 only.
    in_addr v4{};
    if (inet_pton(AF_INET, address.c_str(), &v4) != 1) return {};
    const int id = GeoIP_id_by_addr(db_, address.c_str());
    const char* code = id > 0 ? GeoIP_code_by_id(id) : nullptr;
    const char* name = id > 0 ? GeoIP_name_by_id(id) : nullptr;
    // "--", "A1", "EU" and the like are no country.
    if (!code || !std::isalpha(static_cast<unsigned char>(code[0])) || !name) return {};
    return {code, name};
  }

 private:
  GeoIP* db_ = nullptr;
};

bool endsWith(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

bool numericAddress(const std::string& address) {
  unsigned char buffer[sizeof(in6_addr)];
  return inet_pton(AF_INET, address.c_str(), buffer) == 1 ||
         inet_pton(AF_INET6, address.c_str(), buffer) == 1;
}

}  // namespace

CountryLookup::CountryLookup(const std::vector<std::string>& paths) {
  for (const std::string& path : paths) {
    if (endsWith(path, ".mmdb")) {
      auto reader = std::make_unique<MaxMindReader>();
      if (reader->open(path)) reader_ = std::move(reader);
    } else {
      auto reader = std::make_unique<LegacyReader>();
      if (reader->open(path)) reader_ = std::move(reader);
    }
    if (reader_) {
      path_ = path;
      return;
    }
  }
}

CountryLookup::~CountryLookup() = default;

std::vector<std::string> CountryLookup::defaultPaths() {
  return {"/usr/share/GeoIP/GeoLite2-Country.mmdb", "/var/lib/GeoIP/GeoLite2-Country.mmdb",
          "/usr/share/GeoIP/dbip-country-lite.mmdb", "/usr/share/GeoIP/GeoIP.dat"};
}

CountryLookup& CountryLookup::shared() {
  static CountryLookup lookup;
  return lookup;
}

Country CountryLookup::lookup(const std::string& address) {
  // A host name is never resolved here: that would be network traffic.
  if (!reader_ || !numericAddress(address)) return {};
  std::lock_guard lock(mutex_);
  const auto known = cache_.find(address);
  if (known != cache_.end()) return known->second;
  Country c = reader_->find(address);
  for (char& ch : c.code) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  return cache_[address] = c;
}

}  // namespace tarvix
