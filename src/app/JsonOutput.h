#pragma once
// The headless results as one JSON document each, laid out as they always
// were: four-space indents, keys in order, an empty list as "[" and "]" on
// lines of their own. Byte strings from servers and data files are converted
// from the data's code page; control characters, DEL and U+0080-U+009F are
// written as \u00XX escapes, so no terminal acts on them.
#include <iosfwd>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "app/core/Headless.h"

namespace tarvix {

std::string queryJson(const QueryOutcome& query);
// `newHits`: the buddy rows the previous pass over the list did not have.
std::string scanJson(const ScanOutcome& scan, const std::vector<HeadlessBuddy>& newHits = {});
// The same document written to `out` as it is made, a server at a time.
void writeScanJson(const ScanOutcome& scan, const std::vector<HeadlessBuddy>& newHits,
                   std::ostream& out);

// Every JSON document the program prints (the modes' own ones too) is written
// by this one function.
std::string jsonDocument(const nlohmann::json& root);
// A byte string in the data's code page as a JSON string.
nlohmann::json jsonText(std::string_view codePageBytes);
// The buddy rows as a list of {"caption", "server"}.
nlohmann::json buddyArray(const std::vector<HeadlessBuddy>& buddies);

}  // namespace tarvix
