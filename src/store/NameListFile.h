#pragma once
// The one writer of a list file that a window edits in place: the buddies
// ("Buddys.txt") and the clan tags ("clantags.txt"). A name added from
// elsewhere ("Add to Buddys") is appended as one line; an edit in the window
// rewrites the file from the window's list; "delete all" empties it. The
// file must exist and is never created; while a reader holds it every write
// fails with the "in use" FileError and leaves it as it was.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tarvix {

class NameListFile {
 public:
  explicit NameListFile(std::string file) : file_(std::move(file)) {}

  const std::string& file() const { return file_; }
  // Every line. Throws FileError.
  std::vector<std::string> read() const;
  // Appends `name` as one line; EntryError for a blank name or a line break.
  void add(std::string_view name) const;
  // The file holds `names`, one a line, and nothing else.
  void replace(const std::vector<std::string>& names) const;
  // The file is empty (0 bytes).
  void clear() const;

 private:
  std::string file_;
};

}  // namespace tarvix
