// The archive an export adds to: what its index says, checked against the
// files as they stand, and what this export adds. A file the index cannot
// vouch for is read again; an index that is damaged or missing is made
// again from the files that read as this program's.
#pragma once

#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "export/archiveindex.h"
#include "export/threadlinks.h"
#include "platform/fileset.h"

namespace zazir {

class SeenSet;

class Archive : public EarlierMessages {
 public:
  // Reads the index of the set's directory and checks each file it names
  // (its identity and length); a file that changed is read again. Tells on
  // `err` when the index had to be made again.
  void load(const FileSet& set, std::FILE* err);
  // Each of `names` that stands in the directory must be a file of the
  // archive; false, with `problem`, for the first that is not.
  bool admit(const FileSet& set, const std::vector<std::string>& names, std::string& problem);
  // The file as it stood when admitted; none for a file to be made.
  const FileFacts* existing(const std::string& name) const;
  // The record of a file the export writes, made for a new one.
  ArchiveFile& record(const std::string& name);
  // Every Message-ID of the archive's mailboxes.
  void seed(SeenSet& seen) const;
  // A board's messages by number and replies by parent, a board known by
  // its mailbox's name.
  std::uint64_t numbered(std::string_view board, int number) const override;
  std::uint64_t parentOf(std::uint64_t key) const override;
  // The index, with the files of the set as they will be.
  std::string encode(const std::map<std::string, FileFacts>& facts);

 private:
  ArchiveIndex index_;
  std::map<std::string, FileFacts> existing_;
};

// Which items of a run (the items one log holds for one text file) are
// written to it, noting the run in the file's record. A run the file holds
// already (the same items in the same order, or all of them among the
// items read from the file) adds nothing: the same log exported again adds
// nothing. A new run is written whole, but for a `window` (a list that each
// visit shows again in part, as the Notewall its recent lines): there the
// items that repeat items of the run before it are left out, each earlier
// item standing for one.
std::vector<bool> itemsToWrite(ArchiveFile& file, const std::vector<std::uint64_t>& run,
                               bool window);

}  // namespace zazir
