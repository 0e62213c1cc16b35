#include "store/IniFile.h"

#include <algorithm>
#include <cerrno>
#include <string_view>
#include <utility>
#include <vector>

#include "base/Utf8.h"
#include "store/DataFile.h"

namespace tarvix {

namespace {

constexpr char kByteArrayPrefix[] = "@ByteArray(";

bool startsWith(std::string_view s, std::string_view prefix) {
  return s.substr(0, prefix.size()) == prefix;
}

// Calls f(c) for each character of a file's text: UTF-8, or Latin-1 when it
// is not valid UTF-8.
template <typename F>
void forEachCharacter(std::string_view text, F&& f) {
  if (!isUtf8(text)) {
    for (char c : text) f(static_cast<char32_t>(static_cast<unsigned char>(c)));
    return;
  }
  char32_t c = 0;
  std::size_t length = 0;
  for (std::size_t i = 0; i < text.size(); i += length) {
    nextUtf8(text, i, c, length);
    f(c);
  }
}

std::u32string characters(std::string_view text) {
  std::u32string out;
  forEachCharacter(text, [&](char32_t c) { out.push_back(c); });
  return out;
}

int hexValue(char32_t c) {
  if (c >= '0' && c <= '9') return static_cast<int>(c - '0');
  if (c >= 'a' && c <= 'f') return static_cast<int>(c - 'a' + 10);
  if (c >= 'A' && c <= 'F') return static_cast<int>(c - 'A' + 10);
  return -1;
}

std::string hex(char32_t c, bool upper) {
  const char* const symbols = upper ? "0123456789ABCDEF" : "0123456789abcdef";
  std::string digits;
  do {
    digits.insert(digits.begin(), symbols[c % 16]);
    c /= 16;
  } while (c != 0);
  return digits;
}

bool isBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
  return s;
}

// "/" as "\", letters, digits, "_", "-" and "." as they are, any other
// character as %XX (to U+00FF) or %UXXXX.
std::string escapedKey(std::string_view key) {
  std::string out;
  for (char32_t c : characters(key)) {
    if (c == '/') {
      out += '\\';
    } else if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '_' || c == '-' || c == '.') {
      out += static_cast<char>(c);
    } else {
      const std::string digits = hex(c & 0xFFFF, true);
      out += c <= 0xFF ? "%" + std::string(2 - digits.size(), '0') + digits
                       : "%U" + std::string(4 - digits.size(), '0') + digits;
    }
  }
  return out;
}

std::string unescapedKey(std::string_view key) {
  const std::u32string in = characters(key);
  std::string out;
  for (std::size_t i = 0; i < in.size();) {
    if (in[i] == '\\') {
      out += '/';
      ++i;
      continue;
    }
    const std::size_t first = i + 1 < in.size() && in[i + 1] == 'U' ? i + 2 : i + 1;
    const std::size_t digits = first == i + 2 ? 4 : 2;
    char32_t c = 0;
    bool ok = in[i] == '%' && first + digits <= in.size();
    for (std::size_t k = 0; ok && k < digits; ++k) {
      ok = hexValue(in[first + k]) >= 0;
      c = c * 16 + static_cast<char32_t>(ok ? hexValue(in[first + k]) : 0);
    }
    appendUtf8(out, ok ? c : in[i]);
    i = ok ? first + digits : i + 1;
  }
  return out;
}

// Appends one value as QSettings escapes it. A byte string's characters
// above U+007E are escaped too; a text's are written as UTF-8.
void appendEscapedValue(std::string& out, std::string_view value) {
  const bool bytes = startsWith(value, kByteArrayPrefix) || startsWith(value, "@Variant(");
  const std::size_t start = out.size();
  bool quote = false;
  bool escapeNextDigit = false;
  out.reserve(start + value.size() + 2);
  forEachCharacter(value, [&](char32_t c) {
    quote = quote || c == ';' || c == ',' || c == '=';
    if (escapeNextDigit && hexValue(c) >= 0) {
      out += "\\x" + hex(c, false);
      return;
    }
    escapeNextDigit = false;
    static constexpr std::string_view kFrom = "\a\b\f\n\r\t\v\"\\", kTo = "abfnrtv\"\\";
    const std::size_t named = c < 0x80 ? kFrom.find(static_cast<char>(c)) : std::string_view::npos;
    if (named != std::string_view::npos) {
      out += {'\\', kTo[named]};
    } else if (c == 0) {
      out += "\\0";
      escapeNextDigit = true;
    } else if (c <= 0x1F || (c >= 0x7F && bytes)) {
      out += "\\x" + hex(c, false);
      escapeNextDigit = true;
    } else if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else {
      appendUtf8(out, c);
    }
  });
  if (quote || (out.size() > start && (out[start] == ' ' || out.back() == ' '))) {
    out.insert(out.begin() + static_cast<std::ptrdiff_t>(start), '"');
    out.push_back('"');
  }
}

