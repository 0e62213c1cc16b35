#pragma once
// What one of the admin lists' "add" windows shows and where it appends.
#include <vector>

namespace tarvix {

struct AddEntryField {
  const char* objectName;
  const char* label;  // above the edit; "" for none
};

struct AddEntrySpec {
  const char* objectName;  // "Form22"
  const char* caption;
  const char* file;  // list file the entry is appended to
  // One field: one line. Two fields: a map's display and rcon name, appended
  // as a pair.
  std::vector<AddEntryField> fields;
  const char* button;
  bool clearOnShow = false;  // every show empties the fields
  // An empty field still hides the window and reloads the list, writing
  // nothing; otherwise an empty field does nothing.
  bool emptyClosesToo = false;
  // An empty field puts the focus on the first field.
  bool focusFirstWhenIncomplete = false;
};

}  // namespace tarvix
