// The main menu's search: the whole log looked through for a text, its hits
// listed (where, the number, the title, the matching line) as soon as a
// page of them is found; Return opens the reader on a hit with the match
// shown, or the Notewall or chat list on its line.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

#include "search/logsearch.h"

namespace zazir {

struct App;
struct Reading;

// How the scan goes on: a piece at a time, Esc looked for after each, and a
// progress row once it has run a while.
struct SearchPacing {
  std::size_t pieceBytes = search::kProgressBytes;
  std::chrono::milliseconds progressAfter{500};
};

// Asks for the text and runs the list of hits until the user leaves it.
void searchWholeLog(Reading& reading, const SearchPacing& pacing = {});

// Where a hit lies, as its list shows it: "メール", the board's name,
// "Notewall".
std::string hitWhere(const LogIndex& index, const search::SearchHit& hit);

// How far a search has come: still finding, stopped by the user, done.
enum class HitsFound : std::uint8_t { SoFar, Stopped, All };

// The row above a list of hits: the text (cut to fit), the hits of the
// page from `first` (`shown` of them) and how many were `found`.
std::string hitsHeading(const std::string& text, std::size_t first, std::size_t shown,
                        std::size_t found, HitsFound state);

// Opens the reader on a hit with the match shown, or the Notewall or chat
// list on its line.
void openSearchHit(Reading& reading, const search::SearchHit& hit);

}  // namespace zazir
