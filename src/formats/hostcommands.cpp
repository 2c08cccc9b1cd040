#include "formats/hostcommands.h"

#include <cstdint>
#include <utility>

#include "text/format.h"

namespace zazir {

std::string newPostCommand(int boardNumber, std::string_view title) {
  return formatText("EW%i;%s;Y\n", boardNumber, title);
}

std::string replyCommand(int boardNumber, int messageNumber) {
  return formatText("ER%i;%i;Y\n", boardNumber, messageNumber);
}

std::string movedReplyCommand(int targetBoardNumber, std::string_view title) {
  return newPostCommand(targetBoardNumber, title);
}

std::string uploadCommand(int fileBoardNumber, std::string_view fileName, std::string_view title) {
  return formatText("F%i\nZU\n%s\n%s\nY\n", fileBoardNumber, fileName, title);
}

std::string mailCommand(std::string_view recipients, std::string_view title) {
  return formatText("EM%s;0\n%s;Y\n", recipients, title);
}

std::string chatLineCommand(int boardNumber, std::string_view line) {
  return formatText("EW%i\n%s\nY\n", boardNumber, line);
}

std::string notewallLineCommand(std::string_view line) {
  return formatText("P\n%s\n\n", line);
}

std::string composedCommand(std::string_view firstLines, std::string_view text) {
  std::string command(firstLines);
  command += text;
  command += "\n//\nS\n";
  return command;
}

std::string downloadBatch(std::vector<DownloadMark> marks) {
  // This exchange sort decides the order of files within a board.
  for (std::size_t i = 1; i < marks.size(); ++i) {
    for (std::size_t j = 0; j < i; ++j) {
      if (static_cast<std::uint32_t>(marks[j].boardNumber) >
          static_cast<std::uint32_t>(marks[i].boardNumber)) {
        std::swap(marks[j], marks[i]);
      }
    }
  }
  std::string batch;
  int inGroup = 0;  // runs on across a change of board
  for (std::size_t k = 0; k < marks.size(); ++k) {
    if (k == 0 || marks[k].boardNumber != marks[k - 1].boardNumber || inGroup == 0) {
      batch += formatText("F%i\nZD", marks[k].boardNumber);
    }
    batch += formatText("%i;Y;", marks[k].fileNumber);
    if (++inGroup == 10) inGroup = 0;
    if (k + 1 == marks.size() || marks[k + 1].boardNumber != marks[k].boardNumber || inGroup == 0) {
      batch += "0\n0\n0\n";
    }
  }
  return batch;
}

}  // namespace zazir
