// The main menu loop, the board loop and the quit sequence.
#pragma once

#include "app/navigation.h"
#include "console/keymap.h"
#include "lists/lists.h"

namespace zazir {

struct App;
struct LogIndex;

// The five menu rows, each marked "→]" when its content exists, else "×]".
ListRows mainMenuRows(const LogIndex& index);

// Shows the main menu until the user confirms the quit; ends the program.
[[noreturn]] void runMainMenu(Reading& reading);

// The quit sequence: the download batch offered, then the quit confirmed.
// Returns when the user does not quit.
void quitSequence(App& app, DownloadMarks& downloads);

// The quit's question about the files marked for download, when there are
// any; the batch is written on yes.
void offerDownloads(App& app, DownloadMarks& downloads);

// What a run ended by `exit` keeps: the read marks, and on a hang-up the
// files marked for download.
void keepWhatTheRunLeaves(Reading& reading, const ProgramExit& exit);

// Its keys, for the list of every screen's keys (app/keytables).
KeyRows mainMenuKeyRows();

}  // namespace zazir
