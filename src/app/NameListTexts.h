#pragma once
// The texts and file of one name list window (Buddies or Clantags).

namespace tarvix {

struct NameListTexts {
  const char* objectName;  // "Form2"
  const char* caption;     // window caption
  const char* file;        // list file of the data folder
  const char* editLabel;   // label above the edit
  const char* hint;        // hint of the list, or nullptr
  const char* deleteOne;   // context menu: delete the selected entry
  const char* deleteOneName;
  const char* deleteAll;  // context menu: delete every entry
  const char* deleteAllName;
};

}  // namespace tarvix
