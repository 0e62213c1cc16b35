#pragma once
// An INI file in the format QSettings writes (tarvix.ini): sections of
// "key=value" lines, "/" in a key written "\", other characters outside
// letters, digits, "_", "-" and "." as %XX or %UXXXX; values escaped C-style,
// quoted when they hold ";", "," or "=" or start or end with a blank; a list
// as comma-separated values ("@Invalid()" when empty); a value starting with
// "@" written "@@"; a byte string as "@ByteArray(...)". Files of older
// versions are read as QSettings read them, and what this writes QSettings
// reads back unchanged.
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvix {

class IniFile {
 public:
  // Keys are "Group/name" (a name alone is in the general section); texts
  // are UTF-8.
  static IniFile parse(std::string_view content);
  std::string serialize() const;

  // The file in the data folder through the data files' rules: a missing
  // file reads as empty; a file that is a symbolic link of another user is
  // neither read nor written (WriteRefused says why); writes replace the
  // file through a temporary. Other failures throw FileError.
  static IniFile load(std::string_view relative);
  void save(std::string_view relative) const;

  bool contains(const std::string& key) const { return values_.count(key) != 0; }
  // The value as QVariant::toBool and toInt read it; `otherwise` when the key
  // is missing.
  bool flag(const std::string& key, bool otherwise) const;
  long long number(const std::string& key, long long otherwise) const;
  // A text value; a list of several values reads as missing.
  std::optional<std::string> text(const std::string& key) const;
  // The same, moved out of the file (the key is gone after): a large value
  // is not copied.
  std::optional<std::string> takeText(const std::string& key);
  // A list: a single text is a list of one, "@Invalid()" an empty list.
  std::optional<std::vector<std::string>> list(const std::string& key) const;
  // A byte string ("@ByteArray(...)"); a text reads as its UTF-8 bytes.
  std::optional<std::string> bytes(const std::string& key) const;

  void setFlag(const std::string& key, bool on) { setText(key, on ? "true" : "false"); }
  void setNumber(const std::string& key, long long n) { setText(key, std::to_string(n)); }
  void setText(const std::string& key, std::string_view text);
  // The same, taking the string over: a large value is not copied.
  void adoptText(const std::string& key, std::string&& text);
  void setList(const std::string& key, const std::vector<std::string>& items);
  void setBytes(const std::string& key, std::string_view bytes);
  // Removes the key and every key below it ("key/...").
  void remove(const std::string& key);

 private:
  // A value as QSettings keeps it: one string (a text, or a raw "@..." form
  // such as "@ByteArray(...)", whose content is Latin-1 bytes), or a list.
  struct Value {
    std::vector<std::string> items;
    bool isList = false;
  };
  std::map<std::string, Value> values_;
};

}  // namespace tarvix
