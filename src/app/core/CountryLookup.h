#pragma once
// Where a server is: the country of a numeric address, from the country
// database the system has: a MaxMind-format ".mmdb" where one is installed
// (libmaxminddb), otherwise the distribution's legacy "GeoIP.dat" (libgeoip).
// Nothing is fetched; each address is looked up once and kept.
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace tarvix {

struct Country {
  std::string code;  // ISO 3166 alpha-2, upper case; empty when unknown
  std::string name;
  bool operator==(const Country&) const = default;
};

// Said once where the database is missing.
inline constexpr const char* kNoCountryDatabase =
    "The Country column needs a country database: install the package geoip-database "
    "(sudo apt-get install geoip-database)";

class CountryLookup {
 public:
  // The first database of `paths` that opens; a path ending in ".mmdb" is
  // read with libmaxminddb, any other with libgeoip.
  explicit CountryLookup(const std::vector<std::string>& paths = defaultPaths());
  ~CountryLookup();
  CountryLookup(const CountryLookup&) = delete;
  CountryLookup& operator=(const CountryLookup&) = delete;

  // Where the system's databases are looked for, in order.
  static std::vector<std::string> defaultPaths();
  // One lookup for the whole program, opened on first use.
  static CountryLookup& shared();

  bool available() const { return reader_ != nullptr; }
  const std::string& databasePath() const { return path_; }
  // Unknown for a host name (never resolved), a private address or one the
  // database does not hold. Safe from any thread.
  Country lookup(const std::string& address);

  class Reader;

 private:
  std::unique_ptr<Reader> reader_;
  std::string path_;
  std::mutex mutex_;
  std::map<std::string, Country> cache_;
};

}  // namespace tarvix
