// The items one reader walks through (the mails, a board's messages or its
// file entries), as the jumps, the searches and the read marks see them.
#pragma once

#include <string_view>

#include "formats/article.h"
#include "formats/boardlog.h"
#include "formats/logindex.h"
#include "readers/place.h"

namespace zazir {

struct Series {
  MarkSection section = MarkSection::Mail;
  int board = 0;  // 0 for mail
  BoardPieces pieces;
  // A mail runs to its end line, which may lie past the next mail's start.
  bool openEnded = false;
  const ArticleLayout* layout = nullptr;

  int count() const { return pieces.count(); }
  LogOffset startOf(int n) const { return pieces.starts[static_cast<std::size_t>(n)]; }
  // The end the reader reads item `n` up to (-1: none but its stop line).
  LogOffset endOf(int n) const { return openEnded ? -1 : pieces.end(n); }
  // Where the series' part of a log of `logSize` bytes ends.
  LogOffset partEnd(LogOffset logSize) const {
    return openEnded || pieces.boardEnd < 0 ? logSize : pieces.boardEnd;
  }
  // The item whose part holds `offset`; -1 before the first.
  int itemAt(LogOffset offset) const;
  ReaderPlace place(int item) const { return {section, board, item}; }
};

Series mailSeries(const LogIndex& index);
Series messageSeries(BoardPieces messages, int board);
Series fileSeries(BoardPieces entries, int board);

// The item a person asks for by `number`: a message by the number of its
// "Message  #" line, a mail or a file entry by its position from 1. -1
// when there is none.
int itemNumbered(LineStream& log, const Series& series, int number);

// The number typed (digits, full-width ones too, blanks and a "#" around
// them); -1 for anything else.
int typedNumber(std::string_view text);

}  // namespace zazir