void chopTrailingBlanks(std::string& s, std::size_t limit) {
  while (s.size() > limit && (s.back() == ' ' || s.back() == '\t')) s.pop_back();
}

// Reads a \x or octal escape's digits from `at`; returns the position after them.
std::size_t numericEscape(std::string_view in, std::size_t at, int base, std::string& out) {
  char16_t value = 0;
  for (; at < in.size(); ++at) {
    const int digit = hexValue(static_cast<unsigned char>(in[at]));
    if (digit < 0 || digit >= base) break;
    value = static_cast<char16_t>(value * base + digit);
  }
  appendUtf8(out, value);
  return at;
}

// A value's strings as QSettings unescapes them: several when the value
// holds unquoted commas (a list), one otherwise. Returns whether it is a list.
bool unescapedValue(std::string_view in, std::vector<std::string>& items) {
  bool isList = false;
  bool inQuotes = false;
  bool quoted = false;
  std::string current;
  std::size_t chopLimit = 0;
  std::size_t i = 0;
  auto skipBlanks = [&] {
    while (i < in.size() && (in[i] == ' ' || in[i] == '\t')) ++i;
    chopLimit = current.size();
  };
  skipBlanks();
  while (i < in.size()) {
    const char c = in[i];
    if (c == '\\') {
      if (++i >= in.size()) break;
      const char e = in[i++];
      static constexpr std::string_view kFrom = "abfnrtv\"?'\\", kTo = "\a\b\f\n\r\t\v\"?'\\";
      if (const std::size_t k = kFrom.find(e); k != std::string_view::npos) {
        current += kTo[k];
      } else if (e == 'x') {
        if (i < in.size() && hexValue(static_cast<unsigned char>(in[i])) >= 0)
          i = numericEscape(in, i, 16, current);
      } else if (e >= '0' && e <= '7') {
        i = numericEscape(in, i - 1, 8, current);
      } else if ((e == '\n' || e == '\r') && i < in.size() && (in[i] == '\n' || in[i] == '\r') &&
                 in[i] != e) {
        ++i;  // an escaped line break: the value goes on
      }
      chopLimit = current.size();
    } else if (c == '"') {
      ++i;
      quoted = true;
      inQuotes = !inQuotes;
      if (!inQuotes) skipBlanks();
    } else if (c == ',' && !inQuotes) {
      if (!quoted) chopTrailingBlanks(current, chopLimit);
      isList = true;
      items.push_back(std::move(current));
      current.clear();
      quoted = false;
      ++i;
      skipBlanks();
    } else {
      current += c;
      ++i;
    }
  }
  if (!quoted) chopTrailingBlanks(current, chopLimit);
  items.push_back(std::move(current));
  return isList;
}

