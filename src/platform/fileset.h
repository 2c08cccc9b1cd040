// A set of files written together into one directory, which appears there
// whole or not at all: the files are written in a private directory inside
// it and moved into place once every one is complete. Whatever fails, and
// whatever ends the work before, nothing written is left in place. Every
// directory below the one named is reached through a descriptor, never by
// a link that appeared after it was checked. Names are as the system has
// them.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/fileidentity.h"

namespace zazir {

class FileSet {
 public:
  // Opens `dir`, first creating it and the directories above it as far as
  // they are missing. None, with `problem` ("PATH: reason"), when it cannot.
  static std::unique_ptr<FileSet> open(const std::string& dir, std::string& problem);
  // Takes back whatever was not committed, the directories made included.
  ~FileSet();
  FileSet(const FileSet&) = delete;
  FileSet& operator=(const FileSet&) = delete;

  // True when none of `names` ("mail.mbox", "boards/x.mbox") is in the
  // directory yet, and each folder they name is missing or a directory
  // (not a link); else `problem` names the first in the way.
  bool allMissing(const std::vector<std::string>& names, std::string& problem) const;

  // A descriptor for writing `name` at its end: created with `mode` (the
  // umask applies) the first time, then the same file again. -1, errno
  // set, when it cannot.
  int open(const std::string& name, unsigned mode);

  // Moves every file into place, none over a file that is there by now.
  // On failure everything is taken back and `problem` says why.
  bool commit(std::string& problem);

  // `name` as the user sees it: the directory named, joined.
  std::string shown(const std::string& name) const;

 private:
  FileSet(std::string dir, int dirFd, std::vector<std::string> made);
  int stagedFolder(const std::string& folder);
  void takeBack();

  std::string dir_;
  int dirFd_ = -1;
  std::vector<std::string> madeDirs_;  // made for the set, outermost first
  std::string stage_;                  // the private directory's name in dir_
  int stageFd_ = -1;
  std::map<std::string, int> folders_;         // staged folders by name
  std::map<std::string, FileIdentity> files_;  // the files written, by name
  bool committed_ = false;
};

}  // namespace zazir
