#include "store/NameListFile.h"

#include "store/DataFile.h"
#include "store/NameLists.h"

namespace tarvix {

std::vector<std::string> NameListFile::read() const { return readNameList(file_); }

void NameListFile::add(std::string_view name) const { appendNameEntry(file_, name); }

void NameListFile::replace(const std::vector<std::string>& names) const {
  replaceLines(file_, names, ReplaceMode::MustExist);
}

void NameListFile::clear() const { replaceContent(file_, "", ReplaceMode::MustExist); }

}  // namespace tarvix
