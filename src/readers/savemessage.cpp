#include "readers/savemessage.h"

#include <algorithm>
#include <string>

#include "console/dialogs.h"
#include "console/textutil.h"
#include "driver/app.h"
#include "driver/loglines.h"
#include "platform/encoding.h"
#include "platform/textfile.h"
#include "readers/boardlog.h"

namespace zazir {

using namespace literals;

namespace {

// The piece's lines from `start` up to `end` (-1: the end of the log) or a
// stop line, each cleaned up and ended by "\n". A log line is read whole,
// however long, so that a saved line is never broken in two.
std::string copyFromLog(LineStream& log, LogOffset start, LogOffset end) {
  std::string text;
  std::string line;
  log.seek(start);
  while (end < 0 || log.tell() < end) {
    if (!readWholeLine(log, line)) break;
    stripLineEnd(line);
    if (isStopLine(line)) break;
    text += line;
    text += '\n';
  }
  return text;
}

// CUTFILE_DIR, the board's name and ".TXT". A "/" in the name (it comes
// from the log) must not lead the file into another directory, nor a NUL
// byte end the name early.
std::string proposedFileName(const Config& config, const BoardEntry& board) {
  std::string name = board.name;
  std::replace(name.begin(), name.end(), '/', '_');
  std::replace(name.begin(), name.end(), '\0', '_');
  return formatText("%s%s.TXT", config.cutfileDir, name);
}

}  // namespace

void saveToCutFile(App& app, const std::vector<BoardEntry>& boards, int board,
                   const std::vector<LogOffset>& offsets, int current) {
  Console& console = app.console;
  const std::string path =
      promptBox(console, "書き込みを保存するファイルのファイル名 無入力：ｷｬﾝｾﾙ"_sj,
                proposedFileName(app.config, boards[static_cast<std::size_t>(board)]));
  if (path.empty()) return;

  const std::size_t at = static_cast<std::size_t>(current);
  const LogOffset end = at + 1 < offsets.size() ? offsets[at + 1] : boardEndOffset(boards, board);
  console.clearScreen();
  const std::string text = copyFromLog(app.log, offsets[at], end);
  if (text.empty() || appendOnOwnLine(path, text)) return;
  noticeBox(console, "ファイルに保存できません"_sj,
            formatText("　ファイル[%s]に書き込みを保存できませんでした。\n"
                       "　ディレクトリと書き込みの許可、ディスクの空きを確認してください。"_sj,
                       path));
}

}  // namespace zazir
