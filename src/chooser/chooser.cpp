#include "chooser/chooser.h"

#include <sys/stat.h>

#include <algorithm>
#include <vector>

#include "chooser/wildcard.h"
#include "console/console.h"
#include "console/dialogs.h"
#include "console/keys.h"
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

bool isExistingDirectory(const std::string& cp932Path) {
  struct stat info {};
  return ::stat(toOsName(cp932Path).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// The CP932 names of the files (never directories) in `directory` that
// match `pattern`, in byte order. A name that would not come back to the
// same file when the program opens it is left out: it could only fail.
std::vector<std::string> matchingFiles(const std::string& directory, const std::string& pattern) {
  std::vector<std::string> names;
  const auto entries = listDirectory(toOsName(directory));
  if (!entries) return names;
  for (const DirectoryEntry& entry : *entries) {
    if (entry.isDirectory) continue;
    std::string name = fromOsName(entry.name);
    if (toOsName(name) != entry.name) continue;
    if (matchesWildcard(pattern, name)) names.push_back(std::move(name));
  }
  std::sort(names.begin(), names.end());
  return names;
}

class Grid {
 public:
  Grid(Console& console, const std::vector<std::string>& names)
      : console_(console), names_(names), lastFile_(static_cast<int>(names.size()) - 1) {}

  // Runs the key loop; returns the chosen file's index.
  int choose(const std::string& directory);

 private:
  int fileIndex() const { return page_ * kCellsPerPage + cell_; }

  void drawPage() {
    console_.clearScreen();
    console_.setNormal();
    const int first = page_ * kCellsPerPage;
    const int last = std::min(lastFile_, first + kCellsPerPage - 1);
    for (int file = first; file <= last; ++file) {
      console_.putText("%16.16s", names_[static_cast<std::size_t>(file)]);
    }
    highlight(7);
  }

  void writeCell() {
    console_.setCursor((cell_ % kCellsPerRow) * kCellWidth, cell_ / kCellsPerRow);
    console_.putText("%16.16s", names_[static_cast<std::size_t>(fileIndex())]);
  }

  // Black on `background`: light grey for the first highlight of a page,
  // white for every later one.
  void highlight(int background) {
    console_.setForeground(0);
    console_.setBackground(background);
    writeCell();
    console_.setNormal();
  }

  Console& console_;
  const std::vector<std::string>& names_;
  const int lastFile_;
  int page_ = 0;
  int cell_ = 0;
};

int Grid::choose(const std::string& directory) {
  drawPage();
  while (true) {
    const int key = console_.getKey();
    writeCell();  // in the normal attribute: the highlight goes
    switch (key) {
      case key::kEscape:
      case 'Q':
      case 'q':
        console_.clearScreen();
        console_.present();
        throw ProgramExit{0, {}};
      case ' ':
      case '5':
      case key::kEnter:
        if (directory.size() + names_[static_cast<std::size_t>(fileIndex())].size() <= kPathLimit) {
          return fileIndex();
        }
        console_.bell();  // the path would not fit the caller's field
        break;
      case key::kUp:
      case '8':
        cell_ -= kCellsPerRow;
        break;
      case key::kDown:
      case '2':
        cell_ += kCellsPerRow;
        break;
      case key::kLeft:
      case '4':
        cell_ -= 1;
        break;
      case key::kRight:
      case '6':
        cell_ += 1;
        break;
      default:
        break;
    }
    if (fileIndex() > lastFile_) {
      console_.bell();
      cell_ = lastFile_ - page_ * kCellsPerPage;
    }
    if (cell_ < 0) {
      if (page_ > 0) {
        // The same column on the last row of the previous page.
        cell_ = (cell_ + kCellsPerRow) % kCellsPerRow + kCellsPerPage - kCellsPerRow;
        --page_;
        drawPage();
        continue;
      }
      console_.bell();
      cell_ = 0;
    }
    if (cell_ >= kCellsPerPage) {
      // The same column on the first row of the next page.
      cell_ %= kCellsPerRow;
      ++page_;
      drawPage();
      continue;
    }
    highlight(15);
  }
}

}  // namespace

std::string chooseLogFile(Console& console, const std::string& logPath,
                          const std::string& logfileDir) {
  console.setNormal();
  std::string name = logPath;
  if (!isPattern(name) && !name.ends_with('/')) {
    // Users type a directory without its trailing separator too.
    if (!isExistingDirectory(name)) return logPath;
    name += '/';
  }
  std::string pattern = name.find('/') == std::string::npos ? logfileDir + name : name;
  if (pattern.ends_with('/')) pattern += "*.*";
  const std::size_t split = pattern.rfind('/');
  const std::string directory =
      split == std::string::npos ? std::string() : pattern.substr(0, split + 1);
  const std::vector<std::string> names = matchingFiles(directory, pattern.substr(directory.size()));
  if (names.empty()) {
    const std::string& message = "指定されたディレクトリにファイルがありません。"_sj;
    console.writeText(message);
    console.present();
    // The entry point also prints the message once the terminal is back,
    // where the user can still read it.
    throw ProgramExit{1, message};
  }
  Grid grid(console, names);
  return directory + names[static_cast<std::size_t>(grid.choose(directory))];
}

}  // namespace zazir
