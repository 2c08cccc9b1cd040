// The journal of a file set's commit (platform/fileset.h): what it is about
// to change in its directory, written before the first change and removed
// after the last, so that a commit cut short (a kill, a crash of the
// program) is taken back when the directory is next opened as a set.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/fileidentity.h"
#include "platform/fileset.h"

struct stat;

namespace zazir {

inline constexpr char kJournalName[] = ".zazir-journal";
// The private directories of sets begin so.
inline constexpr char kStagePrefix[] = ".zazir-export-";

struct SetJournal {
  struct Cut {  // a file added to, and its end before
    std::string name;
    FileIdentity identity;
    std::uint64_t end = 0;
  };
  struct Placed {  // a new file moved into place
    std::string name;
    FileIdentity identity;
  };
  std::string stage;  // the set's private directory
  std::string recordName;
  FileIdentity record;  // the record that, once in place, ends the commit
  std::vector<Cut> cuts;
  std::vector<Placed> placed;
};

std::string encodeJournal(const SetJournal& journal);
// None unless every line is whole and every name stays inside the
// directory.
std::optional<SetJournal> decodeJournal(std::string_view text);

// Takes back what `journal` names in the directory `dirFd` unless its
// record is in place: the files added to are cut back to their old ends,
// the new files removed; each only while it is the very file the journal
// names. True when anything had to be taken back.
bool rollBack(int dirFd, const SetJournal& journal);

// Removes the private directory `name` of `dirFd` with its files and
// folders, no link followed.
void removeStage(int dirFd, const std::string& name);

// `folder` ("" for the directory itself) of `dirFd`, opened without
// following a link; -1 when it is no directory.
int openFolder(int dirFd, const std::string& folder);

// "boards/x.mbox" as its folder ("boards", or "" for none) and its name.
std::pair<std::string, std::string> splitName(const std::string& name);

// What the file set's pieces share.
inline constexpr unsigned kDirectoryMode = 0777;
FileFacts factsOf(const struct stat& info);
// "PATH: reason".
std::string problemOf(const std::string& path, int error);

}  // namespace zazir