// One line of the file from `pos`, as QSettings splits them: a ";" outside
// quotes starts a comment, a "\" before a line break continues the line.
// Returns false at the end; `equals` is the first "=" outside quotes or npos.
bool readLine(std::string_view data, std::size_t& pos, std::string_view& line,
              std::size_t& equals) {
  std::size_t start = pos;
  while (start < data.size() && isBlank(data[start])) ++start;
  equals = std::string_view::npos;
  bool inQuotes = false;
  std::size_t i = start;
  while (i < data.size()) {
    const char c = data[i++];
    if (c == '=' && !inQuotes && equals == std::string_view::npos) {
      equals = i - 1 - start;
    } else if (c == '\n' || c == '\r') {
      if (i == start + 1) {
        ++start;
      } else if (!inQuotes) {
        --i;
        break;
      }
    } else if (c == '\\' && i < data.size()) {
      const char next = data[i++];
      if (i < data.size() &&
          ((next == '\n' && data[i] == '\r') || (next == '\r' && data[i] == '\n')))
        ++i;
    } else if (c == '"') {
      inQuotes = !inQuotes;
    } else if (c == ';') {
      if (i == start + 1) {
        while (i < data.size() && data[i] != '\n' && data[i] != '\r') ++i;
        while (i < data.size() && isBlank(data[i])) ++i;
        start = i;
      } else if (!inQuotes) {
        --i;
        break;
      }
    }
  }
  pos = i;
  line = data.substr(start, i - start);
  return !line.empty();
}

// The group of a section line "[name]", with its "/".
std::string sectionGroup(std::string_view line) {
  std::string_view name = line.substr(1, line.find(']') - 1);
  name = trimmed(name);
  auto lower = [](std::string_view s) {
    std::string out(s);
    for (char& c : out)
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
  };
  if (lower(name) == "general") return {};
  if (lower(name) == "%general") return std::string(name.substr(1)) + "/";
  return unescapedKey(name) + "/";
}

// A stored string's bytes: its characters as Latin-1.
std::string latin1(std::string_view stored) {
  std::string out;
  for (char32_t c : characters(stored)) out.push_back(c <= 0xFF ? static_cast<char>(c) : '?');
  return out;
}

// A text as QSettings stores it: "@" doubled at the start, a NUL inside "@String()".
std::string storedText(std::string_view text) {
  if (text.find('\0') != std::string_view::npos) return "@String(" + std::string(text) + ")";
  return text.starts_with('@') ? "@" + std::string(text) : std::string(text);
}

// The text a stored string stands for, as QVariant::toString gives it.
std::string textOf(std::string_view stored) {
  if (!stored.starts_with('@')) return std::string(stored);
  if (stored.starts_with("@@")) return std::string(stored.substr(1));
  if (stored == "@Invalid()") return {};
  if (stored.ends_with(')')) {
    if (startsWith(stored, kByteArrayPrefix)) return latin1(stored.substr(11, stored.size() - 12));
    if (startsWith(stored, "@String(")) return std::string(stored.substr(8, stored.size() - 9));
  }
  return std::string(stored);
}

}  // namespace

IniFile IniFile::parse(std::string_view data) {
  if (data.starts_with("\xEF\xBB\xBF")) data.remove_prefix(3);
  IniFile ini;
  std::string group;
  std::size_t pos = 0;
  std::string_view line;
  std::size_t equals = 0;
  while (readLine(data, pos, line, equals)) {
    if (line.starts_with('[')) {
      group = sectionGroup(line);
      continue;
    }
    if (equals == std::string_view::npos) continue;
    const std::string_view key = trimmed(line.substr(0, equals));
    if (key.empty()) continue;
    Value value;
    value.isList = unescapedValue(line.substr(equals + 1), value.items);
    if (value.isList)
      for (std::string& item : value.items)
        if (item.starts_with("@@")) item.erase(0, 1);
    ini.values_[group + unescapedKey(key)] = std::move(value);
  }
  return ini;
}

