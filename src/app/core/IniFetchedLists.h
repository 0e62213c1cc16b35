#pragma once
// The record of fetched lists kept in tarvix.ini, for the rule in
// app/core/FetchedLists.h.
#include "app/core/FetchedLists.h"
#include "app/core/IniSettingsCore.h"

namespace tarvix {

class IniFetchedLists final : public FetchedListRecord {
 public:
  std::vector<std::string> fetchedLists() const override { return ini_.fetchedLists(); }
  void addFetchedList(std::string_view name) override { ini_.addFetchedList(name); }
  void forgetFetchedList(std::string_view name) override { ini_.forgetFetchedList(name); }
  std::string writtenDigest(std::string_view name) const override {
    return ini_.fetchedListDigestBytes(name);
  }

 private:
  IniSettingsCore ini_;
};

}  // namespace tarvix
