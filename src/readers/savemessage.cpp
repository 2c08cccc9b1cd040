#include "readers/savemessage.h"

#include <string>

#include "console/dialogs.h"
#include "formats/boardlog.h"
#include "formats/loglines.h"
#include "platform/encoding.h"
#include "platform/textfile.h"
#include "services/app.h"
#include "services/logguard.h"
#include "text/textutil.h"

namespace zazir {

using namespace literals;

namespace {

// CUTFILE_DIR, the board's name and ".TXT".
std::string proposedFileName(const Config& config, const BoardEntry& board) {
  return formatText("%s%s.TXT", config.cutfileDir, safeFileName(board.name));
}

}  // namespace

void saveToCutFile(App& app, const BoardEntry& board, LogOffset start, LogOffset end) {
  Console& console = app.console;
  const std::string path =
      promptBox(console, "書き込みを保存するファイルのファイル名 無入力：ｷｬﾝｾﾙ"_sj,
                proposedFileName(app.config, board));
  if (path.empty()) return;

  // Copied straight from the log, so that a long line is never held whole
  // and stays one line in the file.
  app.log.stream.seek(start);
  const AppendOutcome outcome = appendText(
      {path, AppendRule::OwnLine, AppendMode::CreateIfMissing, app.state.guard(), NewFile::Shared,
       Links::FollowOwn},
      [&](const TextSink& put) { copyCleanLines(app.log.stream, end, isStopLine, put); });
  if (outcome == AppendOutcome::Written) return;
  const std::string file = formatText("ファイル[%s]"_sj, path);
  noticeBox(
      console, "ファイルに保存できません"_sj,
      isRefusal(outcome)
          ? refusedFileText(outcome, file)
          : formatText("　%sに書き込みを保存できませんでした。\n"
                       "　ディレクトリと書き込みの許可、ディスクの空きを確認してください。"_sj,
                       file));
}

}  // namespace zazir
