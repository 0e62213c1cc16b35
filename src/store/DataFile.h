#pragma once
// Access to the files of the data folder (the current directory).
//
// Share modes are emulated with flock(): a reader holds a shared lock on its
// open file while it reads; a writer or appender asks for an exclusive lock
// without waiting and fails as "in use" while any reader holds the file.
// Writers and appenders write a temporary file beside the target and rename
// it over the target, so an interrupted write never leaves a half-written
// file; temporaries of killed writers are removed at the next start. A file
// that cannot be replaced that way is not written at all.
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tarvix {

// A file that could not be opened, read or written. what() is the text shown
// to the user: the file's name and the system's description of the error.
class FileError : public std::runtime_error {
 public:
  FileError(const std::string& path, int err, const char* action = "Cannot open file");
  int error() const { return err_; }
  // True when the file exists but is held open by a reader.
  bool inUse() const;
  const std::string& path() const { return path_; }

 protected:
  // A failure described by its own text rather than the system's.
  FileError(const std::string& path, int err, const std::string& message);

 private:
  std::string path_;
  int err_;
};

// A write (or a settings read) refused to protect the user's files: through
// a link another user made, or where the file could only be overwritten in
// place. Nothing was written; what() says why and what to do.
class WriteRefused : public FileError {
 public:
  WriteRefused(const std::string& path, int err, const std::string& message);
};

// A value that cannot become an entry of a file: it holds a line break, or
// (for a name list) it is empty or blank. Nothing was written.
class EntryError : public FileError {
 public:
  EntryError(const std::string& path, const std::string& message);
};

// Maps a stored relative path with backslashes ("Serverlists\Standard") to a
// path under the current directory.
std::string dataPath(std::string_view relative);

bool fileExists(std::string_view relative);

// Whole content of an existing file, read under a shared lock.
std::string readFile(std::string_view relative);
std::vector<std::string> readLines(std::string_view relative);
// The same for a file whose content steers the program (tarvix.ini): through
// a symbolic link only when the writers would write through it, otherwise
// refused (WriteRefused says why).
std::string readFileThroughTrustedLinks(std::string_view relative);

// Who may read the file a replacing writer leaves: an existing file keeps its
// mode, a new one gets the usual mode; files holding passwords are readable
// by their owner only, from the first byte of the temporary file on.
enum class FileAccess { Shared, OwnerOnly };

// Appends each line followed by CR LF to an existing file, synced to disk.
// A line holding CR or LF is refused (EntryError) before anything is written,
// so one value is always exactly one line. The file is replaced whole, like a
// rewrite, so a crash leaves it with all of the new lines or none. OwnerOnly
// narrows a file that others could read to its owner.
void appendLines(std::string_view relative, const std::vector<std::string>& lines,
                 FileAccess access = FileAccess::Shared);

enum class ReplaceMode {
  CreateOrTruncate,  // the file may be missing
  MustExist,         // a missing file is an error (delete-then-create writers)
};
// Replaces the file's content with each line followed by CR LF. A file that
// is a symbolic link is written through to the file it names when the link
// belongs to this user, root or the data folder's owner; a link of anyone
// else is refused (WriteRefused), as is a file whose folder takes no new file
// (an in-place rewrite could be cut short). Errors name the given file, never
// a temporary. A crash at any moment leaves the old or the new content (and,
// until the next start, perhaps a temporary file beside it); a missing file
// stays missing until the new one is complete.
void replaceLines(std::string_view relative, const std::vector<std::string>& lines,
                  ReplaceMode mode = ReplaceMode::CreateOrTruncate,
                  FileAccess access = FileAccess::Shared);
void replaceContent(std::string_view relative, std::string_view content,
                    ReplaceMode mode = ReplaceMode::CreateOrTruncate,
                    FileAccess access = FileAccess::Shared);

// The same for a file named by its exact path (a file chosen in a dialog,
// outside the data folder): no separator mapping.
std::string readFileAt(const std::string& path);
void replaceContentAt(const std::string& path, std::string_view content,
                      ReplaceMode mode = ReplaceMode::CreateOrTruncate,
                      FileAccess access = FileAccess::Shared);

// Removes the temporary files that writers killed before their rename left in
// `folder` (those of processes that no longer run). Returns how many.
int removeStaleTemporaries(const std::string& folder);
// The same beside the target of every trusted link in `folder`: only the
// temporaries of the linked file, since the target's folder is not ours.
int removeStaleTemporariesOfLinks(const std::string& folder);

// Deletes a file; fails as "in use" while a reader holds it.
void deleteFile(std::string_view relative);

// Holds a file open for reading under a shared lock, as a reader would; used
// by tests and by callers that read a file over several steps.
class ReadHold {
 public:
  explicit ReadHold(std::string_view relative);
  ~ReadHold();
  ReadHold(const ReadHold&) = delete;
  ReadHold& operator=(const ReadHold&) = delete;
  std::string content() const;

 private:
  int fd_ = -1;
  std::string path_;
};

}  // namespace tarvix
