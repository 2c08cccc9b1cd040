#include "chooser/chooser.h"

#include <sys/stat.h>

#include <algorithm>
#include <tuple>
#include <variant>
#include <vector>

#include "chooser/wildcard.h"
#include "console/console.h"
#include "console/dialogs.h"
#include "console/keymap.h"
#include "console/listscreen.h"
#include "platform/directory.h"
#include "platform/encoding.h"

namespace zazir {
namespace {

using namespace zazir::literals;

constexpr int kCellsPerPage = 120;
constexpr int kCellsPerRow = 5;
constexpr int kCellWidth = 16;
// The caller keeps the log path in an 80-byte field.
constexpr std::size_t kPathLimit = 79;

bool isPattern(const std::string& name) {
  return name.find_first_of("*?") != std::string::npos;
}

bool isExistingDirectory(const std::string& osPath) {
  struct stat info {};
  return ::stat(osPath.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

struct ListedFile {
  std::string name;    // CP932, as shown
  std::string osName;  // as the directory holds it
  bool operator<(const ListedFile& other) const {
    return std::tie(name, osName) < std::tie(other.name, other.osName);
  }
};

// The files (never directories) in `osDirectory` whose shown names match
// `pattern`, in byte order.
std::vector<ListedFile> matchingFiles(const std::string& osDirectory, const std::string& pattern) {
  std::vector<ListedFile> files;
  const auto entries = listDirectory(osDirectory);
  if (!entries) return files;
  for (const DirectoryEntry& entry : *entries) {
    if (entry.isDirectory) continue;
    std::string name = shownFileName(entry.name);
    if (matchesWildcard(pattern, name)) files.push_back({std::move(name), entry.name});
  }
  std::sort(files.begin(), files.end());
  return files;
}

enum class GridAction { Choose, Search, Help, Leave };
using GridKey = ListKey<GridAction>;

KeyTable<GridKey> gridKeys() {
  static const std::vector<Binding<GridKey>> kKeys = listTable<GridAction>(
      {.sideways = true},
      {
          {{key::kEnter}, GridAction::Choose, "リターンキー：決定"_sj},
          {{' ', '5'}, GridAction::Choose, "スペース，５：決定"_sj},
          {{'/'}, GridAction::Search, "／：一覧のログ全部から検索"_sj},
      },
      "Home，End：最初／最後のファイル"_sj,
      helpAndLeave(GridAction::Help, GridAction::Leave, "ESC，Ｑ：選ばずに終わる"_sj));
  return kKeys;
}

class Grid {
 public:
  Grid(Console& console, const std::vector<ListedFile>& files)
      : console_(console),
        files_(files),
        list_(ListScreen::ofEntries({kCellsPerPage, kCellsPerRow, ListPaging::Entries},
                                    static_cast<int>(files.size()),
                                    [&files](int k) { return files[k].name; })) {
    list_.open(0, 0);
  }

  // Runs the key loop; returns the chosen file's index.
  int choose(const std::string& directory, const std::string& osDirectory,
             const LogsSearch& searchLogs);

 private:
  const ListedFile& chosen() const { return files_[static_cast<std::size_t>(list_.index())]; }
  Outcome act(const GridKey& key, const std::string& directory, const std::string& osDirectory,
              const LogsSearch& searchLogs);
  void tellPathTooLong(const std::string& path);

  void draw() {
    console_.clearScreen();
    console_.setNormal();
    for (const std::string& name : list_.rows()) console_.putText("%16.16s", name);
    highlight(highlight_);
  }

  void writeCell() {
    const int cell = list_.row();
    console_.setCursor((cell % kCellsPerRow) * kCellWidth, cell / kCellsPerRow);
    console_.putText("%16.16s", chosen().name);
  }

  // Black on `background`: light grey for the first highlight of a page,
  // white for every later one.
  void highlight(int background) {
    console_.setForeground(0);
    console_.setBackground(background);
    writeCell();
    console_.setNormal();
  }
  // Every highlight after a page was drawn, even after a key that did not
  // move the cursor.
  Outcome highlightAgain() {
    highlight_ = 15;
    highlight(highlight_);
    return Outcome::Stay;
  }
  Outcome drawPageAgain() {
    highlight_ = 7;
    return Outcome::Redraw;
  }

  Console& console_;
  const std::vector<ListedFile>& files_;
  ListScreen list_;
  int highlight_ = 7;  // the background the cursor cell is highlighted in now
};

void Grid::tellPathTooLong(const std::string& path) {
  console_.bell();
  noticeBox(
      console_, "ファイル名が長すぎます"_sj,
      formatText("　[%s]\n　のパスは79バイトを超えるため、通信ログとして開けません。"_sj, path));
}

Outcome Grid::act(const GridKey& key, const std::string& directory, const std::string& osDirectory,
                  const LogsSearch& searchLogs) {
  writeCell();  // in the normal attribute: the highlight goes
  if (const CursorMove* move = std::get_if<CursorMove>(&key)) {
    const ListScreen::Moved moved = list_.move(*move);
    if (moved.stopped) console_.bell();
    return moved.page ? drawPageAgain() : highlightAgain();
  }
  switch (std::get<GridAction>(key)) {
    case GridAction::Leave:
      console_.clearScreen();
      console_.present();
      throw ProgramExit{0, {}};
    case GridAction::Choose:
      if (directory.size() + chosen().name.size() <= kPathLimit) return Outcome::Leave;
      tellPathTooLong(directory + chosen().name);
      break;
    case GridAction::Search: {
      if (!searchLogs) {
        console_.bell();
        return highlightAgain();
      }
      // Those whose path is too long to open are not searched either.
      std::vector<ChosenLog> listed;
      for (const ListedFile& file : files_) {
        if (directory.size() + file.name.size() > kPathLimit) continue;
        listed.push_back({directory + file.name, osDirectory + file.osName});
      }
      searchLogs(listed);
      break;
    }
    case GridAction::Help:
      showHelp(console_, "通信ログの選択"_sj, gridKeys());
      break;
  }
  return drawPageAgain();
}

int Grid::choose(const std::string& directory, const std::string& osDirectory,
                 const LogsSearch& searchLogs) {
  runKeyLoop(
      console_, gridKeys(),
      [&](const GridKey& key) { return act(key, directory, osDirectory, searchLogs); },
      [&] { draw(); }, Resizes::Absorb,
      [&] {
        writeCell();
        return highlightAgain();
      });
  return list_.index();
}

}  // namespace

ChosenLog chooseLogFile(Console& console, const std::string& osArgument,
                        const std::string& logfileDir, const LogsSearch& searchLogs) {
  console.setNormal();
  std::string name = osArgument;
  if (!isPattern(name) && !name.ends_with('/')) {
    // Users type a directory without its trailing separator too.
    if (!isExistingDirectory(name)) return {shownFileName(osArgument), osArgument};
    name += '/';
  }
  std::string pattern = name.find('/') == std::string::npos ? toOsName(logfileDir) + name : name;
  if (pattern.ends_with('/')) pattern += "*.*";
  const std::size_t split = pattern.rfind('/');
  const std::string osDirectory =
      split == std::string::npos ? std::string() : pattern.substr(0, split + 1);
  const std::vector<ListedFile> files =
      matchingFiles(osDirectory, shownFileName(pattern.substr(osDirectory.size())));
  if (files.empty()) {
    const std::string& message = "指定されたディレクトリにファイルがありません。"_sj;
    console.writeText(message);
    console.present();
    // The entry point also prints the message once the terminal is back,
    // where the user can still read it, and what was looked for.
    throw ProgramExit{1, message, 0, pattern + ": no file matches"};
  }
  const std::string directory = shownFileName(osDirectory);
  Grid grid(console, files);
  const ListedFile& chosen =
      files[static_cast<std::size_t>(grid.choose(directory, osDirectory, searchLogs))];
  return {directory + chosen.name, osDirectory + chosen.osName};
}

KeyRows chooserKeyRows() {
  return keyRowsOf(gridKeys());
}

}  // namespace zazir
