// Where the lists were left, so that each opens there again; whoever runs
// the lists keeps one for the run.
#pragma once

namespace zazir {

struct ListPositions {
  int chatLineRow = 0;
  int chatLinePage = 0;  // one for every chat board
  int notewallRow = 0;
  int boardListRow = 0;
  int boardListPage = 0;  // one for the message and the file boards
  int chatBoardRow = 0;
};

}  // namespace zazir