std::string IniFile::serialize() const {
  // Sections as QSettings orders a new file: the general one first, then by
  // name; within one, keys in their order. Written straight into the text,
  // as a value may be large (the last scan's hits).
  using Entry = std::pair<std::string_view, const std::pair<const std::string, Value>*>;
  std::vector<Entry> entries;
  for (const auto& entry : values_) {
    const std::size_t slash = entry.first.find('/');
    entries.emplace_back(slash == std::string::npos
                             ? std::string_view()
                             : std::string_view(entry.first).substr(0, slash),
                         &entry);
  }
  std::stable_sort(entries.begin(), entries.end(),
                   [](const Entry& a, const Entry& b) { return a.first < b.first; });
  std::string out;
  for (std::size_t n = 0; n < entries.size(); ++n) {
    const auto& [group, entry] = entries[n];
    if (n == 0 || group != entries[n - 1].first) {
      std::string header = escapedKey(group);
      std::string lower = header;
      for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
      header = group.empty() ? "General" : lower == "general" ? "%General" : header;
      out += n == 0 ? "[" : "\n[";
      out += header;
      out += "]\n";
    }
    const std::string& key = entry->first;
    const Value& value = entry->second;
    const std::size_t slash = key.find('/');
    out += escapedKey(slash == std::string::npos ? std::string_view(key)
                                                 : std::string_view(key).substr(slash + 1));
    out += '=';
    if (value.isList && value.items.empty()) out += "@Invalid()";
    for (std::size_t i = 0; i < value.items.size(); ++i) {
      if (i > 0) out += ", ";
      appendEscapedValue(out, value.isList ? storedText(value.items[i]) : value.items[i]);
    }
    out += '\n';
  }
  return out;
}

IniFile IniFile::load(std::string_view relative) {
  try {
    return parse(readFileThroughTrustedLinks(relative));
  } catch (const FileError& e) {
    if (e.error() == ENOENT) return {};
    throw;
  }
}

void IniFile::save(std::string_view relative) const { replaceContent(relative, serialize()); }

bool IniFile::flag(const std::string& key, bool otherwise) const {
  const std::optional<std::string> t = text(key);
  if (!contains(key)) return otherwise;
  std::string lower = t.value_or("");
  for (char& c : lower)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return !(lower.empty() || lower == "0" || lower == "false");
}

long long IniFile::number(const std::string& key, long long otherwise) const {
  if (!contains(key)) return otherwise;
  const std::string t(trimmed(text(key).value_or("")));
  std::size_t digits = t.starts_with('+') || t.starts_with('-') ? 1 : 0;
  if (digits == t.size() || digits + 18 < t.size() ||
      t.find_first_not_of("0123456789", digits) != std::string::npos)
    return 0;
  return std::stoll(t);
}

std::optional<std::string> IniFile::text(const std::string& key) const {
  const auto it = values_.find(key);
  if (it == values_.end() || it->second.items.size() > 1) return std::nullopt;
  if (it->second.items.empty()) return std::string();
  return it->second.isList ? it->second.items.front() : textOf(it->second.items.front());
}

std::optional<std::string> IniFile::takeText(const std::string& key) {
  const auto it = values_.find(key);
  if (it == values_.end() || it->second.items.size() != 1 ||
      (!it->second.isList && it->second.items.front().starts_with('@'))) {
    std::optional<std::string> t = text(key);
    if (it != values_.end()) values_.erase(it);
    return t;
  }
  std::string t = std::move(it->second.items.front());
  values_.erase(it);
  return t;
}

std::optional<std::vector<std::string>> IniFile::list(const std::string& key) const {
  const auto it = values_.find(key);
  if (it == values_.end()) return std::nullopt;
  if (it->second.isList) return it->second.items;
  if (it->second.items.front() == "@Invalid()") return std::vector<std::string>{};
  return std::vector<std::string>{textOf(it->second.items.front())};
}

std::optional<std::string> IniFile::bytes(const std::string& key) const { return text(key); }

void IniFile::setText(const std::string& key, std::string_view text) {
  values_[key] = Value{{storedText(text)}, false};
}

void IniFile::adoptText(const std::string& key, std::string&& text) {
  if (text.find('\0') != std::string::npos || text.starts_with('@')) return setText(key, text);
  Value value;
  value.items.push_back(std::move(text));
  values_[key] = std::move(value);
}

void IniFile::setList(const std::string& key, const std::vector<std::string>& items) {
  values_[key] = Value{items, true};
}

void IniFile::setBytes(const std::string& key, std::string_view bytes) {
  std::string stored = kByteArrayPrefix;
  for (char b : bytes) appendUtf8(stored, static_cast<unsigned char>(b));
  values_[key] = Value{{stored + ")"}, false};
}

void IniFile::remove(const std::string& key) {
  values_.erase(key);
  const std::string below = key + "/";
  for (auto it = values_.lower_bound(below); it != values_.end() && it->first.starts_with(below);)
    it = values_.erase(it);
}

}  // namespace tarvix
