// A set of files written together into one directory: new files, additions
// at the end of files already there, and one record that is replaced. The
// set appears whole or not at all: everything is first written in a private
// directory inside it; at the commit the additions are appended, the new
// files moved into place and the record put in place last. Whatever fails,
// and whatever ends the work before, nothing written is left: the files
// added to are cut back to their old ends. A journal in the directory names
// what a commit is about to change, so that a commit cut short even by a
// kill is taken back when the directory is next opened as a set. Every
// directory below the one named is reached through a descriptor, never by a
// link that appeared after it was checked. Names are as the system has them.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/fileidentity.h"

namespace zazir {

// A file as it stands: which file, and how long.
struct FileFacts {
  FileIdentity identity;
  std::uint64_t length = 0;
  bool operator==(const FileFacts&) const = default;
};

class FileSet {
 public:
  // Opens `dir`, first creating it and the directories above it as far as
  // they are missing, and locks it (another set waits). A commit left
  // unfinished there is taken back first (tookBack()). None, with
  // `problem` ("PATH: reason"), when it cannot.
  static std::unique_ptr<FileSet> open(const std::string& dir, std::string& problem);
  // Takes back whatever was not committed, the directories made included.
  ~FileSet();
  FileSet(const FileSet&) = delete;
  FileSet& operator=(const FileSet&) = delete;

  // True when opening took back a commit that had not finished.
  bool tookBack() const { return tookBack_; }

  // Each of `names` ("mail.mbox", "boards/x.mbox") that is in the directory
  // now, as a regular file, with its facts in `found`. False, with
  // `problem` naming it, when anything else is in the way: a folder that
  // is no directory, a name that holds a link or any other kind of file.
  bool survey(const std::vector<std::string>& names, std::map<std::string, FileFacts>& found,
              std::string& problem) const;
  // The regular files of `folder` ("" for the directory itself, whose
  // hidden names are left out), in name order.
  std::vector<std::string> filesIn(const std::string& folder) const;
  // A descriptor for reading the regular file `name` (no link followed);
  // -1 when there is none.
  int openToRead(const std::string& name) const;
  // The regular file `name` of the directory itself, read whole when it
  // holds at most `limit` bytes; none otherwise.
  std::optional<std::string> readSmall(const std::string& name, std::uint64_t limit) const;

  // A descriptor for writing the new file `name` at its end: created with
  // `mode` (the umask applies) the first time, then the same file again.
  // -1, errno set, when it cannot.
  int open(const std::string& name, unsigned mode);
  // A descriptor for writing what goes at the end of the existing file
  // `name`, which must still be the file `was` when the set is committed.
  int openAddition(const std::string& name, const FileFacts& was);
  // The record: at the commit, once the facts every file of the set will
  // have are known, `make` gives its bytes, which replace the file `name`.
  using RecordMaker = std::function<std::string(const std::map<std::string, FileFacts>&)>;
  void setRecord(const std::string& name, RecordMaker make);

  // Appends the additions (under each file's lock), moves every new file
  // into place, none over a file that is there by now, and puts the record
  // in place. On failure everything is taken back and `problem` says why.
  bool commit(std::string& problem);

  // `name` as the user sees it: the directory named, joined.
  std::string shown(const std::string& name) const;

 private:
  struct Addition {
    std::string staged;  // its name in the private directory
    FileFacts was;
  };

  FileSet(std::string dir, int dirFd, std::vector<std::string> made);
  int stage();
  int stagedFolder(const std::string& folder);
  // The regular files, or the directories, of `folder` ("" for the
  // directory itself, hidden names included only for directories).
  std::vector<std::string> namesIn(const std::string& folder, bool directories) const;
  void takeBack();

  std::string dir_;
  int dirFd_ = -1;
  std::vector<std::string> madeDirs_;  // made for the set, outermost first
  std::string stage_;                  // the private directory's name in dir_
  int stageFd_ = -1;
  std::map<std::string, int> folders_;         // staged folders by name
  std::map<std::string, FileIdentity> files_;  // the new files written, by name
  std::map<std::string, Addition> additions_;  // by the name of the file added to
  std::string recordName_;
  RecordMaker makeRecord_;
  bool committed_ = false;
  bool tookBack_ = false;
};

}  // namespace zazir
