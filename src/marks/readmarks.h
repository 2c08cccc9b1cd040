// Read marks: which mails, messages and file entries were shown in their
// reader, kept across runs in a small state file per log, known by what
// the log's index found (logidentity.h). Runs on the same log at once
// merge their marks: a mark set by any of them stays set.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "formats/logindex.h"
#include "marks/logidentity.h"
#include "marks/marksfile.h"

namespace zazir {

// Where the state files live: $XDG_STATE_HOME/zazir/ when that is an
// absolute path, else $HOME/.local/state/zazir/; none without either.
// Ends with "/".
std::optional<std::string> stateDirectory(const char* xdgStateHome, const char* home);

// A state file no run has used for this long is removed.
inline constexpr std::int64_t kUnusedStateSeconds = 180LL * 24 * 60 * 60;

class ReadMarks {
 public:
  static constexpr int kKeepEvery = 50;

  // The marks of the log whose index is `index`, `logBytes` long, from its
  // file in `directory` (a path the operating system takes as it stands).
  // Without one, the marks of the log's earlier, shorter self are taken
  // over, or those kept before logs were known by their index (found by the
  // content of the file at `logOsPath`). A missing or damaged file, one of
  // another log or one larger than this log could need (not read at all)
  // only means that nothing is read yet. State files unused for
  // kUnusedStateSeconds are removed.
  static ReadMarks load(const std::string& directory, const LogIndex& index, std::uint64_t logBytes,
                        const std::string& logOsPath);

  // Makes a series known with its name and where its items start in the
  // log: mail is board 0 of its section, a board is its index in the log
  // index's table. Marks kept for a series of another name, or whose items
  // stood elsewhere, are dropped; those of a series that has grown since
  // are kept. Needed before markRead.
  void track(MarkSection section, int board, std::string_view name,
             std::span<const LogOffset> starts);

  bool isRead(MarkSection section, int board, int item) const;
  void markRead(MarkSection section, int board, int item);
  // Items not read of a series tracked now or in an earlier run; none for
  // a series never tracked.
  std::optional<int> unreadCount(MarkSection section, int board) const;
  // The items of such a board, read or not.
  std::optional<int> itemCount(MarkSection section, int board) const;

  bool changed() const { return changed_; }
  // Whether enough items were marked read since the marks were last kept
  // that they should be kept now: a crash then loses few.
  bool keepDue() const { return unkept_ >= kKeepEvery; }
  // Saves the marks when they changed and have a file to be kept in. False
  // only for the run's first failure to: the one to tell.
  bool keep();
  // Whether the marks have a file to be kept in (none without a state
  // directory: they live for the run only).
  bool kept() const { return !directory_.empty(); }
  // Under a lock on the directory, adds the marks the file holds now (other
  // runs may have saved since) to these, then writes the file whole beside
  // the old one and renames it over that one; the directory is made when
  // missing. False when it cannot be written (the old file is then left as
  // it was).
  bool save();

  std::string path() const;

 private:
  SeriesMarks* find(MarkSection section, int board);
  const SeriesMarks* find(MarkSection section, int board) const;
  // This log's own file, when it is sound and not too large.
  std::optional<MarksFile> readOwn() const;
  // Each takes the marks of another file when it finds a sound one, and
  // gives its path; empty when there is none.
  std::string takeOverEarlierSelf(const LogIndex& index,
                                  const std::vector<std::string>& stateFiles);
  std::string takeOverFormerFile(const std::string& logOsPath);
  // Removes the state files of `stateFiles` unused for long; `inUse`, the
  // file this run read, counts as used now.
  void removeUnused(const std::vector<std::string>& stateFiles, const std::string& inUse) const;
  void merge(const MarksFile& disk);

  std::string directory_;
  std::uint64_t bound_ = 0;  // the largest file this log can need
  MarksFile marks_;          // this log's identity and marks
  // A file of the former kind whose marks were taken over: removed once
  // they are saved in this log's own file.
  std::string former_;
  bool changed_ = false;
  int unkept_ = 0;            // items marked read since the marks were last kept
  bool failureTold_ = false;  // a failure to keep the marks is told once a run
};

}  // namespace zazir
